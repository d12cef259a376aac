#include "core/ftp/ascii_codec.h"

namespace veltrim::ftp {

std::size_t CrLfDecoder::Decode(const char* in, std::size_t count, char* out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = in[i];
    if (pendingCr_) {
      pendingCr_ = false;
      if (c == '\n') {
        out[written++] = '\n';
        continue;
      }
      out[written++] = '\r';
    }
    if (c == '\r') {
      pendingCr_ = true;
    } else {
      out[written++] = c;
    }
  }
  return written;
}

std::size_t CrLfDecoder::Finish(char* out) {
  if (!pendingCr_) return 0;
  pendingCr_ = false;
  out[0] = '\r';
  return 1;
}

std::size_t EncodeCrLf(const char* in, std::size_t count, char* out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (in[i] == '\n') out[written++] = '\r';
    out[written++] = in[i];
  }
  return written;
}

}  // namespace veltrim::ftp
