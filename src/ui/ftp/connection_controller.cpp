#include "ui/ftp/connection_controller.h"

#include <QPointer>

#include <algorithm>

#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/session_handle.h"
#include "ui/ftp/session_log_sink.h"
#include "ui/ftp/session_preferences.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/shared/command_ids.h"

namespace veltrim::ui {

namespace {

int WatchdogMilliseconds(int32_t timeoutSeconds) {
  // A profile's 0 or a negative number would end every attempt at once.
  return std::clamp<int32_t>(timeoutSeconds, 1, 3600) * 1000;
}

}  // namespace

ConnectionController::ConnectionController(CMainFrame& frame, LiveSession& live)
    : frame_(frame),
      live_(live),
      host_(std::make_shared<QtSessionHost>(&frame)),
      log_(std::make_shared<SessionLogSink>(frame.SessionLog())) {
  watchdog_.setSingleShot(false);
  connect(&watchdog_, &QTimer::timeout, this, &ConnectionController::OnWatchdogTick);
  host_->SetAttemptAbortedHandler([this] { attempt_.aborted = true; });
  host_->SetRememberCancelHandler([this](RememberedCancel which) {
    if (which == RememberedCancel::AlwaysCancel) frame_.Prefs().Cancel = true;
    if (which == RememberedCancel::NeverCancel) frame_.Prefs().NeverCancel = true;
  });
  // Another profile gets every retry again.
  connect(&frame_, &CMainFrame::ProfileTaken, this, [this] { attempt_.counter = 0; });
}

ConnectionController::~ConnectionController() {
  watchdog_.stop();
  // The frame may still hold a handle whose release would call back here.
  live_.Reset();
}

void ConnectionController::InstallCommands() {
  frame_.SetCommandHandler(ID_CONNECT, [this] { OnConnect(); });
  frame_.SetCommandHandler(ID_DISCONNECT, [this] { OnDisconnectCommand(); });
}

CFtpSession* ConnectionController::Session() const { return live_.Get().get(); }

// ---------------------------------------------------------------- connect

void ConnectionController::OnConnect() {
  for (;;) {
    if (frame_.Session() != nullptr) return;
    if (Attempt()) return;
    if (frame_.Quitting() || QuitRequested()) {
      watchdog_.stop();
      return;
    }

    // The watchdog step: retry, or give up with the box.
    if (frame_.Session() == nullptr || frame_.Session()->IsConnected()) {
      watchdog_.stop();
      return;
    }
    const int retries = std::clamp<int32_t>(frame_.ActiveProfile().Retries, 0, kMaxRetries);
    if (attempt_.counter < retries && !attempt_.aborted) {
      ++attempt_.counter;
      Disconnect(DisconnectWhy::Retry);
      if (attempt_.aborted) return;
      continue;
    }
    watchdog_.stop();
    Disconnect(DisconnectWhy::GaveUp);
    attempt_ = AttemptState{};
    ShowInformation(&frame_, QStringLiteral("Not Connected"),
                    QStringLiteral("A connection to the server could not be established"));
    return;
  }
}

std::shared_ptr<CFtpSession> ConnectionController::NewSession(const ServerSettings& profile) const {
  const Preferences& prefs = frame_.Prefs();
  auto session = std::make_shared<CFtpSession>(host_);
  session->SetLogSink(log_);
  log_->ShowScrollBar();
  ApplySessionPreferences(*session, prefs);
  session->SetBinaryMode(prefs.Binary);
  session->SetAutoMode(prefs.Auto);
  session->SetServerSettings(profile);
  return session;
}

bool ConnectionController::Attempt() {
  const ServerSettings profile = frame_.ActiveProfile();
  std::shared_ptr<CFtpSession> session = NewSession(profile);
  live_.Set(session);
  CFtpSession* raw = session.get();
  // The frame may outlive this controller by a moment at exit.
  QPointer<ConnectionController> self(this);
  frame_.AttachSession(std::make_unique<SessionHandle>(session, [self, raw] {
    if (self) self->OnSessionReleased(raw);
  }));
  if (CVeltrimFTPDoc* doc = frame_.Document()) {
    doc->AssignProfile(profile);
    doc->SetTitle();
  }

  watchdog_.start(WatchdogMilliseconds(profile.Timeout));
  ++attempts_;
  const bool loggedIn = session->Connect(attempt_.counter);
  if (!live_.Alive(session)) {
    // Disconnected while the attempt waited: nothing more to try.
    watchdog_.stop();
    return true;
  }
  if (!loggedIn) return false;
  AfterLogin();
  return true;
}

void ConnectionController::AfterLogin() {
  watchdog_.stop();
  frame_.SetConnected(true);
  emit LoggedIn();
}

void ConnectionController::OnWatchdogTick() {
  watchdog_.stop();
  const std::shared_ptr<CFtpSession> session = live_.Get();
  if (!session || frame_.Session() == nullptr || session->IsConnected()) return;
  // The attempt is still waiting inside Connect: end that wait. Connect
  // returns "timed out" and the retry loop goes on from there.
  session->AbandonAttempt();
}

// ------------------------------------------------------------- disconnect

bool ConnectionController::OnDisconnectCommand() {
  if (frame_.Session() == nullptr) return true;
  // Disconnecting resets the profile; an unsaved one would be lost.
  if (CVeltrimFTPDoc* doc = frame_.Document(); doc != nullptr && doc->IsModified()) {
    if (!doc->SaveModified()) return false;
  }
  watchdog_.stop();
  frame_.OnDisconnect();
  return true;
}

void ConnectionController::OnConnectionLost() {
  ShowMessage(&frame_, QMessageBox::Critical, QStringLiteral("Disconnected"),
              QStringLiteral("You have been disconnected from the server"));
  Disconnect(DisconnectWhy::Lost);
}

void ConnectionController::Disconnect(DisconnectWhy why) {
  if (why != DisconnectWhy::Retry) {
    if (CVeltrimFTPDoc* doc = frame_.Document(); doc != nullptr && doc->IsModified()) doc->SaveModified();
  }
  watchdog_.stop();
  frame_.OnDisconnect();
}

void ConnectionController::OnSessionReleased(CFtpSession* session) {
  if (live_.Get().get() != session) return;
  // A session that had logged in ends its Connect: the next one starts with
  // every retry. One released before it logged in (a retry, or a
  // Disconnect in the middle of an attempt) leaves the count as it is.
  if (session->IsConnected()) attempt_ = AttemptState{};
  live_.Reset();
  watchdog_.stop();
  emit SessionReleased();
}

}  // namespace veltrim::ui
