#include "ui/profile/import_server_command.h"

#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/profile/import_wizard_dlg.h"
#include "ui/profile/veltrim_ftp_doc.h"

namespace veltrim::ui {

void RunImportServerCommand(CMainFrame& frame) {
  CImportWizardDlg wizard(&frame);
  if (RunModal(wizard) != QDialog::Accepted) return;
  if (CVeltrimFTPDoc* doc = frame.Document()) doc->OpenDocumentFile(wizard.ProfilePath());
}

}  // namespace veltrim::ui
