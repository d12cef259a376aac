#pragma once
// One internet session per FTP connection: it holds the network settings
// (deadline of every wait) and opens the connection.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ftp/tls_options.h"

namespace veltrim {

class CFtpConnection;
namespace ftp {
class WakeSignal;
}

class CInternetSession {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{60000};

  CInternetSession();
  ~CInternetSession();
  CInternetSession(const CInternetSession&) = delete;
  CInternetSession& operator=(const CInternetSession&) = delete;

  // Deadline for every network wait of connections opened afterwards:
  // connect, each reply, data-connection set-up, each data read and write.
  void SetTimeout(std::chrono::milliseconds timeout);
  std::chrono::milliseconds Timeout() const { return timeout_; }
  // TLS for connections opened afterwards (default: plain FTP).
  void SetTls(ftp::TlsOptions tls) { tls_ = std::move(tls); }

  // Resolves host (IPv4 or IPv6), connects, reads the greeting, logs in with
  // USER/PASS and asks FEAT. Throws CInternetException on any failure; a
  // refusal carries the server's reply as its text (e.g. "530 Login incorrect.").
  // With TLS (SetTls) the connection is secured first; a certificate that is
  // not accepted throws kErrorCertificateRefused before USER is sent.
  // passive = true tries EPSV/PASV first and falls back to EPRT/PORT.
  std::unique_ptr<CFtpConnection> GetFtpConnection(const std::string& host, const std::string& user,
                                                   const std::string& password, uint16_t port = 21,
                                                   bool passive = true);

  // Thread-safe. Like the desktop library's session handle, closing the
  // session ends everything opened through it: a GetFtpConnection still in
  // progress on another thread throws promptly, later ones are refused, and
  // the connections it opened stop working (their blocked calls throw). The
  // destructor closes too, so keep the session as long as its connections.
  void Close();

 private:
  std::chrono::milliseconds timeout_ = kDefaultTimeout;
  std::shared_ptr<ftp::WakeSignal> cancel_;
  ftp::TlsOptions tls_;
};

}  // namespace veltrim
