#include "ui/dialogs/certificate_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrim::ui {

namespace {

QString FromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* Selectable(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

}  // namespace

CCertificateDlg::CCertificateDlg(const CertificateQuestion& question, QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Server Certificate"));
  const ftp::PeerCertificate& certificate = question.Certificate;
  const bool changed = !question.KnownFingerprint.empty();
  auto* headline = new QLabel(
      changed ? QStringLiteral("WARNING: the certificate of this server has changed since you trusted it. "
                               "Someone may be listening in. Connect only if you know why it changed.")
              : QStringLiteral("The server's certificate is not trusted: %1.").arg(FromStd(certificate.problem)),
      this);
  headline->setWordWrap(true);
  headline->setObjectName(QStringLiteral("Headline"));

  auto* details = new QFormLayout;
  details->addRow(QStringLiteral("Server:"),
                  Selectable(FromStd(certificate.host) + QLatin1Char(':') + QString::number(certificate.port), this));
  details->addRow(QStringLiteral("Subject:"), Selectable(FromStd(certificate.subject), this));
  details->addRow(QStringLiteral("Issuer:"), Selectable(FromStd(certificate.issuer), this));
  details->addRow(QStringLiteral("Valid from:"), Selectable(FromStd(certificate.validFrom), this));
  details->addRow(QStringLiteral("Valid until:"), Selectable(FromStd(certificate.validUntil), this));
  details->addRow(QStringLiteral("SHA-256:"), Selectable(FromStd(certificate.fingerprint), this));
  if (changed) details->addRow(QStringLiteral("Trusted before:"), Selectable(FromStd(question.KnownFingerprint), this));
  if (!certificate.problem.empty()) details->addRow(QStringLiteral("Problem:"), Selectable(FromStd(certificate.problem), this));

  auto* always = new QPushButton(QStringLiteral("Trust Always"), this);
  always->setObjectName(QStringLiteral("TrustAlways"));
  auto* once = new QPushButton(QStringLiteral("Trust This Time"), this);
  once->setObjectName(QStringLiteral("TrustThisTime"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel"));
  (changed ? cancel : once)->setDefault(true);
  connect(always, &QPushButton::clicked, this, [this] { done(kTrustAlways); });
  connect(once, &QPushButton::clicked, this, [this] { done(kTrustThisTime); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(always);
  buttons->addWidget(once);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline);
  layout->addLayout(details);
  layout->addLayout(buttons);
}

CertificateAnswer CCertificateDlg::AnswerFor(int result) {
  if (result == kTrustAlways) return CertificateAnswer::TrustAlways;
  if (result == kTrustThisTime) return CertificateAnswer::TrustThisTime;
  return CertificateAnswer::Cancel;
}

}  // namespace veltrim::ui
