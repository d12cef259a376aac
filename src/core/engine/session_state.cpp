#include "core/engine/session_state.h"

#include "core/engine/engine_flags.h"

namespace veltrim::engine {

bool SessionState::Finish(uint64_t id, bool failedResult, const std::function<void()>& commit,
                          bool ignoreOperationAbort) {
  bool applied = false;
  {
    std::lock_guard lock(mutex);
    if (waiting && operationId == id && (ignoreOperationAbort || !OperationAbort.load())) {
      if (commit) commit();
      if (failedResult) failed.store(true);
      done.store(true);
      applied = true;
    }
  }
  wake.notify_all();
  return applied;
}

bool SessionState::Fail(uint64_t id, FailureReason reason) {
  return Finish(id, true, [&] { lastFailure = std::move(reason); });
}

std::shared_ptr<CFtpConnection> SessionState::MainConnection() {
  std::lock_guard lock(mutex);
  return mainConnection;
}

void SessionState::SetLog(std::shared_ptr<LogSink> sink) {
  std::lock_guard lock(logMutex_);
  log_ = std::move(sink);
}

void SessionState::WriteLog(const std::string& line) {
  // The sink is called under the lock so that lines from different threads
  // keep the order in which they were written.
  std::lock_guard lock(logMutex_);
  if (log_) log_->AppendLine(line);
}

void SessionState::PlaySound(const char* name) {
  if (playSounds.load()) host->PlaySound(name);
}

}  // namespace veltrim::engine
