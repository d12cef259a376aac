#pragma once
// An open remote file: one data connection of a RETR or STOR.

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

namespace veltrim {

namespace ftp {
class ControlChannel;
class DataTransfer;
}

class CInternetFile {
 public:
  CInternetFile(std::shared_ptr<ftp::ControlChannel> channel, std::unique_ptr<ftp::DataTransfer> transfer);
  ~CInternetFile();  // aborts when neither Close nor Abort ran
  CInternetFile(const CInternetFile&) = delete;
  CInternetFile& operator=(const CInternetFile&) = delete;

  // Reads exactly count bytes unless the file ends first (a short result
  // means the end of the file; 0 at the end). ASCII mode turns CRLF into "\n".
  // Throws CInternetException on a broken connection or a deadline.
  std::size_t Read(void* buffer, std::size_t count);
  // Writes everything or throws. ASCII mode turns "\n" into CRLF.
  void Write(const void* buffer, std::size_t count);

  // Ends a completed transfer: closes the data connection and waits for the
  // completion reply; a 4xx/5xx completion throws.
  void Close();
  // Ends a cancelled or failed transfer (ABOR when needed) and leaves the
  // control connection usable for the next command. Never throws.
  // Thread-safe: called from another thread while Read or Write blocks, it
  // makes that call end promptly with an exception, then aborts.
  void Abort();

 private:
  std::shared_ptr<ftp::ControlChannel> channel_;
  const std::unique_ptr<ftp::DataTransfer> transfer_;
  std::mutex useMutex_;  // one of Read, Write, Close, Abort at a time
  std::atomic<bool> ended_{false};
};

}  // namespace veltrim
