// ASCII-mode line ends on any bytes in any pieces: decoding what was
// encoded gives back the original, and decoding does not depend on how the
// bytes are split.

#include <string>
#include <vector>

#include "core/ftp/ascii_codec.h"
#include "fuzz_promise.h"

namespace {

using veltrim::fuzz::Promise;

std::string Encode(std::string_view text, std::size_t piece) {
  std::string out;
  std::vector<char> buffer(2 * piece);
  for (std::size_t at = 0; at < text.size(); at += piece) {
    const std::string_view part = text.substr(at, piece);
    out.append(buffer.data(), veltrim::ftp::EncodeCrLf(part.data(), part.size(), buffer.data()));
  }
  return out;
}

std::string Decode(std::string_view bytes, std::size_t piece) {
  std::string out;
  std::vector<char> buffer(piece + 1);
  veltrim::ftp::CrLfDecoder decoder;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::string_view part = bytes.substr(at, piece);
    out.append(buffer.data(), decoder.Decode(part.data(), part.size(), buffer.data()));
  }
  out.append(buffer.data(), decoder.Finish(buffer.data()));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t encodePiece = 1 + data[0] % 64;
  const std::size_t decodePiece = 1 + data[1] % 64;
  const std::string_view text = veltrim::fuzz::Bytes(data + 2, size - 2);
  Promise(Decode(Encode(text, encodePiece), decodePiece) == text, "ASCII mode round-trips");
  const std::string whole = Decode(text, text.size() + 1);
  Promise(whole == Decode(text, decodePiece), "decoding does not depend on the pieces");
  Promise(whole.size() <= text.size(), "decoding never grows the data");
  return 0;
}
