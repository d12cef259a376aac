// MLSD and MLST fact lines: "fact=value;fact=value; name", the facts in any
// case and order.

#include "core/ftp/listing_parser_families.h"

#include <string>

namespace veltrim::ftp::listing {

namespace {

enum class MlsdType { File, Directory, Link, Other, Skip };

MlsdType ClassifyType(std::string_view value, std::string& linkTarget) {
  linkTarget.clear();
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

// unix.mode with the file-type bits ("0100644", "040755"): the type of an
// entry without a type fact. A plain permission mode says nothing.
std::optional<MlsdType> TypeFromMode(std::string_view mode) {
  if (mode.size() < 5 || mode.size() > 7 || mode.find_first_not_of("01234567") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view type = mode.substr(0, mode.size() - 4);
  const auto value = ParseUnsigned(type);
  if (!value || *value == 0) return std::nullopt;
  switch (*value) {
    case 10: return MlsdType::File;
    case 4: return MlsdType::Directory;
    case 12: return MlsdType::Link;
    default: return MlsdType::Other;
  }
}

}  // namespace

std::optional<RemoteEntry> ParseMlsdLine(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  std::string_view facts = line.substr(0, space);
  RemoteEntry entry;
  entry.name = std::string(line.substr(space + 1));

  if (facts.empty()) return std::nullopt;  // a bare name says nothing about what it is
  std::optional<MlsdType> type;
  std::optional<MlsdType> modeType;
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
      // The last type fact counts, and with it only its own link target.
      type = ClassifyType(value, entry.linkTarget);
    } else if (EqualsIgnoreCase(key, "size") || EqualsIgnoreCase(key, "sizd")) {
      const auto parsed = ParseUnsigned(value);
      if (!parsed) return std::nullopt;  // a size we cannot represent is not a size
      (EqualsIgnoreCase(key, "size") ? size : directorySize) = parsed;
    } else if (EqualsIgnoreCase(key, "modify")) {
      entry.modified = ParseFactTime(value);
    } else if (EqualsIgnoreCase(key, "unix.mode")) {
      modeType = TypeFromMode(value);
    }
  }
  switch (type.value_or(modeType.value_or(MlsdType::File))) {
    case MlsdType::Skip: return std::nullopt;
    case MlsdType::File: entry.kind = EntryKind::File; break;
    case MlsdType::Directory: entry.kind = EntryKind::Directory; break;
    case MlsdType::Link: entry.kind = EntryKind::Link; break;
    case MlsdType::Other: entry.kind = EntryKind::Other; break;
  }
  entry.size = size.value_or(directorySize.value_or(0));
  if (!IsAcceptableName(entry.name)) return std::nullopt;
  return entry;
}

}  // namespace veltrim::ftp::listing
