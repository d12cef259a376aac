// ls, pwd, mkdir, rmdir, rm, mv and cat against a real server.

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <regex>
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

// LIST gives only the day for dates of other years, so times are 00:00 UTC.
TEST(CliLs, OneTabSeparatedLinePerEntryInLocalTime) {
  PyFtpServerOptions options;
  options.noMlsd = true;  // LIST shows the link as a link
  PyFtpServer server(options);
  SetModified(server.WriteFile("notes.txt", "12345"), Utc(2024, 2, 29, 13, 45));
  SetModified(server.WriteFile("with space.bin", std::string(70000, 'x')), Utc(2021, 7, 4, 0, 0));
  fs::create_directory(server.Root() / "folder");
  SetModified(server.Root() / "folder", Utc(2020, 1, 2, 0, 0));
  fs::create_symlink("notes.txt", server.Root() / "link");
  std::ofstream(server.Root() / "big.iso").close();  // sparse, past 4 GiB: sizes are 64-bit
  fs::resize_file(server.Root() / "big.iso", 5ull << 30);
  SetModified(server.Root() / "big.iso", Utc(2019, 3, 1, 0, 0));

  CliRunOptions run;
  run.environment = {"TZ=UTC"};
  const CliRun result = RunCli({server.Url(), "ls"}, run);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.err.empty());
  auto lines = Lines(result.out);
  std::sort(lines.begin(), lines.end());
  ASSERT_EQ(lines.size(), 5u) << result.out;
  EXPECT_EQ(lines[0], "-\t5\t2024-02-29 00:00\tnotes.txt");
  EXPECT_EQ(lines[1], "-\t5368709120\t2019-03-01 00:00\tbig.iso");
  EXPECT_EQ(lines[2], "-\t70000\t2021-07-04 00:00\twith space.bin");
  // A folder's size is what the server's file system says: any number.
  EXPECT_TRUE(std::regex_match(lines[3], std::regex("d\t[0-9]+\t2020-01-02 00:00\tfolder"))) << lines[3];
  EXPECT_TRUE(std::regex_match(lines[4], std::regex("l\t[0-9]+\t.*\tlink"))) << lines[4];

  // Another time zone shifts the shown times.
  run.environment = {"TZ=JST-9"};  // POSIX form: needs no time zone database
  const CliRun tokyo = RunCli({server.Url(), "ls"}, run);
  EXPECT_NE(tokyo.out.find("\t2024-02-29 09:00\tnotes.txt"), std::string::npos) << tokyo.out;
}

TEST(CliLsAndPwd, PathsAreRelativeToTheLoginDirectoryOrAbsolute) {
  PyFtpServer server;
  server.WriteFile("a/b/inner.txt", "1");
  server.WriteFile("a/outer.txt", "22");
  // With a start directory in the URL, relative paths start there.
  const CliRun fromA = RunCli({server.Url() + "/a", "ls", "b"});
  EXPECT_EQ(Lines(fromA.out).size(), 1u) << fromA.out << fromA.err;
  EXPECT_NE(fromA.out.find("\tinner.txt"), std::string::npos) << fromA.err;
  EXPECT_EQ(RunCli({server.Url() + "/a", "ls", "/a/b"}).out, fromA.out);
  EXPECT_EQ(RunCli({server.Url() + "/a/b/", "pwd"}).out, "/a/b\n");
  EXPECT_EQ(RunCli({server.Url(), "pwd"}).out, "/\n");
  EXPECT_EQ(RunCli({server.Url() + "/%2Fa", "pwd"}).out, "/a\n");

}

// Each command against a fresh server: what it changed there, or the one
// line naming the refusal.
TEST(CliCommands, SuccessAndRefusal) {
  using Check = std::function<bool(const fs::path& root)>;
  const std::tuple<std::string, std::vector<std::string>, std::string, Check> cases[] = {
      {"", {"mkdir", "/full/new"}, "", [](const fs::path& r) { return fs::is_directory(r / "full/new"); }},
      {"", {"rm", "full/file.txt"}, "", [](const fs::path& r) { return !fs::exists(r / "full/file.txt"); }},
      {"", {"mv", "full/file.txt", "renamed.txt"}, "",
       [](const fs::path& r) { return ReadLocal(r / "renamed.txt") == "content"; }},
      {"", {"rmdir", "nowhere"}, ErrorMessageText(kErrRemoveDirectory), nullptr},
      {"", {"ls", "nowhere"}, "/nowhere: cannot open the remote directory", nullptr},
      {"/nowhere", {"pwd"}, "cannot change to the remote directory /nowhere", nullptr},
      {"", {"cat", "missing"}, "550", nullptr},
  };
  for (const auto& [start, command, error, check] : cases) {
    PyFtpServer server;
    server.WriteFile("full/file.txt", "content");
    std::vector<std::string> args = {server.Url() + start};
    args.insert(args.end(), command.begin(), command.end());
    const CliRun result = RunCli(args);
    SCOPED_TRACE(command[0] + ": " + result.err);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.status, error.empty() ? 0 : 1);
    EXPECT_EQ(Lines(result.err).size(), error.empty() ? 0u : 1u);
    EXPECT_NE(result.err.find(error), std::string::npos);
    if (check) {
      EXPECT_TRUE(check(server.Root()));
    }
  }
}

// The file's bytes on standard output.
TEST(CliCat, WritesTheFileToStandardOutput) {
  PyFtpServer server;
  const std::string binary = RandomBytes(300000, 5);
  server.WriteFile("data.bin", binary);
  server.WriteFile("empty", "");
  for (const auto& [name, content] : {std::pair{"data.bin", binary}, std::pair{"empty", std::string()}}) {
    const CliRun run = RunCli({server.Url(), "cat", name});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == content) << name;
  }
}

}  // namespace
}  // namespace veltrim::test
