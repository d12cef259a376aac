#include "ui/ftp/transfer_start.h"

#include "ui/app/main_frame.h"
#include "ui/dialogs/new_connection_dlg.h"
#include "ui/ftp/live_session.h"

namespace veltrim::ui {

namespace {

bool UseNewConnection(CMainFrame& frame, const CFtpSession& session, TransferConnection connection) {
  if (connection == TransferConnection::MainOnly) return false;
  // A background run picks the new items up; its connection is the one.
  if (session.IsTransferConnected()) return false;
  NewConnectionMemory memory{frame.Prefs().NewConn, frame.Prefs().NoNewConn};
  const bool answer = AskNewConnection(&frame, memory);
  frame.Prefs().NewConn = memory.NewConn;
  frame.Prefs().NoNewConn = memory.NoNewConn;
  return answer;
}

}  // namespace

FrameBusyScope::FrameBusyScope(CMainFrame& frame) : frame_(frame), previous_(frame.Busy()) {
  if (!previous_) frame_.SetBusy(true);
}

FrameBusyScope::~FrameBusyScope() {
  if (frame_.Busy() != previous_) frame_.SetBusy(previous_);
}

bool StartQueuedTransfers(CMainFrame& frame, const LiveSession& live, uint32_t errorId,
                          TransferConnection connection) {
  const std::shared_ptr<CFtpSession> session = live.Get();
  if (!session) return false;
  // Nothing queued (a cleared tree, an empty selection): nothing to ask.
  if (session->QueueLength() == 0) return true;
  const bool newConnection = UseNewConnection(frame, *session, connection);
  if (!live.Alive(session)) return false;
  bool ran;
  {
    FrameBusyScope busy(frame);
    ran = session->ProcessQueue(newConnection);
  }
  // A main connection lost during the run ends here with the one
  // lost-connection routine, not with the command's box.
  if (live.Gone(session)) return false;
  if (!ran) frame.ShowError(errorId, LiveSession::FailureDetail(*session));
  return ran;
}

}  // namespace veltrim::ui
