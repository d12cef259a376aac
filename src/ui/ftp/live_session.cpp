#include "ui/ftp/live_session.h"

#include <QDir>
#include <QFile>

#include "core/ftp/remote_path.h"
#include "ui/app/main_frame.h"

namespace veltrim::ui {

bool LiveSession::CanStartWork() const { return session_ && !frame_.Busy() && !session_->IsBusy(); }

void LiveSession::SetConnectionHandlers(std::function<void()> lost, std::function<void()> relist) {
  lost_ = std::move(lost);
  relist_ = std::move(relist);
}

bool LiveSession::BeginWork() const {
  if (!CanStartWork()) return false;
  const std::shared_ptr<CFtpSession> session = session_;
  if (!session->ConnectionLost()) return true;
  // Servers close connections that stay idle for a while; that is no reason
  // to give the session up.
  session->WriteLog("The server closed the idle connection. Connecting again.");
  const bool back = session->Reconnect();
  if (!Alive(session)) return false;
  if (!session->IsConnected()) {
    ReportLost();
    return false;
  }
  if (!back && relist_) relist_();
  return back;
}

bool LiveSession::Gone(const std::shared_ptr<CFtpSession>& session) const {
  if (!Alive(session)) return true;
  if (!session->ConnectionLost()) return false;
  ReportLost();
  return true;
}

void LiveSession::ReportLost() const {
  if (lost_) lost_();
}

QString LiveSession::CurrentDir() const { return session_ ? FromStd(session_->CurrentDir()) : QString(); }

QString LiveSession::Prefix() const {
  return FromStd(ftp::JoinRemotePath(session_ ? session_->CurrentDir() : std::string(), {}));
}

QString LiveSession::LocalDir() const {
  const QString folder = FromStd(frame_.ActiveProfile().LocalDir);
  return folder.isEmpty() ? QDir::homePath() : folder;
}

std::string LiveSession::LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace veltrim::ui
