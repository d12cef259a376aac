#pragma once
// Shared helpers of the FTP client tests.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_file.h"
#include "core/ftp/internet_session.h"
#include "support/local_files.h"

namespace veltrim::test {

// Reads a remote file to its end in blocks of blockSize, as the transfer loop does.
inline std::string ReadAll(CInternetFile& file, std::size_t blockSize) {
  std::string content;
  std::string block(blockSize, '\0');
  while (true) {
    const std::size_t got = file.Read(block.data(), blockSize);
    content.append(block.data(), got);
    if (got < blockSize) return content;
  }
}

inline void WriteAll(CInternetFile& file, const std::string& content, std::size_t blockSize) {
  for (std::size_t at = 0; at < content.size(); at += blockSize) {
    file.Write(content.data() + at, std::min(blockSize, content.size() - at));
  }
}

// The error code of what call throws, or 0 when it does not throw.
template <typename Call>
int ErrorCodeOf(Call&& call, std::string* text = nullptr) {
  try {
    call();
  } catch (const CInternetException& e) {
    if (text) *text = e.Text();
    return e.ErrorCode();
  }
  return 0;
}

}  // namespace veltrim::test
