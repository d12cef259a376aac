// Recursive download and upload: the order items are queued in, the folders
// made on the receiving side, where the walks stop, and that nothing a
// server sends can lead a download outside the chosen folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine_test_support.h"
#include "virtual_tree_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::pair<std::string, std::string>> Queued(const CFtpSession& session) {
  std::vector<std::pair<std::string, std::string>> items;
  for (const auto& item : session.QueueSnapshot()) items.emplace_back(item.Source, item.Destination);
  return items;
}

bool AnyLogLineStartsWith(const SessionRig& rig, const std::string& prefix) {
  for (const auto& line : rig.Lines())
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

class DownloadTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFile("/pub/tree/z.txt", "zz");
    tree_.AddDirectory("/pub/tree/sub");
    tree_.AddFile("/pub/tree/a.dat", "aaaa");
    tree_.AddDirectory("/pub/tree/empty");
    tree_.AddFile("/pub/tree/sub/b.bin", "bbb");
    tree_.AddFile("/pub/tree/sub/deep/d", "d");
    // Listed as a directory, but CWD into it fails: the walk must not list the
    // directory it is still in again (which would never end).
    tree_.AddRawListLine("/pub/tree", "drwxr-xr-x 1 owner group 0 Jan 01  2026 locked");
    // A tree deeper than the walk goes.
    std::string path = "/deep";
    for (int i = 0; i < CFtpSession::kMaxTreeDepth + 5; ++i) path += "/d";
    tree_.AddFile(path + "/bottom", "b");
    tree_.AddFile("/deep/top", "t");
  }
  void StartAndConnect() {
    tree_.Start();
    rig_ = std::make_unique<SessionRig>(ProfileFor(tree_.Port(), "u", "p"));
    ASSERT_TRUE(rig_->ConnectAndReset());
  }
  std::string Local(const std::string& relative = "") const { return (local_.Path() / relative).string(); }

  VirtualTreeServer tree_;
  std::unique_ptr<SessionRig> rig_;
  TempDir local_;
};

TEST_F(DownloadTreeTest, QueuesDepthFirstInTheServersOrderAndMakesEveryFolder) {
  const char* spellings[] = {"/pub/tree", "/pub/tree/", "/pub/tree//"};
  StartAndConnect();
  for (const char* remote : spellings) {
    SCOPED_TRACE(remote);
    rig_->session->ClearQueue();
    fs::remove_all(Local("tree"));
    rig_->session->DownloadDirectory(remote, Local());
    const std::string base = Local("tree") + "/";
    EXPECT_EQ(Queued(*rig_->session), (std::vector<std::pair<std::string, std::string>>{
                                          {"/pub/tree/z.txt", base + "z.txt"},
                                          {"/pub/tree/sub/b.bin", base + "sub/b.bin"},
                                          {"/pub/tree/sub/deep/d", base + "sub/deep/d"},
                                          {"/pub/tree/a.dat", base + "a.dat"},
                                      }));
    for (const char* folder : {"tree", "tree/sub", "tree/sub/deep", "tree/empty"})
      EXPECT_TRUE(fs::is_directory(Local(folder))) << folder;
  }
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping /pub/tree/locked"));
  // Sizes come from the listing, and the queued tree downloads whole.
  const auto queue = rig_->session->QueueSnapshot();
  EXPECT_EQ(queue[0].Size, 2u);
  EXPECT_EQ(queue[3].Size, 4u);
  EXPECT_TRUE(queue[0].IsDownload);
  ASSERT_TRUE(rig_->session->ProcessQueue(false));
  EXPECT_EQ(ReadLocal(Local("tree/sub/deep/d")), "d");
  // An empty directory on its own makes its folder and queues nothing; a
  // tree deeper than the bound stops there.
  rig_->session->DownloadDirectory("/pub/tree/empty", Local());
  EXPECT_TRUE(fs::is_directory(Local("empty")));
  EXPECT_EQ(rig_->session->QueueLength(), 0u);
  rig_->session->DownloadDirectory("/deep", Local());
  EXPECT_EQ(Queued(*rig_->session),
            (std::vector<std::pair<std::string, std::string>>{{"/deep/top", Local("deep") + "/top"}}));
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping /deep/d/d"));
}

TEST_F(DownloadTreeTest, WalksThatDoNotStart) {
  StartAndConnect();
  const struct {
    const char* name;
    const char* remote;
    bool stopAdding;
  } cases[] = {{"stop flag set", "/pub/tree", true}, {"dot", ".", false}, {"dot dot", "..", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    rig_->session->SetStopAdding(c.stopAdding);
    const std::size_t commands = tree_.Commands().size();
    rig_->session->DownloadDirectory(c.remote, Local());
    EXPECT_EQ(rig_->session->QueueLength(), 0u);
    EXPECT_EQ(tree_.Commands().size(), commands) << "nothing sent";
    EXPECT_TRUE(fs::is_empty(Local()));
  }
}

TEST_F(DownloadTreeTest, StopAddingDuringTheWalkKeepsWhatWasQueued) {
  StartAndConnect();
  CFtpSession& session = *rig_->session;
  // The "Adding files" box's Cancel, pressed while the walk enters "sub".
  rig_->host->onPump = [&] {
    if (session.QueueLength() == 1) session.SetStopAdding(true);
  };
  session.DownloadDirectory("/pub/tree", Local());
  EXPECT_EQ(Queued(session), (std::vector<std::pair<std::string, std::string>>{
                                 {"/pub/tree/z.txt", Local("tree") + "/z.txt"}}));
}

TEST_F(DownloadTreeTest, HostileNamesNeverLeadOutsideTheChosenFolder) {
  const char* hostile[] = {
      "-rw-r--r-- 1 owner group 5 Jan 01  2026 ../escape",
      "-rw-r--r-- 1 owner group 5 Jan 01  2026 ..",
      "drwxr-xr-x 1 owner group 0 Jan 01  2026 ..",
      "drwxr-xr-x 1 owner group 0 Jan 01  2026 .",
      "-rw-r--r-- 1 owner group 5 Jan 01  2026 /etc/passwd",
      "-rw-r--r-- 1 owner group 5 Jan 01  2026 a/../../b",
  };
  for (const char* line : hostile) tree_.AddRawListLine("/pub/tree", line);
  // A folder of the download that already exists as a link to elsewhere.
  TempDir elsewhere;
  fs::create_directories(Local("tree"));
  fs::create_directory_symlink(elsewhere.Path(), Local("tree/sub"));
  StartAndConnect();
  rig_->session->DownloadDirectory("/pub/tree", Local());
  rig_->session->DownloadDirectory("/pub/tree/..", Local());
  const std::string inside = fs::weakly_canonical(Local()).string() + "/";
  for (const auto& [source, destination] : Queued(*rig_->session)) {
    const std::string resolved = fs::weakly_canonical(destination).string();
    EXPECT_EQ(resolved.rfind(inside, 0), 0u) << destination;
  }
  EXPECT_EQ(rig_->session->QueueLength(), 2u) << "z.txt and a.dat; linked and locked folders are skipped";
  EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping unsafe name from the server: sub"));
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping unsafe name from the server: .."));
  ASSERT_TRUE(rig_->session->ProcessQueue(false));
  EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
  EXPECT_FALSE(fs::exists(local_.Path().parent_path() / "escape"));
}

TEST_F(DownloadTreeTest, SlowListingsOfAWalkAndOfASizeLookUpServeTheWindow) {
  // No network wait on the calling thread: it keeps pumping while the
  // server takes 200 ms over each listing (the walk's two, the size's one).
  tree_.SetListDelay(std::chrono::milliseconds(200));
  StartAndConnect();
  CFtpSession& session = *rig_->session;
  const struct {
    const char* name;
    std::function<void()> call;
  } cases[] = {{"walk", [&] { session.DownloadDirectory("/pub/tree/sub", Local()); }},
               {"size", [&] { session.AddToQueue("/pub/tree/a.dat", Local("a"), true, 0, true); }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = rig_->host->Pumps();
    c.call();
    EXPECT_GE(rig_->host->Pumps() - before, 20);
  }
  EXPECT_EQ(session.QueueLength(), 3u);
}

class UploadTreeTest : public ConnectedSessionTest {
 protected:
  void SetUp() override {
    ConnectedSessionTest::SetUp();
    const std::pair<const char*, const char*> files[] = {{"up/b.bin", "bbb"}, {"up/a.txt", "aa"}, {"up/sub/c.txt", "c"}};
    for (const auto& [relative, content] : files) {
      fs::create_directories((local_.Path() / relative).parent_path());
      WriteLocal(local_.Path() / relative, content);
    }
    fs::create_directories(local_.Path() / "up" / "empty");
  }
  std::vector<std::string> MadeDirectories() const {
    std::vector<std::string> made;
    for (const auto& line : rig_->Lines())
      if (line.rfind("Making Directory: ", 0) == 0) made.push_back(line.substr(18));
    return made;
  }
};

TEST_F(UploadTreeTest, QueuesByNameDepthFirstAndMakesEveryDirectory) {
  for (const char* remote : {"/dest", "/dest/"}) {
    SCOPED_TRACE(remote);
    rig_->session->ClearQueue();
    EXPECT_TRUE(rig_->session->UploadDirectory(Local("up"), remote));
    EXPECT_EQ(Queued(*rig_->session), (std::vector<std::pair<std::string, std::string>>{
                                          {Local("up/a.txt"), "/dest/a.txt"},
                                          {Local("up/b.bin"), "/dest/b.bin"},
                                          {Local("up/sub/c.txt"), "/dest/sub/c.txt"},
                                      }));
    EXPECT_TRUE(fs::is_directory(server_->Root() / "dest" / "empty"));
    EXPECT_TRUE(fs::is_directory(server_->Root() / "dest" / "sub"));
    EXPECT_FALSE(rig_->host->Saw("ShowError 61204")) << "the second spelling merges into the first";
  }
  EXPECT_EQ(MadeDirectories(), (std::vector<std::string>{"/dest", "/dest/empty", "/dest/sub", "/dest", "/dest/empty",
                                                         "/dest/sub"}));
  ASSERT_TRUE(rig_->session->ProcessQueue(false));
  EXPECT_EQ(server_->ReadFile("dest/sub/c.txt"), "c");
  EXPECT_EQ(server_->ReadFile("dest/a.txt"), "aa");
}

// Walks that make no directory (into the current one, the folder ".",
// stopped adding) or fail on the one they cannot make.
TEST_F(UploadTreeTest, WalksThatMakeNothingOrStop) {
  const struct {
    std::string local;
    const char* remote;
    bool stopAdding;
    bool result;
    std::vector<std::pair<std::string, std::string>> queued;
  } cases[] = {{Local("up/sub"), "/pub", false, true, {{Local("up/sub/c.txt"), "/pub/c.txt"}}},
               {".", "/dest", false, true, {}},
               {Local("up"), "/dest", true, false, {}},
               {Local("up"), "/no/such/parent", false, false, {}}};
  fs::create_directories(server_->Root() / "pub");
  ASSERT_TRUE(rig_->session->ChangeDirectory("/pub"));
  rig_->session->GetCurrentDirectory();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.local + " to " + c.remote);
    rig_->session->ClearQueue();
    rig_->session->SetStopAdding(c.stopAdding);
    EXPECT_EQ(rig_->session->UploadDirectory(c.local, c.remote), c.result);
    EXPECT_EQ(Queued(*rig_->session), c.queued);
  }
  EXPECT_EQ(MadeDirectories(), std::vector<std::string>{"/no/such/parent"});
  EXPECT_EQ(rig_->host->Count("ShowError 61204"), 1);
  // The reason is the refused MKD's, not that of the check that followed it.
  EXPECT_EQ(rig_->session->LastFailure().ErrorId, 61204u);
  EXPECT_TRUE(LooksLikeServerReply(rig_->session->LastFailure().ServerReply));
}

TEST_F(UploadTreeTest, LinksToFoldersAndSpecialFilesAreSkipped) {
  fs::create_directory_symlink(Local("up"), Local("up/sub/loop"));
  ASSERT_EQ(::mkfifo(Local("up/pipe").c_str(), 0600), 0);
  EXPECT_TRUE(rig_->session->UploadDirectory(Local("up"), "/dest"));
  EXPECT_EQ(rig_->session->QueueLength(), 3u);
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping " + Local("up/sub/loop") + ": a link to a folder."));
  EXPECT_TRUE(AnyLogLineStartsWith(*rig_, "Skipping " + Local("up/pipe") + ": not a regular file."));
}

}  // namespace
}  // namespace veltrim::test
