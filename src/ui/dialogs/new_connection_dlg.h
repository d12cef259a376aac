#pragma once
// "Establish a new connection": whether transfers get a second connection of
// their own, and the rule for remembering the answer.

#include "ui/dialogs/remembered_question_dlg.h"

namespace veltrim::ui {

class CNewConnectionDlg : public CRememberedQuestionDlg {
  Q_OBJECT
 public:
  explicit CNewConnectionDlg(QWidget* owner = nullptr);
};

// The remembered answers of the question ("NewConn", "NoNewConn").
struct NewConnectionMemory {
  bool NewConn = false;
  bool NoNewConn = false;
};

// Asks unless an answer is remembered; returns whether to use a new
// connection and updates memory after "Yes" with a ticked box. The dialog
// runs through the prompt seam.
bool AskNewConnection(QWidget* owner, NewConnectionMemory& memory);

// The rule alone: the answer to a dialog that ended with yes (or not) and
// the two boxes, and what it leaves remembered.
bool SettleNewConnection(bool yes, int always, int never, NewConnectionMemory& memory);

}  // namespace veltrim::ui
