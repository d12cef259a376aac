#pragma once
// A logged-in FTP control connection and the operations the engine runs on it.
//
// Threads: one thread at a time runs operations on a connection; any other
// thread may call Close() at any moment, which makes a blocked operation (and
// any open CInternetFile of this connection) return promptly with a
// CInternetException. The connection's state is shared with the files it
// opened, so a file outliving its connection object touches nothing freed.

#include <cstdint>
#include <memory>
#include <string>

#include "core/ftp/tls_options.h"

namespace veltrim {

class CInternetFile;
namespace ftp {
class ControlChannel;
}

// What FEAT advertised (and what the server refused since).
struct ServerFeatures {
  bool mlsd = false;  // MLSD/MLST
  bool epsv = false;
  bool utf8 = false;
  bool size = false;
  bool mdtm = false;
  bool rest = false;
};

enum class FileAccess : uint32_t { Read = 0x80000000u, Write = 0x40000000u };
enum class TransferType : uint32_t { Ascii = 1, Binary = 2 };

class CFtpConnection {
 public:
  explicit CFtpConnection(std::shared_ptr<ftp::ControlChannel> channel);
  ~CFtpConnection();  // closes (QUIT when still usable)
  CFtpConnection(const CFtpConnection&) = delete;
  CFtpConnection& operator=(const CFtpConnection&) = delete;

  // true on success. false when the server refuses, with the calling
  // thread's last error 12003 and the reply kept in LastReply(). A broken
  // connection, a deadline or a Close() from another thread throws.
  // An argument holding CR, LF or NUL is refused before anything is sent
  // (false, last error 12009).
  bool SetCurrentDirectory(const std::string& path);   // CWD
  bool GetCurrentDirectory(std::string& directory);    // PWD, 257 "..." with "" unescaped
  bool CreateDirectory(const std::string& path);       // MKD
  bool RemoveDirectory(const std::string& path);       // RMD
  bool Remove(const std::string& path);                // DELE
  bool Rename(const std::string& from, const std::string& to);  // RNFR + RNTO

  // RETR (Read) or STOR (Write) in TYPE A or TYPE I. Throws CInternetException
  // when the data connection cannot be set up or the server refuses.
  std::unique_ptr<CInternetFile> OpenFile(const std::string& name, FileAccess access, TransferType type);

  // Thread-safe; idempotent. Ends the control connection and any data
  // connection in use; blocked calls return with an exception.
  void Close();
  bool IsOpen() const;
  // Thread-safe; does not wait. The server ended this connection (see
  // ControlChannel::Lost); false after Close().
  bool Lost() const;

  // The last complete reply (all lines joined by "\n"), for the log.
  std::string LastReply() const;
  ServerFeatures Features() const;
  // Whether the connection is encrypted, and how.
  ftp::TlsStatus Security() const;

  // For CFtpFileFind and CInternetFile; not for the engine.
  const std::shared_ptr<ftp::ControlChannel>& Channel() const { return channel_; }

 private:
  std::shared_ptr<ftp::ControlChannel> channel_;
};

}  // namespace veltrim
