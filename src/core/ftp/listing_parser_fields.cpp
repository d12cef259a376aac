#include "core/ftp/listing_parser_fields.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace veltrim::ftp::listing {

namespace {

constexpr std::time_t kSecondsPerDay = 86400;
// A date without a year further ahead of now than this belongs to an
// earlier year; the slack absorbs time zones and clocks that disagree.
constexpr std::time_t kFutureSlack = kSecondsPerDay;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

// The UTF-8 suffixes of Chinese/Japanese and Korean dates.
constexpr std::string_view kYearChars[] = {"\xE5\xB9\xB4", "\xEB\x85\x84"};   // 年 년
constexpr std::string_view kMonthChars[] = {"\xE6\x9C\x88", "\xEC\x9B\x94"};  // 月 월
constexpr std::string_view kDayChars[] = {"\xE6\x97\xA5", "\xEC\x9D\xBC"};    // 日 일

// text without one of suffixes at its end, or nullopt.
std::optional<std::string_view> WithoutSuffix(std::string_view text, const std::string_view (&suffixes)[2]) {
  for (auto suffix : suffixes) {
    if (text.ends_with(suffix)) return text.substr(0, text.size() - suffix.size());
  }
  return std::nullopt;
}

struct MonthWord {
  std::string_view word;
  int month;
};

// Lower-case month names and abbreviations: English, German, French,
// Spanish, Italian, Portuguese, Dutch, the Scandinavian languages, Finnish,
// Polish, Czech, Hungarian and Russian (with the genitive forms dates use).
constexpr MonthWord kMonthWords[] = {
    {"jan", 1}, {"january", 1}, {"januar", 1}, {"janvier", 1}, {"janv", 1}, {"jänner", 1}, {"jän", 1},
    {"enero", 1}, {"ene", 1}, {"gennaio", 1}, {"gen", 1}, {"janeiro", 1}, {"januari", 1}, {"tammi", 1},
    {"tammikuu", 1}, {"sty", 1}, {"styczeń", 1}, {"stycznia", 1}, {"led", 1}, {"leden", 1}, {"ledna", 1},
    {"янв", 1}, {"январь", 1}, {"января", 1}, {"január", 1},
    {"feb", 2}, {"february", 2}, {"februar", 2}, {"février", 2}, {"févr", 2}, {"fév", 2}, {"fevrier", 2},
    {"fevr", 2}, {"febrero", 2}, {"febbraio", 2}, {"fevereiro", 2}, {"fev", 2}, {"februari", 2}, {"helmi", 2},
    {"helmikuu", 2}, {"lut", 2}, {"luty", 2}, {"lutego", 2}, {"úno", 2}, {"únor", 2}, {"února", 2}, {"фев", 2},
    {"февраль", 2}, {"февраля", 2}, {"febr", 2}, {"február", 2},
    {"mar", 3}, {"march", 3}, {"märz", 3}, {"mär", 3}, {"mrz", 3}, {"maerz", 3}, {"mars", 3}, {"marzo", 3},
    {"março", 3}, {"maart", 3}, {"mrt", 3}, {"maalis", 3}, {"maaliskuu", 3}, {"marzec", 3}, {"marca", 3},
    {"bře", 3}, {"březen", 3}, {"března", 3}, {"мар", 3}, {"март", 3}, {"марта", 3}, {"márc", 3},
    {"március", 3},
    {"apr", 4}, {"april", 4}, {"avril", 4}, {"avr", 4}, {"abril", 4}, {"abr", 4}, {"aprile", 4}, {"huhti", 4},
    {"huhtikuu", 4}, {"kwi", 4}, {"kwiecień", 4}, {"kwietnia", 4}, {"dub", 4}, {"duben", 4}, {"dubna", 4},
    {"апр", 4}, {"апрель", 4}, {"апреля", 4}, {"ápr", 4}, {"április", 4},
    {"may", 5}, {"mai", 5}, {"mayo", 5}, {"maggio", 5}, {"mag", 5}, {"maio", 5}, {"mei", 5}, {"maj", 5},
    {"touko", 5}, {"toukokuu", 5}, {"maja", 5}, {"kvě", 5}, {"květen", 5}, {"května", 5}, {"май", 5},
    {"мая", 5}, {"máj", 5}, {"május", 5},
    {"jun", 6}, {"june", 6}, {"juni", 6}, {"juin", 6}, {"junio", 6}, {"giugno", 6}, {"giu", 6}, {"junho", 6},
    {"kesä", 6}, {"kesäkuu", 6}, {"cze", 6}, {"czerwiec", 6}, {"czerwca", 6}, {"čvn", 6}, {"červen", 6},
    {"června", 6}, {"июн", 6}, {"июнь", 6}, {"июня", 6}, {"jún", 6}, {"június", 6},
    {"jul", 7}, {"july", 7}, {"juli", 7}, {"juillet", 7}, {"juil", 7}, {"julio", 7}, {"luglio", 7}, {"lug", 7},
    {"julho", 7}, {"heinä", 7}, {"heinäkuu", 7}, {"lip", 7}, {"lipiec", 7}, {"lipca", 7}, {"čvc", 7},
    {"červenec", 7}, {"července", 7}, {"июл", 7}, {"июль", 7}, {"июля", 7}, {"júl", 7}, {"július", 7},
    {"aug", 8}, {"august", 8}, {"août", 8}, {"aoû", 8}, {"aout", 8}, {"agosto", 8}, {"ago", 8},
    {"augustus", 8}, {"elo", 8}, {"elokuu", 8}, {"sie", 8}, {"sierpień", 8}, {"sierpnia", 8}, {"srp", 8},
    {"srpen", 8}, {"srpna", 8}, {"авг", 8}, {"август", 8}, {"августа", 8}, {"augusztus", 8},
    {"sep", 9}, {"sept", 9}, {"september", 9}, {"septembre", 9}, {"septiembre", 9}, {"setiembre", 9},
    {"set", 9}, {"settembre", 9}, {"setembro", 9}, {"syys", 9}, {"syyskuu", 9}, {"wrz", 9}, {"wrzesień", 9},
    {"września", 9}, {"zář", 9}, {"září", 9}, {"сен", 9}, {"сент", 9}, {"сентябрь", 9}, {"сентября", 9},
    {"szept", 9}, {"szeptember", 9},
    {"oct", 10}, {"october", 10}, {"oktober", 10}, {"octobre", 10}, {"octubre", 10}, {"ott", 10},
    {"ottobre", 10}, {"out", 10}, {"outubro", 10}, {"okt", 10}, {"loka", 10}, {"lokakuu", 10}, {"paź", 10},
    {"październik", 10}, {"października", 10}, {"říj", 10}, {"říjen", 10}, {"října", 10}, {"окт", 10},
    {"октябрь", 10}, {"октября", 10}, {"október", 10},
    {"nov", 11}, {"november", 11}, {"novembre", 11}, {"noviembre", 11}, {"novembro", 11}, {"marras", 11},
    {"marraskuu", 11}, {"lis", 11}, {"listopad", 11}, {"listopada", 11}, {"ноя", 11}, {"нояб", 11},
    {"ноябрь", 11}, {"ноября", 11},
    {"dec", 12}, {"december", 12}, {"dezember", 12}, {"dez", 12}, {"déc", 12}, {"décembre", 12},
    {"decembre", 12}, {"dic", 12}, {"diciembre", 12}, {"dicembre", 12}, {"dezembro", 12}, {"des", 12},
    {"desember", 12}, {"joulu", 12}, {"joulukuu", 12}, {"gru", 12}, {"grudzień", 12}, {"grudnia", 12},
    {"pro", 12}, {"prosinec", 12}, {"prosince", 12}, {"дек", 12}, {"декабрь", 12}, {"декабря", 12},
};

const std::vector<MonthWord>& SortedMonthWords() {
  static const std::vector<MonthWord> sorted = [] {
    std::vector<MonthWord> words(std::begin(kMonthWords), std::end(kMonthWords));
    std::sort(words.begin(), words.end(), [](const MonthWord& a, const MonthWord& b) { return a.word < b.word; });
    return words;
  }();
  return sorted;
}

// Lower-cases ASCII, Latin-1, Latin Extended-A and basic Cyrillic letters of
// UTF-8 text into out; false when text is longer than out can hold.
bool FoldCase(std::string_view text, std::array<char, 32>& out, std::size_t& length) {
  if (text.size() > out.size()) return false;
  length = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    out[i] = Lower(text[i]);
    if (lead < 0xC0 || lead > 0xDF || i + 1 >= text.size()) continue;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if ((next & 0xC0) != 0x80) continue;
    unsigned codePoint = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
    if ((codePoint >= 0xC0 && codePoint <= 0xDE && codePoint != 0xD7) || (codePoint >= 0x410 && codePoint <= 0x42F)) {
      codePoint += 0x20;
    } else if (codePoint >= 0x400 && codePoint <= 0x40F) {
      codePoint += 0x50;
    } else if (((codePoint >= 0x100 && codePoint <= 0x137) || (codePoint >= 0x14A && codePoint <= 0x177)) &&
               codePoint % 2 == 0) {
      codePoint += 1;
    } else if (((codePoint >= 0x139 && codePoint <= 0x148) || (codePoint >= 0x179 && codePoint <= 0x17E)) &&
               codePoint % 2 == 1) {
      codePoint += 1;
    }
    out[i] = static_cast<char>(0xC0 | (codePoint >> 6));
    out[i + 1] = static_cast<char>(0x80 | (codePoint & 0x3F));
    ++i;
  }
  return true;
}

}  // namespace

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

std::optional<int> ParseSmall(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
  if (text.size() < minDigits || text.size() > maxDigits || maxDigits > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<uint64_t> ParseSizeWithUnit(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (IsDigit(text.back())) return ParseUnsigned(text);
  int power = 0;
  switch (Lower(text.back())) {
    case 'k': power = 1; break;
    case 'm': power = 2; break;
    case 'g': power = 3; break;
    case 't': power = 4; break;
    default: return std::nullopt;
  }
  text.remove_suffix(1);
  const auto dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  // At most six whole and three fraction digits: with the largest unit that
  // is about 1 EiB, far from overflowing.
  const auto wholeValue = ParseSmall(whole, 1, 6);
  const auto fractionValue = fraction.empty() ? std::optional<int>(0) : ParseSmall(fraction, 1, 3);
  if (!wholeValue || !fractionValue || (dot != std::string_view::npos && fraction.empty())) return std::nullopt;
  uint64_t thousandths = static_cast<uint64_t>(*fractionValue);
  for (std::size_t i = fraction.size(); i < 3; ++i) thousandths *= 10;
  const uint64_t unit = uint64_t{1} << (10 * power);
  return static_cast<uint64_t>(*wholeValue) * unit + (thousandths * unit + 500) / 1000;
}

std::optional<std::time_t> ToTime(const CivilTime& t) {
  const bool midnightAtEnd = t.hour == 24 && t.minute == 0 && t.second == 0;
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || (t.hour > 23 && !midnightAtEnd) || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 60) {
    return std::nullopt;
  }
  const int second = t.second == 60 ? 59 : t.second;
  const int64_t seconds = DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
                          second - t.utcOffset;
  if (seconds > kLatestTime) return std::nullopt;
  return static_cast<std::time_t>(seconds);
}

std::optional<std::time_t> WithInferredYear(CivilTime t, std::time_t now) {
  // Next year first: just before new year, "Jan  1" within the slack is next year's.
  t.year = YearOfDays(static_cast<int64_t>(now / kSecondsPerDay) - (now % kSecondsPerDay < 0 ? 1 : 0)) + 1;
  for (int attempt = 0; attempt < 10; ++attempt, --t.year) {
    const auto when = ToTime(t);
    if (when && *when <= now + kFutureSlack) return when;
  }
  return std::nullopt;
}

std::optional<std::time_t> ParseFactTime(std::string_view value) {
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
  if (!year || !month || !day || !hour || !minute || !second || *hour > 23) return std::nullopt;
  return ToTime({*year, *month, *day, *hour, *minute, *second});
}

std::optional<int> MonthFromName(std::string_view name) {
  if (!name.empty() && name.back() == '.') name.remove_suffix(1);
  if (const auto number = WithoutSuffix(name, kMonthChars)) {
    const auto month = ParseSmall(*number, 1, 2);
    if (month && *month >= 1 && *month <= 12) return month;
    return std::nullopt;
  }
  std::array<char, 32> folded{};
  std::size_t length = 0;
  if (name.size() < 3 || !FoldCase(name, folded, length)) return std::nullopt;
  const std::string_view key(folded.data(), length);
  const auto& words = SortedMonthWords();
  const auto found = std::lower_bound(words.begin(), words.end(), key,
                                      [](const MonthWord& w, std::string_view k) { return w.word < k; });
  if (found == words.end() || found->word != key) return std::nullopt;
  return found->month;
}

bool ParseClock(std::string_view text, CivilTime& t) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const auto hour = ParseSmall(text.substr(0, colon), 1, 2);
  std::string_view rest = text.substr(colon + 1);
  const auto minute = ParseSmall(rest.substr(0, 2), 2, 2);
  rest.remove_prefix(std::min<std::size_t>(2, rest.size()));
  int second = 0;
  if (!rest.empty()) {
    const auto seconds = rest[0] == ':' ? ParseSmall(rest.substr(1, 2), 2, 2) : std::nullopt;
    if (!seconds) return false;
    second = *seconds;
    rest.remove_prefix(3);
    if (!rest.empty()) {  // a fraction of a second, dropped
      if (rest[0] != '.' || rest.size() < 2 || !ParseUnsigned(rest.substr(1)).has_value()) return false;
    }
  }
  if (!hour || !minute || *minute > 59 || second > 60) return false;
  if (*hour > 24 || (*hour == 24 && (*minute != 0 || second != 0))) return false;
  t.hour = *hour;
  t.minute = *minute;
  t.second = second;
  return true;
}

std::optional<int64_t> ParseUtcOffset(std::string_view text) {
  if (text.size() != 5 || (text[0] != '+' && text[0] != '-')) return std::nullopt;
  const auto hours = ParseSmall(text.substr(1, 2), 2, 2);
  const auto minutes = ParseSmall(text.substr(3, 2), 2, 2);
  if (!hours || !minutes || *hours > 14 || *minutes > 59) return std::nullopt;
  const int64_t offset = *hours * 3600 + *minutes * 60;
  return text[0] == '-' ? -offset : offset;
}

std::optional<int> ParseDayOfMonth(std::string_view text) {
  if (!text.empty() && text.back() == '.') {
    text.remove_suffix(1);
  } else if (const auto number = WithoutSuffix(text, kDayChars)) {
    text = *number;
  }
  const auto day = ParseSmall(text, 1, 2);
  if (!day || *day < 1 || *day > 31) return std::nullopt;
  return day;
}

std::optional<int> ParseYearColumn(std::string_view text) {
  if (const auto number = WithoutSuffix(text, kYearChars)) text = *number;
  const auto year = ParseSmall(text, 4, 4);
  // A year column is never a size: the plausible years only.
  if (!year || *year < 1900 || *year > 2199) return std::nullopt;
  return year;
}

std::optional<NumericDate> ParseNumericDate(std::string_view text) {
  if (text.size() < 6 || text.size() > 10) return std::nullopt;
  const auto first = text.find_first_of("-/.");
  if (first == std::string_view::npos) return std::nullopt;
  const char separator = text[first];
  const auto second = text.find(separator, first + 1);
  if (second == std::string_view::npos || text.find_first_of("-/.", second + 1) != std::string_view::npos ||
      text.find_first_of("-/.", first + 1) != second) {
    return std::nullopt;
  }
  const std::string_view a = text.substr(0, first);
  const std::string_view b = text.substr(first + 1, second - first - 1);
  const std::string_view c = text.substr(second + 1);
  NumericDate date;
  if (a.size() == 4 || (separator == '-' && a.size() == 2 && c.size() == 2)) {
    // YYYY-MM-DD, YYYY/MM/DD, YYYY.MM.DD, YY-MM-DD
    const auto year = ParseSmall(a, 2, 4);
    const auto month = ParseSmall(b, 1, 2);
    const auto day = ParseSmall(c, 1, 2);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
    date.t.year = a.size() == 2 ? *year + (*year < 70 ? 2000 : 1900) : *year;
    date.t.month = *month;
    date.t.day = *day;
    return date;
  }
  // A.B.YYYY or A.B.YY, the day and the month in either order.
  const auto x = ParseSmall(a, 1, 2);
  const auto y = ParseSmall(b, 1, 2);
  const auto year = c.size() == 2 ? ParseSmall(c, 2, 2) : ParseSmall(c, 4, 4);
  const auto couldBe = [](int month, int day) { return month >= 1 && month <= 12 && day >= 1 && day <= 31; };
  if (!x || !y || !year || (!couldBe(*x, *y) && !couldBe(*y, *x))) return std::nullopt;
  date.t.year = c.size() == 2 ? *year + (*year < 70 ? 2000 : 1900) : *year;
  date.usual = separator == '.' ? DateOrder::DayFirst : DateOrder::MonthFirst;
  DateOrder order = date.usual;
  if (*x > 12 && *y <= 12) {
    order = DateOrder::DayFirst;
    date.evidence = order;
  } else if (*y > 12 && *x <= 12) {
    order = DateOrder::MonthFirst;
    date.evidence = order;
  } else if (*x != *y) {
    date.ambiguous = true;
  }
  date.t.day = order == DateOrder::DayFirst ? *x : *y;
  date.t.month = order == DateOrder::DayFirst ? *y : *x;
  date.usual = order;
  return date;
}

CivilTime InOrder(const NumericDate& date, DateOrder order) {
  CivilTime t = date.t;
  if (order != date.usual) std::swap(t.day, t.month);
  return t;
}

std::size_t ParseAsianDate(const std::string_view* columns, std::size_t count, CivilTime& t) {
  // Pieces "digits + character" in the order year, month, day, one or more
  // to a column.
  int found = 0;  // 1: year, 2: month, 3: day read
  std::size_t used = 0;
  while (used < count && used < 3 && found < 3) {
    std::string_view column = columns[used];
    const int before = found;
    while (!column.empty() && found < 3) {
      std::size_t digits = 0;
      while (digits < column.size() && digits < 4 && IsDigit(column[digits])) ++digits;
      if (digits == 0) break;
      const std::string_view rest = column.substr(digits);
      const std::string_view* chars = found == 0 ? kYearChars : found == 1 ? kMonthChars : kDayChars;
      std::size_t taken = 0;
      for (std::size_t k = 0; k < 2; ++k) {
        if (rest.starts_with(chars[k])) taken = chars[k].size();
      }
      if (taken == 0) break;
      const auto value = ParseSmall(column.substr(0, digits), found == 0 ? 4 : 1, found == 0 ? 4 : 2);
      if (!value) break;
      if (found == 0) t.year = *value;
      if (found == 1) t.month = *value;
      if (found == 2) t.day = *value;
      ++found;
      column.remove_prefix(digits + taken);
    }
    if (!column.empty() || found == before) break;  // the column is not (only) date pieces
    ++used;
  }
  return found == 3 ? used : 0;
}

Tokens::Tokens(std::string_view line, std::size_t maxTokens) {
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

std::size_t SkipBlanks(std::string_view line, std::size_t from) {
  while (from < line.size() && IsBlank(line[from])) ++from;
  return from;
}

namespace {

// An optional clock at tokens[i], and the zone that may follow it. Returns
// how many columns it took.
std::size_t ReadOptionalClock(const Tokens& tokens, std::size_t i, CivilTime& t) {
  if (i >= tokens.size() || !ParseClock(tokens[i].text, t)) return 0;
  if (i + 1 < tokens.size()) {
    if (const auto offset = ParseUtcOffset(tokens[i + 1].text)) {
      t.utcOffset = *offset;
      return 2;
    }
  }
  return 1;
}

// "Mar 15 10:30", "15. Mär 2024", "3月 15日 10:30": a month name and a day
// either way round, then a clock (the year inferred) or a year.
std::optional<DateColumns> ReadMonthNameDate(const Tokens& tokens, std::size_t i, std::time_t now) {
  if (i + 2 >= tokens.size()) return std::nullopt;
  CivilTime t;
  if (const auto month = MonthFromName(tokens[i].text)) {
    const auto day = ParseDayOfMonth(tokens[i + 1].text);
    if (!day) return std::nullopt;
    t.month = *month;
    t.day = *day;
  } else if (const auto day = ParseDayOfMonth(tokens[i].text)) {
    const auto dayFirstMonth = MonthFromName(tokens[i + 1].text);
    if (!dayFirstMonth) return std::nullopt;
    t.month = *dayFirstMonth;
    t.day = *day;
  } else {
    return std::nullopt;
  }
  DateColumns date;
  date.last = i + 2;
  if (ParseClock(tokens[i + 2].text, t)) {
    date.when = WithInferredYear(t, now);
  } else if (const auto year = ParseYearColumn(tokens[i + 2].text)) {
    t.year = *year;
    date.when = ToTime(t);  // an impossible date (Feb 30) leaves no time
  } else {
    return std::nullopt;
  }
  return date;
}

}  // namespace

std::optional<DateColumns> ReadDateColumns(const Tokens& tokens, std::size_t i, std::time_t now) {
  if (i >= tokens.size()) return std::nullopt;
  if (auto date = ReadMonthNameDate(tokens, i, now)) return date;
  DateColumns date;
  if (const auto numeric = ParseNumericDate(tokens[i].text)) {
    NumericDate reading = *numeric;
    date.last = i + ReadOptionalClock(tokens, i + 1, reading.t);
    // Something clock-like that is no clock: not a date this parser knows.
    if (date.last == i && i + 1 < tokens.size() && tokens[i + 1].text.find(':') != std::string_view::npos) {
      return std::nullopt;
    }
    date.when = ToTime(reading.t);
    date.evidence = reading.evidence;
    if (reading.ambiguous) date.undecided = reading;
    return date;
  }
  std::array<std::string_view, 3> columns;
  std::size_t count = 0;
  for (; count < columns.size() && i + count < tokens.size(); ++count) columns[count] = tokens[i + count].text;
  CivilTime t;
  if (const std::size_t used = ParseAsianDate(columns.data(), count, t)) {
    date.last = i + used - 1;
    date.last += ReadOptionalClock(tokens, date.last + 1, t);
    date.when = ToTime(t);
    return date;
  }
  return std::nullopt;
}

}  // namespace veltrim::ftp::listing
