#include "ui/ftp/connection_controller.h"

#include <QPointer>

#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/connection_security.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/session_handle.h"
#include "ui/ftp/session_log_sink.h"
#include "ui/ftp/session_preferences.h"
#include "ui/ftp/transfer_start.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/shared/command_ids.h"

namespace veltrim::ui {

ConnectionController::ConnectionController(CMainFrame& frame, LiveSession& live)
    : frame_(frame),
      live_(live),
      host_(std::make_shared<QtSessionHost>(&frame)),
      log_(std::make_shared<SessionLogSink>(frame.SessionLog())) {
  watchdog_.setSingleShot(false);
  connect(&watchdog_, &QTimer::timeout, this, &ConnectionController::OnWatchdogTick);
  host_->SetAttemptAbortedHandler([this] { retry_.Abort(); });
  // The user's time with the certificate question is not the server's: the
  // watchdog stops while it is open and starts afresh after it.
  host_->SetCertificateQuestionHandler([this, held = std::make_shared<bool>(false)](bool open) {
    if (open) {
      *held = watchdog_.isActive();
      watchdog_.stop();
    } else if (*held) {
      watchdog_.start(retry_.WatchdogPeriod());
    }
  });
  host_->SetRememberCancelHandler([this](RememberedCancel which) {
    if (which == RememberedCancel::AlwaysCancel) frame_.Prefs().Cancel = true;
    if (which == RememberedCancel::NeverCancel) frame_.Prefs().NeverCancel = true;
  });
  // Another profile gets every retry again.
  connect(&frame_, &CMainFrame::ProfileTaken, this, [this] { retry_.Reset(); });
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
    if (retry_.NextAttempt()) {
      Disconnect(DisconnectWhy::Retry);
      if (retry_.Aborted()) return;
      continue;
    }
    watchdog_.stop();
    Disconnect(DisconnectWhy::GaveUp);
    retry_.Reset();
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
  session->SetKnownCertificatesFile(KnownCertificatesPath().toStdString());
  session->SetBinaryMode(prefs.Binary);
  session->SetAutoMode(prefs.Auto);
  session->SetServerSettings(profile);
  return session;
}

bool ConnectionController::Attempt() {
  const ServerSettings profile = frame_.ActiveProfile();
  retry_.SetProfile(profile);
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

  watchdog_.start(retry_.WatchdogPeriod());
  ++attempts_;
  const bool loggedIn = session->Connect(retry_.Attempt());
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
  if (const std::shared_ptr<CFtpSession> session = live_.Get())
    ShowConnectionSecurity(frame_.ConnectionBarWidget(), session->Security());
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
  if (frame_.Session() == nullptr || reportingLoss_) return;
  // While the box is up no command may start on the dead connection (a
  // pending tree navigation would try to reconnect under it).
  reportingLoss_ = true;
  {
    FrameBusyScope busy(frame_);
    ShowMessage(&frame_, QMessageBox::Critical, QStringLiteral("Disconnected"),
                QStringLiteral("You have been disconnected from the server"));
  }
  reportingLoss_ = false;
  // A reconnect the user cancelled must not stop the retries of the next Connect.
  retry_.Reset();
  Disconnect(DisconnectWhy::Lost);
}

void ConnectionController::Disconnect(DisconnectWhy why) {
  watchdog_.stop();
  // A connection that ends without the user asking never takes the profile
  // with it when it holds unsaved changes (a profile just typed with New):
  // it stays the document's and the active one, ready to be corrected and
  // tried again. Between retries it stays anyway.
  const CVeltrimFTPDoc* doc = frame_.Document();
  if (why == DisconnectWhy::Retry || (doc != nullptr && doc->IsModified()))
    frame_.DropSession();
  else
    frame_.OnDisconnect();
}

void ConnectionController::OnSessionReleased(CFtpSession* session) {
  if (live_.Get().get() != session) return;
  // A session that had logged in ends its Connect: the next one starts with
  // every retry. One released before it logged in (a retry, or a
  // Disconnect in the middle of an attempt) leaves the count as it is.
  if (session->IsConnected()) retry_.Reset();
  live_.Reset();
  watchdog_.stop();
  ClearConnectionSecurity(frame_.ConnectionBarWidget());
  emit SessionReleased();
}

}  // namespace veltrim::ui
