#pragma once
// Process-wide flags of the engine. They outlive any one session so that a
// worker that finishes late (its session already given up) can find out that
// its result is no longer wanted.

#include <array>
#include <atomic>
#include <cstddef>

namespace veltrim {

inline constexpr std::size_t kAttemptSlots = 256;

// Tells the worker of the running operation (and the login worker) to leave
// the result flags alone.
extern std::atomic<bool> OperationAbort;
// Tells the transfer worker to end at once without touching its session.
extern std::atomic<bool> TransferAbort;
// One entry per login attempt number.
extern std::array<std::atomic<bool>, kAttemptSlots> AttemptCancelled;

// The table slot of an attempt number: numbers outside 0..255 (a damaged
// Retries value) share the last slot instead of writing past the table.
std::size_t AttemptSlot(int attempt);
void SetAttemptCancelled(int attempt, bool cancelled);
bool IsAttemptCancelled(int attempt);

}  // namespace veltrim
