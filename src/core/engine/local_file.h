#pragma once
// Local files of a transfer. Downloads are written to a temporary file beside
// the destination and renamed over it only when complete, so a transfer that
// breaks off never destroys an existing file. Both sides buffer, so the copy
// loop's small blocks cost no system call each.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim::engine {

// A local file could not be opened, read or written; what() is the text to show.
class LocalFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class LocalFileReader {
 public:
  explicit LocalFileReader(const std::string& path);  // throws LocalFileError
  ~LocalFileReader();
  LocalFileReader(const LocalFileReader&) = delete;
  LocalFileReader& operator=(const LocalFileReader&) = delete;

  // Fills buffer with count bytes unless the file ends first; throws LocalFileError.
  std::size_t Read(void* buffer, std::size_t count);

 private:
  std::string path_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

class ReplacingFileWriter {
 public:
  // Creates the temporary file beside destination; throws LocalFileError.
  explicit ReplacingFileWriter(const std::string& destination);
  ~ReplacingFileWriter();  // Discard() unless committed
  ReplacingFileWriter(const ReplacingFileWriter&) = delete;
  ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

  void Write(const void* data, std::size_t count);  // throws LocalFileError
  // Flushes, closes and renames the temporary file over the destination.
  void Commit();  // throws LocalFileError (the temporary file is then removed)
  // Removes the temporary file; the destination stays as it was. Never throws.
  void Discard() noexcept;

  const std::string& TemporaryPath() const { return temporary_; }

 private:
  void Flush();

  std::string destination_;
  std::string temporary_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  bool finished_ = false;
};

}  // namespace veltrim::engine
