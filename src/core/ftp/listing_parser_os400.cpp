// IBM OS/400 (IBM i) lines: "OWNER  size  date  time  *TYPE  name". The
// date follows the system's date format (03/15/24, 15.03.24, 24-03-15);
// directories are *DIR, *DDIR, *FLR and *LIB, often with a trailing "/".

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

std::optional<ParsedLine> ParseOs400Line(std::string_view line, std::time_t now) {
  if (line.find('*') == std::string_view::npos) return std::nullopt;
  const Tokens tokens(line, 6);
  if (tokens.size() < 6) return std::nullopt;
  const auto size = ParseUnsigned(tokens[1].text);
  const auto date = ReadDateColumns(tokens, 2, now);
  const std::string_view type = tokens[4].text;
  if (!size || !date || date->last != 3 || type.size() < 2 || type[0] != '*') return std::nullopt;
  const std::size_t nameStart = SkipBlanks(line, tokens[4].end);
  std::string_view name = line.substr(nameStart);
  const bool slash = name.size() > 1 && name.back() == '/';
  if (slash) name.remove_suffix(1);

  ParsedLine parsed;
  const std::string_view kind = type.substr(1);
  const bool directory = slash || kind == "DIR" || kind == "DDIR" || kind == "FLR" || kind == "LIB";
  parsed.entry.kind = directory ? EntryKind::Directory : EntryKind::File;
  parsed.entry.size = *size;
  parsed.entry.modified = date->when;
  parsed.entry.name = std::string(name);
  parsed.undecided = date->undecided;
  parsed.evidence = date->evidence;
  return Accepted(std::move(parsed));
}

}  // namespace veltrim::ftp::listing
