// veltrimftp-cli: the session engine from a terminal, for scripts, tests and
// benchmarks.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/ftp_target.h"
#include "cli/terminal_host.h"

namespace {

int FailWith(const std::string& text, int status) {
  const std::string line = "veltrimftp-cli: " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return status;
}

int Run(const std::vector<std::string>& args) {
  using namespace veltrim::cli;
  for (const auto& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::fputs(UsageText(), stdout);
      return 0;
    }
  }
  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const UsageError& error) {
    return FailWith(error.text + " (see --help)", kExitUsage);
  }
  veltrim::ServerSettings settings;
  try {
    settings = ResolveTarget(options.target);
  } catch (const TargetError& error) {
    return FailWith(error.what(), kExitUsage);
  }

  InstallInterruptHandler();
  auto out = std::make_shared<StderrWriter>(::isatty(STDERR_FILENO) == 1);
  auto log = std::make_shared<TerminalLog>(out, options.verbose);
  auto host = std::make_shared<TerminalHost>(out, options.verbose);

  LoginResult login = LogIn(settings, options, host, log);
  if (!login.session) {
    return FailWith(login.failure, Interrupted.load() ? kExitInterrupted : kExitFailure);
  }
  const CommandOutcome outcome = RunCommand(*login.session, *host, options, login.baseDirectory);
  login.session.reset();  // logs out before the program ends
  if (std::fflush(stdout) != 0 && outcome.status == 0) {
    return FailWith(std::string("cannot write to standard output: ") + std::strerror(errno), kExitFailure);
  }
  if (outcome.status != 0) return FailWith(outcome.failure, outcome.status);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return Run(args);
  } catch (const std::exception& error) {
    return FailWith(error.what(), 1);
  }
}
