// Novell NetWare lines: "d [RWCEAFMS] owner  512  Mar 15 10:30  name", the
// type letter, the rights in brackets, the owner, the size and a Unix-like
// date; the name after the padding that follows it.

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

std::optional<ParsedLine> ParseNetWareLine(std::string_view line, std::time_t now) {
  if (line.size() < 3 || (line[0] != 'd' && line[0] != '-') || !IsBlank(line[1])) return std::nullopt;
  const Tokens tokens(line, 8);
  if (tokens.size() < 8) return std::nullopt;
  const std::string_view rights = tokens[1].text;
  if (rights.size() < 3 || rights.front() != '[' || rights.back() != ']' ||
      rights.substr(1, rights.size() - 2).find_first_not_of("RWCEAFMSrwceafms-") != std::string_view::npos) {
    return std::nullopt;
  }
  const auto size = ParseUnsigned(tokens[3].text);
  const auto date = ReadDateColumns(tokens, 4, now);
  if (!size || !date || date->last != 6) return std::nullopt;
  const std::size_t nameStart = SkipBlanks(line, tokens[6].end);
  if (nameStart >= line.size()) return std::nullopt;

  ParsedLine parsed;
  parsed.entry.kind = line[0] == 'd' ? EntryKind::Directory : EntryKind::File;
  parsed.entry.size = *size;
  parsed.entry.modified = date->when;
  parsed.entry.name = std::string(line.substr(nameStart));
  return Accepted(std::move(parsed));
}

}  // namespace veltrim::ftp::listing
