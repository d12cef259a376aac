#include "ui/profile/veltrim_ftp_doc.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <exception>
#include <filesystem>

#include "core/profile/profile_file.h"
#include "ui/dialogs/prompts.h"
#include "ui/profile/session_settings_dlg.h"

namespace veltrim::ui {
namespace {

constexpr char kAppName[] = "VeltrimFTP";
constexpr char kConfirmDisconnectText[] =
    "Are you sure you wish to disconnect from the current server?";
constexpr char kConfirmDisconnectCaption[] = "Confirm Disconnect";
constexpr char kChangesText[] =
    "The changes made will take effect the next time you login to this server";
constexpr char kChangesCaption[] = "Changes";

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(path.toStdString());
}

// The file name Save As proposes: the profile's name up to the first
// character no file name should hold, with the profile extension.
QString ProposedFileName(const QString& name) {
  QString base = name;
  const int bad = base.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
  if (bad >= 0) base.truncate(bad);
  base = base.trimmed();
  if (base.isEmpty()) base = QStringLiteral("Veltrim");
  return base + QLatin1String(kProfileExtension);
}

// Whether Edit Settings changed something that counts: Differs, except that
// the credentials of a profile that stays anonymous do not count.
bool DiffersForUser(const ServerSettings& before, const ServerSettings& after) {
  if (!before.Anonymous || !after.Anonymous) return Differs(before, after);
  // An anonymous login sends neither the user name nor the password kept in
  // the profile, and the dialog fills in its own for it.
  ServerSettings a = before;
  ServerSettings b = after;
  a.Username = b.Username;
  a.Password = b.Password;
  return Differs(a, b);
}

}  // namespace

ServerSettings CompleteProfile(ServerSettings profile) {
  if (!profile.Hostname.empty() && profile.Name.empty()) profile.Name = profile.Hostname;
  if (!profile.Hostname.empty() && profile.Username.empty()) profile.Anonymous = true;
  return profile;
}

CVeltrimFTPDoc::CVeltrimFTPDoc(QObject* parent) : QObject(parent) {}

void CVeltrimFTPDoc::SetHost(DocumentHost* host) { host_ = host; }

QWidget* CVeltrimFTPDoc::Owner() const { return host_ ? host_->OwnerWindow() : nullptr; }

bool CVeltrimFTPDoc::DetailsExpanded() const {
  if (detailsExpanded_) return *detailsExpanded_;
  if (host_) return host_->DetailsPreference().value_or(true);
  return true;
}

void CVeltrimFTPDoc::DeleteContents() {
  profile_.Name.clear();
  profile_.Hostname.clear();
  profile_.RemoteDir.clear();
  profile_.LocalDir.clear();
  profile_.Username.clear();
  profile_.Password.clear();
  profile_.ScriptFile.clear();
}

void CVeltrimFTPDoc::SetTitle(const QString&) {
  title_ = QString::fromStdString(profile_.Name);
  emit titleChanged(title_);
}

void CVeltrimFTPDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit modifiedChanged(modified_);
}

void CVeltrimFTPDoc::SetPathName(const QString& path) {
  path_ = path;
  SetTitle();
  if (host_ && !path.isEmpty()) host_->AddRecentFile(path);
}

void CVeltrimFTPDoc::AssignProfile(const ServerSettings& profile) {
  profile_ = profile;
  SetTitle();
}

void CVeltrimFTPDoc::HandToFrame() {
  if (!host_) return;
  host_->TakeProfile(profile_);
  if (profile_.ConnectOnOpen && host_->AutologinPreference()) host_->PostConnect();
}

bool CVeltrimFTPDoc::ConfirmDisconnect() {
  const auto answer = ShowMessage(Owner(), QMessageBox::Critical,
                                  QString::fromLatin1(kConfirmDisconnectCaption),
                                  QString::fromLatin1(kConfirmDisconnectText),
                                  QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
  return answer == QMessageBox::Ok;
}

std::optional<ServerSettings> CVeltrimFTPDoc::AskProfile(const ServerSettings& initial,
                                                         bool& finalDetails) {
  CSessionSettingsDlg dialog(Owner());
  dialog.SetSettings(initial);
  dialog.SetHelpPanelShown(finalDetails);
  const int result = RunModal(dialog);
  finalDetails = dialog.HelpPanelShown();
  if (result != QDialog::Accepted) return std::nullopt;
  ServerSettings chosen = dialog.GetSettings();
  // A profile without a host is no profile: treated like Cancel.
  if (chosen.Hostname.empty()) return std::nullopt;
  return CompleteProfile(std::move(chosen));
}

bool CVeltrimFTPDoc::OnNewDocument() {
  // Asked before anything is cleared: a user who keeps the connection keeps
  // the profile it was made with, and its file, too.
  if (!resetOnNextNew_ && host_ && host_->IsConnected()) {
    if (!ConfirmDisconnect()) return false;
    // The frame's disconnect resets this document through a nested New.
    host_->Disconnect();
  }

  DeleteContents();
  path_.clear();
  SetModifiedFlag(false);

  if (host_) {
    if (const auto details = host_->DetailsPreference()) detailsExpanded_ = *details;
  }

  if (resetOnNextNew_) {
    resetOnNextNew_ = false;
    profile_.Hostname = kNotConnected;
    profile_.Name = kNotConnected;
    SetTitle();
    return true;
  }

  ServerSettings initial;  // empty strings, port 21, 1 retry, 60 s, connect on open
  initial.Anonymous = false;
  initial.SavePassword = false;
  bool details = DetailsExpanded();
  const auto chosen = AskProfile(initial, details);
  if (chosen) {
    profile_ = *chosen;
    HandToFrame();
    SetTitle();
    SetModifiedFlag(true);
  } else {
    profile_.Hostname = kNotConnected;
    profile_.Name = kNotConnected;
  }
  detailsExpanded_ = details;
  SetTitle();
  return true;
}

bool CVeltrimFTPDoc::OnOpenDocument(const QString& path) {
  if (host_ && host_->IsConnected()) {
    if (!ConfirmDisconnect()) return false;
    host_->Disconnect();
  }

  // Read into a copy, so a file that cannot be opened at all leaves the
  // document as it was.
  ServerSettings loaded = profile_;
  loaded.Name.clear();
  loaded.Hostname.clear();
  loaded.RemoteDir.clear();
  loaded.LocalDir.clear();
  loaded.Username.clear();
  loaded.Password.clear();
  loaded.ScriptFile.clear();
  ProfileLoad result = ProfileLoad::Incomplete;
  try {
    result = LoadProfileFile(ToPath(path), loaded);
  } catch (const std::exception& error) {
    ShowMessage(Owner(), QMessageBox::Critical, QString::fromLatin1(kAppName),
                QStringLiteral("The profile %1 could not be opened.\n%2")
                    .arg(path, QString::fromLocal8Bit(error.what())));
    return false;
  }

  profile_ = loaded;
  if (result == ProfileLoad::Complete) {
    loadedFromFile_ = true;
    if (resetOnNextNew_) {
      // Opened before the frame could take it (the command line): the frame
      // takes it at its first activation. The start-up reset is used up
      // here, or the user's next New or Open would be swallowed by it.
      resetOnNextNew_ = false;
    } else {
      HandToFrame();
    }
  } else {
    resetOnNextNew_ = false;
  }
  SetModifiedFlag(false);
  SetPathName(path);
  return true;
}

bool CVeltrimFTPDoc::OnSaveDocument(const QString& path) {
  ServerSettings stored = profile_;
  // A password the user chose not to keep stays out of the file; the login
  // asks for it instead. An anonymous login's password is no secret: it
  // stays, so the profile reads back as it was saved.
  if (!stored.SavePassword && !stored.Anonymous) stored.Password.clear();
  try {
    SaveProfileFile(ToPath(path), stored);
  } catch (const std::exception& error) {
    ShowMessage(Owner(), QMessageBox::Critical, QString::fromLatin1(kAppName),
                QStringLiteral("The profile could not be saved to %1.\n%2")
                    .arg(path, QString::fromLocal8Bit(error.what())));
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CVeltrimFTPDoc::EditSettings() {
  const ServerSettings before = profile_;
  bool details = DetailsExpanded();
  const auto chosen = AskProfile(profile_, details);
  // The help-panel state of this run is not kept.
  if (!chosen) return;
  profile_ = *chosen;
  if (host_) host_->SetActiveProfile(profile_);
  if (DiffersForUser(before, profile_)) {
    SetModifiedFlag(true);
    ShowInformation(Owner(), QString::fromLatin1(kChangesCaption),
                    QString::fromLatin1(kChangesText));
    SetTitle();
  }
}

bool CVeltrimFTPDoc::SaveModified() {
  if (!modified_) return true;
  const QString name = path_.isEmpty() ? title_ : path_;
  const auto answer = ShowMessage(Owner(), QMessageBox::Warning, QString::fromLatin1(kAppName),
                                  QStringLiteral("Save changes to %1?").arg(name),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return FileSave();
  return answer == QMessageBox::No;
}

bool CVeltrimFTPDoc::FileNew() {
  if (!SaveModified()) return false;
  return OnNewDocument();
}

bool CVeltrimFTPDoc::FileOpen() {
  const QString path = Prompts().OpenFileName(Owner(), QStringLiteral("Open"), QString(),
                                              QString::fromLatin1(kProfileFilter));
  if (path.isEmpty()) return false;
  return OpenDocumentFile(path);
}

bool CVeltrimFTPDoc::OpenDocumentFile(const QString& path) {
  if (!SaveModified()) return false;
  return OnOpenDocument(path);
}

bool CVeltrimFTPDoc::FileSave() {
  if (path_.isEmpty()) return FileSaveAs();
  return OnSaveDocument(path_);
}

bool CVeltrimFTPDoc::FileSaveAs() {
  const QString proposed = path_.isEmpty() ? ProposedFileName(title_) : path_;
  QString path = Prompts().SaveFileName(Owner(), QStringLiteral("Save As"), proposed,
                                        QString::fromLatin1(kProfileFilter));
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QLatin1String(kProfileExtension);
  if (!OnSaveDocument(path)) return false;
  SetPathName(path);
  return true;
}

}  // namespace veltrim::ui
