// The profile document: New, Open, Save, Edit Settings and what each hands
// to the frame, driven through a recording frame and scripted prompts.

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
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

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Fills the profile dialog's fields and presses OK.
std::function<void(QDialog&)> TypeProfile(QString name, QString host, QString user,
                                          QString password = {}) {
  return [=](QDialog& dialog) {
    auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
    auto edit = [&](int id) { return qobject_cast<QLineEdit*>(settings.Control(id)); };
    edit(CSessionSettingsDlg::kName)->setText(name);
    edit(CSessionSettingsDlg::kHostname)->setText(host);
    edit(CSessionSettingsDlg::kUsername)->setText(user);
    if (!password.isEmpty()) QTest::keyClicks(edit(CSessionSettingsDlg::kPassword), password);
    settings.accept();
  };
}

ServerSettings SampleProfile() {
  ServerSettings s;
  s.Name = "Work server";
  s.Hostname = "ftp.example.com";
  s.RemoteDir = "/pub";
  s.LocalDir = "/home/user/ftp";
  s.Username = "worker";
  s.Password = "hunter2";
  s.ScriptFile = "";
  s.Retries = 3;
  s.Timeout = 45;
  s.Port = 2121;
  s.Reserved = 0;
  s.Anonymous = false;
  s.ConnectOnOpen = true;
  s.SavePassword = true;
  return s;
}

// A document past its start-up reset, with a recording frame.
struct Fixture {
  CVeltrimFTPDoc doc;
  RecordingFrame frame{doc};
  Fixture() {
    doc.SetHost(&frame);
    doc.OnNewDocument();  // the start-up New: resets, no dialog
  }
};

}  // namespace

class ProfileDocumentTest : public QObject {
  Q_OBJECT
 private slots:
  void startUpNewResetsWithoutADialog();
  void confirmedNewCompletesTheProfile_data();
  void confirmedNewCompletesTheProfile();
  void newWithoutAHostIsLikeCancel_data();
  void newWithoutAHostIsLikeCancel();
  void newWhileConnectedAsksFirst_data();
  void newWhileConnectedAsksFirst();
  void newKeepsTheDialogsHelpPanelState();
  void detailsFollowThePreferenceUntilANewTakesIt();
  void editSettingsWithoutChangeShowsNoBox();
  void editSettingsWithAChangeShowsTheChangesBox();
  void editSettingsCountsNonZeroReservedAsChanged();
  void cancelledEditSettingsChangesNothing();
  void openHandsACompleteProfileToTheFrame_data();
  void openHandsACompleteProfileToTheFrame();
  void truncatedFileOpensWithoutHandingAnythingOn();
  void openWhileConnectedAndCancelledKeepsEverything();
  void openBeforeTheFrameTakesNothingButLeavesNewWorking();
  void unreadableFileLeavesTheDocumentAsItWas();
  void savedProfileIsByteExactAndReopensEqual();
  void passwordIsNotStoredWithoutSavePassword();
  void modifiedProfileAsksBeforeItIsReplaced_data();
  void modifiedProfileAsksBeforeItIsReplaced();
};

void ProfileDocumentTest::startUpNewResetsWithoutADialog() {
  PromptScript script;
  CVeltrimFTPDoc doc;
  RecordingFrame frame(doc);
  doc.SetHost(&frame);
  QSignalSpy titles(&doc, &CVeltrimFTPDoc::titleChanged);
  QVERIFY(doc.ResetOnNextNew());
  QVERIFY(doc.OnNewDocument());
  QVERIFY(script.Records().empty());
  QVERIFY(!doc.ResetOnNextNew());
  QCOMPARE(doc.Title(), QStringLiteral("Not Connected"));
  QCOMPARE(doc.Profile().Hostname, std::string("Not Connected"));
  QCOMPARE(titles.last().first().toString(), QStringLiteral("Not Connected"));
  QVERIFY(frame.taken.empty());
  QVERIFY(!doc.IsModified());
}

void ProfileDocumentTest::confirmedNewCompletesTheProfile_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("user");
  QTest::addColumn<QString>("expectedName");
  QTest::addColumn<bool>("expectedAnonymous");
  QTest::newRow("name and user") << "Site" << "bob" << "Site" << false;
  QTest::newRow("empty name takes the host") << "" << "bob" << "ftp.example.org" << false;
  QTest::newRow("empty user means anonymous") << "Site" << "" << "Site" << true;
  QTest::newRow("both empty") << "" << "" << "ftp.example.org" << true;
}

void ProfileDocumentTest::confirmedNewCompletesTheProfile() {
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
  // The completion leaves the credentials as typed.
  QCOMPARE(QString::fromStdString(profile.Username), user);
  QCOMPARE(profile.Port, 21);
  QCOMPARE(profile.Retries, 1);
  QCOMPARE(profile.Timeout, 60);
  QVERIFY(profile.ConnectOnOpen);
  QVERIFY(f.doc.IsModified());
  QCOMPARE(f.frame.taken.size(), size_t(1));
  QVERIFY(!veltrim::Differs(f.frame.taken.front(), profile));
  QCOMPARE(f.frame.connectsPosted, 1);
}

void ProfileDocumentTest::newWithoutAHostIsLikeCancel_data() {
  QTest::addColumn<bool>("pressOk");
  QTest::newRow("cancelled") << false;
  QTest::newRow("OK with an empty host name") << true;
}

void ProfileDocumentTest::newWithoutAHostIsLikeCancel() {
  QFETCH(bool, pressOk);
  Fixture f;
  PromptScript script;
  if (pressOk) {
    script.AnswerDialog(TypeProfile(QStringLiteral("Name only"), QString(), QStringLiteral("u")));
  } else {
    script.RejectDialog();
  }
  QVERIFY(f.doc.OnNewDocument());
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
  QCOMPARE(f.doc.Profile().Hostname, std::string("Not Connected"));
  QVERIFY(!f.doc.IsModified());
  QVERIFY(f.frame.taken.empty());
  QCOMPARE(f.frame.connectsPosted, 0);
}

void ProfileDocumentTest::newWhileConnectedAsksFirst_data() {
  QTest::addColumn<bool>("confirm");
  QTest::newRow("user keeps the connection") << false;
  QTest::newRow("user disconnects") << true;
}

void ProfileDocumentTest::newWhileConnectedAsksFirst() {
  QFETCH(bool, confirm);
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
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
  QCOMPARE(f.frame.connected, !confirm);
  QCOMPARE(script.Records().size(), size_t(confirm ? 2 : 1));
  if (confirm) QCOMPARE(f.doc.Title(), QStringLiteral("Not Connected"));
}

void ProfileDocumentTest::newKeepsTheDialogsHelpPanelState() {
  Fixture f;
  f.frame.details = false;
  PromptScript script;
  bool openedFolded = false;
  script.AnswerDialog([&](QDialog& dialog) {
    auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
    openedFolded = !settings.HelpPanelShown();
    QTest::mouseClick(qobject_cast<QPushButton*>(settings.Control(CSessionSettingsDlg::kDetails)),
                      Qt::LeftButton);
    settings.reject();
  });
  f.doc.OnNewDocument();
  QVERIFY(openedFolded);
  QVERIFY(f.doc.DetailsExpanded());
}

void ProfileDocumentTest::detailsFollowThePreferenceUntilANewTakesIt() {
  CVeltrimFTPDoc doc;
  RecordingFrame frame(doc);
  frame.details = std::nullopt;  // not loaded yet at the start-up New
  doc.SetHost(&frame);
  doc.OnNewDocument();
  frame.details = false;  // loaded at the first activation
  QVERIFY(!doc.DetailsExpanded());
  frame.details = true;
  QVERIFY(doc.DetailsExpanded());
}

void ProfileDocumentTest::editSettingsWithoutChangeShowsNoBox() {
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
  PromptScript script;
  script.AcceptDialog();
  f.doc.EditSettings();
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Records().size(), size_t(1));  // the dialog only
  QVERIFY(!f.doc.IsModified());
  QCOMPARE(f.frame.active.size(), size_t(1));
  QVERIFY(!veltrim::Differs(f.frame.active.front(), SampleProfile()));
  // Edit Settings never connects and never touches the hand-over.
  QVERIFY(f.frame.taken.empty());
  QCOMPARE(f.frame.connectsPosted, 0);
}

void ProfileDocumentTest::editSettingsWithAChangeShowsTheChangesBox() {
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
  PromptScript script;
  script.AnswerDialog([](QDialog& dialog) {
    auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
    qobject_cast<QLineEdit*>(settings.Control(CSessionSettingsDlg::kName))
        ->setText(QStringLiteral("Renamed"));
    settings.accept();
  });
  script.Answer(QMessageBox::Ok);
  f.doc.EditSettings();
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Records().size(), size_t(2));
  const auto& box = script.Records()[1];
  QCOMPARE(box.caption, QStringLiteral("Changes"));
  QCOMPARE(box.text, QStringLiteral(
                         "The changes made will take effect the next time you login to this server"));
  QCOMPARE(box.icon, QMessageBox::Information);
  QVERIFY(f.doc.IsModified());
  QCOMPARE(f.doc.Title(), QStringLiteral("Renamed"));
  QCOMPARE(f.frame.active.back().Name, std::string("Renamed"));
}

void ProfileDocumentTest::editSettingsCountsNonZeroReservedAsChanged() {
  QTemporaryDir dir;
  ServerSettings converted = SampleProfile();
  converted.Reserved = 5;  // as the import of an old profile leaves it
  const QString path = dir.filePath(QStringLiteral("converted.ftp"));
  WriteFile(path, ExpectedFile(converted));
  Fixture f;
  f.frame.autologin = false;
  QVERIFY(f.doc.OnOpenDocument(path));
  QCOMPARE(f.doc.Profile().Reserved, 5);
  PromptScript script;
  script.AcceptDialog().Answer(QMessageBox::Ok);
  f.doc.EditSettings();
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Captions(), (QStringList{QStringLiteral("FTP Session Settings"),
                                           QStringLiteral("Changes")}));
  QCOMPARE(f.doc.Profile().Reserved, 0);
  QVERIFY(f.doc.IsModified());
}

void ProfileDocumentTest::cancelledEditSettingsChangesNothing() {
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
  PromptScript script;
  script.AnswerDialog([](QDialog& dialog) {
    auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
    qobject_cast<QLineEdit*>(settings.Control(CSessionSettingsDlg::kHostname))->setText({});
    settings.accept();  // OK with an empty host counts as Cancel
  });
  f.doc.EditSettings();
  QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
  QVERIFY(f.frame.active.empty());
  QVERIFY(!f.doc.IsModified());
}

void ProfileDocumentTest::openHandsACompleteProfileToTheFrame_data() {
  QTest::addColumn<bool>("connectOnOpen");
  QTest::addColumn<bool>("autologin");
  QTest::addColumn<int>("connects");
  QTest::newRow("both on") << true << true << 1;
  QTest::newRow("autologin off") << true << false << 0;
  QTest::newRow("profile says no") << false << true << 0;
}

void ProfileDocumentTest::openHandsACompleteProfileToTheFrame() {
  QFETCH(bool, connectOnOpen);
  QFETCH(bool, autologin);
  QFETCH(int, connects);
  QTemporaryDir dir;
  ServerSettings stored = SampleProfile();
  stored.ConnectOnOpen = connectOnOpen;
  const QString path = dir.filePath(QStringLiteral("work.ftp"));
  WriteFile(path, ExpectedFile(stored));
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

void ProfileDocumentTest::truncatedFileOpensWithoutHandingAnythingOn() {
  QTemporaryDir dir;
  ServerSettings stored = SampleProfile();
  stored.Anonymous = true;
  stored.ConnectOnOpen = true;
  const QByteArray full = ExpectedFile(stored);
  // Cut inside the integers: Retries and Timeout survive, Port is half there.
  const int stringsEnd = full.size() - 28;
  const QString path = dir.filePath(QStringLiteral("cut.ftp"));
  WriteFile(path, full.left(stringsEnd + 10));

  Fixture f;
  ServerSettings before = f.doc.Profile();
  QVERIFY(f.doc.OnOpenDocument(path));
  const ServerSettings& loaded = f.doc.Profile();
  QCOMPARE(loaded.Name, stored.Name);
  QCOMPARE(loaded.LocalDir, stored.LocalDir);
  QCOMPARE(loaded.Retries, stored.Retries);
  QCOMPARE(loaded.Timeout, stored.Timeout);
  QCOMPARE(loaded.Port, before.Port);
  QCOMPARE(loaded.Anonymous, before.Anonymous);
  QCOMPARE(loaded.SavePassword, before.SavePassword);
  QVERIFY(!f.doc.LoadedFromFile());
  QVERIFY(f.frame.taken.empty());
  QCOMPARE(f.frame.connectsPosted, 0);
}

void ProfileDocumentTest::openWhileConnectedAndCancelledKeepsEverything() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("other.ftp"));
  ServerSettings other = SampleProfile();
  other.Name = "Other";
  WriteFile(path, ExpectedFile(other));
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
  f.frame.connected = true;
  PromptScript script;
  script.Answer(QMessageBox::Cancel);
  QVERIFY(!f.doc.OnOpenDocument(path));
  QCOMPARE(script.Captions(), QStringList{QStringLiteral("Confirm Disconnect")});
  QVERIFY(f.frame.connected);
  QCOMPARE(f.frame.disconnects, 0);
  QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
  QVERIFY(f.frame.taken.empty());
}

void ProfileDocumentTest::openBeforeTheFrameTakesNothingButLeavesNewWorking() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("cmdline.ftp"));
  WriteFile(path, ExpectedFile(SampleProfile()));
  CVeltrimFTPDoc doc;
  RecordingFrame frame(doc);
  doc.SetHost(&frame);
  // A profile named on the command line is opened instead of the start-up New.
  QVERIFY(doc.OnOpenDocument(path));
  QVERIFY(doc.LoadedFromFile());
  QVERIFY(frame.taken.empty());  // the frame takes it at its first activation
  PromptScript script;
  script.RejectDialog();
  doc.FileNew();
  QCOMPARE(script.Captions(), QStringList{QStringLiteral("FTP Session Settings")});
}

void ProfileDocumentTest::unreadableFileLeavesTheDocumentAsItWas() {
  QTemporaryDir dir;
  Fixture f;
  f.doc.AssignProfile(SampleProfile());
  PromptScript script;
  script.Answer(QMessageBox::Ok);
  QVERIFY(!f.doc.OnOpenDocument(dir.filePath(QStringLiteral("missing.ftp"))));
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Records().front().icon, QMessageBox::Critical);
  QVERIFY(!veltrim::Differs(f.doc.Profile(), SampleProfile()));
  QVERIFY(f.doc.PathName().isEmpty());
}

void ProfileDocumentTest::savedProfileIsByteExactAndReopensEqual() {
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

void ProfileDocumentTest::passwordIsNotStoredWithoutSavePassword() {
  QTemporaryDir dir;
  Fixture f;
  ServerSettings profile = SampleProfile();
  profile.SavePassword = false;
  f.doc.AssignProfile(profile);
  const QString path = dir.filePath(QStringLiteral("nopass.ftp"));
  QVERIFY(f.doc.OnSaveDocument(path));
  ServerSettings expected = profile;
  expected.Password.clear();
  QCOMPARE(ReadFile(path), ExpectedFile(expected));
  // The profile in use keeps it: only the file goes without.
  QCOMPARE(f.doc.Profile().Password, std::string("hunter2"));
}

void ProfileDocumentTest::modifiedProfileAsksBeforeItIsReplaced_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("goesOn");
  QTest::addColumn<bool>("saved");
  QTest::newRow("yes saves") << int(QMessageBox::Yes) << true << true;
  QTest::newRow("no drops") << int(QMessageBox::No) << true << false;
  QTest::newRow("cancel stays") << int(QMessageBox::Cancel) << false << false;
}

void ProfileDocumentTest::modifiedProfileAsksBeforeItIsReplaced() {
  QFETCH(int, answer);
  QFETCH(bool, goesOn);
  QFETCH(bool, saved);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.ftp"));
  WriteFile(path, ExpectedFile(SampleProfile()));
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
  ServerSettings onDisk = SampleProfile();
  if (saved) onDisk.Port = 990;
  QCOMPARE(ReadFile(path), ExpectedFile(onDisk));
  QCOMPARE(f.doc.Title(), goesOn ? QStringLiteral("Not Connected") : QStringLiteral("Work server"));
}

QTEST_MAIN(ProfileDocumentTest)
#include "profile_document_test.moc"
