#pragma once
// Certificates for the TLS test servers, made fresh by each fixture: a key
// and a certificate for some names (DNS names or IP addresses), self-signed
// or signed by a test authority.

#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::test {

struct TestCertificate {
  std::filesystem::path certificateFile;  // PEM
  std::filesystem::path keyFile;          // PEM
  std::string fingerprint;                // SHA-256, "AB:CD:..."
};

// Writes <stem>.pem and <stem>-key.pem into folder. With issuer, the
// certificate is signed by it; authority makes a certificate that may sign others.
TestCertificate MakeTestCertificate(const std::filesystem::path& folder, const std::string& stem,
                                    const std::vector<std::string>& names, const TestCertificate* issuer = nullptr,
                                    bool authority = false);

}  // namespace veltrim::test
