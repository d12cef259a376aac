// The profile document: New, Open, Save, Edit Settings and what each hands
// to the frame, driven through a recording frame and scripted prompts.

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "core/profile/profile_file.h"
#include "helpers/prompt_script.h"
#include "support/local_files.h"
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

// The profile file's bytes (the codec's own byte layout is checked against
// golden bytes in the profile tests).
QByteArray ExpectedFile(const ServerSettings& s) { return QByteArray::fromStdString(veltrim::EncodeProfile(s)); }

QByteArray ReadFile(const QString& path) { return QByteArray::fromStdString(veltrim::test::ReadLocal(path.toStdString())); }

// Writes `bytes` as `name` in `dir` and returns the path.
QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  veltrim::test::WriteLocal(path.toStdString(), bytes.toStdString());
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
  // The start-up New resets without a dialog; a later one cancelled, or
  // confirmed without a host name, leaves the document as reset. Otherwise
  // the name falls back to the host, an empty user means anonymous, the
  // frame takes the profile and a Connect is posted.
  void newDocument() {
    const struct {
      int dialog;  // 0: none (the start-up New), 1: cancelled, 2: OK
      const char *name, *host, *user, *title;
      bool anonymous;
    } cases[] = {{0, "", "", "", "Not Connected", false},
                 {1, "", "", "", "Not Connected", false},
                 {2, "Name only", "", "u", "Not Connected", false},
                 {2, "Site", "ftp.example.org", "bob", "Site", false},
                 {2, "", "ftp.example.org", "bob", "ftp.example.org", false},
                 {2, "Site", "ftp.example.org", "", "Site", true}};
    for (const auto& c : cases) {
      Fixture f(false);
      if (c.dialog) f.doc.OnNewDocument();
      QSignalSpy titles(&f.doc, &CVeltrimFTPDoc::titleChanged);
      PromptScript script;
      if (c.dialog == 1) script.RejectDialog();
      if (c.dialog == 2) script.AnswerDialog(TypeProfile(c.name, c.host, c.user));
      QVERIFY(f.doc.OnNewDocument());
      QVERIFY(script.Unexpected().isEmpty());
      QCOMPARE(script.Captions(), c.dialog ? QStringList{"FTP Session Settings"} : QStringList{});
      QVERIFY(!f.doc.ResetOnNextNew());
      QCOMPARE(f.doc.Title(), QString::fromLatin1(c.title));
      if (!c.dialog) QCOMPARE(titles.last().first().toString(), QStringLiteral("Not Connected"));
      const bool made = *c.host != 0;
      QCOMPARE(f.doc.IsModified(), made);
      QCOMPARE(f.frame.connectsPosted, made ? 1 : 0);
      QCOMPARE(f.frame.taken.size(), size_t(made ? 1 : 0));
      if (!made) {
        QCOMPARE(f.doc.Profile().Hostname, std::string("Not Connected"));
        continue;
      }
      QCOMPARE(f.doc.Profile().Anonymous, c.anonymous);
      QCOMPARE(f.doc.Profile().Username, std::string(c.user));  // left as typed
      QVERIFY(!veltrim::Differs(f.frame.taken.front(), f.doc.Profile()));
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
      QCOMPARE(script.Records().front().caption, QStringLiteral("Confirm Disconnect"));
      QCOMPARE(script.Records().front().buttons, QMessageBox::Ok | QMessageBox::Cancel);
      QCOMPARE(f.frame.disconnects, confirm ? 1 : 0);
      QCOMPARE(script.Records().size(), size_t(confirm ? 2 : 1));
      if (confirm) QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
      // Kept: the live connection's profile and the file it came from.
      if (!confirm) QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
      QCOMPARE(f.doc.PathName(), confirm ? QString() : path);
    }
  }

  // Edit Settings never connects nor hands the profile over; it shows the
  // "Changes" box only when something changed. OK with an empty host name
  // counts as Cancel.
  void editSettings() {
    const struct {
      const char* name;
      int reserved;  // as the import of an old profile leaves it
      int field;     // -1: nothing typed
      const char* typed;
      bool changed;
      bool applied;
    } cases[] = {{"no change shows no box", 0, -1, "", false, true},
                 {"renamed", 0, CSessionSettingsDlg::kName, "Renamed", true, true},
                 {"nonzero Reserved counts as changed", 5, -1, "", true, true},
                 {"an empty host", 0, CSessionSettingsDlg::kHostname, "", false, false}};
    for (const auto& c : cases) {
      ServerSettings stored = SampleProfile();
      stored.Reserved = c.reserved;
      Fixture f(stored);
      PromptScript script;
      script.AnswerDialog([&](QDialog& dialog) {
        if (c.field >= 0) Field(dialog, c.field)->setText(QString::fromLatin1(c.typed));
        dialog.accept();
      });
      if (c.changed) script.Answer(QMessageBox::Ok);
      f.doc.EditSettings();
      QVERIFY2(script.Unexpected().isEmpty(), c.name);
      QCOMPARE(script.Records().size(), size_t(c.changed ? 2 : 1));
      if (c.changed) QCOMPARE(script.Records()[1].caption, QStringLiteral("Changes"));
      QCOMPARE(f.doc.IsModified(), c.changed);
      QCOMPARE(f.doc.Profile().Name, std::string(c.field == CSessionSettingsDlg::kName ? c.typed : "Work server"));
      QCOMPARE(f.doc.Profile().Hostname, stored.Hostname);
      QCOMPARE(f.doc.Profile().Reserved, 0);
      QCOMPARE(f.frame.active.size(), size_t(c.applied ? 1 : 0));
      if (c.applied) QVERIFY(!veltrim::Differs(f.frame.active.front(), f.doc.Profile()));
      QVERIFY(f.frame.taken.empty());
      QCOMPARE(f.frame.connectsPosted, 0);
    }
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

  // What a cut file still holds is the codec's business (the profile tests);
  // the document keeps what it read but hands nothing on.
  void truncatedFileOpensWithoutHandingAnythingOn() {
    QTemporaryDir dir;
    const QByteArray full = ExpectedFile(SampleProfile());
    const QString path = WriteFile(dir, "cut.ftp", full.left(full.size() - 18));
    Fixture f;
    QVERIFY(f.doc.OnOpenDocument(path));
    QCOMPARE(f.doc.Profile().Name, SampleProfile().Name);
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
    const QByteArray saved = ReadFile(path);
    QCOMPARE(saved, ExpectedFile(f.doc.Profile()));

    Fixture reopened;
    QVERIFY(reopened.doc.OnOpenDocument(path));
    QVERIFY(!veltrim::Differs(reopened.doc.Profile(), f.doc.Profile()));
    QVERIFY(reopened.doc.FileSave());
    QCOMPARE(ReadFile(path), saved);
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

  // Yes saves, No drops the changes, Cancel stays with the profile.
  void modifiedProfileAsksBeforeItIsReplaced() {
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
      const bool goesOn = answer != QMessageBox::Cancel;
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
      script.Answer(answer);
      if (goesOn) script.RejectDialog();
      QCOMPARE(f.doc.FileNew(), goesOn);
      QVERIFY(script.Unexpected().isEmpty());
      QCOMPARE(script.Records().front().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      QVERIFY(script.Texts().front().contains(QStringLiteral("kept.ftp")));
      QCOMPARE(ReadFile(path), ExpectedFile(answer == QMessageBox::Yes ? changed : SampleProfile()));
      QCOMPARE(f.doc.Title(), goesOn ? QStringLiteral("Not Connected") : QStringLiteral("Work server"));
    }
  }
};

QTEST_MAIN(ProfileDocumentTest)
#include "profile_document_test.moc"
