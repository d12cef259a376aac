#include "core/ftp/listing_parser.h"

#include <array>
#include <limits>

// Every parser here works on string_views into the listing and only ever
// looks at bytes it has bounds-checked; a line it cannot make sense of is
// dropped. Work per line is linear in the line's length, so a listing of any
// size parses in linear time.

namespace veltrim::ftp {
namespace {

constexpr std::time_t kSecondsPerDay = 86400;
// A "Mon DD HH:MM" date further ahead of now than this belongs to last year;
// the slack absorbs time zones and clocks that disagree a little.
constexpr std::time_t kFutureSlack = 3 * kSecondsPerDay;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// All digits, at least one, value fits in 64 bits.
std::optional<uint64_t> ParseUnsigned(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// A small number of exactly the digits given (no sign, no overflow possible).
std::optional<int> ParseSmall(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
  if (text.size() < minDigits || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[static_cast<std::size_t>(month - 1)];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
  const int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int64_t YearOfDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

struct CivilTime {
  int64_t year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

bool IsValid(const CivilTime& t) {
  return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

std::optional<std::time_t> ToTime(const CivilTime& t) {
  if (!IsValid(t)) return std::nullopt;
  const int64_t seconds =
      DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
  return static_cast<std::time_t>(seconds);
}

// "Mon DD HH:MM" carries no year: the latest year that does not put the date
// noticeably in the future (Feb 29 walks back to the last leap year).
std::optional<std::time_t> WithInferredYear(CivilTime t, std::time_t now) {
  // Next year first: just before new year, "Jan  1" within the slack is next year's.
  t.year = YearOfDays(static_cast<int64_t>(now / kSecondsPerDay) - (now % kSecondsPerDay < 0 ? 1 : 0)) + 1;
  for (int attempt = 0; attempt < 10; ++attempt, --t.year) {
    const auto when = ToTime(t);
    if (when && *when <= now + kFutureSlack) return when;
  }
  return std::nullopt;
}

std::optional<int> MonthFromName(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                               "jul", "aug", "sep", "oct", "nov", "dec"};
  if (name.size() != 3) return std::nullopt;
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (EqualsIgnoreCase(name, kMonths[i])) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

// "HH:MM" (hour one or two digits).
bool ParseClock(std::string_view text, int& hour, int& minute) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const auto h = ParseSmall(text.substr(0, colon), 1, 2);
  const auto m = ParseSmall(text.substr(colon + 1), 2, 2);
  if (!h || !m || *h > 23 || *m > 59) return false;
  hour = *h;
  minute = *m;
  return true;
}

struct Token {
  std::string_view text;
  std::size_t end = 0;  // offset just past the token in its line
};

// The first few blank-separated tokens of a line, with their positions. Kept
// on the stack: a listing has one of these per line.
class Tokens {
 public:
  static constexpr std::size_t kCapacity = 16;

  Tokens(std::string_view line, std::size_t maxTokens) {
    if (maxTokens > kCapacity) maxTokens = kCapacity;
    std::size_t i = 0;
    while (i < line.size() && count_ < maxTokens) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i == line.size()) break;
      const std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      items_[count_++] = {line.substr(start, i - start), i};
    }
  }
  std::size_t size() const { return count_ - first_; }
  const Token& operator[](std::size_t i) const { return items_[first_ + i]; }
  void DropFirst() {
    if (first_ < count_) ++first_;
  }

 private:
  std::array<Token, kCapacity> items_{};
  std::size_t count_ = 0;
  std::size_t first_ = 0;
};

std::optional<RemoteEntry> Accept(RemoteEntry entry) {
  if (!IsAcceptableName(entry.name)) return std::nullopt;
  return entry;
}

// ---------------------------------------------------------------- MLSD

std::optional<std::time_t> ParseMlsdTime(std::string_view value) {
  // YYYYMMDDHHMMSS, optionally followed by a fraction of a second.
  if (value.size() < 14) return std::nullopt;
  const std::string_view fraction = value.substr(14);
  if (!fraction.empty()) {
    if (fraction[0] != '.' || fraction.size() < 2) return std::nullopt;
    for (char c : fraction.substr(1)) {
      if (!IsDigit(c)) return std::nullopt;
    }
  }
  const auto year = ParseSmall(value.substr(0, 4), 4, 4);
  const auto month = ParseSmall(value.substr(4, 2), 2, 2);
  const auto day = ParseSmall(value.substr(6, 2), 2, 2);
  const auto hour = ParseSmall(value.substr(8, 2), 2, 2);
  const auto minute = ParseSmall(value.substr(10, 2), 2, 2);
  const auto second = ParseSmall(value.substr(12, 2), 2, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  return ToTime({*year, *month, *day, *hour, *minute, *second});
}

enum class MlsdType { File, Directory, Link, Other, Skip };

MlsdType ClassifyMlsdType(std::string_view value, std::string& linkTarget) {
  if (EqualsIgnoreCase(value, "file")) return MlsdType::File;
  if (EqualsIgnoreCase(value, "dir")) return MlsdType::Directory;
  if (EqualsIgnoreCase(value, "cdir") || EqualsIgnoreCase(value, "pdir")) return MlsdType::Skip;
  if (EqualsIgnoreCase(value, "os.unix=symlink") || EqualsIgnoreCase(value, "os.unix=slink")) {
    return MlsdType::Link;
  }
  if (StartsWithIgnoreCase(value, "os.unix=slink:") || StartsWithIgnoreCase(value, "os.unix=symlink:")) {
    linkTarget = std::string(value.substr(value.find(':') + 1));
    return MlsdType::Link;
  }
  return MlsdType::Other;
}

std::optional<RemoteEntry> ParseMlsdLine(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  std::string_view facts = line.substr(0, space);
  RemoteEntry entry;
  entry.name = std::string(line.substr(space + 1));

  if (facts.empty()) return std::nullopt;  // a bare name says nothing about what it is
  MlsdType type = MlsdType::File;
  std::optional<uint64_t> size;
  std::optional<uint64_t> directorySize;
  while (!facts.empty()) {
    const auto semicolon = facts.find(';');
    const std::string_view fact = facts.substr(0, semicolon);
    facts = semicolon == std::string_view::npos ? std::string_view{} : facts.substr(semicolon + 1);
    if (fact.empty()) continue;
    const auto equals = fact.find('=');
    if (equals == std::string_view::npos || equals == 0) return std::nullopt;  // not a fact list
    const std::string_view key = fact.substr(0, equals);
    const std::string_view value = fact.substr(equals + 1);
    if (EqualsIgnoreCase(key, "type")) {
      type = ClassifyMlsdType(value, entry.linkTarget);
    } else if (EqualsIgnoreCase(key, "size") || EqualsIgnoreCase(key, "sizd")) {
      const auto parsed = ParseUnsigned(value);
      if (!parsed) return std::nullopt;  // a size we cannot represent is not a size
      (EqualsIgnoreCase(key, "size") ? size : directorySize) = parsed;
    } else if (EqualsIgnoreCase(key, "modify")) {
      entry.modified = ParseMlsdTime(value);
    }
  }
  switch (type) {
    case MlsdType::Skip: return std::nullopt;
    case MlsdType::File: entry.kind = EntryKind::File; break;
    case MlsdType::Directory: entry.kind = EntryKind::Directory; break;
    case MlsdType::Link: entry.kind = EntryKind::Link; break;
    case MlsdType::Other: entry.kind = EntryKind::Other; break;
  }
  if (size) {
    entry.size = *size;
  } else if (directorySize) {
    entry.size = *directorySize;
  }
  return Accept(std::move(entry));
}

// ---------------------------------------------------------------- Unix ls -l

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

// The date columns starting at tokens[i]: "Mon DD HH:MM", "Mon DD YYYY" or
// "YYYY-MM-DD HH:MM". Returns the index of the date's last token.
std::optional<std::size_t> ParseUnixDate(const Tokens& tokens, std::size_t i, std::time_t now,
                                         std::optional<std::time_t>& when) {
  if (i + 1 >= tokens.size()) return std::nullopt;
  const std::string_view first = tokens[i].text;
  if (first.size() == 10 && first[4] == '-' && first[7] == '-') {
    const auto year = ParseSmall(first.substr(0, 4), 4, 4);
    const auto month = ParseSmall(first.substr(5, 2), 2, 2);
    const auto day = ParseSmall(first.substr(8, 2), 2, 2);
    CivilTime t;
    if (!year || !month || !day || !ParseClock(tokens[i + 1].text, t.hour, t.minute)) return std::nullopt;
    t.year = *year;
    t.month = *month;
    t.day = *day;
    if (!IsValid(t)) return std::nullopt;
    when = ToTime(t);
    return i + 1;
  }
  const auto month = MonthFromName(first);
  if (!month || i + 2 >= tokens.size()) return std::nullopt;
  const auto day = ParseSmall(tokens[i + 1].text, 1, 2);
  if (!day || *day < 1 || *day > 31) return std::nullopt;
  CivilTime t;
  t.month = *month;
  t.day = *day;
  const std::string_view third = tokens[i + 2].text;
  if (ParseClock(third, t.hour, t.minute)) {
    when = WithInferredYear(t, now);
  } else if (const auto year = ParseSmall(third, 4, 4)) {
    t.year = *year;
    when = ToTime(t);  // an impossible date (Feb 29 of a common year) leaves no time
  } else {
    return std::nullopt;
  }
  return i + 2;
}

std::optional<RemoteEntry> ParseUnixLine(std::string_view line, std::time_t now) {
  // mode, links, owner, group, size (or "major, minor"), three date columns:
  // the date is never further right than the ninth column.
  constexpr std::size_t kMaxDateColumn = 8;
  Tokens tokens(line, kMaxDateColumn + 4);
  // "ls -s" puts the size in blocks first.
  if (tokens.size() > 1 && ParseUnsigned(tokens[0].text) && UnixKind(tokens[1].text)) tokens.DropFirst();
  if (tokens.size() < 4) return std::nullopt;
  const auto kind = UnixKind(tokens[0].text);
  if (!kind) return std::nullopt;

  for (std::size_t i = 2; i <= kMaxDateColumn && i < tokens.size(); ++i) {
    std::optional<std::time_t> when;
    const auto last = ParseUnixDate(tokens, i, now, when);
    if (!last) continue;
    // The column before the date is the size, or a device's "major, minor"
    // (sometimes written as one "major,minor" column).
    const std::string_view sizeText = tokens[i - 1].text;
    const bool isDevice = tokens[0].text[0] == 'b' || tokens[0].text[0] == 'c';
    const bool deviceNumbers =
        isDevice && (sizeText.find(',') != std::string_view::npos || tokens[i - 2].text.ends_with(','));
    const auto size = ParseUnsigned(sizeText);
    if (!size && !deviceNumbers) {
      // All digits yet no number: a size beyond 64 bits. No entry rather than a wrong one.
      if (!sizeText.empty() && sizeText.find_first_not_of("0123456789") == std::string_view::npos) {
        return std::nullopt;
      }
      continue;
    }

    // The name follows the one blank after the date; any further blanks are
    // part of the name.
    const std::size_t nameStart = tokens[*last].end + 1;
    if (nameStart >= line.size()) return std::nullopt;
    std::string_view name = line.substr(nameStart);

    RemoteEntry entry;
    entry.kind = *kind;
    entry.modified = when;
    entry.size = deviceNumbers ? 0 : *size;
    if (*kind == EntryKind::Link) {
      const auto arrow = name.find(" -> ");
      if (arrow != std::string_view::npos) {
        entry.linkTarget = std::string(name.substr(arrow + 4));
        name = name.substr(0, arrow);
      }
    }
    entry.name = std::string(name);
    return Accept(std::move(entry));
  }
  return std::nullopt;
}

// ---------------------------------------------------------------- MS-DOS / IIS

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
  if (!ParseClock(text, t.hour, t.minute)) return 0;
  if (!suffix.empty()) {
    if (t.hour < 1 || t.hour > 12) return 0;
    const bool pm = Lower(suffix[0]) == 'p';
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
    const std::string_view group = text.substr(groupStart, comma == std::string_view::npos ? text.npos : comma - groupStart);
    const bool leading = groupStart == 0;
    if (group.empty() || group.size() > 3 || (!leading && group.size() != 3)) return std::nullopt;
    digits.append(group);
    if (comma == std::string_view::npos) break;
    groupStart = comma + 1;
  }
  return ParseUnsigned(digits);
}

std::optional<RemoteEntry> ParseDosLine(std::string_view line) {
  const Tokens tokens(line, 5);
  if (tokens.size() < 4) return std::nullopt;
  CivilTime t;
  if (!ParseDosDate(tokens[0].text, t)) return std::nullopt;
  const std::size_t used = ParseDosTime(tokens, 1, t);
  if (used == 0 || 1 + used + 1 >= tokens.size()) return std::nullopt;
  const Token& sizeOrDir = tokens[1 + used];

  RemoteEntry entry;
  if (EqualsIgnoreCase(sizeOrDir.text, "<DIR>")) {
    entry.kind = EntryKind::Directory;
  } else if (const auto size = ParseDosSize(sizeOrDir.text)) {
    entry.kind = EntryKind::File;
    entry.size = *size;
  } else {
    return std::nullopt;
  }
  entry.modified = ToTime(t);
  // The name starts at the first non-blank after the size column.
  std::size_t nameStart = sizeOrDir.end;
  while (nameStart < line.size() && IsBlank(line[nameStart])) ++nameStart;
  if (nameStart >= line.size()) return std::nullopt;
  entry.name = std::string(line.substr(nameStart));
  return Accept(std::move(entry));
}

// ---------------------------------------------------------------- EPLF

std::optional<RemoteEntry> ParseEplfLine(std::string_view line) {
  if (line.size() < 2 || line[0] != '+') return std::nullopt;
  const auto tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  std::string_view facts = line.substr(1, tab - 1);
  RemoteEntry entry;
  entry.name = std::string(line.substr(tab + 1));
  bool directory = false;
  bool retrievable = false;
  while (!facts.empty()) {
    const auto comma = facts.find(',');
    const std::string_view fact = facts.substr(0, comma);
    facts = comma == std::string_view::npos ? std::string_view{} : facts.substr(comma + 1);
    if (fact.empty()) continue;
    switch (fact[0]) {
      case '/': directory = true; break;
      case 'r': retrievable = true; break;
      case 's': {
        const auto size = ParseUnsigned(fact.substr(1));
        if (!size) return std::nullopt;
        entry.size = *size;
        break;
      }
      case 'm': {
        const auto seconds = ParseUnsigned(fact.substr(1));
        // Past year 9999 a time is a lie, not a date.
        if (seconds && *seconds < 253402300800ull) entry.modified = static_cast<std::time_t>(*seconds);
        break;
      }
      default: break;
    }
  }
  entry.kind = directory ? EntryKind::Directory : retrievable ? EntryKind::File : EntryKind::Other;
  return Accept(std::move(entry));
}

// Calls lineHandler for every line, without its CR LF or LF.
template <typename Handler>
void ForEachLine(std::string_view listing, Handler&& lineHandler) {
  std::size_t start = 0;
  while (start < listing.size()) {
    auto end = listing.find('\n', start);
    if (end == std::string_view::npos) end = listing.size();
    std::string_view line = listing.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lineHandler(line);
    start = end + 1;
  }
}

}  // namespace

bool IsAcceptableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\0' || c == '\r' || c == '\n') return false;
  }
  return true;
}

std::vector<RemoteEntry> ParseMlsdListing(std::string_view listing) {
  std::vector<RemoteEntry> entries;
  ForEachLine(listing, [&](std::string_view line) {
    if (auto entry = ParseMlsdLine(line)) entries.push_back(std::move(*entry));
  });
  return entries;
}

std::optional<RemoteEntry> ParseListLine(std::string_view line, std::time_t now) {
  if (line.empty()) return std::nullopt;
  if (line[0] == '+') return ParseEplfLine(line);
  if (IsDigit(line[0])) {
    if (auto entry = ParseDosLine(line)) return entry;
  }
  return ParseUnixLine(line, now);
}

std::vector<RemoteEntry> ParseListListing(std::string_view listing, std::time_t now) {
  std::vector<RemoteEntry> entries;
  ForEachLine(listing, [&](std::string_view line) {
    if (auto entry = ParseListLine(line, now)) entries.push_back(std::move(*entry));
  });
  return entries;
}

}  // namespace veltrim::ftp
