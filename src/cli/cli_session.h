#pragma once
// Logging in from the terminal: the engine's retry loop, with the terminal
// host's timer as the watchdog.

#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "core/engine/ftp_session.h"

namespace veltrim::cli {

struct LoginResult {
  std::unique_ptr<CFtpSession> session;  // none when every attempt failed
  std::string failure;                   // why, for the error line
  std::string baseDirectory;             // where relative remote paths start
};

// Makes up to 1 + Retries attempts, each under a watchdog of Timeout seconds,
// with a fresh session per attempt. After login changes to the profile's
// RemoteDir when it has one.
LoginResult LogIn(ServerSettings settings, const CliOptions& options, const std::shared_ptr<TerminalHost>& host,
                  const std::shared_ptr<TerminalLog>& log);

}  // namespace veltrim::cli
