#pragma once
// The counters of one transfer run, shared between the transfer worker (which
// writes them) and the File Transfer window (which reads them on its own
// clock). Lock-free, so the copy loop pays one relaxed store per block.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace veltrim {

struct TransferProgress {
  std::atomic<uint64_t> FileDone{0};    // bytes of the current file moved so far
  std::atomic<uint64_t> FileSize{0};    // size of the current file
  std::atomic<uint64_t> TotalDone{0};   // bytes moved in the whole run
  std::atomic<uint64_t> TotalBytes{0};  // sum of the sizes of all items listed
  // Set by the window's Cancel; the worker polls it between blocks and clears
  // it after a cancel that lets the rest of the queue continue.
  std::atomic<bool> Cancelled{false};
  const std::chrono::steady_clock::time_point StartTime = std::chrono::steady_clock::now();
};

}  // namespace veltrim
