// Line-end conversion of ASCII transfers, chunked as the network delivers.

#include <gtest/gtest.h>

#include <string>

#include "core/ftp/ascii_codec.h"

namespace veltrim::ftp {
namespace {

std::string DecodeInChunks(const std::string& wire, std::size_t chunk) {
  CrLfDecoder decoder;
  std::string out;
  std::string buffer(chunk + 1, '\0');
  for (std::size_t at = 0; at < wire.size(); at += chunk) {
    const std::size_t count = std::min(chunk, wire.size() - at);
    out.append(buffer.data(), decoder.Decode(wire.data() + at, count, buffer.data()));
  }
  out.append(buffer.data(), decoder.Finish(buffer.data()));
  return out;
}

TEST(CrLfDecoder, TurnsCrLfIntoLfWhereverTheChunksEnd) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"a\r\nb", "a\nb"},
      {"\r\n\r\n", "\n\n"},
      {"lone\rcr", "lone\rcr"},
      {"\r\r\n", "\r\n"},
      {"\r\r\r", "\r\r\r"},
      {"ends\r", "ends\r"},
      {"\n", "\n"},
      {"\r\n\r", "\n\r"},
      {"a\r\r\nb\r\n\nc", "a\r\nb\n\nc"},
  };
  for (const auto& [wire, local] : cases) {
    for (std::size_t chunk = 1; chunk <= wire.size() + 1; ++chunk) {
      EXPECT_EQ(DecodeInChunks(wire, chunk), local) << "chunk " << chunk;
    }
  }
}

TEST(EncodeCrLf, TurnsEveryLfIntoCrLf) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},          {"a\nb", "a\r\nb"},       {"\n\n", "\r\n\r\n"},
      {"lone\rcr", "lone\rcr"}, {"x\r\n", "x\r\r\n"}, {"no breaks", "no breaks"},
  };
  for (const auto& [local, wire] : cases) {
    std::string out(local.size() * 2, '\0');
    out.resize(EncodeCrLf(local.data(), local.size(), out.data()));
    EXPECT_EQ(out, wire);
    // What goes out comes back unchanged when the text had no CR of its own.
    if (local.find('\r') == std::string::npos) {
      EXPECT_EQ(DecodeInChunks(out, 3), local);
    }
  }
}

}  // namespace
}  // namespace veltrim::ftp
