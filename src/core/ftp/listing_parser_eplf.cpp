// EPLF, the easily parsed list format: "+facts,\tname".

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

std::optional<ParsedLine> ParseEplfLine(std::string_view line, std::time_t /*now: EPLF times are absolute*/) {
  if (line.size() < 2 || line[0] != '+') return std::nullopt;
  const auto tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  std::string_view facts = line.substr(1, tab - 1);
  ParsedLine parsed;
  RemoteEntry& entry = parsed.entry;
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
        if (seconds && *seconds <= uint64_t{kLatestTime}) entry.modified = static_cast<std::time_t>(*seconds);
        break;
      }
      default: break;
    }
  }
  entry.kind = directory ? EntryKind::Directory : retrievable ? EntryKind::File : EntryKind::Other;
  return Accepted(std::move(parsed));
}

}  // namespace veltrim::ftp::listing
