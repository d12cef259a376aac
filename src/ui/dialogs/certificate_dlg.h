#pragma once
// "Server Certificate": the question about a server certificate the system
// does not trust (or that changed since the user trusted it), with what the
// certificate says and three ways out: "Trust Always", "Trust This Time" and
// "Cancel" (the default when the certificate changed).

#include <QDialog>

#include "core/engine/session_host.h"

namespace veltrim::ui {

class CCertificateDlg : public QDialog {
  Q_OBJECT
 public:
  // The dialog's results besides Rejected (Cancel).
  static constexpr int kTrustThisTime = QDialog::Accepted;
  static constexpr int kTrustAlways = 2;

  CCertificateDlg(const CertificateQuestion& question, QWidget* owner);

  // The engine's answer for a result of this dialog.
  static CertificateAnswer AnswerFor(int result);
};

}  // namespace veltrim::ui
