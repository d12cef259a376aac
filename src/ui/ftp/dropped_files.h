#pragma once
// Files and folders dropped on the connected window: each goes to the
// directory on display, in the order the desktop gives them (a file is
// queued, a folder walked as by Upload Directory but without the wait box),
// then the queue starts (transfer_start.h, 61212).
//
// A drop that arrives while the window or the session is at work, or while
// a transfer run goes on a second connection, is kept and uploaded by a run
// of its own once that work is over: nothing is added to a queue that a
// transfer worker is walking, and a folder walk never runs inside another
// command's wait.

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace veltrim::ui {

class CMainFrame;
class LiveSession;
class UploadCommands;

class DroppedFiles : public QObject {
  Q_OBJECT
 public:
  // How often a kept drop looks whether it may start.
  static constexpr int kRetryMilliseconds = 200;

  DroppedFiles(CMainFrame& frame, const LiveSession& live, UploadCommands& uploads);

  // Becomes the frame's handler of drops while connected.
  void Install();

  void OnDrop(const QStringList& paths);
  // Paths waiting for the work in progress to end.
  const QStringList& Kept() const { return kept_; }

 private:
  bool MayStartNow() const;
  void StartKept();
  void Upload(const QStringList& paths);

  CMainFrame& frame_;
  const LiveSession& live_;
  UploadCommands& uploads_;
  QStringList kept_;
  QTimer retry_;
};

}  // namespace veltrim::ui
