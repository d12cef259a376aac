#include "ui/ftp/connection_controller.h"

#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <algorithm>
#include <ctime>

#include "core/engine/error_ids.h"
#include "ui/app/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/commands/input_dlg.h"
#include "ui/commands/prompts.h"
#include "ui/ftp/connection_security.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/session_handle.h"
#include "ui/ftp/session_log_sink.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/views/directory_tree_navigator.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/widgets/connection_bar.h"

namespace veltrim::ui {

namespace {

std::string ToStd(const QString& text) { return text.toStdString(); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// The part of a path after its last "/" (the whole path without one).
QString LastComponent(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? path : path.mid(slash + 1);
}

// A typed directory path without the trailing "/"s that would leave it no
// last component ("/pub/new/" names the directory new).
QString WithoutTrailingSlashes(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path;
}

int WatchdogMilliseconds(int32_t timeoutSeconds) {
  // A profile's 0 or a negative number would end every attempt at once.
  return std::clamp<int32_t>(timeoutSeconds, 1, 3600) * 1000;
}

}  // namespace

ConnectionController::ConnectionController(CMainFrame& frame, BrowseWidgets widgets)
    : QObject(&frame),
      frame_(frame),
      widgets_(widgets),
      host_(std::make_shared<QtSessionHost>(&frame)),
      log_(std::make_shared<SessionLogSink>(frame.SessionLog())) {
  watchdog_.setSingleShot(false);
  connect(&watchdog_, &QTimer::timeout, this, &ConnectionController::OnWatchdogTick);
  host_->SetAttemptAbortedHandler([this] { frame_.SetAttemptAborted(true); });
  // The user's time with the certificate question is not the server's: the
  // watchdog stops while it is open and starts afresh after it.
  host_->SetCertificateQuestionHandler([this, held = std::make_shared<bool>(false)](bool open) {
    if (open) {
      *held = watchdog_.isActive();
      watchdog_.stop();
    } else if (*held) {
      watchdog_.start(WatchdogMilliseconds(frame_.ActiveProfile().Timeout));
    }
  });
  host_->SetRememberCancelHandler([this](RememberedCancel which) {
    if (which == RememberedCancel::AlwaysCancel) frame_.Prefs().Cancel = true;
    if (which == RememberedCancel::NeverCancel) frame_.Prefs().NeverCancel = true;
  });
  if (widgets_.tree != nullptr)
    connect(widgets_.tree, &DirectoryTreeNavigator::ChangeDirectoryRequested, this,
            [this](const QString& path) { GoToDirectory(path); });
  if (widgets_.list != nullptr)
    connect(widgets_.list, &RemoteEntryModel::RenameRequested, this,
            [this](int, const QString& oldName, const QString& newName) {
              // Typed back into the list: rename when it names something new.
              if (newName == oldName || newName.isEmpty() || oldName == QLatin1String(".") ||
                  oldName == QLatin1String(".."))
                return;
              if (RenameRemoteFile(oldName, newName) && widgets_.list != nullptr)
                widgets_.list->RenameEntry(oldName, newName);
            });
}

ConnectionController::~ConnectionController() {
  watchdog_.stop();
  // The frame may still hold a handle whose release calls back here.
  live_.reset();
}

void ConnectionController::InstallCommands() {
  frame_.SetCommandHandler(ID_CONNECT, [this] { OnConnect(); });
  frame_.SetCommandHandler(ID_DISCONNECT, [this] { OnDisconnectCommand(); });
  frame_.SetCommandHandler(ID_CHANGE_DIRECTORY, [this] { OnChangeDirectory(); });
  frame_.SetCommandHandler(ID_HOME, [this] { OnHome(); });
  frame_.SetCommandHandler(ID_UP_LEVEL, [this] { OnUpLevel(); });
  frame_.SetCommandHandler(ID_ROOT, [this] { OnRoot(); });
  frame_.SetCommandHandler(ID_REFRESH, [this] { OnRefresh(); });
  frame_.SetCommandHandler(ID_CREATE_DIRECTORY, [this] { OnCreateDirectory(); });
  frame_.SetCommandHandler(ID_REMOVE_DIRECTORY, [this] { OnRemoveDirectory(); });
  frame_.SetCommandHandler(ID_DELETE_FILE, [this] { OnDeleteFile(); });
  frame_.SetCommandHandler(ID_RENAME_FILE, [this] { OnRenameFile(); });
}

void ConnectionController::SetLabelEditing(std::function<bool()> isEditing, std::function<void(int)> startEdit) {
  isEditingLabel_ = std::move(isEditing);
  startLabelEdit_ = std::move(startEdit);
}

QString ConnectionController::ParentPath(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash <= 0) return QString();
  return path.left(slash);
}

QString ConnectionController::ParentDirectory(const QString& path) {
  if (path.lastIndexOf(QLatin1Char('/')) == 0 && path.size() > 1) return QStringLiteral("/");
  return ParentPath(path);
}

// ---------------------------------------------------------------- connect

void ConnectionController::OnConnect() {
  for (;;) {
    if (frame_.Session() != nullptr) return;
    if (Attempt()) return;
    if (frame_.Quitting() || QuitRequested()) {
      watchdog_.stop();
      return;
    }

    // The watchdog step: retry, or give up with the box.
    if (frame_.Session() == nullptr) {
      watchdog_.stop();
      return;
    }
    if (frame_.Session()->IsConnected()) {
      watchdog_.stop();
      return;
    }
    const int retries = std::clamp<int32_t>(frame_.ActiveProfile().Retries, 0, kMaxRetries);
    if (frame_.AttemptCounter() < retries && !frame_.AttemptAborted()) {
      frame_.SetAttemptCounter(frame_.AttemptCounter() + 1);
      Disconnect(DisconnectWhy::Retry);
      if (frame_.AttemptAborted()) return;
      continue;
    }
    watchdog_.stop();
    Disconnect(DisconnectWhy::GaveUp);
    frame_.SetAttemptCounter(0);
    frame_.SetAttemptAborted(false);
    ShowInformation(&frame_, QStringLiteral("Not Connected"),
                    QStringLiteral("A connection to the server could not be established"));
    return;
  }
}

bool ConnectionController::Attempt() {
  const ServerSettings profile = frame_.ActiveProfile();
  const Preferences& prefs = frame_.Prefs();

  auto session = std::make_shared<CFtpSession>(host_);
  session->SetLogSink(log_);
  log_->ShowScrollBar();
  session->SetAlwaysCancelQueue(prefs.Cancel);
  session->SetNeverCancelQueue(prefs.NeverCancel);
  session->SetPlaySounds(prefs.PlaySounds);
  session->SetBinaryMode(prefs.Binary);
  session->SetAutoMode(prefs.Auto);
  std::vector<std::string> extensions;
  for (const QString& extension : prefs.Extensions)
    if (!extension.isEmpty()) extensions.push_back(ToStd(extension));
  extensions.emplace_back();  // the end marker
  session->SetTextExtensions(std::move(extensions));
  session->SetBlockSize(prefs.BlockSize);
  session->SetUseTlsWhenOffered(prefs.UseTLSWhenOffered);
  session->SetKnownCertificatesFile(ToStd(KnownCertificatesPath()));
  session->SetServerSettings(profile);

  live_ = session;
  CFtpSession* raw = session.get();
  // The frame may outlive this controller by a moment at exit.
  QPointer<ConnectionController> self(this);
  frame_.AttachSession(std::make_unique<SessionHandle>(session, [self, raw] {
    if (self) self->OnSessionReleased(raw);
  }));
  if (CVeltrimFTPDoc* doc = frame_.Document()) {
    doc->AssignProfile(profile);
    doc->SetTitle();
  }

  watchdog_.start(WatchdogMilliseconds(profile.Timeout));
  ++attempts_;
  const bool loggedIn = session->Connect(frame_.AttemptCounter());
  if (!Alive(session)) {
    // Disconnected while the attempt waited: nothing more to try.
    watchdog_.stop();
    return true;
  }
  if (!loggedIn) return false;
  AfterLogin(session);
  return true;
}

void ConnectionController::AfterLogin(const std::shared_ptr<CFtpSession>& session) {
  watchdog_.stop();
  frame_.SetConnected(true);
  ShowConnectionSecurity(frame_.ConnectionBarWidget(), session->Security());
  const ServerSettings profile = frame_.ActiveProfile();
  if (widgets_.tree != nullptr) widgets_.tree->SetRoot(FromStd(profile.Hostname));
  if (!profile.RemoteDir.empty()) {
    GoToDirectory(FromStd(profile.RemoteDir));
    return;
  }
  const std::string loginDirectory = session->GetCurrentDirectory();
  if (!Alive(session)) return;
  ServerSettings withHome = profile;
  withHome.RemoteDir = loginDirectory;  // where Home returns
  frame_.SetActiveProfile(withHome);
  ShowListing();
}

void ConnectionController::OnWatchdogTick() {
  if (!live_ || frame_.Session() == nullptr) {
    watchdog_.stop();
    return;
  }
  if (live_->IsConnected()) {
    watchdog_.stop();
    return;
  }
  // The attempt is still waiting inside Connect: end that wait. Connect
  // returns "timed out" and the retry loop goes on from there.
  watchdog_.stop();
  live_->AbandonAttempt();
}

// ------------------------------------------------------------- disconnect

bool ConnectionController::OnDisconnectCommand() {
  if (frame_.Session() == nullptr) return true;
  // Disconnecting resets the profile; an unsaved one would be lost.
  if (CVeltrimFTPDoc* doc = frame_.Document(); doc != nullptr && doc->IsModified()) {
    if (!doc->SaveModified()) return false;
  }
  watchdog_.stop();
  frame_.OnDisconnect();
  return true;
}

void ConnectionController::Disconnect(DisconnectWhy why) {
  if (why != DisconnectWhy::Retry) {
    if (CVeltrimFTPDoc* doc = frame_.Document(); doc != nullptr && doc->IsModified()) doc->SaveModified();
  }
  watchdog_.stop();
  frame_.OnDisconnect();
}

void ConnectionController::OnSessionReleased(CFtpSession* session) {
  if (live_.get() != session) return;
  live_.reset();
  watchdog_.stop();
  ClearConnectionSecurity(frame_.ConnectionBarWidget());
  // The rows point into the session's listing: they go with it.
  if (widgets_.list != nullptr) widgets_.list->Clear();
  if (widgets_.tree != nullptr) widgets_.tree->DeleteAllItems();
  if (QProgressBar* progress = frame_.ProgressBar()) progress->hide();
}

// ------------------------------------------------------------- navigation

bool ConnectionController::CanStartWork() const {
  return live_ && !frame_.Busy() && !live_->IsBusy();
}

QString ConnectionController::CurrentDir() const { return live_ ? FromStd(live_->CurrentDir()) : QString(); }

QString ConnectionController::Prefix() const {
  const QString current = CurrentDir();
  return current == QLatin1String("/") ? current : current + QLatin1Char('/');
}

void ConnectionController::ShowListing() {
  std::shared_ptr<CFtpSession> session = live_;
  if (!session) return;
  QString path = FromStd(session->CurrentDir());
  if (path.endsWith(QLatin1Char('/'))) path.chop(1);
  if (widgets_.tree != nullptr) widgets_.tree->ShowPath(path);
  if (widgets_.list != nullptr) {
    widgets_.list->Clear();
    widgets_.list->ResetImageLists();
  }
  if (path.isEmpty()) path = QStringLiteral("/");
  if (ConnectionBar* bar = frame_.ConnectionBarWidget())
    bar->SetText(FromStd(frame_.ActiveProfile().Name) + QStringLiteral(" - ") + path);

  session->ListDirectory();
  if (!Alive(session)) return;
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
      const bool quit = host_->PumpMessages();
      sincePump.restart();
      if (quit) {
        frame_.OnDisconnect();
        finish();
        return;
      }
      if (!Alive(session)) {
        finish();
        return;
      }
    }
    ListingEntry& entry = listing.Entries[i];
    if (entry.IsDirectory && widgets_.tree != nullptr) widgets_.tree->AddChild(FromStd(entry.Name));
    if (widgets_.list != nullptr) widgets_.list->AddEntry(entry);
    ++shown;
  }
  if (widgets_.list != nullptr) widgets_.list->Sort(widgets_.list->SortColumn(), true);

  if (frame_.Prefs().ShowWelcome && listing.HasMessageFile) {
    const std::string text = session->ReadTextFile(".message");
    if (!Alive(session)) {
      finish();
      return;
    }
    session->WriteLog(text);
  }
  finish();
  if (widgets_.tree != nullptr) widgets_.tree->ExpandCurrentNode();
  emit ListingShown();
}

void ConnectionController::GoToDirectory(const QString& path) {
  if (!CanStartWork()) return;
  std::shared_ptr<CFtpSession> session = live_;
  session->ChangeDirectory(ToStd(path));
  if (!Alive(session)) return;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (!Alive(session)) return;
  if (now.empty()) {
    ShowMessage(&frame_, QMessageBox::Critical, QStringLiteral("Disconnected"),
                QStringLiteral("You have been disconnected from the server"));
    Disconnect(DisconnectWhy::Lost);
    return;
  }
  if (now != before) ShowListing();
}

int ConnectionController::FirstSelectedRow() const {
  if (widgets_.selection == nullptr || widgets_.list == nullptr) return -1;
  int first = -1;
  for (const QModelIndex& index : widgets_.selection->selectedRows())
    if (first < 0 || index.row() < first) first = index.row();
  if (first < 0) {
    // Some views select whole rows cell by cell.
    for (const QModelIndex& index : widgets_.selection->selectedIndexes())
      if (first < 0 || index.row() < first) first = index.row();
  }
  return first < widgets_.list->rowCount() ? first : -1;
}

bool ConnectionController::IsRowSelected(int row) const {
  if (widgets_.selection == nullptr) return false;
  return widgets_.selection->isRowSelected(row, QModelIndex()) ||
         widgets_.selection->isSelected(widgets_.list->index(row, 0));
}

void ConnectionController::OnChangeDirectory() {
  // No question while another operation waits: its answer would be dropped.
  if (!CanStartWork()) return;
  const QString current = CurrentDir();
  QString target = current;
  const int row = FirstSelectedRow();
  if (row >= 0) {
    const RemoteRow& selected = widgets_.list->Row(row);
    if (selected.typeText == QLatin1String(kFolderTypeText) || selected.typeText == QLatin1String(kAliasTypeText))
      target = selected.name;
  } else {
    target = InputBox(QStringLiteral("Enter the full path of the directory you wish to change to:"),
                      QStringLiteral("Change Directory"), current, &frame_);
  }
  if (target != current) GoToDirectory(target);
}

void ConnectionController::OnHome() { GoToDirectory(FromStd(frame_.ActiveProfile().RemoteDir)); }
void ConnectionController::OnUpLevel() { GoToDirectory(QStringLiteral("..")); }
void ConnectionController::OnRoot() { GoToDirectory(QStringLiteral("/")); }

void ConnectionController::OnRefresh() {
  // A listing started inside another operation's wait would run the
  // session's work inside itself.
  if (!CanStartWork()) return;
  ShowListing();
}

void ConnectionController::OnCreateDirectory() {
  if (!CanStartWork()) return;
  std::shared_ptr<CFtpSession> session = live_;
  const QString current = CurrentDir();
  QString answer = InputBox(QStringLiteral("Please enter the full path of the new directory:"),
                            QStringLiteral("Create Directory"), Prefix(), &frame_);
  if (!Alive(session)) return;
  answer = WithoutTrailingSlashes(answer);
  if (answer.isEmpty() || answer == current || answer == QLatin1String("/")) return;
  if (!session->MakeDirectory(ToStd(answer))) {
    if (Alive(session)) frame_.ShowError(kErrCreateDirectory);
    return;
  }
  if (!Alive(session)) return;
  const QString name = LastComponent(answer);
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

  if (!BackInParentOf(session, answer)) return;
  if (widgets_.tree != nullptr) widgets_.tree->AddChild(name);
  if (widgets_.list != nullptr) {
    widgets_.list->AddEntry(entry);
    widgets_.list->FlushStaged();
  }
}

bool ConnectionController::BackInParentOf(const std::shared_ptr<CFtpSession>& session, const QString& path) {
  session->ChangeDirectory(ToStd(ParentDirectory(path)));
  if (!Alive(session)) return false;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (!Alive(session)) return false;
  if (now != before) {
    ShowListing();
    return false;
  }
  return true;
}

void ConnectionController::OnRemoveDirectory() {
  if (!CanStartWork()) return;
  std::shared_ptr<CFtpSession> session = live_;
  const QString current = CurrentDir();
  const QString base = Prefix();
  QString path = base;
  const int row = FirstSelectedRow();
  if (row >= 0 && widgets_.list->Row(row).typeText == QLatin1String(kFolderTypeText))
    path = base + widgets_.list->Row(row).name;
  if (path == base) {
    path = InputBox(QStringLiteral("Please enter the full path of the directory to remove:"),
                    QStringLiteral("Remove Directory"), base, &frame_);
    if (!Alive(session)) return;
  }
  path = WithoutTrailingSlashes(path);
  if (path.isEmpty() || path == current || path == QLatin1String("/")) return;
  if (!session->RemoveDirectory(ToStd(path))) {
    if (Alive(session)) frame_.ShowError(kErrRemoveDirectory);
    return;
  }
  if (!Alive(session)) return;
  const QString name = LastComponent(path);
  if (!BackInParentOf(session, path)) return;
  if (widgets_.tree != nullptr) widgets_.tree->RemoveChild(name);
  if (widgets_.list != nullptr) widgets_.list->RemoveEntryByName(name);
}

// ------------------------------------------------------------------ files

void ConnectionController::OnDeleteFile() {
  if (isEditingLabel_ && isEditingLabel_()) return;
  if (!CanStartWork()) return;
  std::shared_ptr<CFtpSession> session = live_;
  const QString prefix = Prefix();
  if (FirstSelectedRow() >= 0) {
    frame_.SetBusy(true);
    struct BusyEnd {
      CMainFrame& frame;
      ~BusyEnd() { frame.SetBusy(false); }
    } busyEnd{frame_};
    for (int row = 0; widgets_.list != nullptr && row < widgets_.list->rowCount();) {
      const RemoteRow& candidate = widgets_.list->Row(row);
      if (!IsRowSelected(row) || candidate.typeText == QLatin1String(kFolderTypeText)) {
        ++row;
        continue;
      }
      const QString name = candidate.name;
      const bool deleted = session->DeleteFile(ToStd(prefix + name));
      if (!Alive(session)) return;
      if (deleted) widgets_.list->RemoveEntryByName(name);  // the next row moves up into this index
      else ++row;
    }
    return;
  }
  const QString current = CurrentDir();
  const QString path = InputBox(QStringLiteral("Please enter the full path of the file to delete:"),
                                QStringLiteral("Delete File"), prefix, &frame_);
  if (!Alive(session)) return;
  if (path.isEmpty() || path == current) return;
  if (!session->DeleteFile(ToStd(path))) {
    if (Alive(session)) frame_.ShowError(kErrDeleteFile);
    return;
  }
  if (!Alive(session)) return;
  session->ChangeDirectory(ToStd(ParentDirectory(path)));
  if (!Alive(session)) return;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (!Alive(session)) return;
  if (now != before) ShowListing();
  else if (widgets_.list != nullptr) widgets_.list->RemoveEntryByName(LastComponent(path));
}

void ConnectionController::OnRenameFile() {
  if (isEditingLabel_ && isEditingLabel_()) return;
  if (!CanStartWork()) return;
  std::shared_ptr<CFtpSession> session = live_;
  const QString prefix = Prefix();
  const int row = FirstSelectedRow();
  if (row >= 0) {
    if (startLabelEdit_) startLabelEdit_(row);
    return;
  }
  const QString current = CurrentDir();
  const QString oldPath = InputBox(QStringLiteral("Please enter the full path of the file to rename:"),
                                   QStringLiteral("Rename File"), prefix, &frame_);
  if (!Alive(session)) return;
  if (oldPath.isEmpty() || oldPath == current) return;
  const QString newPath = InputBox(QStringLiteral("Please enter the new name for\n") + oldPath,
                                   QStringLiteral("Rename File"), oldPath, &frame_);
  if (!Alive(session)) return;
  if (!session->RenameFile(ToStd(oldPath), ToStd(newPath))) {
    if (Alive(session)) frame_.ShowError(kErrRenameFile);
    return;
  }
  if (!Alive(session)) return;
  session->ChangeDirectory(ToStd(ParentDirectory(oldPath)));
  if (!Alive(session)) return;
  const std::string before = session->CurrentDir();
  const std::string now = session->GetCurrentDirectory();
  if (!Alive(session)) return;
  if (now != before) ShowListing();
  else if (widgets_.list != nullptr) widgets_.list->RenameEntry(LastComponent(oldPath), LastComponent(newPath));
}

bool ConnectionController::RenameRemoteFile(const QString& oldName, const QString& newName) {
  if (!CanStartWork()) return false;
  std::shared_ptr<CFtpSession> session = live_;
  const bool renamed = session->RenameFile(ToStd(oldName), ToStd(newName));
  if (!Alive(session)) return false;
  if (!renamed) frame_.ShowError(kErrRenameFile);
  return renamed;
}

void ConnectionController::OpenSelection() {
  const int row = FirstSelectedRow();
  if (row < 0 || widgets_.list == nullptr) return;
  const RemoteRow& selected = widgets_.list->Row(row);
  if (selected.typeText == QLatin1String(kFolderTypeText) || selected.typeText == QLatin1String(kAliasTypeText)) {
    GoToDirectory(selected.name);
    return;
  }
  frame_.ExecuteCommand(ID_DOWNLOAD);
}

}  // namespace veltrim::ui
