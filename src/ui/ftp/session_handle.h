#pragma once
// The frame's view of the live session (SessionLink). The frame owns the
// handle from Connect to Disconnect; the session itself is shared with any
// operation that is waiting on it, so dropping the handle in the middle of a
// wait (a Disconnect or a window close served by that wait's message pump)
// releases the session only once the wait has returned.

#include <functional>
#include <memory>

#include "core/engine/ftp_session.h"
#include "ui/app/session_link.h"
#include "ui/ftp/session_preferences.h"

namespace veltrim::ui {

class SessionHandle final : public SessionLink {
 public:
  // onRelease runs when the frame lets the session go.
  SessionHandle(std::shared_ptr<CFtpSession> session, std::function<void()> onRelease);
  ~SessionHandle() override;

  bool IsConnected() const override { return session_->IsConnected(); }
  bool IsBusy() const override { return session_->IsBusy(); }
  bool HasIndexFile() const override { return session_->Listing().HasIndexFile; }
  QString CurrentDirectory() const override { return QString::fromStdString(session_->CurrentDir()); }
  void SetBinaryMode(bool binary) override { session_->SetBinaryMode(binary); }
  void SetAutoMode(bool autoMode) override { session_->SetAutoMode(autoMode); }
  void ApplyPreferences(const Preferences& prefs) override { ApplySessionPreferences(*session_, prefs); }
  void AbortEverything() override { session_->AbandonAttempt(); }

  CFtpSession& Session() const { return *session_; }

 private:
  std::shared_ptr<CFtpSession> session_;
  std::function<void()> onRelease_;
};

}  // namespace veltrim::ui
