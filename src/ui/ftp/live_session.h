#pragma once
// The session the window works through, from Connect to its release, and
// what every remote command asks of it before and after each wait.
//
// Every session operation pumps the window's messages while it waits, so a
// Disconnect or the window's close can be served in the middle of one. A
// command therefore takes its own reference (Get) before it starts and,
// after every wait, checks with Alive that the session is still the live one
// before it touches the window again.
//
// A main connection that the server ended is handled here for every command:
// BeginWork makes one again when the server closed it while it was idle, and
// Gone, asked after each operation, runs the one lost-connection routine.

#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;

class LiveSession {
 public:
  explicit LiveSession(const CMainFrame& frame) : frame_(frame) {}
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  // The live session; null between connections.
  std::shared_ptr<CFtpSession> Get() const { return session_; }
  // Set by the connection controller when an attempt starts and reset when
  // the frame releases the session.
  void Set(std::shared_ptr<CFtpSession> session) { session_ = std::move(session); }
  void Reset() { session_.reset(); }

  // session is still the live one: nothing released it while it waited.
  bool Alive(const std::shared_ptr<CFtpSession>& session) const { return session && session == session_; }
  // A command may start remote work: there is a session and neither the
  // window nor the session is busy. (A question asked while another
  // operation waits would have its answer dropped.)
  bool CanStartWork() const;

  // What the window does when the main connection is gone (the connection
  // controller: the "Disconnected" box and the disconnect), and when a
  // reconnect could not return to the directory on display (the navigator
  // lists where the session is).
  void SetConnectionHandlers(std::function<void()> lost, std::function<void()> relist);
  // At the start of a command: CanStartWork, and a main connection that the
  // server closed while it was idle is logged and made again once with the
  // profile. False when the command must not go on (no work possible, the
  // reconnect failed and the lost routine ran, or it landed elsewhere and
  // that directory is listed instead).
  bool BeginWork() const;
  // After a session operation: true when the command must stop because the
  // session went away meanwhile, or because its main connection turned out
  // to be lost (the lost routine has then run). Transfers ask it too.
  bool Gone(const std::shared_ptr<CFtpSession>& session) const;
  // The server no longer tells where the session is: taken as lost.
  void ReportLost() const;

  // The session's current directory (empty between connections).
  QString CurrentDir() const;
  // What goes before a name in the current directory: "/" at the root, the
  // directory and one "/" anywhere else (a "/" the server reports at the end
  // of the directory is not doubled).
  QString Prefix() const;

  // What the server or the system said about the session's last failure
  // (the detail under an error box); empty when there is nothing.
  static QString FailureDetail(const CFtpSession& session) { return FromStd(session.LastFailure().Detail()); }

  // The folder the local file dialogs open on: the profile's local
  // directory, else the home folder.
  QString LocalDir() const;

  static std::string ToStd(const QString& text) { return text.toStdString(); }
  // A local path as the engine takes it: in the file system's encoding.
  static std::string LocalPath(const QString& path);
  static QString FromStd(const std::string& text) { return QString::fromStdString(text); }

 private:
  const CMainFrame& frame_;
  std::shared_ptr<CFtpSession> session_;
  std::function<void()> lost_;
  std::function<void()> relist_;
};

}  // namespace veltrim::ui
