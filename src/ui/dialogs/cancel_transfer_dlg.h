#pragma once
// "Cancel Transfer": whether a cancelled transfer takes the rest of the queue
// with it, and the rule for remembering the answer.

#include "ui/dialogs/remembered_question_dlg.h"

namespace veltrim::ui {

class CCancelTransferDlg : public CRememberedQuestionDlg {
  Q_OBJECT
 public:
  explicit CCancelTransferDlg(QWidget* owner = nullptr);
};

// The remembered answers ("Cancel", "NeverCancel").
struct CancelTransferMemory {
  bool Cancel = false;
  bool NeverCancel = false;
};

// Whether to clear the whole queue, asking unless an answer is remembered.
// A ticked box is remembered after either answer; the other flag of the
// pair is left alone. The dialog runs through the prompt seam (window thread).
bool AskCancelQueue(QWidget* owner, CancelTransferMemory& memory);

// The rule alone.
bool SettleCancelTransfer(bool yes, int always, int never, CancelTransferMemory& memory);

}  // namespace veltrim::ui
