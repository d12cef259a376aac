#include "ui/widgets/connection_bar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>

#include "ui/widgets/drawn_images.h"
#include "ui/widgets/security_lock.h"

namespace veltrim::ui {

ConnectionBar::ConnectionBar(QWidget* parent)
    : QWidget(parent), picture_(new QLabel(this)), caption_(new QLabel(this)), lock_(new SecurityLock(this)) {
  setObjectName(QStringLiteral("ConnectionBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 3, 8, 3);
  layout->setSpacing(10);
  layout->addWidget(picture_);
  layout->addWidget(caption_, 1);
  layout->addWidget(lock_);

  // Twice the height of the usual status font, Tahoma where it exists.
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("Tahoma"), font.family()});
  const qreal base = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
  font.setPointSizeF(base * 2);
  font.setBold(true);
  caption_->setFont(font);
  // White on the dark gradient, whatever the style does to toolbar text.
  caption_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
  caption_->setTextInteractionFlags(Qt::NoTextInteraction);
  picture_->setFixedSize(32, 32);

  SetPicture(kPictureNotConnected);
  SetText(QStringLiteral("Not Connected"));
}

void ConnectionBar::SetText(const QString& text) { caption_->setText(text); }

void ConnectionBar::SetPicture(int pictureId) {
  if (pictureId == pictureId_) return;
  pictureId_ = pictureId;
  picture_->setPixmap(ConnectionPicture(pictureId, 32));
}

void ConnectionBar::paintEvent(QPaintEvent*) {
  // A gradient caption, dark on the left fading to the right.
  QPainter painter(this);
  QLinearGradient gradient(rect().topLeft(), rect().topRight());
  gradient.setColorAt(0, QColor(0x1c, 0x3f, 0x73));
  gradient.setColorAt(1, QColor(0x6c, 0x9b, 0xd8));
  painter.fillRect(rect(), gradient);
}

}  // namespace veltrim::ui
