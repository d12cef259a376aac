#include "ui/ftp/dropped_files.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include "core/engine/safe_local_path.h"
#include "core/engine/transfer_figures.h"
#include "ui/app/main_frame.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/tree_queueing.h"
#include "ui/ftp/upload_commands.h"

namespace veltrim::ui {

DroppedFiles::DroppedFiles(CMainFrame& frame, const LiveSession& live, UploadCommands& uploads)
    : frame_(frame), live_(live), uploads_(uploads) {
  retry_.setInterval(kRetryMilliseconds);
  connect(&retry_, &QTimer::timeout, this, &DroppedFiles::StartKept);
}

void DroppedFiles::Install() {
  frame_.SetConnectedDropHandler([this](const QStringList& paths) { OnDrop(paths); });
}

bool DroppedFiles::MayStartNow() const {
  const std::shared_ptr<CFtpSession> session = live_.Get();
  return live_.CanStartWork() && !session->IsTransferConnected();
}

void DroppedFiles::OnDrop(const QStringList& paths) {
  if (!live_.Get() || paths.isEmpty()) return;
  if (!kept_.isEmpty() || !MayStartNow()) {
    // After the drops before it, in the order they came.
    kept_ += paths;
    retry_.start();
    return;
  }
  Upload(paths);
}

void DroppedFiles::StartKept() {
  if (!live_.Get()) {
    // The session went: the drops went with it.
    kept_.clear();
    retry_.stop();
    return;
  }
  if (kept_.isEmpty() || !MayStartNow()) return;
  retry_.stop();
  const QStringList paths = std::exchange(kept_, {});
  Upload(paths);
}

void DroppedFiles::Upload(const QStringList& paths) {
  // An idle connection the server closed is made again first.
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const std::string prefix = LiveSession::ToStd(live_.Prefix());
  for (const QString& dropped : paths) {
    const QString path = QDir::cleanPath(dropped);  // a folder's trailing "/" would hide its name
    const std::string local = LiveSession::LocalPath(path);
    const std::string name = FileNamePart(local);
    const std::string target = prefix + name;
    const QFileInfo info(path);
    if (!info.exists()) continue;
    if (info.isDir()) {
      if (QueueLocalTree(frame_, live_, session, path, target, false) == TreeQueued::SessionGone) return;
    } else if (info.isFile()) {
      session->AddToQueue(local, target, false, static_cast<uint64_t>(info.size()), session->IsBinaryTransfer(local));
    } else {
      // A pipe or a device would hold the transfer up for ever.
      session->WriteLog("Skipping " + PrintableName(local) + ": not a regular file.");
    }
  }
  uploads_.StartAndShow(session);
}

}  // namespace veltrim::ui
