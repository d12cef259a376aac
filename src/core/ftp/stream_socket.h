#pragma once
// A connected, nonblocking TCP socket of the FTP client, plain or with TLS on
// top. Receive and Send keep the conventions of recv() and send() (a byte
// count, 0 at the orderly end, -1 with errno EAGAIN when the caller must
// wait, or another errno), so the loops around them read the same for both
// kinds; after EAGAIN, WaitEvents says what to poll for (TLS may need to
// write in order to read). TLS faults throw CInternetException, among them a
// TLS connection that ends without the peer's close: its data may be cut short.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>

#include "core/ftp/socket_io.h"
#include "core/ftp/tls_context.h"

namespace veltrim::ftp {

class StreamSocket {
 public:
  StreamSocket() = default;
  explicit StreamSocket(UniqueFd fd) : fd_(std::move(fd)) {}

  int Fd() const { return fd_.Get(); }
  bool Valid() const { return fd_.Valid(); }
  bool Secure() const { return ssl_ != nullptr; }
  SSL* Ssl() const { return ssl_.get(); }
  void Reset();

  // The client's TLS handshake. host: checked against the certificate (and
  // sent as SNI) when not empty; resume: a session to resume, or null.
  // Returns false when a wake descriptor fired; throws on a deadline or a
  // failed handshake (what names the connection in the texts).
  bool Handshake(const TlsContext& context, const std::string& host, SSL_SESSION* resume, const WakeFds& wake,
                 Clock::time_point deadline, std::chrono::milliseconds timeout, const std::string& what);

  ssize_t Receive(void* buffer, std::size_t count);
  ssize_t Send(const void* data, std::size_t count);
  short WaitEvents(short wanted) const { return Secure() && waitEvents_ != 0 ? waitEvents_ : wanted; }

  // Sends the TLS close without waiting (Close() of another thread, the end
  // of a download). Plain sockets: nothing.
  void SendCloseNow() noexcept;
  // The end of an upload: the TLS close is sent, the sending side shut, and
  // whatever the server still sends (tickets, its own close) is read until it
  // closes, so that closing never resets a connection the server is still
  // reading. Returns false when a wake descriptor fired; a deadline ends it quietly.
  bool CloseAfterSending(const WakeFds& wake, Clock::time_point deadline);

 private:
  ssize_t TlsResult(int result, std::size_t done, bool reading);

  UniqueFd fd_;
  SslPtr ssl_;
  short waitEvents_ = 0;
};

}  // namespace veltrim::ftp
