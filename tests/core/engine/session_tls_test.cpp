// The engine over TLS: the mode a profile's host chooses, the certificate
// question and the known-certificates file, and what a broken TLS transfer
// leaves behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/engine/known_certificates.h"
#include "engine_test_support.h"
#include "support/scripted_ftp_server.h"

namespace veltrim::test {
namespace {

using Tls = PyFtpServerOptions::Tls;

bool HasLine(const std::vector<std::string>& lines, const std::string& start) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

// A session whose profile names hostname, with its known certificates in config.
struct TlsRig : SessionRig {
  TlsRig(const std::string& hostname, uint16_t port, const TempDir& config) : SessionRig(ProfileFor(port)) {
    ServerSettings settings = session->Settings();
    settings.Hostname = hostname;
    session->SetServerSettings(settings);
    session->SetKnownCertificatesFile((config.Path() / "known.txt").string());
  }
};

TEST(SessionTls, TrustAlwaysIsRememberedAndAChangedCertificateIsAskedAboutAgain) {
  TempDir config;
  PyFtpServer server(TlsServerOptions(Tls::Implicit));
  server.WriteFile("hello.txt", "hi");
  const std::vector<CertificateAnswer> answers[] = {{CertificateAnswer::TrustAlways}, {}};
  for (const auto& answer : answers) {
    TlsRig rig("ftps://127.0.0.1", server.Port(), config);
    rig.host->certificateAnswers = {answer.begin(), answer.end()};
    ASSERT_TRUE(rig.session->Connect(0));
    EXPECT_EQ(rig.host->Count("AskCertificate self-signed certificate"), answer.empty() ? 0 : 1);
    EXPECT_TRUE(rig.session->Security().encrypted);
    EXPECT_TRUE(HasLine(rig.Lines(), "The connection is encrypted: TLSv1."));
    ASSERT_TRUE(rig.session->ListDirectory());
    ASSERT_EQ(rig.session->Listing().Entries.size(), 1u);
    EXPECT_EQ(rig.session->Listing().Entries[0].Name, "hello.txt");
  }
  const auto known = config.Path() / "known.txt";
  EXPECT_EQ(std::filesystem::status(known).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  // The server now shows another certificate than the one trusted.
  KnownCertificatesFile(known.string())
      .Remember(ServerKey("127.0.0.1", server.Port()), *NormalizeFingerprint(std::string(64, 'A')));
  TlsRig rig("ftps://127.0.0.1", server.Port(), config);
  EXPECT_FALSE(rig.session->Connect(0));
  EXPECT_TRUE(rig.host->Saw("AskCertificate self-signed certificate changed"));
  EXPECT_TRUE(HasLine(rig.Lines(), "Error connecting to host: The server's certificate was not accepted (SHA-256 "
                                   "fingerprint " + server.Certificate().fingerprint));
}

TEST(SessionTls, RequiredTlsRefusedByTheServerSendsNoUserName) {
  TempDir config;
  ScriptedFtpServer server;
  server.Greet().Expect("AUTH TLS", "500 AUTH not understood.");
  server.Start();
  TlsRig rig("FTPES://127.0.0.1", server.Port(), config);
  EXPECT_FALSE(rig.session->Connect(0));
  server.WaitUntilScriptDone(std::chrono::seconds(5));
  rig.session.reset();
  EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
  EXPECT_TRUE(HasLine(rig.Lines(), "Error connecting to host: The server does not offer TLS"));
}

TEST(SessionTls, TlsWhenOfferedFallsBackToPlainAndSaysSo) {
  TempDir config;
  PyFtpServer server;
  TlsRig rig("127.0.0.1", server.Port(), config);
  rig.session->SetUseTlsWhenOffered(true);
  ASSERT_TRUE(rig.session->Connect(0));
  EXPECT_FALSE(rig.session->Security().encrypted);
  EXPECT_TRUE(HasLine(rig.Lines(), "The server does not offer TLS (500 "));
}

TEST(SessionTls, DataConnectionCutWithoutTlsCloseFailsAndKeepsTheOldFile) {
  TempDir config;
  PyFtpServer server(TlsServerOptions(Tls::Explicit, std::nullopt, "cut-data"));
  server.WriteFile("file.txt", "the whole of the new file");
  TlsRig rig("ftpes://127.0.0.1", server.Port(), config);
  rig.host->certificateAnswers = {CertificateAnswer::TrustThisTime};
  ASSERT_TRUE(rig.session->Connect(0));
  TempDir local;
  const auto target = local.Path() / "file.txt";
  WriteLocal(target, "the old file");
  rig.session->AddToQueue("/file.txt", target.string(), true, 25, true);
  rig.session->ProcessQueue(false);
  EXPECT_TRUE(rig.host->Saw("ShowError 61209"));
  EXPECT_EQ(ReadLocal(target), "the old file");
  EXPECT_EQ(FilesIn(local.Path()), 1u);
}

}  // namespace
}  // namespace veltrim::test
