// The .ftp profile codec on any file: decoding never reads out of bounds;
// a profile that decodes completely encodes to bytes that decode to the
// same profile, and to the very same bytes when the file is one the
// encoder could have written (no bytes after the last field, the shortest
// length prefixes, flags stored as 0 or 1; other flag values read as false).

#include <string>

#include "core/profile/profile_file.h"
#include "fuzz_promise.h"

using veltrim::fuzz::Promise;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes = veltrim::fuzz::Bytes(data, size);
  veltrim::ServerSettings decoded;
  if (veltrim::DecodeProfile(bytes, decoded) != veltrim::ProfileLoad::Complete) return 0;
  const std::string encoded = veltrim::EncodeProfile(decoded);
  veltrim::ServerSettings again;
  Promise(veltrim::DecodeProfile(encoded, again) == veltrim::ProfileLoad::Complete, "an encoded profile decodes");
  Promise(!veltrim::Differs(decoded, again), "decode, encode, decode gives the same profile");

  Promise(encoded.size() <= bytes.size(), "encoding is never longer than what decoded");
  bool flagsAreBits = true;
  for (std::size_t flag = 0; flag < 3; ++flag) {
    const std::string_view value = bytes.substr(encoded.size() - 12 + flag * 4, 4);
    flagsAreBits = flagsAreBits && (value == std::string_view("\0\0\0\0", 4) || value == std::string_view("\1\0\0\0", 4));
  }
  if (encoded.size() == bytes.size() && flagsAreBits) {
    Promise(encoded == bytes, "decode then encode is byte-identical");
  }
  return 0;
}
