#pragma once
// The archive encoding of profile files: length-prefixed strings without a
// terminator and little-endian 4-byte integers.
//
// String prefixes: below 255 one byte; 255..65533 the byte 0xFF and 2 bytes;
// 65534 and more 0xFF, 0xFF 0xFF and 4 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrim::archive {

void AppendString(std::string& out, std::string_view text);  // throws std::length_error beyond 4 GiB - 2
void AppendInt32(std::string& out, uint32_t value);

// Reads from the front of a byte range. Every read either succeeds whole or
// fails without moving; a failed read leaves the reader failed for good.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}
  explicit Reader(std::string&&) = delete;  // would read a temporary that is gone

  // Fails when the input ends early, a length claims more bytes than are
  // left, or the prefix marks the 16-bit character form (never written here).
  std::optional<std::string> ReadString();
  std::optional<uint32_t> ReadUInt32();
  bool Failed() const { return failed_; }

 private:
  std::optional<uint64_t> ReadLength();
  bool Take(std::size_t count, std::string_view& taken);

  std::string_view rest_;
  bool failed_ = false;
};

}  // namespace veltrim::archive
