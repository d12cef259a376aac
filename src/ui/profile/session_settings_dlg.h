#pragma once
// "FTP Session Settings": the modal dialog in which the user types or changes
// a server profile. Besides the fields it has a help panel that explains the
// field in use and folds away with "&Details >>", an anonymous switch that
// fills in (and gives back) the credentials, and a browse button for the
// local directory.
//
// Use: SetSettings(), SetHelpPanelShown(), RunModal(dialog) (the prompt
// seam), then GetSettings() and HelpPanelShown() after OK.

#include <QDialog>
#include <QString>

#include <map>

#include "core/profile/server_settings.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veltrim::ui {

// The password the dialog fills in for an anonymous login.
inline constexpr char kDefaultAnonymousPassword[] = "guest@veltrimftp.invalid";
inline constexpr char kAnonymousUser[] = "anonymous";

class CSessionSettingsDlg : public QDialog {
  Q_OBJECT
 public:
  // Control ids; the help texts are keyed by them.
  enum ControlId : int {
    kOk = 1,
    kCancel = 2,
    kDetails = 5,
    kHelp = 1004,
    kScriptFile = 1006,
    kName = 1008,
    kUsername = 1009,
    kConnectOnOpen = 1014,
    kLocalDir = 1015,
    kBrowse = 1016,
    kRetries = 1017,
    kHostname = 1058,
    kPassword = 1059,
    kAnonymous = 1060,
    kRemoteDir = 1061,
    kSavePassword = 1062,
    kPort = 1063,
    kTimeout = 1065,
  };
  // How much lower the window is with the help panel folded away.
  static constexpr int kFoldPixels = 104;

  explicit CSessionSettingsDlg(QWidget* owner = nullptr);

  // Everything but Reserved, which the dialog neither shows nor keeps.
  void SetSettings(const ServerSettings& settings);
  // The values as they stand (after OK: as confirmed), Reserved 0; an
  // anonymous profile always carries the anonymous credentials.
  ServerSettings GetSettings() const;

  bool HelpPanelShown() const { return helpPanelShown_; }
  void SetHelpPanelShown(bool shown) { helpPanelShown_ = shown; }

  QWidget* Control(int id) const;
  QString HelpText() const { return help_; }
  // The window height with the help panel shown.
  int TemplateHeight() const { return templateHeight_; }

  // OK: keeps the dialog open (with a message, focus in the field) while a
  // number is not a whole number within its range.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void OnInitDialog();
  void OnDetails();
  void OnAnonymousClicked();
  void OnCheckBoxClicked(int id);
  void OnPasswordEdited();
  void OnBrowse();
  void OnFieldFocus(int id);

  // Fields -> values, in the fixed exchange order, stopping at the first bad
  // number (message shown, focus put there). failedId receives its id.
  bool ReadFields(int* failedId = nullptr);
  // Values -> fields.
  void WriteFields();
  void ShowHelpPanel(bool shown);
  void EnableCredentials(bool enabled);
  bool ReadNumber(int id, const char* what, int low, int high, int32_t& value);

  // The bound values.
  ServerSettings values_;
  QString help_;
  bool helpPanelShown_ = true;
  // The credentials typed before the anonymous switch filled its own in.
  QString savedUsername_;
  QString savedPassword_;

  bool initialised_ = false;
  bool reportingBadNumber_ = false;
  int quietId_ = 0;  // a bad number in this field is not reported
  int templateHeight_ = 0;
  std::map<int, QWidget*> controls_;
  std::map<int, QLineEdit*> edits_;
  QCheckBox* anonymous_ = nullptr;
  QCheckBox* savePassword_ = nullptr;
  QCheckBox* connectOnOpen_ = nullptr;
  QPushButton* details_ = nullptr;
  QLabel* helpLabel_ = nullptr;
};

}  // namespace veltrim::ui
