#include "ui/dialogs/please_wait_dlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/wait_animation.h"

namespace veltrim::ui {

CPleaseWaitDlg::CPleaseWaitDlg(QWidget* owner)
    : QDialog(owner),
      animation_(new CWaitAnimation(CWaitAnimation::Kind::Connecting, this)),
      messageLabel_(new QLabel(this)),
      countdownLabel_(new QLabel(this)) {
  setObjectName(QStringLiteral("CPleaseWaitDlg"));
  setWindowTitle(QStringLiteral("Please Wait"));
  setModal(false);
  messageLabel_->setObjectName(QStringLiteral("static1069"));
  countdownLabel_->setObjectName(QStringLiteral("static1065"));
  countdownLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  countdownLabel_->setMinimumWidth(32);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("button1003"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, [this] { cancelled_.store(true); });

  auto* texts = new QHBoxLayout;
  texts->addWidget(messageLabel_, 1);
  texts->addWidget(countdownLabel_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(animation_, 0, Qt::AlignHCenter);
  layout->addLayout(texts);
  layout->addLayout(buttons);
  setMinimumWidth(340);

  UpdateControls();
  timer_.setInterval(kTickMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &CPleaseWaitDlg::Tick);
  timer_.start();
}

CPleaseWaitDlg::~CPleaseWaitDlg() { timer_.stop(); }

QString CPleaseWaitDlg::AttemptMessage(int attempt) {
  if (attempt <= 0) return QStringLiteral("Attempting to connect to host...");
  return QStringLiteral("Attempting to connect to host... Retry #%1").arg(attempt);
}

void CPleaseWaitDlg::UpdateControls() {
  messageLabel_->setText(message_);
  countdownLabel_->setText(countdownText_);
}

void CPleaseWaitDlg::ReadControls() {
  message_ = messageLabel_->text();
  countdownText_ = countdownLabel_->text();
}

void CPleaseWaitDlg::Tick() {
  ReadControls();
  --countdown_;
  countdownText_ = QString::number(countdown_);
  UpdateControls();
  if (countdown_ <= 0) {
    timer_.stop();
    hide();
  }
}

void CPleaseWaitDlg::reject() {
  // Escape means Cancel here; the connect routine decides when the box goes.
  cancelled_.store(true);
}

void CPleaseWaitDlg::closeEvent(QCloseEvent* event) {
  cancelled_.store(true);
  event->ignore();
}

}  // namespace veltrim::ui
