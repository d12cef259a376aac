#include "cli/progress_line.h"

#include "core/engine/transfer_figures.h"

namespace veltrim::cli {

std::string ProgressLineText(const std::string& fileName, uint64_t totalDone, uint64_t totalBytes,
                             int64_t elapsedWholeSeconds) {
  const double rate = TransferRate(totalDone, elapsedWholeSeconds);
  std::string text = ShortenForTransferWindow(fileName) + "  " + std::to_string(totalDone) + " bytes  " + RateText(rate);
  const int64_t secondsLeft = SecondsLeft(totalBytes > totalDone ? totalBytes - totalDone : 0, rate);
  if (secondsLeft >= 0) text += "  " + TimeLeftFormat(secondsLeft) + " left";
  return text;
}

}  // namespace veltrim::cli
