#include "ui/dialogs/new_connection_dlg.h"

#include "ui/dialogs/prompts.h"

namespace veltrim::ui {
namespace {

const CRememberedQuestionDlg::Texts kTexts = {
    "Establish a new connection",
    "Would you like to attempt to establish a new connection to the server for the file "
    "transfers?",
    "Establishing a new connection will allow you to navigate the ftp server and download files "
    "simultaneously.  If a separate connection can not be established, the current connection "
    "will be used by default.",
    1020,
    "Always attempt to establish a new connection",
    1067,
    "Never attempt to establish a new connection",
};

}  // namespace

CNewConnectionDlg::CNewConnectionDlg(QWidget* owner) : CRememberedQuestionDlg(kTexts, owner) {
  setObjectName(QStringLiteral("CNewConnectionDlg"));
}

bool SettleNewConnection(bool yes, int always, int never, NewConnectionMemory& memory) {
  if (!yes) return false;
  if (always) {
    memory.NewConn = true;
    memory.NoNewConn = false;
    return true;
  }
  if (never) {
    memory.NoNewConn = true;
    memory.NewConn = false;
    return false;
  }
  return true;
}

bool AskNewConnection(QWidget* owner, NewConnectionMemory& memory) {
  if (memory.NewConn) return true;
  if (memory.NoNewConn) return false;
  CNewConnectionDlg dialog(owner);
  const bool yes = RunModal(dialog) == QDialog::Accepted;
  return SettleNewConnection(yes, dialog.Always(), dialog.Never(), memory);
}

}  // namespace veltrim::ui
