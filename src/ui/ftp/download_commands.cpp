#include "ui/ftp/download_commands.h"

#include <QDir>

#include "core/engine/error_ids.h"
#include "core/engine/safe_local_path.h"
#include "core/ftp/remote_path.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/transfer_start.h"
#include "ui/ftp/tree_queueing.h"
#include "ui/shared/command_ids.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::ui {

namespace {

constexpr char kFolderTitle[] = "Choose a directory to place all downloaded files";
constexpr char kCaption[] = "Download File";

std::string ToStd(const QString& text) { return LiveSession::ToStd(text); }
QString FromStd(const std::string& text) { return LiveSession::FromStd(text); }
std::string LocalPath(const QString& path) { return LiveSession::LocalPath(path); }

// The part after the last "/" of a typed path (the whole entry without one).
std::string AfterLastSlash(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// folder joined with a name from the server's listing; empty (and logged)
// when the name would lead anywhere else ("../x", "/etc/x").
std::string InsideFolder(CFtpSession& session, const QString& folder, const std::string& name) {
  std::string path = LocalPathForServerName(LocalPath(folder), name);
  if (path.empty()) session.WriteLog("Skipping unsafe name from the server: " + PrintableName(name));
  return path;
}

}  // namespace

DownloadCommands::DownloadCommands(CMainFrame& frame, const LiveSession& live)
    : frame_(frame), live_(live), view_(*frame.View()), list_(view_.Rows()) {}

void DownloadCommands::InstallCommands() {
  frame_.SetCommandHandler(ID_DOWNLOAD, [this] { OnDownloadFiles(); });
  frame_.SetCommandHandler(ID_DOWNLOAD_DIRECTORY, [this] { OnDownloadDirectory(); });
}

std::vector<DownloadCommands::PickedRow> DownloadCommands::SelectedRows() const {
  std::vector<PickedRow> rows;
  for (int row = 0; row < list_.rowCount(); ++row) {  // display order
    if (!view_.IsRowSelected(row)) continue;
    const RemoteRow& shown = list_.Row(row);
    PickedRow picked;
    picked.name = shown.entry != nullptr ? shown.entry->Name : ToStd(shown.name);
    picked.size = shown.entry != nullptr ? shown.entry->Size : 0;
    picked.folder = shown.typeText == QLatin1String(kFolderTypeText);
    rows.push_back(std::move(picked));
  }
  return rows;
}

QString DownloadCommands::AskLocalFile(const QString& proposedName) const {
  // A name that is no plain file name (a hostile listing's "../x") is not
  // proposed: the dialog opens on the folder alone.
  const bool safe = IsSafeLocalName(ToStd(proposedName));
  const QString proposed = safe ? QDir(live_.LocalDir()).filePath(proposedName) : live_.LocalDir();
  return Prompts().SaveFileName(&frame_, QString::fromLatin1(kCaption), proposed, QString());
}

QString DownloadCommands::AskLocalFolder() const {
  return CFolderBrowser(&frame_, QString::fromLatin1(kFolderTitle), live_.LocalDir()).Browse();
}

void DownloadCommands::OnDownloadFiles() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const std::string prefix = ToStd(live_.Prefix());
  const std::vector<PickedRow> rows = SelectedRows();

  if (rows.size() >= 2) {
    const QString folder = AskLocalFolder();
    if (folder.isEmpty() || !live_.Alive(session)) return;
    for (const PickedRow& row : rows) {
      const std::string source = prefix + row.name;
      const std::string local = InsideFolder(*session, folder, row.name);
      if (local.empty()) continue;
      if (row.folder) {
        // A cleared queue lost the items before this one too; the rest
        // still go.
        if (QueueRemoteTree(frame_, live_, session, source, folder) == TreeQueued::SessionGone) return;
        continue;
      }
      session->AddToQueue(source, local, true, row.size, session->IsBinaryTransfer(source));
      if (live_.Gone(session)) return;
    }
  } else if (rows.size() == 1) {
    const PickedRow& row = rows.front();
    const std::string source = prefix + row.name;
    if (row.folder) {
      const QString folder = AskLocalFolder();
      if (folder.isEmpty() || !live_.Alive(session)) return;
      if (InsideFolder(*session, folder, row.name).empty()) return;
      if (QueueRemoteTree(frame_, live_, session, source, folder) == TreeQueued::SessionGone) return;
    } else {
      const QString local = AskLocalFile(FromStd(row.name));
      if (local.isEmpty() || !live_.Alive(session)) return;
      session->AddToQueue(source, LocalPath(local), true, row.size, session->IsBinaryTransfer(source));
    }
  } else {
    const QString typed = InputBox(QStringLiteral("Please enter the full path of the file to download:"),
                                   QString::fromLatin1(kCaption), live_.Prefix(), &frame_);
    if (typed.isEmpty() || !live_.Alive(session)) return;
    const QString local = AskLocalFile(FromStd(AfterLastSlash(ToStd(typed))));
    if (local.isEmpty() || !live_.Alive(session)) return;
    // Absolute, so that a second connection (which starts in the login
    // directory) finds the same file.
    const std::string source = ftp::ResolveRemotePath(session->CurrentDir(), ToStd(typed));
    session->AddToQueue(source, LocalPath(local), true, 0, session->IsBinaryTransfer(source));
  }
  if (live_.Gone(session)) return;
  StartQueuedTransfers(frame_, live_, kErrDownloadFile);
}

void DownloadCommands::OnDownloadDirectory() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString typed = InputBox(QStringLiteral("Please enter the full path of the directory to download:"),
                                 QString::fromLatin1(kCaption), live_.Prefix(), &frame_);
  if (typed.isEmpty() || !live_.Alive(session)) return;
  const QString folder = AskLocalFolder();
  if (folder.isEmpty() || !live_.Alive(session)) return;
  const std::string remote = ftp::ResolveRemotePath(session->CurrentDir(), ToStd(typed));
  if (QueueRemoteTree(frame_, live_, session, remote, folder) == TreeQueued::SessionGone) return;
  StartQueuedTransfers(frame_, live_, kErrDownloadFile);
}

}  // namespace veltrim::ui
