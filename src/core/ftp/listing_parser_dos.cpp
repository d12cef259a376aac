// MS-DOS and IIS listings: "03-15-24  10:30AM  <DIR>  name" and the
// 24-hour, four-digit-year and thousands-separator variants.

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

namespace {

bool ParseDosDate(std::string_view text, CivilTime& t) {
  if (text.size() < 8 || text.size() > 10) return false;
  const char separator = text[2] == '-' || text[2] == '/' ? text[2] : (text.size() == 10 ? text[4] : '\0');
  if (separator != '-' && separator != '/') return false;
  const auto first = text.find(separator);
  const auto second = text.find(separator, first + 1);
  if (second == std::string_view::npos || text.find(separator, second + 1) != std::string_view::npos) {
    return false;
  }
  const std::string_view a = text.substr(0, first);
  const std::string_view b = text.substr(first + 1, second - first - 1);
  const std::string_view c = text.substr(second + 1);
  std::optional<int> year, month, day;
  if (a.size() == 4) {  // YYYY-MM-DD
    year = ParseSmall(a, 4, 4);
    month = ParseSmall(b, 2, 2);
    day = ParseSmall(c, 2, 2);
  } else {  // MM-DD-YY or MM-DD-YYYY
    month = ParseSmall(a, 2, 2);
    day = ParseSmall(b, 2, 2);
    year = c.size() == 2 ? ParseSmall(c, 2, 2) : ParseSmall(c, 4, 4);
    if (year && c.size() == 2) *year += *year < 70 ? 2000 : 1900;
  }
  if (!year || !month || !day) return false;
  t.year = *year;
  t.month = *month;
  t.day = *day;
  return true;
}

// "06:21PM", "6:21 PM" (the suffix as its own token) or a 24-hour "18:21".
// Returns how many tokens the time took.
std::size_t ParseDosTime(const Tokens& tokens, std::size_t i, CivilTime& t) {
  std::string_view text = tokens[i].text;
  std::string_view suffix;
  std::size_t used = 1;
  if (text.size() > 2 && (EqualsIgnoreCase(text.substr(text.size() - 2), "am") ||
                          EqualsIgnoreCase(text.substr(text.size() - 2), "pm"))) {
    suffix = text.substr(text.size() - 2);
    text = text.substr(0, text.size() - 2);
  } else if (i + 1 < tokens.size() &&
             (EqualsIgnoreCase(tokens[i + 1].text, "am") || EqualsIgnoreCase(tokens[i + 1].text, "pm"))) {
    suffix = tokens[i + 1].text;
    used = 2;
  }
  if (!ParseClock(text, t) || t.hour > 23) return 0;
  if (!suffix.empty()) {
    if (t.hour < 1 || t.hour > 12) return 0;
    const bool pm = suffix[0] == 'p' || suffix[0] == 'P';
    t.hour = (t.hour % 12) + (pm ? 12 : 0);
  }
  return used;
}

// "1024" or "1,024": a size with optional thousands separators.
std::optional<uint64_t> ParseDosSize(std::string_view text) {
  if (text.find(',') == std::string_view::npos) return ParseUnsigned(text);
  std::string digits;
  std::size_t groupStart = 0;
  while (true) {
    const auto comma = text.find(',', groupStart);
    const std::string_view group =
        text.substr(groupStart, comma == std::string_view::npos ? text.npos : comma - groupStart);
    const bool leading = groupStart == 0;
    if (group.empty() || group.size() > 3 || (!leading && group.size() != 3)) return std::nullopt;
    digits.append(group);
    if (comma == std::string_view::npos) break;
    groupStart = comma + 1;
  }
  return ParseUnsigned(digits);
}

}  // namespace

std::optional<ParsedLine> ParseDosLine(std::string_view line, std::time_t /*now: DOS dates carry their year*/) {
  const Tokens tokens(line, 5);
  if (tokens.size() < 4) return std::nullopt;
  CivilTime t;
  if (!ParseDosDate(tokens[0].text, t)) return std::nullopt;
  const std::size_t used = ParseDosTime(tokens, 1, t);
  if (used == 0 || 1 + used + 1 >= tokens.size()) return std::nullopt;
  const Token& sizeOrDir = tokens[1 + used];

  ParsedLine parsed;
  if (EqualsIgnoreCase(sizeOrDir.text, "<DIR>")) {
    parsed.entry.kind = EntryKind::Directory;
  } else if (const auto size = ParseDosSize(sizeOrDir.text)) {
    parsed.entry.kind = EntryKind::File;
    parsed.entry.size = *size;
  } else {
    return std::nullopt;
  }
  parsed.entry.modified = ToTime(t);  // an impossible date (02-30-25) leaves no time
  // The name starts at the first non-blank after the size column.
  const std::size_t nameStart = SkipBlanks(line, sizeOrDir.end);
  if (nameStart >= line.size()) return std::nullopt;
  parsed.entry.name = std::string(line.substr(nameStart));
  return Accepted(std::move(parsed));
}

}  // namespace veltrim::ftp::listing
