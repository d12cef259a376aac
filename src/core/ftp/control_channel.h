#pragma once
// The control connection of one FTP login: commands out, replies in, the
// server's features, the transfer type in force and the data-connection modes
// the server refused. Shared by the CFtpConnection that opened it and every
// CInternetFile and CFtpFileFind working on it; the socket and the wake-up
// descriptor are closed only when the last owner lets go.
//
// Threads: one thread at a time runs operations (Acquire() serialises them);
// Close() may come from any thread at any moment and makes every blocked
// wait, here and on this channel's data connections, end with an exception.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/ftp/ftp_connection.h"
#include "core/ftp/reply.h"
#include "core/ftp/socket_io.h"
#include "core/ftp/stream_socket.h"
#include "core/ftp/tls_options.h"
#include "core/ftp/wake_signal.h"

namespace veltrim::ftp {

class ControlChannel {
 public:
  // Resolves, connects and reads the greeting; with TLS (tls.mode) secures
  // the connection and settles the certificate before anything else is
  // sent. Throws CInternetException.
  // cancel: a wake-up that abandons the attempt (the session's Close()).
  static std::shared_ptr<ControlChannel> Connect(const std::string& host, uint16_t port,
                                                 std::chrono::milliseconds timeout, bool passive,
                                                 const std::shared_ptr<WakeSignal>& cancel,
                                                 const TlsOptions& tls = {});
  ControlChannel(UniqueFd socket, std::chrono::milliseconds timeout, bool passive,
                 std::shared_ptr<WakeSignal> cancel);
  ~ControlChannel();
  ControlChannel(const ControlChannel&) = delete;
  ControlChannel& operator=(const ControlChannel&) = delete;

  // USER, PASS, over TLS PBSZ 0 and PROT P, then FEAT and OPTS UTF8 ON.
  // Throws with the server's reply.
  void Login(const std::string& user, const std::string& password);

  // Holds off Close()'s QUIT while an operation talks to the server. Throws
  // when the channel is closed or broken.
  std::unique_lock<std::mutex> Acquire();

  // Sends one command (no line end) and returns its final reply (1xx replies
  // are skipped). Throws on CR/LF/NUL in the command, a broken connection, a
  // deadline, a Close() and a 421.
  Reply Command(const std::string& command);
  // Like Command, but returns a 1xx reply as it is (RETR, STOR, LIST...).
  Reply Start(const std::string& command);
  // Reads on past 1xx replies from first; a server that sends nothing but
  // 1xx replies is a protocol error, not an endless wait.
  Reply FinalReply(Reply first);
  void Send(const std::string& command);
  Reply ReadReply();
  // Like ReadReply with a deadline of its own; nullopt when it passes
  // (the channel is then unusable).
  std::optional<Reply> ReadReplyUntil(Clock::time_point deadline);

  // TYPE A or TYPE I, sent only when it changes. Throws when refused.
  void EnsureType(char type);

  // PROT P is in force: every data connection is TLS.
  bool DataProtected() const { return dataProtected_; }
  // The TLS handshake of a data connection, resuming the control
  // connection's session; the server must show the control connection's
  // certificate. Under Acquire(). Throws; false when woken.
  bool SecureData(StreamSocket& data, const WakeFds& wake);
  TlsStatus Security() const;

  // Thread-safe and idempotent.
  void Close() noexcept;
  bool IsOpen() const { return !closed_.load() && !broken_.load() && !(cancel_ && cancel_->Fired()); }
  // The server ended the conversation: a call found the connection closed,
  // reset, answered 421, timed out or out of step, or the server has closed
  // it since the last call (seen without reading or waiting, so any thread
  // may ask). False once this side closed it.
  bool Lost() const;
  // Throws the exception that explains why the channel cannot be used.
  [[noreturn]] void ThrowUnusable() const;

  std::string LastReply() const;
  ServerFeatures Features() const;
  std::chrono::milliseconds Timeout() const { return timeout_; }
  bool PassiveAllowed() const { return passive_; }
  int Fd() const { return socket_.Fd(); }
  // Descriptors that end every wait of this channel and its data connections.
  const WakeFds& WakeDescriptors() const { return wakeFds_; }
  Clock::time_point NextDeadline() const { return Clock::now() + timeout_; }

  // Which data-connection commands the server refused; remembered for the
  // rest of the login. Only touched under Acquire().
  struct RefusedModes {
    bool epsv = false;
    bool pasv = false;
    bool eprt = false;
    bool port = false;
  };
  RefusedModes& Refused() { return refused_; }

  // The working directory as last reported; cleared by a successful CWD.
  // Only touched under Acquire().
  std::optional<std::string>& CachedDirectory() { return cachedDirectory_; }

  // Marks the channel unusable (the conversation is out of step or the
  // server went away) and wakes every waiter.
  void MarkBroken(const std::string& reason) noexcept;

 private:
  void SendRaw(const std::string& bytes);
  // AUTH TLS (explicit) and the handshake; a refusal is fatal only when TLS
  // is required.
  void NegotiateTls(const std::string& host, uint16_t port, const TlsOptions& tls);
  // The handshake and the certificate's verdict; throws when it is refused.
  void StartTls(const std::string& host, uint16_t port, const TlsOptions& tls);

  StreamSocket socket_;
  const std::chrono::milliseconds timeout_;
  const bool passive_;
  WakeSignal wake_;
  std::shared_ptr<WakeSignal> cancel_;  // the session's; may be null
  WakeFds wakeFds_;
  std::atomic<bool> closed_{false};
  std::atomic<bool> broken_{false};

  std::mutex operationMutex_;
  ReplyAssembler assembler_;
  char currentType_ = 0;
  RefusedModes refused_;
  std::optional<std::string> cachedDirectory_;
  std::shared_ptr<TlsContext> tls_;  // set once the control connection is TLS
  X509Ptr peerCertificate_;
  bool dataProtected_ = false;

  mutable std::mutex stateMutex_;  // for the values other threads may read
  std::string lastReply_;
  std::string brokenReason_;
  ServerFeatures features_;
  TlsStatus security_;
};

}  // namespace veltrim::ftp
