#pragma once
// Profiles saved by older versions of the program, and their conversion in
// place into the current .ftp layout.
//
// The older layout uses the same archive encoding (length-prefixed strings,
// little-endian 4-byte integers) and has no header either. In file order: a
// string that is not carried over; Name, Hostname, RemoteDir, LocalDir,
// Username, Password; then Port, Anonymous, SavePassword, ConnectOnOpen as
// 4-byte integers (a flag is true only when it holds exactly 1). Anything
// after the last field is ignored. The fields it lacks get fixed values:
// ScriptFile empty, Retries 1, Timeout 60, Reserved 5.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "core/profile/server_settings.h"

namespace veltrim {

// The profile an older file holds; nothing when the bytes end before its
// last field (or a string's length is damaged).
std::optional<ServerSettings> DecodeLegacyProfile(std::string_view bytes);

// Where the old bytes of file are kept: the file name with its extension
// replaced by ".old" ("home.ftp" -> "home.old", "site" -> "site.old"), in the
// same folder. A name that is taken gets a number: "home.1.old", "home.2.old".
std::filesystem::path LegacyBackupPath(const std::filesystem::path& file);

enum class LegacyConversion {
  Converted,       // file now holds the current layout; the old bytes are in Backup
  AlreadyCurrent,  // file already reads completely as a current profile: left alone
  Invalid,         // not a profile of either layout: left alone, nothing written
};

struct LegacyConversionResult {
  LegacyConversion Outcome = LegacyConversion::Invalid;
  std::filesystem::path Backup;
};

// Converts file in place. The backup is written (never over an existing
// file) before the converted profile replaces the original through
// SaveProfileFile's temporary file and rename, so the original is never cut
// short. progress, when given, receives the percentage done: 15 once the
// copy is safe, 45 once the converted profile is written, then 100. Throws std::runtime_error with a readable
// text when a file cannot be read or written.
LegacyConversionResult ConvertLegacyProfileFile(const std::filesystem::path& file,
                                                const std::function<void(int)>& progress = {});

}  // namespace veltrim
