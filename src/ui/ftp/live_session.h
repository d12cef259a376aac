#pragma once
// The session the window works through, from Connect to its release, and
// what every remote command asks of it before and after each wait.
//
// Every session operation pumps the window's messages while it waits, so a
// Disconnect or the window's close can be served in the middle of one. A
// command therefore takes its own reference (Get) before it starts and,
// after every wait, checks with Alive that the session is still the live one
// before it touches the window again.

#include <QString>

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

  // The session's current directory (empty between connections).
  QString CurrentDir() const;
  // What goes before a name in the current directory: "/" at the root, the
  // directory and "/" anywhere else.
  QString Prefix() const;

  static std::string ToStd(const QString& text) { return text.toStdString(); }
  static QString FromStd(const std::string& text) { return QString::fromStdString(text); }

 private:
  const CMainFrame& frame_;
  std::shared_ptr<CFtpSession> session_;
};

}  // namespace veltrim::ui
