#include "core/ftp/socket_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/ftp/internet_exception.h"
#include "core/ftp/wake_signal.h"

namespace veltrim::ftp {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void UniqueFd::Reset(int fd) {
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
}

uint16_t SocketAddress::Port() const {
  if (Family() == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
  if (Family() == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
  return 0;
}

void SocketAddress::SetPort(uint16_t port) {
  if (Family() == AF_INET) reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
  if (Family() == AF_INET6) reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
}

std::string SocketAddress::HostText() const {
  char text[INET6_ADDRSTRLEN] = {};
  if (Family() == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr, text, sizeof text);
  } else if (Family() == AF_INET6) {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr, text, sizeof text);
  }
  return text;
}

bool SocketAddress::SameHost(const SocketAddress& other) const {
  if (Family() != other.Family()) return false;
  if (Family() == AF_INET) {
    return reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr.s_addr ==
           reinterpret_cast<const sockaddr_in*>(&other.storage)->sin_addr.s_addr;
  }
  if (Family() == AF_INET6) {
    return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr,
                       &reinterpret_cast<const sockaddr_in6*>(&other.storage)->sin6_addr, sizeof(in6_addr)) == 0;
  }
  return false;
}

SocketAddress PeerAddressOf(int fd) {
  SocketAddress address;
  address.length = sizeof address.storage;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&address.storage), &address.length) != 0) {
    throw CInternetException(kErrorConnectionAborted,
                             std::string("The connection to the server was lost: ") + std::strerror(errno));
  }
  return address;
}

SocketAddress LocalAddressOf(int fd) {
  SocketAddress address;
  address.length = sizeof address.storage;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address.storage), &address.length) != 0) {
    throw CInternetException(kErrorInternal, std::string("Cannot read the local address: ") + std::strerror(errno));
  }
  return address;
}

WaitResult WaitFor(int fd, short events, const WakeFds& wake, Clock::time_point deadline) {
  pollfd fds[4];
  const std::size_t wakeCount = std::min<std::size_t>(wake.size(), 3);
  for (std::size_t i = 0; i < wakeCount; ++i) fds[i] = pollfd{wake[i], POLLIN, 0};
  fds[wakeCount] = pollfd{fd, events, 0};
  while (true) {
    const auto now = Clock::now();
    if (now >= deadline) return WaitResult::TimedOut;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    const int timeoutMs = static_cast<int>(std::min<long long>(left, 1000LL * 60 * 60));
    const int ready = poll(fds, static_cast<nfds_t>(wakeCount + 1), timeoutMs);
    if (ready < 0) {
      if (errno == EINTR) continue;
      throw CInternetException(kErrorInternal, std::string("poll failed: ") + std::strerror(errno));
    }
    for (std::size_t i = 0; i < wakeCount; ++i) {
      if (fds[i].revents != 0) return WaitResult::Woken;
    }
    if (fds[wakeCount].revents != 0) return WaitResult::Ready;
  }
}

std::string DurationText(std::chrono::milliseconds duration) {
  const long long ms = duration.count();
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03lld", ms % 1000);
    text += fraction;
    while (text.back() == '0') text.pop_back();
  }
  return text + (ms == 1000 ? " second" : " seconds");
}

namespace {

std::vector<SocketAddress> ToAddresses(const addrinfo* list) {
  std::vector<SocketAddress> addresses;
  for (const addrinfo* item = list; item != nullptr; item = item->ai_next) {
    if (item->ai_family != AF_INET && item->ai_family != AF_INET6) continue;
    if (item->ai_addrlen > sizeof(sockaddr_storage)) continue;
    SocketAddress address;
    std::memcpy(&address.storage, item->ai_addr, item->ai_addrlen);
    address.length = item->ai_addrlen;
    addresses.push_back(address);
  }
  return addresses;
}

// What a lookup thread hands back; shared so that a lookup still running when
// its caller gave up writes into memory that is still alive.
struct Lookup {
  std::mutex mutex;
  int status = 0;
  std::vector<SocketAddress> addresses;
  WakeSignal done;
};

}  // namespace

std::vector<SocketAddress> ResolveHost(const std::string& host, uint16_t port, const WakeFds& wake,
                                       Clock::time_point deadline, std::chrono::milliseconds timeout) {
  if (host.empty() || host.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    throw CInternetException(kErrorNameNotResolved, "The host name is empty or invalid.");
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  const std::string service = std::to_string(port);

  // Numeric addresses need no name service and no helper thread.
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(list, &freeaddrinfo);
    return ToAddresses(list);
  }

  // getaddrinfo cannot be interrupted, so it runs on its own thread and the
  // caller waits for it under the deadline.
  auto lookup = std::make_shared<Lookup>();
  hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
  std::thread([lookup, host, service, hints] {
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    {
      std::lock_guard lock(lookup->mutex);
      lookup->status = status;
      if (status == 0) lookup->addresses = ToAddresses(found);
    }
    if (found != nullptr) freeaddrinfo(found);
    lookup->done.Fire();
  }).detach();

  switch (WaitFor(lookup->done.Fd(), POLLIN, wake, deadline)) {
    case WaitResult::TimedOut:
      throw CInternetException(kErrorTimeout,
                               "The host name " + host + " could not be resolved within " + DurationText(timeout) + ".");
    case WaitResult::Woken:
      throw CInternetException(kErrorOperationCancelled, "The connection was closed.");
    case WaitResult::Ready:
      break;
  }
  std::lock_guard lock(lookup->mutex);
  if (lookup->status != 0 || lookup->addresses.empty()) {
    throw CInternetException(kErrorNameNotResolved, "The host name " + host + " could not be resolved: " +
                                                        (lookup->status != 0 ? gai_strerror(lookup->status)
                                                                             : "no usable address"));
  }
  return lookup->addresses;
}

void SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
    throw CInternetException(kErrorInternal, std::string("Cannot configure a socket: ") + std::strerror(errno));
  }
}

UniqueFd ConnectTo(const SocketAddress& address, const WakeFds& wake, Clock::time_point deadline,
                   std::chrono::milliseconds timeout, const std::string& what) {
  UniqueFd fd(socket(address.Family(), SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP));
  if (!fd.Valid()) {
    throw CInternetException(kErrorCannotConnect, std::string("Cannot create a socket: ") + std::strerror(errno));
  }
  const std::string target = address.Family() == AF_INET6 ? "[" + address.HostText() + "]" : address.HostText();
  const std::string name = what + " (" + target + ":" + std::to_string(address.Port()) + ")";
  int rc = connect(fd.Get(), address.Raw(), address.length);
  if (rc != 0 && errno != EINPROGRESS && errno != EINTR) {
    throw CInternetException(kErrorCannotConnect, "Cannot connect to " + name + ": " + std::strerror(errno));
  }
  if (rc != 0) {
    switch (WaitFor(fd.Get(), POLLOUT, wake, deadline)) {
      case WaitResult::TimedOut:
        throw CInternetException(kErrorTimeout,
                                 "Connecting to " + name + " did not succeed within " + DurationText(timeout) + ".");
      case WaitResult::Woken:
        throw CInternetException(kErrorOperationCancelled, "The connection was closed.");
      case WaitResult::Ready:
        break;
    }
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
      throw CInternetException(kErrorCannotConnect, "Cannot connect to " + name + ": " + std::strerror(error));
    }
  }
  const int one = 1;
  setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

UniqueFd ConnectToAny(const std::vector<SocketAddress>& addresses, const std::string& host, const WakeFds& wake,
                      Clock::time_point deadline, std::chrono::milliseconds timeout) {
  std::optional<CInternetException> lastError;
  for (const auto& address : addresses) {
    try {
      return ConnectTo(address, wake, deadline, timeout, "the server");
    } catch (const CInternetException& e) {
      if (e.ErrorCode() != kErrorCannotConnect) throw;
      lastError = e;
    }
  }
  if (lastError) throw *lastError;
  throw CInternetException(kErrorNameNotResolved, "The host name " + host + " has no usable address.");
}

}  // namespace veltrim::ftp
