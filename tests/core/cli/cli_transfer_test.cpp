// get, put, get -r and put -r, on the main and on a second connection, and
// the progress line.

#include <gtest/gtest.h>

#include <random>

#include "cli_support.h"
#include "core/engine/error_ids.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

class CliTransfer : public ::testing::TestWithParam<bool> {
 protected:
  // The options that pick the connection under test.
  std::vector<std::string> Args(std::vector<std::string> rest, const std::string& option = "") const {
    std::vector<std::string> args;
    if (!option.empty()) args.push_back(option);
    if (GetParam()) args.push_back("--second-connection");
    args.push_back(server_.Url());
    args.insert(args.end(), rest.begin(), rest.end());
    return args;
  }
  PyFtpServer server_;
  TempDir local_;
};

INSTANTIATE_TEST_SUITE_P(Connections, CliTransfer, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SecondConnection" : "MainConnection"; });

TEST_P(CliTransfer, GetPlacesTheFileWhereAsked) {
  const std::string content = RandomBytes(3 * 1024 * 1024 + 17, 1);
  server_.WriteFile("dir/file.bin", content);
  fs::create_directory(local_.Path() / "into");
  struct Case {
    std::vector<std::string> command;
    fs::path expected;
  };
  const std::vector<Case> cases = {
      {{"get", "dir/file.bin"}, local_.Path() / "file.bin"},  // its name in the current folder
      {{"get", "/dir/file.bin", "renamed.bin"}, local_.Path() / "renamed.bin"},
      {{"get", "dir/file.bin", (local_.Path() / "into").string()}, local_.Path() / "into/file.bin"},
  };
  for (const auto& c : cases) {
    CliRunOptions options;
    options.workingDirectory = local_.Path();
    const CliRun run = RunCli(Args(c.command), options);
    EXPECT_EQ(run.status, 0) << c.command[1] << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;  // not a terminal: no progress line
    EXPECT_TRUE(ReadLocalFile(c.expected) == content) << c.expected;
  }
}

TEST_P(CliTransfer, FailedGetKeepsTheExistingLocalFile) {
  WriteLocalFile(local_.Path() / "keep.txt", "precious");
  const CliRun run = RunCli(Args({"get", "keep.txt", (local_.Path() / "keep.txt").string()}));
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find("get keep.txt: An error occured while trying to transfer a file."), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("550"), std::string::npos) << run.err;
  EXPECT_EQ(ReadLocalFile(local_.Path() / "keep.txt"), "precious");
  EXPECT_EQ(Tree(local_.Path()).size(), 1u) << "no partial file is left";
}

TEST_P(CliTransfer, PutPlacesTheFileWhereAsked) {
  const std::string content = RandomBytes(2 * 1024 * 1024 + 5, 2);
  WriteLocalFile(local_.Path() / "up.bin", content);
  fs::create_directories(server_.Root() / "remote/dir");
  const std::string source = (local_.Path() / "up.bin").string();
  struct Case {
    std::vector<std::string> command;
    std::string expected;  // relative to the server's root
  };
  const std::vector<Case> cases = {
      {{"put", source}, "up.bin"},  // its name in the login directory
      {{"put", source, "remote/named.bin"}, "remote/named.bin"},
      {{"put", source, "/remote/dir/"}, "remote/dir/up.bin"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(Args(c.command));
    EXPECT_EQ(run.status, 0) << c.expected << run.err;
    EXPECT_TRUE(server_.ReadFile(c.expected) == content) << c.expected;
  }
  const CliRun missing = RunCli(Args({"put", (local_.Path() / "nothing").string()}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no such local file"), std::string::npos) << missing.err;
  const CliRun refused = RunCli(Args({"put", source, "no/such/dir/x.bin"}));
  EXPECT_EQ(refused.status, 1);
  ASSERT_EQ(Lines(refused.err).size(), 1u) << refused.err;
}

TEST_P(CliTransfer, EveryTransferTypeMovesTextAndBinaryFiles) {
  const std::string binary = RandomBytes(70000, 6);
  server_.WriteFile("unix.txt", "one\ntwo\n");
  server_.WriteFile("data.bin", binary);
  for (const std::string mode : {"--auto", "--binary", "--ascii"}) {
    const CliRun text = RunCli(Args({"cat", "unix.txt"}, mode));
    EXPECT_EQ(text.status, 0) << mode << text.err;
    EXPECT_EQ(text.out, "one\ntwo\n") << mode;
  }
  EXPECT_TRUE(RunCli(Args({"cat", "data.bin"}, "--binary")).out == binary);
}

TEST_P(CliTransfer, GetTreeCopiesTheTreeUnderItsLastComponent) {
  server_.WriteFile("project/a.txt", "a");
  server_.WriteFile("project/src/b.bin", RandomBytes(100000, 3));
  server_.WriteFile("project/src/deeper/c", "c");
  fs::create_directories(server_.Root() / "project/empty");
  const fs::path target = local_.Path() / "download";
  const CliRun run = RunCli(Args({"get", "-r", "project", target.string()}));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto expected = Tree(server_.Root() / "project");
  EXPECT_EQ(Tree(target / "project"), expected);
  EXPECT_EQ(Tree(target).size(), expected.size() + 1);  // only the project folder at the top

  const CliRun missing = RunCli(Args({"get", "-r", "nowhere", target.string()}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nowhere: cannot open the remote directory"), std::string::npos) << missing.err;
}

TEST_P(CliTransfer, PutTreeCreatesAndMergesRemoteDirectories) {
  WriteLocalFile(local_.Path() / "site/index.html", "<html>");
  WriteLocalFile(local_.Path() / "site/img/logo.png", RandomBytes(50000, 4));
  fs::create_directories(local_.Path() / "site/empty");
  const std::string site = (local_.Path() / "site").string();

  const CliRun fresh = RunCli(Args({"put", "-r", site, "www"}));
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(Tree(server_.Root() / "www"), Tree(local_.Path() / "site"));

  // Into an existing tree: merged, files replaced, others kept.
  server_.WriteFile("www/old.txt", "old");
  WriteLocalFile(local_.Path() / "site/index.html", "<html>v2");
  const CliRun merged = RunCli(Args({"put", "-r", site + "/", "/www"}));
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(server_.ReadFile("www/index.html"), "<html>v2");
  EXPECT_EQ(server_.ReadFile("www/old.txt"), "old");

  // "." is the folder itself, not a name to skip.
  CliRunOptions inSite;
  inSite.workingDirectory = local_.Path() / "site";
  const CliRun dot = RunCli(Args({"put", "-r", ".", "dot"}), inSite);
  ASSERT_EQ(dot.status, 0) << dot.err;
  EXPECT_EQ(server_.ReadFile("dot/img/logo.png"), ReadLocalFile(local_.Path() / "site/img/logo.png"));

  const CliRun missing = RunCli(Args({"put", "-r", (local_.Path() / "none").string(), "x"}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no such local folder"), std::string::npos);
  const CliRun refused = RunCli(Args({"put", "-r", site, "no/such/parent"}));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("An error occured while trying to create the new directory."), std::string::npos)
      << refused.err;
}

TEST(CliSecondConnection, RefusedSecondConnectionFallsBackToTheMainOne) {
  PyFtpServerOptions options;
  options.maxConnectionsPerAddress = 1;
  PyFtpServer server(options);
  const std::string content = RandomBytes(300000, 9);
  WriteLocalFile(server.Root() / "file.bin", content);
  TempDir local;
  CliRunOptions run;
  run.workingDirectory = local.Path();
  const CliRun result = RunCli({"-v", "--second-connection", server.Url(), "get", "file.bin"}, run);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(ReadLocalFile(local.Path() / "file.bin") == content);
  // The refusal was shown (verbose shows the boxes); the transfer still happened.
  EXPECT_NE(result.err.find(ErrorMessageText(kErrTransferConnection)), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Error connecting to host: "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Transfering File: /file.bin"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("veltrimftp-cli:"), std::string::npos) << result.err;
}

// On a terminal the progress line is drawn (and fits a narrow one); into a
// pipe nothing is.
TEST(CliProgress, ProgressLineOnATerminalOnly) {
  PyFtpServerOptions options;
  options.throttleBytesPerSecond = 64 * 1024;
  PyFtpServer server(options);
  WriteLocalFile(server.Root() / "slow.bin", RandomBytes(200 * 1024, 5));
  const std::string longName = "a-rather-long-file-name-for-a-narrow-terminal.bin";
  WriteLocalFile(server.Root() / longName, RandomBytes(160 * 1024, 8));
  TempDir local;

  CliRunOptions terminal;
  terminal.stderrOnTerminal = true;
  terminal.workingDirectory = local.Path();
  const CliRun shown = RunCli({server.Url(), "get", "slow.bin"}, terminal);
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.err.find("slow.bin  "), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find(" bytes  "), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find(" KB/sec"), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find(" sec left"), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find("\r\033[K"), std::string::npos) << "the line is cleared at the end";

  CliRunOptions pipe;
  pipe.workingDirectory = local.Path();
  const CliRun quiet = RunCli({server.Url(), "get", "slow.bin", "again.bin"}, pipe);
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_TRUE(quiet.err.empty()) << quiet.err;
  EXPECT_EQ(ReadLocalFile(local.Path() / "again.bin"), ReadLocalFile(server.Root() / "slow.bin"));

  terminal.terminalColumns = 30;
  const CliRun run = RunCli({server.Url(), "get", longName}, terminal);
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_NE(run.err.find("\r\033[K"), std::string::npos) << "a progress line was drawn";
  // Every drawn line (between the clearing sequences) is narrower than the terminal.
  std::size_t start = 0;
  while ((start = run.err.find("\r\033[K", start)) != std::string::npos) {
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
  WriteLocalFile(server.Root() / "slow.bin", RandomBytes(1024 * 1024, 7));
  TempDir local;
  WriteLocalFile(local.Path() / "old.bin", "old content");

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
  EXPECT_EQ(ReadLocalFile(local.Path() / "old.bin"), "old content");
  EXPECT_EQ(Tree(local.Path()).size(), 1u);
}

}  // namespace
}  // namespace veltrim::test
