#include "helpers/prompt_script.h"

#include <QApplication>
#include <QDebug>
#include <QTimer>

#include <utility>

namespace veltrim::test {
namespace {

// By PromptKind, for the Unexpected() lines.
const char* const kKindNames[] = {"message", "text", "open file", "open files", "save file", "folder", "dialog",
                                  "modeless"};

// What closing the box without choosing would give.
QMessageBox::StandardButton EscapeButton(QMessageBox::StandardButtons buttons) {
  for (auto candidate : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort,
                         QMessageBox::Close, QMessageBox::Ok}) {
    if (buttons.testFlag(candidate)) return candidate;
  }
  return QMessageBox::NoButton;
}

}  // namespace

PromptScript::PromptScript() { scope_.emplace(*this); }

PromptScript::~PromptScript() {
  scope_.reset();
  if (!answers_.empty()) qWarning("PromptScript: %d scripted answers never used", Pending());
  for (const auto& line : unexpected_) qWarning("PromptScript: unexpected %s", qPrintable(line));
}

PromptScript& PromptScript::Answer(QMessageBox::StandardButton button) {
  answers_.push_back({PromptKind::Message, button, {}, {}, {}, {}});
  return *this;
}

PromptScript& PromptScript::AnswerText(const QString& text) {
  answers_.push_back({PromptKind::Text, QMessageBox::NoButton, text, {}, {}, {}});
  return *this;
}

PromptScript& PromptScript::AnswerPath(PromptKind kind, const QString& path) {
  answers_.push_back({kind, QMessageBox::NoButton, path, {}, {}, {}});
  return *this;
}

PromptScript& PromptScript::AnswerDialog(std::function<void(QDialog&)> interact) {
  answers_.push_back({PromptKind::Dialog, QMessageBox::NoButton, {}, std::move(interact), {}, {}});
  return *this;
}

PromptScript& PromptScript::AnswerPaths(const QStringList& paths) {
  answers_.push_back({PromptKind::OpenFiles, QMessageBox::NoButton, {}, {}, paths, {}});
  return *this;
}

PromptScript& PromptScript::WhileShown(std::function<bool(QDialog&)> poll) {
  answers_.push_back({PromptKind::Modeless, QMessageBox::NoButton, {}, {}, {}, std::move(poll)});
  return *this;
}

PromptScript& PromptScript::AcceptDialog() {
  return AnswerDialog([](QDialog& dialog) { dialog.accept(); });
}

PromptScript& PromptScript::RejectDialog() {
  return AnswerDialog([](QDialog& dialog) { dialog.reject(); });
}

QStringList PromptScript::Captions() const {
  QStringList captions;
  for (const auto& record : records_) captions << record.caption;
  return captions;
}

QStringList PromptScript::Texts() const {
  QStringList texts;
  for (const auto& record : records_) texts << record.text;
  return texts;
}

std::optional<PromptScript::ScriptedAnswer> PromptScript::Take(const PromptRecord& record) {
  records_.push_back(record);
  if (answers_.empty() || answers_.front().kind != record.kind) {
    unexpected_ << QString::fromLatin1(kKindNames[static_cast<int>(record.kind)]) + QStringLiteral(": ") +
                       record.caption + QStringLiteral(": ") + record.text;
    return std::nullopt;
  }
  ScriptedAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

QMessageBox::StandardButton PromptScript::Message(QWidget*, QMessageBox::Icon icon,
                                                  const QString& caption, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton) {
  const auto answer =
      Take({.kind = PromptKind::Message, .caption = caption, .text = text, .icon = icon, .buttons = buttons});
  return answer ? answer->button : EscapeButton(buttons);
}

QMessageBox::StandardButton PromptScript::MessageWithDetail(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                                            const QString& text, const QString& detail) {
  const auto answer = Take({.kind = PromptKind::Message, .caption = caption, .text = text, .icon = icon,
                            .buttons = QMessageBox::Ok, .detail = detail});
  return answer ? answer->button : QMessageBox::Ok;
}

QString PromptScript::Text(QWidget*, const QString& prompt, const QString& caption,
                           const QString& defaultText, bool password) {
  return Path({.kind = PromptKind::Text, .caption = caption, .text = prompt, .password = password,
               .initial = defaultText});
}

QString PromptScript::Path(const PromptRecord& record) {
  const auto answer = Take(record);
  return answer ? answer->text : QString();
}

QString PromptScript::OpenFileName(QWidget*, const QString& caption, const QString& folder,
                                   const QString& filter) {
  return Path({.kind = PromptKind::OpenFile, .caption = caption, .initial = folder, .filter = filter});
}

QStringList PromptScript::OpenFileNames(QWidget*, const QString& caption, const QString& folder,
                                        const QString& filter) {
  const auto answer = Take({.kind = PromptKind::OpenFiles, .caption = caption, .initial = folder, .filter = filter});
  return answer ? answer->paths : QStringList();
}

QString PromptScript::SaveFileName(QWidget*, const QString& caption,
                                   const QString& proposedPath, const QString& filter) {
  return Path({.kind = PromptKind::SaveFile, .caption = caption, .initial = proposedPath, .filter = filter});
}

QString PromptScript::FolderName(QWidget*, const QString& title, const QString& initialFolder) {
  return Path({.kind = PromptKind::Folder, .caption = title, .initial = initialFolder});
}

int PromptScript::RunDialog(QDialog& dialog) {
  const auto answer = Take({.kind = PromptKind::Dialog, .caption = dialog.windowTitle(),
                            .text = QString::fromLatin1(dialog.metaObject()->className())});
  dialog.setResult(QDialog::Rejected);
  if (!answer) return QDialog::Rejected;
  dialog.show();
  QApplication::processEvents();
  if (answer->interact) answer->interact(dialog);
  if (dialog.isVisible()) dialog.reject();
  return dialog.result();
}

void PromptScript::ShowModeless(QDialog& box) {
  records_.push_back({.kind = PromptKind::Modeless, .caption = box.windowTitle(),
                      .text = QString::fromLatin1(box.metaObject()->className())});
  box.show();
  if (answers_.empty() || answers_.front().kind != PromptKind::Modeless) return;
  std::function<bool(QDialog&)> poll = std::move(answers_.front().poll);
  answers_.pop_front();
  // Dies with the box.
  auto* timer = new QTimer(&box);
  timer->setInterval(1);
  QDialog* shown = &box;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, shown, poll] {
    if (poll(*shown)) timer->stop();
  });
  timer->start();
}

}  // namespace veltrim::test
