#include "core/ftp/ftp_file_find.h"

#include "core/ftp/control_channel.h"
#include "core/ftp/data_transfer.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/remote_path.h"
#include "core/ftp/reply_parsers.h"

namespace veltrim {

namespace {

// A listing is text of a known kind; this bound only keeps a hostile server
// from filling memory.
constexpr std::size_t kMaxListingBytes = 256u * 1024 * 1024;

// The working directory, from the channel's cache or a PWD. Empty when the
// server will not say. The caller holds the channel lock.
std::string WorkingDirectory(ftp::ControlChannel& channel) {
  auto& cached = channel.CachedDirectory();
  if (!cached) {
    const ftp::Reply reply = channel.Command("PWD");
    if (reply.code == 257) cached = ftp::ParseDirectoryReply(reply.lines.front());
  }
  return cached.value_or(std::string());
}

// Runs LIST or MLSD; nullopt when the server refuses it.
std::optional<std::string> ReadListing(const std::shared_ptr<ftp::ControlChannel>& channel,
                                       const std::string& command) {
  std::unique_ptr<ftp::DataTransfer> transfer;
  {
    auto lock = channel->Acquire();
    try {
      transfer = ftp::DataTransfer::Open(channel, command, ftp::TransferDirection::Download, false);
    } catch (const CInternetException& e) {
      if (e.ErrorCode() != kErrorExtendedError) throw;
      return std::nullopt;
    }
  }
  std::string listing;
  char chunk[65536];
  try {
    while (true) {
      const std::size_t got = transfer->Read(chunk, sizeof chunk);
      listing.append(chunk, got);
      if (listing.size() > kMaxListingBytes) {
        throw CInternetException(kErrorProtocol, "The directory listing is larger than " +
                                                     std::to_string(kMaxListingBytes / (1024 * 1024)) + " MiB.");
      }
      if (got < sizeof chunk) break;
    }
    transfer->Finish();
  } catch (const CInternetException& e) {
    transfer->Abort();
    // A listing the server ends with an error reply is no listing at all.
    if (e.ErrorCode() == kErrorExtendedError) return std::nullopt;
    throw;
  }
  return listing;
}

}  // namespace

CFtpFileFind::CFtpFileFind(CFtpConnection& connection) : connection_(connection) {}

CFtpFileFind::~CFtpFileFind() = default;

bool CFtpFileFind::FindFile(const std::string& name, uint32_t /*flags: every search asks the server*/) {
  Close();
  const auto channel = connection_.Channel();
  if (ftp::HasLineBreakOrNul(name)) {
    SetLastInternetError(kErrorInvalidArgument);
    return false;
  }
  const bool mlsd = channel->Features().mlsd;
  std::string workingDirectory;
  std::optional<ftp::Reply> mlst;
  {
    auto lock = channel->Acquire();
    workingDirectory = WorkingDirectory(*channel);
    if (!name.empty() && mlsd) mlst = channel->Command("MLST " + name);
  }
  const std::string target =
      name.empty() ? workingDirectory
                   : (name.front() == '/' ? ftp::TrimTrailingSlashes(name) : ftp::JoinRemotePath(workingDirectory, name));

  if (mlst) {
    // One entry: "250-", " facts; path", "250 End". The path may be
    // absolute; only its last part is the entry's name.
    if (!mlst->IsSuccess()) {
      SetLastInternetError(kErrorExtendedError);
      return false;
    }
    // The fact line sits between the first and the last line; it should
    // start with a space, but some servers leave that out.
    for (std::size_t i = 1; i + 1 < mlst->lines.size(); ++i) {
      std::string_view line = mlst->lines[i];
      if (line.rfind(mlst->lines.front().substr(0, 3), 0) == 0) continue;
      if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      const std::size_t space = line.find(' ');
      if (space == std::string_view::npos) continue;
      const std::string rebuilt =
          std::string(line.substr(0, space + 1)) + ftp::RemoteBaseName(line.substr(space + 1));
      auto parsed = ftp::ParseMlsdListing(rebuilt);
      entries_.insert(entries_.end(), parsed.begin(), parsed.end());
    }
    directory_ = ftp::RemoteParent(target);
  } else {
    const auto listing = ReadListing(channel, name.empty() ? (mlsd ? "MLSD" : "LIST") : "LIST " + name);
    if (!listing) {
      SetLastInternetError(kErrorExtendedError);
      return false;
    }
    entries_ = mlsd && name.empty() ? ftp::ParseMlsdListing(*listing)
                                    : ftp::ParseListListing(*listing, std::time(nullptr));
    directory_ = target;
    // LIST of a file lists that file alone.
    if (!name.empty() && entries_.size() == 1 && entries_.front().kind != ftp::EntryKind::Directory &&
        entries_.front().name == ftp::RemoteBaseName(target)) {
      directory_ = ftp::RemoteParent(target);
    }
  }
  SetLastInternetError(entries_.empty() ? kErrorExtendedError : kErrorNone);
  return !entries_.empty();
}

bool CFtpFileFind::FindNextFile() {
  if (next_ >= entries_.size()) return false;
  ++next_;
  return next_ < entries_.size();
}

void CFtpFileFind::Close() {
  entries_.clear();
  directory_.clear();
  next_ = 0;
}

const ftp::RemoteEntry& CFtpFileFind::Entry() const {
  static const ftp::RemoteEntry kNone{};
  if (next_ == 0 || next_ > entries_.size()) return kNone;
  return entries_[next_ - 1];
}

std::string CFtpFileFind::GetFileName() const { return Entry().name; }

std::string CFtpFileFind::GetFilePath() const {
  const auto& entry = Entry();
  if (entry.name.empty()) return {};
  return ftp::JoinRemotePath(directory_.empty() ? "/" : directory_, entry.name);
}

uint64_t CFtpFileFind::GetLength() const { return Entry().size; }

bool CFtpFileFind::GetLastWriteTime(std::time_t& time) const {
  const auto& entry = Entry();
  if (!entry.modified) return false;
  time = *entry.modified;
  return true;
}

bool CFtpFileFind::MatchesMask(uint32_t attributes) const {
  if (next_ == 0 || next_ > entries_.size()) return false;
  const auto kind = Entry().kind;
  return ((attributes & kAttributeDirectory) != 0 && kind == ftp::EntryKind::Directory) ||
         ((attributes & kAttributeNormal) != 0 && kind == ftp::EntryKind::File);
}

}  // namespace veltrim
