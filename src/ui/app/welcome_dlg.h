#pragma once
// "Welcome to VeltrimFTP": the greeting of a first start, offering to create
// a new server profile or to open an existing one.

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace veltrim::ui {

class CWelcomeDlg : public QDialog {
  Q_OBJECT
 public:
  enum ChoiceValue : int { kChoiceNone = 0, kChoiceNew = 1, kChoiceExisting = 2 };

  explicit CWelcomeDlg(QWidget* owner = nullptr);

  int Choice() const { return choice_; }
  bool DontShowAgain() const { return dontShowAgain_; }

  QPushButton* NewButton() const { return newButton_; }
  QPushButton* ExistingButton() const { return existingButton_; }
  QCheckBox* DontShowAgainBox() const { return dontShow_; }

 private:
  int choice_ = kChoiceNone;
  bool dontShowAgain_ = false;
  QPushButton* newButton_;
  QPushButton* existingButton_;
  QCheckBox* dontShow_;
};

}  // namespace veltrim::ui
