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
                                                        const std::shared_ptr<WakeSignal>& cancel) {
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
  const Reply greeting = channel->FinalReply(channel->ReadReply());  // 120: ready in a moment
  if (!greeting.IsSuccess()) {
    channel->MarkBroken(greeting.Text());
    throw CInternetException(kErrorCannotConnect, greeting.Text());
  }
  return channel;
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
  pollfd peer{socket_.Get(), POLLRDHUP, 0};
  return poll(&peer, 1, 0) > 0 && (peer.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void ControlChannel::MarkBroken(const std::string& reason) noexcept {
  {
    std::lock_guard state(stateMutex_);
    if (brokenReason_.empty()) brokenReason_ = reason;
  }
  if (broken_.exchange(true)) return;
  wake_.Fire();
  shutdown(socket_.Get(), SHUT_RDWR);
}

void ControlChannel::Close() noexcept {
  if (closed_.exchange(true)) return;
  wake_.Fire();
  // QUIT only when no operation is talking to the server; a single
  // nonblocking send, since Close must never wait on a stalled server.
  if (!broken_.load() && operationMutex_.try_lock()) {
    static const char quit[] = "QUIT\r\n";
    [[maybe_unused]] ssize_t sent = send(socket_.Get(), quit, sizeof quit - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    operationMutex_.unlock();
  }
  shutdown(socket_.Get(), SHUT_RDWR);
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
    const ssize_t sent = send(socket_.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (sent > 0) {
      done += static_cast<std::size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      switch (WaitFor(socket_.Get(), POLLOUT, wakeFds_, deadline)) {
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
    const ssize_t received = recv(socket_.Get(), chunk, sizeof chunk, 0);
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
      switch (WaitFor(socket_.Get(), POLLIN, wakeFds_, deadline)) {
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
