#include "support/test_certificates.h"

#include <arpa/inet.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace veltrim::test {

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("making a test certificate failed: ") + what);
}

template <typename T>
T* ReadPem(const std::filesystem::path& path, T* (*read)(FILE*, T**, pem_password_cb*, void*)) {
  std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "r"), &std::fclose);
  Check(file != nullptr, "cannot read the issuer");
  return read(file.get(), nullptr, nullptr, nullptr);
}

void AddExtension(X509* certificate, X509* issuer, int id, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>> extension(
      X509V3_EXT_conf_nid(nullptr, &context, id, value.c_str()));
  Check(extension && X509_add_ext(certificate, extension.get(), -1) == 1, "extension");
}

}  // namespace

TestCertificate MakeTestCertificate(const std::filesystem::path& folder, const std::string& stem,
                                    const std::vector<std::string>& names, const TestCertificate* issuer,
                                    bool authority) {
  KeyPtr key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "key");
  CertPtr certificate(X509_new());
  X509_set_version(certificate.get(), 2);
  static long serial = 1;
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial++);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 86400);
  X509_set_pubkey(certificate.get(), key.get());
  X509_NAME* subject = X509_get_subject_name(certificate.get());
  const std::string commonName = names.empty() ? stem : names.front();
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);

  KeyPtr signingKey;
  CertPtr issuerCertificate;
  if (issuer != nullptr) {
    signingKey.reset(ReadPem<EVP_PKEY>(issuer->keyFile, PEM_read_PrivateKey));
    issuerCertificate.reset(ReadPem<X509>(issuer->certificateFile, PEM_read_X509));
    Check(signingKey && issuerCertificate, "issuer");
  }
  X509* signer = issuerCertificate ? issuerCertificate.get() : certificate.get();
  X509_set_issuer_name(certificate.get(), X509_get_subject_name(signer));
  AddExtension(certificate.get(), signer, NID_basic_constraints, authority ? "critical,CA:TRUE" : "CA:FALSE");
  if (authority) AddExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  std::string altNames;
  for (const auto& name : names) {
    unsigned char address[16];
    const bool ip = inet_pton(AF_INET, name.c_str(), address) == 1 || inet_pton(AF_INET6, name.c_str(), address) == 1;
    altNames += (altNames.empty() ? "" : ",") + std::string(ip ? "IP:" : "DNS:") + name;
  }
  if (!altNames.empty()) AddExtension(certificate.get(), signer, NID_subject_alt_name, altNames);
  Check(X509_sign(certificate.get(), signingKey ? signingKey.get() : key.get(), EVP_sha256()) > 0, "signature");

  TestCertificate made;
  made.certificateFile = folder / (stem + ".pem");
  made.keyFile = folder / (stem + "-key.pem");
  {
    std::unique_ptr<FILE, decltype(&std::fclose)> out(std::fopen(made.certificateFile.c_str(), "w"), &std::fclose);
    Check(out && PEM_write_X509(out.get(), certificate.get()) == 1, "writing the certificate");
  }
  {
    std::unique_ptr<FILE, decltype(&std::fclose)> out(std::fopen(made.keyFile.c_str(), "w"), &std::fclose);
    Check(out && PEM_write_PrivateKey(out.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1, "key file");
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  X509_digest(certificate.get(), EVP_sha256(), digest, &length);
  for (unsigned int i = 0; i < length; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : ":%02X", digest[i]);
    made.fingerprint += hex;
  }
  return made;
}

}  // namespace veltrim::test
