#include "ui/widgets/gradient_caption.h"

#include <QApplication>
#include <QPainter>

namespace veltrim::ui {
namespace {

constexpr int kLeftMargin = 2;
constexpr int kRightMargin = 2;
constexpr int kTopMargin = 1;

int Blend(int from, int to, int x, int width) {
  return width <= 1 ? from : from + (to - from) * x / (width - 1);
}

}  // namespace

CGradientCaption::CGradientCaption(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CGradientCaption"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientCaption::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

QColor CGradientCaption::GradientAt(int x, int width) {
  return QColor(Blend(qRed(kLeftColour), qRed(kRightColour), x, width),
                Blend(qGreen(kLeftColour), qGreen(kRightColour), x, width),
                Blend(qBlue(kLeftColour), qBlue(kRightColour), x, width));
}

QSize CGradientCaption::sizeHint() const {
  QFont bold = QApplication::font();
  bold.setWeight(QFont::Bold);
  return {200, QFontMetrics(bold).height() + 2 * kTopMargin};
}

void CGradientCaption::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (text_.isEmpty()) {
    painter.fillRect(rect(), palette().color(QPalette::Button));
    return;
  }
  const int width = this->width();
  for (int x = 0; x < width; ++x) {
    painter.setPen(GradientAt(x, width));
    painter.drawLine(x, 0, x, height() - 1);
  }

  const qsizetype tab = text_.indexOf(QLatin1Char('\t'));
  const QString left = tab < 0 ? text_ : text_.left(tab);
  const QRect area = rect().adjusted(kLeftMargin, kTopMargin, -kRightMargin, 0);
  painter.setPen(Qt::white);
  QFont font = QApplication::font();
  if (tab > 0) {
    // The right-hand part first, so a long title on the left stays readable.
    painter.setFont(font);
    painter.drawText(area, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, text_.mid(tab + 1));
  }
  font.setWeight(QFont::Bold);
  painter.setFont(font);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, left);
}

}  // namespace veltrim::ui
