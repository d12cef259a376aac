#pragma once
// The .ftp file: the bare sequence of a profile's fields, as archive strings
// (length-prefixed, no terminator) and little-endian 4-byte integers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/profile/server_settings.h"

namespace veltrim {

enum class ProfileLoad { Complete, Incomplete };

// The bytes of a profile, exactly as given (the caller decides what goes
// into Password).
std::string EncodeProfile(const ServerSettings& settings);

// Reads fields in file order into target. On a short or damaged input the
// fields read so far keep their new values, the rest (and all three flags)
// are left as they were, and the result is Incomplete.
ProfileLoad DecodeProfile(std::string_view bytes, ServerSettings& target);

// File helpers. SaveProfileFile writes with permissions 0600 (the file holds
// a password) to a temporary file beside the target and renames it over the
// target only once it is complete. Both throw std::runtime_error with a
// readable text when the file itself cannot be opened or written (a folder or
// a named pipe is not a profile). A read error part way through the file is
// taken as its end, so the load is Incomplete.
void SaveProfileFile(const std::filesystem::path& path, const ServerSettings& settings);
ProfileLoad LoadProfileFile(const std::filesystem::path& path, ServerSettings& target);
// The bytes of a profile file as LoadProfileFile reads them (same errors,
// same limit on the size).
std::string ReadProfileBytes(const std::filesystem::path& path);

}  // namespace veltrim
