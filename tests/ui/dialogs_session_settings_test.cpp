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

// The dialog on screen, filled from `settings` (a new profile's defaults
// unless given).
struct Shown {
  Dlg dialog;
  explicit Shown(const ServerSettings& settings = {}) {
    dialog.SetSettings(settings);
    dialog.show();
  }
  QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dialog.Control(id)); }
  QCheckBox* Check(int id) const { return qobject_cast<QCheckBox*>(dialog.Control(id)); }
  QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dialog.Control(id)); }
  QLabel* Help() const { return qobject_cast<QLabel*>(dialog.Control(Dlg::kHelp)); }
  void Click(int id) const {
    QWidget* control = dialog.Control(id);
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
  }
  bool Activate() {
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
  }
};

}  // namespace

class SessionSettingsDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void detailsButtonFoldsTheHelpPanelBy104Pixels_data() {
    QTest::addColumn<bool>("shownAtStart");
    QTest::newRow("opens unfolded") << true;
    QTest::newRow("opens folded") << false;
  }

  void detailsButtonFoldsTheHelpPanelBy104Pixels() {
    QFETCH(bool, shownAtStart);
    Dlg dialog;
    dialog.SetSettings({});
    dialog.SetHelpPanelShown(shownAtStart);
    dialog.show();
    auto* details = qobject_cast<QPushButton*>(dialog.Control(Dlg::kDetails));
    QWidget* help = dialog.Control(Dlg::kHelp);
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
    const QRect before = dialog.geometry();
    QTest::mouseClick(details, Qt::LeftButton);
    expectState(!shownAtStart);
    QTest::mouseClick(details, Qt::LeftButton);
    expectState(shownAtStart);
    QCOMPARE(dialog.geometry(), before);
  }

  void focusShowsTheFieldsHelpText_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name") << int(Dlg::kName)
                          << "Enter a name that you will remember for this specifc FTP session "
                             "you are about to start.  This can be anything you want, but you "
                             "should try and make it descriptive.  \n\nSome examples would be "
                             "\"My Web Site\" or \"XYZ Company Server\"";
    QTest::newRow("port") << int(Dlg::kPort)
                          << "This is the port of the server that you wish to connect to.  This "
                             "is usually port 21.  \n\nDo not change this value unless "
                             "instructed to do so by your system adminitrator.";
  }

  void focusShowsTheFieldsHelpText() {
    QFETCH(int, id);
    QFETCH(QString, expected);
    Shown s;
    QVERIFY(s.Help()->text().isEmpty());  // empty until a field is used
    QVERIFY(s.Activate());
    s.Edit(Dlg::kRemoteDir)->setFocus(Qt::TabFocusReason);
    s.Edit(id)->setFocus(Qt::TabFocusReason);
    QCOMPARE(s.dialog.HelpText(), expected);
    QCOMPARE(s.Help()->text(), expected);
  }

  void clickedCheckBoxShowsItsHelpText() {
    Shown s;
    s.Click(Dlg::kConnectOnOpen);
    QCOMPARE(s.dialog.HelpText(), veltrim::ui::SessionSettingsHelpText(Dlg::kConnectOnOpen));
    QVERIFY(s.dialog.HelpText().endsWith(
        QStringLiteral("until you choose the \"Connect\" menu item.")));
  }

  void anonymousSwitchSavesAndRestoresTypedCredentials() {
    const QString anonymousPassword = QString::fromLatin1(veltrim::ui::kDefaultAnonymousPassword);
    Shown s;
    QLineEdit* user = s.Edit(Dlg::kUsername);
    QLineEdit* password = s.Edit(Dlg::kPassword);
    QTest::keyClicks(user, QStringLiteral("alice"));
    QTest::keyClicks(password, QStringLiteral("s3cret"));
    for (bool anonymous : {true, false, true}) {
      s.Click(Dlg::kAnonymous);
      QCOMPARE(user->text(), anonymous ? QStringLiteral("anonymous") : QStringLiteral("alice"));
      QCOMPARE(password->text(), anonymous ? anonymousPassword : QStringLiteral("s3cret"));
      QCOMPARE(user->isEnabled(), !anonymous);
      QCOMPARE(password->isEnabled(), !anonymous);
    }
    QVERIFY(anonymousPassword.contains(QLatin1Char('@')));
    QCOMPARE(s.dialog.HelpText(), veltrim::ui::SessionSettingsHelpText(Dlg::kAnonymous));
    s.dialog.accept();
    const ServerSettings result = s.dialog.GetSettings();
    QVERIFY(result.Anonymous);
    QCOMPARE(result.Username, std::string("anonymous"));
    QCOMPARE(QString::fromStdString(result.Password), anonymousPassword);
  }

  void profileAnonymousAtOpeningRestoresWhatTheFieldsShowed() {
    ServerSettings anonymous;
    anonymous.Anonymous = true;
    anonymous.Username = "anonymous";
    anonymous.Password = "someone@example.org";
    Shown s(anonymous);
    QVERIFY(!s.Edit(Dlg::kUsername)->isEnabled());
    QVERIFY(!s.Edit(Dlg::kPassword)->isEnabled());
    s.Click(Dlg::kAnonymous);
    QCOMPARE(s.Edit(Dlg::kUsername)->text(), QStringLiteral("anonymous"));
    QCOMPARE(s.Edit(Dlg::kPassword)->text(), QStringLiteral("someone@example.org"));
    QVERIFY(s.Edit(Dlg::kUsername)->isEnabled());
  }

  void onlyATypedPasswordTicksSavePassword() {
    ServerSettings settings;
    settings.Password = "kept";
    Shown s(settings);
    s.Click(Dlg::kAnonymous);  // the dialog fills the field twice
    s.Click(Dlg::kAnonymous);
    QCOMPARE(s.Edit(Dlg::kPassword)->text(), QStringLiteral("kept"));
    QVERIFY(!s.Check(Dlg::kSavePassword)->isChecked());
    QTest::keyClick(s.Edit(Dlg::kPassword), Qt::Key_X);
    QVERIFY(s.Check(Dlg::kSavePassword)->isChecked());
    s.dialog.accept();
    QVERIFY(s.dialog.GetSettings().SavePassword);
    QCOMPARE(s.dialog.GetSettings().Password, std::string("keptx"));
  }

  void okChecksNumberRanges_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("retries");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<int>("badField");  // 0: accepted
    QTest::newRow("lowest values") << "0" << "0" << "1" << 0;
    QTest::newRow("highest values") << "65535" << "100" << "120" << 0;
    QTest::newRow("spaces around a number") << " 2121 " << "3" << "30" << 0;
    QTest::newRow("port 65536") << "65536" << "1" << "60" << int(Dlg::kPort);
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

  void okChecksNumberRanges() {
    QFETCH(QString, port);
    QFETCH(QString, retries);
    QFETCH(QString, timeout);
    QFETCH(int, badField);
    PromptScript script;
    if (badField) script.Answer(QMessageBox::Ok);
    ServerSettings settings;
    settings.Hostname = "ftp.example.org";
    Shown s(settings);
    s.Edit(Dlg::kPort)->clear();
    QTest::keyClicks(s.Edit(Dlg::kPort), QStringLiteral("2x-1"));
    QCOMPARE(s.Edit(Dlg::kPort)->text(), QStringLiteral("21"));  // digits only
    s.Edit(Dlg::kPort)->setText(port);
    s.Edit(Dlg::kRetries)->setText(retries);
    s.Edit(Dlg::kTimeout)->setText(timeout);
    QTest::mouseClick(s.Button(Dlg::kOk), Qt::LeftButton);
    QVERIFY(script.Unexpected().isEmpty());
    if (badField == 0) {
      QVERIFY(!s.dialog.isVisible());
      QCOMPARE(s.dialog.result(), int(QDialog::Accepted));
      QCOMPARE(s.dialog.GetSettings().Port, port.trimmed().toInt());
      QCOMPARE(s.dialog.GetSettings().Retries, retries.toInt());
      QCOMPARE(s.dialog.GetSettings().Timeout, timeout.toInt());
      QVERIFY(script.Records().empty());
      return;
    }
    QVERIFY(s.dialog.isVisible());
    QCOMPARE(script.Records().size(), size_t(1));
    const auto& message = script.Records().front();
    QCOMPARE(message.icon, QMessageBox::Warning);
    const char* what = badField == Dlg::kPort ? "Port" : badField == Dlg::kRetries ? "Retries" : "Timeout";
    QVERIFY2(message.text.startsWith(QString::fromLatin1(what)), qPrintable(message.text));
    QCOMPARE(s.dialog.focusWidget(), s.dialog.Control(badField));
    QCOMPARE(s.Edit(Dlg::kPort)->text(), port);  // left for the user to correct
  }

  void badNumberIsReportedWhenAnotherFieldGetsFocus() {
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    Shown s;
    QVERIFY(s.Activate());
    s.Edit(Dlg::kPort)->setFocus(Qt::TabFocusReason);
    s.Edit(Dlg::kPort)->setText(QStringLiteral("65536"));
    s.Edit(Dlg::kUsername)->setText(QStringLiteral("typed after the port"));
    s.Edit(Dlg::kName)->setFocus(Qt::MouseFocusReason);
    QCOMPARE(script.Records().size(), size_t(1));
    QVERIFY(script.Records().front().text.startsWith(QStringLiteral("Port")));
    QCOMPARE(s.dialog.focusWidget(), s.dialog.Control(Dlg::kPort));
    // Nothing typed is thrown away by the failed read.
    QCOMPARE(s.Edit(Dlg::kPort)->text(), QStringLiteral("65536"));
    QCOMPARE(s.Edit(Dlg::kUsername)->text(), QStringLiteral("typed after the port"));
  }

  void getSettingsDropsReservedAndKeepsScriptFile() {
    const ServerSettings settings{"Mirror", "mirror.example.net", "/pub", "/home/user/mirror",
                                  "user",   "pw",                 "login.scr", 7, 30, 2121, 5,
                                  false,    false,                true};
    Shown s(settings);
    QVERIFY(!s.Edit(Dlg::kScriptFile)->isVisible());
    s.dialog.accept();
    ServerSettings expected = settings;
    expected.Reserved = 0;
    QVERIFY(!veltrim::Differs(s.dialog.GetSettings(), expected));
  }

  void browseReplacesLocalDirOnlyWhenAFolderIsChosen() {
    PromptScript script;
    script.AnswerPath(PromptKind::Folder, QStringLiteral("/srv/downloads/"))
        .AnswerPath(PromptKind::Folder, QString());
    ServerSettings settings;
    settings.LocalDir = "/home/user";
    Shown s(settings);
    for (int i = 0; i < 2; ++i) {
      QTest::mouseClick(s.Button(Dlg::kBrowse), Qt::LeftButton);
      QCOMPARE(s.Edit(Dlg::kLocalDir)->text(), QStringLiteral("/srv/downloads"));
    }
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(script.Records().size(), size_t(2));
    QCOMPARE(script.Records()[0].caption, QStringLiteral("Please choose an initial local directory:"));
    QCOMPARE(script.Records()[0].initial, QStringLiteral("/home/user"));
    QCOMPARE(script.Records()[1].initial, QStringLiteral("/srv/downloads"));
  }

  void cancelDoesNotReadTheFields() {
    PromptScript script;  // no message may appear
    ServerSettings settings;
    settings.Name = "Before";
    Shown s(settings);
    s.Edit(Dlg::kName)->setText(QStringLiteral("After"));
    s.Edit(Dlg::kPort)->setText(QStringLiteral("not a port"));
    QTest::mouseClick(s.Button(Dlg::kCancel), Qt::LeftButton);
    QCOMPARE(s.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(s.dialog.GetSettings().Name, std::string("Before"));
    QVERIFY(script.Records().empty());
  }
};

QTEST_MAIN(SessionSettingsDialogTest)
#include "dialogs_session_settings_test.moc"
