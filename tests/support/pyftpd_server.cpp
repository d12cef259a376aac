#include "support/pyftpd_server.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <utility>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/local_files.h"
#include "support/spawn_process.h"

namespace veltrim::test {

namespace {

std::filesystem::path MakeTempDir(const char* prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  return std::filesystem::path(buffer.data());
}

// Reads the launcher's first line ("PORT n") within a deadline.
std::string ReadLine(int fd, int timeoutMs) {
  std::string line;
  while (true) {
    pollfd p{fd, POLLIN, 0};
    int r = poll(&p, 1, timeoutMs);
    if (r <= 0) throw std::runtime_error("pyftpdlib did not start in time");
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n <= 0) throw std::runtime_error("pyftpdlib exited before listening (is python3-pyftpdlib installed?)");
    if (c == '\n') return line;
    line.push_back(c);
  }
}

}  // namespace

PyFtpServer::PyFtpServer(PyFtpServerOptions options) : options_(std::move(options)) {
  root_ = MakeTempDir("veltrim-ftproot-");
  if (options_.tls != PyFtpServerOptions::Tls::None) {
    certificateFolder_ = MakeTempDir("veltrim-tls-");
    certificate_ = options_.certificate ? *options_.certificate
                                        : MakeTestCertificate(certificateFolder_, "server", {"localhost"});
  }
  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");

  SpawnRequest request;
  request.argv = {"/usr/bin/python3", VELTRIM_PYFTPD_LAUNCHER, "--root", root_.string(),
                  "--user", options_.user, "--password", options_.password};
  auto& args = request.argv;
  const std::pair<bool, const char*> switches[] = {
      {options_.anonymous, "--anonymous"}, {options_.noMlsd, "--no-mlsd"}, {options_.hostile, "--hostile"}};
  for (const auto& [on, name] : switches) {
    if (on) args.push_back(name);
  }
  const std::pair<int, const char*> numbers[] = {{options_.throttleBytesPerSecond, "--throttle"},
                                                 {options_.idleTimeoutSeconds, "--idle-timeout"}};
  for (const auto& [value, name] : numbers) {
    if (value > 0) args.insert(args.end(), {name, std::to_string(value)});
  }
  if (options_.tls != PyFtpServerOptions::Tls::None) {
    args.insert(args.end(), {"--tls", options_.tls == PyFtpServerOptions::Tls::Implicit ? "implicit" : "explicit",
                             "--cert", certificate_.certificateFile.string(), "--key", certificate_.keyFile.string()});
    if (!options_.tlsFault.empty()) args.insert(args.end(), {"--tls-fault", options_.tlsFault});
  }
  request.stdinFd = toChild[0];
  request.stdoutFd = fromChild[1];
  try {
    pid_ = SpawnProcess(request);
  } catch (...) {
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
    Stop();
    throw;
  }
  close(toChild[0]);
  close(fromChild[1]);
  stdinFd_ = toChild[1];
  try {
    std::string line = ReadLine(fromChild[0], 20000);
    if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("unexpected launcher output: " + line);
    port_ = static_cast<uint16_t>(std::stoi(line.substr(5)));
  } catch (...) {
    close(fromChild[0]);
    Stop();
    throw;
  }
  close(fromChild[0]);
}

PyFtpServer::~PyFtpServer() { Stop(); }

void PyFtpServer::Kill() { EndProcess(SIGKILL); }

void PyFtpServer::EndProcess(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void PyFtpServer::Stop() {
  if (stdinFd_ >= 0) close(stdinFd_);
  stdinFd_ = -1;
  EndProcess(SIGTERM);
  for (auto* folder : {&root_, &certificateFolder_}) {
    std::error_code ignored;
    if (!folder->empty()) std::filesystem::remove_all(*folder, ignored);
    folder->clear();
  }
}

std::string PyFtpServer::Url() const {
  return "ftp://" + options_.user + ":" + options_.password + "@127.0.0.1:" + std::to_string(port_);
}

std::filesystem::path PyFtpServer::WriteFile(const std::string& relative, const std::string& content) const {
  WriteLocal(root_ / relative, content);
  return root_ / relative;
}

std::string PyFtpServer::ReadFile(const std::string& relative) const { return ReadLocal(root_ / relative); }

TempDir::TempDir() : path_(MakeTempDir("veltrim-test-")) {}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace veltrim::test
