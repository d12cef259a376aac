#pragma once
// Queueing a whole directory tree from the window: the session's tree walk
// with the "Adding files to Queue" box on screen, whose Cancel stops the
// walk, and then the cancel-queue policy for what was queued so far.
//
// The policy, when the box's Cancel was pressed: the remembered "Cancel"
// answer clears the queue, "NeverCancel" keeps it, otherwise the "Cancel
// Transfer" question decides (a ticked box is remembered, in the frame's
// preferences and in the session, after either answer).
//
// Window thread only; the walks serve the window while they work, so the
// caller holds the frame's busy flag around them.

#include <QString>

#include <memory>
#include <string>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;
class LiveSession;

enum class TreeQueued {
  Kept,         // queued whole, or stopped and the partial queue kept
  Cleared,      // stopped and the queue cleared
  Failed,       // an upload walk could not make a remote directory (it said so)
  SessionGone,  // the session was released, or its connection lost, while the walk ran
};

// Queues remoteDir for download into localFolder/<its last component>/...;
// the server's working directory is back where the list shows afterwards.
TreeQueued QueueRemoteTree(CMainFrame& frame, const LiveSession& live, const std::shared_ptr<CFtpSession>& session,
                           const std::string& remoteDir, const QString& localFolder);

// Queues the local folder for upload into remoteDir (made, or merged into).
// withBox: show the "Adding files to Queue" box (dropped folders go without
// it); the cancel policy applies however the walk ended once Cancel was
// pressed, so a stopped walk never leaves a partial queue behind unasked.
TreeQueued QueueLocalTree(CMainFrame& frame, const LiveSession& live, const std::shared_ptr<CFtpSession>& session,
                          const QString& localFolder, const std::string& remoteDir, bool withBox = true);

// The cancel-queue policy alone; true when it cleared the queue.
bool ClearQueueAfterStop(CMainFrame& frame, CFtpSession& session);

}  // namespace veltrim::ui
