#include "core/profile/legacy_profile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "core/profile/archive.h"
#include "core/profile/profile_file.h"

namespace veltrim {
namespace {

// Beyond this many numbered names something is wrong with the folder.
constexpr int kMaxBackupNumber = 1000;

std::filesystem::path BackupCandidate(const std::filesystem::path& file, int number) {
  // The stem of the file name only: a dot in a folder name stays where it is.
  std::string name = file.filename().stem().string();
  if (number > 0) name += "." + std::to_string(number);
  return file.parent_path() / (name + ".old");
}

bool NameTaken(const std::filesystem::path& path) {
  std::error_code error;
  // A dangling symbolic link takes the name as well.
  return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

[[noreturn]] void ThrowFileError(const char* what, const std::filesystem::path& path, int error) {
  throw std::runtime_error(std::string(what) + " \"" + path.string() + "\": " + std::strerror(error));
}

// Writes bytes to a file that must not exist yet. Returns 0, or the errno of
// the failure (EEXIST when the name is taken); a half-written file is removed.
int WriteNewFile(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);  // the old file holds a password
  if (fd < 0) return errno;
  int error = 0;
  while (!bytes.empty() && error == 0) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno != EINTR) error = errno;
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(path.c_str());
  return error;
}

std::filesystem::path WriteBackup(const std::filesystem::path& file, std::string_view bytes) {
  for (int number = 0; number <= kMaxBackupNumber; ++number) {
    const std::filesystem::path candidate = BackupCandidate(file, number);
    const int error = WriteNewFile(candidate, bytes);
    if (error == 0) return candidate;
    if (error != EEXIST) ThrowFileError("Cannot write the copy", candidate, error);
  }
  ThrowFileError("Cannot write the copy", BackupCandidate(file, 0), EEXIST);
}

}  // namespace

std::optional<ServerSettings> DecodeLegacyProfile(std::string_view bytes) {
  archive::Reader reader(bytes);
  ServerSettings profile;
  profile.ScriptFile.clear();
  profile.Retries = 1;
  profile.Timeout = 60;
  profile.Reserved = 5;
  if (!reader.ReadString()) return std::nullopt;  // not carried over
  for (std::string* field : {&profile.Name, &profile.Hostname, &profile.RemoteDir, &profile.LocalDir,
                             &profile.Username, &profile.Password}) {
    auto text = reader.ReadString();
    if (!text) return std::nullopt;
    *field = std::move(*text);
  }
  const auto port = reader.ReadUInt32();
  const auto anonymous = reader.ReadUInt32();
  const auto savePassword = reader.ReadUInt32();
  const auto connectOnOpen = reader.ReadUInt32();
  if (!port || !anonymous || !savePassword || !connectOnOpen) return std::nullopt;
  profile.Port = static_cast<int32_t>(*port);
  profile.Anonymous = *anonymous == 1;
  profile.SavePassword = *savePassword == 1;
  profile.ConnectOnOpen = *connectOnOpen == 1;
  return profile;
}

std::filesystem::path LegacyBackupPath(const std::filesystem::path& file) {
  for (int number = 0; number < kMaxBackupNumber; ++number) {
    std::filesystem::path candidate = BackupCandidate(file, number);
    if (!NameTaken(candidate)) return candidate;
  }
  return BackupCandidate(file, kMaxBackupNumber);
}

LegacyConversionResult ConvertLegacyProfileFile(const std::filesystem::path& file,
                                                const std::function<void(int)>& progress) {
  auto step = [&progress](int percent) {
    if (progress) progress(percent);
  };
  const std::string bytes = ReadProfileBytes(file);

  // Both layouts start with seven strings, so a current profile would also
  // read as an older one, with every field shifted. One that reads
  // completely in the current layout is taken as it is.
  ServerSettings current;
  if (DecodeProfile(bytes, current) == ProfileLoad::Complete) return {LegacyConversion::AlreadyCurrent, {}};
  const std::optional<ServerSettings> converted = DecodeLegacyProfile(bytes);
  if (!converted) return {LegacyConversion::Invalid, {}};

  LegacyConversionResult result{LegacyConversion::Converted, WriteBackup(file, bytes)};
  step(15);
  SaveProfileFile(file, *converted);
  step(45);
  step(100);
  return result;
}

}  // namespace veltrim
