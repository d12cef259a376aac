// What a misbehaving server or an impatient user does to a session: data
// connections that break off, operations that never answer, sessions that go
// away while their workers still wait.
#include <gtest/gtest.h>

#include "core/engine/engine_flags.h"
#include "core/engine/transfer_progress.h"
#include "engine_test_support.h"
#include "support/scripted_ftp_server.h"
#include "virtual_tree_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

TEST(TransferFaultTest, DownloadBreakingOffKeepsTheOldFileAndLeavesNoPartialOne) {
  VirtualTreeServer tree;
  tree.AddFile("/broken.bin", std::string(200000, 'n'), 70000);
  tree.AddFile("/fine.bin", "fine");
  tree.Start();
  SessionRig rig(ProfileFor(tree.Port(), "u", "p"));
  ASSERT_TRUE(rig.ConnectAndReset());
  TempDir local;
  const fs::path target = local.Path() / "broken.bin";
  WriteLocal(target, "the old copy");
  rig.session->AddToQueue("/broken.bin", target.string(), true, 200000, true);
  rig.session->AddToQueue("/fine.bin", (local.Path() / "fine.bin").string(), true, 4, true);
  EXPECT_TRUE(rig.session->ProcessQueue(false));
  EXPECT_TRUE(rig.host->Saw("ShowError 61209"));
  EXPECT_EQ(rig.host->CallsStartingWith("MessageBox Error: ").size(), 1u);
  EXPECT_EQ(rig.host->Count("PlaySound error.wav"), 1);
  EXPECT_EQ(ReadLocal(target), "the old copy");
  EXPECT_EQ(FilesIn(local.Path()), 1u) << "no partial file, and the run ended before the next item";
  EXPECT_EQ(rig.session->QueueLength(), 1u);
}

TEST(TransferFaultTest, TearDownDuringAMainConnectionRunReleasesTheWait) {
  VirtualTreeServer tree;
  tree.AddFile("/a", std::string(300000, 'a'));
  tree.AddFile("/b", "b");
  tree.Start();
  SessionRig rig(ProfileFor(tree.Port(), "u", "p"));
  ASSERT_TRUE(rig.ConnectAndReset());
  TempDir local;
  rig.host->onProgress = [](TransferProgress&) { TransferAbort.store(true); };
  rig.session->AddToQueue("/a", (local.Path() / "a").string(), true, 300000, true);
  rig.session->AddToQueue("/b", (local.Path() / "b").string(), true, 1, true);
  const auto started = std::chrono::steady_clock::now();
  rig.session->ProcessQueue(false);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  TransferAbort.store(false);
  EXPECT_FALSE(rig.session->IsBusy());
  EXPECT_TRUE(rig.host->Saw("CloseTransferWindow"));
  EXPECT_FALSE(rig.host->Saw("ShowError 61209")) << "a torn-down run reports nothing";
  for (const auto& line : rig.Lines()) EXPECT_NE(line, "Transfer Thread Ended");
  EXPECT_TRUE(fs::is_empty(local.Path()));
  EXPECT_EQ(rig.session->QueueLength(), 1u);
}

// A session logged in to a scripted server that never answers CWD /slow.
class StalledOperationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.SetStepTimeout(std::chrono::seconds(5));
    server_.Greet().ExpectLogin("u", "p").Expect("CWD /slow", "").Stall();
    server_.Start();
    rig_ = std::make_unique<SessionRig>(ProfileFor(server_.Port(), "u", "p"));
    ASSERT_TRUE(rig_->session->Connect(0));
  }
  ScriptedFtpServer server_;
  std::unique_ptr<SessionRig> rig_;
};

TEST_F(StalledOperationTest, QuitEndsTheWaitWithFailedAsItStands) {
  CFtpSession* session = rig_->session.get();
  bool busyInside = false;
  rig_->host->quitAfterPumps = rig_->host->Pumps() + 5;
  rig_->host->onPump = [&] { busyInside = busyInside || session->IsBusy(); };
  const auto started = std::chrono::steady_clock::now();
  // Failed was clear when the quit arrived: the operation reports true.
  EXPECT_TRUE(session->ChangeDirectory("/slow"));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(session->IsBusy());
  EXPECT_FALSE(session->Done());
  EXPECT_FALSE(session->Failed());
}

TEST_F(StalledOperationTest, WatchdogStyleFailureEndsTheWaitWithFalse) {
  CFtpSession* session = rig_->session.get();
  int pumps = 0;
  rig_->host->onPump = [&] {
    if (++pumps == 3) session->SetFailed();
  };
  EXPECT_FALSE(session->ChangeDirectory("/slow"));
  EXPECT_FALSE(session->IsBusy());
}

TEST_F(StalledOperationTest, DestroyingTheSessionReleasesABlockedWorker) {
  CFtpSession* session = rig_->session.get();
  rig_->host->quitAfterPumps = rig_->host->Pumps() + 3;
  session->ChangeDirectory("/slow");
  const auto started = std::chrono::steady_clock::now();
  rig_->session.reset();  // closes the connection under the blocked worker
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(rig_->Lines().back(), "Disconnecting from host.");
}

TEST(LateWorkerTest, ListingThatArrivesAfterTheWaitEndedIsDropped) {
  VirtualTreeServer tree;
  tree.AddFile("/one", "1");
  tree.SetListDelay(std::chrono::milliseconds(300));
  tree.Start();
  SessionRig rig(ProfileFor(tree.Port(), "u", "p"));
  ASSERT_TRUE(rig.ConnectAndReset());
  rig.host->quitAfterPumps = rig.host->Pumps() + 3;
  rig.session->ListDirectory();
  EXPECT_TRUE(rig.session->Listing().Entries.empty());
  rig.host->quitAfterPumps = -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_TRUE(rig.session->Listing().Entries.empty()) << "the late worker wrote into a listing nobody waits for";
}

TEST(SessionLifetimeTest, StopAndDestructionCloseTheConnectionOnce) {
  PyFtpServer server;
  const struct {
    const char* name;
    bool stopFirst;
  } cases[] = {{"destroyed", false}, {"stopped, then destroyed", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto host = std::make_shared<ScriptedHost>();
    auto log = std::make_shared<SessionLogText>();
    {
      CFtpSession session(host);
      session.SetLogSink(log);
      session.SetServerSettings(ProfileFor(server.Port()));
      ASSERT_TRUE(session.Connect(0));
      if (c.stopFirst) {
        session.Stop();
        EXPECT_EQ(log->Lines().back(), "Disconnecting from host.");
        EXPECT_FALSE(session.ChangeDirectory("/")) << "no connection left";
      }
    }
    int disconnects = 0;
    for (const auto& line : log->Lines()) disconnects += line == "Disconnecting from host." ? 1 : 0;
    EXPECT_EQ(disconnects, 1);
  }
}

// A main connection the server ended is lost, whether an operation ran into
// it or it went while idle; one the session closed itself is not. After an
// idle drop, Reconnect logs in again and returns to the directory.
TEST(LostConnectionTest, ServerEndsAreLostOwnCloseIsNotAndReconnectReturns) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin("u", "p").Expect("CWD /pub", "421 Going away.").AcceptNextConnection();
  server.Greet().ExpectLogin("u", "p").Expect("PWD", "257 \"/pub\"").Reply("421 Idle too long.").AcceptNextConnection();
  server.Greet().ExpectLogin("u", "p").Expect("CWD /pub", "250 OK").Expect("PWD", "257 \"/pub\"");
  server.Start();
  SessionRig rig(ProfileFor(server.Port(), "u", "p"));
  ASSERT_TRUE(rig.session->Connect(0));
  EXPECT_FALSE(rig.session->ConnectionLost());
  EXPECT_FALSE(rig.session->ChangeDirectory("/pub"));
  EXPECT_TRUE(rig.session->ConnectionLost()) << "a 421 answer";

  EXPECT_TRUE(rig.session->Reconnect()) << "no directory to return to yet";
  EXPECT_EQ(rig.session->GetCurrentDirectory(), "/pub");
  // Idle: the server's 421 and close arrive with no command on the way.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!rig.session->ConnectionLost() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(rig.session->ConnectionLost());
  EXPECT_TRUE(rig.session->Reconnect());
  EXPECT_EQ(rig.session->CurrentDir(), "/pub");
  EXPECT_FALSE(rig.session->ConnectionLost());
  rig.session->Stop();
  EXPECT_FALSE(rig.session->ConnectionLost()) << "closed by this side";
  EXPECT_TRUE(server.Failures().empty());
}

TEST(LogTest, LinesAreJoinedWithoutALeadingBreakAndNothingWithoutASink) {
  SessionLogText log;
  log.AppendLine("first");
  EXPECT_EQ(log.Text(), "first");
  log.AppendLine("second");
  log.AppendLine("");
  EXPECT_EQ(log.Text(), "first\r\nsecond\r\n");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"first", "second", ""}));

  auto host = std::make_shared<ScriptedHost>();
  CFtpSession session(host);
  session.WriteLog("nobody hears this");
  auto sink = std::make_shared<SessionLogText>();
  session.SetLogSink(sink);
  session.WriteLog("heard");
  EXPECT_EQ(sink->Text(), "heard");
}

TEST(LogTest, LinesFromManyThreadsAllArriveEachThreadInOrder) {
  auto sink = std::make_shared<SessionLogText>();
  auto host = std::make_shared<ScriptedHost>();
  CFtpSession session(host);
  session.SetLogSink(sink);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) session.WriteLog(std::to_string(t) + ":" + std::to_string(i));
    });
  }
  for (auto& w : writers) w.join();
  const auto lines = sink->Lines();
  ASSERT_EQ(lines.size(), 2000u);
  int next[4] = {0, 0, 0, 0};
  for (const auto& line : lines) {
    const int t = line[0] - '0';
    EXPECT_EQ(line, std::to_string(t) + ":" + std::to_string(next[t]));
    ++next[t];
  }
}

}  // namespace
}  // namespace veltrim::test
