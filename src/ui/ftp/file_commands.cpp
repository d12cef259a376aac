#include "ui/ftp/file_commands.h"

#include "core/engine/error_ids.h"
#include "core/ftp/remote_path.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/ftp/transfer_start.h"
#include "ui/shared/command_ids.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::ui {

namespace {

std::string ToStd(const QString& text) { return LiveSession::ToStd(text); }
// "/x/a" and "/x/a/" -> "a": the row a typed path names.
QString BaseName(const QString& path) { return LiveSession::FromStd(ftp::RemoteBaseName(ToStd(path))); }

}  // namespace

FileCommands::FileCommands(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator)
    : frame_(frame), live_(live), navigator_(navigator), view_(*frame.View()), list_(view_.Rows()) {
  connect(&list_, &RemoteEntryModel::RenameRequested, this,
          [this](int, const QString& oldName, const QString& newName) {
            // Typed back into the list: rename when it names something new.
            if (newName == oldName || newName.isEmpty() || oldName == QLatin1String(".") ||
                oldName == QLatin1String(".."))
              return;
            if (RenameRemoteFile(oldName, newName)) navigator_.RenameRow(oldName, newName);
          });
}

void FileCommands::InstallCommands() {
  frame_.SetCommandHandler(ID_DELETE_FILE, [this] { OnDeleteFile(); });
  frame_.SetCommandHandler(ID_RENAME_FILE, [this] { OnRenameFile(); });
}

void FileCommands::SetLabelEditing(std::function<bool()> isEditing, std::function<void(int)> startEdit) {
  isEditingLabel_ = std::move(isEditing);
  startLabelEdit_ = std::move(startEdit);
}

void FileCommands::OnDeleteFile() {
  if (EditingLabel() || !live_.BeginWork()) return;
  if (view_.FirstSelectedRow() >= 0) {
    DeleteSelectedFiles();
    return;
  }
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString current = live_.CurrentDir();
  const QString path = InputBox(QStringLiteral("Please enter the full path of the file to delete:"),
                                QStringLiteral("Delete File"), live_.Prefix(), &frame_);
  if (!live_.Alive(session)) return;
  if (path.isEmpty() || path == current) return;
  if (!session->DeleteFile(ToStd(path))) {
    if (!live_.Gone(session)) frame_.ShowError(kErrDeleteFile, LiveSession::FailureDetail(*session));
    return;
  }
  if (live_.Gone(session)) return;
  navigator_.BackToParentOf(session, path, [&] { navigator_.RemoveRow(BaseName(path)); });
}

void FileCommands::DeleteSelectedFiles() {
  // Folders among the selection stay (Remove Directory is for them); a
  // file the server refuses keeps its row.
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString prefix = live_.Prefix();
  FrameBusyScope busy(frame_);
  for (int row = 0; row < list_.rowCount();) {
    const RemoteRow& candidate = list_.Row(row);
    if (!view_.IsRowSelected(row) || candidate.typeText == QLatin1String(kFolderTypeText)) {
      ++row;
      continue;
    }
    const QString name = candidate.name;
    const bool deleted = session->DeleteFile(ToStd(prefix + name));
    if (live_.Gone(session)) return;
    if (deleted)
      list_.RemoveEntryByName(name);  // the next row moves up into this index
    else
      ++row;
  }
}

void FileCommands::OnRenameFile() {
  if (EditingLabel() || !live_.BeginWork()) return;
  if (const int row = view_.FirstSelectedRow(); row >= 0) {
    if (startLabelEdit_) startLabelEdit_(row);
    return;
  }
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString current = live_.CurrentDir();
  const QString oldPath = InputBox(QStringLiteral("Please enter the full path of the file to rename:"),
                                   QStringLiteral("Rename File"), live_.Prefix(), &frame_);
  if (!live_.Alive(session)) return;
  if (oldPath.isEmpty() || oldPath == current) return;
  const QString newPath = InputBox(QStringLiteral("Please enter the new name for\n") + oldPath,
                                   QStringLiteral("Rename File"), oldPath, &frame_);
  if (!live_.Alive(session)) return;
  if (!session->RenameFile(ToStd(oldPath), ToStd(newPath))) {
    if (!live_.Gone(session)) frame_.ShowError(kErrRenameFile, LiveSession::FailureDetail(*session));
    return;
  }
  if (live_.Gone(session)) return;
  navigator_.BackToParentOf(session, oldPath,
                            [&] { navigator_.RenameRow(BaseName(oldPath), BaseName(newPath)); });
}

bool FileCommands::RenameRemoteFile(const QString& oldName, const QString& newName) {
  if (!live_.BeginWork()) return false;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const bool renamed = session->RenameFile(ToStd(oldName), ToStd(newName));
  if (live_.Gone(session)) return false;
  if (!renamed) frame_.ShowError(kErrRenameFile, LiveSession::FailureDetail(*session));
  return renamed;
}

}  // namespace veltrim::ui
