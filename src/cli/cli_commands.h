#pragma once
// The commands of veltrimftp-cli, run on a logged-in session.

#include <string>

#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "core/engine/ftp_session.h"

namespace veltrim::cli {

struct CommandOutcome {
  int status = 0;       // the program's exit status
  std::string failure;  // what failed, for the one error line
};

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

CommandOutcome RunCommand(CFtpSession& session, TerminalHost& host, const CliOptions& options,
                          const std::string& baseDirectory);

}  // namespace veltrim::cli
