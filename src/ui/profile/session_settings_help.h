#pragma once
// The help texts of the FTP Session Settings dialog, one per control id.

#include <QString>

namespace veltrim::ui {

// The help text shown for the control with this id; empty for any other id.
QString SessionSettingsHelpText(int controlId);

}  // namespace veltrim::ui
