#pragma once
// The Preferences command ("&Preferences" in the File menu).

namespace veltrim::ui {

class CMainFrame;

// Opens the sheet on the frame's preferences and the current visibility of
// the Session Log, connection bar and Directories. On OK: the preferences
// take the sheet's values, the three bars are shown or hidden at once, and
// a live session takes the cancel-queue answers, sounds, block size and
// text extensions. Cancel changes nothing.
void RunPreferencesCommand(CMainFrame& frame);

}  // namespace veltrim::ui
