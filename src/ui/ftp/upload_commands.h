#pragma once
// Upload File(s) (several local files at once, into the directory on
// display) and Upload Directory (a local folder and everything below it,
// into a directory of the same name there). Both end by starting the queue
// (transfer_start.h, 61212); the directory on display is listed afresh when
// the run has ended (a run on a second connection ends later), so the
// uploaded files show.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;
class LiveSession;
class RemoteNavigator;

class UploadCommands : public QObject {
  Q_OBJECT
 public:
  UploadCommands(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator);

  // Installs the handlers of Upload File(s) and Upload Directory.
  void InstallCommands();

  void OnUploadFiles();
  void OnUploadDirectory();

  // Starts what the command queued and shows the result in the list.
  void StartAndShow(const std::shared_ptr<CFtpSession>& session);

 private:
  // A background run went on: list again once it is over and the window idle.
  void RefreshWhenIdle();

  CMainFrame& frame_;
  const LiveSession& live_;
  RemoteNavigator& navigator_;
  QTimer refreshAfterRun_;
};

}  // namespace veltrim::ui
