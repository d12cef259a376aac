#include "ui/ftp/tree_queueing.h"

#include <optional>

#include "ui/app/main_frame.h"
#include "ui/dialogs/adding_files_dlg.h"
#include "ui/dialogs/cancel_transfer_dlg.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/transfer_start.h"

namespace veltrim::ui {

namespace {

// The "Adding files to Queue" box for one walk, gone on every way out.
class AddingFilesBox {
 public:
  AddingFilesBox(CMainFrame& frame, CFtpSession& session, bool show) {
    session.SetStopAdding(false);
    if (!show) return;
    box_.emplace(&frame, &session.StopAddingFlag());
    Prompts().ShowModeless(*box_);
  }

 private:
  std::optional<CAddingFilesDlg> box_;
};

TreeQueued AfterWalk(CMainFrame& frame, const LiveSession& live, const std::shared_ptr<CFtpSession>& session,
                     bool walked) {
  if (live.Gone(session)) return TreeQueued::SessionGone;
  if (session->StopAdding()) return ClearQueueAfterStop(frame, *session) ? TreeQueued::Cleared : TreeQueued::Kept;
  return walked ? TreeQueued::Kept : TreeQueued::Failed;
}

}  // namespace

bool ClearQueueAfterStop(CMainFrame& frame, CFtpSession& session) {
  Preferences& prefs = frame.Prefs();
  CancelTransferMemory memory{prefs.Cancel, prefs.NeverCancel};
  const bool clear = AskCancelQueue(&frame, memory);
  if (memory.Cancel && !prefs.Cancel) {
    prefs.Cancel = true;
    session.SetAlwaysCancelQueue(true);
  }
  if (memory.NeverCancel && !prefs.NeverCancel) {
    prefs.NeverCancel = true;
    session.SetNeverCancelQueue(true);
  }
  if (clear) session.ClearQueue();
  return clear;
}

TreeQueued QueueRemoteTree(CMainFrame& frame, const LiveSession& live, const std::shared_ptr<CFtpSession>& session,
                           const std::string& remoteDir, const QString& localFolder) {
  FrameBusyScope busy(frame);
  const std::string shown = session->CurrentDir();
  {
    AddingFilesBox box(frame, *session, true);
    session->DownloadDirectory(remoteDir, LiveSession::LocalPath(localFolder), true);
  }
  if (live.Gone(session)) return TreeQueued::SessionGone;
  // The walk left the server in the last directory it visited; the list
  // (and every relative name) still means the one on display.
  session->ChangeDirectory(shown);
  return AfterWalk(frame, live, session, true);
}

TreeQueued QueueLocalTree(CMainFrame& frame, const LiveSession& live, const std::shared_ptr<CFtpSession>& session,
                          const QString& localFolder, const std::string& remoteDir, bool withBox) {
  FrameBusyScope busy(frame);
  bool walked;
  {
    AddingFilesBox box(frame, *session, withBox);
    walked = session->UploadDirectory(LiveSession::LocalPath(localFolder), remoteDir, false);
  }
  return AfterWalk(frame, live, session, walked);
}

}  // namespace veltrim::ui
