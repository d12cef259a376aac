// The retry and watchdog rules of connecting, for any profile numbers.
#include "core/engine/connect_retry.h"

#include <gtest/gtest.h>

namespace veltrim {
namespace {

TEST(ConnectRetryPolicy, AttemptsAndWatchdogFollowTheClampedProfile) {
  const struct {
    int32_t retries, timeout;
    int abortInAttempt;  // -1: the user never aborts
    int attempts;
    int64_t watchdogSeconds;
  } cases[] = {
      {0, 10, -1, 1, 10},  {2, 0, -1, 3, 1},          {-3, -5, -1, 1, 1},
      {2, 60, 0, 1, 60},   {500, 99999, -1, 101, 3600}, {5, 60, 2, 3, 60},
  };
  for (const auto& c : cases) {
    ServerSettings profile;
    profile.Retries = c.retries;
    profile.Timeout = c.timeout;
    ConnectRetryPolicy policy(profile);
    EXPECT_EQ(policy.WatchdogPeriod(), std::chrono::seconds(c.watchdogSeconds)) << c.timeout;
    int attempts = 0;
    do {
      EXPECT_EQ(policy.Attempt(), attempts);  // Connect's attempt number
      if (policy.Attempt() == c.abortInAttempt) policy.Abort();
      ++attempts;
    } while (policy.NextAttempt());
    EXPECT_EQ(attempts, c.attempts) << c.retries << " " << c.abortInAttempt;
    policy.Reset();
    EXPECT_EQ(policy.Attempt(), 0);
    EXPECT_FALSE(policy.Aborted());
  }
}

}  // namespace
}  // namespace veltrim
