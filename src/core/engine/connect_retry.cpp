#include "core/engine/connect_retry.h"

#include "core/engine/ftp_session.h"

namespace veltrim {

void ConnectRetryPolicy::SetProfile(const ServerSettings& profile) {
  retries_ = ClampedRetries(profile);
  timeoutSeconds_ = ClampedTimeoutSeconds(profile);
}

bool ConnectRetryPolicy::NextAttempt() {
  if (aborted_ || attempt_ >= retries_) return false;
  ++attempt_;
  return true;
}

void ConnectRetryPolicy::Reset() {
  attempt_ = 0;
  aborted_ = false;
}

ConnectOutcome ConnectWithRetries(ConnectRetryPolicy& policy, const ConnectAttemptHooks& hooks) {
  ConnectOutcome outcome;
  do {
    if (hooks.stopRequested && hooks.stopRequested()) break;
    std::unique_ptr<CFtpSession> session = hooks.newSession();
    hooks.armWatchdog(*session, policy.WatchdogPeriod());
    const bool connected = session->Connect(policy.Attempt());
    hooks.disarmWatchdog();
    if (connected) {
      outcome.session = std::move(session);
      outcome.failure = {};
      policy.Reset();
      break;
    }
    outcome.failure = session->LastFailure();
    if (outcome.failure.Kind == FailureKind::Aborted) policy.Abort();
    if (outcome.failure.Kind == FailureKind::Interrupted) break;
  } while (policy.NextAttempt());
  return outcome;
}

}  // namespace veltrim
