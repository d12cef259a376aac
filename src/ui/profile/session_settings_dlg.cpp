#include "ui/profile/session_settings_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <string>

#include "core/profile/server_settings.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/prompts.h"
#include "ui/profile/session_settings_help.h"
#include "ui/widgets/dialog_units.h"

namespace veltrim::ui {
namespace {

constexpr char kCaption[] = "FTP Session Settings";
constexpr char kDetailsFolded[] = "&Details >>";
constexpr char kDetailsShown[] = "<< &Details";
constexpr char kBrowseTitle[] = "Please choose an initial local directory:";

// The help panel sits below everything else and is exactly as tall as the
// fold, so folding cuts off the whole panel and nothing else.
constexpr int kPanelTopUnits = 176;
constexpr int kDialogWidthUnits = 258;

// A field's text as the profile keeps it. Text the user did not touch keeps
// its original bytes, even ones that are not valid UTF-8.
void TakeText(const QLineEdit* edit, std::string& value) {
  if (edit->text() != QString::fromStdString(value)) value = edit->text().toStdString();
}

}  // namespace

CSessionSettingsDlg::CSessionSettingsDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("CSessionSettingsDlg"));
  setWindowTitle(QString::fromLatin1(kCaption));
  // Construction: texts empty, numbers 0, boxes clear, help panel shown.
  values_.Retries = 0;
  values_.Timeout = 0;
  values_.Port = 0;
  values_.ConnectOnOpen = false;
  Build();
}

void CSessionSettingsDlg::Build() {
  const DialogUnits du = DialogUnits::For(QFontMetrics(font()));

  auto addEdit = [&](int id, const char* label, QRect rect, QRect labelRect) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("edit%1").arg(id));
    edit->setGeometry(rect);
    edit->installEventFilter(this);
    auto* caption = new QLabel(QString::fromLatin1(label), this);
    caption->setGeometry(labelRect);
    caption->setBuddy(edit);
    controls_[id] = edit;
    edits_[id] = edit;
    return std::pair{edit, caption};
  };
  auto addCheck = [&](int id, const char* label, QRect rect) {
    auto* box = new QCheckBox(QString::fromLatin1(label), this);
    box->setObjectName(QStringLiteral("check%1").arg(id));
    // Never cut a label off, whatever the font.
    rect.setWidth(std::max(rect.width(), box->sizeHint().width()));
    box->setGeometry(rect);
    controls_[id] = box;
    return box;
  };
  auto addButton = [&](int id, const char* label, QRect rect) {
    auto* button = new QPushButton(QString::fromLatin1(label), this);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setGeometry(rect);
    button->setAutoDefault(false);
    controls_[id] = button;
    return button;
  };

  addEdit(kName, "&Name:", du.Rect(50, 4, 122, 14), du.Rect(4, 6, 45, 10));
  addEdit(kHostname, "&Hostname:", du.Rect(50, 19, 122, 14), du.Rect(4, 21, 45, 10));
  addEdit(kRemoteDir, "&Remote Dir:", du.Rect(50, 34, 122, 14), du.Rect(4, 36, 45, 10));
  addEdit(kLocalDir, "&Local Dir:", du.Rect(50, 49, 122, 14), du.Rect(4, 51, 45, 10));
  auto* browse = addButton(kBrowse, "...", du.Rect(174, 51, 16, 12));
  addEdit(kUsername, "&Username:", du.Rect(49, 76, 76, 14), du.Rect(4, 78, 44, 10));
  addEdit(kPassword, "&Password:", du.Rect(49, 92, 76, 14), du.Rect(4, 94, 44, 10));
  edits_[kPassword]->setEchoMode(QLineEdit::Password);
  addEdit(kPort, "P&ort:", du.Rect(166, 77, 26, 14), du.Rect(130, 79, 35, 10));
  // A port is digits only: typing anything else does nothing.
  edits_[kPort]->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), edits_[kPort]));
  addEdit(kRetries, "R&etries:", du.Rect(166, 92, 26, 14), du.Rect(130, 94, 35, 10));
  addEdit(kTimeout, "&Timeout:", du.Rect(166, 107, 26, 14), du.Rect(130, 109, 35, 10));
  auto* seconds = new QLabel(QStringLiteral("sec"), this);
  seconds->setGeometry(du.Rect(194, 109, 16, 10));
  anonymous_ = addCheck(kAnonymous, "Anon&ymous", du.Rect(48, 113, 56, 9));
  savePassword_ = addCheck(kSavePassword, "&Save Password", du.Rect(48, 123, 65, 9));
  connectOnOpen_ = addCheck(kConnectOnOpen, "&Connect on Open", du.Rect(48, 133, 71, 9));
  // The script file travels through the dialog but is never shown.
  auto [script, scriptLabel] =
      addEdit(kScriptFile, "Script File:", du.Rect(49, 156, 128, 14), du.Rect(4, 158, 44, 10));
  script->hide();
  scriptLabel->hide();

  auto* ok = addButton(kOk, "OK", du.Rect(204, 9, 50, 14));
  ok->setDefault(true);
  ok->setAutoDefault(true);
  auto* cancel = addButton(kCancel, "Cancel", du.Rect(204, 26, 50, 14));
  details_ = addButton(kDetails, kDetailsFolded, du.Rect(204, 43, 50, 14));

  auto* icon = new QLabel(this);
  icon->setGeometry(du.Rect(223, 151, 20, 20));
  const QIcon appIcon = QApplication::windowIcon();
  if (!appIcon.isNull()) icon->setPixmap(appIcon.pixmap(std::min(icon->width(), icon->height())));

  const int width = du.X(kDialogWidthUnits);
  const int panelTop = du.Y(kPanelTopUnits);
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(du.X(3), panelTop, width - 2 * du.X(3), kFoldPixels - 6);
  helpLabel_ = new QLabel(this);
  helpLabel_->setObjectName(QStringLiteral("help%1").arg(kHelp));
  helpLabel_->setWordWrap(true);
  helpLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  helpLabel_->setGeometry(frame->geometry().adjusted(du.X(3), 3, -du.X(3), -3));
  controls_[kHelp] = helpLabel_;
  templateHeight_ = panelTop + kFoldPixels;
  setFixedSize(width, templateHeight_);

  setTabOrder(edits_[kName], edits_[kHostname]);
  setTabOrder(edits_[kHostname], edits_[kRemoteDir]);
  setTabOrder(edits_[kRemoteDir], edits_[kLocalDir]);
  setTabOrder(edits_[kLocalDir], browse);
  setTabOrder(browse, edits_[kUsername]);
  setTabOrder(edits_[kUsername], edits_[kPassword]);
  setTabOrder(edits_[kPassword], anonymous_);
  setTabOrder(anonymous_, savePassword_);
  setTabOrder(savePassword_, connectOnOpen_);
  setTabOrder(connectOnOpen_, edits_[kPort]);
  setTabOrder(edits_[kPort], edits_[kRetries]);
  setTabOrder(edits_[kRetries], edits_[kTimeout]);
  setTabOrder(edits_[kTimeout], ok);
  setTabOrder(ok, cancel);
  setTabOrder(cancel, details_);

  connect(ok, &QPushButton::clicked, this, &CSessionSettingsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CSessionSettingsDlg::reject);
  connect(details_, &QPushButton::clicked, this, &CSessionSettingsDlg::OnDetails);
  connect(browse, &QPushButton::clicked, this, &CSessionSettingsDlg::OnBrowse);
  connect(anonymous_, &QCheckBox::clicked, this, &CSessionSettingsDlg::OnAnonymousClicked);
  connect(savePassword_, &QCheckBox::clicked, this, [this] { OnCheckBoxClicked(kSavePassword); });
  connect(connectOnOpen_, &QCheckBox::clicked, this,
          [this] { OnCheckBoxClicked(kConnectOnOpen); });
  // textEdited, not textChanged: only the user's typing counts.
  connect(edits_[kPassword], &QLineEdit::textEdited, this,
          &CSessionSettingsDlg::OnPasswordEdited);
}

QWidget* CSessionSettingsDlg::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void CSessionSettingsDlg::SetSettings(const ServerSettings& settings) {
  values_ = settings;
  values_.Reserved = 0;
  if (initialised_) WriteFields();
}

ServerSettings CSessionSettingsDlg::GetSettings() const {
  ServerSettings settings = values_;
  settings.Reserved = 0;
  if (settings.Anonymous) {
    settings.Username = kAnonymousUser;
    settings.Password = kDefaultAnonymousPassword;
  }
  return settings;
}

void CSessionSettingsDlg::showEvent(QShowEvent* event) {
  if (!initialised_) OnInitDialog();
  QDialog::showEvent(event);
}

void CSessionSettingsDlg::OnInitDialog() {
  initialised_ = true;
  WriteFields();
  if (values_.Anonymous) {
    savedUsername_ = QString::fromStdString(values_.Username);
    savedPassword_ = QString::fromStdString(values_.Password);
  }
  EnableCredentials(!values_.Anonymous);
  ShowHelpPanel(helpPanelShown_);
}

void CSessionSettingsDlg::ShowHelpPanel(bool shown) {
  helpLabel_->setVisible(shown);
  details_->setText(QString::fromLatin1(shown ? kDetailsShown : kDetailsFolded));
  setFixedSize(width(), shown ? templateHeight_ : templateHeight_ - kFoldPixels);
}

void CSessionSettingsDlg::OnDetails() {
  ShowHelpPanel(!helpPanelShown_);
  helpPanelShown_ = !helpPanelShown_;
}

void CSessionSettingsDlg::EnableCredentials(bool enabled) {
  edits_[kUsername]->setEnabled(enabled);
  edits_[kPassword]->setEnabled(enabled);
}

void CSessionSettingsDlg::OnAnonymousClicked() {
  const bool nowChecked = anonymous_->isChecked();
  if (!ReadFields()) {
    // The switch would hide or bring back credentials on top of a field the
    // user is still fixing; undo the click instead.
    anonymous_->setChecked(!nowChecked);
    return;
  }
  help_ = SessionSettingsHelpText(kAnonymous);
  if (nowChecked) {
    savedUsername_ = QString::fromStdString(values_.Username);
    savedPassword_ = QString::fromStdString(values_.Password);
    values_.Username = kAnonymousUser;
    values_.Password = kDefaultAnonymousPassword;
    EnableCredentials(false);
  } else {
    values_.Username = savedUsername_.toStdString();
    values_.Password = savedPassword_.toStdString();
    EnableCredentials(true);
  }
  WriteFields();
}

void CSessionSettingsDlg::OnCheckBoxClicked(int id) {
  if (!ReadFields()) return;
  help_ = SessionSettingsHelpText(id);
  WriteFields();
}

void CSessionSettingsDlg::OnPasswordEdited() {
  // A password typed is a password meant to be kept. Only the box changes, so
  // there is nothing to validate (no message box on every keystroke).
  savePassword_->setChecked(true);
  values_.SavePassword = true;
}

void CSessionSettingsDlg::OnBrowse() {
  if (!ReadFields()) return;
  const QString chosen =
      CFolderBrowser(this, QString::fromLatin1(kBrowseTitle), edits_[kLocalDir]->text()).Browse();
  if (!chosen.isEmpty()) values_.LocalDir = chosen.toStdString();
  WriteFields();
}

void CSessionSettingsDlg::OnFieldFocus(int id) {
  int failedId = 0;
  quietId_ = id;
  const bool read = ReadFields(&failedId);
  quietId_ = 0;
  if (read) {
    help_ = SessionSettingsHelpText(id);
    WriteFields();
  } else if (failedId == id) {
    // The user went to the field being fixed. Writing the fields back now
    // would throw away what was typed after it, so only the help changes.
    help_ = SessionSettingsHelpText(id);
    helpLabel_->setText(help_);
  }
}

bool CSessionSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && !reportingBadNumber_ && initialised_) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Focus coming back from a message box or another window is not the user
    // moving to a field.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      for (const auto& [id, edit] : edits_) {
        if (edit == watched) {
          OnFieldFocus(id);
          break;
        }
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CSessionSettingsDlg::ReadNumber(int id, const char* what, int low, int high,
                                     int32_t& value) {
  QLineEdit* edit = edits_[id];
  bool ok = false;
  const int number = edit->text().trimmed().toInt(&ok);
  if (ok && number >= low && number <= high) {
    value = number;
    return true;
  }
  // Moving into the field being fixed is no reason to complain again.
  if (id == quietId_) return false;
  reportingBadNumber_ = true;
  ShowMessage(this, QMessageBox::Warning, QString::fromLatin1(kCaption),
              QStringLiteral("%1 must be a whole number from %2 to %3.")
                  .arg(QString::fromLatin1(what))
                  .arg(low)
                  .arg(high));
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
  reportingBadNumber_ = false;
  return false;
}

bool CSessionSettingsDlg::ReadFields(int* failedId) {
  // The fixed exchange order: a bad number stops the reading there, so the
  // fields before it are taken and the ones after it are not.
  values_.ConnectOnOpen = connectOnOpen_->isChecked();
  values_.Anonymous = anonymous_->isChecked();
  TakeText(edits_[kRemoteDir], values_.RemoteDir);
  TakeText(edits_[kLocalDir], values_.LocalDir);
  help_ = helpLabel_->text();
  TakeText(edits_[kHostname], values_.Hostname);
  TakeText(edits_[kName], values_.Name);
  TakeText(edits_[kPassword], values_.Password);
  if (!ReadNumber(kRetries, "Retries", kMinRetries, kMaxRetries, values_.Retries)) {
    if (failedId) *failedId = kRetries;
    return false;
  }
  values_.SavePassword = savePassword_->isChecked();
  // The script file field is never shown, so it is never read back either.
  // Every TCP port is allowed (servers and the demo often listen above 10000).
  if (!ReadNumber(kPort, "Port", kMinPort, kMaxPort, values_.Port)) {
    if (failedId) *failedId = kPort;
    return false;
  }
  if (!ReadNumber(kTimeout, "Timeout", 1, 120, values_.Timeout)) {
    if (failedId) *failedId = kTimeout;
    return false;
  }
  TakeText(edits_[kUsername], values_.Username);
  return true;
}

void CSessionSettingsDlg::WriteFields() {
  // Only changed texts are put back, so the field being entered keeps its
  // cursor and selection.
  auto put = [](QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
  };
  connectOnOpen_->setChecked(values_.ConnectOnOpen);
  anonymous_->setChecked(values_.Anonymous);
  put(edits_[kRemoteDir], QString::fromStdString(values_.RemoteDir));
  put(edits_[kLocalDir], QString::fromStdString(values_.LocalDir));
  helpLabel_->setText(help_);
  put(edits_[kHostname], QString::fromStdString(values_.Hostname));
  put(edits_[kName], QString::fromStdString(values_.Name));
  put(edits_[kPassword], QString::fromStdString(values_.Password));
  put(edits_[kRetries], QString::number(values_.Retries));
  savePassword_->setChecked(values_.SavePassword);
  put(edits_[kScriptFile], QString::fromStdString(values_.ScriptFile));
  put(edits_[kPort], QString::number(values_.Port));
  put(edits_[kTimeout], QString::number(values_.Timeout));
  put(edits_[kUsername], QString::fromStdString(values_.Username));
}

void CSessionSettingsDlg::accept() {
  if (!initialised_) OnInitDialog();
  if (!ReadFields()) return;
  QDialog::accept();
}

}  // namespace veltrim::ui
