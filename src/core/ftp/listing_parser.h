#pragma once
// Directory listing parsers: pure functions over the bytes a server sends,
// testable without a socket. A line that parses as nothing is skipped; names
// holding "/" or NUL, and "." and "..", are dropped.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim::ftp {

enum class EntryKind { File, Directory, Link, Other };

struct RemoteEntry {
  std::string name;
  EntryKind kind = EntryKind::File;
  uint64_t size = 0;
  std::optional<std::time_t> modified;  // seconds since the epoch, UTC
  std::string linkTarget;               // for links, when the listing names it

  bool operator==(const RemoteEntry&) const = default;
};

// MLSD / MLST fact lines ("type=file;size=12;modify=20261206182100; name").
// cdir and pdir entries are skipped; modify is UTC.
std::vector<RemoteEntry> ParseMlsdListing(std::string_view listing);

// LIST output: each line is tried as Unix "ls -l", MS-DOS/IIS and EPLF.
// now is the current time, used to infer the year of "Mon DD HH:MM" dates
// (a date more than a few days in the future belongs to the year before).
std::vector<RemoteEntry> ParseListListing(std::string_view listing, std::time_t now);

// One LIST line; nullopt when it parses as nothing or the name is unsafe.
std::optional<RemoteEntry> ParseListLine(std::string_view line, std::time_t now);

// A name the client can accept from a server (not empty, not "." or "..",
// no "/" and no NUL).
bool IsAcceptableName(std::string_view name);

}  // namespace veltrim::ftp
