#include "core/ftp/reply_parsers.h"

#include <algorithm>
#include <vector>

#include "core/ftp/listing_parser_fields.h"

namespace veltrim::ftp {

namespace {

using listing::IsDigit;

// Digits at pos, at most maxValue; advances pos past them.
std::optional<unsigned> ReadNumber(std::string_view text, std::size_t& pos, unsigned maxValue) {
  const std::size_t start = pos;
  unsigned value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    value = value * 10 + static_cast<unsigned>(text[pos] - '0');
    if (value > maxValue || pos - start >= 5) return std::nullopt;
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> ParseDirectoryReply(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos) {
    // Some old servers leave out the quotes: "257 /home/me is current".
    std::string_view rest = line.size() > 4 ? line.substr(4) : std::string_view();
    if (rest.empty() || rest.front() != '/') return std::nullopt;
    return std::string(rest.substr(0, rest.find(' ')));
  }
  std::string path;
  for (std::size_t i = open + 1; i < line.size(); ++i) {
    if (line[i] != '"') {
      path += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      path += '"';
      ++i;
    } else {
      if (path.empty()) return std::nullopt;
      return path;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<uint16_t> ParseExtendedPassivePort(std::string_view line) {
  const std::size_t open = line.find('(');
  if (open == std::string_view::npos || open + 1 >= line.size()) return std::nullopt;
  const char delimiter = line[open + 1];
  if (delimiter < 33 || delimiter > 126 || IsDigit(delimiter)) return std::nullopt;
  std::size_t pos = open + 1;
  for (int i = 0; i < 3; ++i) {
    if (pos >= line.size() || line[pos] != delimiter) return std::nullopt;
    ++pos;
  }
  const auto port = ReadNumber(line, pos, 65535);
  if (!port || *port == 0 || pos >= line.size() || line[pos] != delimiter) return std::nullopt;
  return static_cast<uint16_t>(*port);
}

std::optional<uint16_t> ParsePassivePort(std::string_view line) {
  // Skip the reply code, then look for six comma-separated numbers; some
  // servers leave out the parentheses.
  for (std::size_t start = std::min<std::size_t>(4, line.size()); start < line.size(); ++start) {
    if (!IsDigit(line[start]) || (start > 0 && IsDigit(line[start - 1]))) continue;
    std::size_t pos = start;
    std::vector<unsigned> numbers;
    while (numbers.size() < 6) {
      const auto number = ReadNumber(line, pos, 255);
      if (!number) break;
      numbers.push_back(*number);
      if (numbers.size() < 6) {
        if (pos >= line.size() || line[pos] != ',') break;
        ++pos;
      }
    }
    if (numbers.size() == 6) {
      if (pos < line.size() && line[pos] == ',') return std::nullopt;  // more than six numbers
      const unsigned port = numbers[4] * 256 + numbers[5];
      if (port == 0) return std::nullopt;
      return static_cast<uint16_t>(port);
    }
  }
  return std::nullopt;
}

namespace {

// The text of a 213 reply after its code, without trailing blanks.
std::optional<std::string_view> StatusValue(std::string_view line) {
  if (line.size() < 5 || line.substr(0, 4) != "213 ") return std::nullopt;
  std::string_view value = line.substr(4);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  return value;
}

}  // namespace

std::optional<uint64_t> ParseSizeReply(std::string_view line) {
  const auto value = StatusValue(line);
  return value ? listing::ParseUnsigned(*value) : std::nullopt;
}

std::optional<std::time_t> ParseModificationTimeReply(std::string_view line) {
  const auto value = StatusValue(line);
  return value ? listing::ParseFactTime(*value) : std::nullopt;
}

ServerFeatures ParseFeatures(const Reply& reply) {
  ServerFeatures features;
  if (reply.code != 211) return features;
  for (std::size_t i = 1; i + 1 < reply.lines.size(); ++i) {
    std::string_view line = reply.lines[i];
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    const std::string_view name = line.substr(0, line.find_first_of(" \t"));
    const auto is = [name](std::string_view feature) { return listing::EqualsIgnoreCase(name, feature); };
    if (is("MLST") || is("MLSD")) features.mlsd = true;
    if (is("EPSV")) features.epsv = true;
    if (is("UTF8")) features.utf8 = true;
    if (is("SIZE")) features.size = true;
    if (is("MDTM")) features.mdtm = true;
    if (is("REST")) features.rest = true;
  }
  return features;
}

bool HasLineBreakOrNul(std::string_view argument) {
  return argument.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace veltrim::ftp
