// The command table at work: which commands are available in each state of
// the window, the marks, and the commands the frame carries out itself.

#include <QAction>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>
#include <memory>

#include "helpers/temporary_settings_store.h"
#include "ui/shared/command_ids.h"
#include "ui/app/command_rules.h"
#include "ui/app/command_table.h"
#include "ui/app/main_frame.h"
#include "ui/app/session_link.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/docking_bar.h"
#include "ui/widgets/drawn_images.h"

using namespace veltrim::ui;

Q_DECLARE_METATYPE(veltrim::ui::CommandState)

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

// No profile, ready, attempting (a session waits, not logged in), connected,
// listing busy (the frame displays a listing), session busy (only the
// session works, say on a directory change), connected with an index file.
constexpr int kStates = 7;
const char* const kStateNames[kStates] = {"no profile",   "ready",        "attempting", "connected",
                                          "listing busy", "session busy", "index file"};

CommandState StateOf(int state) {
  CommandState s;
  s.listViewExists = true;
  s.profilePresent = state > 0;
  s.sessionExists = state > 1;
  s.connected = s.sessionConnected = state > 2;
  s.sessionBusy = state == 2 || state == 5;
  s.frameBusy = state == 4;
  s.sessionHasIndexFile = state == 6;
  return s;
}

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

  void rulesByState_data() {
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("enabled");
    using R = EnableRule;
    struct Row {
      R rule;
      const char* name;
      const char* byState;  // one mark per state, in the order of kStateNames
    };
    const Row rows[] = {
        {R::Always, "always", "1111111"},         {R::ProfilePresent, "P", "0111111"},
        {R::CanConnect, "C", "0110000"},          {R::Connected, "D", "0001111"},
        {R::Session, "S", "0011011"},             {R::TransferType, "T", "0001011"},
        {R::ListViewExists, "modes", "1111111"},  {R::FileInformation, "file information", "0000001"},
        {R::AssociatedViewer, "associated viewer", "0000000"},
    };
    for (const Row& row : rows)
      for (int state = 0; state < kStates; ++state)
        QTest::addRow("%s, %s", row.name, kStateNames[state])
            << int(row.rule) << state << (row.byState[state] == '1');
  }

  void rulesByState() {
    QFETCH(int, rule);
    QFETCH(int, state);
    QFETCH(bool, enabled);
    QCOMPARE(IsCommandEnabled(EnableRule(rule), StateOf(state)), enabled);
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

  void transferTypeMarks_data() {
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<bool>("autoMode");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QStringList>("sessionCalls");
    QTest::newRow("Auto alone") << QList<int>{ID_AUTO} << true << true << "auto"
                                << QStringList{"auto=1"};
    QTest::newRow("Auto then Binary") << QList<int>{ID_AUTO, ID_BINARY} << true << false << "binary"
                                      << QStringList{"auto=1", "auto=0", "binary=1"};
    QTest::newRow("Ascii") << QList<int>{ID_ASCII} << false << false << "ascii"
                           << QStringList{"binary=0", "auto=0"};
    QTest::newRow("Ascii then Auto keeps Binary off")
        << QList<int>{ID_ASCII, ID_AUTO} << false << true << "auto"
        << QStringList{"binary=0", "auto=0", "auto=1"};
  }

  void transferTypeMarks() {
    QFETCH(QList<int>, commands);
    QFETCH(bool, binary);
    QFETCH(bool, autoMode);
    QFETCH(QString, marked);
    QFETCH(QStringList, sessionCalls);
    FakeSession* session = Connect();
    for (int id : commands) frame_->Action(id)->trigger();
    QCOMPARE(frame_->Prefs().Binary, binary);
    QCOMPARE(frame_->Prefs().Auto, autoMode);
    QCOMPARE(session->calls, sessionCalls);
    QCOMPARE(Checked(ID_BINARY), marked == "binary");
    QCOMPARE(Checked(ID_ASCII), marked == "ascii");
    QCOMPARE(Checked(ID_AUTO), marked == "auto");
  }

  void transferTypeWithoutSessionDoesNothing() {
    frame_->ExecuteCommand(ID_ASCII);
    QVERIFY(frame_->Prefs().Binary);
    QVERIFY(frame_->Prefs().Auto);
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

  void viewTogglesShowAndHideTheirBars() {
    frame_->show();
    const std::pair<int, QWidget*> bars[] = {{ID_VIEW_CONNECTION_BAR, frame_->ConnectionToolBar()},
                                             {ID_VIEW_LOG_WINDOW, frame_->SessionLogBar()},
                                             {ID_VIEW_TREE, frame_->DirectoriesBar()},
                                             {ID_VIEW_TOOLBAR, frame_->StandardToolBar()},
                                             {ID_VIEW_STATUS_BAR, frame_->statusBar()}};
    for (const auto& [command, bar] : bars) {
      QVERIFY(bar->isVisible());
      QVERIFY(Checked(command));
      for (bool shown : {false, true}) {
        frame_->Action(command)->trigger();
        QCOMPARE(bar->isVisible(), shown);
        QCOMPARE(Checked(command), shown);
        if (command == ID_VIEW_TOOLBAR) QCOMPARE(frame_->SessionToolBar()->isVisible(), shown);
      }
    }
  }

  // Details shows the columns in a tree view, the others a list view.
  void listModes() {
    const std::pair<int, int> modes[] = {
        {ID_VIEW_LIST, 3}, {ID_VIEW_DETAILS, 1}, {ID_VIEW_LARGEICON, 0}, {ID_VIEW_SMALLICON, 2}};
    for (const auto& [command, mode] : modes) {
      frame_->Action(command)->trigger();
      QCOMPARE(int(frame_->View()->Mode()), mode);
      QCOMPARE(frame_->Prefs().ListView, mode);
      for (int id : {ID_VIEW_LARGEICON, ID_VIEW_DETAILS, ID_VIEW_SMALLICON, ID_VIEW_LIST}) QCOMPARE(Checked(id), id == command);
      QCOMPARE(frame_->View()->currentWidget() == static_cast<QWidget*>(frame_->View()->DetailsView()), mode == 1);
    }
  }

  void everyToolbarButtonHasAnIcon() {
    // New, Open, Save, the four modes and About; the session bar's 16.
    const std::pair<QToolBar*, int> bars[] = {{frame_->StandardToolBar(), 8}, {frame_->SessionToolBar(), 16}};
    for (const auto& [toolBar, buttons] : bars) {
      int count = 0;
      for (QAction* action : toolBar->actions()) {
        if (action->isSeparator()) continue;
        ++count;
        QVERIFY2(!action->icon().pixmap(22, 22).isNull(), qPrintable(action->toolTip()));
      }
      QCOMPARE(count, buttons);
    }
  }

  // Frames 160..177 while the session works, then the connected picture.
  void busyAnimationFrames() {
    FakeSession* session = Connect();
    session->busy = true;
    QList<int> pictures;
    for (int i = 0; i < 20; ++i) {
      frame_->OnAnimationTick();
      pictures << frame_->ConnectionBarWidget()->Picture();
      QCOMPARE(frame_->StateIconId(), pictures.last());
    }
    QCOMPARE(pictures.mid(17), (QList<int>{177, 161, 162}));
    session->busy = false;
    frame_->OnAnimationTick();
    QCOMPARE(frame_->ConnectionBarWidget()->Picture(), kPictureConnected);
    QCOMPARE(frame_->StateIconId(), kStateConnected);
    QCOMPARE(frame_->AnimationFrame(), 0);
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
