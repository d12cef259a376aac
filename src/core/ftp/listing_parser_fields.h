#pragma once
// The pieces every listing family reads: numbers, sizes, dates and times in
// the many ways servers write them, and the blank-separated columns of a
// line. Internal to the listing parsers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

namespace veltrim::ftp::listing {

bool IsDigit(char c);
bool IsBlank(char c);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// All digits, at least one, the value fits in 64 bits.
std::optional<uint64_t> ParseUnsigned(std::string_view text);
// Exactly minDigits..maxDigits digits (no sign, cannot overflow).
std::optional<int> ParseSmall(std::string_view text, std::size_t minDigits, std::size_t maxDigits);
// "1024", or a size rounded by the server: "33.5k", "2M", "1.2G" (powers of 1024).
std::optional<uint64_t> ParseSizeWithUnit(std::string_view text);

struct CivilTime {
  int64_t year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;  // 24 only as "24:00", the midnight that ends the day
  int minute = 0;
  int second = 0;
  int64_t utcOffset = 0;  // seconds east of UTC, when the listing names a zone
};

// 9999-12-31 23:59:59: past it a time is a lie, not a date.
inline constexpr int64_t kLatestTime = 253402300799;

// Seconds since the epoch (UTC); nullopt for a date that cannot exist or
// lies past kLatestTime. A leap second (:60) counts as :59.
std::optional<std::time_t> ToTime(const CivilTime& t);

// A date without a year: the latest year that does not put it more than a
// day after now (Feb 29 walks back to the last leap year).
std::optional<std::time_t> WithInferredYear(CivilTime t, std::time_t now);

// "YYYYMMDDHHMMSS", optionally with a fraction of a second: MLSD's modify
// fact and the MDTM reply. UTC.
std::optional<std::time_t> ParseFactTime(std::string_view value);

// A month's name or abbreviation in one of the common European languages,
// any case, with or without a trailing dot; or the Chinese/Japanese "3月"
// and Korean "3월" forms. 1..12.
std::optional<int> MonthFromName(std::string_view name);

// "HH:MM", "HH:MM:SS", "HH:MM:SS.fraction"; "24:00" is midnight at the end
// of the day. Fills hour, minute, second.
bool ParseClock(std::string_view text, CivilTime& t);

// "+0100", "-0530": the zone after a full-time clock. Seconds east of UTC.
std::optional<int64_t> ParseUtcOffset(std::string_view text);

// The day column: "5", "05", "5." (German) or "5日"/"5일".
std::optional<int> ParseDayOfMonth(std::string_view text);
// The year column: "2024", or "2024年"/"2024년".
std::optional<int> ParseYearColumn(std::string_view text);

enum class DateOrder { DayFirst, MonthFirst };

// A numeric date: "2024-03-15", "2024/03/15", "15.03.2024", "03-15-2024",
// "24-03-15", "03/15/24". Where the day and the month could be either way
// round (both 12 or less), `ambiguous` is set and t holds the reading in
// the separator's usual order (day first for ".", month first otherwise);
// otherwise `evidence` tells which order the date proves, if any.
struct NumericDate {
  CivilTime t;
  bool ambiguous = false;
  DateOrder usual = DateOrder::MonthFirst;
  std::optional<DateOrder> evidence;
};
// nullopt when text does not have a numeric date's shape. A date of the
// right shape that cannot exist (2025-02-30) is still a date: the caller
// keeps the entry without a time.
std::optional<NumericDate> ParseNumericDate(std::string_view text);
// t in the given order (swaps day and month when it differs from usual).
CivilTime InOrder(const NumericDate& date, DateOrder order);

// A date such as "2024年3月15日", "2024년 3월 15일" spread over up to three
// columns; returns how many columns it took (0: none).
std::size_t ParseAsianDate(const std::string_view* columns, std::size_t count, CivilTime& t);

struct Token {
  std::string_view text;
  std::size_t end = 0;  // offset just past the token in its line
};

// The first few blank-separated columns of a line with their positions,
// kept on the stack: a listing has one of these per line.
class Tokens {
 public:
  static constexpr std::size_t kCapacity = 16;

  Tokens(std::string_view line, std::size_t maxTokens);
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

// The offset of the first non-blank at or after from (line.size() if none).
std::size_t SkipBlanks(std::string_view line, std::size_t from);

// The date columns of a line starting at tokens[i], in any of the forms
// servers write: "Mar 15 10:30", "Mar 15 2024", "15. Mär 10:30",
// "15 mars 2024", "3月 15日 10:30", "2024年3月15日 10:30", "2024-03-15 10:30",
// "15.03.2024 10:30:05", "2024-03-15 10:30:05.123 +0100", "2024/03/15".
struct DateColumns {
  std::size_t last = 0;  // index of the date's last column
  std::optional<std::time_t> when;
  // A numeric date whose day and month could be either way round: the
  // listing as a whole settles the order. `when` holds the usual reading.
  std::optional<NumericDate> undecided;
  std::optional<DateOrder> evidence;
};
std::optional<DateColumns> ReadDateColumns(const Tokens& tokens, std::size_t i, std::time_t now);

}  // namespace veltrim::ftp::listing
