#include "cli/cli_session.h"

#include "core/engine/connect_retry.h"
#include "core/ftp/remote_path.h"
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
  ConnectAttemptHooks hooks;
  hooks.newSession = [&] { return NewSession(settings, options, host, log); };
  // The host's timer fires inside the session's message pump, as the window's does.
  hooks.armWatchdog = [&](CFtpSession& session, std::chrono::milliseconds period) {
    host->SetTimer(std::chrono::steady_clock::now() + period, [&session] { session.AbandonAttempt(); });
  };
  hooks.disarmWatchdog = [&] { host->CancelTimer(); };
  hooks.stopRequested = [] { return Interrupted.load(); };
  ConnectRetryPolicy policy(settings);
  ConnectOutcome outcome = ConnectWithRetries(policy, hooks);

  LoginResult result;
  result.session = std::move(outcome.session);
  if (!result.session) {
    result.failure = Interrupted.load()        ? "interrupted"
                     : outcome.failure.IsSet() ? outcome.failure.OneLine()
                                               : "A connection to the server could not be established";
    return result;
  }

  const std::string loginDirectory = result.session->GetCurrentDirectory();
  result.baseDirectory = loginDirectory.empty() ? "/" : loginDirectory;
  if (!settings.RemoteDir.empty()) {
    const std::string start = ftp::ResolveRemotePath(result.baseDirectory, settings.RemoteDir);
    if (!result.session->ChangeDirectory(start)) {
      FailureReason reason = result.session->LastFailure();
      reason.Text = "cannot change to the remote directory " + start;
      result.failure = reason.OneLine();
      result.session.reset();
      return result;
    }
    result.baseDirectory = start;
    result.session->GetCurrentDirectory();
  }
  return result;
}

}  // namespace veltrim::cli
