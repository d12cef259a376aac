// Unix "ls -l" lines as servers really send them: any language's month
// names, numeric and Asian dates, missing link or group columns, numeric
// owners, devices, sizes rounded to "33.5k", and no date at all.

#include "core/ftp/listing_parser_families.h"

namespace veltrim::ftp::listing {

namespace {

// mode, links, owner, group, size (or "major, minor"), then the date: the
// date never starts further right than the ninth column.
constexpr std::size_t kMaxDateColumn = 8;

std::optional<EntryKind> UnixKind(std::string_view mode) {
  // Ten mode characters, possibly followed by an ACL or attribute marker.
  if (mode.size() < 10 || mode.size() > 11) return std::nullopt;
  for (char c : mode.substr(1, 9)) {
    if (std::string_view("rwxsStTlL-").find(c) == std::string_view::npos) return std::nullopt;
  }
  if (mode.size() == 11 && std::string_view("+.@").find(mode[10]) == std::string_view::npos) {
    return std::nullopt;
  }
  switch (mode[0]) {
    case '-': return EntryKind::File;
    case 'd': return EntryKind::Directory;
    case 'l': return EntryKind::Link;
    case 'b': case 'c': case 'p': case 's': case 'D': return EntryKind::Other;
    default: return std::nullopt;
  }
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

enum class SizeVerdict { Size, Device, NotASize, Refuse };

// The column before the date: the size, a device's "major, minor" (also
// written "major,minor"), a size the server rounded ("33.5k"), or an owner
// or group with the size run into it ("ftpgroup1024").
SizeVerdict ReadSize(const Tokens& tokens, std::size_t dateColumn, uint64_t& size) {
  const std::string_view text = tokens[dateColumn - 1].text;
  const char type = tokens[0].text[0];
  if ((type == 'b' || type == 'c') &&
      (text.find(',') != std::string_view::npos || (dateColumn >= 2 && tokens[dateColumn - 2].text.ends_with(',')))) {
    return SizeVerdict::Device;
  }
  if (const auto value = ParseSizeWithUnit(text)) {
    size = *value;
    return SizeVerdict::Size;
  }
  // All digits yet no number: a size beyond 64 bits. No entry rather than a wrong one.
  if (AllDigits(text)) return SizeVerdict::Refuse;
  const std::size_t digits = text.find_last_not_of("0123456789") + 1;
  if (dateColumn >= 3 && digits < text.size() && !IsDigit(text[0])) {
    const auto value = ParseUnsigned(text.substr(digits));
    if (!value) return SizeVerdict::Refuse;
    size = *value;
    return SizeVerdict::Size;
  }
  return SizeVerdict::NotASize;
}

// Something that looks like part of a date, even a broken one, where a
// name would start: a month name, or digits with date and time separators.
bool LooksLikeDatePart(std::string_view text) {
  if (MonthFromName(text) || ParseDayOfMonth(text)) return true;
  return text.find_first_of("0123456789") != std::string_view::npos &&
         text.find_first_not_of("0123456789-/.:") == std::string_view::npos;
}

ParsedLine MakeEntry(EntryKind kind, uint64_t size, std::string_view name) {
  ParsedLine parsed;
  parsed.entry.kind = kind;
  parsed.entry.size = size;
  if (kind == EntryKind::Link) {
    const auto arrow = name.find(" -> ");
    if (arrow != std::string_view::npos) {
      parsed.entry.linkTarget = std::string(name.substr(arrow + 4));
      name = name.substr(0, arrow);
    }
  }
  parsed.entry.name = std::string(name);
  return parsed;
}

// "mode links owner group size name": a line without a date. Refused when
// what would be the name starts like a date that did not parse.
std::optional<ParsedLine> ParseDatelessLine(std::string_view line, const Tokens& tokens, EntryKind kind) {
  if (tokens.size() < 6 || !AllDigits(tokens[1].text)) return std::nullopt;
  const auto size = ParseSizeWithUnit(tokens[4].text);
  if (!size) return std::nullopt;
  for (std::size_t i = 5; i < tokens.size() && i < 8; ++i) {
    if (LooksLikeDatePart(tokens[i].text)) return std::nullopt;
  }
  const std::size_t nameStart = tokens[4].end + 1;
  if (nameStart >= line.size()) return std::nullopt;
  return Accepted(MakeEntry(kind, *size, line.substr(nameStart)));
}

}  // namespace

std::optional<ParsedLine> ParseUnixLine(std::string_view line, std::time_t now) {
  // A mode's type letter, or the blocks of "ls -s", comes first.
  const std::size_t first = SkipBlanks(line, 0);
  if (first == line.size() || std::string_view("-dlbcpsD0123456789").find(line[first]) == std::string_view::npos) {
    return std::nullopt;
  }
  Tokens tokens(line, kMaxDateColumn + 4);
  // "ls -s" puts the size in blocks first.
  if (tokens.size() > 1 && ParseUnsigned(tokens[0].text) && UnixKind(tokens[1].text)) tokens.DropFirst();
  if (tokens.size() < 3) return std::nullopt;
  const auto kind = UnixKind(tokens[0].text);
  if (!kind) return std::nullopt;

  for (std::size_t i = 2; i <= kMaxDateColumn && i < tokens.size(); ++i) {
    const auto date = ReadDateColumns(tokens, i, now);
    if (!date) continue;
    uint64_t size = 0;
    const SizeVerdict verdict = ReadSize(tokens, i, size);
    if (verdict == SizeVerdict::Refuse) return std::nullopt;
    if (verdict == SizeVerdict::NotASize) continue;

    // The name follows the one blank after the date; any further blanks are
    // part of the name.
    const std::size_t nameStart = tokens[date->last].end + 1;
    if (nameStart >= line.size()) return std::nullopt;
    ParsedLine parsed = MakeEntry(*kind, verdict == SizeVerdict::Device ? 0 : size, line.substr(nameStart));
    parsed.entry.modified = date->when;
    parsed.undecided = date->undecided;
    parsed.evidence = date->evidence;
    return Accepted(std::move(parsed));
  }
  return ParseDatelessLine(line, tokens, *kind);
}

}  // namespace veltrim::ftp::listing
