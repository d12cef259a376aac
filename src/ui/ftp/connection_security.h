#pragma once
// TLS as the window shows it: the lock on the connection bar after a login,
// and where the certificates trusted always are kept (beside the settings).

#include <QString>

#include "core/ftp/tls_options.h"

namespace veltrim::ui {

class ConnectionBar;

// "Encrypted: TLSv1.3, TLS_AES_256_GCM_SHA384" or "Not encrypted".
QString SecurityToolTip(const ftp::TlsStatus& status);
// Shows the lock of a logged-in session on the bar.
void ShowConnectionSecurity(ConnectionBar* bar, const ftp::TlsStatus& status);
// Takes the lock off (not connected).
void ClearConnectionSecurity(ConnectionBar* bar);

// The known-certificates file, in the settings store's folder.
QString KnownCertificatesPath();

}  // namespace veltrim::ui
