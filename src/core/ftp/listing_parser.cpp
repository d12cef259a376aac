// Picks the family of every listing line and settles what only the whole
// listing can: the order of ambiguous numeric dates, VMS entries wrapped
// over two lines, and older versions of a VMS file.
//
// Every parser here works on string_views into the listing and only ever
// looks at bytes it has bounds-checked. Work per line is linear in the
// line's length and lines are bounded, so a listing parses in linear time.

#include "core/ftp/listing_parser.h"

#include <utility>

#include "core/ftp/listing_parser_families.h"

namespace veltrim::ftp {

namespace {

using listing::DateOrder;
using listing::ParsedLine;

// Calls lineHandler for every line, without its CR LF or LF; empty lines and
// lines over the bound are skipped.
template <typename Handler>
void ForEachLine(std::string_view text, Handler&& lineHandler) {
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.size() <= kMaxListingLineLength) lineHandler(line);
    start = end + 1;
  }
}

std::optional<ParsedLine> ParseAnyLine(std::string_view line, std::time_t now) {
  if (line[0] == '+') return listing::ParseEplfLine(line, now);
  if (listing::IsDigit(line[0])) {
    if (auto parsed = listing::ParseDosLine(line, now)) return parsed;
  }
  for (auto parser : {listing::ParseUnixLine, listing::ParseNetWareLine, listing::ParseOs400Line}) {
    if (auto parsed = parser(line, now)) return parsed;
  }
  return std::nullopt;
}

class ListingReader {
 public:
  explicit ListingReader(std::time_t now) : now_(now) {}

  void Add(std::string_view line) {
    if (!vmsWrappedName_.empty()) {
      std::string joined = std::move(vmsWrappedName_);
      vmsWrappedName_.clear();
      if (listing::IsBlank(line[0])) {
        joined.append(" ").append(line);
        if (AddVms(joined)) return;
      }
    }
    if (listing::IsVmsNameOnlyLine(line)) {
      vmsWrappedName_ = std::string(line);
      return;
    }
    if (AddVms(line)) return;
    if (auto parsed = ParseAnyLine(line, now_)) Keep(std::move(*parsed));
  }

  std::vector<RemoteEntry> Finish() {
    for (auto& [index, date] : undecided_) {
      const DateOrder order = dayFirstSeen_ == monthFirstSeen_ ? date.usual
                              : dayFirstSeen_                  ? DateOrder::DayFirst
                                                               : DateOrder::MonthFirst;
      entries_[index].modified = listing::ToTime(listing::InOrder(date, order));
    }
    return std::move(entries_);
  }

 private:
  // VMS lists the newest version of a file first: older ones add nothing.
  bool AddVms(std::string_view line) {
    auto parsed = listing::ParseVmsLine(line, now_);
    if (!parsed) return false;
    if (parsed->entry.name != lastVmsName_) {
      lastVmsName_ = parsed->entry.name;
      Keep(std::move(*parsed));
    }
    return true;
  }

  void Keep(ParsedLine parsed) {
    if (parsed.evidence) (*parsed.evidence == DateOrder::DayFirst ? dayFirstSeen_ : monthFirstSeen_) = true;
    if (parsed.undecided) undecided_.emplace_back(entries_.size(), *parsed.undecided);
    entries_.push_back(std::move(parsed.entry));
  }

  const std::time_t now_;
  std::vector<RemoteEntry> entries_;
  std::vector<std::pair<std::size_t, listing::NumericDate>> undecided_;
  bool dayFirstSeen_ = false;
  bool monthFirstSeen_ = false;
  std::string vmsWrappedName_;
  std::string lastVmsName_;
};

}  // namespace

namespace listing {

std::optional<ParsedLine> Accepted(ParsedLine parsed) {
  if (!IsAcceptableName(parsed.entry.name)) return std::nullopt;
  return parsed;
}

}  // namespace listing

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
    if (auto entry = listing::ParseMlsdLine(line)) entries.push_back(std::move(*entry));
  });
  return entries;
}

std::optional<RemoteEntry> ParseListLine(std::string_view line, std::time_t now) {
  if (line.empty() || line.size() > kMaxListingLineLength) return std::nullopt;
  if (auto parsed = listing::ParseVmsLine(line, now)) return std::move(parsed->entry);
  if (auto parsed = ParseAnyLine(line, now)) return std::move(parsed->entry);
  return std::nullopt;
}

std::vector<RemoteEntry> ParseListListing(std::string_view listing, std::time_t now) {
  ListingReader reader(now);
  ForEachLine(listing, [&](std::string_view line) { reader.Add(line); });
  return reader.Finish();
}

}  // namespace veltrim::ftp
