#include "ui/profile/import_wizard_pages.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/profile/file_tree_ctrl.h"
#include "ui/profile/veltrim_ftp_doc.h"

namespace veltrim::ui {
namespace {

constexpr char kIntroText[] =
    "This wizard will help you convert previously stored server settings from other versions of VeltrimFTP.  "
    "This wizard does not currently import other datafiles, however support for this feature is in the "
    "works.\n\nPlease follow the directions on the next pages to successfully import your stored server "
    "settings / profiles.";
constexpr char kFileText[] = "Please select the file you wish to convert.";
constexpr char kProgressText[] =
    "Now converting the selected file.  The old file has been renamed with a \".OLD\" extension in case you "
    "should need to restore it.";

QLabel* Paragraph(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QStringLiteral("static1001"));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

CImportIntroPage::CImportIntroPage(QWidget* parent) : CWizardPage(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Paragraph(kIntroText, this));
  layout->addStretch();
}

CImportFilePage::CImportFilePage(QWidget* parent)
    : CWizardPage(parent), tree_(new CFileTreeCtrl(QString::fromLatin1(kProfileExtension), this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Paragraph(kFileText, this));
  layout->addWidget(tree_, 1);
  connect(tree_, &CFileTreeCtrl::PathSelected, this, [this](const QString& path) { path_ = path; });
  tree_->OpenPath(QDir::currentPath());
}

CImportProgressPage::CImportProgressPage(QWidget* parent)
    : CWizardPage(parent), fileLabel_(new QLabel(this)), progress_(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Paragraph(kProgressText, this));
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("Converting:"), this));
  fileLabel_->setObjectName(QStringLiteral("static1032"));
  fileLabel_->setWordWrap(true);
  fileLabel_->setTextFormat(Qt::PlainText);
  layout->addWidget(fileLabel_);
  progress_->setObjectName(QStringLiteral("progress1033"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  layout->addWidget(progress_);
  layout->addStretch();
}

void CImportProgressPage::SetFileName(const QString& path) {
  fileName_ = path;
  fileLabel_->setText(path);
}

}  // namespace veltrim::ui
