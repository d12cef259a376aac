#pragma once
// Directory search over one connection: MLSD when the server offers it, LIST
// otherwise. The whole listing is read by FindFile; the accessors then walk it.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/ftp/listing_parser.h"

namespace veltrim {

class CFtpConnection;

// FindFile flags and MatchesMask attributes, as the engine passes them.
inline constexpr uint32_t kFindNoCache = 0x80000000u;
inline constexpr uint32_t kAttributeDirectory = 0x10u;
inline constexpr uint32_t kAttributeNormal = 0x80u;

class CFtpFileFind {
 public:
  explicit CFtpFileFind(CFtpConnection& connection);
  ~CFtpFileFind();
  CFtpFileFind(const CFtpFileFind&) = delete;
  CFtpFileFind& operator=(const CFtpFileFind&) = delete;

  // name empty: the whole current directory; otherwise one path (the entry
  // itself, or the directory's entries when it names a directory).
  // true when at least one entry exists. Throws CInternetException when the
  // connection breaks; a listing the server refuses is simply empty.
  bool FindFile(const std::string& name = {}, uint32_t flags = kFindNoCache);
  // Moves to the next entry; false when the entry just reached is the last
  // (that entry is still valid). The first call reaches the first entry.
  bool FindNextFile();
  void Close();

  // Accessors of the entry reached by the last FindNextFile.
  std::string GetFileName() const;
  // Absolute remote path: the listed directory, "/" and the name.
  std::string GetFilePath() const;
  uint64_t GetLength() const;
  // false when the server gave no time.
  bool GetLastWriteTime(std::time_t& time) const;
  // kAttributeDirectory: a directory. kAttributeNormal: a plain file.
  // A symbolic link or a special file matches neither.
  bool MatchesMask(uint32_t attributes) const;
  bool IsDirectory() const { return MatchesMask(kAttributeDirectory); }
  const ftp::RemoteEntry& Entry() const;

 private:
  CFtpConnection& connection_;
  std::string directory_;
  std::vector<ftp::RemoteEntry> entries_;
  std::size_t next_ = 0;  // index of the entry FindNextFile reaches next
};

}  // namespace veltrim
