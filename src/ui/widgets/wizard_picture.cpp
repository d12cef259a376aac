#include "ui/widgets/wizard_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "ui/widgets/drawn_images.h"
#include "ui/widgets/gradient_caption.h"

namespace veltrim::ui {
namespace {

// A sheet of paper with a folded corner and a few lines of text.
void DrawSheet(QPainter& painter, const QRectF& sheet, const QColor& paper, const QColor& ink) {
  const qreal fold = sheet.width() * 0.28;
  QPainterPath outline;
  outline.moveTo(sheet.topLeft());
  outline.lineTo(sheet.right() - fold, sheet.top());
  outline.lineTo(sheet.right(), sheet.top() + fold);
  outline.lineTo(sheet.bottomRight());
  outline.lineTo(sheet.bottomLeft());
  outline.closeSubpath();
  painter.setPen(QPen(ink, 1.2));
  painter.setBrush(paper);
  painter.drawPath(outline);
  painter.drawLine(QPointF(sheet.right() - fold, sheet.top()), QPointF(sheet.right() - fold, sheet.top() + fold));
  painter.drawLine(QPointF(sheet.right() - fold, sheet.top() + fold), QPointF(sheet.right(), sheet.top() + fold));
  painter.setPen(QPen(ink, 1.5));
  const qreal step = sheet.height() / 7.0;
  for (int line = 2; line <= 5; ++line) {
    const qreal y = sheet.top() + step * line;
    const qreal end = line == 5 ? sheet.center().x() : sheet.right() - sheet.width() * 0.15;
    painter.drawLine(QPointF(sheet.left() + sheet.width() * 0.15, y), QPointF(end, y));
  }
}

}  // namespace

QPixmap WizardPicture(QSize size) {
  QPixmap picture(size.expandedTo(QSize(1, 1)));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = picture.rect();
  QLinearGradient background(area.topLeft(), area.bottomLeft());
  background.setColorAt(0.0, QColor(CGradientCaption::kLeftColour));
  background.setColorAt(1.0, QColor(CGradientCaption::kRightColour));
  painter.fillRect(area, background);

  const qreal w = area.width();
  const qreal h = area.height();
  const int iconSize = static_cast<int>(std::min(w * 0.6, h * 0.25));
  painter.drawPixmap(QPointF((w - iconSize) / 2.0, h * 0.08), ProgramIcon().pixmap(iconSize, iconSize));

  // The old profile, an arrow, the new one.
  const QSizeF sheet(w * 0.42, h * 0.2);
  DrawSheet(painter, QRectF(QPointF(w * 0.1, h * 0.42), sheet), QColor(220, 220, 220), QColor(90, 90, 90));
  DrawSheet(painter, QRectF(QPointF(w * 0.48, h * 0.68), sheet), Qt::white, QColor(0, 96, 96));
  painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  const QPointF from(w * 0.3, h * 0.65);
  const QPointF to(w * 0.45, h * 0.78);
  QPainterPath arrow(from);
  arrow.quadTo(QPointF(from.x(), to.y()), to);
  painter.drawPath(arrow);
  painter.drawLine(to, to + QPointF(-w * 0.06, -h * 0.025));
  painter.drawLine(to, to + QPointF(-w * 0.05, h * 0.03));
  return picture;
}

}  // namespace veltrim::ui
