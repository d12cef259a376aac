#pragma once
// The retry and watchdog rules of connecting: at most 1 + Retries login
// attempts, each given up by a watchdog after the profile's Timeout, and none
// after the user aborted one. The window drives the policy from its Connect
// command and its watchdog timer; ConnectWithRetries runs the same rules for
// a caller that may block (the command line).
//
// Threads: window thread only (the policy is not shared with workers).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/engine/failure_reason.h"
#include "core/profile/server_settings.h"

namespace veltrim {

class CFtpSession;

class ConnectRetryPolicy {
 public:
  ConnectRetryPolicy() : ConnectRetryPolicy(ServerSettings{}) {}
  explicit ConnectRetryPolicy(const ServerSettings& profile) { SetProfile(profile); }

  // Takes the profile's Retries and Timeout inside the profile bounds (a
  // Timeout of 0 or less counts as 1 second). The attempt number stays.
  void SetProfile(const ServerSettings& profile);

  // The number of the attempt to make now (0 for the first): Connect's argument.
  int32_t Attempt() const { return attempt_; }
  // How long one attempt may wait before the watchdog gives it up.
  std::chrono::milliseconds WatchdogPeriod() const { return std::chrono::seconds(timeoutSeconds_); }

  // The user aborted an attempt: no further attempt follows.
  void Abort() { aborted_ = true; }
  bool Aborted() const { return aborted_; }

  // After a failed attempt: true, with the attempt number one higher, when
  // another attempt follows; false when the retries are used up or the user
  // aborted.
  bool NextAttempt();
  // Back to the first attempt with the abort cleared (after a login, or
  // after giving up).
  void Reset();

 private:
  int32_t retries_ = 0;
  int32_t timeoutSeconds_ = kMinTimeoutSeconds;
  int32_t attempt_ = 0;
  bool aborted_ = false;
};

// What a blocking caller of ConnectWithRetries supplies.
struct ConnectAttemptHooks {
  // A fresh session for each attempt, configured and with its profile set.
  std::function<std::unique_ptr<CFtpSession>()> newSession;
  // Arms the watchdog of one attempt: after `period` it must call
  // session.AbandonAttempt() from the session's message pump.
  std::function<void(CFtpSession& session, std::chrono::milliseconds period)> armWatchdog;
  std::function<void()> disarmWatchdog;
  // Optional; asked before each attempt: true ends the loop (the user wants out).
  std::function<bool()> stopRequested;
};

struct ConnectOutcome {
  std::unique_ptr<CFtpSession> session;  // logged in; none when no attempt succeeded
  FailureReason failure;                 // why the last attempt failed
};

// Makes attempts under the policy until one logs in, none is left, the user
// aborts one, the application's quit request ends one, or stopRequested says
// so. Each attempt gets its own session; a failed one is destroyed before the
// next begins. The policy is Reset after a login.
ConnectOutcome ConnectWithRetries(ConnectRetryPolicy& policy, const ConnectAttemptHooks& hooks);

}  // namespace veltrim
