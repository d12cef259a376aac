#pragma once
// The three pages of the Import wizard: an introduction, the choice of the
// older profile file, and the conversion with its progress.

#include <QString>

#include "ui/profile/wizard_dlg.h"

class QLabel;
class QProgressBar;

namespace veltrim::ui {

class CFileTreeCtrl;

class CImportIntroPage : public CWizardPage {
  Q_OBJECT
 public:
  explicit CImportIntroPage(QWidget* parent = nullptr);
};

class CImportFilePage : public CWizardPage {
  Q_OBJECT
 public:
  explicit CImportFilePage(QWidget* parent = nullptr);
  // The full path of the node selected in the tree.
  QString SelectedPath() const { return path_; }
  CFileTreeCtrl& Tree() const { return *tree_; }

 private:
  CFileTreeCtrl* tree_;
  QString path_;
};

class CImportProgressPage : public CWizardPage {
  Q_OBJECT
 public:
  explicit CImportProgressPage(QWidget* parent = nullptr);
  void SetFileName(const QString& path);
  QString FileName() const { return fileName_; }
  QProgressBar& Progress() const { return *progress_; }

 private:
  QString fileName_;
  QLabel* fileLabel_;
  QProgressBar* progress_;
};

}  // namespace veltrim::ui
