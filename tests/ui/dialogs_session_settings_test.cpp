// The FTP Session Settings dialog: the anonymous switch, the password ticking
// "Save Password", browsing for the local folder and the number checks that
// keep the dialog open.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <tuple>

#include "helpers/prompt_script.h"
#include "ui/profile/session_settings_dlg.h"

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

  // OK takes numbers in range (spaces around them too); otherwise the first
  // bad field (retries, then port, then timeout) is named and keeps the focus.
  void okChecksNumberRanges() {
    const std::tuple<QString, QString, QString, int> cases[] = {  // port, retries, timeout, bad field (0: none)
        {"0", "0", "1", 0},           {"65535", "100", "120", 0},      {" 2121 ", "3", "30", 0},
        {"65536", "1", "60", Dlg::kPort}, {"-1", "1", "60", Dlg::kPort},  {"ftp", "1", "60", Dlg::kPort},
        {"", "1", "60", Dlg::kPort},  {"21.5", "1", "60", Dlg::kPort}, {"99999999999", "1", "60", Dlg::kPort},
        {"21", "1", "0", Dlg::kTimeout}, {"21", "1", "121", Dlg::kTimeout}, {"21", "101", "60", Dlg::kRetries},
        {"0x15", "-3", "0", Dlg::kRetries}, {"70000", "2", "0", Dlg::kPort}};
    for (const auto& [port, retries, timeout, badField] : cases) {
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
      QCOMPARE(s.dialog.isVisible(), badField != 0);
      if (badField == 0) {
        QCOMPARE(s.dialog.result(), int(QDialog::Accepted));
        const ServerSettings got = s.dialog.GetSettings();
        QCOMPARE((QList<int>{got.Port, got.Retries, got.Timeout}),
                 (QList<int>{port.trimmed().toInt(), retries.toInt(), timeout.toInt()}));
        QVERIFY(script.Records().empty());
        continue;
      }
      QCOMPARE(script.Records().size(), size_t(1));
      QCOMPARE(script.Records().front().icon, QMessageBox::Warning);
      const char* what = badField == Dlg::kPort ? "Port" : badField == Dlg::kRetries ? "Retries" : "Timeout";
      QVERIFY2(script.Texts().front().startsWith(QString::fromLatin1(what)), qPrintable(script.Texts().front()));
      QCOMPARE(s.dialog.focusWidget(), s.dialog.Control(badField));
      QCOMPARE(s.Edit(Dlg::kPort)->text(), port);  // left for the user to correct
    }
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

  // A chosen folder loses its trailing "/" (the root stays "/"); Cancel
  // leaves the field alone.
  void browseReplacesLocalDirOnlyWhenAFolderIsChosen() {
    PromptScript script;
    ServerSettings settings;
    settings.LocalDir = "/home/user";
    Shown s(settings);
    const std::pair<QString, QString> cases[] = {{"/srv/downloads/", "/srv/downloads"}, {"", "/srv/downloads"},
                                                 {"/", "/"}};
    for (const auto& [chosen, shown] : cases) {
      script.AnswerPath(PromptKind::Folder, chosen);
      QTest::mouseClick(s.Button(Dlg::kBrowse), Qt::LeftButton);
      QCOMPARE(s.Edit(Dlg::kLocalDir)->text(), shown);
    }
    QVERIFY(script.Unexpected().isEmpty());
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
