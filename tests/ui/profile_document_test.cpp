// The profile document: New, Open, Save, Edit Settings and what each hands
// to the frame, driven through a recording frame and scripted prompts.

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "helpers/prompt_script.h"
#include "ui/profile/session_settings_dlg.h"
#include "ui/profile/veltrim_ftp_doc.h"

using veltrim::ServerSettings;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using veltrim::ui::CSessionSettingsDlg;
using veltrim::ui::CVeltrimFTPDoc;

namespace {

// The frame as the document sees it, recording every call.
class RecordingFrame final : public veltrim::ui::DocumentHost {
 public:
  explicit RecordingFrame(CVeltrimFTPDoc& doc) : doc_(doc) {}

  QWidget* OwnerWindow() override { return nullptr; }
  bool IsConnected() const override { return connected; }
  bool AutologinPreference() const override { return autologin; }
  std::optional<bool> DetailsPreference() const override { return details; }
  void TakeProfile(const ServerSettings& profile) override { taken.push_back(profile); }
  void SetActiveProfile(const ServerSettings& profile) override { active.push_back(profile); }
  void PostConnect() override { ++connectsPosted; }
  void Disconnect() override {
    ++disconnects;
    connected = false;
    doc_.SetResetOnNextNew(true);
    doc_.OnNewDocument();
  }
  void AddRecentFile(const QString& path) override { recent << path; }

  bool connected = false;
  bool autologin = true;
  std::optional<bool> details = true;
  std::vector<ServerSettings> taken;
  std::vector<ServerSettings> active;
  int connectsPosted = 0;
  int disconnects = 0;
  QStringList recent;

 private:
  CVeltrimFTPDoc& doc_;
};

// The .ftp layout written out by hand: strings (short ones only) with a
// one-byte length, then little-endian 4-byte integers.
QByteArray ExpectedFile(const ServerSettings& s) {
  QByteArray bytes;
  for (const std::string* text : {&s.Name, &s.Hostname, &s.Username, &s.Password, &s.RemoteDir,
                                  &s.LocalDir, &s.ScriptFile}) {
    bytes.append(static_cast<char>(text->size()));
    bytes.append(text->data(), static_cast<qsizetype>(text->size()));
  }
  for (int32_t value : {s.Retries, s.Timeout, s.Port, s.Reserved, int32_t(s.Anonymous),
                        int32_t(s.ConnectOnOpen), int32_t(s.SavePassword)}) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((u >> shift) & 0xff));
  }
  return bytes;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` as `name` in `dir` and returns the path.
QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

QLineEdit* Field(QDialog& dialog, int id) {
  return qobject_cast<QLineEdit*>(dynamic_cast<CSessionSettingsDlg&>(dialog).Control(id));
}

// Fills the profile dialog's fields and presses OK.
std::function<void(QDialog&)> TypeProfile(QString name, QString host, QString user,
                                          QString password = {}) {
  return [=](QDialog& dialog) {
    Field(dialog, CSessionSettingsDlg::kName)->setText(name);
    Field(dialog, CSessionSettingsDlg::kHostname)->setText(host);
    Field(dialog, CSessionSettingsDlg::kUsername)->setText(user);
    if (!password.isEmpty()) QTest::keyClicks(Field(dialog, CSessionSettingsDlg::kPassword), password);
    dialog.accept();
  };
}

ServerSettings SampleProfile() {
  // Name, host, remote and local folder, user, password, script; retries,
  // timeout, port, reserved; anonymous, connect on open, save password.
  return {"Work server", "ftp.example.com", "/pub", "/home/user/ftp", "worker", "hunter2", "",
          3,             45,                2121,   0,                false,    true,      true};
}

// A document past its start-up reset, with a recording frame.
struct Fixture {
  CVeltrimFTPDoc doc;
  RecordingFrame frame{doc};
  explicit Fixture(bool startUpNew = true) {
    doc.SetHost(&frame);
    if (startUpNew) doc.OnNewDocument();  // resets, no dialog
  }
  explicit Fixture(const ServerSettings& profile) : Fixture() { doc.AssignProfile(profile); }
};

}  // namespace

class ProfileDocumentTest : public QObject {
  Q_OBJECT
 private slots:
  void startUpNewResetsWithoutADialog() {
    PromptScript script;
    Fixture f(false);
    QSignalSpy titles(&f.doc, &CVeltrimFTPDoc::titleChanged);
    QVERIFY(f.doc.ResetOnNextNew());
    QVERIFY(f.doc.OnNewDocument());
    QVERIFY(script.Records().empty());
    QVERIFY(!f.doc.ResetOnNextNew());
    QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
    QCOMPARE(f.doc.Profile().Hostname, std::string("Not Connected"));
    QCOMPARE(titles.last().first().toString(), QStringLiteral("Not Connected"));
    QVERIFY(f.frame.taken.empty());
    QVERIFY(!f.doc.IsModified());
  }

  void confirmedNewCompletesTheProfile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<bool>("expectedAnonymous");
    QTest::newRow("name and user") << "Site" << "bob" << "Site" << false;
    QTest::newRow("empty name takes the host") << "" << "bob" << "ftp.example.org" << false;
    QTest::newRow("empty user means anonymous") << "Site" << "" << "Site" << true;
  }

  void confirmedNewCompletesTheProfile() {
    QFETCH(QString, name);
    QFETCH(QString, user);
    QFETCH(QString, expectedName);
    QFETCH(bool, expectedAnonymous);
    Fixture f;
    PromptScript script;
    script.AnswerDialog(TypeProfile(name, QStringLiteral("ftp.example.org"), user));
    QVERIFY(f.doc.OnNewDocument());
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(script.Captions(), QStringList{QStringLiteral("FTP Session Settings")});
    const ServerSettings& profile = f.doc.Profile();
    QCOMPARE(QString::fromStdString(profile.Name), expectedName);
    QCOMPARE(f.doc.Title(), expectedName);
    QCOMPARE(profile.Anonymous, expectedAnonymous);
    QCOMPARE(QString::fromStdString(profile.Username), user);  // left as typed
    QVERIFY(f.doc.IsModified());
    QCOMPARE(f.frame.taken.size(), size_t(1));
    QVERIFY(!veltrim::Differs(f.frame.taken.front(), profile));
    QCOMPARE(f.frame.connectsPosted, 1);
  }

  void newWithoutAHostIsLikeCancel() {
    for (bool pressOk : {false, true}) {  // cancelled, or OK with an empty host name
      Fixture f;
      PromptScript script;
      if (pressOk)
        script.AnswerDialog(TypeProfile(QStringLiteral("Name only"), QString(), QStringLiteral("u")));
      else
        script.RejectDialog();
      QVERIFY(f.doc.OnNewDocument());
      QVERIFY(script.Unexpected().isEmpty());
      QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
      QCOMPARE(f.doc.Profile().Hostname, std::string("Not Connected"));
      QVERIFY(!f.doc.IsModified());
      QVERIFY(f.frame.taken.empty());
      QCOMPARE(f.frame.connectsPosted, 0);
    }
  }

  void newWhileConnectedAsksFirst() {
    for (bool confirm : {false, true}) {  // the user keeps the connection, or drops it
      QTemporaryDir dir;
      const QString path = WriteFile(dir, "live.ftp", ExpectedFile(SampleProfile()));
      Fixture f;
      f.frame.autologin = false;
      QVERIFY(f.doc.OnOpenDocument(path));
      f.frame.connected = true;
      PromptScript script;
      script.Answer(confirm ? QMessageBox::Ok : QMessageBox::Cancel);
      if (confirm) script.RejectDialog();
      QCOMPARE(f.doc.OnNewDocument(), confirm);
      QVERIFY(script.Unexpected().isEmpty());
      const auto& question = script.Records().front();
      QCOMPARE(question.caption, QStringLiteral("Confirm Disconnect"));
      QCOMPARE(question.text,
               QStringLiteral("Are you sure you wish to disconnect from the current server?"));
      QCOMPARE(question.icon, QMessageBox::Critical);
      QCOMPARE(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);
      QCOMPARE(f.frame.disconnects, confirm ? 1 : 0);
      QCOMPARE(script.Records().size(), size_t(confirm ? 2 : 1));
      if (confirm) QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
      // Kept: the live connection's profile and the file it came from.
      if (!confirm) QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
      QCOMPARE(f.doc.PathName(), confirm ? QString() : path);
    }
  }

  void detailsFollowThePreferenceUntilANewTakesIt() {
    Fixture f(false);
    f.frame.details = std::nullopt;  // not loaded yet at the start-up New
    f.doc.OnNewDocument();
    f.frame.details = false;  // loaded at the first activation
    QVERIFY(!f.doc.DetailsExpanded());
    bool openedFolded = false;
    PromptScript script;
    script.AnswerDialog([&](QDialog& dialog) {
      auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
      openedFolded = !settings.HelpPanelShown();
      QTest::mouseClick(qobject_cast<QPushButton*>(settings.Control(CSessionSettingsDlg::kDetails)),
                        Qt::LeftButton);
      settings.reject();
    });
    f.doc.OnNewDocument();
    QVERIFY(openedFolded);
    QVERIFY(f.doc.DetailsExpanded());  // the dialog's state wins from now on
  }

  // Edit Settings never connects nor hands the profile over; it shows the
  // "Changes" box only when something changed.
  void editSettings_data() {
    QTest::addColumn<int>("reserved");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("changed");
    QTest::newRow("no change shows no box") << 0 << QString() << false;
    QTest::newRow("renamed") << 0 << "Renamed" << true;
    QTest::newRow("nonzero Reserved counts as changed") << 5 << QString() << true;
  }

  void editSettings() {
    QFETCH(int, reserved);
    QFETCH(QString, newName);
    QFETCH(bool, changed);
    ServerSettings stored = SampleProfile();
    stored.Reserved = reserved;  // as the import of an old profile leaves it
    Fixture f(stored);
    PromptScript script;
    script.AnswerDialog([&](QDialog& dialog) {
      if (!newName.isEmpty()) Field(dialog, CSessionSettingsDlg::kName)->setText(newName);
      dialog.accept();
    });
    if (changed) script.Answer(QMessageBox::Ok);
    f.doc.EditSettings();
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(script.Records().size(), size_t(changed ? 2 : 1));
    if (changed) {
      const auto& box = script.Records()[1];
      QCOMPARE(box.caption, QStringLiteral("Changes"));
      QCOMPARE(box.text, QStringLiteral("The changes made will take effect the next time you "
                                        "login to this server"));
      QCOMPARE(box.icon, QMessageBox::Information);
    }
    QCOMPARE(f.doc.IsModified(), changed);
    if (!changed) QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
    QCOMPARE(f.doc.Profile().Reserved, 0);
    QCOMPARE(f.doc.Title(), newName.isEmpty() ? QStringLiteral("Work server") : newName);
    QCOMPARE(f.frame.active.size(), size_t(1));
    QVERIFY(!veltrim::Differs(f.frame.active.front(), f.doc.Profile()));
    QVERIFY(f.frame.taken.empty());
    QCOMPARE(f.frame.connectsPosted, 0);
  }

  void editSettingsWithAnEmptyHostChangesNothing() {
    Fixture f(SampleProfile());
    PromptScript script;
    script.AnswerDialog([](QDialog& dialog) {
      Field(dialog, CSessionSettingsDlg::kHostname)->setText({});
      dialog.accept();  // OK with an empty host counts as Cancel
    });
    f.doc.EditSettings();
    QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
    QVERIFY(f.frame.active.empty());
    QVERIFY(!f.doc.IsModified());
  }

  // Connect is posted only when both the profile and the preference ask for it.
  void openHandsACompleteProfileToTheFrame() {
    const std::tuple<bool, bool, int> cases[] = {{true, true, 1}, {true, false, 0}, {false, true, 0}};
    for (const auto& [connectOnOpen, autologin, connects] : cases) {
      QTemporaryDir dir;
      ServerSettings stored = SampleProfile();
      stored.ConnectOnOpen = connectOnOpen;
      const QString path = WriteFile(dir, "work.ftp", ExpectedFile(stored));
      Fixture f;
      f.frame.autologin = autologin;
      PromptScript script;
      QVERIFY(f.doc.OnOpenDocument(path));
      QVERIFY(script.Records().empty());
      QVERIFY(f.doc.LoadedFromFile());
      QVERIFY(!f.doc.IsModified());
      QCOMPARE(f.doc.Title(), QStringLiteral("Work server"));
      QCOMPARE(f.doc.PathName(), path);
      QCOMPARE(f.frame.recent, QStringList{path});
      QCOMPARE(f.frame.taken.size(), size_t(1));
      QVERIFY(!veltrim::Differs(f.frame.taken.front(), stored));
      QCOMPARE(f.frame.connectsPosted, connects);
    }
  }

  void truncatedFileOpensWithoutHandingAnythingOn() {
    QTemporaryDir dir;
    ServerSettings stored = SampleProfile();
    stored.Anonymous = true;
    const QByteArray full = ExpectedFile(stored);
    // Cut inside the integers: Retries and Timeout survive, Port is half there.
    const QString path = WriteFile(dir, "cut.ftp", full.left(full.size() - 28 + 10));
    Fixture f;
    const ServerSettings before = f.doc.Profile();
    QVERIFY(f.doc.OnOpenDocument(path));
    const ServerSettings& loaded = f.doc.Profile();
    QCOMPARE(loaded.Name, stored.Name);
    QCOMPARE(loaded.LocalDir, stored.LocalDir);
    QCOMPARE(loaded.Timeout, stored.Timeout);
    QCOMPARE(loaded.Port, before.Port);
    QCOMPARE(loaded.Anonymous, before.Anonymous);
    QCOMPARE(loaded.SavePassword, before.SavePassword);
    QVERIFY(!f.doc.LoadedFromFile());
    QVERIFY(f.frame.taken.empty());
    QCOMPARE(f.frame.connectsPosted, 0);
  }

  // Neither a refused disconnect (connected) nor a missing file may touch the profile.
  void failedOpenLeavesTheDocumentAsItWas() {
    for (bool connected : {false, true}) {
      QTemporaryDir dir;
      ServerSettings other = SampleProfile();
      other.Name = "Other";
      const QString path = connected ? WriteFile(dir, "other.ftp", ExpectedFile(other))
                                     : dir.filePath(QStringLiteral("missing.ftp"));
      Fixture f(SampleProfile());
      f.frame.connected = connected;
      PromptScript script;
      script.Answer(connected ? QMessageBox::Cancel : QMessageBox::Ok);
      QVERIFY(!f.doc.OnOpenDocument(path));
      QVERIFY(script.Unexpected().isEmpty());
      if (connected) QCOMPARE(script.Captions(), QStringList{QStringLiteral("Confirm Disconnect")});
      QCOMPARE(script.Records().front().icon, QMessageBox::Critical);
      QCOMPARE(f.frame.connected, connected);
      QCOMPARE(f.frame.disconnects, 0);
      QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
      QVERIFY(f.doc.PathName().isEmpty());
      QVERIFY(f.frame.taken.empty());
    }
  }

  void openBeforeTheFrameTakesNothingButLeavesNewWorking() {
    QTemporaryDir dir;
    Fixture f(false);
    // A profile named on the command line is opened instead of the start-up New.
    QVERIFY(f.doc.OnOpenDocument(WriteFile(dir, "cmdline.ftp", ExpectedFile(SampleProfile()))));
    QVERIFY(f.doc.LoadedFromFile());
    QVERIFY(f.frame.taken.empty());  // the frame takes it at its first activation
    PromptScript script;
    script.RejectDialog();
    f.doc.FileNew();
    QCOMPARE(script.Captions(), QStringList{QStringLiteral("FTP Session Settings")});
  }

  void savedProfileIsByteExactAndReopensEqual() {
    QTemporaryDir dir;
    Fixture f;
    PromptScript script;
    script.AnswerDialog(TypeProfile(QStringLiteral("My Web Site"), QStringLiteral("ftp.example.com"),
                                    QStringLiteral("webmaster"), QStringLiteral("pa55")))
        .AnswerPath(PromptKind::SaveFile, dir.filePath(QStringLiteral("site")));
    QVERIFY(f.doc.OnNewDocument());
    QVERIFY(f.doc.FileSave());
    QVERIFY(script.Unexpected().isEmpty());
    const auto& chooser = script.Records()[1];
    QCOMPARE(chooser.filter, QStringLiteral("VeltrimFTP Server Settings (*.ftp)"));
    QCOMPARE(chooser.initial, QStringLiteral("My Web Site.ftp"));
    const QString path = dir.filePath(QStringLiteral("site.ftp"));
    QCOMPARE(f.doc.PathName(), path);
    QVERIFY(!f.doc.IsModified());
    ServerSettings expected;
    expected.Name = "My Web Site";
    expected.Hostname = "ftp.example.com";
    expected.Username = "webmaster";
    expected.Password = "pa55";
    expected.SavePassword = true;  // typing the password ticked it
    QCOMPARE(ReadFile(path), ExpectedFile(expected));

    Fixture reopened;
    QVERIFY(reopened.doc.OnOpenDocument(path));
    QVERIFY(!veltrim::Differs(reopened.doc.Profile(), f.doc.Profile()));
    QVERIFY(reopened.doc.FileSave());
    QCOMPARE(ReadFile(path), ExpectedFile(expected));
  }

  void passwordIsNotStoredWithoutSavePassword() {
    QTemporaryDir dir;
    ServerSettings profile = SampleProfile();
    profile.SavePassword = false;
    Fixture f(profile);
    const QString path = dir.filePath(QStringLiteral("nopass.ftp"));
    QVERIFY(f.doc.OnSaveDocument(path));
    profile.Password.clear();
    QCOMPARE(ReadFile(path), ExpectedFile(profile));
    // The profile in use keeps it: only the file goes without.
    QCOMPARE(f.doc.Profile().Password, std::string("hunter2"));
  }

  // An anonymous profile reads back as it was saved, and one written
  // without the anonymous password (an earlier build did that) does not
  // count as changed either: OK in Edit Settings shows no "Changes".
  void anonymousProfileEditedWithoutChangesStaysUnchanged() {
    for (bool savedHere : {true, false}) {
      QTemporaryDir dir;
      const QString path = dir.filePath(QStringLiteral("anon.ftp"));
      ServerSettings profile = SampleProfile();
      profile.Anonymous = true;
      profile.SavePassword = false;
      profile.Username = "anonymous";
      profile.Password = veltrim::ui::kDefaultAnonymousPassword;
      if (savedHere) {
        QVERIFY(Fixture(profile).doc.OnSaveDocument(path));
        QCOMPARE(ReadFile(path), ExpectedFile(profile));
      } else {
        profile.Password.clear();
        WriteFile(dir, "anon.ftp", ExpectedFile(profile));
      }
      Fixture f;
      f.frame.autologin = false;
      QVERIFY(f.doc.OnOpenDocument(path));
      PromptScript script;
      script.AcceptDialog();
      f.doc.EditSettings();
      QCOMPARE(script.Records().size(), size_t(1));
      QVERIFY(!f.doc.IsModified());
    }
  }

  void modifiedProfileAsksBeforeItIsReplaced_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes saves") << int(QMessageBox::Yes) << true << true;
    QTest::newRow("no drops") << int(QMessageBox::No) << true << false;
    QTest::newRow("cancel stays") << int(QMessageBox::Cancel) << false << false;
  }

  void modifiedProfileAsksBeforeItIsReplaced() {
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "kept.ftp", ExpectedFile(SampleProfile()));
    Fixture f;
    f.frame.autologin = false;
    QVERIFY(f.doc.OnOpenDocument(path));
    f.doc.SetModifiedFlag(true);
    ServerSettings changed = SampleProfile();
    changed.Port = 990;
    f.doc.AssignProfile(changed);

    PromptScript script;
    script.Answer(static_cast<QMessageBox::StandardButton>(answer));
    if (goesOn) script.RejectDialog();
    QCOMPARE(f.doc.FileNew(), goesOn);
    QVERIFY(script.Unexpected().isEmpty());
    const auto& question = script.Records().front();
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(question.text.contains(QStringLiteral("kept.ftp")));
    QCOMPARE(ReadFile(path), ExpectedFile(saved ? changed : SampleProfile()));
    QCOMPARE(f.doc.Title(), goesOn ? QStringLiteral("Not Connected") : QStringLiteral("Work server"));
  }
};

QTEST_MAIN(ProfileDocumentTest)
#include "profile_document_test.moc"
