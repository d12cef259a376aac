#include "support/test_certificates.h"

#include <arpa/inet.h>
#include <openssl/pem.h>

#include <cstdlib>
#include <stdexcept>

#include "core/ftp/tls_context.h"

namespace veltrim::test {

TestCertificate MakeTestCertificate(const std::filesystem::path& folder, const std::string& stem,
                                    const std::vector<std::string>& names, const TestCertificate* issuer) {
  const TestCertificate made{folder / (stem + ".pem"), folder / (stem + "-key.pem"), {}};
  std::string altNames;
  for (const auto& name : names) {
    unsigned char address[16];
    const bool ip = inet_pton(AF_INET, name.c_str(), address) == 1 || inet_pton(AF_INET6, name.c_str(), address) == 1;
    altNames += (altNames.empty() ? "" : ",") + std::string(ip ? "IP:" : "DNS:") + name;
  }
  std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 -subj '/CN=" +
                        (names.empty() ? stem : names.front()) + "' -addext 'subjectAltName=" + altNames +
                        "' -keyout '" + made.keyFile.string() + "' -out '" + made.certificateFile.string() + "'";
  if (issuer != nullptr) {
    command += " -CA '" + issuer->certificateFile.string() + "' -CAkey '" + issuer->keyFile.string() + "'";
  }
  if (std::system((command + " 2>/dev/null").c_str()) != 0) throw std::runtime_error("openssl failed: " + command);

  std::unique_ptr<BIO, decltype(&BIO_free)> in(BIO_new_file(made.certificateFile.c_str(), "r"), &BIO_free);
  const ftp::X509Ptr certificate(in ? PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr) : nullptr);
  if (!certificate) throw std::runtime_error("cannot read " + made.certificateFile.string());
  return {made.certificateFile, made.keyFile, ftp::DescribeCertificate(certificate.get(), X509_V_OK, {}, 0).fingerprint};
}

}  // namespace veltrim::test
