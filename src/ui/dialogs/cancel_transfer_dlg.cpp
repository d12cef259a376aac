#include "ui/dialogs/cancel_transfer_dlg.h"

#include "ui/dialogs/prompts.h"

namespace veltrim::ui {
namespace {

const CRememberedQuestionDlg::Texts kTexts = {
    "Cancel Transfer",
    "Would you like to cancel all file transfers currently queued?",
    "By canceling all the currently queued transfers, in order to download these files you will "
    "have to reselect them.  Answering no will cancel the current file transfer only and allow "
    "the rest of the transfers to continue.",
    1020,
    "Always cancel the entire transfer queue",
    1073,
    "Never cancel the entire transfer queue",
};

}  // namespace

CCancelTransferDlg::CCancelTransferDlg(QWidget* owner) : CRememberedQuestionDlg(kTexts, owner) {
  setObjectName(QStringLiteral("CCancelTransferDlg"));
}

bool SettleCancelTransfer(bool yes, int always, int never, CancelTransferMemory& memory) {
  if (always) {
    memory.Cancel = true;
  } else if (never) {
    memory.NeverCancel = true;
  }
  return yes;
}

bool AskCancelQueue(QWidget* owner, CancelTransferMemory& memory) {
  if (memory.Cancel) return true;
  if (memory.NeverCancel) return false;
  CCancelTransferDlg dialog(owner);
  const bool yes = RunModal(dialog) == QDialog::Accepted;
  return SettleCancelTransfer(yes, dialog.Always(), dialog.Never(), memory);
}

}  // namespace veltrim::ui
