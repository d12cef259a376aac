#include "core/ftp/stream_socket.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "core/ftp/internet_exception.h"

namespace veltrim::ftp {

namespace {

constexpr const char* kCutShortText =
    "The connection ended without the server's TLS close: what it sent may be incomplete.";

bool IsIpAddress(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

void StreamSocket::Reset() {
  ssl_.reset();
  fd_.Reset();
  waitEvents_ = 0;
}

bool StreamSocket::Handshake(const TlsContext& context, const std::string& host, SSL_SESSION* resume,
                             const WakeFds& wake, Clock::time_point deadline, std::chrono::milliseconds timeout,
                             const std::string& what) {
  ssl_.reset(SSL_new(context.Get()));
  if (!ssl_ || SSL_set_fd(ssl_.get(), fd_.Get()) != 1) {
    throw CInternetException(kErrorSecureChannel, TlsErrorText("TLS cannot be set up."));
  }
  if (!host.empty()) {
    if (IsIpAddress(host)) {
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), host.c_str());
    } else {
      SSL_set_tlsext_host_name(ssl_.get(), host.c_str());
      SSL_set1_host(ssl_.get(), host.c_str());
    }
  }
  if (resume != nullptr) SSL_set_session(ssl_.get(), resume);
  while (true) {
    ERR_clear_error();
    const int result = SSL_connect(ssl_.get());
    if (result == 1) return true;
    const int error = SSL_get_error(ssl_.get(), result);
    short events = 0;
    if (error == SSL_ERROR_WANT_READ) events = POLLIN;
    if (error == SSL_ERROR_WANT_WRITE) events = POLLOUT;
    if (events == 0) {
      const std::string fallback = error == SSL_ERROR_SYSCALL ? "the connection was closed" : "unknown failure";
      throw CInternetException(kErrorSecureChannel,
                               "The TLS handshake with " + what + " failed: " + TlsErrorText(fallback) + ".");
    }
    switch (WaitFor(fd_.Get(), events, wake, deadline)) {
      case WaitResult::Ready:
        continue;
      case WaitResult::Woken:
        return false;
      case WaitResult::TimedOut:
        throw CInternetException(kErrorTimeout, "The TLS handshake with " + what + " did not finish within " +
                                                    DurationText(timeout) + ".");
    }
  }
}

ssize_t StreamSocket::TlsResult(int result, std::size_t done, bool reading) {
  if (result == 1) {
    waitEvents_ = 0;
    return static_cast<ssize_t>(done);
  }
  const int savedErrno = errno;
  switch (SSL_get_error(ssl_.get(), result)) {
    case SSL_ERROR_ZERO_RETURN:  // the peer's TLS close
      if (reading) return 0;
      errno = EPIPE;
      return -1;
    case SSL_ERROR_WANT_READ:
      waitEvents_ = POLLIN;
      errno = EAGAIN;
      return -1;
    case SSL_ERROR_WANT_WRITE:
      waitEvents_ = POLLOUT;
      errno = EAGAIN;
      return -1;
    case SSL_ERROR_SYSCALL:
      ERR_clear_error();
      if (savedErrno != 0) {
        errno = savedErrno;
        return -1;
      }
      throw CInternetException(kErrorSecureChannel, kCutShortText);
    default: {
      if (ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        ERR_clear_error();
        throw CInternetException(kErrorSecureChannel, kCutShortText);
      }
      throw CInternetException(kErrorSecureChannel, "TLS failed: " + TlsErrorText("unknown failure") + ".");
    }
  }
}

ssize_t StreamSocket::Receive(void* buffer, std::size_t count) {
  if (!ssl_) return recv(fd_.Get(), buffer, count, 0);
  std::size_t done = 0;
  ERR_clear_error();
  errno = 0;
  const int result = SSL_read_ex(ssl_.get(), buffer, count, &done);
  return TlsResult(result, done, true);
}

ssize_t StreamSocket::Send(const void* data, std::size_t count) {
  if (!ssl_) return send(fd_.Get(), data, count, MSG_NOSIGNAL);
  std::size_t done = 0;
  ERR_clear_error();
  errno = 0;
  const int result = SSL_write_ex(ssl_.get(), data, count, &done);
  return TlsResult(result, done, false);
}

void StreamSocket::SendCloseNow() noexcept {
  if (!ssl_) return;
  ERR_clear_error();
  SSL_shutdown(ssl_.get());
  ERR_clear_error();
}

bool StreamSocket::CloseAfterSending(const WakeFds& wake, Clock::time_point deadline) {
  if (!ssl_) return true;
  while (true) {
    ERR_clear_error();
    const int result = SSL_shutdown(ssl_.get());
    if (result >= 0) break;  // our close is out (0), or both are (1)
    const int error = SSL_get_error(ssl_.get(), result);
    if (error != SSL_ERROR_WANT_WRITE && error != SSL_ERROR_WANT_READ) {
      ERR_clear_error();
      return true;
    }
    const short events = error == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN;
    const WaitResult waited = WaitFor(fd_.Get(), events, wake, deadline);
    if (waited == WaitResult::Woken) return false;
    if (waited == WaitResult::TimedOut) return true;
  }
  shutdown(fd_.Get(), SHUT_WR);
  char sink[4096];
  while (true) {
    const ssize_t got = recv(fd_.Get(), sink, sizeof sink, 0);
    if (got == 0) return true;
    if (got > 0 || errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return true;
    const WaitResult waited = WaitFor(fd_.Get(), POLLIN, wake, deadline);
    if (waited == WaitResult::Woken) return false;
    if (waited == WaitResult::TimedOut) return true;
  }
}

}  // namespace veltrim::ftp
