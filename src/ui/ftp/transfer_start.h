#pragma once
// Starting the transfers a command has queued: the one routine every command
// that queues (download, upload, dropped files, view and edit) ends with.
//
//   1. Whether the run gets a second connection: never for the commands that
//      ask for the main one; none needed while a background run already
//      goes (the new items join it); otherwise the remembered answer, else
//      the "Establish a new connection" question (answer stored in the
//      frame's preferences).
//   2. The frame's busy flag is set while ProcessQueue runs (it pumps the
//      window, so other commands must hold back).
//   3. A run that failed shows the command's error box (61208 for downloads,
//      61212 for uploads and drops, 61209 for Edit's update).
//
// Window thread only. The caller has checked that work may start
// (LiveSession::BeginWork) before it queued anything.

#include <cstdint>

namespace veltrim::ui {

class CMainFrame;
class LiveSession;

enum class TransferConnection {
  Decide,    // the new-connection decision as above
  MainOnly,  // always the main connection (view, edit)
};

// Returns true when the run went well; false when it failed (after the box),
// or when the session went away or its main connection turned out to be lost
// while it ran (LiveSession::Gone: the lost-connection routine has run).
bool StartQueuedTransfers(CMainFrame& frame, const LiveSession& live, uint32_t errorId,
                          TransferConnection connection = TransferConnection::Decide);

// Holds the frame's busy flag for a scope and puts back what it was.
class FrameBusyScope {
 public:
  explicit FrameBusyScope(CMainFrame& frame);
  ~FrameBusyScope();
  FrameBusyScope(const FrameBusyScope&) = delete;
  FrameBusyScope& operator=(const FrameBusyScope&) = delete;

 private:
  CMainFrame& frame_;
  bool previous_;
};

}  // namespace veltrim::ui
