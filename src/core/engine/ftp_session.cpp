// The session object: set-up, the log, the worker protocol and the orderly
// close of its connections.
#include "core/engine/ftp_session.h"

#include <algorithm>
#include <stdexcept>

#include "core/engine/engine_flags.h"
#include "core/engine/session_operation.h"
#include "core/engine/session_state.h"
#include "core/engine/worker_thread.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_session.h"

namespace veltrim {

namespace {
// How long the waiting thread sleeps between two message pumps when the
// worker has not finished; a finishing worker wakes it at once.
constexpr std::chrono::milliseconds kPumpInterval{5};
// How long a finished operation's worker may take to return.
constexpr std::chrono::milliseconds kJoinGrace{2000};
// How long the destructor waits for a worker that is still running.
constexpr std::chrono::milliseconds kDestructorGrace{100};
}  // namespace

CFtpSession::CFtpSession(std::shared_ptr<SessionHost> host)
    : host_(std::move(host)),
      state_(std::make_shared<engine::SessionState>(host_)),
      textExtensions_(DefaultTextExtensions()) {
  if (!host_) throw std::invalid_argument("CFtpSession needs a host");
  OperationAbort.store(false);
}

CFtpSession::~CFtpSession() {
  if (connected_) Stop();
  ClearQueue();
  std::shared_ptr<CFtpConnection> connection;
  std::shared_ptr<CInternetSession> session;
  {
    std::lock_guard lock(state_->mutex);
    connection = std::move(state_->mainConnection);
    session = std::move(state_->mainSession);
  }
  if (connection) {
    connection->Close();
    WriteLog("Disconnecting from host.");
  }
  if (session) session->Close();
  if (worker_ && !worker_->Finished()) {
    OperationAbort.store(true);
    state_->failed.store(true);
  }
  ReleaseWorkers(kDestructorGrace);
}

void CFtpSession::ReleaseWorkers(std::chrono::milliseconds grace) {
  const auto deadline = std::chrono::steady_clock::now() + grace;
  auto release = [&](std::unique_ptr<engine::WorkerThread>& worker) {
    if (!worker) return;
    const auto left = std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                 deadline - std::chrono::steady_clock::now()));
    worker->Release(left);
    worker.reset();
  };
  release(worker_);
  release(transferWorker_);
}

void CFtpSession::RetireWorker(std::unique_ptr<engine::WorkerThread>& worker) {
  if (!worker) return;
  worker->Release(std::chrono::milliseconds(0));
  worker.reset();
}

bool CFtpSession::SetServerSettings(const ServerSettings& settings) {
  settings_ = settings;
  WriteLog("Opening connection information for: " + settings_.Name);
  return true;
}

void CFtpSession::SetLogSink(std::shared_ptr<LogSink> sink) { state_->SetLog(std::move(sink)); }

void CFtpSession::WriteLog(const std::string& line) { state_->WriteLog(line); }

void CFtpSession::SetPlaySounds(bool play) { state_->playSounds.store(play); }
bool CFtpSession::PlaySounds() const { return state_->playSounds.load(); }
void CFtpSession::SetBlockSize(int32_t blockSize) { state_->blockSize.store(blockSize); }
int32_t CFtpSession::BlockSize() const { return state_->blockSize.load(); }
void CFtpSession::SetAlwaysCancelQueue(bool value) { state_->alwaysCancelQueue.store(value); }
bool CFtpSession::AlwaysCancelQueue() const { return state_->alwaysCancelQueue.load(); }
void CFtpSession::SetNeverCancelQueue(bool value) { state_->neverCancelQueue.store(value); }
bool CFtpSession::NeverCancelQueue() const { return state_->neverCancelQueue.load(); }

void CFtpSession::SetKnownCertificatesFile(const std::string& path) {
  std::lock_guard lock(state_->mutex);
  state_->knownCertificatesPath = path;
}

ftp::TlsStatus CFtpSession::Security() const {
  std::lock_guard lock(state_->mutex);
  return state_->security;
}

bool CFtpSession::IsTransferConnected() const {
  std::lock_guard lock(state_->mutex);
  return state_->transferConnection != nullptr || state_->transferSession != nullptr;
}

bool CFtpSession::Done() const { return state_->done.load(); }
bool CFtpSession::Failed() const { return state_->failed.load(); }
void CFtpSession::SetFailed() {
  state_->failed.store(true);
  state_->wake.notify_all();
}

void CFtpSession::AbandonAttempt() {
  OperationAbort.store(true);
  TransferAbort.store(true);
  state_->stopAdding.store(true);
  SetAttemptCancelled(connectAttempt_, true);
  SetFailed();
}

void CFtpSession::SetStopAdding(bool stop) { state_->stopAdding.store(stop); }
bool CFtpSession::StopAdding() const { return state_->stopAdding.load(); }
std::atomic<bool>& CFtpSession::StopAddingFlag() { return state_->stopAdding; }

DirectoryListing& CFtpSession::Listing() { return state_->listing; }
const DirectoryListing& CFtpSession::Listing() const { return state_->listing; }
const std::string& CFtpSession::CurrentDir() const { return state_->currentDir; }
const std::string& CFtpSession::TextFileContent() const { return state_->textFileContent; }
const FailureReason& CFtpSession::LastFailure() const { return state_->lastFailure; }

TransferRunSummary CFtpSession::TransferRuns() const {
  std::lock_guard lock(state_->mutex);
  return state_->runs;
}

std::chrono::milliseconds CFtpSession::EffectiveNetworkTimeout() const {
  if (networkTimeout_.count() > 0) return networkTimeout_;
  // A damaged Timeout must neither disable the deadline nor make it endless.
  const int32_t seconds = settings_.Timeout <= 0 ? ServerSettings{}.Timeout : ClampedTimeoutSeconds(settings_);
  return std::chrono::seconds(seconds) + std::chrono::seconds(2);
}

bool CFtpSession::WaitForWorker(const std::shared_ptr<engine::SessionState>& state, bool pleaseWait) {
  for (;;) {
    // Pump first, then look: tasks that a worker posted before it finished
    // have run by the time the wait ends.
    const bool quit = host_->PumpMessages();
    if (state->done.load() || state->failed.load()) return false;
    if (quit) return false;
    if (pleaseWait && host_->PleaseWaitCancelled()) return true;
    std::unique_lock lock(state->mutex);
    state->wake.wait_for(lock, kPumpInterval, [&] { return state->done.load() || state->failed.load(); });
  }
}

bool CFtpSession::RunOperation(Operation& operation) {
  if (operation.logLine) WriteLog(*operation.logLine);
  OperationAbort.store(false);
  state_->done.store(false);
  state_->failed.store(false);
  ++runningCount_;
  uint64_t id;
  std::shared_ptr<CFtpConnection> connection;
  {
    std::lock_guard lock(state_->mutex);
    id = ++state_->operationId;
    state_->waiting = true;
    state_->lastFailure = {};
    connection = state_->mainConnection;
  }
  RetireWorker(worker_);
  worker_ = std::make_unique<engine::WorkerThread>(
      [state = state_, id, connection, work = operation.work] { work(state, id, connection); });
  WaitForWorker(state_, false);
  {
    std::lock_guard lock(state_->mutex);
    state_->waiting = false;  // from here on a late worker leaves the results alone
    if (state_->failed.load() && !state_->lastFailure.IsSet()) {
      // Failed was raised from outside (a disconnect) while the worker still ran.
      state_->lastFailure = MakeFailure(FailureKind::Error, "The operation was given up.");
    }
  }
  --runningCount_;
  const bool completed = state_->done.load();
  worker_->Release(completed ? kJoinGrace : std::chrono::milliseconds(0));
  worker_.reset();
  return !state_->failed.load();
}

bool CFtpSession::ConnectionLost() const {
  if (!connected_) return false;
  const std::shared_ptr<CFtpConnection> connection = state_->MainConnection();
  return connection && connection->Lost();
}

void CFtpSession::Stop() {
  if (worker_ && !worker_->Finished()) OperationAbort.store(true);
  std::shared_ptr<CFtpConnection> transferConnection, mainConnection;
  std::shared_ptr<CInternetSession> transferSession, mainSession;
  {
    std::lock_guard lock(state_->mutex);
    transferConnection = std::move(state_->transferConnection);
    transferSession = std::move(state_->transferSession);
    mainConnection = std::move(state_->mainConnection);
    mainSession = std::move(state_->mainSession);
  }
  if (transferConnection || transferSession) {
    if (transferConnection) transferConnection->Close();
    if (transferSession) transferSession->Close();
    WriteLog("Stopping transfer.");
  }
  if (mainConnection) {
    mainConnection->Close();
    WriteLog("Disconnecting from host.");
  }
  if (mainSession) mainSession->Close();
}

}  // namespace veltrim
