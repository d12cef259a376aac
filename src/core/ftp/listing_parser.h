#pragma once
// Directory listing parsers: pure functions over the bytes a server sends,
// testable without a socket. A line that parses as nothing is skipped; names
// holding "/", NUL or CR, and "." and "..", are dropped. Lines end in CR LF
// or LF. Sizes beyond 64 bits drop the line rather than wrap.

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

// MLSD / MLST fact lines ("type=file;size=12;modify=20261206182100; name"):
// the name follows the first space; fact names are case-insensitive.
// cdir and pdir entries are skipped; modify is UTC.
std::vector<RemoteEntry> ParseMlsdListing(std::string_view listing);

// LIST output: each line is read as Unix "ls -l", MS-DOS/IIS or EPLF.
// Directory-like entries are Directory, symbolic links Link (with the target
// of "name -> target"), devices, pipes and sockets Other.
// now is the current time, used to infer the year of "Mon DD HH:MM" dates
// (a date more than a few days in the future belongs to the year before).
std::vector<RemoteEntry> ParseListListing(std::string_view listing, std::time_t now);

// One LIST line; nullopt when it parses as nothing or the name is unsafe.
std::optional<RemoteEntry> ParseListLine(std::string_view line, std::time_t now);

// A name the client can accept from a server (not empty, not "." or "..",
// no "/", NUL, CR or LF: such a name could not be sent back in a command).
bool IsAcceptableName(std::string_view name);

}  // namespace veltrim::ftp
