#include "ui/app/command_rules.h"

namespace veltrim::ui {

bool IsCommandEnabled(EnableRule rule, const CommandState& s) {
  switch (rule) {
    case EnableRule::Always:
      return true;
    case EnableRule::ProfilePresent:
      return s.profilePresent;
    case EnableRule::CanConnect:
      return s.profilePresent && !s.connected;
    case EnableRule::Connected:
      return s.connected;
    case EnableRule::Session:
      // While an operation runs the command stays available; its handler
      // notices the busy session and does nothing.
      return s.sessionExists && !s.frameBusy && (s.sessionConnected || s.sessionBusy);
    case EnableRule::TransferType:
      return s.connected && !s.frameBusy;
    case EnableRule::ListViewExists:
      return s.listViewExists;
    case EnableRule::AssociatedViewer:
      return s.selectionHasAssociatedProgram;
    case EnableRule::FileInformation:
      return s.sessionExists && s.sessionHasIndexFile;
  }
  return false;
}

}  // namespace veltrim::ui
