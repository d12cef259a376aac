#include "support/scripted_ftp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace veltrim::test {

namespace {

std::string ReplacePlaceholders(std::string text, uint16_t port) {
  const std::pair<std::string, std::string> replacements[] = {
      {"{port}", std::to_string(port)}, {"{p1}", std::to_string(port / 256)}, {"{p2}", std::to_string(port % 256)}};
  for (const auto& [from, to] : replacements) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

bool Matches(const std::string& expected, const std::string& command) {
  if (!expected.empty() && expected.back() == '*') {
    return command.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
  }
  return command == expected;
}

// A numeric address (no name service, so no lookup thread).
ftp::SocketAddress AddressOf(const std::string& host, uint16_t port) {
  const auto deadline = ftp::Clock::now() + std::chrono::seconds(1);
  return ftp::ResolveHost(host, port, {}, deadline, std::chrono::seconds(1)).front();
}

ftp::UniqueFd ListenOnLoopback(bool ipv6, uint16_t& port) {
  const ftp::SocketAddress address = AddressOf(ipv6 ? "::1" : "127.0.0.1", 0);
  ftp::UniqueFd fd(socket(address.Family(), SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  const int one = 1;
  setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(fd.Get(), address.Raw(), address.length) != 0 || listen(fd.Get(), 4) != 0) {
    throw std::runtime_error(std::string("scripted server cannot listen: ") + std::strerror(errno));
  }
  port = ftp::LocalAddressOf(fd.Get()).Port();
  return fd;
}

// Reads the next command; a missing or different one is a failure (answered
// with 500 when it came). Returns the command when it matched.
std::optional<std::string> ReadExpected(ScriptContext& context, const std::string& command) {
  bool ok = false;
  const std::string got = context.ReadCommand(&ok);
  if (ok && Matches(command, got)) return got;
  context.Fail("expected \"" + command + "\", " + (ok ? "got \"" + got + "\"" : "but the client sent nothing more"));
  if (ok) context.SendLine("500 Unexpected command.");
  return std::nullopt;
}

}  // namespace

std::string ScriptContext::ReadCommand(bool* ok) { return server_.ReadCommand(ok, false); }
void ScriptContext::SendRaw(const std::string& bytes) { server_.SendRawNow(bytes); }
void ScriptContext::Fail(const std::string& why) { server_.RecordFailure(why); }

ScriptedFtpServer::ScriptedFtpServer(bool ipv6) : ipv6_(ipv6) { listener_ = ListenOnLoopback(ipv6_, port_); }

ScriptedFtpServer::~ScriptedFtpServer() {
  stop_.Fire();
  if (thread_.joinable()) thread_.join();
}

ScriptedFtpServer& ScriptedFtpServer::SendRaw(std::string bytes) {
  return Do([bytes](ScriptContext& context) { context.SendRaw(bytes); });
}

ScriptedFtpServer& ScriptedFtpServer::Reply(std::string text) { return SendRaw(text + "\r\n"); }

ScriptedFtpServer& ScriptedFtpServer::Expect(std::string command, std::string reply) {
  return Do([command, reply](ScriptContext& context) {
    if (ReadExpected(context, command) && !reply.empty()) context.SendLine(reply);
  });
}

ScriptedFtpServer& ScriptedFtpServer::ExpectLogin(std::string user, std::string password, std::string features) {
  Expect("USER " + user, "331 Password required.");
  Expect("PASS " + password, "230 Logged in.");
  return Expect("FEAT", features);
}

ScriptedFtpServer& ScriptedFtpServer::ExpectPassive(std::string command, std::string reply) {
  return Do([this, command, reply](ScriptContext& context) {
    uint16_t port = 0;
    dataListener_ = ListenOnLoopback(ipv6_, port);
    if (ReadExpected(context, command)) context.SendLine(ReplacePlaceholders(reply, port));
  });
}

ScriptedFtpServer& ScriptedFtpServer::ExpectActive(std::string command, std::string reply) {
  return Do([this, command, reply](ScriptContext& context) {
    const std::optional<std::string> expected = ReadExpected(context, command);
    if (!expected) return;
    const std::string& got = *expected;
    // EPRT |1|127.0.0.1|4567|, EPRT |2|::1|4567|  or  PORT 127,0,0,1,17,215 (the
    // client under test always uses "|" as the EPRT delimiter)
    char host[64] = {};
    unsigned n[6] = {}, port = 0;
    if (std::sscanf(got.c_str(), "PORT %u,%u,%u,%u,%u,%u", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5]) == 6) {
      std::snprintf(host, sizeof host, "%u.%u.%u.%u", n[0], n[1], n[2], n[3]);
      port = n[4] * 256 + n[5];
    } else if (std::sscanf(got.c_str(), "EPRT |%*u|%63[^|]|%u|", host, &port) != 2) {
      port = 0;
    }
    try {
      if (port == 0 || port > 65535) throw std::runtime_error("no address");
      activeTarget_ = AddressOf(host, static_cast<uint16_t>(port));
    } catch (const std::exception&) {
      context.Fail("cannot understand the active-mode address in \"" + got + "\"");
      context.SendLine("501 Bad address.");
      return;
    }
    haveActiveTarget_ = true;
    {
      std::lock_guard lock(mutex_);
      activeTargetText_ = std::string(host) + ":" + std::to_string(port);
    }
    context.SendLine(reply);
  });
}

bool ScriptedFtpServer::OpenDataConnection() {
  if (data_.Valid()) return true;
  if (dataListener_.Valid()) {
    if (!WaitReadable(dataListener_.Get(), false)) {
      RecordFailure("the client did not open the passive data connection");
      return false;
    }
    data_ = ftp::UniqueFd(accept4(dataListener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    dataListener_.Reset();
    if (!data_.Valid()) RecordFailure("accepting the data connection failed");
    return data_.Valid();
  }
  if (haveActiveTarget_) {
    haveActiveTarget_ = false;
    try {
      data_ = ftp::ConnectTo(activeTarget_, {stop_.Fd()}, ftp::Clock::now() + stepTimeout_, stepTimeout_,
                             "the client's data port");
    } catch (const std::exception& e) {
      RecordFailure(std::string("connecting to the client's data port failed: ") + e.what());
      return false;
    }
    return true;
  }
  RecordFailure("a data connection was scripted without EPSV/PASV or EPRT/PORT before it");
  return false;
}

ScriptedFtpServer& ScriptedFtpServer::SendData(std::string bytes, DataEnd end) {
  return Do([this, bytes, end](ScriptContext&) {
    if (!OpenDataConnection()) return;
    SendAll(data_.Get(), bytes);  // a client that went away early is in its right
    if (end == DataEnd::Reset) {
      const linger reset{1, 0};
      setsockopt(data_.Get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    // KeepOpen holds the connection until the client closes it or the test ends.
    if (end == DataEnd::KeepOpen) ReadDataUntilClosed(true, false);
    data_.Reset();
  });
}

ScriptedFtpServer& ScriptedFtpServer::ReceiveData() {
  return Do([this](ScriptContext&) {
    if (OpenDataConnection()) ReadDataUntilClosed(false, true);
    data_.Reset();
  });
}

ScriptedFtpServer& ScriptedFtpServer::HoldData(std::chrono::milliseconds duration) {
  return Do([this, duration](ScriptContext&) {
    if (!OpenDataConnection()) return;
    pollfd fd{stop_.Fd(), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(duration.count()));
    data_.Reset();
  });
}

ScriptedFtpServer& ScriptedFtpServer::Stall() {
  return Do([this](ScriptContext&) {
    bool ok = true;
    while (ok) ReadCommand(&ok, true);
  });
}

ScriptedFtpServer& ScriptedFtpServer::Pause(std::chrono::milliseconds duration) {
  return Do([this, duration](ScriptContext&) {
    pollfd fd{stop_.Fd(), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(duration.count()));
  });
}

ScriptedFtpServer& ScriptedFtpServer::Drop() {
  return Do([this](ScriptContext&) {
    data_.Reset();
    dataListener_.Reset();
    control_.Reset();
  });
}

ScriptedFtpServer& ScriptedFtpServer::AcceptNextConnection() {
  return Drop().Do([this](ScriptContext&) {
    pending_.clear();
    AcceptControl();
  });
}

ScriptedFtpServer& ScriptedFtpServer::Do(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

void ScriptedFtpServer::Start() { thread_ = std::thread([this] { Run(); }); }

void ScriptedFtpServer::Run() {
  ScriptContext context(*this);
  if (AcceptControl()) {
    for (auto& step : steps_) {
      if (stop_.Fired()) break;
      step(context);
    }
  }
  {
    std::lock_guard lock(mutex_);
    scriptDone_ = true;
  }
  doneChanged_.notify_all();
  Idle();
}

void ScriptedFtpServer::Idle() {
  while (control_.Valid()) {
    bool ok = false;
    const std::string command = ReadCommand(&ok, true);
    if (!ok) break;
    if (command == "QUIT") {
      SendRawNow("221 Goodbye.\r\n");
      break;
    }
    SendRawNow("502 Command not scripted.\r\n");
  }
  control_.Reset();
}

bool ScriptedFtpServer::AcceptControl() {
  if (!WaitReadable(listener_.Get(), false)) {
    RecordFailure("the client did not connect");
    return false;
  }
  control_ = ftp::UniqueFd(accept4(listener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
  if (!control_.Valid()) RecordFailure("accepting the control connection failed");
  return control_.Valid();
}

bool ScriptedFtpServer::WaitReadable(int fd, bool untilStopped) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
  const int timeout = untilStopped ? -1 : static_cast<int>(stepTimeout_.count());
  while (true) {
    const int ready = poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || fds[1].revents != 0) return false;
    return true;
  }
}

std::string ScriptedFtpServer::ReadCommand(bool* ok, bool untilStopped) {
  if (ok) *ok = false;
  while (control_.Valid()) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(line);
      }
      if (ok) *ok = true;
      return line;
    }
    if (!WaitReadable(control_.Get(), untilStopped)) return {};
    char chunk[4096];
    const ssize_t got = recv(control_.Get(), chunk, sizeof chunk, 0);
    if (got > 0) {
      pending_.append(chunk, static_cast<std::size_t>(got));
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
      return {};
    }
  }
  return {};
}

void ScriptedFtpServer::SendRawNow(const std::string& bytes) {
  if (control_.Valid()) SendAll(control_.Get(), bytes);
}

void ScriptedFtpServer::SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd fds[2] = {{fd, POLLOUT, 0}, {stop_.Fd(), POLLIN, 0}};
      if (poll(fds, 2, static_cast<int>(stepTimeout_.count())) <= 0 || fds[1].revents != 0) return;
    } else {
      return;
    }
  }
}

void ScriptedFtpServer::ReadDataUntilClosed(bool untilStopped, bool keep) {
  char chunk[65536];
  while (WaitReadable(data_.Get(), untilStopped)) {
    const ssize_t got = recv(data_.Get(), chunk, sizeof chunk, 0);
    if (got > 0 && keep) {
      std::lock_guard lock(mutex_);
      received_.append(chunk, static_cast<std::size_t>(got));
    }
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return;
  }
}

void ScriptedFtpServer::RecordFailure(const std::string& why) {
  std::lock_guard lock(mutex_);
  failures_.push_back(why);
}

std::vector<std::string> ScriptedFtpServer::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<std::string> ScriptedFtpServer::Failures() const {
  std::lock_guard lock(mutex_);
  return failures_;
}

std::string ScriptedFtpServer::ReceivedData() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::string ScriptedFtpServer::ActiveTarget() const {
  std::lock_guard lock(mutex_);
  return activeTargetText_;
}

bool ScriptedFtpServer::WaitUntilScriptDone(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return doneChanged_.wait_for(lock, timeout, [this] { return scriptDone_; });
}

}  // namespace veltrim::test
