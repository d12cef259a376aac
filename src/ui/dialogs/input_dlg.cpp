#include "ui/dialogs/input_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/dialogs/prompts.h"

namespace veltrim::ui {

CInputDlg::CInputDlg(QWidget* owner, const QString& caption, const QString& prompt,
                     const QString& defaultText, bool password)
    : QDialog(owner), prompt_(new QLabel(prompt, this)), input_(new QLineEdit(defaultText, this)) {
  setWindowTitle(caption);
  setObjectName(QStringLiteral("CInputDlg"));
  prompt_->setObjectName(QStringLiteral("static1002"));
  input_->setObjectName(QStringLiteral("edit1001"));
  prompt_->setWordWrap(true);
  prompt_->setBuddy(input_);
  // Whoever stands behind the user must not read a password off the screen.
  if (password) input_->setEchoMode(QLineEdit::Password);
  input_->selectAll();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(input_);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}

QString CInputDlg::Prompt() const { return prompt_->text(); }
QString CInputDlg::InputText() const { return input_->text(); }
void CInputDlg::SetInputText(const QString& text) { input_->setText(text); }
bool CInputDlg::IsMasked() const { return input_->echoMode() != QLineEdit::Normal; }

QString InputBox(const QString& prompt, const QString& caption, const QString& defaultText,
                 QWidget* owner) {
  const bool password = prompt == QLatin1String(kPasswordPrompt);
  return Prompts().Text(owner, prompt, caption, defaultText, password);
}

}  // namespace veltrim::ui
