// The command table at work: the commands available as the window connects,
// works and disconnects, the marks, and the commands the frame carries out itself.

#include <QAction>
#include <QtTest>
#include <memory>

#include "helpers/temporary_settings_store.h"
#include "ui/shared/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/app/session_link.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/drawn_images.h"

using namespace veltrim::ui;

namespace {

// A session the test steers, recording the transfer-type calls.
class FakeSession final : public SessionLink {
 public:
  bool IsConnected() const override { return connected; }
  bool IsBusy() const override { return busy; }
  bool HasIndexFile() const override { return indexFile; }
  void SetBinaryMode(bool binary) override { calls << QStringLiteral("binary=%1").arg(binary); }
  void SetAutoMode(bool autoMode) override { calls << QStringLiteral("auto=%1").arg(autoMode); }
  void AbortEverything() override { ++*aborts; }

  bool connected = true;
  bool busy = false;
  bool indexFile = false;
  QStringList calls;
  std::shared_ptr<int> aborts = std::make_shared<int>(0);
};

}  // namespace

class FrameCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;
  std::unique_ptr<CMainFrame> frame_;

  FakeSession* Connect() {
    auto session = std::make_unique<FakeSession>();
    FakeSession* raw = session.get();
    frame_->TakeProfile(veltrim::ServerSettings{});
    frame_->AttachSession(std::move(session));
    frame_->SetConnected(true);
    return raw;
  }

  bool Enabled(int id) { return frame_->Action(id)->isEnabled(); }
  bool Checked(int id) { return frame_->Action(id)->isChecked(); }

 private slots:
  void init() {
    store_ = std::make_unique<veltrim::test::TemporarySettingsStore>();
    frame_ = std::make_unique<CMainFrame>();
    frame_->LoadPreferences();
  }

  void cleanup() {
    frame_.reset();
    store_.reset();
  }

  void frameFollowsTheStates() {
    frame_->TakeProfile(veltrim::ServerSettings{});
    QVERIFY(Enabled(ID_CONNECT));
    QVERIFY(Enabled(ID_EDIT_SETTINGS));
    QVERIFY(!Enabled(ID_DOWNLOAD));

    FakeSession* session = Connect();
    QVERIFY(!Enabled(ID_CONNECT));
    QVERIFY(Enabled(ID_DISCONNECT));
    QVERIFY(Enabled(ID_DOWNLOAD));
    QVERIFY(Enabled(ID_BINARY));
    QVERIFY(!Enabled(ID_FILE_INFORMATION));
    session->indexFile = true;  // only a directory with an index file has descriptions
    frame_->OnClockTick();
    QVERIFY(Enabled(ID_FILE_INFORMATION));

    frame_->SetBusy(true);  // a listing on display
    QVERIFY(!Enabled(ID_CHANGE_DIRECTORY));
    QVERIFY(!Enabled(ID_REFRESH));
    QVERIFY(!Enabled(ID_AUTO));
    frame_->SetBusy(false);

    session->busy = true;  // only the session works: looks available
    frame_->OnClockTick();
    QVERIFY(Enabled(ID_CHANGE_DIRECTORY));
    QVERIFY(Enabled(ID_REFRESH));

    frame_->OnDisconnect();
    QVERIFY(!frame_->Connected());
    QVERIFY(!frame_->ProfilePresent());
    QVERIFY(!Enabled(ID_CONNECT));
    QVERIFY(!Enabled(ID_DOWNLOAD));
    QCOMPARE(frame_->ConnectionBarWidget()->Text(), QStringLiteral("Not Connected"));
    QCOMPARE(frame_->ConnectionBarWidget()->Picture(), kPictureNotConnected);
    QCOMPARE(frame_->StateIconId(), kStateNotConnected);
  }

  // The marks follow the last command; the session hears every change.
  void transferTypeMarks() {
    const struct {
      QList<int> commands;
      bool binary, autoMode;
      int marked;
      QStringList sessionCalls;
    } cases[] = {{{ID_AUTO}, true, true, ID_AUTO, {"auto=1"}},
                 {{ID_AUTO, ID_BINARY}, true, false, ID_BINARY, {"auto=1", "auto=0", "binary=1"}},
                 {{ID_ASCII}, false, false, ID_ASCII, {"binary=0", "auto=0"}},
                 {{ID_ASCII, ID_AUTO}, false, true, ID_AUTO, {"binary=0", "auto=0", "auto=1"}}};  // Binary stays off
    for (const auto& c : cases) {
      cleanup();
      init();
      FakeSession* session = Connect();
      for (int id : c.commands) frame_->Action(id)->trigger();
      QCOMPARE(frame_->Prefs().Binary, c.binary);
      QCOMPARE(frame_->Prefs().Auto, c.autoMode);
      QCOMPARE(session->calls, c.sessionCalls);
      for (int id : {ID_BINARY, ID_ASCII, ID_AUTO}) QCOMPARE(Checked(id), id == c.marked);
    }
  }

  // Turned on without a profile, on with one (a Connect is posted, not run
  // inside the command), then off.
  void enableAutologin() {
    frame_->Prefs().Autologin = false;
    for (const auto& [profile, connects] : {std::pair{false, 0}, std::pair{true, 1}, std::pair{true, 0}}) {
      const bool before = frame_->Prefs().Autologin;
      if (profile) frame_->TakeProfile(veltrim::ServerSettings{});
      int runs = 0;
      frame_->SetCommandHandler(ID_CONNECT, [&] { ++runs; });
      frame_->Action(ID_ENABLE_AUTOLOGIN)->trigger();
      QCOMPARE(frame_->Prefs().Autologin, !before);
      QCOMPARE(Checked(ID_ENABLE_AUTOLOGIN), !before);
      QCOMPARE(runs, 0);
      QTest::qWait(20);
      QCOMPARE(runs, connects);
      if (!profile) frame_->Action(ID_ENABLE_AUTOLOGIN)->trigger();  // off again
    }
  }

  // An attempt still waiting, or logged in: the waits end before the release.
  void disconnectEndsTheWaitsBeforeReleasing() {
    for (bool loggedIn : {false, true}) {
      FakeSession* session = Connect();
      session->connected = loggedIn;
      std::shared_ptr<int> aborts = session->aborts;
      frame_->ExecuteCommand(ID_DISCONNECT);
      QVERIFY(frame_->Session() == nullptr);
      QVERIFY(*aborts >= 1);
    }
  }

  void connectIsIgnoredWhileASessionExists() {
    frame_->TakeProfile(veltrim::ServerSettings{});
    int runs = 0;
    frame_->SetCommandHandler(ID_CONNECT, [&] { ++runs; });
    frame_->OnConnect();
    QCOMPARE(runs, 1);
    auto session = std::make_unique<FakeSession>();
    session->connected = false;
    frame_->AttachSession(std::move(session));
    frame_->OnConnect();
    QCOMPARE(runs, 1);
  }
};

QTEST_MAIN(FrameCommandsTest)
#include "frame_commands_test.moc"
