#pragma once
// OpenSSL for the FTP client: owning handles, the client context of one
// login, and what a certificate shows the user.

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

#include "core/ftp/tls_options.h"

namespace veltrim::ftp {

struct SslContextFree {
  void operator()(SSL_CTX* context) const noexcept { SSL_CTX_free(context); }
};
struct SslFree {
  void operator()(SSL* ssl) const noexcept { SSL_free(ssl); }
};
struct X509Free {
  void operator()(X509* certificate) const noexcept { X509_free(certificate); }
};
struct SslSessionFree {
  void operator()(SSL_SESSION* session) const noexcept { SSL_SESSION_free(session); }
};
using SslContextPtr = std::unique_ptr<SSL_CTX, SslContextFree>;
using SslPtr = std::unique_ptr<SSL, SslFree>;
using X509Ptr = std::unique_ptr<X509, X509Free>;
using SslSessionPtr = std::unique_ptr<SSL_SESSION, SslSessionFree>;

// The client context of one login, shared by its control connection and
// every data connection: TLS 1.2 or newer, certificates checked against the
// system's trust store (or trustFile). The handshake itself never fails on
// an untrusted certificate; the control channel reads the verdict and asks.
class TlsContext {
 public:
  explicit TlsContext(const std::string& trustFile);  // throws CInternetException
  SSL_CTX* Get() const { return context_.get(); }

 private:
  SslContextPtr context_;
};

// This thread's OpenSSL errors as one line (the queue is emptied); fallback
// when there are none.
std::string TlsErrorText(const std::string& fallback);

// The certificate as the user sees it; problem is the verification's verdict.
PeerCertificate DescribeCertificate(X509* certificate, long verifyResult, const std::string& host, uint16_t port);

// "TLSv1.3" and "TLS_AES_256_GCM_SHA384" of an established connection.
std::string TlsVersionOf(const SSL* ssl);
std::string TlsCipherOf(const SSL* ssl);

}  // namespace veltrim::ftp
