#pragma once
// A small FTP server over a tree held in memory, built on the scripted
// server: listings come in exactly the order the test gives (a real server
// lists in whatever order its disk has), names can be anything a hostile
// server might send.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/scripted_ftp_server.h"

namespace veltrim::test {

class VirtualTreeServer {
 public:
  struct Node {
    bool directory = false;
    std::string content;
  };

  // Directories are created with their parents; children list in insertion order.
  void AddDirectory(const std::string& path) {
    if (path == "/" || nodes_.count(path)) return;
    AddDirectory(Parent(path));
    nodes_[path].directory = true;
    children_[Parent(path)].push_back(Base(path));
  }
  void AddFile(const std::string& path, std::string content) {
    AddDirectory(Parent(path));
    nodes_[path].content = std::move(content);
    children_[Parent(path)].push_back(Base(path));
  }
  // A raw LIST line in a directory's listing, as a hostile server might send it.
  void AddRawListLine(const std::string& directory, const std::string& line) { rawLines_[directory].push_back(line); }

  // LIST answers only after this long (a slow server).
  void SetListDelay(std::chrono::milliseconds delay) { listDelay_ = delay; }

  VirtualTreeServer() : server_(std::make_unique<ScriptedFtpServer>()) {}
  ~VirtualTreeServer() {
    server_.reset();  // stops the serving thread before the tree goes
    if (dataListener_ >= 0) ::close(dataListener_);
  }
  VirtualTreeServer(const VirtualTreeServer&) = delete;
  VirtualTreeServer& operator=(const VirtualTreeServer&) = delete;

  // Starts serving with the login "u" / "p" (no MLSD: listings come through LIST).
  void Start() {
    server_->SetStepTimeout(std::chrono::seconds(5));
    server_->Greet().ExpectLogin("u", "p").Do([this](ScriptContext& context) { Serve(context); });
    server_->Start();
  }
  uint16_t Port() const { return server_->Port(); }
  std::vector<std::string> Commands() const { return server_->Commands(); }

 private:
  static std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
  }
  static std::string Base(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  std::string Resolve(const std::string& path) const {
    if (path.empty()) return cwd_;
    std::string full = path.front() == '/' ? path : (cwd_ == "/" ? "/" : cwd_ + "/") + path;
    while (full.size() > 1 && full.back() == '/') full.pop_back();
    return full;
  }

  int OpenDataListener(uint16_t& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 1);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
  }
  int AcceptData() {
    pollfd p{dataListener_, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) return -1;
    return ::accept4(dataListener_, nullptr, nullptr, SOCK_CLOEXEC);
  }
  static void SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }
  std::string ListingOf(const std::string& directory) {
    std::string text;
    for (const std::string& name : children_[directory]) {
      const Node& node = nodes_[directory == "/" ? "/" + name : directory + "/" + name];
      text += std::string(node.directory ? "drwxr-xr-x" : "-rw-r--r--") + " 1 owner group " +
              std::to_string(node.content.size()) + " Jan 01  2026 " + name + "\r\n";
    }
    for (const std::string& line : rawLines_[directory]) text += line + "\r\n";
    return text;
  }

  void Serve(ScriptContext& context) {
    for (;;) {
      bool ok = false;
      const std::string command = context.ReadCommand(&ok);
      if (!ok) return;
      const std::size_t space = command.find(' ');
      const std::string verb = command.substr(0, space);
      const std::string argument = space == std::string::npos ? "" : command.substr(space + 1);
      if (verb == "QUIT") {
        context.SendLine("221 Goodbye.");
        return;
      } else if (verb == "PWD") {
        context.SendLine("257 \"" + cwd_ + "\" is the current directory.");
      } else if (verb == "CWD") {
        const std::string target = Resolve(argument);
        if (target == "/" || (nodes_.count(target) && nodes_[target].directory)) {
          cwd_ = target;
          context.SendLine("250 OK.");
        } else {
          context.SendLine("550 No such directory.");
        }
      } else if (verb == "TYPE") {
        context.SendLine("200 Type set.");
      } else if (verb == "EPSV") {
        if (dataListener_ >= 0) ::close(dataListener_);
        uint16_t port = 0;
        dataListener_ = OpenDataListener(port);
        context.SendLine("229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|)");
      } else if (verb == "LIST") {
        const std::string target = Resolve(argument);
        if (listDelay_.count() > 0) std::this_thread::sleep_for(listDelay_);
        context.SendLine("150 Here comes the listing.");
        const int data = AcceptData();
        if (data >= 0) {
          SendAll(data, ListingOf(target));
          ::close(data);
        }
        context.SendLine("226 Done.");
      } else if (verb == "RETR") {
        const std::string target = Resolve(argument);
        if (!nodes_.count(target) || nodes_[target].directory) {
          context.SendLine("550 No such file.");
          continue;
        }
        const Node& node = nodes_[target];
        context.SendLine("150 Sending.");
        const int data = AcceptData();
        if (data < 0) continue;
        SendAll(data, node.content);
        ::close(data);
        context.SendLine("226 Done.");
      } else if (verb == "ABOR") {
        context.SendLine("226 Aborted.");
      } else if (verb == "NOOP") {
        context.SendLine("200 OK.");
      } else {
        context.SendLine("502 Not here.");
      }
    }
  }

  std::unique_ptr<ScriptedFtpServer> server_;
  std::chrono::milliseconds listDelay_{0};
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::vector<std::string>> children_;
  std::map<std::string, std::vector<std::string>> rawLines_;
  std::string cwd_ = "/";
  int dataListener_ = -1;
};

}  // namespace veltrim::test
