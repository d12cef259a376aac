#include "ui/ftp/session_preferences.h"

#include <string>
#include <vector>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

void ApplySessionPreferences(CFtpSession& session, const Preferences& prefs) {
  session.SetAlwaysCancelQueue(prefs.Cancel);
  session.SetNeverCancelQueue(prefs.NeverCancel);
  session.SetPlaySounds(prefs.PlaySounds);
  session.SetBlockSize(prefs.BlockSize);
  session.SetUseTlsWhenOffered(prefs.UseTLSWhenOffered);
  std::vector<std::string> extensions;
  for (const QString& extension : prefs.Extensions) {
    if (extension.isEmpty()) break;
    extensions.push_back(extension.toStdString());
  }
  extensions.emplace_back();  // the end marker
  session.SetTextExtensions(std::move(extensions));
}

}  // namespace veltrim::ui
