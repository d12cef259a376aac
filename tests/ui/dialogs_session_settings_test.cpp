// The FTP Session Settings dialog: help panel folding, help texts, the
// anonymous switch, the password ticking "Save Password", browsing for the
// local folder and the number checks that keep the dialog open.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "helpers/prompt_script.h"
#include "ui/profile/session_settings_dlg.h"
#include "ui/profile/session_settings_help.h"

using veltrim::ServerSettings;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using Dlg = veltrim::ui::CSessionSettingsDlg;

namespace {

QLineEdit* Edit(const Dlg& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.Control(id)); }
QCheckBox* Check(const Dlg& dialog, int id) { return qobject_cast<QCheckBox*>(dialog.Control(id)); }
QPushButton* Button(const Dlg& dialog, int id) {
  return qobject_cast<QPushButton*>(dialog.Control(id));
}

ServerSettings NewProfileDefaults() {
  ServerSettings settings;  // port 21, 1 retry, 60 s, connect on open
  return settings;
}

void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2)); }

}  // namespace

class SessionSettingsDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void detailsButtonFoldsTheHelpPanelBy104Pixels_data();
  void detailsButtonFoldsTheHelpPanelBy104Pixels();
  void focusShowsTheFieldsHelpText_data();
  void focusShowsTheFieldsHelpText();
  void helpPanelStaysEmptyUntilAFieldIsUsed();
  void anonymousSwitchSavesAndRestoresTypedCredentials();
  void profileAnonymousAtOpeningRestoresWhatTheFieldsShowed();
  void typingAPasswordTicksSavePassword();
  void passwordFilledByTheDialogDoesNotTickSavePassword();
  void okChecksNumberRanges_data();
  void okChecksNumberRanges();
  void badNumberIsReportedWhenAnotherFieldGetsFocus();
  void getSettingsDropsReservedAndKeepsScriptFile();
  void browseReplacesLocalDirOnlyWhenAFolderIsChosen();
  void cancelDoesNotReadTheFields();
};

void SessionSettingsDialogTest::detailsButtonFoldsTheHelpPanelBy104Pixels_data() {
  QTest::addColumn<bool>("shownAtStart");
  QTest::newRow("opens unfolded") << true;
  QTest::newRow("opens folded") << false;
}

void SessionSettingsDialogTest::detailsButtonFoldsTheHelpPanelBy104Pixels() {
  QFETCH(bool, shownAtStart);
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.SetHelpPanelShown(shownAtStart);
  dialog.show();
  QPushButton* details = Button(dialog, Dlg::kDetails);
  QLabel* help = qobject_cast<QLabel*>(dialog.Control(Dlg::kHelp));
  const int full = dialog.TemplateHeight();

  auto expectState = [&](bool shown) {
    QCOMPARE(dialog.HelpPanelShown(), shown);
    QCOMPARE(details->text(), shown ? QStringLiteral("<< &Details") : QStringLiteral("&Details >>"));
    QCOMPARE(dialog.height(), shown ? full : full - 104);
    QCOMPARE(help->isVisible(), shown);
    // The folded window ends above the panel: nothing of it shows.
    if (!shown) QVERIFY(help->geometry().top() >= dialog.height());
  };
  expectState(shownAtStart);
  const QPoint topLeft = dialog.pos();
  const int width = dialog.width();
  QTest::mouseClick(details, Qt::LeftButton);
  expectState(!shownAtStart);
  QTest::mouseClick(details, Qt::LeftButton);
  expectState(shownAtStart);
  QCOMPARE(dialog.pos(), topLeft);
  QCOMPARE(dialog.width(), width);
}

void SessionSettingsDialogTest::focusShowsTheFieldsHelpText_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("expected");
  QTest::newRow("name") << int(Dlg::kName)
                        << QStringLiteral(
                               "Enter a name that you will remember for this specifc FTP session "
                               "you are about to start.  This can be anything you want, but you "
                               "should try and make it descriptive.  \n\nSome examples would be "
                               "\"My Web Site\" or \"XYZ Company Server\"");
  QTest::newRow("port") << int(Dlg::kPort)
                        << QStringLiteral(
                               "This is the port of the server that you wish to connect to.  This "
                               "is usually port 21.  \n\nDo not change this value unless "
                               "instructed to do so by your system adminitrator.");
  QTest::newRow("username") << int(Dlg::kUsername)
                            << QStringLiteral(
                                   "Enter the username you wish to login to the server with.  "
                                   "This value will be given to you by your system administrator.");
  QTest::newRow("hostname") << int(Dlg::kHostname)
                            << QStringLiteral(
                                   "This is the hostname of the server to which you are "
                                   "connecting.  This is the \"address\" of the computer on the "
                                   "Internet.  This value is usally provided by the system "
                                   "administrator of the FTP server.  \n\nAn example would be "
                                   "\"ftp.example.com\"");
}

void SessionSettingsDialogTest::focusShowsTheFieldsHelpText() {
  QFETCH(int, id);
  QFETCH(QString, expected);
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.show();
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  // Start from a field other than the one under test.
  const int other = id == Dlg::kRemoteDir ? Dlg::kLocalDir : Dlg::kRemoteDir;
  Edit(dialog, other)->setFocus(Qt::TabFocusReason);
  Edit(dialog, id)->setFocus(Qt::TabFocusReason);
  QCOMPARE(dialog.HelpText(), expected);
  QCOMPARE(qobject_cast<QLabel*>(dialog.Control(Dlg::kHelp))->text(), expected);
}

void SessionSettingsDialogTest::helpPanelStaysEmptyUntilAFieldIsUsed() {
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.show();
  QVERIFY(qobject_cast<QLabel*>(dialog.Control(Dlg::kHelp))->text().isEmpty());
  Click(Check(dialog, Dlg::kConnectOnOpen));
  QCOMPARE(dialog.HelpText(), veltrim::ui::SessionSettingsHelpText(Dlg::kConnectOnOpen));
  QVERIFY(dialog.HelpText().endsWith(
      QStringLiteral("until you choose the \"Connect\" menu item.")));
  // The hidden script file field never gets to show its text.
  QVERIFY(!Edit(dialog, Dlg::kScriptFile)->isVisible());
}

void SessionSettingsDialogTest::anonymousSwitchSavesAndRestoresTypedCredentials() {
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.show();
  QLineEdit* user = Edit(dialog, Dlg::kUsername);
  QLineEdit* password = Edit(dialog, Dlg::kPassword);
  QTest::keyClicks(user, QStringLiteral("alice"));
  QTest::keyClicks(password, QStringLiteral("s3cret"));

  Click(Check(dialog, Dlg::kAnonymous));
  QCOMPARE(user->text(), QStringLiteral("anonymous"));
  QCOMPARE(password->text(), QString::fromLatin1(veltrim::ui::kDefaultAnonymousPassword));
  QVERIFY(QString::fromLatin1(veltrim::ui::kDefaultAnonymousPassword).contains(QLatin1Char('@')));
  QVERIFY(!user->isEnabled());
  QVERIFY(!password->isEnabled());
  QCOMPARE(dialog.HelpText(), veltrim::ui::SessionSettingsHelpText(Dlg::kAnonymous));

  Click(Check(dialog, Dlg::kAnonymous));
  QCOMPARE(user->text(), QStringLiteral("alice"));
  QCOMPARE(password->text(), QStringLiteral("s3cret"));
  QVERIFY(user->isEnabled());
  QVERIFY(password->isEnabled());

  Click(Check(dialog, Dlg::kAnonymous));
  dialog.accept();
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  const ServerSettings result = dialog.GetSettings();
  QVERIFY(result.Anonymous);
  QCOMPARE(result.Username, std::string("anonymous"));
  QCOMPARE(result.Password, std::string(veltrim::ui::kDefaultAnonymousPassword));
}

void SessionSettingsDialogTest::profileAnonymousAtOpeningRestoresWhatTheFieldsShowed() {
  ServerSettings anonymous = NewProfileDefaults();
  anonymous.Hostname = "ftp.example.org";
  anonymous.Anonymous = true;
  anonymous.Username = "anonymous";
  anonymous.Password = "someone@example.org";
  Dlg dialog;
  dialog.SetSettings(anonymous);
  dialog.show();
  QVERIFY(!Edit(dialog, Dlg::kUsername)->isEnabled());
  QVERIFY(!Edit(dialog, Dlg::kPassword)->isEnabled());
  Click(Check(dialog, Dlg::kAnonymous));
  QCOMPARE(Edit(dialog, Dlg::kUsername)->text(), QStringLiteral("anonymous"));
  QCOMPARE(Edit(dialog, Dlg::kPassword)->text(), QStringLiteral("someone@example.org"));
  QVERIFY(Edit(dialog, Dlg::kUsername)->isEnabled());
}

void SessionSettingsDialogTest::typingAPasswordTicksSavePassword() {
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.show();
  QVERIFY(!Check(dialog, Dlg::kSavePassword)->isChecked());
  QTest::keyClick(Edit(dialog, Dlg::kPassword), Qt::Key_X);
  QVERIFY(Check(dialog, Dlg::kSavePassword)->isChecked());
  dialog.accept();
  QVERIFY(dialog.GetSettings().SavePassword);
  QCOMPARE(dialog.GetSettings().Password, std::string("x"));
}

void SessionSettingsDialogTest::passwordFilledByTheDialogDoesNotTickSavePassword() {
  ServerSettings settings = NewProfileDefaults();
  settings.Password = "kept";
  Dlg dialog;
  dialog.SetSettings(settings);
  dialog.show();
  Click(Check(dialog, Dlg::kAnonymous));
  Click(Check(dialog, Dlg::kAnonymous));
  QCOMPARE(Edit(dialog, Dlg::kPassword)->text(), QStringLiteral("kept"));
  QVERIFY(!Check(dialog, Dlg::kSavePassword)->isChecked());
}

void SessionSettingsDialogTest::okChecksNumberRanges_data() {
  QTest::addColumn<QString>("port");
  QTest::addColumn<QString>("retries");
  QTest::addColumn<QString>("timeout");
  QTest::addColumn<int>("badField");  // 0: accepted
  QTest::newRow("defaults") << "21" << "1" << "60" << 0;
  QTest::newRow("lowest values") << "0" << "0" << "1" << 0;
  QTest::newRow("highest values") << "10000" << "100" << "120" << 0;
  QTest::newRow("spaces around a number") << " 2121 " << "3" << "30" << 0;
  QTest::newRow("port 10001") << "10001" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("port negative") << "-1" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("port not a number") << "ftp" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("port empty") << "" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("port with a fraction") << "21.5" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("port beyond 32 bits") << "99999999999" << "1" << "60" << int(Dlg::kPort);
  QTest::newRow("timeout 0") << "21" << "1" << "0" << int(Dlg::kTimeout);
  QTest::newRow("timeout 121") << "21" << "1" << "121" << int(Dlg::kTimeout);
  QTest::newRow("retries 101") << "21" << "101" << "60" << int(Dlg::kRetries);
  // Retries are checked before the port, the port before the timeout.
  QTest::newRow("all bad: retries first") << "0x15" << "-3" << "0" << int(Dlg::kRetries);
  QTest::newRow("port and timeout bad") << "70000" << "2" << "0" << int(Dlg::kPort);
}

void SessionSettingsDialogTest::okChecksNumberRanges() {
  QFETCH(QString, port);
  QFETCH(QString, retries);
  QFETCH(QString, timeout);
  QFETCH(int, badField);
  PromptScript script;
  if (badField) script.Answer(QMessageBox::Ok);
  Dlg dialog;
  ServerSettings settings = NewProfileDefaults();
  settings.Hostname = "ftp.example.org";
  dialog.SetSettings(settings);
  dialog.show();
  Edit(dialog, Dlg::kPort)->setText(port);
  Edit(dialog, Dlg::kRetries)->setText(retries);
  Edit(dialog, Dlg::kTimeout)->setText(timeout);
  QTest::mouseClick(Button(dialog, Dlg::kOk), Qt::LeftButton);

  QVERIFY(script.Unexpected().isEmpty());
  if (badField == 0) {
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.GetSettings().Port, port.trimmed().toInt());
    QCOMPARE(dialog.GetSettings().Retries, retries.toInt());
    QCOMPARE(dialog.GetSettings().Timeout, timeout.toInt());
    QVERIFY(script.Records().empty());
    return;
  }
  QVERIFY(dialog.isVisible());
  QCOMPARE(script.Records().size(), size_t(1));
  const auto& message = script.Records().front();
  QCOMPARE(message.icon, QMessageBox::Warning);
  const char* what = badField == Dlg::kPort ? "Port" : badField == Dlg::kRetries ? "Retries" : "Timeout";
  QVERIFY2(message.text.startsWith(QString::fromLatin1(what)), qPrintable(message.text));
  QCOMPARE(dialog.focusWidget(), dialog.Control(badField));
  // What was typed stays for the user to correct.
  QCOMPARE(Edit(dialog, Dlg::kPort)->text(), port);
}

void SessionSettingsDialogTest::badNumberIsReportedWhenAnotherFieldGetsFocus() {
  PromptScript script;
  script.Answer(QMessageBox::Ok);
  Dlg dialog;
  dialog.SetSettings(NewProfileDefaults());
  dialog.show();
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  Edit(dialog, Dlg::kPort)->setFocus(Qt::TabFocusReason);
  Edit(dialog, Dlg::kPort)->setText(QStringLiteral("65536"));
  Edit(dialog, Dlg::kUsername)->setText(QStringLiteral("typed after the port"));
  Edit(dialog, Dlg::kName)->setFocus(Qt::MouseFocusReason);
  QCOMPARE(script.Records().size(), size_t(1));
  QVERIFY(script.Records().front().text.startsWith(QStringLiteral("Port")));
  QCOMPARE(dialog.focusWidget(), dialog.Control(Dlg::kPort));
  // Nothing typed is thrown away by the failed read.
  QCOMPARE(Edit(dialog, Dlg::kPort)->text(), QStringLiteral("65536"));
  QCOMPARE(Edit(dialog, Dlg::kUsername)->text(), QStringLiteral("typed after the port"));
}

void SessionSettingsDialogTest::getSettingsDropsReservedAndKeepsScriptFile() {
  ServerSettings settings;
  settings.Name = "Mirror";
  settings.Hostname = "mirror.example.net";
  settings.RemoteDir = "/pub";
  settings.LocalDir = "/home/user/mirror";
  settings.Username = "user";
  settings.Password = "pw";
  settings.ScriptFile = "login.scr";
  settings.Retries = 7;
  settings.Timeout = 30;
  settings.Port = 2121;
  settings.Reserved = 5;
  settings.ConnectOnOpen = false;
  settings.SavePassword = true;
  Dlg dialog;
  dialog.SetSettings(settings);
  dialog.show();
  dialog.accept();
  ServerSettings expected = settings;
  expected.Reserved = 0;
  QVERIFY(!veltrim::Differs(dialog.GetSettings(), expected));
}

void SessionSettingsDialogTest::browseReplacesLocalDirOnlyWhenAFolderIsChosen() {
  PromptScript script;
  script.AnswerPath(PromptKind::Folder, QStringLiteral("/srv/downloads/"))
      .AnswerPath(PromptKind::Folder, QString());
  ServerSettings settings = NewProfileDefaults();
  settings.LocalDir = "/home/user";
  Dlg dialog;
  dialog.SetSettings(settings);
  dialog.show();
  QTest::mouseClick(Button(dialog, Dlg::kBrowse), Qt::LeftButton);
  QCOMPARE(Edit(dialog, Dlg::kLocalDir)->text(), QStringLiteral("/srv/downloads"));
  QTest::mouseClick(Button(dialog, Dlg::kBrowse), Qt::LeftButton);
  QCOMPARE(Edit(dialog, Dlg::kLocalDir)->text(), QStringLiteral("/srv/downloads"));
  QCOMPARE(script.Records().size(), size_t(2));
  QCOMPARE(script.Records()[0].caption, QStringLiteral("Please choose an initial local directory:"));
  QCOMPARE(script.Records()[0].initial, QStringLiteral("/home/user"));
  QCOMPARE(script.Records()[1].initial, QStringLiteral("/srv/downloads"));
  QVERIFY(script.Unexpected().isEmpty());
}

void SessionSettingsDialogTest::cancelDoesNotReadTheFields() {
  PromptScript script;  // no message may appear
  ServerSettings settings = NewProfileDefaults();
  settings.Name = "Before";
  Dlg dialog;
  dialog.SetSettings(settings);
  dialog.show();
  Edit(dialog, Dlg::kName)->setText(QStringLiteral("After"));
  Edit(dialog, Dlg::kPort)->setText(QStringLiteral("not a port"));
  QTest::mouseClick(Button(dialog, Dlg::kCancel), Qt::LeftButton);
  QCOMPARE(dialog.result(), int(QDialog::Rejected));
  QCOMPARE(dialog.GetSettings().Name, std::string("Before"));
  QVERIFY(script.Records().empty());
}

QTEST_MAIN(SessionSettingsDialogTest)
#include "dialogs_session_settings_test.moc"
