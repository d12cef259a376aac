#include "ui/widgets/security_lock.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace veltrim::ui {

namespace {

// A padlock in white (it sits on the bar's dark gradient); open: the shackle
// lifted off its right post.
QPixmap LockPicture(bool closed, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 16.0;
  painter.setPen(QPen(closed ? Qt::white : QColor(0xff, 0xd0, 0x80), 1.8 * unit));
  const qreal lift = closed ? 0 : 2.5 * unit;
  QPainterPath shackle;
  shackle.moveTo(4.5 * unit, 8 * unit - lift);
  shackle.lineTo(4.5 * unit, 5 * unit - lift);
  shackle.arcTo(QRectF(4.5 * unit, 1.5 * unit - lift, 7 * unit, 7 * unit), 180, -180);
  shackle.lineTo(11.5 * unit, closed ? 8 * unit : 5.5 * unit - lift);
  painter.drawPath(shackle);
  painter.setPen(Qt::NoPen);
  painter.setBrush(closed ? Qt::white : QColor(0xff, 0xd0, 0x80));
  painter.drawRoundedRect(QRectF(2.5 * unit, 7.5 * unit, 11 * unit, 7.5 * unit), unit, unit);
  return pixmap;
}

}  // namespace

SecurityLock::SecurityLock(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("SecurityLock"));
  setFixedSize(24, 24);
  SetState(State::None);
}

void SecurityLock::SetState(State state, const QString& toolTip) {
  state_ = state;
  setToolTip(toolTip);
  if (state == State::None) {
    clear();
    return;
  }
  setPixmap(LockPicture(state == State::Encrypted, 24));
}

}  // namespace veltrim::ui
