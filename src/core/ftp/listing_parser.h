#pragma once
// Directory listing parsers: pure functions over the bytes a server sends,
// testable without a socket. A line that parses as nothing is skipped, never
// guessed into a wrong name; names holding "/", NUL, CR or LF, and "." and
// "..", are dropped. Lines end in CR LF or LF; a line longer than
// kMaxListingLineLength is skipped. Sizes beyond 64 bits drop the line
// rather than wrap.

#include <cstddef>
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

// Room for a full-length name and a full-length link target besides the
// columns; anything longer is no listing line.
inline constexpr std::size_t kMaxListingLineLength = 8192;

// MLSD / MLST fact lines ("type=file;size=12;modify=20261206182100; name"):
// the name follows the first space; fact names are case-insensitive.
// cdir and pdir entries are skipped; modify is UTC.
std::vector<RemoteEntry> ParseMlsdListing(std::string_view listing);

// LIST output, each line read as whichever family it belongs to (a listing
// may mix them): Unix "ls -l" in its many variants, MS-DOS/IIS, EPLF, VMS,
// NetWare and OS/400. Directory-like entries are Directory, symbolic links
// Link (with the target of "name -> target"), devices, pipes and sockets
// Other. now is the current time, used to infer the year of dates written
// without one (the latest year that puts the date at most a day after now).
// A numeric date whose day and month could be either way round is read in
// the order the listing's other dates prove, so one listing stays
// consistent; without proof, day first for "15.03.2024", month first else.
std::vector<RemoteEntry> ParseListListing(std::string_view listing, std::time_t now);

// One LIST line; nullopt when it parses as nothing or the name is unsafe.
std::optional<RemoteEntry> ParseListLine(std::string_view line, std::time_t now);

// A name the client can accept from a server (not empty, not "." or "..",
// no "/", NUL, CR or LF: such a name could not be sent back in a command).
bool IsAcceptableName(std::string_view name);

}  // namespace veltrim::ftp
