#pragma once
// Pure parsers for the replies whose text carries data: PWD, EPSV, PASV,
// SIZE, MDTM, FEAT.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "core/ftp/ftp_connection.h"
#include "core/ftp/reply.h"

namespace veltrim::ftp {

// 257 "/a ""quoted"" dir" is created -> /a "quoted" dir; without quotes, an
// absolute path right after the code. nullopt when the reply holds no path.
std::optional<std::string> ParseDirectoryReply(std::string_view line);

// 229 Entering Extended Passive Mode (|||6446|) -> 6446.
std::optional<uint16_t> ParseExtendedPassivePort(std::string_view line);

// 227 Entering Passive Mode (h1,h2,h3,h4,p1,p2) -> p1 * 256 + p2. The address
// is deliberately not returned: data connections go to the control peer.
std::optional<uint16_t> ParsePassivePort(std::string_view line);

// 213 1048576 -> 1048576. nullopt when the reply holds no size that fits
// in 64 bits.
std::optional<uint64_t> ParseSizeReply(std::string_view line);

// 213 20261206182100 (optionally with a fraction of a second) -> seconds
// since the epoch; MDTM times are UTC.
std::optional<std::time_t> ParseModificationTimeReply(std::string_view line);

// The features a FEAT reply advertises.
ServerFeatures ParseFeatures(const Reply& reply);

// CR, LF or NUL: an argument holding one would smuggle a second command.
bool HasLineBreakOrNul(std::string_view argument);

}  // namespace veltrim::ftp
