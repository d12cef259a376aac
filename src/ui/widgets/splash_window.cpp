#include "ui/widgets/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

#include "ui/widgets/drawn_images.h"

namespace veltrim::ui {

SplashWindow* SplashWindow::ShowOver(QWidget* owner, int timeoutMs) {
  auto* splash = new SplashWindow(owner);
  const QRect area = owner ? owner->geometry() : QRect(0, 0, 800, 600);
  splash->move(area.center() - QPoint(splash->width() / 2, splash->height() / 2));
  splash->show();
  QTimer::singleShot(timeoutMs, splash, &QWidget::close);
  return splash;
}

SplashWindow::SplashWindow(QWidget* owner) : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("SplashWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(360, 200);
  qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
  if (qApp) qApp->removeEventFilter(this);
}

bool SplashWindow::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      if (isVisible()) {
        close();
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
  gradient.setColorAt(0, QColor(0x1c, 0x3f, 0x73));
  gradient.setColorAt(1, QColor(0x4f, 0x86, 0xc6));
  p.fillRect(rect(), gradient);
  p.drawPixmap(24, 60, ConnectionPicture(kPictureConnected, 80));
  QFont title = font();
  title.setPointSizeF(22);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(120, 50, 230, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VeltrimFTP"));
  QFont small = font();
  small.setPointSizeF(9);
  p.setFont(small);
  p.drawText(QRect(120, 96, 230, 60), Qt::AlignLeft | Qt::TextWordWrap,
             QStringLiteral("v3.0\nFile transfer for your desktop"));
  p.setPen(QColor(255, 255, 255, 120));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace veltrim::ui
