#pragma once
// Shared pieces of the engine's tests: a session wired to a scripted host
// and a log, profiles for the test servers, and a server that never answers.

#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/engine/ftp_session.h"
#include "core/engine/log_sink.h"
#include "core/profile/server_settings.h"
#include "scripted_host.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {

inline std::string ReadLocal(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteLocal(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::size_t FilesIn(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

inline ServerSettings ProfileFor(uint16_t port, const std::string& user = "tester",
                                 const std::string& password = "secret") {
  ServerSettings settings;
  settings.Name = "Test";
  settings.Hostname = "127.0.0.1";
  settings.Username = user;
  settings.Password = password;
  settings.Port = port;
  settings.Timeout = 10;
  settings.Retries = 0;
  return settings;
}

struct SessionRig {
  std::shared_ptr<ScriptedHost> host = std::make_shared<ScriptedHost>();
  std::shared_ptr<SessionLogText> log = std::make_shared<SessionLogText>();
  std::unique_ptr<CFtpSession> session;

  explicit SessionRig(const ServerSettings& settings) {
    session = std::make_unique<CFtpSession>(host);
    session->SetLogSink(log);
    session->SetNetworkTimeout(std::chrono::seconds(5));
    session->SetServerSettings(settings);
  }

  // Logs in and asks for the login directory; the log is emptied afterwards
  // so that tests see only their own lines.
  bool ConnectAndReset() {
    if (!session->Connect(0)) return false;
    session->GetCurrentDirectory();
    log = std::make_shared<SessionLogText>();
    session->SetLogSink(log);
    return true;
  }

  std::vector<std::string> Lines() const { return log->Lines(); }
};

// A fresh pyftpdlib server, a session logged in to it and a local folder.
class ConnectedSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<PyFtpServer>();
    rig_ = std::make_unique<SessionRig>(ProfileFor(server_->Port()));
    ASSERT_TRUE(rig_->ConnectAndReset());
  }
  CFtpSession& Session() { return *rig_->session; }
  ScriptedHost& Host() { return *rig_->host; }
  std::filesystem::path Root() const { return server_->Root(); }
  std::string Local(const std::string& name) const { return (local_.Path() / name).string(); }

  std::unique_ptr<PyFtpServer> server_;
  std::unique_ptr<SessionRig> rig_;
  TempDir local_;
};

// Accepts TCP connections (in the kernel's backlog) and never says a word:
// a login to it waits until someone gives up.
class SilentServer {
 public:
  SilentServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 16) != 0)
      throw std::runtime_error("cannot open the silent server");
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { ::close(fd_); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  uint16_t Port() const { return port_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// A port on which nothing listens (bound, then closed again).
inline uint16_t ClosedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

}  // namespace veltrim::test
