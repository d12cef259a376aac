#pragma once
// Certificates for the TLS test servers, made fresh by each fixture with the
// openssl tool: a key and a certificate for some names (DNS names or IP
// addresses), self-signed or signed by another test certificate.

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::test {

struct TestCertificate {
  std::filesystem::path certificateFile;  // PEM
  std::filesystem::path keyFile;          // PEM
  std::string fingerprint;                // SHA-256, "AB:CD:..."
};

// Writes <stem>.pem and <stem>-key.pem into folder; the first name is the
// subject's common name. Every such certificate may also sign others.
TestCertificate MakeTestCertificate(const std::filesystem::path& folder, const std::string& stem,
                                    const std::vector<std::string>& names, const TestCertificate* issuer = nullptr);

}  // namespace veltrim::test
