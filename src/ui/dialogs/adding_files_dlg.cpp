#include "ui/dialogs/adding_files_dlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/wait_animation.h"

namespace veltrim::ui {

CAddingFilesDlg::CAddingFilesDlg(QWidget* owner, std::atomic<bool>* cancelTarget)
    : QDialog(owner),
      cancelTarget_(cancelTarget),
      animation_(new CWaitAnimation(CWaitAnimation::Kind::Queueing, this)) {
  setObjectName(QStringLiteral("CAddingFilesDlg"));
  setWindowTitle(QStringLiteral("Adding files to Queue"));
  setModal(false);
  auto* text =
      new QLabel(QStringLiteral("Adding files to the transfer queue.  Please wait..."), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("button1003"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &CAddingFilesDlg::OnCancel);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(animation_, 0, Qt::AlignHCenter);
  layout->addWidget(text);
  layout->addLayout(buttons);
}

void CAddingFilesDlg::OnCancel() {
  cancelled_.store(true);
  if (cancelTarget_) cancelTarget_->store(true);
}

void CAddingFilesDlg::reject() { OnCancel(); }

void CAddingFilesDlg::closeEvent(QCloseEvent* event) {
  OnCancel();
  event->ignore();
}

}  // namespace veltrim::ui
