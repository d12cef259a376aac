#include "core/ftp/wake_signal.h"

#include "core/ftp/internet_exception.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace veltrim::ftp {

WakeSignal::WakeSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) throw CInternetException(kErrorInternal, std::string("Cannot create a wake-up descriptor: ") + std::strerror(errno));
}

WakeSignal::~WakeSignal() {
  if (fd_ >= 0) close(fd_);
}

void WakeSignal::Fire() noexcept {
  if (fired_.exchange(true, std::memory_order_acq_rel)) return;
  const uint64_t one = 1;
  // Nonblocking; the counter cannot overflow from a single increment.
  [[maybe_unused]] ssize_t written = write(fd_, &one, sizeof one);
}

}  // namespace veltrim::ftp
