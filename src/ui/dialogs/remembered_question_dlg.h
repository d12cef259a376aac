#pragma once
// A Yes/No question whose answer can be remembered: a question, an
// explanation, an "always" and a "never" check box (never both ticked), and
// the buttons "Yes" (default) and "No". The two check boxes keep their states
// in Always() and Never() whichever button ends the dialog.

#include <QDialog>
#include <QString>

class QCheckBox;

namespace veltrim::ui {

class CRememberedQuestionDlg : public QDialog {
  Q_OBJECT
 public:
  struct Texts {
    const char* caption;
    const char* question;
    const char* explanation;
    int alwaysId;
    const char* alwaysText;
    int neverId;
    const char* neverText;
  };

  CRememberedQuestionDlg(const Texts& texts, QWidget* owner);

  // 0 or 1, as the boxes stood when the dialog ended (or now, while it runs).
  int Always() const { return always_; }
  int Never() const { return never_; }
  void SetAlways(int always);
  void SetNever(int never);

  QCheckBox* AlwaysBox() const { return alwaysBox_; }
  QCheckBox* NeverBox() const { return neverBox_; }

  void done(int result) override;

 private:
  void ReadBoxes();
  void WriteBoxes();

  int always_ = 0;
  int never_ = 0;
  QCheckBox* alwaysBox_;
  QCheckBox* neverBox_;
};

}  // namespace veltrim::ui
