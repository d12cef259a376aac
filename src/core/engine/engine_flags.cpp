#include "core/engine/engine_flags.h"

namespace veltrim {

std::atomic<bool> OperationAbort{false};
std::atomic<bool> TransferAbort{false};
std::array<std::atomic<bool>, kAttemptSlots> AttemptCancelled{};

std::size_t AttemptSlot(int attempt) {
  if (attempt < 0) return 0;
  if (static_cast<std::size_t>(attempt) >= kAttemptSlots) return kAttemptSlots - 1;
  return static_cast<std::size_t>(attempt);
}

void SetAttemptCancelled(int attempt, bool cancelled) { AttemptCancelled[AttemptSlot(attempt)].store(cancelled); }

bool IsAttemptCancelled(int attempt) { return AttemptCancelled[AttemptSlot(attempt)].load(); }

}  // namespace veltrim
