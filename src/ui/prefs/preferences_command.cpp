#include "ui/prefs/preferences_command.h"

#include <QToolBar>

#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/prefs/preferences_sheet.h"
#include "ui/widgets/docking_bar.h"

namespace veltrim::ui {

void RunPreferencesCommand(CMainFrame& frame) {
  CMyPropertySheet sheet(&frame);
  const BarVisibility bars{!frame.SessionLogBar()->isHidden(), !frame.DirectoriesBar()->isHidden(),
                           !frame.ConnectionToolBar()->isHidden()};
  sheet.SetValues(frame.Prefs(), bars);
  if (RunModal(sheet) != QDialog::Accepted) return;

  frame.Prefs() = sheet.EditedPreferences(frame.Prefs());
  const BarVisibility shown = sheet.EditedBars();
  frame.SessionLogBar()->setVisible(shown.sessionLog);
  frame.ConnectionToolBar()->setVisible(shown.connectionBar);
  frame.DirectoriesBar()->setVisible(shown.directories);
  // A session that is already running follows too, its remembered
  // cancel-queue answers included.
  if (SessionLink* session = frame.Session()) session->ApplyPreferences(frame.Prefs());
  frame.UpdateCommandUI();
}

}  // namespace veltrim::ui
