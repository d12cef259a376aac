#pragma once
// A one-shot, thread-safe wake-up for threads blocked in poll(): once fired it
// stays readable, so every present and future wait that watches it returns.
// The descriptor is closed only by the destructor, i.e. by the last owner, so
// a thread still polling it never sees a recycled descriptor number.

#include <atomic>

namespace veltrim::ftp {

class WakeSignal {
 public:
  WakeSignal();
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  void Fire() noexcept;
  bool Fired() const noexcept { return fired_.load(std::memory_order_acquire); }
  int Fd() const noexcept { return fd_; }

 private:
  int fd_ = -1;
  std::atomic<bool> fired_{false};
};

}  // namespace veltrim::ftp
