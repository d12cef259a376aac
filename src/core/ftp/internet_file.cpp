#include "core/ftp/internet_file.h"

#include "core/ftp/control_channel.h"
#include "core/ftp/data_transfer.h"
#include "core/ftp/internet_exception.h"

namespace veltrim {

namespace {
[[noreturn]] void ThrowEnded() { throw CInternetException(kErrorOperationCancelled, "The remote file is closed."); }
}  // namespace

CInternetFile::CInternetFile(std::shared_ptr<ftp::ControlChannel> channel, std::unique_ptr<ftp::DataTransfer> transfer)
    : channel_(std::move(channel)), transfer_(std::move(transfer)) {}

CInternetFile::~CInternetFile() { Abort(); }

std::size_t CInternetFile::Read(void* buffer, std::size_t count) {
  std::lock_guard lock(useMutex_);
  if (ended_.load()) ThrowEnded();
  return transfer_->Read(buffer, count);
}

void CInternetFile::Write(const void* buffer, std::size_t count) {
  std::lock_guard lock(useMutex_);
  if (ended_.load()) ThrowEnded();
  transfer_->Write(buffer, count);
}

void CInternetFile::Close() {
  std::lock_guard lock(useMutex_);
  if (ended_.exchange(true)) return;
  try {
    transfer_->Finish();
  } catch (const CInternetException&) {
    // Whatever the failure, the server must not be left mid-transfer.
    transfer_->Abort();
    throw;
  }
}

void CInternetFile::Abort() {
  if (ended_.load()) return;
  transfer_->Interrupt();  // ends a Read or Write blocked on another thread
  std::lock_guard lock(useMutex_);
  if (ended_.exchange(true)) return;
  transfer_->Abort();
}

}  // namespace veltrim
