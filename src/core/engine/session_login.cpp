// Login: one attempt with its Please Wait box, the login worker, and the six
// ways an attempt ends.
#include "core/engine/engine_flags.h"
#include "core/engine/ftp_session.h"
#include "core/engine/session_state.h"
#include "core/engine/session_tls.h"
#include "core/engine/worker_thread.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_session.h"

namespace veltrim {

namespace {

constexpr const char* kUnknownConnectError = "An unknown error has occured while trying to connect to host.";

struct LoginRequest {
  engine::ConnectTarget target;
  std::string user;
  std::string password;
  std::chrono::milliseconds timeout;
  int32_t attempt;
  uint64_t id;
};

// The attempt's AttemptCancelled entry was cleared by Connect before this
// worker started, so a watchdog that fires early is never overwritten.
void RunLogin(const std::shared_ptr<engine::SessionState>& state, const LoginRequest& request) {
  FailureReason failure = MakeFailure(FailureKind::Error, kUnknownConnectError);
  try {
    auto session = std::make_shared<CInternetSession>();
    session->SetTimeout(request.timeout);
    session->SetTls(request.target.tls);
    std::shared_ptr<CFtpConnection> connection = session->GetFtpConnection(
        request.target.host, request.user, request.password, request.target.port, true);
    if (IsAttemptCancelled(request.attempt)) {
      // Nobody wants this connection any more.
      connection->Close();
      return;
    }
    const ftp::TlsStatus security = connection->Security();
    engine::LogSecurity(*state, security);
    const bool stored = state->Finish(request.id, false, [&] {
      state->mainSession = session;
      state->mainConnection = connection;
      state->security = security;
    });
    if (!stored) connection->Close();
    return;
  } catch (const CInternetException& error) {
    if (!error.Text().empty()) failure = FailureWithDetail("Error connecting to host: " + error.Text(), error.Text());
  } catch (const std::exception&) {
  }
  if (IsAttemptCancelled(request.attempt)) return;
  state->WriteLog(failure.Text);
  state->Finish(
      request.id, true,
      [&] {
        state->mainSession.reset();
        state->mainConnection.reset();
        state->lastFailure = std::move(failure);
      },
      true);
}

// Closes the Please Wait box on every way out of Connect.
class PleaseWaitBox {
 public:
  PleaseWaitBox(SessionHost& host, int32_t countdown, const std::string& text) : host_(host) {
    host_.OpenPleaseWait(countdown, text);
  }
  ~PleaseWaitBox() { host_.ClosePleaseWait(); }
  PleaseWaitBox(const PleaseWaitBox&) = delete;
  PleaseWaitBox& operator=(const PleaseWaitBox&) = delete;

 private:
  SessionHost& host_;
};

}  // namespace

bool CFtpSession::Connect(int32_t attempt) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->mainSession) {
      state_->lastFailure = MakeFailure(FailureKind::Error, "The session is logged in already.");
      return false;
    }
    state_->lastFailure = {};
  }
  const std::string boxText = attempt == 0 ? std::string("Attempting to connect to host...")
                                           : "Attempting to connect to host... Retry #" + std::to_string(attempt);
  PleaseWaitBox box(*host_, settings_.Timeout, boxText);

  WriteLog("Connecting to host: " + settings_.Hostname);
  // A profile that cannot log in: the reason is the log line.
  auto refuse = [&](const char* line) {
    WriteLog(line);
    state_->lastFailure = MakeFailure(FailureKind::Error, line);
    return false;
  };
  if (settings_.Hostname.empty()) return refuse("You must enter a hostname.");
  if (settings_.Anonymous) {
    settings_.Username = "anonymous";
    settings_.Password = kAnonymousPassword;
  } else {
    if (settings_.Username.empty()) return refuse("You must enter a your username and password.");
    if (settings_.Password.empty()) {
      settings_.Password = host_->InputBox("Please enter your password:", "Password", "", true);
    }
  }
  WriteLog("Username: " + settings_.Username);
  WriteLog("Password: " + std::string(settings_.Password.size(), '*'));

  state_->done.store(false);
  state_->failed.store(false);
  OperationAbort.store(false);
  ++runningCount_;
  connectAttempt_ = attempt;
  SetAttemptCancelled(attempt, false);
  LoginRequest request{engine::ConnectTargetFor(settings_, useTlsWhenOffered_, state_),
                       settings_.Username,
                       settings_.Password,
                       EffectiveNetworkTimeout(),
                       attempt,
                       0};
  {
    std::lock_guard lock(state_->mutex);
    request.id = ++state_->operationId;
    state_->waiting = true;
  }
  RetireWorker(worker_);
  worker_ = std::make_unique<engine::WorkerThread>([state = state_, request] { RunLogin(state, request); });

  const bool boxCancelled = WaitForWorker(state_, true);
  {
    std::lock_guard lock(state_->mutex);
    state_->waiting = false;
  }
  --runningCount_;
  const bool done = state_->done.load();
  const bool failed = state_->failed.load();
  const bool cancelled = IsAttemptCancelled(attempt);
  worker_->Release(done ? std::chrono::milliseconds(2000) : std::chrono::milliseconds(0));
  worker_.reset();

  // Ends an attempt that is not coming back: a late worker must not install its connection.
  auto giveUp = [&](FailureKind kind, const char* reason) {
    OperationAbort.store(true);
    SetAttemptCancelled(attempt, true);
    state_->lastFailure = MakeFailure(kind, reason);
  };
  if (done && !failed && !cancelled) {
    connected_ = true;
    WriteLog("Connected to Host.");
    state_->PlaySound("connect.wav");
    return true;
  }
  constexpr const char* kGivenUp = "The login attempt was given up.";
  if (done && failed) {
    // The worker has logged the reason and kept it (unless the login came
    // through just as the watchdog raised Failed).
    OperationAbort.store(true);
    SetAttemptCancelled(attempt, true);
    if (!state_->lastFailure.IsSet()) state_->lastFailure = MakeFailure(FailureKind::Error, kGivenUp);
    state_->PlaySound("error.wav");
    return false;
  }
  if (done) {
    // The attempt was cancelled meanwhile.
    state_->lastFailure = MakeFailure(FailureKind::Error, kGivenUp);
    return false;
  }
  if (failed) {
    giveUp(FailureKind::TimedOut, "Connection timed out.");
    WriteLog("Connection timed out.");
    return false;
  }
  if (boxCancelled) {
    giveUp(FailureKind::Aborted, "Connection Aborted.");
    host_->AttemptAborted();
    WriteLog("Connection Aborted.");
    state_->PlaySound("error.wav");
    return false;
  }
  // The quit request ended the wait; a connection made later is discarded.
  SetAttemptCancelled(attempt, true);
  state_->lastFailure = MakeFailure(FailureKind::Interrupted, "The login was interrupted.");
  return false;
}

bool CFtpSession::Reconnect() {
  const std::string directory = state_->currentDir;
  std::shared_ptr<CFtpConnection> connection;
  std::shared_ptr<CInternetSession> session;
  {
    std::lock_guard lock(state_->mutex);
    connection = std::move(state_->mainConnection);
    session = std::move(state_->mainSession);
  }
  if (connection) connection->Close();
  if (session) session->Close();
  connected_ = false;
  if (!Connect(0)) return false;
  if (directory.empty()) return true;
  // The commands that follow name rows of the listing on display: they are
  // only right in the directory that listing came from.
  const bool entered = ChangeDirectory(directory);
  return GetCurrentDirectory() == directory && entered;
}

}  // namespace veltrim
