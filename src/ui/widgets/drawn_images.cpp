#include "ui/widgets/drawn_images.h"

#include <QFile>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ui/shared/command_ids.h"

namespace veltrim::ui {
namespace {

const QColor kBlue(0x2a, 0x6f, 0xc9);
const QColor kDarkBlue(0x1c, 0x3f, 0x73);
const QColor kGreen(0x2e, 0x9d, 0x49);
const QColor kRed(0xc6, 0x35, 0x2b);
const QColor kGrey(0x80, 0x86, 0x8c);
const QColor kFolder(0xf2, 0xc1, 0x4e);

QPixmap Canvas(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A monitor (the local computer or the server) at rect.
void DrawMonitor(QPainter& p, const QRectF& r, const QColor& screen) {
  p.setPen(QPen(kDarkBlue, r.width() / 12.0));
  p.setBrush(screen);
  const QRectF body(r.left(), r.top(), r.width(), r.height() * 0.72);
  p.drawRoundedRect(body, r.width() / 10, r.width() / 10);
  p.setBrush(kDarkBlue);
  p.drawRect(QRectF(r.center().x() - r.width() / 10, body.bottom(), r.width() / 5,
                    r.height() * 0.14));
  p.drawRect(QRectF(r.left() + r.width() * 0.2, r.bottom() - r.height() * 0.1, r.width() * 0.6,
                    r.height() * 0.1));
}

// Two monitors and the line between them; the line is drawn broken when the
// program is not connected.
QPixmap TwoComputers(int size, bool linked, int busyFrame) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  DrawMonitor(p, QRectF(s * 0.02, s * 0.08, s * 0.4, s * 0.4), linked ? kBlue : kGrey);
  DrawMonitor(p, QRectF(s * 0.58, s * 0.52, s * 0.4, s * 0.4), linked ? kGreen : kGrey);
  QPen line(linked ? kDarkBlue : kRed, s / 14.0, linked ? Qt::SolidLine : Qt::DashLine);
  p.setPen(line);
  p.setBrush(Qt::NoBrush);
  QPainterPath path(QPointF(s * 0.22, s * 0.5));
  path.cubicTo(QPointF(s * 0.22, s * 0.75), QPointF(s * 0.4, s * 0.75), QPointF(s * 0.58, s * 0.72));
  p.drawPath(path);
  if (busyFrame > 0) {
    // A packet travelling along the line, one step per frame.
    const double t = (busyFrame - 1) / 17.0;
    const QPointF dot = path.pointAtPercent(t);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xa0, 0x1c));
    p.drawEllipse(dot, s / 9.0, s / 9.0);
  }
  return pixmap;
}

QPixmap Letters(const QString& text, const QColor& colour, int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour.darker(140), 1.2));
  p.setBrush(colour.lighter(185));
  p.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), 4, 4);
  QFont font;
  font.setBold(true);
  font.setPixelSize(text.size() > 2 ? size * 0.36 : size * 0.5);
  p.setFont(font);
  p.setPen(colour.darker(160));
  p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, text);
  return pixmap;
}

QPixmap ListModeIcon(int mode, int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const double s = size;
  auto block = [&](double x, double y, double w, double h, const QColor& c) {
    p.setBrush(c);
    p.drawRoundedRect(QRectF(x * s, y * s, w * s, h * s), 1, 1);
  };
  switch (mode) {
    case ID_VIEW_LARGEICON:
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) block(0.1 + i * 0.45, 0.1 + j * 0.45, 0.35, 0.35, kBlue);
      break;
    case ID_VIEW_SMALLICON:
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) block(0.08 + i * 0.3, 0.08 + j * 0.3, 0.22, 0.22, kBlue);
      break;
    case ID_VIEW_LIST:
      for (int j = 0; j < 4; ++j) {
        block(0.08, 0.1 + j * 0.22, 0.14, 0.14, kBlue);
        block(0.3, 0.13 + j * 0.22, 0.6, 0.08, kDarkBlue);
      }
      break;
    default:  // details
      block(0.05, 0.08, 0.9, 0.14, kGrey);
      for (int j = 0; j < 3; ++j) {
        block(0.05, 0.32 + j * 0.22, 0.35, 0.09, kDarkBlue);
        block(0.5, 0.32 + j * 0.22, 0.18, 0.09, kBlue);
        block(0.75, 0.32 + j * 0.22, 0.2, 0.09, kBlue);
      }
      break;
  }
  return pixmap;
}

QPixmap Folder(const QColor& mark, const QString& sign, int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  p.setPen(QPen(kFolder.darker(150), 1));
  p.setBrush(kFolder);
  QPainterPath path;
  path.moveTo(s * 0.06, s * 0.22);
  path.lineTo(s * 0.38, s * 0.22);
  path.lineTo(s * 0.46, s * 0.32);
  path.lineTo(s * 0.94, s * 0.32);
  path.lineTo(s * 0.94, s * 0.84);
  path.lineTo(s * 0.06, s * 0.84);
  path.closeSubpath();
  p.drawPath(path);
  if (!sign.isEmpty()) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(static_cast<int>(s * 0.5));
    p.setFont(font);
    p.setPen(mark);
    p.drawText(QRectF(0, s * 0.3, s, s * 0.56), Qt::AlignCenter, sign);
  }
  return pixmap;
}

QPixmap Arrow(bool down, const QColor& colour, int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  p.setPen(QPen(colour.darker(150), 1));
  p.setBrush(colour);
  QPolygonF arrow;
  if (down) {
    arrow << QPointF(s * 0.38, s * 0.08) << QPointF(s * 0.62, s * 0.08) << QPointF(s * 0.62, s * 0.45)
          << QPointF(s * 0.82, s * 0.45) << QPointF(s * 0.5, s * 0.78) << QPointF(s * 0.18, s * 0.45)
          << QPointF(s * 0.38, s * 0.45);
  } else {
    arrow << QPointF(s * 0.38, s * 0.78) << QPointF(s * 0.62, s * 0.78) << QPointF(s * 0.62, s * 0.42)
          << QPointF(s * 0.82, s * 0.42) << QPointF(s * 0.5, s * 0.08) << QPointF(s * 0.18, s * 0.42)
          << QPointF(s * 0.38, s * 0.42);
  }
  p.drawPolygon(arrow);
  p.setPen(QPen(kDarkBlue, s / 12));
  p.drawLine(QPointF(s * 0.15, s * 0.9), QPointF(s * 0.85, s * 0.9));
  return pixmap;
}

QPixmap Plug(bool connected, int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  const QColor c = connected ? kGreen : kRed;
  p.setPen(QPen(c.darker(150), 1));
  p.setBrush(c);
  const double gap = connected ? 0.0 : 0.12;
  // Left half: the plug with two pins.
  p.drawRoundedRect(QRectF(s * (0.12 - gap), s * 0.3, s * 0.3, s * 0.4), 2, 2);
  p.drawRect(QRectF(s * (0.42 - gap), s * 0.36, s * 0.1, s * 0.06));
  p.drawRect(QRectF(s * (0.42 - gap), s * 0.58, s * 0.1, s * 0.06));
  // Right half: the socket.
  p.drawRoundedRect(QRectF(s * (0.52 + gap), s * 0.3, s * 0.3, s * 0.4), 2, 2);
  p.setPen(QPen(c.darker(150), s / 12));
  p.drawLine(QPointF(0, s * 0.5), QPointF(s * (0.12 - gap), s * 0.5));
  p.drawLine(QPointF(s * (0.82 + gap), s * 0.5), QPointF(s, s * 0.5));
  return pixmap;
}

QPixmap Pencil(int size = 24) {
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  p.setPen(QPen(kDarkBlue, 1));
  p.setBrush(QColor(0xf6, 0xf6, 0xf6));
  p.drawRect(QRectF(s * 0.1, s * 0.12, s * 0.6, s * 0.76));
  p.setBrush(QColor(0xff, 0xb3, 0x2a));
  QPolygonF pencil;
  pencil << QPointF(s * 0.55, s * 0.75) << QPointF(s * 0.9, s * 0.3) << QPointF(s * 0.98, s * 0.38)
         << QPointF(s * 0.62, s * 0.83) << QPointF(s * 0.52, s * 0.86);
  p.drawPolygon(pencil);
  return pixmap;
}

}  // namespace

QPixmap ConnectionPicture(int pictureId, int size) {
  if (pictureId >= kFirstBusyFrame && pictureId <= kLastBusyFrame)
    return TwoComputers(size, true, pictureId - kFirstBusyFrame + 1);
  return TwoComputers(size, pictureId == kPictureConnected, 0);
}

QPixmap StateIcon(int iconId) {
  const int size = 16;
  QPixmap pixmap = Canvas(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (iconId >= kFirstBusyFrame && iconId <= kLastBusyFrame) {
    // A ring with one bright segment that turns by one step per frame.
    const int step = iconId - kFirstBusyFrame;
    p.setPen(QPen(kGrey.lighter(130), 2.5));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(2.5, 2.5, 11, 11), (90 - step * 20) * 16, -80 * 16);
    return pixmap;
  }
  const QColor c = iconId == kStateConnected ? kGreen : kGrey;
  QRadialGradient gradient(QPointF(6, 6), 8);
  gradient.setColorAt(0, c.lighter(160));
  gradient.setColorAt(1, c);
  p.setPen(QPen(c.darker(160), 1));
  p.setBrush(gradient);
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  return pixmap;
}

QIcon DrawnCommandIcon(int commandId) {
  switch (commandId) {
    case ID_VIEW_LARGEICON:
    case ID_VIEW_SMALLICON:
    case ID_VIEW_LIST:
    case ID_VIEW_DETAILS:
      return QIcon(ListModeIcon(commandId));
    case ID_CONNECT:
      return QIcon(Plug(true));
    case ID_DISCONNECT:
      return QIcon(Plug(false));
    case ID_EDIT_SETTINGS:
      return QIcon(Pencil());
    case ID_DOWNLOAD:
      return QIcon(Arrow(true, kGreen));
    case ID_UPLOAD:
      return QIcon(Arrow(false, kBlue));
    case ID_BINARY:
      return QIcon(Letters(QStringLiteral("01"), kBlue));
    case ID_ASCII:
      return QIcon(Letters(QStringLiteral("Aa"), kGreen));
    case ID_AUTO:
      return QIcon(Letters(QStringLiteral("A/B"), QColor(0x8e, 0x44, 0xad)));
    case ID_RENAME_FILE:
      return QIcon(Letters(QStringLiteral("ab|"), kDarkBlue));
    case ID_DELETE_FILE:
      return QIcon(Letters(QStringLiteral("X"), kRed));
    case ID_HOME:
      return QIcon(Letters(QStringLiteral("~"), kGreen));
    case ID_ROOT:
      return QIcon(Letters(QStringLiteral("/"), kDarkBlue));
    case ID_UP_LEVEL:
      return QIcon(Folder(kDarkBlue, QStringLiteral("\u2191")));
    case ID_CHANGE_DIRECTORY:
      return QIcon(Folder(kDarkBlue, QStringLiteral("\u2192")));
    case ID_CREATE_DIRECTORY:
      return QIcon(Folder(kGreen, QStringLiteral("+")));
    case ID_REMOVE_DIRECTORY:
      return QIcon(Folder(kRed, QStringLiteral("\u2212")));
    case ID_FILE_NEW:
      return QIcon(Letters(QStringLiteral("+"), kBlue));
    case ID_FILE_OPEN:
      return QIcon(Folder(kDarkBlue, QString()));
    case ID_FILE_SAVE:
      return QIcon(Arrow(true, kDarkBlue));
    case ID_APP_ABOUT:
      return QIcon(Letters(QStringLiteral("?"), kBlue));
    default:
      return QIcon();
  }
}

QIcon ProgramIcon() {
  const QString svg = QStringLiteral(":/veltrimftp/icons/veltrimftp.svg");
  if (QFile::exists(svg)) return QIcon(svg);
  QIcon drawn;
  for (int size : {16, 32, 48, 64}) drawn.addPixmap(ConnectionPicture(kPictureConnected, size));
  return drawn;
}

}  // namespace veltrim::ui
