#pragma once
// A Prompter for GUI tests: answers every prompt from a queue given in
// advance and records each prompt (caption, text, icon, buttons...) so a test
// can assert what the user would have seen. Installs itself for its lifetime.
//
//   veltrim::test::PromptScript script;
//   script.Answer(QMessageBox::Ok).AnswerText("secret");
//   ...run the code under test...
//   QCOMPARE(script.Captions(), QStringList({"Confirm Disconnect", "Password"}));
//   QVERIFY(script.Unexpected().isEmpty());
//
// Answers are used strictly in order. A prompt whose kind does not match the
// next answer (or that comes when none is left) is recorded in Unexpected()
// and gets the cancel answer: the escape button of a message box, an empty
// text or path, a rejected dialog. A modeless box needs no answer: it is
// recorded, and takes the next answer only when that is a WhileShown.

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/dialogs/prompts.h"

namespace veltrim::test {

enum class PromptKind { Message, Text, OpenFile, OpenFiles, SaveFile, Folder, Dialog, Modeless };

struct PromptRecord {
  PromptKind kind = PromptKind::Message;
  QString caption{};  // window title
  QString text{};     // message text, text prompt, or the dialog's class name
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons{};
  bool password = false;  // text prompts: typed characters masked
  QString initial{};      // default text, proposed path or initial folder
  QString detail{};       // message boxes: the smaller text under the first
  QString filter{};       // file choosers
};

class PromptScript final : public ui::Prompter {
 public:
  PromptScript();
  ~PromptScript() override;

  // Queue the answer to the next message box.
  PromptScript& Answer(QMessageBox::StandardButton button);
  // Queue the text typed into the next text prompt (empty: Cancel).
  PromptScript& AnswerText(const QString& text);
  // Queue the path chosen in the next open/save/folder chooser (empty: Cancel).
  PromptScript& AnswerPath(PromptKind kind, const QString& path);
  // Queue what happens to the next modal dialog. The dialog has been shown
  // (not exec'd); the callback may set its controls and must end it with
  // accept()/reject() or by clicking its buttons. A dialog still open after
  // the callback is rejected, as if closed by the window's close button.
  PromptScript& AnswerDialog(std::function<void(QDialog&)> interact);
  // Queue the files chosen in the next multi-file Open dialog (empty: Cancel).
  PromptScript& AnswerPaths(const QStringList& paths);
  // Queue what happens while the next modeless box is shown: poll runs every
  // few milliseconds (inside the owner's message pumps) until it returns true.
  PromptScript& WhileShown(std::function<bool(QDialog&)> poll);
  PromptScript& AcceptDialog();
  PromptScript& RejectDialog();

  const std::vector<PromptRecord>& Records() const { return records_; }
  QStringList Captions() const;
  QStringList Texts() const;
  // Prompts that found no matching answer, as "kind: caption: text".
  const QStringList& Unexpected() const { return unexpected_; }
  // Answers queued but never used.
  int Pending() const { return static_cast<int>(answers_.size()); }

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
  void ShowModeless(QDialog& box) override;

 private:
  struct ScriptedAnswer {
    PromptKind kind;
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString text;
    std::function<void(QDialog&)> interact;
    QStringList paths;
    std::function<bool(QDialog&)> poll;
  };

  // Records the prompt; the next answer when it is of this kind, otherwise
  // the prompt is noted as unexpected and nothing is returned.
  std::optional<ScriptedAnswer> Take(const PromptRecord& record);
  // The text or path of the answer Take gives.
  QString Path(const PromptRecord& record);

  std::deque<ScriptedAnswer> answers_;
  std::vector<PromptRecord> records_;
  QStringList unexpected_;
  std::optional<ui::ScopedPrompter> scope_;
};

}  // namespace veltrim::test
