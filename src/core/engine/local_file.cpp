#include "core/engine/local_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrim::engine {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

std::string ErrorText(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A name no other writer uses: process id, a counter and the clock.
std::string TemporaryName(const std::string& destination) {
  static std::atomic<unsigned> counter{0};
  char suffix[96];
  std::snprintf(suffix, sizeof suffix, "/.veltrim-%ld-%u-%lx.part", static_cast<long>(getpid()), counter.fetch_add(1),
                static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0xffffff));
  return DirectoryOf(destination) + suffix;
}

}  // namespace

LocalFileReader::LocalFileReader(const std::string& path) : path_(path), buffer_(kBufferSize) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw LocalFileError(ErrorText("Cannot open", path, errno));
}

LocalFileReader::~LocalFileReader() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t LocalFileReader::Read(void* buffer, std::size_t count) {
  char* out = static_cast<char*>(buffer);
  std::size_t copied = 0;
  while (copied < count) {
    if (begin_ == end_) {
      ssize_t n;
      do {
        n = ::read(fd_, buffer_.data(), buffer_.size());
      } while (n < 0 && errno == EINTR);
      if (n < 0) throw LocalFileError(ErrorText("Cannot read", path_, errno));
      if (n == 0) break;
      begin_ = 0;
      end_ = static_cast<std::size_t>(n);
    }
    const std::size_t take = std::min(count - copied, end_ - begin_);
    std::memcpy(out + copied, buffer_.data() + begin_, take);
    begin_ += take;
    copied += take;
  }
  return copied;
}

ReplacingFileWriter::ReplacingFileWriter(const std::string& destination)
    : destination_(destination), buffer_(kBufferSize) {
  for (int tries = 0; tries < 16 && fd_ < 0; ++tries) {
    temporary_ = TemporaryName(destination);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) throw LocalFileError(ErrorText("Cannot create", destination, errno));
  // A file that is replaced keeps its permissions.
  struct stat existing {};
  if (::stat(destination.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(fd_, existing.st_mode & 07777);
  }
}

ReplacingFileWriter::~ReplacingFileWriter() { Discard(); }

void ReplacingFileWriter::Flush() {
  std::size_t written = 0;
  while (written < used_) {
    const ssize_t n = ::write(fd_, buffer_.data() + written, used_ - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw LocalFileError(ErrorText("Cannot write", destination_, errno));
    }
    written += static_cast<std::size_t>(n);
  }
  used_ = 0;
}

void ReplacingFileWriter::Write(const void* data, std::size_t count) {
  if (finished_) throw LocalFileError("Cannot write " + destination_ + ": the file is closed");
  const char* in = static_cast<const char*>(data);
  while (count > 0) {
    if (used_ == buffer_.size()) Flush();
    const std::size_t take = std::min(count, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, in, take);
    used_ += take;
    in += take;
    count -= take;
  }
}

void ReplacingFileWriter::Commit() {
  if (finished_) throw LocalFileError("Cannot write " + destination_ + ": the file is closed");
  try {
    Flush();
  } catch (...) {
    Discard();
    throw;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    Discard();
    throw LocalFileError(ErrorText("Cannot write", destination_, error));
  }
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    const int error = errno;
    Discard();
    throw LocalFileError(ErrorText("Cannot replace", destination_, error));
  }
  finished_ = true;
}

void ReplacingFileWriter::Discard() noexcept {
  if (finished_) return;
  finished_ = true;
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  ::unlink(temporary_.c_str());
}

}  // namespace veltrim::engine
