#include "ui/ftp/connection_security.h"

#include <QFileInfo>

#include "ui/app/settings_store.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/security_lock.h"

namespace veltrim::ui {

QString SecurityToolTip(const ftp::TlsStatus& status) {
  if (!status.encrypted) return QStringLiteral("Not encrypted");
  return QStringLiteral("Encrypted: %1, %2")
      .arg(QString::fromStdString(status.version), QString::fromStdString(status.cipher));
}

void ShowConnectionSecurity(ConnectionBar* bar, const ftp::TlsStatus& status) {
  if (bar == nullptr) return;
  bar->Lock()->SetState(status.encrypted ? SecurityLock::State::Encrypted : SecurityLock::State::NotEncrypted,
                        SecurityToolTip(status));
}

void ClearConnectionSecurity(ConnectionBar* bar) {
  if (bar != nullptr) bar->Lock()->SetState(SecurityLock::State::None);
}

QString KnownCertificatesPath() {
  const auto store = OpenSettingsStore();
  return QFileInfo(store->fileName()).absolutePath() + QStringLiteral("/VeltrimFTP-known-certificates.txt");
}

}  // namespace veltrim::ui
