#include "core/ftp/internet_exception.h"

#include <algorithm>
#include <cstring>

namespace veltrim {

namespace {
thread_local int lastInternetError = kErrorNone;
}

CInternetException::CInternetException(int errorCode, std::string text)
    : errorCode_(errorCode), text_(std::move(text)) {}

bool CInternetException::GetErrorMessage(char* buffer, std::size_t bufferSize) const noexcept {
  if (buffer == nullptr || bufferSize == 0) return false;
  buffer[0] = '\0';
  if (text_.empty()) return false;
  const std::size_t count = std::min(text_.size(), bufferSize - 1);
  std::memcpy(buffer, text_.data(), count);
  buffer[count] = '\0';
  return true;
}

int GetLastInternetError() noexcept { return lastInternetError; }
void SetLastInternetError(int code) noexcept { lastInternetError = code; }

}  // namespace veltrim
