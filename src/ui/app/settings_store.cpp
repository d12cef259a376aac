#include "ui/app/settings_store.h"

namespace veltrim::ui {

std::unique_ptr<QSettings> OpenSettingsStore() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QString::fromLatin1(kOrganisationName),
                                     QString::fromLatin1(kApplicationName));
}

}  // namespace veltrim::ui
