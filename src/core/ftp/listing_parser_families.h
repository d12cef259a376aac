#pragma once
// The listing families, one file each: every function reads one line of
// its family and returns nothing for a line of another family, a line it
// cannot read, or a name the client cannot accept. Internal to the listing
// parsers; ParseListListing picks the family line by line.

#include <ctime>
#include <optional>
#include <string_view>

#include "core/ftp/listing_parser.h"
#include "core/ftp/listing_parser_fields.h"

namespace veltrim::ftp::listing {

// One line read by a family, with what only the whole listing can settle.
struct ParsedLine {
  RemoteEntry entry;
  std::optional<NumericDate> undecided;  // a date whose day and month could be either way round
  std::optional<DateOrder> evidence;     // the order an unambiguous numeric date proves
};

// The line, when its entry's name is acceptable.
std::optional<ParsedLine> Accepted(ParsedLine parsed);

// "-rw-r--r-- 1 owner group 1024 Mar 15 10:30 name" and its many variants.
std::optional<ParsedLine> ParseUnixLine(std::string_view line, std::time_t now);
// "03-15-24  10:30AM  <DIR>  name", "2024-03-15  22:30  1,024 name".
std::optional<ParsedLine> ParseDosLine(std::string_view line, std::time_t now);
// "+i8388621.48594,m825718503,r,s280,\tname".
std::optional<ParsedLine> ParseEplfLine(std::string_view line, std::time_t now);
// "NAME.EXT;3  12/16  15-MAR-2024 10:30:12  [GROUP,OWNER]  (RWED,RWED,RE,)".
std::optional<ParsedLine> ParseVmsLine(std::string_view line, std::time_t now);
// VMS prints a long name alone on its line and the details on the next.
bool IsVmsNameOnlyLine(std::string_view line);
// "d [RWCEAFMS] owner  512  Mar 15 10:30  name".
std::optional<ParsedLine> ParseNetWareLine(std::string_view line, std::time_t now);
// "OWNER  77824 03/15/24 10:30:12 *DIR  name/".
std::optional<ParsedLine> ParseOs400Line(std::string_view line, std::time_t now);

// "type=file;size=12;modify=20241206182100; name".
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line);

}  // namespace veltrim::ftp::listing
