#include "ui/ftp/live_session.h"

#include "ui/app/main_frame.h"

namespace veltrim::ui {

bool LiveSession::CanStartWork() const { return session_ && !frame_.Busy() && !session_->IsBusy(); }

QString LiveSession::CurrentDir() const { return session_ ? FromStd(session_->CurrentDir()) : QString(); }

QString LiveSession::Prefix() const {
  const QString current = CurrentDir();
  return current == QLatin1String("/") ? current : current + QLatin1Char('/');
}

}  // namespace veltrim::ui
