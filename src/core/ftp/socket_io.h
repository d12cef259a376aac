#pragma once
// POSIX socket plumbing for the FTP client: an owning descriptor, socket
// addresses, and waits that always end — at a deadline, or as soon as one of
// the given wake-up descriptors fires.

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace veltrim::ftp {

using Clock = std::chrono::steady_clock;

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1);

 private:
  int fd_ = -1;
};

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int Family() const { return storage.ss_family; }
  uint16_t Port() const;
  void SetPort(uint16_t port);
  // Numeric host text: "127.0.0.1" or "::1".
  std::string HostText() const;
  bool SameHost(const SocketAddress& other) const;
  const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

SocketAddress PeerAddressOf(int fd);
SocketAddress LocalAddressOf(int fd);

// The wake-up descriptors a wait watches besides its socket.
using WakeFds = std::vector<int>;

enum class WaitResult { Ready, TimedOut, Woken };

// Waits until fd has one of events (POLLIN/POLLOUT; errors and hang-ups count
// as ready so that the next call reports them), a wake descriptor is readable,
// or the deadline passes. A wake-up wins over readiness.
WaitResult WaitFor(int fd, short events, const WakeFds& wake, Clock::time_point deadline);

// "1 second", "2.5 seconds": for texts that name a deadline.
std::string DurationText(std::chrono::milliseconds duration);

// Resolves host (IPv4 or IPv6) under the deadline. Throws CInternetException.
std::vector<SocketAddress> ResolveHost(const std::string& host, uint16_t port, const WakeFds& wake,
                                       Clock::time_point deadline, std::chrono::milliseconds timeout);

// A nonblocking TCP connection to address. Throws CInternetException; what
// names the connection in the texts ("the server", "the data connection").
UniqueFd ConnectTo(const SocketAddress& address, const WakeFds& wake, Clock::time_point deadline,
                   std::chrono::milliseconds timeout, const std::string& what);

// A connection to the first of host's addresses that takes one, in the order
// given: a name often resolves to an IPv6 address first while the server
// listens on IPv4 only. A refusal tries the next address; a deadline or a
// cancel ends the attempt. Throws the last refusal when none took it.
UniqueFd ConnectToAny(const std::vector<SocketAddress>& addresses, const std::string& host, const WakeFds& wake,
                      Clock::time_point deadline, std::chrono::milliseconds timeout);

void SetNonBlocking(int fd);

}  // namespace veltrim::ftp
