// What a misbehaving server or an impatient user does to a session: data
// connections that break off, operations that never answer, sessions that go
// away while their workers still wait.
#include <gtest/gtest.h>

#include <climits>

#include "core/engine/engine_flags.h"
#include "core/engine/transfer_progress.h"
#include "engine_test_support.h"
#include "support/scripted_ftp_server.h"
#include "virtual_tree_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

// Any stored block size moves files whole, also files of exactly one block:
// outside 256..4096 it must neither overrun the copy buffer nor, at 0, spin on
// one file for ever; the test's own deadline tears a run down that does not end.
TEST(TransferFaultTest, AnyStoredBlockSizeMovesFilesWhole) {
  const std::size_t sizes[] = {0, 4096, 10000};
  VirtualTreeServer tree;
  for (const std::size_t size : sizes) tree.AddFile("/f" + std::to_string(size), RandomBytes(size, 3));
  tree.Start();
  SessionRig rig(ProfileFor(tree.Port(), "u", "p"));
  ASSERT_TRUE(rig.ConnectAndReset());
  TempDir local;
  for (const int32_t blockSize : {0, -5, 100, 256, 4096, 5000, INT32_MAX}) {
    SCOPED_TRACE(blockSize);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    rig.host->onPump = [&] {
      if (std::chrono::steady_clock::now() > deadline) TransferAbort.store(true);
    };
    rig.session->SetBlockSize(blockSize);
    for (const std::size_t size : sizes) {
      const std::string name = "f" + std::to_string(size);
      rig.session->AddToQueue("/" + name, (local.Path() / name).string(), true, size + 1, true);
    }
    rig.session->ProcessQueue(false);
    EXPECT_FALSE(TransferAbort.exchange(false)) << "the transfer did not end";
    for (const std::size_t size : sizes) {
      EXPECT_TRUE(ReadLocal(local.Path() / ("f" + std::to_string(size))) == RandomBytes(size, 3)) << size;
    }
  }
}

// pyftpdlib stores a text upload with its own line ends whatever arrives, so
// the bytes an ASCII upload puts on the wire are checked here.
TEST(TransferWireTest, AnAsciiUploadSendsCrLfLineEnds) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin("u", "p")
      .Expect("TYPE A", "200 OK")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("STOR /notes.txt", "150 Send it.")
      .ReceiveData()
      .Reply("226 Stored.");
  server.Start();
  SessionRig rig(ProfileFor(server.Port(), "u", "p"));
  ASSERT_TRUE(rig.session->Connect(0));
  TempDir local;
  WriteLocal(local.Path() / "notes.txt", "one\ntwo\n");
  rig.session->AddToQueue((local.Path() / "notes.txt").string(), "/notes.txt", false, 8, false);
  EXPECT_TRUE(rig.session->ProcessQueue(false));
  EXPECT_EQ(server.ReceivedData(), "one\r\ntwo\r\n");
  EXPECT_TRUE(server.Failures().empty()) << server.Failures().front();
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

// A scripted server that never answers CWD /slow: the application's quit
// ends the wait with Failed as it stands (clear, so the operation reports
// true), a watchdog's SetFailed with false; destroying the session then
// releases the worker still blocked on the server.
TEST(StalledOperationTest, QuitOrAFailureEndsTheWaitAndDestructionTheWorker) {
  for (const bool quit : {true, false}) {
    SCOPED_TRACE(quit ? "quit" : "watchdog");
    ScriptedFtpServer server;
    server.SetStepTimeout(std::chrono::seconds(5));
    server.Greet().ExpectLogin("u", "p").Expect("CWD /slow", "").Stall();
    server.Start();
    SessionRig rig(ProfileFor(server.Port(), "u", "p"));
    ASSERT_TRUE(rig.session->Connect(0));
    CFtpSession* session = rig.session.get();
    bool busyInside = false;
    const int start = rig.host->Pumps();
    rig.host->onPump = [&] {
      busyInside = busyInside || session->IsBusy();
      if (!quit && rig.host->Pumps() == start + 3) session->SetFailed();
    };
    if (quit) rig.host->quitAfterPumps = start + 5;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(session->ChangeDirectory("/slow"), quit);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(session->IsBusy());
    EXPECT_FALSE(session->Done());
    EXPECT_EQ(session->Failed(), !quit);
    rig.session.reset();  // closes the connection under the blocked worker
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(rig.Lines().back(), "Disconnecting from host.");
  }
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

// Stop logs the disconnect; destroying the stopped session closes nothing again.
TEST(SessionLifetimeTest, StopAndDestructionCloseTheConnectionOnce) {
  PyFtpServer server;
  SessionRig rig(ProfileFor(server.Port()));
  ASSERT_TRUE(rig.session->Connect(0));
  rig.session->Stop();
  EXPECT_EQ(rig.Lines().back(), "Disconnecting from host.");
  EXPECT_FALSE(rig.session->ChangeDirectory("/")) << "no connection left";
  rig.session.reset();
  int disconnects = 0;
  for (const auto& line : rig.Lines()) disconnects += line == "Disconnecting from host." ? 1 : 0;
  EXPECT_EQ(disconnects, 1);
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

// Lines written before a sink is set go nowhere.
TEST(LogTest, LinesFromManyThreadsAllArriveEachThreadInOrder) {
  auto sink = std::make_shared<SessionLogText>();
  auto host = std::make_shared<ScriptedHost>();
  CFtpSession session(host);
  session.WriteLog("nobody hears this");
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
