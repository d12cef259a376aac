#include "ui/ftp/upload_commands.h"

#include <QFileInfo>

#include "core/engine/error_ids.h"
#include "core/engine/safe_local_path.h"
#include "core/engine/transfer_figures.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/adding_files_dlg.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/ftp/transfer_start.h"
#include "ui/ftp/tree_queueing.h"
#include "ui/shared/command_ids.h"

namespace veltrim::ui {

UploadCommands::UploadCommands(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator)
    : frame_(frame), live_(live), navigator_(navigator) {
  refreshAfterRun_.setInterval(250);
  connect(&refreshAfterRun_, &QTimer::timeout, this, &UploadCommands::RefreshWhenIdle);
}

void UploadCommands::InstallCommands() {
  frame_.SetCommandHandler(ID_UPLOAD, [this] { OnUploadFiles(); });
  frame_.SetCommandHandler(ID_UPLOAD_DIRECTORY, [this] { OnUploadDirectory(); });
}

void UploadCommands::StartAndShow(const std::shared_ptr<CFtpSession>& session) {
  if (session->QueueLength() == 0) return;
  if (!StartQueuedTransfers(frame_, live_, kErrUploadDirectory) || !live_.Alive(session)) return;
  refreshAfterRun_.start();
  RefreshWhenIdle();
}

void UploadCommands::RefreshWhenIdle() {
  const std::shared_ptr<CFtpSession> session = live_.Get();
  if (!session) {
    refreshAfterRun_.stop();
    return;
  }
  if (session->IsTransferConnected() || !live_.CanStartWork()) return;
  refreshAfterRun_.stop();
  navigator_.ShowListing();
}

void UploadCommands::OnUploadFiles() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QStringList files =
      Prompts().OpenFileNames(&frame_, QStringLiteral("Upload File(s)"), live_.LocalDir(), QString());
  if (files.isEmpty() || !live_.Alive(session)) return;
  const std::string prefix = LiveSession::ToStd(live_.Prefix());
  {
    CAddingFilesDlg box(&frame_);  // no cancel: a list of files queues at once
    Prompts().ShowModeless(box);
    for (const QString& file : files) {
      const QFileInfo info(file);
      const std::string local = LiveSession::LocalPath(file);
      if (info.exists() && !info.isFile()) {
        // A pipe or a device would hold the transfer up for ever.
        session->WriteLog("Skipping " + PrintableName(local) + ": not a regular file.");
        continue;
      }
      const uint64_t size = info.exists() ? static_cast<uint64_t>(info.size()) : 0;
      session->AddToQueue(local, prefix + FileNamePart(local), false, size, session->IsBinaryTransfer(local));
    }
  }
  StartAndShow(session);
}

void UploadCommands::OnUploadDirectory() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString folder =
      CFolderBrowser(&frame_, QStringLiteral("Choose a directory to upload"), live_.LocalDir()).Browse();
  if (folder.isEmpty() || !live_.Alive(session)) return;
  const std::string target = LiveSession::ToStd(live_.Prefix() + QFileInfo(folder).fileName());
  const QString local = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
  if (QueueLocalTree(frame_, live_, session, local, target) != TreeQueued::Kept) return;
  StartAndShow(session);
}

}  // namespace veltrim::ui
