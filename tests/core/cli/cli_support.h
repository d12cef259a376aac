#pragma once
// Runs the real veltrimftp-cli program for the tests.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/local_files.h"
#include "support/spawn_process.h"

namespace veltrim::test {

struct CliRun {
  int status = -1;  // exit status; -1 when killed
  std::string out;
  std::string err;
};

struct CliRunOptions {
  std::string input;                      // fed to standard input, then closed
  std::filesystem::path workingDirectory; // empty: the test's own
  std::vector<std::string> environment;   // extra NAME=value entries
  int timeoutSeconds = 120;
  int interruptAfterMs = 0;               // > 0: Ctrl-C (SIGINT) after this long
};

// Closes a descriptor once.
inline void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

inline CliRun RunCli(const std::vector<std::string>& args, const CliRunOptions& options = {}) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }

  SpawnRequest request;
  request.argv = {VELTRIM_CLI_PATH};
  request.argv.insert(request.argv.end(), args.begin(), args.end());
  request.stdinFd = in[0];
  request.stdoutFd = out[1];
  request.stderrFd = err[1];
  request.extraEnvironment = options.environment;
  request.workingDirectory = options.workingDirectory;
  const pid_t pid = SpawnProcess(request);  // throws when the program cannot start
  CloseFd(in[0]);
  CloseFd(out[1]);
  CloseFd(err[1]);

  // The inputs are short: the pipe holds them whole.
  const auto size = static_cast<ssize_t>(options.input.size());
  if (size > 0 && ::write(in[1], options.input.data(), options.input.size()) != size) {
    throw std::runtime_error("write failed");
  }
  CloseFd(in[1]);
  CliRun run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  bool killed = false;
  const auto started = std::chrono::steady_clock::now();
  bool interrupted = false;
  while (out[0] >= 0 || err[0] >= 0) {
    if (options.interruptAfterMs > 0 && !interrupted &&
        std::chrono::steady_clock::now() - started > std::chrono::milliseconds(options.interruptAfterMs)) {
      ::kill(pid, SIGINT);
      interrupted = true;
    }
    if (std::chrono::steady_clock::now() > deadline && !killed) {
      ::kill(pid, SIGKILL);
      killed = true;
    }
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    if (::poll(fds, 2, 200) < 0 && errno != EINTR) break;
    char buffer[65536];
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? out[0] : err[0];
      if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        CloseFd(fd);
      }
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = (!killed && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  return run;
}

// The lines of a text without their "\n".
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace veltrim::test
