#include "ui/ftp/session_handle.h"

namespace veltrim::ui {

SessionHandle::SessionHandle(std::shared_ptr<CFtpSession> session, std::function<void()> onRelease)
    : session_(std::move(session)), onRelease_(std::move(onRelease)) {}

SessionHandle::~SessionHandle() {
  if (onRelease_) onRelease_();
}

}  // namespace veltrim::ui
