#include "ui/ftp/remote_navigator.h"

#include <QElapsedTimer>
#include <QProgressBar>

#include <ctime>

#include "core/engine/error_ids.h"
#include "core/ftp/remote_path.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/shared/command_ids.h"
#include "ui/views/directory_tree_navigator.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/connection_bar.h"

namespace veltrim::ui {

namespace {

std::string ToStd(const QString& text) { return LiveSession::ToStd(text); }
QString FromStd(const std::string& text) { return LiveSession::FromStd(text); }

// A typed directory path without the trailing "/"s that would leave it no
// last component ("/pub/new/" names the directory new).
QString WithoutTrailingSlashes(const QString& path) { return FromStd(ftp::TrimTrailingSlashes(ToStd(path))); }
QString BaseName(const QString& path) { return FromStd(ftp::RemoteBaseName(ToStd(path))); }

bool IsEnterable(const RemoteRow& row) {
  return row.typeText == QLatin1String(kFolderTypeText) || row.typeText == QLatin1String(kAliasTypeText);
}

}  // namespace

RemoteNavigator::RemoteNavigator(CMainFrame& frame, const LiveSession& live, QtSessionHost& host,
                                 DirectoryTreeNavigator& tree)
    : frame_(frame), live_(live), host_(host), view_(*frame.View()), list_(view_.Rows()), tree_(tree) {
  connect(&tree_, &DirectoryTreeNavigator::ChangeDirectoryRequested, this,
          [this](const QString& path) { GoToDirectory(path); });
}

void RemoteNavigator::InstallCommands() {
  frame_.SetCommandHandler(ID_CHANGE_DIRECTORY, [this] { OnChangeDirectory(); });
  frame_.SetCommandHandler(ID_HOME, [this] { OnHome(); });
  frame_.SetCommandHandler(ID_UP_LEVEL, [this] { OnUpLevel(); });
  frame_.SetCommandHandler(ID_ROOT, [this] { OnRoot(); });
  frame_.SetCommandHandler(ID_REFRESH, [this] { OnRefresh(); });
  frame_.SetCommandHandler(ID_CREATE_DIRECTORY, [this] { OnCreateDirectory(); });
  frame_.SetCommandHandler(ID_REMOVE_DIRECTORY, [this] { OnRemoveDirectory(); });
}

// ----------------------------------------------------------------- display

void RemoteNavigator::ShowStartDirectory() {
  const std::shared_ptr<CFtpSession> session = live_.Get();
  if (!session) return;
  const ServerSettings profile = frame_.ActiveProfile();
  tree_.SetRoot(FromStd(profile.Hostname));
  if (!profile.RemoteDir.empty()) {
    GoToDirectory(FromStd(profile.RemoteDir));
    return;
  }
  const std::string loginDirectory = session->GetCurrentDirectory();
  if (live_.Gone(session)) return;
  ServerSettings withHome = profile;
  withHome.RemoteDir = loginDirectory;  // where Home returns
  frame_.SetActiveProfile(withHome);
  ShowListing();
}

void RemoteNavigator::ShowListing() {
  const std::shared_ptr<CFtpSession> session = live_.Get();
  if (!session) return;
  QString path = FromStd(session->CurrentDir());
  if (path.endsWith(QLatin1Char('/'))) path.chop(1);
  tree_.ShowPath(path);
  list_.Clear();
  list_.ResetImageLists();
  if (path.isEmpty()) path = QStringLiteral("/");
  if (ConnectionBar* bar = frame_.ConnectionBarWidget())
    bar->SetText(FromStd(frame_.ActiveProfile().Name) + QStringLiteral(" - ") + path);

  session->ListDirectory();
  if (live_.Gone(session)) return;
  DirectoryListing& listing = session->Listing();

  frame_.SetBusy(true);
  QProgressBar* progress = frame_.ProgressBar();
  const int total = static_cast<int>(listing.Entries.size() % 65536);
  if (progress != nullptr) {
    progress->setRange(0, total);
    progress->setValue(0);
    progress->show();
  }
  auto finish = [this, progress] {
    frame_.SetBusy(false);
    if (progress != nullptr) progress->hide();
  };

  QElapsedTimer sincePump;
  sincePump.start();
  size_t shown = 0;
  for (size_t i = 0; i < listing.Entries.size(); ++i) {
    if (sincePump.elapsed() >= kListingPumpMs) {
      if (progress != nullptr) progress->setValue(static_cast<int>(shown % 65536));
      const bool quit = host_.PumpMessages();
      sincePump.restart();
      if (quit) {
        frame_.OnDisconnect();
        finish();
        return;
      }
      if (!live_.Alive(session)) {
        finish();
        return;
      }
    }
    ListingEntry& entry = listing.Entries[i];
    if (entry.IsDirectory) tree_.AddChild(FromStd(entry.Name));
    list_.AddEntry(entry);
    ++shown;
  }
  list_.Sort(list_.SortColumn(), true);

  if (frame_.Prefs().ShowWelcome && listing.HasMessageFile) {
    const std::string text = session->ReadTextFile(".message");
    if (!live_.Alive(session)) {
      finish();
      return;
    }
    session->WriteLog(text);
  }
  finish();
  if (live_.Gone(session)) return;
  tree_.ExpandCurrentNode();
  emit ListingShown();
}

void RemoteNavigator::ClearDisplay() {
  list_.Clear();
  tree_.DeleteAllItems();
  if (QProgressBar* progress = frame_.ProgressBar()) progress->hide();
}

// -------------------------------------------------------------- navigation

void RemoteNavigator::GoToDirectory(const QString& path) {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  session->ChangeDirectory(ToStd(path));
  if (live_.Gone(session)) return;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (live_.Gone(session)) return;
  if (now.empty()) {
    live_.ReportLost();
    return;
  }
  if (now != before) ShowListing();
}

void RemoteNavigator::BackToParentOf(const std::shared_ptr<CFtpSession>& session, const QString& path,
                                     const std::function<void()>& patchRows) {
  // "/a" has the root as its parent; a bare name, the server's current
  // directory ("").
  session->ChangeDirectory(ftp::RemoteParent(ToStd(path)));
  if (live_.Gone(session)) return;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (live_.Gone(session)) return;
  if (now != before)
    ShowListing();
  else
    patchRows();
}

void RemoteNavigator::OnChangeDirectory() {
  // No question while another operation waits: its answer would be dropped.
  if (!live_.BeginWork()) return;
  const QString current = live_.CurrentDir();
  QString target = current;
  const int row = view_.FirstSelectedRow();
  if (row >= 0) {
    if (IsEnterable(list_.Row(row))) target = list_.Row(row).name;
  } else {
    target = InputBox(QStringLiteral("Enter the full path of the directory you wish to change to:"),
                      QStringLiteral("Change Directory"), current, &frame_);
  }
  // An empty answer is a Cancel: nothing is sent or logged.
  if (!target.isEmpty() && target != current) GoToDirectory(target);
}

void RemoteNavigator::OnHome() { GoToDirectory(FromStd(frame_.ActiveProfile().RemoteDir)); }
void RemoteNavigator::OnUpLevel() { GoToDirectory(QStringLiteral("..")); }
void RemoteNavigator::OnRoot() { GoToDirectory(QStringLiteral("/")); }

void RemoteNavigator::OnRefresh() {
  // A listing started inside another operation's wait would run the
  // session's work inside itself.
  if (!live_.BeginWork()) return;
  ShowListing();
}

void RemoteNavigator::OpenSelection() {
  const int row = view_.FirstSelectedRow();
  if (row < 0) return;
  const RemoteRow& selected = list_.Row(row);
  if (IsEnterable(selected)) {
    GoToDirectory(selected.name);
    return;
  }
  frame_.ExecuteCommand(ID_DOWNLOAD);
}

// ------------------------------------------------------------- directories

void RemoteNavigator::OnCreateDirectory() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString current = live_.CurrentDir();
  QString answer = InputBox(QStringLiteral("Please enter the full path of the new directory:"),
                            QStringLiteral("Create Directory"), live_.Prefix(), &frame_);
  if (!live_.Alive(session)) return;
  answer = WithoutTrailingSlashes(answer);
  if (answer.isEmpty() || answer == current || answer == QLatin1String("/")) return;
  if (!session->MakeDirectory(ToStd(answer))) {
    if (!live_.Gone(session)) frame_.ShowError(kErrCreateDirectory, LiveSession::FailureDetail(*session));
    return;
  }
  if (live_.Gone(session)) return;
  const QString name = BaseName(answer);
  ListingEntry made;
  made.Name = ToStd(name);
  made.TypeText = kFolderTypeText;
  made.Path = ToStd(answer);
  made.Size = 0;
  made.Modified = std::time(nullptr);
  made.IsDirectory = true;
  made.IsNormal = false;
  session->Listing().Entries.push_back(std::move(made));
  ListingEntry& entry = session->Listing().Entries.back();

  BackToParentOf(session, answer, [&] {
    tree_.AddChild(name);
    list_.AddEntry(entry);
    list_.FlushStaged();
  });
}

void RemoteNavigator::OnRemoveDirectory() {
  if (!live_.BeginWork()) return;
  const std::shared_ptr<CFtpSession> session = live_.Get();
  const QString current = live_.CurrentDir();
  const QString base = live_.Prefix();
  QString path = base;
  const int row = view_.FirstSelectedRow();
  if (row >= 0 && list_.Row(row).typeText == QLatin1String(kFolderTypeText)) path = base + list_.Row(row).name;
  if (path == base) {
    path = InputBox(QStringLiteral("Please enter the full path of the directory to remove:"),
                    QStringLiteral("Remove Directory"), base, &frame_);
    if (!live_.Alive(session)) return;
  }
  path = WithoutTrailingSlashes(path);
  if (path.isEmpty() || path == current || path == QLatin1String("/")) return;
  if (!session->RemoveDirectory(ToStd(path))) {
    if (!live_.Gone(session)) frame_.ShowError(kErrRemoveDirectory, LiveSession::FailureDetail(*session));
    return;
  }
  if (live_.Gone(session)) return;
  const QString name = BaseName(path);
  BackToParentOf(session, path, [&] { RemoveRow(name); });
}

void RemoteNavigator::RemoveRow(const QString& name) {
  tree_.RemoveChild(name);
  list_.RemoveEntryByName(name);
}

void RemoteNavigator::RenameRow(const QString& oldName, const QString& newName) {
  // The tree keeps a node per folder it has seen; a renamed folder's node
  // must lead to the new name.
  const int row = list_.RowOf(oldName);
  if (row >= 0 && list_.Row(row).typeText == QLatin1String(kFolderTypeText)) tree_.RenameChild(oldName, newName);
  list_.RenameEntry(oldName, newName);
}

}  // namespace veltrim::ui
