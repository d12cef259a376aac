#include "core/ftp/tls_context.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include <cstdio>
#include <ctime>

#include "core/ftp/internet_exception.h"

namespace veltrim::ftp {

namespace {

std::string NameText(const X509_NAME* name) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
  if (!bio || name == nullptr) return {};
  // One line, UTF-8 kept as it is: "CN = example.org, O = Example".
  X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return "(unreadable)";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

}  // namespace

TlsContext::TlsContext(const std::string& trustFile) : context_(SSL_CTX_new(TLS_client_method())) {
  if (!context_) throw CInternetException(kErrorSecureChannel, TlsErrorText("TLS cannot be set up."));
  SSL_CTX_set_min_proto_version(context_.get(), TLS1_2_VERSION);
  // Verification runs, but its verdict is ours to act on (the user may trust
  // a certificate the system does not).
  SSL_CTX_set_verify(context_.get(), SSL_VERIFY_NONE, nullptr);
  const int loaded = trustFile.empty() ? SSL_CTX_set_default_verify_paths(context_.get())
                                       : SSL_CTX_load_verify_locations(context_.get(), trustFile.c_str(), nullptr);
  if (loaded != 1) {
    throw CInternetException(kErrorSecureChannel, TlsErrorText("The trusted certificates cannot be read."));
  }
  SSL_CTX_set_mode(context_.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  // Whole socket buffers rather than one record header and body at a time:
  // fewer system calls per MiB. Every loop reads before it waits, so bytes
  // buffered here are never waited for.
  SSL_CTX_set_read_ahead(context_.get(), 1);
  SSL_CTX_set_default_read_buffer_len(context_.get(), 64 * 1024);
}

std::string TlsErrorText(const std::string& fallback) {
  std::string text;
  while (const unsigned long code = ERR_get_error()) {
    char line[256];
    ERR_error_string_n(code, line, sizeof line);
    const char* reason = ERR_reason_error_string(code);
    if (!text.empty()) text += "; ";
    text += reason != nullptr ? reason : line;
  }
  return text.empty() ? fallback : text;
}

PeerCertificate DescribeCertificate(X509* certificate, long verifyResult, const std::string& host, uint16_t port) {
  PeerCertificate info;
  info.host = host;
  info.port = port;
  if (verifyResult != X509_V_OK) info.problem = X509_verify_cert_error_string(verifyResult);
  if (certificate == nullptr) {
    info.problem = "the server sent no certificate";
    return info;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) == 1) {
    for (unsigned int i = 0; i < length; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : ":%02X", digest[i]);
      info.fingerprint += hex;
    }
  }
  info.subject = NameText(X509_get_subject_name(certificate));
  info.issuer = NameText(X509_get_issuer_name(certificate));
  info.validFrom = TimeText(X509_get0_notBefore(certificate));
  info.validUntil = TimeText(X509_get0_notAfter(certificate));
  return info;
}

std::string TlsVersionOf(const SSL* ssl) { return ssl != nullptr ? SSL_get_version(ssl) : std::string(); }

std::string TlsCipherOf(const SSL* ssl) {
  const char* name = ssl != nullptr ? SSL_get_cipher_name(ssl) : nullptr;
  return name != nullptr ? name : std::string();
}

}  // namespace veltrim::ftp
