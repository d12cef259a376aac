// The command line itself: usage errors, TARGET forms and logins.

#include <gtest/gtest.h>

#include "../engine/engine_test_support.h"
#include "cli_support.h"
#include "core/profile/profile_file.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

struct UsageCase {
  std::vector<std::string> args;
  std::string errorPart;  // expected inside the one stderr line
};

TEST(CliUsage, BadCommandLinesExitWithStatus2AndOneLine) {
  const std::vector<UsageCase> cases = {
      {{}, "no TARGET"},
      {{"ftp://h"}, "no COMMAND"},
      {{"ftp://h", "frobnicate"}, "unknown command frobnicate"},
      {{"--frob", "ftp://h", "ls"}, "unknown option --frob"},
      {{"--timeout", "0", "ftp://h", "ls"}, "--timeout needs a whole number"},
      {{"--timeout", "x", "ftp://h", "ls"}, "--timeout needs a whole number"},
      {{"--retries", "101", "ftp://h", "ls"}, "--retries needs a whole number"},
      {{"--retries"}, "--retries needs a value"},
      {{"ftp://h", "get"}, "wrong number of arguments for get"},
      {{"ftp://h", "get", "-r", "onlyone"}, "wrong number of arguments for get -r"},
      {{"ftp://h", "mv", "a"}, "wrong number of arguments for mv"},
      {{"ftp://h", "pwd", "extra"}, "wrong number of arguments for pwd"},
      {{"ftp://h", "mkdir", "-r", "x"}, "mkdir takes no -r"},
      {{"ftp://h:99999", "ls"}, "bad port"},
      {{"ftp://", "ls"}, "names no host"},
      {{"ftp://us%4ger@h", "ls"}, "broken %-escape"},
      {{"ftp://user:pa%0Ass@h", "ls"}, "control character"},
      {{"ftp://[::1", "ls"}, "unclosed ["},
      {{"http://example.org", "ls"}, "only ftp://, ftpes:// and ftps:// URLs"},
      {{"/nonexistent/profile.ftp", "ls"}, "/nonexistent/profile.ftp"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(run.status, 2) << joined << run.err;
    EXPECT_EQ(Lines(run.err).size(), 1u) << joined << run.err;
    EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << joined << "\n" << run.err;
    EXPECT_TRUE(run.out.empty()) << joined;
  }
}

// A profile file is a TARGET.
TEST(CliLogin, ProfileFileIsATarget) {
  PyFtpServer server;
  server.WriteFile("start/here.txt", "x");
  TempDir dir;
  ServerSettings settings = ProfileFor(server.Port());
  settings.RemoteDir = "start";
  SaveProfileFile(dir.Path() / "test.ftp", settings);
  const CliRun run = RunCli({(dir.Path() / "test.ftp").string(), "pwd"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "/start\n");  // the profile's remote directory
}

TEST(CliLogin, SilentServerTimesOutAfterEveryAttempt) {
  SilentServer silent;
  const auto start = std::chrono::steady_clock::now();
  const CliRun run =
      RunCli({"-v", "--timeout", "2", "--retries", "1", "ftp://u:p@127.0.0.1:" + std::to_string(silent.Port()), "pwd"});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(run.status, 1);
  std::size_t timedOut = 0;
  for (const auto& line : Lines(run.err)) timedOut += line == "Connection timed out.";
  EXPECT_EQ(timedOut, 2u) << run.err;  // one per attempt
  EXPECT_NE(run.err.find("veltrimftp-cli: Connection timed out."), std::string::npos) << run.err;
  EXPECT_GE(elapsed, std::chrono::seconds(4));
  EXPECT_LT(elapsed, std::chrono::seconds(60));
}

// Without a terminal the password is read from standard input, never shown.
TEST(CliLogin, MissingPasswordIsAskedFor) {
  PyFtpServer server;
  const std::string url = "ftp://tester@127.0.0.1:" + std::to_string(server.Port());
  CliRunOptions options;
  options.input = "secret\n";
  const CliRun run = RunCli({url, "pwd"}, options);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "/\n");
  EXPECT_NE(run.err.find("Please enter your password:"), std::string::npos);
  EXPECT_EQ(run.err.find("secret"), std::string::npos);
}

// Percent-escaped user and password are decoded (the log never shows the
// password); no user at all means anonymous.
TEST(CliLogin, UserFromTheUrl) {
  PyFtpServerOptions options;
  options.user = "a@b:c d";
  options.password = "p@ss:w/rd%";
  options.anonymous = true;
  PyFtpServer server(options);
  const std::string at = "127.0.0.1:" + std::to_string(server.Port());
  const std::string escaped = "ftp://a%40b%3Ac%20d:p%40ss%3Aw%2Frd%25@" + at;
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-v", escaped, "pwd"}, "Username: a@b:c d\nPassword: **********\nConnected to Host.\n"},
      {{"-v", "ftp://" + at, "pwd"}, "Username: anonymous\n"}};
  for (const auto& [args, log] : cases) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "/\n");
    EXPECT_NE(run.err.find(log), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("p@ss"), std::string::npos) << "the log must not show the password";
  }
}

}  // namespace
}  // namespace veltrim::test
