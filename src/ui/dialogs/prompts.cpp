#include "ui/dialogs/prompts.h"

#include <QFileDialog>

#include "ui/dialogs/input_dlg.h"

namespace veltrim::ui {
namespace {

Prompter*& CurrentOverride() {
  static Prompter* current = nullptr;
  return current;
}

// A chosen folder without its trailing separator, "/" staying "/".
QString WithoutTrailingSlash(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path;
}

}  // namespace

QMessageBox::StandardButton DesktopPrompter::Message(QWidget* owner, QMessageBox::Icon icon,
                                                     const QString& caption,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, caption, text, buttons, owner);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  const int result = box.exec();
  return static_cast<QMessageBox::StandardButton>(result);
}

QMessageBox::StandardButton DesktopPrompter::MessageWithDetail(QWidget* owner, QMessageBox::Icon icon,
                                                               const QString& caption, const QString& text,
                                                               const QString& detail) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
  box.setInformativeText(detail);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString DesktopPrompter::Text(QWidget* owner, const QString& prompt, const QString& caption,
                              const QString& defaultText, bool password) {
  CInputDlg dialog(owner, caption, prompt, defaultText, password);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.InputText();
}

QString DesktopPrompter::OpenFileName(QWidget* owner, const QString& caption,
                                      const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileName(owner, caption, folder, filter);
}

QStringList DesktopPrompter::OpenFileNames(QWidget* owner, const QString& caption,
                                           const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileNames(owner, caption, folder, filter);
}

QString DesktopPrompter::SaveFileName(QWidget* owner, const QString& caption,
                                      const QString& proposedPath, const QString& filter) {
  return QFileDialog::getSaveFileName(owner, caption, proposedPath, filter);
}

QString DesktopPrompter::FolderName(QWidget* owner, const QString& title,
                                    const QString& initialFolder) {
  return WithoutTrailingSlash(QFileDialog::getExistingDirectory(
      owner, title, initialFolder, QFileDialog::ShowDirsOnly));
}

int DesktopPrompter::RunDialog(QDialog& dialog) { return dialog.exec(); }

QStringList Prompter::OpenFileNames(QWidget* owner, const QString& caption, const QString& folder,
                                    const QString& filter) {
  const QString one = OpenFileName(owner, caption, folder, filter);
  return one.isEmpty() ? QStringList() : QStringList{one};
}

void Prompter::ShowModeless(QDialog& box) { box.show(); }

Prompter& Prompts() {
  static DesktopPrompter desktop;
  Prompter* current = CurrentOverride();
  return current ? *current : desktop;
}

ScopedPrompter::ScopedPrompter(Prompter& prompter) : previous_(CurrentOverride()) {
  CurrentOverride() = &prompter;
}

ScopedPrompter::~ScopedPrompter() { CurrentOverride() = previous_; }

QMessageBox::StandardButton ShowMessage(QWidget* owner, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) {
  return Prompts().Message(owner, icon, caption, text, buttons, defaultButton);
}

void ShowInformation(QWidget* owner, const QString& caption, const QString& text) {
  ShowMessage(owner, QMessageBox::Information, caption, text);
}

void ShowWarning(QWidget* owner, const QString& caption, const QString& text) {
  ShowMessage(owner, QMessageBox::Warning, caption, text);
}

void ShowCritical(QWidget* owner, const QString& caption, const QString& text) {
  ShowMessage(owner, QMessageBox::Critical, caption, text);
}

bool AskQuestion(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                 const QString& text, QMessageBox::StandardButtons buttons) {
  const auto answer = ShowMessage(owner, icon, caption, text, buttons);
  return answer == QMessageBox::Yes || answer == QMessageBox::Ok ||
         answer == QMessageBox::YesToAll || answer == QMessageBox::Save;
}

int RunModal(QDialog& dialog) { return Prompts().RunDialog(dialog); }

}  // namespace veltrim::ui
