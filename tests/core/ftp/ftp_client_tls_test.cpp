// The FTP client over TLS against pyftpdlib's TLS handler and the scripted
// TLS server: protected listings and transfers, the certificate's verdict,
// and what the client refuses.

#include <gtest/gtest.h>

#include "core/ftp/ftp_file_find.h"
#include "ftp_test_helpers.h"
#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

using test::ErrorCodeOf;
using test::PyFtpServer;
using test::PyFtpServerOptions;
using Tls = PyFtpServerOptions::Tls;

// Required TLS that accepts exactly the given certificate and records what it was asked.
struct TrustOnly {
  std::string fingerprint;
  std::vector<ftp::PeerCertificate> asked;

  ftp::TlsOptions Options(ftp::TlsMode mode, std::string trustFile = {}) {
    ftp::TlsOptions options;
    options.mode = mode;
    options.trustFile = std::move(trustFile);
    options.decide = [this](const ftp::PeerCertificate& certificate) {
      asked.push_back(certificate);
      return certificate.fingerprint == fingerprint;
    };
    return options;
  }
};

class FtpClientTlsTransfer : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(PassiveAndActive, FtpClientTlsTransfer, ::testing::Values(true, false));

TEST_P(FtpClientTlsTransfer, ProtectedListingAndRoundTripKeepEveryByte) {
  PyFtpServer server(test::TlsServerOptions(Tls::Explicit));
  server.WriteFile("dir/listed.txt", "x");
  TrustOnly trust{server.Certificate().fingerprint, {}};
  CInternetSession session;
  session.SetTimeout(std::chrono::seconds(10));
  session.SetTls(trust.Options(ftp::TlsMode::Required));
  auto connection = session.GetFtpConnection("127.0.0.1", server.User(), server.Password(), server.Port(), GetParam());
  ASSERT_EQ(trust.asked.size(), 1u);
  EXPECT_EQ(trust.asked[0].problem, "self-signed certificate");
  EXPECT_EQ(trust.asked[0].subject, "CN = localhost");
  const ftp::TlsStatus security = connection->Security();
  EXPECT_TRUE(security.encrypted);
  EXPECT_FALSE(security.version.empty() || security.cipher.empty());

  ASSERT_TRUE(connection->SetCurrentDirectory("dir"));
  CFtpFileFind finder(*connection);
  ASSERT_TRUE(finder.FindFile("", 0));
  finder.FindNextFile();
  EXPECT_EQ(finder.GetFileName(), "listed.txt");

  const std::string content = test::RandomBytes(3 * 1024 * 1024 + 17, 11);
  auto upload = connection->OpenFile("up.bin", FileAccess::Write, TransferType::Binary);
  test::WriteAll(*upload, content, 4096);
  upload->Close();
  EXPECT_TRUE(server.ReadFile("dir/up.bin") == content);
  auto download = connection->OpenFile("up.bin", FileAccess::Read, TransferType::Binary);
  EXPECT_TRUE(test::ReadAll(*download, 4096) == content);
  download->Close();
}

// A certificate from an authority the client trusts passes without a
// question when it names the host; naming another host, it is asked about.
// A server that offers nothing newer than TLS 1.0 is refused outright.
TEST(FtpClientTls, TrustedChainIsCheckedAgainstTheHostNameAndOldTlsRefused) {
  test::TempDir folder;
  const auto authority = test::MakeTestCertificate(folder.Path(), "authority", {"authority"});
  const struct {
    const char* name;
    const char* fault;
    std::size_t questions;
    int code;
  } cases[] = {{"127.0.0.1", "", 0, 0},
               {"wrong.example", "", 1, kErrorCertificateRefused},
               {"127.0.0.1", "tls10", 0, kErrorSecureChannel}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + c.fault);
    const auto leaf = test::MakeTestCertificate(folder.Path(), c.name, {c.name}, &authority);
    PyFtpServer server(test::TlsServerOptions(Tls::Explicit, leaf, c.fault));
    TrustOnly trust;  // accepts nothing that is asked about
    CInternetSession session;
    session.SetTimeout(std::chrono::seconds(10));
    session.SetTls(trust.Options(ftp::TlsMode::Required, authority.certificateFile.string()));
    std::string text;
    const int code = ErrorCodeOf(
        [&] { session.GetFtpConnection("127.0.0.1", server.User(), server.Password(), server.Port()); }, &text);
    ASSERT_EQ(trust.asked.size(), c.questions);
    EXPECT_EQ(code, c.code) << text;
    if (c.questions > 0) {
      EXPECT_EQ(trust.asked[0].problem, "IP address mismatch");
    }
  }
}

}  // namespace
}  // namespace veltrim
