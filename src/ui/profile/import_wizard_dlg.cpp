#include "ui/profile/import_wizard_dlg.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

#include <exception>

#include "core/profile/legacy_profile.h"
#include "ui/dialogs/prompts.h"
#include "ui/profile/import_wizard_pages.h"

namespace veltrim::ui {
namespace {

constexpr char kTitle[] = "VeltrimFTP Server Settings Import";
constexpr char kErrorCaption[] = "Error Converting";
constexpr char kInvalidText[] =
    "This is an invalid file format and can not be converted into VeltrimFTP Server Settings.";

}  // namespace

CImportWizardDlg::CImportWizardDlg(QWidget* owner)
    : CWizardDlg(owner), filePage_(new CImportFilePage), progressPage_(new CImportProgressPage) {
  setObjectName(QStringLiteral("CImportWizardDlg"));
  setWindowTitle(QString::fromLatin1(kTitle));
  AddPage(QStringLiteral("Import Wizard\t"), new CImportIntroPage);
  AddPage(QStringLiteral("Import Wizard\tChoose a file"), filePage_);
  AddPage(QStringLiteral("Import Wizard\tConverting file"), progressPage_);
}

void CImportWizardDlg::ShowPage(int index) {
  if (index == kProgressPage && !QFileInfo(filePage_->SelectedPath()).isFile()) index = kFilePage;
  CWizardDlg::ShowPage(index);
  progressPage_->SetFileName(filePage_->SelectedPath());
}

void CImportWizardDlg::OnFinish() {
  QProgressBar& progress = progressPage_->Progress();
  const QString path = progressPage_->FileName();
  LegacyConversion outcome = LegacyConversion::Invalid;
  try {
    outcome = ConvertLegacyProfileFile(QFile::encodeName(path).toStdString(),
                                       [&progress](int percent) { progress.setValue(percent); })
                  .Outcome;
  } catch (const std::exception& error) {
    Fail(QString::fromLocal8Bit(error.what()));
    return;
  }
  if (outcome == LegacyConversion::Invalid) {
    Fail(QString::fromLatin1(kInvalidText));
    return;
  }
  profilePath_ = path;
  accept();
}

void CImportWizardDlg::Fail(const QString& text) {
  // Owned by the main window, like every box of the program.
  QWidget* owner = parentWidget() != nullptr ? parentWidget() : this;
  ShowMessage(owner, QMessageBox::Critical, QString::fromLatin1(kErrorCaption), text);
  progressPage_->Progress().setValue(0);
  ShowPage(kFilePage);
}

}  // namespace veltrim::ui
