#include "core/ftp/ftp_connection.h"

#include "core/ftp/control_channel.h"
#include "core/ftp/data_transfer.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_file.h"
#include "core/ftp/reply_parsers.h"

namespace veltrim {

namespace {

// A directory operation's outcome: the reply decides, a refusal is a false
// result with last error 12003 (the reply stays in LastReply()).
bool Outcome(const ftp::Reply& reply) {
  if (reply.IsSuccess()) {
    SetLastInternetError(kErrorNone);
    return true;
  }
  SetLastInternetError(kErrorExtendedError);
  return false;
}

bool RefuseUnsafe(const std::string& argument) {
  if (!ftp::HasLineBreakOrNul(argument)) return false;
  SetLastInternetError(kErrorInvalidArgument);
  return true;
}

}  // namespace

CFtpConnection::CFtpConnection(std::shared_ptr<ftp::ControlChannel> channel) : channel_(std::move(channel)) {}

CFtpConnection::~CFtpConnection() { Close(); }

// Each operation works on its own reference to the channel, so the
// connection object may be destroyed by another thread while it waits.

bool CFtpConnection::SetCurrentDirectory(const std::string& path) {
  const auto channel = channel_;
  if (RefuseUnsafe(path)) return false;
  auto lock = channel->Acquire();
  const bool ok = Outcome(channel->Command("CWD " + path));
  if (ok) channel->CachedDirectory().reset();
  return ok;
}

bool CFtpConnection::GetCurrentDirectory(std::string& directory) {
  const auto channel = channel_;
  auto lock = channel->Acquire();
  const ftp::Reply reply = channel->Command("PWD");
  if (!Outcome(reply)) return false;
  const auto path = ftp::ParseDirectoryReply(reply.lines.front());
  if (!path) {
    SetLastInternetError(kErrorProtocol);
    return false;
  }
  channel->CachedDirectory() = *path;
  directory = *path;
  return true;
}

bool CFtpConnection::CreateDirectory(const std::string& path) {
  const auto channel = channel_;
  if (RefuseUnsafe(path)) return false;
  auto lock = channel->Acquire();
  return Outcome(channel->Command("MKD " + path));
}

bool CFtpConnection::RemoveDirectory(const std::string& path) {
  const auto channel = channel_;
  if (RefuseUnsafe(path)) return false;
  auto lock = channel->Acquire();
  return Outcome(channel->Command("RMD " + path));
}

bool CFtpConnection::Remove(const std::string& path) {
  const auto channel = channel_;
  if (RefuseUnsafe(path)) return false;
  auto lock = channel->Acquire();
  return Outcome(channel->Command("DELE " + path));
}

bool CFtpConnection::Rename(const std::string& from, const std::string& to) {
  const auto channel = channel_;
  if (RefuseUnsafe(from) || RefuseUnsafe(to)) return false;
  auto lock = channel->Acquire();
  const ftp::Reply first = channel->Command("RNFR " + from);
  if (first.code != 350) {
    // A 2xx here is no agreement to rename either.
    SetLastInternetError(kErrorExtendedError);
    return false;
  }
  return Outcome(channel->Command("RNTO " + to));
}

std::unique_ptr<CInternetFile> CFtpConnection::OpenFile(const std::string& name, FileAccess access,
                                                        TransferType type) {
  const auto channel = channel_;
  if (ftp::HasLineBreakOrNul(name)) {
    SetLastInternetError(kErrorInvalidArgument);
    throw CInternetException(kErrorInvalidArgument, "The file name holds a line break or NUL character.");
  }
  const bool ascii = type == TransferType::Ascii;
  const bool reading = access == FileAccess::Read;
  std::unique_ptr<ftp::DataTransfer> transfer;
  {
    auto lock = channel->Acquire();
    try {
      channel->EnsureType(ascii ? 'A' : 'I');
      transfer = ftp::DataTransfer::Open(channel, (reading ? "RETR " : "STOR ") + name,
                                         reading ? ftp::TransferDirection::Download : ftp::TransferDirection::Upload,
                                         ascii);
    } catch (const CInternetException& e) {
      SetLastInternetError(e.ErrorCode());
      throw;
    }
  }
  SetLastInternetError(kErrorNone);
  return std::make_unique<CInternetFile>(channel, std::move(transfer));
}

void CFtpConnection::Close() {
  if (channel_) channel_->Close();
}

bool CFtpConnection::IsOpen() const { return channel_ && channel_->IsOpen(); }

bool CFtpConnection::Lost() const { return channel_ && channel_->Lost(); }

std::string CFtpConnection::LastReply() const { return channel_->LastReply(); }

ServerFeatures CFtpConnection::Features() const { return channel_->Features(); }

ftp::TlsStatus CFtpConnection::Security() const { return channel_->Security(); }

}  // namespace veltrim
