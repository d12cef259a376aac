#include "core/profile/profile_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "core/profile/archive.h"

namespace veltrim {
namespace {

// The strings in file order: the credentials come before the directories.
std::array<std::string ServerSettings::*, 7> StringFieldsInFileOrder() {
  return {&ServerSettings::Name,      &ServerSettings::Hostname, &ServerSettings::Username,
          &ServerSettings::Password,  &ServerSettings::RemoteDir, &ServerSettings::LocalDir,
          &ServerSettings::ScriptFile};
}

std::array<int32_t ServerSettings::*, 4> IntegerFieldsInFileOrder() {
  return {&ServerSettings::Retries, &ServerSettings::Timeout, &ServerSettings::Port, &ServerSettings::Reserved};
}

std::array<bool ServerSettings::*, 3> FlagFieldsInFileOrder() {
  return {&ServerSettings::Anonymous, &ServerSettings::ConnectOnOpen, &ServerSettings::SavePassword};
}

// A profile is a few hundred bytes; anything beyond this is not a profile,
// and reading it whole would only waste memory.
constexpr std::size_t kMaxProfileFileSize = 64u << 20;

[[noreturn]] void ThrowFileError(const char* what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path.string() + "\": " + std::strerror(error));
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  int Close() {
    const int result = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string EncodeProfile(const ServerSettings& settings) {
  std::string out;
  for (auto field : StringFieldsInFileOrder()) archive::AppendString(out, settings.*field);
  for (auto field : IntegerFieldsInFileOrder()) archive::AppendInt32(out, static_cast<uint32_t>(settings.*field));
  for (auto field : FlagFieldsInFileOrder()) archive::AppendInt32(out, settings.*field ? 1u : 0u);
  return out;
}

ProfileLoad DecodeProfile(std::string_view bytes, ServerSettings& target) {
  archive::Reader reader(bytes);
  for (auto field : StringFieldsInFileOrder()) {
    auto text = reader.ReadString();
    if (!text) return ProfileLoad::Incomplete;
    target.*field = std::move(*text);
  }
  for (auto field : IntegerFieldsInFileOrder()) {
    const auto value = reader.ReadUInt32();
    if (!value) return ProfileLoad::Incomplete;
    target.*field = static_cast<int32_t>(*value);
  }
  // Flags change only once the whole profile has been read.
  std::array<uint32_t, 3> flags{};
  for (auto& flag : flags) {
    const auto value = reader.ReadUInt32();
    if (!value) return ProfileLoad::Incomplete;
    flag = *value;
  }
  const auto flagFields = FlagFieldsInFileOrder();
  for (std::size_t i = 0; i < flags.size(); ++i) target.*flagFields[i] = flags[i] == 1;
  return ProfileLoad::Complete;
}

void SaveProfileFile(const std::filesystem::path& path, const ServerSettings& settings) {
  const std::string bytes = EncodeProfile(settings);
  // A temporary file beside the target, so that the final rename stays on one
  // file system and the old profile survives any failure before it.
  const std::filesystem::path directory = path.has_parent_path() ? path.parent_path() : ".";
  std::string temporary = (directory / ("." + path.filename().string() + ".XXXXXX")).string();
  FileDescriptor fd(::mkstemp(temporary.data()));  // created with permissions 0600
  if (fd.Get() < 0) ThrowFileError("Cannot create a file beside", path, errno);

  int error = 0;
  if (::fchmod(fd.Get(), S_IRUSR | S_IWUSR) != 0 || !WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0) {
    error = errno;
  }
  if (fd.Close() != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    ThrowFileError("Cannot write", path, error);
  }
  // Make the rename itself durable; a failure here loses nothing already written.
  FileDescriptor folder(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
}

std::string ReadProfileBytes(const std::filesystem::path& path) {
  // Non-blocking open so that a named pipe cannot hang the caller.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) ThrowFileError("Cannot open", path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) ThrowFileError("Cannot open", path, errno);
  if (!S_ISREG(info.st_mode)) ThrowFileError("Cannot open", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);

  std::string bytes;
  char buffer[8192];
  while (bytes.size() < kMaxProfileFileSize) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // a read error ends the input like the end of the file does
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

ProfileLoad LoadProfileFile(const std::filesystem::path& path, ServerSettings& target) {
  return DecodeProfile(ReadProfileBytes(path), target);
}

}  // namespace veltrim
