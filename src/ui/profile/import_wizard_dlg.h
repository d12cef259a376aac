#pragma once
// CImportWizardDlg: "VeltrimFTP Server Settings Import". The user picks a
// profile saved by an older version of the program; "&Convert" rewrites it
// in the current layout, keeping the old bytes in a ".old" file beside it.
// A file that is already a current profile is opened as it is.

#include <QString>

#include "ui/profile/wizard_dlg.h"

namespace veltrim::ui {

class CImportFilePage;
class CImportProgressPage;

class CImportWizardDlg : public CWizardDlg {
  Q_OBJECT
 public:
  static constexpr int kIntroPage = 0;
  static constexpr int kFilePage = 1;
  static constexpr int kProgressPage = 2;

  explicit CImportWizardDlg(QWidget* owner = nullptr);

  // The conversion page needs a file: with a folder (or nothing) chosen the
  // file page shows again. The chosen path goes to the conversion page.
  void ShowPage(int index) override;

  // After OK: the profile to open.
  QString ProfilePath() const { return profilePath_; }
  CImportFilePage& FilePage() const { return *filePage_; }
  CImportProgressPage& ProgressPage() const { return *progressPage_; }

 protected:
  // Converts the chosen file; on failure says why and goes back to the
  // file page.
  void OnFinish() override;

 private:
  void Fail(const QString& text);

  CImportFilePage* filePage_;
  CImportProgressPage* progressPage_;
  QString profilePath_;
};

}  // namespace veltrim::ui
