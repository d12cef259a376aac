// ls, pwd, mkdir, rmdir, rm, mv and cat against a real server.

#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>

#include "cli_support.h"
#include "core/engine/error_ids.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

void SetModified(const fs::path& path, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

std::time_t Utc(int year, int month, int day, int hour, int minute) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  return timegm(&tm);
}

TEST(CliLs, OneTabSeparatedLinePerEntryInLocalTime) {
  for (const bool noMlsd : {false, true}) {
    PyFtpServerOptions options;
    options.noMlsd = noMlsd;
    PyFtpServer server(options);
    SetModified(server.WriteFile("notes.txt", "12345"), Utc(2024, 2, 29, 13, 45));
    SetModified(server.WriteFile("with space.bin", std::string(70000, 'x')), Utc(2021, 7, 4, 0, 0));
    fs::create_directory(server.Root() / "folder");
    SetModified(server.Root() / "folder", Utc(2020, 1, 2, 0, 0));

    CliRunOptions run;
    run.environment = {"TZ=UTC"};
    const CliRun result = RunCli({server.Url(), "ls"}, run);
    ASSERT_EQ(result.status, 0) << result.err;
    auto lines = Lines(result.out);
    std::sort(lines.begin(), lines.end());
    ASSERT_EQ(lines.size(), 3u) << result.out;
    // MLSD gives the exact time; LIST gives only the day for dates of other years.
    const std::string notesTime = noMlsd ? "00:00" : "13:45";
    EXPECT_EQ(lines[0], "-\t5\t2024-02-29 " + notesTime + "\tnotes.txt");
    EXPECT_EQ(lines[1], "-\t70000\t2021-07-04 00:00\twith space.bin");
    // A folder's size is what the server's file system says: any number.
    ASSERT_EQ(lines[2].rfind("d\t", 0), 0u) << lines[2];
    const std::size_t sizeEnd = lines[2].find('\t', 2);
    ASSERT_NE(sizeEnd, std::string::npos) << lines[2];
    EXPECT_GT(sizeEnd, 2u);
    EXPECT_EQ(lines[2].substr(2, sizeEnd - 2).find_first_not_of("0123456789"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[2].substr(sizeEnd), "\t2020-01-02 00:00\tfolder");
    EXPECT_TRUE(result.err.empty());

    // Another time zone shifts the shown times.
    run.environment = {"TZ=JST-9"};  // POSIX form: needs no time zone database
    const CliRun tokyo = RunCli({server.Url(), "ls"}, run);
    const std::string tokyoTime = noMlsd ? "09:00" : "22:45";
    EXPECT_NE(tokyo.out.find("\t2024-02-29 " + tokyoTime + "\tnotes.txt"), std::string::npos) << tokyo.out;
  }
}

TEST(CliLs, ASymbolicLinkIsKindL) {
  PyFtpServerOptions options;
  options.noMlsd = true;
  PyFtpServer server(options);
  server.WriteFile("target.txt", "t");
  fs::create_symlink("target.txt", server.Root() / "link");
  const CliRun result = RunCli({server.Url(), "ls"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("l\t"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\tlink\n"), std::string::npos) << result.out;
}

TEST(CliLsAndPwd, PathsAreRelativeToTheLoginDirectoryOrAbsolute) {
  PyFtpServer server;
  server.WriteFile("a/b/inner.txt", "1");
  server.WriteFile("a/outer.txt", "22");
  for (const std::string dir : {"a/b", "/a/b", "a/./b/", "a/b/../b", "../../a/b"}) {
    const CliRun result = RunCli({server.Url(), "ls", dir});
    EXPECT_EQ(result.status, 0) << dir << result.err;
    EXPECT_EQ(Lines(result.out).size(), 1u) << dir << result.out;
    EXPECT_NE(result.out.find("\tinner.txt"), std::string::npos) << dir;
  }
  // With a start directory in the URL, relative paths start there.
  const CliRun fromA = RunCli({server.Url() + "/a", "ls", "b"});
  EXPECT_NE(fromA.out.find("\tinner.txt"), std::string::npos) << fromA.err;
  EXPECT_EQ(RunCli({server.Url() + "/a/b/", "pwd"}).out, "/a/b\n");
  EXPECT_EQ(RunCli({server.Url(), "pwd"}).out, "/\n");
  EXPECT_EQ(RunCli({server.Url() + "/%2Fa", "pwd"}).out, "/a\n");

  const CliRun noDir = RunCli({server.Url(), "ls", "nowhere"});
  EXPECT_EQ(noDir.status, 1);
  EXPECT_TRUE(noDir.out.empty());
  ASSERT_EQ(Lines(noDir.err).size(), 1u);
  EXPECT_NE(noDir.err.find("/nowhere: cannot open the remote directory"), std::string::npos) << noDir.err;
  const CliRun missing = RunCli({server.Url() + "/nowhere", "pwd"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot change to the remote directory /nowhere"), std::string::npos);
}

struct DirectoryCommandCase {
  std::vector<std::string> command;
  bool succeeds;
  uint32_t errorId;  // message expected on failure
  std::function<void(const fs::path& root)> check;
};

TEST(CliDirectoryCommands, SuccessAndRefusal) {
  const std::vector<DirectoryCommandCase> cases = {
      {{"mkdir", "fresh"}, true, 0, [](const fs::path& r) { EXPECT_TRUE(fs::is_directory(r / "fresh")); }},
      {{"mkdir", "/full/new"}, true, 0, [](const fs::path& r) { EXPECT_TRUE(fs::is_directory(r / "full/new")); }},
      {{"mkdir", "full"}, false, kErrCreateDirectory, nullptr},
      {{"mkdir", "missing/parent"}, false, kErrCreateDirectory, nullptr},
      {{"rmdir", "empty"}, true, 0, [](const fs::path& r) { EXPECT_FALSE(fs::exists(r / "empty")); }},
      {{"rmdir", "nowhere"}, false, kErrRemoveDirectory, nullptr},
      {{"rm", "full/file.txt"}, true, 0, [](const fs::path& r) { EXPECT_FALSE(fs::exists(r / "full/file.txt")); }},
      {{"rm", "nothing.txt"}, false, kErrDeleteFile, nullptr},
      {{"mv", "full/file.txt", "renamed.txt"},
       true,
       0,
       [](const fs::path& r) {
         EXPECT_FALSE(fs::exists(r / "full/file.txt"));
         EXPECT_EQ(ReadLocalFile(r / "renamed.txt"), "content");
       }},
      {{"mv", "nothing.txt", "other.txt"}, false, kErrRenameFile, nullptr},
  };
  for (const auto& c : cases) {
    PyFtpServer server;
    server.WriteFile("full/file.txt", "content");
    fs::create_directory(server.Root() / "empty");
    std::vector<std::string> args = {server.Url()};
    args.insert(args.end(), c.command.begin(), c.command.end());
    const CliRun result = RunCli(args);
    const std::string what = c.command[0] + " " + c.command[1];
    if (c.succeeds) {
      EXPECT_EQ(result.status, 0) << what << result.err;
      EXPECT_TRUE(result.err.empty()) << what << result.err;
      if (c.check) c.check(server.Root());
    } else {
      EXPECT_EQ(result.status, 1) << what;
      ASSERT_EQ(Lines(result.err).size(), 1u) << what << result.err;
      EXPECT_NE(result.err.find(ErrorMessageText(c.errorId)), std::string::npos) << what << result.err;
    }
    EXPECT_TRUE(result.out.empty()) << what;
    EXPECT_TRUE(fs::exists(server.Root() / "empty") || c.command[0] == "rmdir");
  }
}

TEST(CliCat, WritesTheFileToStandardOutput) {
  PyFtpServer server;
  std::string binary;
  for (uint32_t i = 0; i < 300000; ++i) binary.push_back(static_cast<char>((i * 7919u) >> 3));
  server.WriteFile("data.bin", binary);
  server.WriteFile("empty", "");
  server.WriteFile("dir/text.txt", "line one\nline two\n");
  EXPECT_EQ(RunCli({server.Url(), "cat", "data.bin"}).out, binary);
  EXPECT_EQ(RunCli({"--binary", server.Url(), "cat", "data.bin"}).out, binary);
  const CliRun empty = RunCli({server.Url(), "cat", "empty"});
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(RunCli({server.Url(), "cat", "dir/text.txt"}).out, "line one\nline two\n");

  const CliRun missing = RunCli({server.Url(), "cat", "missing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  ASSERT_EQ(Lines(missing.err).size(), 1u) << missing.err;
  EXPECT_NE(missing.err.find("550"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace veltrim::test
