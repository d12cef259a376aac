#pragma once
// The one-line form of the File Transfer window's figures for a terminal.

#include <cstdint>
#include <string>

namespace veltrim::cli {

// "name  12345 bytes  12.34 KB/sec  00 min 05 sec left": bytes moved in the
// run, the rate and the time left as the File Transfer window computes them.
std::string ProgressLineText(const std::string& fileName, uint64_t totalDone, uint64_t totalBytes,
                             int64_t elapsedWholeSeconds);

}  // namespace veltrim::cli
