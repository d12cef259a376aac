#include "core/ftp/control_channel.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "core/ftp/internet_exception.h"
#include "core/ftp/reply_parsers.h"

namespace veltrim::ftp {

namespace {
constexpr const char* kClosedText = "The connection was closed.";
}

std::shared_ptr<ControlChannel> ControlChannel::Connect(const std::string& host, uint16_t port,
                                                        std::chrono::milliseconds timeout, bool passive,
                                                        const std::shared_ptr<WakeSignal>& cancel,
                                                        const TlsOptions& tls) {
  WakeFds wake;
  if (cancel) wake.push_back(cancel->Fd());
  const auto deadline = Clock::now() + timeout;
  const auto addresses = ResolveHost(host, port, wake, deadline, timeout);
  UniqueFd socket;
  std::optional<CInternetException> lastError;
  for (const auto& address : addresses) {
    try {
      socket = ConnectTo(address, wake, deadline, timeout, "the server");
      break;
    } catch (const CInternetException& e) {
      // A deadline or a cancel ends the attempt; a refusal tries the next address.
      if (e.ErrorCode() != kErrorCannotConnect) throw;
      lastError = e;
    }
  }
  if (!socket.Valid()) {
    if (lastError) throw *lastError;
    throw CInternetException(kErrorNameNotResolved, "The host name " + host + " has no usable address.");
  }
  auto channel = std::make_shared<ControlChannel>(std::move(socket), timeout, passive, cancel);
  auto lock = channel->Acquire();
  if (tls.mode == TlsMode::Implicit) channel->StartTls(host, port, tls);
  const Reply greeting = channel->FinalReply(channel->ReadReply());  // 120: ready in a moment
  if (!greeting.IsSuccess()) {
    channel->MarkBroken(greeting.Text());
    throw CInternetException(kErrorCannotConnect, greeting.Text());
  }
  if (tls.mode == TlsMode::WhenOffered || tls.mode == TlsMode::Required) channel->NegotiateTls(host, port, tls);
  return channel;
}

void ControlChannel::NegotiateTls(const std::string& host, uint16_t port, const TlsOptions& tls) {
  const Reply reply = Command("AUTH TLS");
  if (reply.code == 234) {
    StartTls(host, port, tls);
    return;
  }
  if (tls.mode == TlsMode::Required) {
    const std::string text = "The server does not offer TLS, which this connection requires (" + reply.Text() +
                             "). Neither user name nor password was sent.";
    MarkBroken(text);
    throw CInternetException(kErrorSecureChannel, text);
  }
  std::lock_guard state(stateMutex_);
  security_.refusal = reply.Text();
}

void ControlChannel::StartTls(const std::string& host, uint16_t port, const TlsOptions& tls) {
  try {
    tls_ = std::make_shared<TlsContext>(tls.trustFile);
    if (!socket_.Handshake(*tls_, host, nullptr, wakeFds_, NextDeadline(), timeout_, "the server")) ThrowUnusable();
    peerCertificate_.reset(SSL_get1_peer_certificate(socket_.Ssl()));
    const long verdict = SSL_get_verify_result(socket_.Ssl());
    if (verdict != X509_V_OK || !peerCertificate_) {
      const PeerCertificate shown = DescribeCertificate(peerCertificate_.get(), verdict, host, port);
      if (!tls.decide || !tls.decide(shown)) {
        throw CInternetException(kErrorCertificateRefused,
                                 "The server's certificate was not accepted (SHA-256 fingerprint " +
                                     (shown.fingerprint.empty() ? std::string("unknown") : shown.fingerprint) +
                                     "): " + shown.problem + ".");
      }
    }
  } catch (const CInternetException& e) {
    MarkBroken(e.Text());
    throw;
  }
  std::lock_guard state(stateMutex_);
  security_.encrypted = true;
  security_.version = TlsVersionOf(socket_.Ssl());
  security_.cipher = TlsCipherOf(socket_.Ssl());
}

bool ControlChannel::SecureData(StreamSocket& data, const WakeFds& wake) {
  const SslSessionPtr session(SSL_get1_session(socket_.Ssl()));
  if (!data.Handshake(*tls_, std::string(), session.get(), wake, NextDeadline(), timeout_, "the data connection")) {
    return false;
  }
  // A data connection that shows another certificate is not the server's.
  const X509Ptr dataCertificate(SSL_get1_peer_certificate(data.Ssl()));
  if (!dataCertificate || X509_cmp(dataCertificate.get(), peerCertificate_.get()) != 0) {
    throw CInternetException(kErrorSecureChannel,
                             "The data connection showed another certificate than the server's.");
  }
  return true;
}

TlsStatus ControlChannel::Security() const {
  std::lock_guard state(stateMutex_);
  return security_;
}

ControlChannel::ControlChannel(UniqueFd socket, std::chrono::milliseconds timeout, bool passive,
                               std::shared_ptr<WakeSignal> cancel)
    : socket_(std::move(socket)), timeout_(timeout), passive_(passive), cancel_(std::move(cancel)) {
  wakeFds_.push_back(wake_.Fd());
  if (cancel_) wakeFds_.push_back(cancel_->Fd());
}

ControlChannel::~ControlChannel() = default;

void ControlChannel::Login(const std::string& user, const std::string& password) {
  if (HasLineBreakOrNul(user) || HasLineBreakOrNul(password)) {
    throw CInternetException(kErrorInvalidArgument, "The user name or password holds a line break or NUL character.");
  }
  auto lock = Acquire();
  const std::string accountText =
      "The server asks for an account (ACCT) after the password, which this program does not support: ";
  Reply reply = Command("USER " + user);
  if (reply.code == 331) {
    reply = Command("PASS " + password);
  }
  if (reply.code == 332) throw CInternetException(kErrorLoginFailure, accountText + reply.Text());
  if (!reply.IsSuccess()) throw CInternetException(kErrorLoginFailure, reply.Text());

  if (socket_.Secure()) {
    // Data connections go over TLS too, or the files travel in the clear.
    Command("PBSZ 0");
    const Reply prot = Command("PROT P");
    if (!prot.IsSuccess()) {
      throw CInternetException(kErrorSecureChannel,
                               "The server refuses to protect data connections with TLS: " + prot.Text());
    }
    dataProtected_ = true;
  }

  Reply feat = Command("FEAT");
  const ServerFeatures features = ParseFeatures(feat);
  {
    std::lock_guard state(stateMutex_);
    features_ = features;
  }
  // Servers that advertise UTF8 may still refuse the option; names are sent
  // as bytes either way, so the answer changes nothing.
  if (features.utf8) Command("OPTS UTF8 ON");
}

std::unique_lock<std::mutex> ControlChannel::Acquire() {
  std::unique_lock lock(operationMutex_);
  if (!IsOpen()) ThrowUnusable();
  return lock;
}

void ControlChannel::ThrowUnusable() const {
  if (closed_.load()) throw CInternetException(kErrorOperationCancelled, kClosedText);
  if (cancel_ && cancel_->Fired()) throw CInternetException(kErrorOperationCancelled, kClosedText);
  std::string reason;
  {
    std::lock_guard state(stateMutex_);
    reason = brokenReason_;
  }
  if (reason.empty()) reason = "The connection to the server was lost.";
  throw CInternetException(kErrorConnectionAborted, reason);
}

bool ControlChannel::Lost() const {
  if (closed_.load() || (cancel_ && cancel_->Fired())) return false;
  if (broken_.load()) return true;
  // An idle connection's end shows as a hang-up; unread bytes alone (a TLS
  // record, say) do not count.
  pollfd peer{socket_.Fd(), POLLRDHUP, 0};
  return poll(&peer, 1, 0) > 0 && (peer.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void ControlChannel::MarkBroken(const std::string& reason) noexcept {
  {
    std::lock_guard state(stateMutex_);
    if (brokenReason_.empty()) brokenReason_ = reason;
  }
  if (broken_.exchange(true)) return;
  wake_.Fire();
  shutdown(socket_.Fd(), SHUT_RDWR);
}

void ControlChannel::Close() noexcept {
  if (closed_.exchange(true)) return;
  wake_.Fire();
  // QUIT only when no operation is talking to the server; a single
  // nonblocking send, since Close must never wait on a stalled server.
  if (!broken_.load() && operationMutex_.try_lock()) {
    // The socket is nonblocking, so neither call waits.
    static const char quit[] = "QUIT\r\n";
    try {
      [[maybe_unused]] ssize_t sent = socket_.Send(quit, sizeof quit - 1);
      socket_.SendCloseNow();
    } catch (const CInternetException&) {
    }
    operationMutex_.unlock();
  }
  shutdown(socket_.Fd(), SHUT_RDWR);
}

void ControlChannel::Send(const std::string& command) {
  if (HasLineBreakOrNul(command)) {
    throw CInternetException(kErrorInvalidArgument, "A command argument holds a line break or NUL character.");
  }
  SendRaw(command + "\r\n");
}

void ControlChannel::SendRaw(const std::string& bytes) {
  std::size_t done = 0;
  const auto deadline = NextDeadline();
  while (done < bytes.size()) {
    if (!IsOpen()) ThrowUnusable();
    ssize_t sent;
    try {
      sent = socket_.Send(bytes.data() + done, bytes.size() - done);
    } catch (const CInternetException& e) {
      MarkBroken(e.Text());
      throw;
    }
    if (sent > 0) {
      done += static_cast<std::size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      switch (WaitFor(socket_.Fd(), socket_.WaitEvents(POLLOUT), wakeFds_, deadline)) {
        case WaitResult::Ready:
          continue;
        case WaitResult::Woken:
          ThrowUnusable();
        case WaitResult::TimedOut: {
          const std::string text = "The server accepted no command within " + DurationText(timeout_) + ".";
          MarkBroken(text);
          throw CInternetException(kErrorTimeout, text);
        }
      }
    }
    const std::string text = std::string("The connection to the server was lost: ") + std::strerror(errno);
    MarkBroken(text);
    throw CInternetException(kErrorConnectionAborted, text);
  }
}

Reply ControlChannel::ReadReply() {
  auto reply = ReadReplyUntil(NextDeadline());
  if (!reply) {
    throw CInternetException(kErrorTimeout, "The server did not reply within " + DurationText(timeout_) + ".");
  }
  return *reply;
}

std::optional<Reply> ControlChannel::ReadReplyUntil(Clock::time_point deadline) {
  char chunk[16384];
  while (true) {
    std::optional<Reply> reply;
    try {
      reply = assembler_.Next();
    } catch (const CInternetException& e) {
      MarkBroken(e.Text());
      throw;
    }
    if (reply) {
      {
        std::lock_guard state(stateMutex_);
        lastReply_ = reply->Text();
      }
      if (reply->code == 421) {
        // The server is going away; whatever was in progress has failed.
        MarkBroken(reply->Text());
        throw CInternetException(kErrorConnectionAborted, reply->Text());
      }
      return reply;
    }
    if (!IsOpen()) ThrowUnusable();
    ssize_t received;
    try {
      received = socket_.Receive(chunk, sizeof chunk);
    } catch (const CInternetException& e) {
      MarkBroken(e.Text());
      throw;
    }
    if (received > 0) {
      try {
        assembler_.Feed(std::string_view(chunk, static_cast<std::size_t>(received)));
      } catch (const CInternetException& e) {
        MarkBroken(e.Text());
        throw;
      }
      continue;
    }
    if (received == 0) {
      if (!IsOpen()) ThrowUnusable();
      const std::string text = assembler_.HasPartialData() ? "The server closed the connection in the middle of a reply."
                                                           : "The server closed the connection.";
      MarkBroken(text);
      throw CInternetException(kErrorConnectionAborted, text);
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      switch (WaitFor(socket_.Fd(), socket_.WaitEvents(POLLIN), wakeFds_, deadline)) {
        case WaitResult::Ready:
          continue;
        case WaitResult::Woken:
          ThrowUnusable();
        case WaitResult::TimedOut:
          // A late reply would answer the wrong command: the channel is done.
          MarkBroken("The server did not reply within " + DurationText(timeout_) + ".");
          return std::nullopt;
      }
    }
    if (!IsOpen()) ThrowUnusable();
    const std::string text = std::string("The connection to the server was lost: ") + std::strerror(errno);
    MarkBroken(text);
    throw CInternetException(kErrorConnectionAborted, text);
  }
}

Reply ControlChannel::Start(const std::string& command) {
  Send(command);
  return ReadReply();
}

Reply ControlChannel::Command(const std::string& command) { return FinalReply(Start(command)); }

Reply ControlChannel::FinalReply(Reply first) {
  constexpr int kMaxPreliminaryReplies = 16;
  for (int count = 0; first.IsPreliminary(); ++count) {
    if (count == kMaxPreliminaryReplies) {
      const std::string text = "The server sent only preliminary replies: " + first.Text();
      MarkBroken(text);
      throw CInternetException(kErrorProtocol, text);
    }
    first = ReadReply();
  }
  return first;
}

void ControlChannel::EnsureType(char type) {
  if (currentType_ == type) return;
  const Reply reply = Command(std::string("TYPE ") + type);
  if (!reply.IsSuccess()) throw CInternetException(kErrorExtendedError, reply.Text());
  currentType_ = type;
}

std::string ControlChannel::LastReply() const {
  std::lock_guard state(stateMutex_);
  return lastReply_;
}

ServerFeatures ControlChannel::Features() const {
  std::lock_guard state(stateMutex_);
  return features_;
}

}  // namespace veltrim::ftp
