#pragma once
// How a login uses TLS, what the program decides about a certificate the
// system does not trust, and what a connection ended up with.

#include <cstdint>
#include <functional>
#include <string>

namespace veltrim::ftp {

enum class TlsMode {
  Off,          // plain FTP; AUTH TLS is never asked for
  WhenOffered,  // AUTH TLS; plain only when the server refuses it
  Required,     // AUTH TLS; a refusal fails the login before USER
  Implicit,     // TLS from the first byte
};

// The server's certificate as shown to the user.
struct PeerCertificate {
  std::string host;         // as the profile names it
  uint16_t port = 0;
  std::string fingerprint;  // SHA-256 of the DER certificate, "AB:CD:..."
  std::string subject;
  std::string issuer;
  std::string validFrom;    // "2026-01-31 12:00:00 UTC"
  std::string validUntil;
  std::string problem;      // why the system's trust store refused it
};

// Decides about a certificate that failed verification: true accepts it.
// Runs on the thread that opens the connection, before anything but
// AUTH TLS has been sent; it may block for as long as the user thinks.
using CertificateDecision = std::function<bool(const PeerCertificate&)>;

struct TlsOptions {
  TlsMode mode = TlsMode::Off;
  CertificateDecision decide;  // none: every unverified certificate is refused
  // A PEM file of trusted certificates instead of the system's store.
  std::string trustFile;
};

// What a logged-in connection is protected by.
struct TlsStatus {
  bool encrypted = false;
  std::string version;  // "TLSv1.3"
  std::string cipher;   // "TLS_AES_256_GCM_SHA384"
  // WhenOffered only: the server's refusal of AUTH TLS (the login went on in plain).
  std::string refusal;
};

}  // namespace veltrim::ftp
