#pragma once
// The worker protocol's unit: a log line and the routine a worker runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/engine/ftp_session.h"
#include "core/engine/session_state.h"

namespace veltrim {

struct CFtpSession::Operation {
  // Written before the worker starts.
  std::optional<std::string> logLine;
  // Runs on the worker thread: the shared state, the operation's id (for
  // SessionState::Finish) and the main connection (null when not connected).
  std::function<void(const std::shared_ptr<engine::SessionState>&, uint64_t,
                     const std::shared_ptr<CFtpConnection>&)>
      work;
};

}  // namespace veltrim
