#pragma once
// The one seam through which every question, message box, text prompt, file
// chooser and modal dialog of the program is shown. Window code never calls
// QMessageBox, QFileDialog or QDialog::exec() itself: it asks Prompts(), so a
// test can install a scripted Prompter (tests/ui/helpers/prompt_script.h)
// that answers from a queue and records what was asked.
//
// All of it runs on the window thread. A worker thread that needs an answer
// marshals to the window thread first (blocking-queued invocation) and calls
// these from there.

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace veltrim::ui {

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A message box with the given icon, caption (window title), text and
  // buttons. Returns the button pressed; closing the box without a button
  // returns the box's escape button (Cancel or No where present, else Ok).
  virtual QMessageBox::StandardButton Message(QWidget* owner, QMessageBox::Icon icon,
                                              const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) = 0;
  // The same box with OK and a second, smaller text under the first (why a
  // server or the system refused). By default the box without it.
  virtual QMessageBox::StandardButton MessageWithDetail(QWidget* owner, QMessageBox::Icon icon,
                                                        const QString& caption, const QString& text,
                                                        const QString& /*detail*/) {
    return Message(owner, icon, caption, text, QMessageBox::Ok, QMessageBox::NoButton);
  }

  // A one-line text prompt (CInputDlg). Returns the typed text after OK (may
  // be empty) and an empty text after Cancel or close. With password set the
  // typed characters are masked.
  virtual QString Text(QWidget* owner, const QString& prompt, const QString& caption,
                       const QString& defaultText, bool password) = 0;

  // File choosers. filter is a QFileDialog filter such as
  // "VeltrimFTP Server Settings (*.ftp)". Each returns the chosen path, or an
  // empty text when cancelled.
  virtual QString OpenFileName(QWidget* owner, const QString& caption, const QString& folder,
                               const QString& filter) = 0;
  // Several existing files at once, in the order the chooser gives them;
  // empty when cancelled. By default one file through OpenFileName.
  virtual QStringList OpenFileNames(QWidget* owner, const QString& caption, const QString& folder,
                                    const QString& filter);
  virtual QString SaveFileName(QWidget* owner, const QString& caption,
                               const QString& proposedPath, const QString& filter) = 0;
  // A folder (no trailing "/" except for "/" itself), or empty when cancelled.
  virtual QString FolderName(QWidget* owner, const QString& title,
                             const QString& initialFolder) = 0;

  // Runs an already built modal dialog (CSessionSettingsDlg, CNewConnectionDlg,
  // CCancelTransferDlg, CEditFileDlg, ...) and returns its result code
  // (QDialog::Accepted or QDialog::Rejected). A scripted prompter may set the
  // dialog's controls and accept or reject it without showing it.
  virtual int RunDialog(QDialog& dialog) = 0;

  // Shows a modeless box (the "Adding files to Queue" box) that its owner
  // closes itself; the code that showed it goes on at once. A scripted
  // prompter may press the box's buttons later, while the owner works. By
  // default the box is simply shown.
  virtual void ShowModeless(QDialog& box);
};

// The real thing: QMessageBox, CInputDlg, QFileDialog and QDialog::exec().
class DesktopPrompter final : public Prompter {
 public:
  QMessageBox::StandardButton Message(QWidget* owner, QMessageBox::Icon icon,
                                      const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton) override;
  QMessageBox::StandardButton MessageWithDetail(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                                const QString& text, const QString& detail) override;
  QString Text(QWidget* owner, const QString& prompt, const QString& caption,
               const QString& defaultText, bool password) override;
  QString OpenFileName(QWidget* owner, const QString& caption, const QString& folder,
                       const QString& filter) override;
  QStringList OpenFileNames(QWidget* owner, const QString& caption, const QString& folder,
                            const QString& filter) override;
  QString SaveFileName(QWidget* owner, const QString& caption, const QString& proposedPath,
                       const QString& filter) override;
  QString FolderName(QWidget* owner, const QString& title,
                     const QString& initialFolder) override;
  int RunDialog(QDialog& dialog) override;
};

// The prompter in force: the innermost ScopedPrompter, else a DesktopPrompter.
Prompter& Prompts();

// Installs a prompter for its lifetime and restores the previous one after.
// Not owning: the prompter must outlive the scope.
class ScopedPrompter {
 public:
  explicit ScopedPrompter(Prompter& prompter);
  ~ScopedPrompter();
  ScopedPrompter(const ScopedPrompter&) = delete;
  ScopedPrompter& operator=(const ScopedPrompter&) = delete;

 private:
  Prompter* previous_;
};

// Shorthands for the common boxes, all through Prompts().
QMessageBox::StandardButton ShowMessage(
    QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
void ShowInformation(QWidget* owner, const QString& caption, const QString& text);
void ShowWarning(QWidget* owner, const QString& caption, const QString& text);
void ShowCritical(QWidget* owner, const QString& caption, const QString& text);
// A question; true when the answer is Yes (YesNo) or Ok (OkCancel and the like).
bool AskQuestion(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                 const QString& text,
                 QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
int RunModal(QDialog& dialog);

}  // namespace veltrim::ui
