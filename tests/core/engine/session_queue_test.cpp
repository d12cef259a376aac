// The transfer queue and the transfer worker against a real server: order,
// counters, the File Transfer window's rows, cancel policies, the second
// connection, and what a failure leaves behind.
#include <gtest/gtest.h>


#include "core/engine/engine_flags.h"
#include "core/engine/error_ids.h"
#include "core/engine/transfer_progress.h"
#include "engine_test_support.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

class QueueTest : public ConnectedSessionTest {
 protected:
  // Pumps until the background run has ended.
  bool WaitForBackgroundRun() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Session().IsTransferConnected()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Host().PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Host().PumpMessages();
    return true;
  }

  std::vector<std::string> TransferLines() const {
    std::vector<std::string> found;
    for (const auto& line : rig_->Lines())
      if (line.rfind("Transfering File: ", 0) == 0 || line == "Transfer Thread Ended") found.push_back(line);
    return found;
  }
};

TEST_F(QueueTest, DownloadsRunFirstInFirstOutWithRowsCountersAndSounds) {
  server_->WriteFile("b.dat", RandomBytes(3000, 'b'));
  server_->WriteFile("a.dat", RandomBytes(5000, 'a'));
  server_->WriteFile("c.dat", "");
  Session().AddToQueue("/b.dat", Local("b.dat"), true, 3000, true);
  Session().AddToQueue("/a.dat", Local("a.dat"), true, 5000, true);
  Session().AddToQueue("/c.dat", Local("c.dat"), true, 0, true);
  EXPECT_TRUE(Session().ProcessQueue(false));
  EXPECT_EQ(Session().QueueLength(), 0u);

  EXPECT_EQ(TransferLines(), (std::vector<std::string>{"Transfering File: /b.dat to " + Local("b.dat"),
                                                       "Transfering File: /a.dat to " + Local("a.dat"),
                                                       "Transfering File: /c.dat to " + Local("c.dat"),
                                                       "Transfer Thread Ended"}));
  EXPECT_EQ(ReadLocal(Local("b.dat")), RandomBytes(3000, 'b'));
  EXPECT_EQ(ReadLocal(Local("a.dat")), RandomBytes(5000, 'a'));
  EXPECT_EQ(ReadLocal(Local("c.dat")), "");
  EXPECT_EQ(FilesIn(local_.Path()), 3u) << "no temporary files left behind";

  EXPECT_EQ(Host().CallsStartingWith("AddTransferRow "),
            (std::vector<std::string>{"AddTransferRow b.dat 11 /b.dat", "AddTransferRow a.dat 12 /a.dat",
                                      "AddTransferRow c.dat 13 /c.dat"}));
  EXPECT_EQ(Host().Count("PlaySound download.wav"), 3);
  auto progress = Host().Progress();
  ASSERT_TRUE(progress);
  // The empty file was queued with size 0, so its size was asked: 0 found.
  EXPECT_EQ(progress->TotalBytes.load(), 8000u);
  EXPECT_EQ(progress->TotalDone.load(), 8000u);
}

TEST_F(QueueTest, TheItemsTypeDecidesHowLineEndsTravel) {
  server_->WriteFile("crlf.txt", "a\r\nb\r\n");
  const struct {
    bool binary;
    std::string local;
  } cases[] = {{true, "a\r\nb\r\n"}, {false, "a\nb\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.binary);
    const std::string target = Local(c.binary ? "binary" : "ascii");
    Session().AddToQueue("/crlf.txt", target, true, 6, c.binary);
    ASSERT_TRUE(Session().ProcessQueue(false));
    EXPECT_EQ(ReadLocal(target), c.local);
  }
  // The index and message files come as text whatever the queue would do.
  EXPECT_TRUE(Session().RetrieveFile("/crlf.txt", Local("retrieved")));
  EXPECT_EQ(ReadLocal(Local("retrieved")), "a\nb\n");
}

TEST_F(QueueTest, UploadStoresTheFileAndAppendsItsEntryOnTheWindowThread) {
  WriteLocal(Local("report.bin"), RandomBytes(7000, 'r'));
  ASSERT_TRUE(Session().ListDirectory());
  const std::size_t before = Session().Listing().Entries.size();
  Session().AddToQueue(Local("report.bin"), "/report.bin", false, 0, true);
  ASSERT_TRUE(Session().ProcessQueue(false));
  EXPECT_EQ(server_->ReadFile("report.bin"), RandomBytes(7000, 'r'));
  EXPECT_EQ(Host().PendingTasks(), 0u) << "the append ran in the wait's pump";
  ASSERT_EQ(Session().Listing().Entries.size(), before + 1);
  const ListingEntry& entry = Session().Listing().Entries.back();
  EXPECT_EQ(entry.Name, "report.bin");
  EXPECT_EQ(entry.Path, "/report.bin");
  EXPECT_EQ(entry.Size, 7000u);
}

TEST_F(QueueTest, MissingRemoteFileEndsTheRunAndKeepsTheLocalFile) {
  server_->WriteFile("later.dat", "later");
  WriteLocal(Local("precious.dat"), "keep me");
  Session().AddToQueue("/missing.dat", Local("precious.dat"), true, 10, true);
  Session().AddToQueue("/later.dat", Local("later.dat"), true, 5, true);
  EXPECT_TRUE(Session().ProcessQueue(false)) << "the worker reports its errors itself";
  EXPECT_TRUE(Host().Saw("ShowError 61210"));
  EXPECT_EQ(Host().CallsStartingWith("MessageBox Error: ").size(), 1u);
  EXPECT_EQ(Host().Count("PlaySound error.wav"), 1);
  EXPECT_EQ(ReadLocal(Local("precious.dat")), "keep me");
  EXPECT_FALSE(fs::exists(Local("later.dat")));
  EXPECT_EQ(Session().QueueLength(), 1u) << "the rest stays queued for the next run";
  EXPECT_EQ(FilesIn(local_.Path()), 1u);
  EXPECT_EQ(Session().TransferRuns().Failed, 1u);
  EXPECT_EQ(Session().TransferRuns().LastFailure.ErrorId, kErrTransferOpen);
  EXPECT_EQ(Session().TransferRuns().LastFailure.ServerReply.rfind("550 ", 0), 0u);
}

// An unreadable upload source never touches the remote file; an unwritable
// download destination is a data error naming what could not be created.
TEST_F(QueueTest, LocalFilesThatCannotBeOpenedAreDataErrors) {
  server_->WriteFile("target.dat", "remote original");
  Session().AddToQueue(Local("no-such-file"), "/target.dat", false, 5, true);
  Session().AddToQueue("/target.dat", Local("no-folder/x.dat"), true, 1, true);
  for (int run = 0; run < 2; ++run) EXPECT_TRUE(Session().ProcessQueue(false));
  EXPECT_EQ(Host().Count("ShowError 61209"), 2);
  EXPECT_EQ(server_->ReadFile("target.dat"), "remote original");
  EXPECT_EQ(Host().CallsStartingWith("MessageBox Error: Cannot create").size(), 1u);
}

// Cancel pressed during the first of three files, under each policy.
struct CancelPolicyCase {
  const char* name;
  bool always;
  bool never;
  std::vector<CancelTransferAnswer> answers;
  int questions;
  bool restTransferred;
  std::vector<std::string> remembered;
  bool alwaysAfter;
  bool neverAfter;
};

TEST_F(QueueTest, CancelPoliciesDecideWhatHappensToTheRest) {
  const std::size_t kSize = 1 << 20;
  for (const char* name : {"one", "two", "three"}) server_->WriteFile(name, RandomBytes(kSize, name[0]));
  const CancelPolicyCase cases[] = {
      {"always cancel", true, false, {}, 0, false, {}, true, false},
      {"never cancel", false, true, {}, 0, true, {}, false, true},
      {"asked, yes", false, false, {{true, false, false}}, 1, false, {}, false, false},
      {"asked, no", false, false, {{false, false, false}}, 1, true, {}, false, false},
      {"asked, no, always from now on", false, false, {{false, true, false}}, 1, true, {"Remember Cancel"}, true, false},
      {"asked, yes, never from now on", false, false, {{true, false, true}}, 1, false, {"Remember NeverCancel"}, false,
       true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SessionRig rig(ProfileFor(server_->Port()));
    ASSERT_TRUE(rig.ConnectAndReset());
    rig.session->SetAlwaysCancelQueue(c.always);
    rig.session->SetNeverCancelQueue(c.never);
    rig.host->cancelAnswers.assign(c.answers.begin(), c.answers.end());
    std::atomic<bool> pressed{false};
    rig.host->onProgress = [&](TransferProgress& progress) {
      if (progress.FileDone.load() > 0 && !pressed.exchange(true)) progress.Cancelled.store(true);
    };
    const std::string prefix = "run" + std::to_string(n++) + "-";
    WriteLocal(Local(prefix + "one"), "old one");
    for (const char* name : {"one", "two", "three"}) {
      rig.session->AddToQueue(std::string("/") + name, Local(prefix + name), true, kSize, true);
    }
    EXPECT_TRUE(rig.session->ProcessQueue(false));
    EXPECT_EQ(rig.host->Count("AskCancelTransfer"), c.questions);
    EXPECT_EQ(ReadLocal(Local(prefix + "one")), "old one") << "a cancelled download leaves the old file";
    EXPECT_EQ(fs::exists(Local(prefix + "two")), c.restTransferred);
    EXPECT_EQ(fs::exists(Local(prefix + "three")), c.restTransferred);
    EXPECT_EQ(rig.session->QueueLength(), 0u);
    std::vector<std::string> remembered = rig.host->CallsStartingWith("Remember ");
    EXPECT_EQ(remembered, c.remembered);
    EXPECT_EQ(rig.session->AlwaysCancelQueue(), c.alwaysAfter || c.always);
    EXPECT_EQ(rig.session->NeverCancelQueue(), c.neverAfter || c.never);
    EXPECT_EQ(rig.session->TransferRuns().Cancelled, 1u);
  }
  // Only the files the cases made: no partial downloads anywhere.
  std::size_t made = 0;
  for (const auto& c : cases) made += c.restTransferred ? 3 : 1;
  EXPECT_EQ(FilesIn(local_.Path()), made) << "no partial downloads anywhere";
}

TEST_F(QueueTest, SecondConnectionRunsInTheBackgroundAndTakesNewItemsOnce) {
  const std::size_t kSize = 256 * 1024;
  for (const char* name : {"first", "second", "third"}) server_->WriteFile(name, RandomBytes(kSize, name[0]));
  // Hold the worker inside the first file until the test has queued more.
  std::atomic<bool> holding{false};
  std::atomic<bool> release{false};
  Host().onProgress = [&](TransferProgress&) {
    holding.store(true);
    for (int waited = 0; !release.load() && waited < 10000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  Session().AddToQueue("/first", Local("first"), true, kSize, true);
  ASSERT_TRUE(Session().ProcessQueue(true));
  EXPECT_TRUE(Session().IsTransferConnected());
  EXPECT_FALSE(Session().IsBusy());
  for (int waited = 0; !holding.load() && waited < 10000; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(holding.load());
  // The main connection stays free for browsing meanwhile.
  EXPECT_TRUE(Session().ChangeDirectory("/"));
  Session().AddToQueue("/second", Local("second"), true, kSize, true);
  EXPECT_TRUE(Session().ProcessQueue(true));
  Session().AddToQueue("/third", Local("third"), true, kSize, true);
  EXPECT_TRUE(Session().ProcessQueue(true));
  release.store(true);
  ASSERT_TRUE(WaitForBackgroundRun());

  for (const char* name : {"first", "second", "third"}) EXPECT_EQ(ReadLocal(Local(name)), RandomBytes(kSize, name[0]));
  EXPECT_EQ(Host().Count("OpenTransferWindow"), 1);
  EXPECT_EQ(Host().CallsStartingWith("AddTransferRow ").size(), 3u) << "each item taken once";
  EXPECT_EQ(Host().Progress()->TotalDone.load(), 3 * kSize);
  EXPECT_EQ(TransferLines().size(), 4u);
  EXPECT_FALSE(Session().IsTransferConnected());
}

TEST_F(QueueTest, BackgroundUploadsLandWhileTheMainConnectionLists) {
  constexpr int kFiles = 20;
  for (int i = 0; i < kFiles; ++i) {
    WriteLocal(Local("u" + std::to_string(i)), RandomBytes(20000, 'u'));
    Session().AddToQueue(Local("u" + std::to_string(i)), "/u" + std::to_string(i), false, 0, true);
  }
  ASSERT_TRUE(Session().ProcessQueue(true));
  // The uploads' entries are appended on this thread, also inside the
  // pumps of these listings' waits.
  int listings = 0;
  while (Session().IsTransferConnected() && listings < 500) {
    EXPECT_TRUE(Session().ListDirectory());
    ++listings;
  }
  ASSERT_TRUE(WaitForBackgroundRun());
  ASSERT_TRUE(Session().ListDirectory());
  int uploaded = 0;
  for (const auto& entry : Session().Listing().Entries) uploaded += entry.Name[0] == 'u' ? 1 : 0;
  EXPECT_EQ(uploaded, kFiles);
  EXPECT_GT(listings, 0);
}

TEST_F(QueueTest, FailedSecondConnectionFallsBackToTheMainOne) {
  server_->WriteFile("f", "content");
  SilentServer silent;  // the transfer connection waits for a greeting that never comes
  Session().SetServerSettings(ProfileFor(silent.Port()));
  Session().SetNetworkTimeout(std::chrono::milliseconds(300));
  Session().AddToQueue("/f", Local("f"), true, 7, true);
  const int pumps = Host().Pumps();
  EXPECT_TRUE(Session().ProcessQueue(true));
  EXPECT_GE(Host().Pumps() - pumps, 20) << "the window is served while the connection is tried";
  EXPECT_TRUE(Host().Saw("ShowError 61211"));
  const auto boxes = Host().CallsStartingWith("MessageBox Error Connecting: Error connecting to host: ");
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(Session().IsTransferConnected());
  EXPECT_EQ(ReadLocal(Local("f")), "content");
  // Without a connection nothing moves: the run fails and the item stays.
  Session().Stop();
  Session().AddToQueue("/f", Local("g"), true, 7, true);
  EXPECT_FALSE(Session().ProcessQueue(false));
  EXPECT_EQ(Session().QueueLength(), 1u);
}

TEST_F(QueueTest, SessionDestroyedDuringABackgroundRun) {
  const std::size_t kSize = 4 << 20;
  server_->WriteFile("big", RandomBytes(kSize, 'g'));
  std::atomic<bool> started{false};
  // The first report comes after the first block: the worker waits there
  // until the abort is raised, so the file cannot finish before it.
  Host().onProgress = [&](TransferProgress&) {
    started.store(true);
    for (int waited = 0; !TransferAbort.load() && waited < 10000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  WriteLocal(Local("big"), "old");
  Session().AddToQueue("/big", Local("big"), true, kSize, true);
  ASSERT_TRUE(Session().ProcessQueue(true));
  while (!started.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // What the frame's disconnect does: raise the flags, then destroy.
  OperationAbort.store(true);
  TransferAbort.store(true);
  rig_->session.reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(ReadLocal(Local("big")), "old");
  EXPECT_FALSE(Host().Saw("ShowError 61209")) << "a torn-down run reports nothing";
  TransferAbort.store(false);
}

}  // namespace
}  // namespace veltrim::test
