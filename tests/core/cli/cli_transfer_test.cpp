// get and put: where the file lands, the one-line failures, and Ctrl-C.

#include <gtest/gtest.h>

#include "cli_support.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

class CliTransfer : public ::testing::Test {
 protected:
  std::vector<std::string> Args(std::vector<std::string> rest) const {
    std::vector<std::string> args = {server_.Url()};
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
