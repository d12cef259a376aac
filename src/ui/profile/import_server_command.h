#pragma once
// The Import Server command ("&Import Server" in the File menu).

namespace veltrim::ui {

class CMainFrame;

// Runs the Import wizard; a converted (or already current) profile then
// opens through the document like any other: a modified profile is offered
// for saving, a live connection is only dropped after "Confirm Disconnect",
// and the file joins the recent list.
void RunImportServerCommand(CMainFrame& frame);

}  // namespace veltrim::ui
