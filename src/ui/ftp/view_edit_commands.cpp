#include "ui/ftp/view_edit_commands.h"

#include <QDir>

#include "core/engine/error_ids.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/edit_file_dlg.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/local_copies.h"
#include "ui/ftp/local_programs.h"
#include "ui/ftp/transfer_start.h"
#include "ui/shared/command_ids.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::ui {

namespace {

std::string ToStd(const QString& text) { return LiveSession::ToStd(text); }

}  // namespace

ViewEditCommands::ViewEditCommands(CMainFrame& frame, const LiveSession& live)
    : frame_(frame), live_(live), view_(*frame.View()), list_(view_.Rows()) {}

void ViewEditCommands::InstallCommands() {
  frame_.SetCommandHandler(ID_VIEW_FILE, [this] { OnView(false); });
  frame_.SetCommandHandler(ID_VIEW_ASSOCIATED, [this] { OnView(true); });
  frame_.SetCommandHandler(ID_EDIT_FILE, [this] { OnEdit(false); });
  frame_.SetCommandHandler(ID_EDIT_ASSOCIATED, [this] { OnEdit(true); });
}

void ViewEditCommands::OnView(bool associated) {
  // The plain-text editor gets the text with this system's line ends.
  if (const auto copy = FetchSelected(associated)) Open(*copy, associated);
}

void ViewEditCommands::OnEdit(bool associated) {
  const auto copy = FetchSelected(associated);
  if (!copy) return;
  Open(*copy, associated);
  CEditFileDlg box(&frame_);
  if (RunModal(box) != QDialog::Accepted) return;
  Update(*copy);
}

std::optional<ViewEditCommands::LocalCopy> ViewEditCommands::FetchSelected(bool binary) {
  if (!live_.BeginWork()) return std::nullopt;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const int row = view_.FirstSelectedRow();
  if (row < 0) return std::nullopt;
  const RemoteRow& selected = list_.Row(row);
  if (selected.typeText == QLatin1String(kFolderTypeText)) return std::nullopt;
  if (session->IsTransferConnected()) {
    // A background run would take the file up whenever it gets to it.
    ShowInformation(&frame_, QStringLiteral("VeltrimFTP"),
                    QStringLiteral("The file can be opened once the transfers running in the background have ended."));
    return std::nullopt;
  }
  QString why;
  const QString folder = PrivateCopyFolder(&why);
  if (folder.isEmpty()) {
    ShowCritical(&frame_, QStringLiteral("Error"), why);
    return std::nullopt;
  }
  LocalCopy copy{live_.Prefix() + selected.name, QDir(folder).filePath(SafeCopyName(selected.name)), binary};
  // A known size spares the queue a question to the server on this thread.
  const uint64_t size = selected.entry != nullptr && selected.entry->Size > 0 ? selected.entry->Size : 1;
  session->AddToQueue(ToStd(copy.remotePath), ToStd(copy.localPath), true, size, binary);
  if (!RunQueue(session, kErrDownloadFile)) return std::nullopt;
  return copy;
}

void ViewEditCommands::Open(const LocalCopy& copy, bool associated) {
  const bool started = associated ? Programs().OpenWithAssociatedProgram(copy.localPath)
                                  : Programs().OpenInTextEditor(copy.localPath);
  if (!started)
    ShowWarning(&frame_, QStringLiteral("VeltrimFTP"),
                QStringLiteral("No program could be started to open the copy %1.").arg(copy.localPath));
}

void ViewEditCommands::Update(const LocalCopy& copy) {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  // Back to the file it came from, in the type it came in (another type
  // would change its line ends).
  session->AddToQueue(ToStd(copy.localPath), ToStd(copy.remotePath), false, 0, copy.binary);
  RunQueue(session, kErrTransferData);
}

bool ViewEditCommands::RunQueue(const std::shared_ptr<CFtpSession>& session, uint32_t errorId) {
  const TransferRunSummary before = session->TransferRuns();
  if (!StartQueuedTransfers(frame_, live_, errorId, TransferConnection::MainOnly)) return false;
  // The run reports each file that failed itself; all that matters here is
  // whether every file arrived.
  const TransferRunSummary after = session->TransferRuns();
  return after.Runs > before.Runs && after.Completed > before.Completed && after.Failed == before.Failed &&
         after.Cancelled == before.Cancelled;
}

}  // namespace veltrim::ui
