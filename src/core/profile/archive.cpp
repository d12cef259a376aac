#include "core/profile/archive.h"

#include <stdexcept>

namespace veltrim::archive {
namespace {

constexpr uint64_t kOneByteLimit = 0xFF;        // lengths below use one byte
constexpr uint64_t kTwoByteLimit = 0xFFFE;      // lengths below use 0xFF + 2 bytes
constexpr uint64_t kFourByteLimit = 0xFFFFFFFF; // 0xFFFFFFFF itself would mark an 8-byte length
constexpr uint16_t kWideMarker = 0xFFFE;        // 16-bit character strings follow

void AppendUInt16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

uint32_t LittleEndian(std::string_view bytes) {
  uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

void AppendString(std::string& out, std::string_view text) {
  const uint64_t length = text.size();
  if (length < kOneByteLimit) {
    out.push_back(static_cast<char>(length));
  } else if (length < kTwoByteLimit) {
    out.push_back(static_cast<char>(0xFF));
    AppendUInt16(out, static_cast<uint16_t>(length));
  } else if (length < kFourByteLimit) {
    out.push_back(static_cast<char>(0xFF));
    AppendUInt16(out, 0xFFFF);
    AppendInt32(out, static_cast<uint32_t>(length));
  } else {
    throw std::length_error("text too long for a profile file");
  }
  out.append(text);
}

void AppendInt32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool Reader::Take(std::size_t count, std::string_view& taken) {
  if (failed_ || count > rest_.size()) {
    failed_ = true;
    return false;
  }
  taken = rest_.substr(0, count);
  rest_.remove_prefix(count);
  return true;
}

std::optional<uint64_t> Reader::ReadLength() {
  std::string_view bytes;
  if (!Take(1, bytes)) return std::nullopt;
  if (static_cast<unsigned char>(bytes[0]) != 0xFF) return static_cast<unsigned char>(bytes[0]);
  if (!Take(2, bytes)) return std::nullopt;
  const uint32_t shortLength = LittleEndian(bytes);
  if (shortLength == kWideMarker) {
    failed_ = true;
    return std::nullopt;
  }
  if (shortLength != 0xFFFF) return shortLength;
  if (!Take(4, bytes)) return std::nullopt;
  const uint32_t longLength = LittleEndian(bytes);
  if (longLength == kFourByteLimit) {  // the 8-byte form: never written for a profile
    failed_ = true;
    return std::nullopt;
  }
  return longLength;
}

std::optional<std::string> Reader::ReadString() {
  const auto length = ReadLength();
  if (!length) return std::nullopt;
  // The length is checked against what is left before anything is allocated.
  std::string_view text;
  if (*length > rest_.size() || !Take(static_cast<std::size_t>(*length), text)) {
    failed_ = true;
    return std::nullopt;
  }
  return std::string(text);
}

std::optional<uint32_t> Reader::ReadUInt32() {
  std::string_view bytes;
  if (!Take(4, bytes)) return std::nullopt;
  return LittleEndian(bytes);
}

}  // namespace veltrim::archive
