#include "support/pyftpd_server.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
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
  if (options_.anonymous) args.push_back("--anonymous");
  if (options_.dosListing) args.push_back("--dos-listing");
  if (options_.noMlsd) args.push_back("--no-mlsd");
  if (options_.hostile) args.push_back("--hostile");
  if (options_.throttleBytesPerSecond > 0) {
    args.insert(args.end(), {"--throttle", std::to_string(options_.throttleBytesPerSecond)});
  }
  if (options_.idleTimeoutSeconds > 0) {
    args.insert(args.end(), {"--idle-timeout", std::to_string(options_.idleTimeoutSeconds)});
  }
  if (options_.maxConnectionsPerAddress > 0) {
    args.insert(args.end(), {"--max-cons-per-ip", std::to_string(options_.maxConnectionsPerAddress)});
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

void PyFtpServer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

void PyFtpServer::Stop() {
  if (stdinFd_ >= 0) {
    close(stdinFd_);
    stdinFd_ = -1;
  }
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  if (!root_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    root_.clear();
  }
  if (!certificateFolder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(certificateFolder_, ec);
    certificateFolder_.clear();
  }
}

std::string PyFtpServer::Url() const {
  std::ostringstream out;
  out << "ftp://" << options_.user << ':' << options_.password << "@127.0.0.1:" << port_;
  return out.str();
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
