// Login attempts: each way an attempt ends, with its exact log lines and sounds.
#include <gtest/gtest.h>

#include "core/engine/engine_flags.h"
#include "engine_test_support.h"

namespace veltrim::test {
namespace {

std::vector<std::string> Sounds(const ScriptedHost& host) { return host.CallsStartingWith("PlaySound "); }

class LoginTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    PyFtpServerOptions options;
    options.anonymous = true;
    server_ = new PyFtpServer(options);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static PyFtpServer* server_;
};
PyFtpServer* LoginTest::server_ = nullptr;

TEST_F(LoginTest, SuccessfulLoginsLogEachStepAndPlayConnect) {
  SessionRig rig(ProfileFor(server_->Port()));
  EXPECT_FALSE(rig.session->IsConnected());
  ASSERT_TRUE(rig.session->Connect(0));
  EXPECT_TRUE(rig.session->IsConnected());
  EXPECT_FALSE(rig.session->IsBusy());
  EXPECT_EQ(rig.Lines(), (std::vector<std::string>{"Opening connection information for: Test",
                                                    "Connecting to host: 127.0.0.1", "Username: tester",
                                                    "Password: ******", "Connected to Host."}));
  EXPECT_EQ(Sounds(*rig.host), std::vector<std::string>{"PlaySound connect.wav"});
  EXPECT_TRUE(rig.host->Saw("OpenPleaseWait 10 Attempting to connect to host..."));
  EXPECT_TRUE(rig.host->Saw("ClosePleaseWait"));
  // A later attempt names its retry number; sounds can be off.
  SessionRig retry(ProfileFor(server_->Port()));
  retry.session->SetPlaySounds(false);
  ASSERT_TRUE(retry.session->Connect(2));
  EXPECT_TRUE(retry.host->Saw("OpenPleaseWait 10 Attempting to connect to host... Retry #2"));
  EXPECT_EQ(retry.session->ConnectAttempt(), 2);
  EXPECT_TRUE(Sounds(*retry.host).empty());
}

struct EarlyRefusal {
  const char* name;
  std::string host;
  std::string user;
  std::string lastLine;
};

TEST_F(LoginTest, IncompleteProfilesAreRefusedBeforeAnyNetwork) {
  const EarlyRefusal cases[] = {
      {"no host", "", "tester", "You must enter a hostname."},
      {"no user", "127.0.0.1", "", "You must enter a your username and password."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServerSettings settings = ProfileFor(server_->Port(), c.user);
    settings.Hostname = c.host;
    SessionRig rig(settings);
    EXPECT_FALSE(rig.session->Connect(0));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Connecting to host: " + c.host);
    EXPECT_EQ(lines[2], c.lastLine);
    EXPECT_EQ(rig.session->LastFailure().Text, c.lastLine);
    EXPECT_TRUE(Sounds(*rig.host).empty());
    EXPECT_TRUE(rig.host->Saw("ClosePleaseWait"));
    EXPECT_FALSE(rig.session->IsConnected());
  }
}

TEST_F(LoginTest, MissingPasswordIsAskedForAndMasked) {
  const struct {
    const char* answer;
    bool connects;
    const char* line;
  } cases[] = {{"secret", true, "Password: ******"}, {"", false, "Password: "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    SessionRig rig(ProfileFor(server_->Port(), "tester", ""));
    rig.host->passwordAnswer = c.answer;
    EXPECT_EQ(rig.session->Connect(0), c.connects);
    EXPECT_TRUE(rig.host->Saw("InputBox Password: Please enter your password: [] password"));
    const auto lines = rig.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], c.line);
  }
}

TEST_F(LoginTest, AnonymousLogsInAsAnonymousWhateverTheProfileSays) {
  ServerSettings settings = ProfileFor(server_->Port(), "someone", "");
  settings.Anonymous = true;
  SessionRig rig(settings);
  ASSERT_TRUE(rig.session->Connect(0));
  const auto lines = rig.Lines();
  EXPECT_EQ(lines[2], "Username: anonymous");
  EXPECT_EQ(lines[3], "Password: " + std::string(std::string(CFtpSession::kAnonymousPassword).size(), '*'));
  EXPECT_EQ(rig.session->Settings().Username, "anonymous");
  EXPECT_FALSE(rig.host->Saw("InputBox Password: Please enter your password: [] password"));
}

// A refused login logs the server's text; an unreachable host the library's.
TEST_F(LoginTest, FailedLoginLogsTheReasonAndPlaysError) {
  const struct {
    uint16_t port;
    const char* password;
    const char* reason;
  } cases[] = {{server_->Port(), "wrong", "530"}, {ClosedPort(), "secret", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.password);
    SessionRig rig(ProfileFor(c.port, "tester", c.password));
    EXPECT_FALSE(rig.session->Connect(0));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4].rfind("Error connecting to host: ", 0), 0u) << lines[4];
    EXPECT_NE(lines[4].find(c.reason), std::string::npos) << lines[4];
    // The reason keeps the log line, and the server's reply apart from the system's text.
    const FailureReason& reason = rig.session->LastFailure();
    EXPECT_EQ(reason.Text, lines[4]);
    EXPECT_EQ(reason.ServerReply.empty(), *c.reason == '\0');
    EXPECT_NE(reason.Detail(), "");
    EXPECT_EQ(Sounds(*rig.host), std::vector<std::string>{"PlaySound error.wav"});
    EXPECT_FALSE(rig.session->IsConnected());
    EXPECT_TRUE(IsAttemptCancelled(0));
    EXPECT_TRUE(OperationAbort.load());
  }
}

TEST_F(LoginTest, SecondConnectOnAConnectedSessionDoesNothing) {
  SessionRig rig(ProfileFor(server_->Port()));
  ASSERT_TRUE(rig.session->Connect(0));
  const std::size_t before = rig.Lines().size();
  EXPECT_FALSE(rig.session->Connect(1));
  EXPECT_EQ(rig.Lines().size(), before);
  EXPECT_EQ(rig.host->Count("ClosePleaseWait"), 1);
}

// Attempts that the login worker cannot finish: the server never answers.
struct StalledOutcome {
  const char* name;
  int watchdogAfterPumps;  // the frame's watchdog: AbandonAttempt from the pump
  int cancelAfterPumps;    // the Please Wait box's Cancel
  int quitAfterPumps;      // the application's quit request
  std::vector<std::string> tail;  // log lines after "Password: ..."
  std::vector<std::string> sounds;
  bool aborted;  // the frame heard that the user aborted
  bool failed;   // Failed as the wait left it
  FailureKind kind;
};

TEST(StalledLoginTest, EachWayOfGivingUpEndsTheAttempt) {
  const StalledOutcome cases[] = {
      {"watchdog", 10, -1, -1, {"Connection timed out."}, {}, false, true, FailureKind::TimedOut},
      {"cancel", -1, 10, -1, {"Connection Aborted."}, {"PlaySound error.wav"}, true, false, FailureKind::Aborted},
      {"quit", -1, -1, 10, {}, {}, false, false, FailureKind::Interrupted},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SilentServer silent;
    SessionRig rig(ProfileFor(silent.Port()));
    rig.host->pleaseWaitCancelAfterPumps = c.cancelAfterPumps;
    rig.host->quitAfterPumps = c.quitAfterPumps;
    bool sawBusy = false;
    CFtpSession* session = rig.session.get();
    rig.host->onPump = [&] {
      sawBusy = sawBusy || session->IsBusy();
      if (c.watchdogAfterPumps >= 0 && rig.host->Pumps() == c.watchdogAfterPumps) session->AbandonAttempt();
    };
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(rig.session->Connect(0));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_TRUE(sawBusy);
    EXPECT_FALSE(rig.session->IsBusy());
    EXPECT_FALSE(rig.session->IsConnected());
    auto lines = rig.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()), c.tail);
    EXPECT_EQ(Sounds(*rig.host), c.sounds);
    EXPECT_EQ(rig.host->Saw("AttemptAborted"), c.aborted);
    EXPECT_EQ(rig.session->Failed(), c.failed);
    EXPECT_EQ(rig.session->LastFailure().Kind, c.kind);
    EXPECT_TRUE(rig.host->Saw("ClosePleaseWait"));
    EXPECT_TRUE(IsAttemptCancelled(0));
  }
}

TEST(StalledLoginTest, SessionDestroyedWhileItsWorkerIsStillBlocked) {
  // The worker outlives the session: it must touch nothing freed and never
  // install its connection anywhere.
  auto silent = std::make_unique<SilentServer>();
  auto host = std::make_shared<ScriptedHost>();
  {
    CFtpSession session(host);
    session.SetNetworkTimeout(std::chrono::milliseconds(300));
    session.SetServerSettings(ProfileFor(silent->Port()));
    host->onPump = [&] {
      if (host->Pumps() == 5) session.AbandonAttempt();
    };
    EXPECT_FALSE(session.Connect(0));
  }
  silent.reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the worker ends on its own
  EXPECT_FALSE(host->Saw("PlaySound connect.wav"));
}

TEST(AttemptTableTest, AttemptNumbersOutsideTheTableShareItsEdges) {
  const struct {
    int attempt;
    std::size_t slot;
  } cases[] = {{0, 0}, {100, 100}, {255, 255}, {256, 255}, {100000, 255}, {-1, 0}, {-2147483647 - 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attempt);
    EXPECT_EQ(AttemptSlot(c.attempt), c.slot);
    SetAttemptCancelled(c.attempt, true);
    EXPECT_TRUE(IsAttemptCancelled(c.attempt));
    SetAttemptCancelled(c.attempt, false);
    EXPECT_FALSE(IsAttemptCancelled(c.attempt));
  }
}

}  // namespace
}  // namespace veltrim::test
