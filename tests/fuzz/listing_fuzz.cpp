// Every listing family on any bytes, line by line, and the whole-listing
// reader on all of them: no name with "/", NUL, CR or LF, never "." or
// "..", no time past the year 9999, never more entries than lines, and a
// listing of one line reads as that line does alone.

#include <string>

#include "core/ftp/listing_parser.h"
#include "core/ftp/listing_parser_families.h"
#include "fuzz_promise.h"

namespace {

using namespace veltrim::ftp;
using veltrim::fuzz::Promise;

constexpr std::time_t kNow = 1796590800;  // 2026-12-06 21:00 UTC

void CheckEntry(const RemoteEntry& entry) {
  Promise(IsAcceptableName(entry.name), "a name is acceptable");
  Promise(!entry.modified || *entry.modified <= 253402300799, "a time stays within year 9999");
  Promise(entry.linkTarget.empty() || entry.kind == EntryKind::Link, "only a link has a target");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text = veltrim::fuzz::Bytes(data, size);
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lines;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.size() > kMaxListingLineLength) continue;
    for (auto parser : {listing::ParseUnixLine, listing::ParseDosLine, listing::ParseEplfLine, listing::ParseVmsLine,
                        listing::ParseNetWareLine, listing::ParseOs400Line}) {
      if (const auto parsed = parser(line, kNow)) CheckEntry(parsed->entry);
    }
    if (const auto entry = listing::ParseMlsdLine(line)) CheckEntry(*entry);
    if (line.back() == '\r') continue;  // a listing would take a second CR as the line end
    const auto alone = ParseListLine(line, kNow);
    const auto asListing = ParseListListing(line, kNow);
    Promise(asListing.size() == (alone ? 1u : 0u) && (!alone || asListing.front() == *alone),
            "a one-line listing reads as its line");
  }
  const auto listed = ParseListListing(text, kNow);
  const auto mlsd = ParseMlsdListing(text);
  Promise(listed.size() <= lines && mlsd.size() <= lines, "no more entries than lines");
  for (const auto& entry : listed) CheckEntry(entry);
  for (const auto& entry : mlsd) CheckEntry(entry);
  return 0;
}
