#pragma once
// Directory listings as the session keeps them.

#include <cstdint>
#include <ctime>
#include <deque>
#include <string>

namespace veltrim {

// One remote directory entry (also used for local entries during tree walks).
struct ListingEntry {
  std::string Name;      // entry name without directory
  std::string TypeText;  // left empty by the engine; the list view fills its own
  std::string Path;      // full path as the find operation reports it
  uint64_t Size = 0;     // bytes
  int32_t Spare = 0;     // not set by the engine; copied with the entry
  std::time_t Modified = 0;  // last write time; the time of listing when the server gives none
  bool IsDirectory = false;
  bool IsNormal = false;  // carries the normal-file attribute (a plain file)
};

// The session's last listing. Entries live in a deque so that appending (a
// new directory, an uploaded file) never moves the ones already shown: the
// list view keeps pointers to them until the next listing.
struct DirectoryListing {
  std::string Directory;        // the remote directory that was listed
  bool HasIndexFile = false;    // an entry named exactly "00_index.txt"
  bool HasMessageFile = false;  // an entry named exactly ".message"
  std::deque<ListingEntry> Entries;  // in the order the server sent them
};

}  // namespace veltrim
