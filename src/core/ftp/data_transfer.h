#pragma once
// One data connection and the transfer command that runs over it (RETR,
// STOR, LIST, MLSD): setting it up (passive first, active as the fallback),
// buffered reading and writing, and ending it with the completion reply.
//
// Reads come from a large buffer filled by big socket reads, so the small
// blocks the transfer loop asks for cost no system call each; writes collect
// in a buffer that is flushed in big chunks and before the end.
//
// Over TLS the handshake starts once the server has answered the transfer
// command (some servers reset a data connection whose handshake comes
// earlier), and the data ends only with the server's TLS close: a
// connection that simply stops is a broken transfer, never a short file.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/ftp/ascii_codec.h"
#include "core/ftp/socket_io.h"
#include "core/ftp/stream_socket.h"
#include "core/ftp/wake_signal.h"

namespace veltrim::ftp {

class ControlChannel;

enum class TransferDirection { Download, Upload };

class DataTransfer {
 public:
  static constexpr std::size_t kBufferSize = 256 * 1024;

  // Sets up the data connection and sends command. The caller holds the
  // channel's Acquire() lock. Throws CInternetException; a refusal of the
  // command carries the server's reply (kErrorExtendedError).
  static std::unique_ptr<DataTransfer> Open(const std::shared_ptr<ControlChannel>& channel,
                                            const std::string& command, TransferDirection direction, bool ascii);

  DataTransfer(std::shared_ptr<ControlChannel> channel, StreamSocket socket, TransferDirection direction, bool ascii,
               bool completed);
  ~DataTransfer();
  DataTransfer(const DataTransfer&) = delete;
  DataTransfer& operator=(const DataTransfer&) = delete;

  // Exactly count bytes unless the data ends first.
  std::size_t Read(void* buffer, std::size_t count);
  void Write(const void* buffer, std::size_t count);
  // Flushes, closes the data connection and waits for the completion reply;
  // a 4xx/5xx completion throws with the server's text.
  void Finish();
  // Drops the data connection, tells the server (ABOR) and swallows the
  // replies, leaving the control connection in step. Never throws.
  void Abort() noexcept;
  // Thread-safe: makes a blocked Read or Write end with an exception.
  void Interrupt() noexcept { interrupt_.Fire(); }

 private:
  bool Fill();  // false at the end of the data
  void Flush();
  [[noreturn]] void ThrowWoken() const;
  void CheckNotStopped() const;

  std::shared_ptr<ControlChannel> channel_;
  StreamSocket socket_;
  const TransferDirection direction_;
  const bool ascii_;
  bool completed_;  // the completion reply has already arrived
  WakeSignal interrupt_;
  WakeFds wakeFds_;

  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // read: unread bytes are [begin_, end_); write: bytes to send are [0, end_)
  std::size_t end_ = 0;
  bool eof_ = false;
  std::vector<char> raw_;  // ASCII reads: bytes before line-end conversion
  CrLfDecoder decoder_;
};

}  // namespace veltrim::ftp
