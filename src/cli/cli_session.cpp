#include "cli/cli_session.h"

#include <algorithm>

#include "cli/remote_path.h"
#include "core/profile/host_scheme.h"

namespace veltrim::cli {
namespace {

constexpr const char* kPasswordPrompt = "Please enter your password:";

std::unique_ptr<CFtpSession> NewSession(const ServerSettings& settings, const CliOptions& options,
                                        const std::shared_ptr<TerminalHost>& host,
                                        const std::shared_ptr<TerminalLog>& log) {
  auto session = std::make_unique<CFtpSession>(host);
  session->SetLogSink(log);
  session->SetAlwaysCancelQueue(true);  // Ctrl-C cancels the whole queue
  session->SetPlaySounds(false);
  session->SetBinaryMode(options.mode != TransferMode::Ascii);
  session->SetAutoMode(options.mode == TransferMode::Auto);
  session->SetTextExtensions(DefaultTextExtensions());
  session->SetBlockSize(CFtpSession::kMaxBlockSize);
  session->SetUseTlsWhenOffered(options.tls == TlsChoice::Auto);
  session->SetServerSettings(settings);
  return session;
}

// The last line the login wrote that says why it failed.
std::string LoginFailureText(const std::vector<std::string>& lines) {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (line->rfind("Error connecting to host: ", 0) == 0 || line->rfind("You must", 0) == 0 ||
        *line == "Connection timed out." || *line == "Connection Aborted." ||
        line->rfind("An unknown error", 0) == 0) {
      return *line;
    }
  }
  return "A connection to the server could not be established";
}

}  // namespace

LoginResult LogIn(ServerSettings settings, const CliOptions& options, const std::shared_ptr<TerminalHost>& host,
                  const std::shared_ptr<TerminalLog>& log) {
  if (options.timeoutSeconds) settings.Timeout = *options.timeoutSeconds;
  if (options.retries) settings.Retries = *options.retries;
  // --tls require for a host without a scheme is what "ftpes://" says.
  if (options.tls == TlsChoice::Require && SplitHostScheme(settings.Hostname).scheme == HostScheme::None) {
    settings.Hostname = "ftpes://" + settings.Hostname;
  }
  host->AcceptFingerprint(options.fingerprint);
  // Asked once here rather than by every attempt, so that a slow typist is
  // not timed out by the watchdog and retries do not ask again.
  if (!settings.Anonymous && !settings.Username.empty() && settings.Password.empty()) {
    host->RememberPassword(host->InputBox(kPasswordPrompt, "Password", "", true));
  }
  const int32_t retries = std::clamp<int32_t>(settings.Retries, 0, 100);
  const int32_t timeout = std::clamp<int32_t>(settings.Timeout, 1, 3600);

  LoginResult result;
  for (int32_t attempt = 0; attempt <= retries && !Interrupted.load(); ++attempt) {
    auto session = NewSession(settings, options, host, log);
    CFtpSession* raw = session.get();
    host->SetTimer(std::chrono::steady_clock::now() + std::chrono::seconds(timeout),
                   [raw] { raw->AbandonAttempt(); });
    const bool connected = session->Connect(attempt);
    host->CancelTimer();
    if (connected) {
      result.session = std::move(session);
      break;
    }
  }
  if (!result.session) {
    result.failure = Interrupted.load() ? "interrupted" : LoginFailureText(log->Lines());
    return result;
  }

  const std::string loginDirectory = result.session->GetCurrentDirectory();
  result.baseDirectory = loginDirectory.empty() ? "/" : loginDirectory;
  if (!settings.RemoteDir.empty()) {
    const std::string start = ResolveRemotePath(result.baseDirectory, settings.RemoteDir);
    if (!result.session->ChangeDirectory(start)) {
      result.failure = "cannot change to the remote directory " + start;
      result.session.reset();
      return result;
    }
    result.baseDirectory = start;
    result.session->GetCurrentDirectory();
  }
  return result;
}

}  // namespace veltrim::cli
