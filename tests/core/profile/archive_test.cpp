#include "core/profile/archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile_samples.h"

namespace veltrim::archive {
namespace {

using test::Bytes;

TEST(ArchiveString, LengthPrefixBoundaries) {
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {0, Bytes({0x00})},
      {1, Bytes({0x01})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {256, Bytes({0xFF, 0x00, 0x01})},
      {65533, Bytes({0xFF, 0xFD, 0xFF})},
      {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {65535, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
      {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
  };
  for (const auto& [length, prefix] : cases) {
    const std::string text(length, 'a');
    std::string out;
    AppendString(out, text);
    ASSERT_EQ(out, prefix + text) << length;
    Reader reader(out);
    EXPECT_EQ(reader.ReadString(), text) << length;
    EXPECT_FALSE(reader.Failed());
  }
  // Longer prefix forms of short lengths are read too.
  const std::string longForms = Bytes({0xFF, 0x02, 0x00, 'h', 'i', 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, '!'});
  Reader reader(longForms);
  EXPECT_EQ(reader.ReadString(), "hi");
  EXPECT_EQ(reader.ReadString(), "!");
}

TEST(ArchiveString, DamagedInputFailsTheRead) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"nothing at all", ""},
      {"one-byte length past the end", Bytes({0x05, 'a', 'b'})},
      {"marker without its length", Bytes({0xFF})},
      {"marker with half a length", Bytes({0xFF, 0x10})},
      {"two-byte length past the end", Bytes({0xFF, 0x00, 0x01, 'a'})},
      {"four-byte length cut short", Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00})},
      {"four-byte length of 4 GiB - 2 with nothing behind it", Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF})},
      {"eight-byte form", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0, 0, 0, 0, 'a'})},
      {"16-bit character form", Bytes({0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00})},
  };
  for (const auto& [what, bytes] : cases) {
    Reader reader(bytes);
    EXPECT_EQ(reader.ReadString(), std::nullopt) << what;
    // Once failed, the reader stays failed even where bytes remain.
    EXPECT_EQ(reader.ReadUInt32(), std::nullopt) << what;
    EXPECT_TRUE(reader.Failed()) << what;
  }
}

}  // namespace
}  // namespace veltrim::archive
