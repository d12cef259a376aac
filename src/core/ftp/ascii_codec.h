#pragma once
// Line-end conversion of ASCII transfers: the network's CRLF becomes "\n" on
// the way in, "\n" becomes CRLF on the way out. A lone CR is kept. Both work
// on chunks of any size; a CR at the end of one chunk is held back until the
// next chunk shows whether an LF follows.

#include <cstddef>

namespace veltrim::ftp {

class CrLfDecoder {
 public:
  // out must have room for count + 1 bytes. Returns the bytes written.
  std::size_t Decode(const char* in, std::size_t count, char* out);
  // At the end of the data: writes a held-back CR (out: room for 1 byte).
  std::size_t Finish(char* out);

 private:
  bool pendingCr_ = false;
};

// out must have room for 2 * count bytes. Returns the bytes written.
std::size_t EncodeCrLf(const char* in, std::size_t count, char* out);

}  // namespace veltrim::ftp
