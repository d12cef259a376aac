#pragma once
// View File and Edit File, each with the desktop's plain-text editor (the
// "&Notepad" entries) or with the program the desktop associates with the
// file's type ("&Associated Viewer"): the first selected file is copied into
// the private copies folder through the transfer queue and handed to the
// program; Edit then shows the "Edit File" box, whose Update sends the copy
// back over the remote file.

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPView;
class LiveSession;
class RemoteEntryModel;

class ViewEditCommands : public QObject {
  Q_OBJECT
 public:
  ViewEditCommands(CMainFrame& frame, const LiveSession& live);

  // Installs the handlers of the four commands into the frame's command table.
  void InstallCommands();

  // associated: the desktop's program for the type (binary copy) instead of
  // the plain-text editor (ASCII copy).
  void OnView(bool associated);
  void OnEdit(bool associated);

 private:
  // A remote file and its local copy, with the transfer type it came with
  // (and goes back with).
  struct LocalCopy {
    QString remotePath;
    QString localPath;
    bool binary = true;
  };

  // Copies the first selected file; nothing when no file is selected, the
  // window or session is busy, or the copy did not arrive complete (then a
  // stale or partial copy is never opened).
  std::optional<LocalCopy> FetchSelected(bool binary);
  void Open(const LocalCopy& copy, bool associated);
  void Update(const LocalCopy& copy);
  // Runs the queue on the main connection through the transfers' start
  // routine (transfer_start.h); true when every file of the run arrived.
  bool RunQueue(const std::shared_ptr<CFtpSession>& session, uint32_t errorId);

  CMainFrame& frame_;
  const LiveSession& live_;
  CVeltrimFTPView& view_;
  RemoteEntryModel& list_;
};

}  // namespace veltrim::ui
