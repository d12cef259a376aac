// get, put, get -r (on a second connection) and put -r, the progress line
// and Ctrl-C.

#include <gtest/gtest.h>

#include "cli_support.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

class CliTransfer : public ::testing::Test {
 protected:
  std::vector<std::string> Args(std::vector<std::string> rest, bool secondConnection = false) const {
    std::vector<std::string> args;
    if (secondConnection) args.push_back("--second-connection");
    args.push_back(server_.Url());
    args.insert(args.end(), rest.begin(), rest.end());
    return args;
  }
  PyFtpServer server_;
  TempDir local_;
};

TEST_F(CliTransfer, GetAndPutPlaceTheFileWhereAskedOrFailInOneLine) {
  const std::string content = RandomBytes(3 * 1024 * 1024 + 17, 1);
  server_.WriteFile("dir/file.bin", content);
  const std::string source = (local_.Path() / "up.bin").string();
  WriteLocal(source, content);
  fs::create_directory(local_.Path() / "into");
  fs::create_directories(server_.Root() / "remote/dir");
  const std::pair<std::vector<std::string>, fs::path> cases[] = {
      {{"get", "dir/file.bin"}, local_.Path() / "file.bin"},  // its name in the current folder
      {{"get", "/dir/file.bin", "renamed.bin"}, local_.Path() / "renamed.bin"},
      {{"get", "dir/file.bin", (local_.Path() / "into").string()}, local_.Path() / "into/file.bin"},
      {{"put", source}, server_.Root() / "up.bin"},  // its name in the login directory
      {{"put", source, "remote/named.bin"}, server_.Root() / "remote/named.bin"},
      {{"put", source, "/remote/dir/"}, server_.Root() / "remote/dir/up.bin"},
  };
  CliRunOptions options;
  options.workingDirectory = local_.Path();
  for (const auto& [command, expected] : cases) {
    const CliRun run = RunCli(Args(command), options);
    EXPECT_EQ(run.status, 0) << expected << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;  // not a terminal: no progress line
    EXPECT_TRUE(ReadLocal(expected) == content) << expected;
  }
  const std::pair<std::vector<std::string>, std::string> failures[] = {
      {{"put", (local_.Path() / "nothing").string()}, "no such local file"},
      {{"put", source, "no/such/dir/x.bin"}, "550"},
      {{"get", "-r", "nowhere", local_.Path().string()}, "nowhere: cannot open the remote directory"},
      {{"put", "-r", (local_.Path() / "none").string(), "x"}, "no such local folder"},
  };
  for (const auto& [command, part] : failures) {
    const CliRun run = RunCli(Args(command), options);
    EXPECT_EQ(run.status, 1) << part;
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
  }
}

// put -r creates the tree ("." is the folder itself) and merges into an
// existing one; get -r copies it under its last component (on a second
// connection).
TEST_F(CliTransfer, TreesGoUpAndComeBackWhole) {
  WriteLocal(local_.Path() / "site/index.html", "<html>");
  WriteLocal(local_.Path() / "site/img/logo.png", RandomBytes(100000, 4));
  fs::create_directories(local_.Path() / "site/empty");
  server_.WriteFile("www/old.txt", "old");
  CliRunOptions inSite;
  inSite.workingDirectory = local_.Path() / "site";
  const CliRun put = RunCli(Args({"put", "-r", ".", "/www"}), inSite);
  ASSERT_EQ(put.status, 0) << put.err;
  EXPECT_EQ(server_.ReadFile("www/old.txt"), "old");
  fs::remove(server_.Root() / "www/old.txt");
  EXPECT_EQ(Tree(server_.Root() / "www"), Tree(local_.Path() / "site"));

  const fs::path target = local_.Path() / "download";
  const CliRun get = RunCli(Args({"get", "-r", "www", target.string()}, /*secondConnection=*/true));
  ASSERT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(Tree(target / "www"), Tree(local_.Path() / "site"));
  EXPECT_EQ(FilesIn(target), 1u);  // only the www folder at the top
}

// On a terminal the progress line is drawn, cleared at the end, and fits a
// narrow terminal (into a pipe nothing is drawn: see the get test).
TEST(CliProgress, ProgressLineOnATerminalFitsItsWidth) {
  PyFtpServerOptions options;
  options.throttleBytesPerSecond = 64 * 1024;
  PyFtpServer server(options);
  const std::string longName = "a-rather-long-file-name-for-a-narrow-terminal.bin";
  WriteLocal(server.Root() / "slow.bin", RandomBytes(200 * 1024, 5));
  WriteLocal(server.Root() / longName, RandomBytes(160 * 1024, 8));
  TempDir local;
  CliRunOptions terminal;
  terminal.stderrOnTerminal = true;
  terminal.workingDirectory = local.Path();
  const CliRun shown = RunCli({server.Url(), "get", "slow.bin"}, terminal);
  EXPECT_EQ(shown.status, 0) << shown.err;
  for (const char* part : {"slow.bin  ", " bytes  ", " KB/sec", " sec left", "\r\033[K"}) {
    EXPECT_NE(shown.err.find(part), std::string::npos) << part << shown.err;
  }
  terminal.terminalColumns = 30;
  const CliRun run = RunCli({server.Url(), "get", longName}, terminal);
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_NE(run.err.find("\r\033[K"), std::string::npos) << "a progress line was drawn";
  // Every drawn line (between the clearing sequences) is narrower than the terminal.
  for (std::size_t start = 0; (start = run.err.find("\r\033[K", start)) != std::string::npos;) {
    start += 4;
    const std::size_t end = run.err.find('\r', start);
    const std::size_t length = (end == std::string::npos ? run.err.size() : end) - start;
    EXPECT_LT(length, 30u) << run.err.substr(start, length);
  }
}

TEST(CliInterrupt, CtrlCCancelsATransferAndLeavesNoPartialFile) {
  PyFtpServerOptions options;
  options.throttleBytesPerSecond = 32 * 1024;
  PyFtpServer server(options);
  WriteLocal(server.Root() / "slow.bin", RandomBytes(1024 * 1024, 7));
  TempDir local;
  WriteLocal(local.Path() / "old.bin", "old content");

  CliRunOptions run;
  run.workingDirectory = local.Path();
  run.interruptAfterMs = 1500;
  const auto start = std::chrono::steady_clock::now();
  const CliRun result = RunCli({server.Url(), "get", "slow.bin", "old.bin"}, run);
  EXPECT_EQ(result.status, 130) << result.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "the whole file would take 32 s";
  ASSERT_EQ(Lines(result.err).size(), 1u) << result.err;
  EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
  // The old file is untouched and nothing else is left behind.
  EXPECT_EQ(ReadLocal(local.Path() / "old.bin"), "old content");
  EXPECT_EQ(Tree(local.Path()).size(), 1u);
}

}  // namespace
}  // namespace veltrim::test
