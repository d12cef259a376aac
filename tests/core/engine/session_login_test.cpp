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

// Each profile's attempt, from the start of its log; the password is asked
// for only when the profile has none, and anonymous logins use their own.
struct LoginCase {
  const char* name;
  std::string host;
  std::string user;
  std::string password;
  bool anonymous;
  const char* typed;  // the answer to the password box; nullptr: never asked
  bool connects;
  std::vector<std::string> lines;  // after "Opening connection information for: Test"
};

TEST_F(LoginTest, EachProfileLogsItsStepsAndConnectsOrSaysWhy) {
  const std::string local = "Connecting to host: 127.0.0.1";
  const std::string anonymousStars(std::string(CFtpSession::kAnonymousPassword).size(), '*');
  const LoginCase cases[] = {
      {"complete", "127.0.0.1", "tester", "secret", false, nullptr, true,
       {local, "Username: tester", "Password: ******", "Connected to Host."}},
      {"no host", "", "tester", "secret", false, nullptr, false,
       {"Connecting to host: ", "You must enter a hostname."}},
      {"no user", "127.0.0.1", "", "secret", false, nullptr, false,
       {local, "You must enter a your username and password."}},
      {"password typed", "127.0.0.1", "tester", "", false, "secret", true,
       {local, "Username: tester", "Password: ******", "Connected to Host."}},
      {"no password typed", "127.0.0.1", "tester", "", false, "", false, {local, "Username: tester", "Password: "}},
      {"anonymous", "127.0.0.1", "someone", "", true, nullptr, true,
       {local, "Username: anonymous", "Password: " + anonymousStars, "Connected to Host."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServerSettings settings = ProfileFor(server_->Port(), c.user, c.password);
    settings.Hostname = c.host;
    settings.Anonymous = c.anonymous;
    SessionRig rig(settings);
    if (c.typed) rig.host->passwordAnswer = c.typed;
    EXPECT_EQ(rig.session->Connect(0), c.connects);
    EXPECT_EQ(rig.session->IsConnected(), c.connects);
    EXPECT_FALSE(rig.session->IsBusy());
    auto lines = rig.Lines();
    ASSERT_GT(lines.size(), c.lines.size());
    EXPECT_EQ(lines[0], "Opening connection information for: Test");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 1 + c.lines.size()), c.lines);
    EXPECT_EQ(rig.host->Saw("InputBox Password: Please enter your password: [] password"), c.typed != nullptr);
    EXPECT_TRUE(rig.host->Saw("OpenPleaseWait 10 Attempting to connect to host..."));
    EXPECT_TRUE(rig.host->Saw("ClosePleaseWait"));
    if (c.connects) {
      EXPECT_EQ(Sounds(*rig.host), std::vector<std::string>{"PlaySound connect.wav"});
      EXPECT_EQ(rig.session->Settings().Username, c.anonymous ? "anonymous" : c.user);
    } else if (c.lines.size() == 2) {
      EXPECT_EQ(rig.session->LastFailure().Text, c.lines.back()) << "refused before any network";
      EXPECT_TRUE(Sounds(*rig.host).empty());
    }
  }
}

// A later attempt names its retry number; sounds can be off; connecting a
// connected session does nothing.
TEST_F(LoginTest, RetryNumberSoundsOffAndASecondConnect) {
  SessionRig rig(ProfileFor(server_->Port()));
  rig.session->SetPlaySounds(false);
  ASSERT_TRUE(rig.session->Connect(2));
  EXPECT_TRUE(rig.host->Saw("OpenPleaseWait 10 Attempting to connect to host... Retry #2"));
  EXPECT_EQ(rig.session->ConnectAttempt(), 2);
  EXPECT_TRUE(Sounds(*rig.host).empty());
  const std::size_t before = rig.Lines().size();
  EXPECT_FALSE(rig.session->Connect(1));
  EXPECT_EQ(rig.Lines().size(), before);
  EXPECT_EQ(rig.host->Count("ClosePleaseWait"), 1);
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
