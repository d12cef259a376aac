// Directory operations and listings against a real server: results, exact
// log lines, and what they change on the server.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

using DirectoryTest = ConnectedSessionTest;

struct DirectoryOperationCase {
  const char* name;
  std::function<bool(CFtpSession&)> run;
  bool result;
  std::string logLine;
  std::function<bool(const fs::path& root)> serverState;  // what must hold afterwards
};

TEST_F(DirectoryTest, EachOperationLogsItsLineAndReportsTheServersAnswer) {
  server_->WriteFile("sub/keep.txt", "k");
  server_->WriteFile("a.txt", "aaa");
  server_->WriteFile("gone.txt", "g");
  fs::create_directories(Root() / "empty");
  const DirectoryOperationCase cases[] = {
      {"change into a directory", [](CFtpSession& s) { return s.ChangeDirectory("/sub"); }, true,
       "Changing Directory to: /sub", nullptr},
      {"change to an empty path", [](CFtpSession& s) { return s.ChangeDirectory(""); }, false,
       "Changing Directory to: ", nullptr},
      {"make a directory", [](CFtpSession& s) { return s.MakeDirectory("/newdir"); }, true,
       "Making Directory: /newdir", [](const fs::path& r) { return fs::is_directory(r / "newdir"); }},
      {"make with two leading slashes", [](CFtpSession& s) { return s.MakeDirectory("//twice"); }, true,
       "Making Directory: /twice", [](const fs::path& r) { return fs::is_directory(r / "twice"); }},
      // The server refuses (the directory exists): that is a failure.
      {"make an existing directory", [](CFtpSession& s) { return s.MakeDirectory("/sub"); }, false,
       "Making Directory: /sub", nullptr},
      {"remove an empty directory", [](CFtpSession& s) { return s.RemoveDirectory("/empty"); }, true,
       "Removing Directory: /empty", [](const fs::path& r) { return !fs::exists(r / "empty"); }},
      {"remove a directory that is not empty", [](CFtpSession& s) { return s.RemoveDirectory("/sub"); }, false,
       "Removing Directory: /sub", [](const fs::path& r) { return fs::exists(r / "sub/keep.txt"); }},
      {"rename a file", [](CFtpSession& s) { return s.RenameFile("/a.txt", "/b.txt"); }, true,
       "Renaming File: /a.txt to /b.txt", [](const fs::path& r) { return fs::exists(r / "b.txt") && !fs::exists(r / "a.txt"); }},
      // Refused by the server: a failure, not a success.
      {"rename a missing file", [](CFtpSession& s) { return s.RenameFile("/missing", "/other"); }, false,
       "Renaming File: /missing to /other", [](const fs::path& r) { return !fs::exists(r / "other"); }},
      {"delete a file", [](CFtpSession& s) { return s.DeleteFile("/gone.txt"); }, true, "Deleting File: /gone.txt",
       [](const fs::path& r) { return !fs::exists(r / "gone.txt"); }},
      {"delete a missing file", [](CFtpSession& s) { return s.DeleteFile("/nothing"); }, false,
       "Deleting File: /nothing", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t before = rig_->Lines().size();
    EXPECT_EQ(c.run(Session()), c.result);
    const auto lines = rig_->Lines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(lines.back(), c.logLine);
    if (c.serverState) {
      EXPECT_TRUE(c.serverState(Root()));
    }
    // A failure keeps its reason: the server's refusal, where a command was sent.
    EXPECT_EQ(Session().LastFailure().IsSet(), !c.result);
    if (!c.result && c.logLine.back() != ' ') {
      EXPECT_TRUE(LooksLikeServerReply(Session().LastFailure().ServerReply));
    }
    EXPECT_FALSE(Session().IsBusy());
  }
}

struct ListingFlagsCase {
  const char* name;
  std::vector<std::string> files;
  bool message;
  bool index;
};

TEST_F(DirectoryTest, ListingFlagsTheWelcomeAndIndexFilesByExactName) {
  const ListingFlagsCase cases[] = {
      {"message", {".message", "x"}, true, false},
      {"both", {"00_index.txt", ".message"}, true, true},
      {"index", {"00_index.txt"}, false, true},
      {"in capitals", {".MESSAGE", "00_INDEX.TXT"}, false, false},
      {"empty", {}, false, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "case" + std::to_string(n++);
    fs::create_directories(Root() / dir);
    for (const auto& file : c.files) server_->WriteFile(dir + "/" + file, "text");
    ASSERT_TRUE(Session().ChangeDirectory("/" + dir));
    Session().GetCurrentDirectory();
    EXPECT_TRUE(Session().ListDirectory());
    EXPECT_EQ(rig_->Lines().back(), "Retrieving Directory: /" + dir);
    const DirectoryListing& listing = Session().Listing();
    EXPECT_EQ(listing.Directory, "/" + dir);
    EXPECT_EQ(listing.HasMessageFile, c.message);
    EXPECT_EQ(listing.HasIndexFile, c.index);
    EXPECT_EQ(listing.Entries.size(), c.files.size());
  }
}

TEST_F(DirectoryTest, ReadTextFileReturnsTheWholeTextOrNothing) {
  server_->WriteFile("empty.txt", "");
  server_->WriteFile("lines.txt", "one\r\ntwo\r\n");
  const struct {
    const char* path;
    std::string text;
    bool failed;
  } cases[] = {{"/empty.txt", "", false},
               {"/lines.txt", "one\ntwo\n", false},
               {"/missing.txt", "", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Session().ReadTextFile(c.path), c.text);
    EXPECT_EQ(Session().TextFileContent(), c.text);
    EXPECT_EQ(Session().Failed(), c.failed);
    EXPECT_EQ(rig_->Lines().back(), std::string("Retrieving ") + c.path);
  }
}

TEST(DirectoryWithoutConnectionTest, OperationsFailAndListingIsEmpty) {
  SessionRig rig(ProfileFor(1));
  EXPECT_FALSE(rig.session->ChangeDirectory("/x"));
  EXPECT_FALSE(rig.session->MakeDirectory("/x"));
  EXPECT_TRUE(rig.session->ListDirectory());
  EXPECT_TRUE(rig.session->Listing().Entries.empty());
  EXPECT_EQ(rig.session->ReadTextFile("/x"), "");
}

}  // namespace
}  // namespace veltrim::test
