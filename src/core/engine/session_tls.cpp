#include "core/engine/session_tls.h"

#include "core/engine/known_certificates.h"
#include "core/engine/session_state.h"
#include "core/profile/host_scheme.h"

namespace veltrim::engine {

namespace {

ftp::TlsMode ModeFor(HostScheme scheme, bool useTlsWhenOffered) {
  switch (scheme) {
    case HostScheme::Plain: return ftp::TlsMode::Off;
    case HostScheme::ExplicitTls: return ftp::TlsMode::Required;
    case HostScheme::ImplicitTls: return ftp::TlsMode::Implicit;
    case HostScheme::None: break;
  }
  return useTlsWhenOffered ? ftp::TlsMode::WhenOffered : ftp::TlsMode::Off;
}

bool Decide(const std::weak_ptr<SessionState>& weak, const ftp::PeerCertificate& certificate) {
  const std::shared_ptr<SessionState> state = weak.lock();
  if (!state || certificate.fingerprint.empty()) return false;
  const std::string server = ServerKey(certificate.host, certificate.port);
  const std::string trustedOnce = server + " " + certificate.fingerprint;
  std::string knownPath;
  {
    std::lock_guard lock(state->mutex);
    if (state->certificatesTrustedOnce.count(trustedOnce) > 0) return true;
    knownPath = state->knownCertificatesPath;
  }
  const KnownCertificatesFile known(knownPath.empty() ? DefaultKnownCertificatesPath() : knownPath);
  const std::optional<std::string> trusted = known.Lookup(server);
  if (trusted == certificate.fingerprint) return true;

  CertificateQuestion question;
  question.Certificate = certificate;
  if (trusted) {
    question.KnownFingerprint = *trusted;
    state->WriteLog("Warning: the server's certificate has changed since you trusted it (it was " + *trusted + ").");
  }
  const CertificateAnswer answer = state->host->AskCertificate(question);
  if (answer == CertificateAnswer::Cancel) {
    state->WriteLog("The server's certificate was not accepted.");
    return false;
  }
  {
    std::lock_guard lock(state->mutex);
    state->certificatesTrustedOnce.insert(trustedOnce);
  }
  if (answer == CertificateAnswer::TrustAlways) {
    const std::string error = known.Remember(server, certificate.fingerprint);
    state->WriteLog(error.empty() ? "The server's certificate is trusted from now on."
                                  : "The certificate could not be remembered: " + error);
  } else {
    state->WriteLog("The server's certificate is trusted for this session.");
  }
  return true;
}

}  // namespace

ConnectTarget ConnectTargetFor(const ServerSettings& settings, bool useTlsWhenOffered,
                               const std::weak_ptr<SessionState>& state) {
  const HostAddress address = SplitHostScheme(settings.Hostname);
  ConnectTarget target;
  target.host = address.host;
  target.port = ConnectPort(address.scheme, ClampedPort(settings));
  target.tls.mode = ModeFor(address.scheme, useTlsWhenOffered);
  target.tls.decide = [state](const ftp::PeerCertificate& certificate) { return Decide(state, certificate); };
  return target;
}

void LogSecurity(SessionState& state, const ftp::TlsStatus& status) {
  if (status.encrypted) {
    state.WriteLog("The connection is encrypted: " + status.version + ", " + status.cipher + ".");
  } else if (!status.refusal.empty()) {
    state.WriteLog("The server does not offer TLS (" + status.refusal + "): the connection is not encrypted.");
  }
}

}  // namespace veltrim::engine
