#include "ui/dialogs/wait_animation.h"

#include <QPainter>
#include <QPalette>

namespace veltrim::ui {
namespace {

constexpr int kFrameMilliseconds = 100;

void PaintComputer(QPainter& painter, const QRectF& screen, const QPalette& palette) {
  painter.setPen(QPen(palette.color(QPalette::WindowText), 1.2));
  painter.setBrush(QColor(70, 110, 170));
  painter.drawRoundedRect(screen, 2, 2);
  const QPointF base(screen.center().x(), screen.bottom());
  painter.drawLine(base, base + QPointF(0, 4));
  painter.drawLine(base + QPointF(-6, 4), base + QPointF(6, 4));
}

void PaintFolder(QPainter& painter, const QRectF& body, const QPalette& palette) {
  painter.setPen(QPen(palette.color(QPalette::WindowText), 1));
  painter.setBrush(QColor(235, 195, 90));
  painter.drawRect(QRectF(body.left(), body.top() - 4, body.width() * 0.4, 4));
  painter.drawRect(body);
}

void PaintPage(QPainter& painter, double x, double y) {
  painter.setBrush(QColor(250, 250, 240));
  painter.drawRect(QRectF(x, y, 14, 18));
  for (int line = 0; line < 3; ++line) painter.drawLine(QPointF(x + 3, y + 5 + 4 * line), QPointF(x + 11, y + 5 + 4 * line));
}

}  // namespace

CWaitAnimation::CWaitAnimation(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setObjectName(QStringLiteral("animation1026"));
  timer_.setInterval(kFrameMilliseconds);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
  setFixedSize(sizeHint());
}

QSize CWaitAnimation::sizeHint() const { return {160, 40}; }

void CWaitAnimation::showEvent(QShowEvent* event) {
  timer_.start();
  QWidget::showEvent(event);
}

void CWaitAnimation::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void CWaitAnimation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (kind_) {
    case Kind::Connecting: PaintConnecting(painter); break;
    case Kind::Queueing: PaintQueueing(painter); break;
    case Kind::Transferring: PaintTransferring(painter); break;
  }
}

void CWaitAnimation::PaintConnecting(QPainter& painter) const {
  const QRectF left(8, 8, 30, 22);
  const QRectF right(width() - 38, 8, 30, 22);
  PaintComputer(painter, left, palette());
  PaintComputer(painter, right, palette());
  const double startX = left.right() + 6;
  const double span = right.left() - 6 - startX;
  painter.setPen(Qt::NoPen);
  // A row of dots, with one bright packet moving along it.
  for (int dot = 0; dot <= 10; ++dot) {
    painter.setBrush(palette().color(QPalette::Mid));
    painter.drawEllipse(QPointF(startX + span * dot / 10.0, left.center().y()), 1.5, 1.5);
  }
  const double t = static_cast<double>(frame_) / (kFrames - 1);
  painter.setBrush(QColor(230, 160, 30));
  painter.drawEllipse(QPointF(startX + span * t, left.center().y()), 4, 4);
}

void CWaitAnimation::PaintTransferring(QPainter& painter) const {
  const QRectF from(8, 14, 34, 22);
  const QRectF to(width() - 42, 14, 34, 22);
  PaintFolder(painter, from, palette());
  PaintFolder(painter, to, palette());
  // One page leaves the left folder in an arc and drops into the right one.
  const double t = static_cast<double>(frame_) / (kFrames - 1);
  const double x = from.center().x() - 7 + (to.center().x() - from.center().x()) * t;
  const double y = 12 - 40 * t * (1 - t);
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
  PaintPage(painter, x, y);
}

void CWaitAnimation::PaintQueueing(QPainter& painter) const {
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
  // The stack of queued pages on the right.
  for (int page = 0; page < 3; ++page) {
    painter.setBrush(QColor(250, 250, 240));
    painter.drawRect(QRectF(width() - 44 + page * 3, 12 - page * 3, 22, 26));
  }
  // One page flying from the left into the stack.
  const double t = static_cast<double>(frame_) / (kFrames - 1);
  const double x = 8 + (width() - 60) * t;
  const double y = 18 - 10 * t * (1 - t) * 4 / 2;
  painter.setBrush(QColor(200, 225, 255));
  painter.drawRect(QRectF(x, y, 16, 20));
  painter.drawLine(QPointF(x + 3, y + 6), QPointF(x + 13, y + 6));
  painter.drawLine(QPointF(x + 3, y + 10), QPointF(x + 13, y + 10));
  painter.drawLine(QPointF(x + 3, y + 14), QPointF(x + 10, y + 14));
}

}  // namespace veltrim::ui
