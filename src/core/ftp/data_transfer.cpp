#include "core/ftp/data_transfer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/ftp/control_channel.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/reply_parsers.h"

namespace veltrim::ftp {

namespace {

// Data connections always go to the host we hold the control connection
// with: a passive reply naming another host cannot send us to a third party.
UniqueFd ConnectPassive(ControlChannel& channel, uint16_t port) {
  SocketAddress peer = PeerAddressOf(channel.Fd());
  peer.SetPort(port);
  return ConnectTo(peer, channel.WakeDescriptors(), channel.NextDeadline(), channel.Timeout(), "the data connection");
}

UniqueFd TryPassive(ControlChannel& channel, std::string& lastRefusal) {
  auto& refused = channel.Refused();
  if (!refused.epsv) {
    const Reply reply = channel.Command("EPSV");
    const auto port = reply.code == 229 ? ParseExtendedPassivePort(reply.lines.front()) : std::nullopt;
    if (port) return ConnectPassive(channel, *port);
    lastRefusal = reply.Text();
    // 5xx: not supported, remembered; 4xx: a passing trouble, asked again next time.
    if (reply.code >= 500) refused.epsv = true;
  }
  if (!refused.pasv) {
    const Reply reply = channel.Command("PASV");
    const auto port = reply.code == 227 ? ParsePassivePort(reply.lines.front()) : std::nullopt;
    if (port) return ConnectPassive(channel, *port);
    lastRefusal = reply.Text();
    if (reply.code >= 500) refused.pasv = true;
  }
  return UniqueFd();
}

// A listening socket on the control connection's local address, announced
// with EPRT or PORT.
UniqueFd ListenActive(ControlChannel& channel, std::string& lastRefusal) {
  SocketAddress local = LocalAddressOf(channel.Fd());
  local.SetPort(0);
  UniqueFd listener(socket(local.Family(), SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP));
  if (!listener.Valid() || bind(listener.Get(), local.Raw(), local.length) != 0 || listen(listener.Get(), 1) != 0) {
    throw CInternetException(kErrorCannotConnect,
                             std::string("Cannot open a port for the data connection: ") + std::strerror(errno));
  }
  const SocketAddress bound = LocalAddressOf(listener.Get());
  auto& refused = channel.Refused();
  if (!refused.eprt) {
    const std::string family = bound.Family() == AF_INET6 ? "2" : "1";
    const Reply reply =
        channel.Command("EPRT |" + family + "|" + bound.HostText() + "|" + std::to_string(bound.Port()) + "|");
    if (reply.IsSuccess()) return listener;
    lastRefusal = reply.Text();
    if (reply.code >= 500) refused.eprt = true;
  }
  if (!refused.port && bound.Family() == AF_INET) {
    std::string host = bound.HostText();
    std::replace(host.begin(), host.end(), '.', ',');
    const Reply reply = channel.Command("PORT " + host + "," + std::to_string(bound.Port() / 256) + "," +
                                        std::to_string(bound.Port() % 256));
    if (reply.IsSuccess()) return listener;
    lastRefusal = reply.Text();
    if (reply.code >= 500) refused.port = true;
  }
  throw CInternetException(kErrorExtendedError,
                           lastRefusal.empty() ? "The server refused every kind of data connection." : lastRefusal);
}

UniqueFd AcceptActive(ControlChannel& channel, const UniqueFd& listener) {
  const SocketAddress server = PeerAddressOf(channel.Fd());
  const auto deadline = channel.NextDeadline();
  while (true) {
    switch (WaitFor(listener.Get(), POLLIN, channel.WakeDescriptors(), deadline)) {
      case WaitResult::Ready:
        break;
      case WaitResult::Woken:
        channel.ThrowUnusable();
      case WaitResult::TimedOut: {
        const std::string text =
            "The server did not open the data connection within " + DurationText(channel.Timeout()) + ".";
        // Its late reply to the transfer command would answer the next one.
        channel.MarkBroken(text);
        throw CInternetException(kErrorTimeout, text);
      }
    }
    SocketAddress peer;
    peer.length = sizeof peer.storage;
    UniqueFd data(accept4(listener.Get(), reinterpret_cast<sockaddr*>(&peer.storage), &peer.length,
                          SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!data.Valid()) continue;  // the connection went away again, or EAGAIN
    if (peer.SameHost(server)) return data;
    // Someone other than the server: not our data. Keep waiting.
  }
}

}  // namespace

std::unique_ptr<DataTransfer> DataTransfer::Open(const std::shared_ptr<ControlChannel>& channel,
                                                 const std::string& command, TransferDirection direction,
                                                 bool ascii) {
  if (HasLineBreakOrNul(command)) {
    throw CInternetException(kErrorInvalidArgument, "A file name holds a line break or NUL character.");
  }
  std::string lastRefusal;
  UniqueFd data;
  UniqueFd listener;
  if (channel->PassiveAllowed()) data = TryPassive(*channel, lastRefusal);
  if (!data.Valid()) listener = ListenActive(*channel, lastRefusal);

  const Reply reply = channel->Start(command);
  bool completed = false;
  if (reply.IsSuccess()) {
    completed = true;  // some servers skip the 1xx for a transfer done at once
  } else if (!reply.IsPreliminary()) {
    throw CInternetException(kErrorExtendedError, reply.Text());
  }
  if (listener.Valid() && !completed) data = AcceptActive(*channel, listener);
  StreamSocket stream(std::move(data));
  if (channel->DataProtected() && stream.Valid()) {
    try {
      if (!channel->SecureData(stream, channel->WakeDescriptors())) channel->ThrowUnusable();
    } catch (const CInternetException& e) {
      // The server has answered the transfer command and will end it on its
      // own; that reply would answer the next command.
      channel->MarkBroken(e.Text());
      throw;
    }
  }
  return std::make_unique<DataTransfer>(channel, std::move(stream), direction, ascii, completed);
}

DataTransfer::DataTransfer(std::shared_ptr<ControlChannel> channel, StreamSocket socket, TransferDirection direction,
                           bool ascii, bool completed)
    : channel_(std::move(channel)),
      socket_(std::move(socket)),
      direction_(direction),
      ascii_(ascii),
      completed_(completed),
      buffer_(kBufferSize + 1) {
  wakeFds_ = channel_->WakeDescriptors();
  wakeFds_.push_back(interrupt_.Fd());
  if (ascii_ && direction_ == TransferDirection::Download) raw_.resize(kBufferSize);
}

DataTransfer::~DataTransfer() = default;

void DataTransfer::ThrowWoken() const {
  if (interrupt_.Fired()) throw CInternetException(kErrorOperationCancelled, "The transfer was aborted.");
  channel_->ThrowUnusable();
}

void DataTransfer::CheckNotStopped() const {
  if (interrupt_.Fired() || !channel_->IsOpen()) ThrowWoken();
}

std::size_t DataTransfer::Read(void* buffer, std::size_t count) {
  if (direction_ != TransferDirection::Download) {
    throw CInternetException(kErrorInvalidArgument, "The remote file is open for writing, not for reading.");
  }
  char* out = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    if (begin_ == end_ && !Fill()) break;
    const std::size_t take = std::min(count - total, end_ - begin_);
    std::memcpy(out + total, buffer_.data() + begin_, take);
    begin_ += take;
    total += take;
  }
  return total;
}

bool DataTransfer::Fill() {
  begin_ = end_ = 0;
  if (eof_) return false;
  if (!socket_.Valid()) {
    eof_ = true;
    return false;
  }
  char* target = ascii_ ? raw_.data() : buffer_.data();
  while (true) {
    CheckNotStopped();
    const ssize_t received = socket_.Receive(target, kBufferSize);
    if (received > 0) {
      if (!ascii_) {
        end_ = static_cast<std::size_t>(received);
        return true;
      }
      end_ = decoder_.Decode(raw_.data(), static_cast<std::size_t>(received), buffer_.data());
      if (end_ > 0) return true;
      continue;  // a lone CR held back
    }
    if (received == 0) {
      eof_ = true;
      if (ascii_) end_ = decoder_.Finish(buffer_.data());
      return end_ > 0;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      switch (WaitFor(socket_.Fd(), socket_.WaitEvents(POLLIN), wakeFds_, channel_->NextDeadline())) {
        case WaitResult::Ready:
          continue;
        case WaitResult::Woken:
          ThrowWoken();
        case WaitResult::TimedOut:
          throw CInternetException(kErrorTimeout, "No data arrived on the data connection for " +
                                                      DurationText(channel_->Timeout()) + ".");
      }
    }
    throw CInternetException(kErrorConnectionAborted,
                             std::string("The data connection was lost: ") + std::strerror(errno));
  }
}

void DataTransfer::Write(const void* buffer, std::size_t count) {
  const char* in = static_cast<const char*>(buffer);
  if (direction_ != TransferDirection::Upload) {
    throw CInternetException(kErrorInvalidArgument, "The remote file is open for reading, not for writing.");
  }
  if (!socket_.Valid()) {
    throw CInternetException(kErrorConnectionAborted, "The server ended the transfer before the data was sent.");
  }
  while (count > 0) {
    if (ascii_) {
      const std::size_t room = (kBufferSize - end_) / 2;
      if (room == 0) {
        Flush();
        continue;
      }
      const std::size_t take = std::min(room, count);
      end_ += EncodeCrLf(in, take, buffer_.data() + end_);
      in += take;
      count -= take;
    } else {
      const std::size_t take = std::min(kBufferSize - end_, count);
      std::memcpy(buffer_.data() + end_, in, take);
      end_ += take;
      in += take;
      count -= take;
      if (end_ == kBufferSize) Flush();
    }
  }
}

void DataTransfer::Flush() {
  std::size_t done = 0;
  while (done < end_) {
    CheckNotStopped();
    const ssize_t sent = socket_.Send(buffer_.data() + done, end_ - done);
    if (sent > 0) {
      done += static_cast<std::size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      switch (WaitFor(socket_.Fd(), socket_.WaitEvents(POLLOUT), wakeFds_, channel_->NextDeadline())) {
        case WaitResult::Ready:
          continue;
        case WaitResult::Woken:
          ThrowWoken();
        case WaitResult::TimedOut:
          throw CInternetException(kErrorTimeout, "The server accepted no data on the data connection for " +
                                                      DurationText(channel_->Timeout()) + ".");
      }
    }
    throw CInternetException(kErrorConnectionAborted,
                             std::string("The data connection was lost: ") + std::strerror(errno));
  }
  end_ = 0;
}

void DataTransfer::Finish() {
  if (direction_ == TransferDirection::Upload && socket_.Valid()) {
    Flush();
    if (!socket_.CloseAfterSending(wakeFds_, channel_->NextDeadline())) ThrowWoken();
  } else {
    socket_.SendCloseNow();
  }
  socket_.Reset();
  if (completed_) return;
  completed_ = true;
  auto lock = channel_->Acquire();
  const Reply reply = channel_->FinalReply(channel_->ReadReply());
  if (reply.IsFailure()) throw CInternetException(kErrorExtendedError, reply.Text());
}

void DataTransfer::Abort() noexcept {
  if (socket_.Valid()) {
    if (direction_ == TransferDirection::Download) {
      // Reset rather than close politely: the server stops sending at once.
      const linger reset{1, 0};
      setsockopt(socket_.Fd(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    socket_.Reset();
  }
  if (completed_) return;
  completed_ = true;
  try {
    auto lock = channel_->Acquire();
    // Depending on how far the transfer got, the server answers ABOR with
    // 426 + 226, 226, or 225, possibly after the transfer's own completion
    // reply. The NOOP behind it marks the end of that sequence: everything
    // before its 200 belongs to the aborted transfer.
    channel_->Send("ABOR");
    channel_->Send("NOOP");
    const auto deadline = channel_->NextDeadline();
    while (true) {
      const auto reply = channel_->ReadReplyUntil(deadline);
      if (!reply || reply->code == 200) break;
    }
  } catch (const CInternetException&) {
    // The channel reports itself unusable to the next operation.
  } catch (const std::exception&) {
  }
}

}  // namespace veltrim::ftp
