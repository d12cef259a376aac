#pragma once
// The one-line text prompt and InputBox, its only way in.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace veltrim::ui {

// The prompt the connect routine shows when a profile keeps no password.
inline constexpr char kPasswordPrompt[] = "Please enter your password:";

class CInputDlg : public QDialog {
  Q_OBJECT
 public:
  CInputDlg(QWidget* owner, const QString& caption, const QString& prompt,
            const QString& defaultText, bool password);

  QString Prompt() const;
  QString InputText() const;
  void SetInputText(const QString& text);
  bool IsMasked() const;

 private:
  QLabel* prompt_;
  QLineEdit* input_;
};

// Shows the prompt through Prompts() and returns the text after OK (possibly
// empty) or an empty text after Cancel; callers treat empty as cancel. The
// password question masks what is typed.
QString InputBox(const QString& prompt, const QString& caption, const QString& defaultText = {},
                 QWidget* owner = nullptr);

}  // namespace veltrim::ui
