#pragma once
// Shared pieces of the engine's tests: a session wired to a scripted host
// and a log, and profiles for the test servers.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/ftp_session.h"
#include "core/engine/log_sink.h"
#include "core/profile/server_settings.h"
#include "scripted_host.h"
#include "support/local_files.h"
#include "support/pyftpd_server.h"
#include "support/silent_ports.h"

namespace veltrim::test {

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

}  // namespace veltrim::test
