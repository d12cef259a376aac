#include "core/ftp/internet_session.h"

#include "core/ftp/control_channel.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/wake_signal.h"

namespace veltrim {

CInternetSession::CInternetSession() : cancel_(std::make_shared<ftp::WakeSignal>()) {}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::SetTimeout(std::chrono::milliseconds timeout) {
  timeout_ = timeout.count() > 0 ? timeout : std::chrono::milliseconds(1);
}

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(const std::string& host, const std::string& user,
                                                                   const std::string& password, uint16_t port,
                                                                   bool passive) {
  // Everything below works on copies, so a session destroyed by another
  // thread meanwhile is never touched again.
  const auto cancel = cancel_;
  const auto timeout = timeout_;
  if (cancel->Fired()) throw CInternetException(kErrorOperationCancelled, "The connection was closed.");
  auto channel = ftp::ControlChannel::Connect(host, port, timeout, passive, cancel, tls_);
  try {
    channel->Login(user, password);
  } catch (...) {
    channel->Close();
    throw;
  }
  return std::make_unique<CFtpConnection>(std::move(channel));
}

void CInternetSession::Close() { cancel_->Fire(); }

}  // namespace veltrim
