// OpenVMS directory lines: "NAME.EXT;VERSION  used/allocated  DD-MMM-YYYY
// HH:MM:SS  [GROUP,OWNER]  (RWED,RWED,RE,)". Sizes are in 512-byte blocks;
// a directory "NAME.DIR;1" is shown as NAME, the name a CWD takes.

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

namespace {

constexpr uint64_t kBlockBytes = 512;

// "NAME.EXT;12": the name without its version, or nullopt.
std::optional<std::string_view> VersionedName(std::string_view text) {
  const auto semicolon = text.rfind(';');
  if (semicolon == std::string_view::npos || semicolon == 0) return std::nullopt;
  const std::string_view version = text.substr(semicolon + 1);
  if (!ParseSmall(version, 1, 5)) return std::nullopt;
  return text.substr(0, semicolon);
}

// "15-MAR-2024".
bool ParseVmsDate(std::string_view text, CivilTime& t) {
  const auto first = text.find('-');
  const auto second = text.find('-', first == std::string_view::npos ? first : first + 1);
  if (second == std::string_view::npos) return false;
  const auto day = ParseSmall(text.substr(0, first), 1, 2);
  const auto month = MonthFromName(text.substr(first + 1, second - first - 1));
  const auto year = ParseSmall(text.substr(second + 1), 4, 4);
  if (!day || !month || !year) return false;
  t.year = *year;
  t.month = *month;
  t.day = *day;
  return true;
}

// A VMS line names its version before its first blank.
bool HasVersionFirst(std::string_view line) {
  const auto semicolon = line.find(';');
  return semicolon != std::string_view::npos && line.substr(0, semicolon).find_first_of(" \t") == std::string_view::npos;
}

}  // namespace

bool IsVmsNameOnlyLine(std::string_view line) {
  if (!HasVersionFirst(line)) return false;
  const Tokens tokens(line, 2);
  return tokens.size() == 1 && tokens[0].text.data() == line.data() && VersionedName(tokens[0].text).has_value();
}

std::optional<ParsedLine> ParseVmsLine(std::string_view line, std::time_t /*now: VMS dates carry their year*/) {
  if (!HasVersionFirst(line)) return std::nullopt;
  const Tokens tokens(line, 5);
  if (tokens.size() < 4) return std::nullopt;
  const auto name = VersionedName(tokens[0].text);
  if (!name) return std::nullopt;

  // "12" or "12/16": the blocks used (and allocated).
  const std::string_view blocks = tokens[1].text.substr(0, tokens[1].text.find('/'));
  const auto used = ParseUnsigned(blocks);
  if (!used || *used > UINT64_MAX / kBlockBytes) return std::nullopt;
  if (blocks.size() < tokens[1].text.size() && !ParseUnsigned(tokens[1].text.substr(blocks.size() + 1))) {
    return std::nullopt;
  }
  CivilTime t;
  if (!ParseVmsDate(tokens[2].text, t) || !ParseClock(tokens[3].text, t) || t.hour > 23) return std::nullopt;
  // Whatever follows is the owner and the protection; anything else (an
  // error such as "%RMS-E-PRV") means the line is no entry.
  const std::size_t rest = SkipBlanks(line, tokens[3].end);
  if (rest < line.size() && line[rest] != '[' && line[rest] != '(') return std::nullopt;

  ParsedLine parsed;
  RemoteEntry& entry = parsed.entry;
  entry.modified = ToTime(t);
  entry.size = *used * kBlockBytes;
  if (name->size() > 4 && EqualsIgnoreCase(name->substr(name->size() - 4), ".DIR")) {
    entry.kind = EntryKind::Directory;
    entry.name = std::string(name->substr(0, name->size() - 4));
  } else {
    entry.kind = EntryKind::File;
    entry.name = std::string(*name);
  }
  return Accepted(std::move(parsed));
}

}  // namespace veltrim::ftp::listing
