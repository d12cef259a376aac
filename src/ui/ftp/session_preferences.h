#pragma once
// The preferences a session works with: the remembered cancel-queue
// answers, the sounds, the transfer block size, the text extensions and
// whether a host without a scheme is asked for TLS (its next connection). A
// new session gets them at Connect; a connected one again when the
// Preferences sheet is confirmed.

#include "ui/shared/preferences.h"

namespace veltrim {
class CFtpSession;
}

namespace veltrim::ui {

// Window thread only. The extensions reach the session up to the first
// empty entry, followed by one end marker.
void ApplySessionPreferences(CFtpSession& session, const Preferences& prefs);

}  // namespace veltrim::ui
