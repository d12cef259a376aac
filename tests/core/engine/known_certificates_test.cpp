// The known-certificates file's reader takes what it can, and the host
// scheme of a profile chooses the TLS mode and the port.

#include <gtest/gtest.h>

#include "core/engine/known_certificates.h"
#include "core/profile/host_scheme.h"

namespace veltrim {
namespace {

const std::string kHex(64, 'a');
const std::string kSpelled = *NormalizeFingerprint(std::string(64, 'A'));

TEST(KnownCertificates, BadLinesAreSkippedGoodOnesKept) {
  const struct {
    std::string text;
    std::size_t entries;
  } cases[] = {
      {"host:21 " + kHex + "\n", 1},
      {"# comment\n\n  [::1]:990   " + kSpelled + "  \r\n", 1},
      {"host " + kHex + "\n", 0},                      // no port
      {"host:0 " + kHex + "\nhost:65536 " + kHex, 0},  // port out of range
      {"host:21 " + kHex.substr(2) + "\n", 0},         // fingerprint too short
      {"host:21 " + kHex + "ff\n", 0},                 // too long
      {"host:21 " + kHex.substr(1) + "g\n", 0},        // not hex
      {"host:21\n:21 " + kHex + "\n" + std::string("\0\xff:1 x", 7), 0},
      {"a:1 " + kHex + "\n" + ServerKey("::1", 2) + " aa:" + std::string(62, 'A') + "\n", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto entries = ParseKnownCertificates(c.text);
    ASSERT_EQ(entries.size(), c.entries);
    for (const auto& entry : entries) EXPECT_EQ(entry.fingerprint, kSpelled);
  }
}

TEST(HostScheme, SchemeChoosesTheModeAndImplicitTlsMovesTheDefaultPort) {
  const struct {
    const char* hostname;
    HostScheme scheme;
    const char* host;
    uint16_t port;
    uint16_t connectPort;
  } cases[] = {
      {"ftp://h/", HostScheme::Plain, "h", 21, 21},
      {"ftps://h", HostScheme::ImplicitTls, "h", 21, 990},
      {"sftp://h", HostScheme::None, "sftp://h", 21, 21},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hostname);
    const HostAddress address = SplitHostScheme(c.hostname);
    EXPECT_EQ(address.scheme, c.scheme);
    EXPECT_EQ(address.host, c.host);
    EXPECT_EQ(ConnectPort(address.scheme, c.port), c.connectPort);
  }
}

}  // namespace
}  // namespace veltrim
