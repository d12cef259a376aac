#include "core/engine/transfer_figures.h"

#include <cstdio>

namespace veltrim {

uint32_t ProgressPercent(uint64_t done, uint64_t total) {
  // 128-bit so that no size a server reports can overflow the product.
  const unsigned __int128 percent = static_cast<unsigned __int128>(done) * 100u /
                                    (static_cast<unsigned __int128>(total) + 1u);
  return percent > 100u ? 100u : static_cast<uint32_t>(percent);
}

double TransferRate(uint64_t totalDone, int64_t elapsedWholeSeconds) {
  if (elapsedWholeSeconds < 0) elapsedWholeSeconds = 0;
  return static_cast<double>(static_cast<float>(totalDone) / static_cast<float>(elapsedWholeSeconds + 1));
}

std::string RateText(double bytesPerSecond) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f KB/sec", bytesPerSecond / 1024.0);
  return text;
}

std::string TimeLeftFormat(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const int64_t hours = (seconds / 3600) % 24;
  const int64_t minutes = (seconds / 60) % 60;
  const int64_t secs = seconds % 60;
  char text[64];
  if (hours > 0) {
    std::snprintf(text, sizeof text, "%02lld hr %02lld min %02lld sec", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(secs));
  } else if (minutes > 0) {
    std::snprintf(text, sizeof text, "%02lld min %02lld sec", static_cast<long long>(minutes),
                  static_cast<long long>(secs));
  } else {
    std::snprintf(text, sizeof text, "%02lld sec", static_cast<long long>(secs));
  }
  return text;
}

int64_t SecondsLeft(uint64_t remaining, double bytesPerSecond) {
  if (!(bytesPerSecond > 0.0)) return -1;
  const double seconds = static_cast<double>(remaining) / bytesPerSecond;
  if (seconds >= 9.0e18) return INT64_MAX;
  return static_cast<int64_t>(seconds);
}

namespace {
std::string TimeLeftLine(uint64_t size, uint64_t done, double rate) {
  const uint64_t remaining = done >= size ? 0 : size - done;
  const int64_t seconds = SecondsLeft(remaining, rate);
  std::string line = seconds < 0 ? std::string() : TimeLeftFormat(seconds);
  line += "   (" + std::to_string(done / 1024) + " KB copied)";
  return line;
}
}  // namespace

std::string TimeLeftText(uint64_t fileSize, uint64_t fileDone, uint64_t totalBytes, uint64_t totalDone,
                         double bytesPerSecond) {
  return TimeLeftLine(fileSize, fileDone, bytesPerSecond) + "\n" +
         TimeLeftLine(totalBytes, totalDone, bytesPerSecond);
}

std::string ShortenForTransferWindow(const std::string& path) {
  constexpr std::size_t kShown = 28;
  if (path.size() <= kShown) return path;
  return "..." + path.substr(path.size() - kShown);
}

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace veltrim
