#include "ui/widgets/docking_bar.h"

#include <QMainWindow>
#include <algorithm>

#include "ui/shared/preferences.h"

namespace veltrim::ui {
namespace {

constexpr int kMaximumExtent = 8000;

int Bounded(int value, int minimum) { return std::clamp(value, minimum, kMaximumExtent); }

}  // namespace

DockingBar::DockingBar(const QString& title, int controlId, QWidget* parent)
    : QDockWidget(title, parent), controlId_(controlId) {
  setObjectName(QStringLiteral("SCBar-%1").arg(controlId));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
}

QString DockingBar::SectionName() const { return QStringLiteral("VeltrimFTP-SCBar-%1").arg(controlId_); }

void DockingBar::LoadSizes(QSettings& store) {
  const QString section = SectionName() + QLatin1Char('/');
  auto read = [&](const char* name, int fallback, int minimum) {
    return Bounded(ReadStoredInt(store, section + QLatin1String(name), fallback), minimum);
  };
  horz_ = QSize(read("sizeHorzCX", kDefault.width(), kMinimum.width()),
                read("sizeHorzCY", kDefault.height(), kMinimum.height()));
  vert_ = QSize(read("sizeVertCX", kDefault.width(), kMinimum.width()),
                read("sizeVertCY", kDefault.height(), kMinimum.height()));
  float_ = QSize(read("sizeFloatCX", kDefault.width(), kMinimum.width()),
                 read("sizeFloatCY", kDefault.height(), kMinimum.height()));
}

void DockingBar::TakeCurrentSize() {
  if (!isVisible() || size().isEmpty()) return;
  if (isFloating()) {
    float_ = size();
    return;
  }
  auto* window = qobject_cast<QMainWindow*>(parentWidget());
  const Qt::DockWidgetArea area = window ? window->dockWidgetArea(this) : Qt::LeftDockWidgetArea;
  if (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea)
    horz_ = size();
  else
    vert_ = size();
}

void DockingBar::SaveSizes(QSettings& store) {
  TakeCurrentSize();
  const QString section = SectionName() + QLatin1Char('/');
  store.setValue(section + QStringLiteral("sizeHorzCX"), horz_.width());
  store.setValue(section + QStringLiteral("sizeHorzCY"), horz_.height());
  store.setValue(section + QStringLiteral("sizeVertCX"), vert_.width());
  store.setValue(section + QStringLiteral("sizeVertCY"), vert_.height());
  store.setValue(section + QStringLiteral("sizeFloatCX"), float_.width());
  store.setValue(section + QStringLiteral("sizeFloatCY"), float_.height());
}

}  // namespace veltrim::ui
