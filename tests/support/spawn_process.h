#pragma once
// Starting a program from a test or a benchmark: the one posix_spawn of the
// test support (the FTP server launcher, the command-line program).
// Header-only, so that benchmarks built without the tests can include it.

#include <spawn.h>
#include <sys/types.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace veltrim::test {

struct SpawnRequest {
  std::vector<std::string> argv;                  // argv[0]: the program's path
  int stdinFd = -1;                               // -1: inherited
  int stdoutFd = -1;
  int stderrFd = -1;
  std::vector<std::string> extraEnvironment;      // NAME=value entries added to ours
  std::filesystem::path workingDirectory;         // empty: ours
};

// Returns the child's pid; throws std::runtime_error when it cannot start.
// The caller's own ends of its pipes should be close-on-exec.
inline pid_t SpawnProcess(const SpawnRequest& request) {
  std::vector<std::string> argvText = request.argv;
  std::vector<char*> argv;
  for (auto& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envText;
  for (char** e = environ; *e; ++e) envText.emplace_back(*e);
  envText.insert(envText.end(), request.extraEnvironment.begin(), request.extraEnvironment.end());
  std::vector<char*> envp;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int fds[3] = {request.stdinFd, request.stdoutFd, request.stderrFd};
  for (int target = 0; target < 3; ++target) {
    if (fds[target] >= 0) posix_spawn_file_actions_adddup2(&actions, fds[target], target);
  }
  if (!request.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, request.workingDirectory.c_str());
  }
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + argvText[0] + ": " + std::strerror(rc));
  return pid;
}

}  // namespace veltrim::test
