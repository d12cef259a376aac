#pragma once
// Connecting the main window: Connect with its watchdog and retries,
// Disconnect, and the release of the session. It owns the window's session
// host and the attempt state of a Connect, makes each attempt's session the
// live one and hands the frame one SessionHandle per attempt.
//
// The window's remote work is split by job, one file each, in this folder:
// live_session (the session every command works through), remote_navigator
// (the listing display, navigation, create and remove directory, the open
// action), file_commands (delete and rename); download and upload, view and
// edit, and file information get their own files beside these.

#include <QObject>
#include <QTimer>

#include <memory>

#include "core/engine/connect_retry.h"
#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;
class LiveSession;
class QtSessionHost;
class SessionLogSink;

class ConnectionController : public QObject {
  Q_OBJECT
 public:
  ConnectionController(CMainFrame& frame, LiveSession& live);
  ~ConnectionController() override;

  // Installs the handlers of Connect and Disconnect into the frame's
  // command table.
  void InstallCommands();

  // Connect (the whole retry loop) and the Disconnect command (asks to save
  // a modified profile first; false when the user kept the connection).
  void OnConnect();
  bool OnDisconnectCommand();
  // Step of the watchdog timer.
  void OnWatchdogTick();
  // The one routine for a lost main connection, wherever it was noticed:
  // the "Disconnected" box, then the disconnect.
  void OnConnectionLost();

  QtSessionHost& Host() const { return *host_; }
  // The live session (none between connections).
  CFtpSession* Session() const;
  const QTimer& Watchdog() const { return watchdog_; }
  int Attempts() const { return attempts_; }  // login attempts started so far
  // The number of the login attempt that runs (or ran last) in this Connect,
  // and whether the user cancelled one.
  int AttemptCounter() const { return retry_.Attempt(); }
  bool AttemptAborted() const { return retry_.Aborted(); }

 signals:
  // Logged in: the navigator shows the start directory.
  void LoggedIn();
  // The frame let the live session go; rows that point into its listing
  // must go with it.
  void SessionReleased();

 private:
  enum class DisconnectWhy { Retry, GaveUp, Lost };

  // One attempt; true when logged in (or when the session went away
  // meanwhile, so no retry follows).
  bool Attempt();
  std::shared_ptr<CFtpSession> NewSession(const ServerSettings& profile) const;
  void AfterLogin();
  void Disconnect(DisconnectWhy why);
  void OnSessionReleased(CFtpSession* session);

  CMainFrame& frame_;
  LiveSession& live_;
  std::shared_ptr<QtSessionHost> host_;
  std::shared_ptr<SessionLogSink> log_;
  QTimer watchdog_;  // timer 1
  int attempts_ = 0;
  bool reportingLoss_ = false;  // the Disconnected box is up
  // Where the retries of one Connect stand: the number of the running login
  // attempt and whether the user cancelled one in the Please Wait box. Reset
  // when a Connect gives up, when a logged-in session is released or lost,
  // and when a new profile arrives.
  ConnectRetryPolicy retry_;
};

}  // namespace veltrim::ui
