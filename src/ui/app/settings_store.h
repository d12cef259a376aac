#pragma once
// Where the program keeps its settings: an INI file under the user's config
// folder, organisation "Veltrim Softworks", application "VeltrimFTP".

#include <QSettings>
#include <memory>

namespace veltrim::ui {

inline constexpr const char* kOrganisationName = "Veltrim Softworks";
inline constexpr const char* kApplicationName = "VeltrimFTP";

// A fresh handle on the store. Tests redirect it with
// QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder).
std::unique_ptr<QSettings> OpenSettingsStore();

}  // namespace veltrim::ui
