#include "helpers/prompt_script.h"

#include <QApplication>
#include <QDebug>
#include <QTimer>

#include <utility>

namespace veltrim::test {
namespace {

QString KindName(PromptKind kind) {
  switch (kind) {
    case PromptKind::Message: return QStringLiteral("message");
    case PromptKind::Text: return QStringLiteral("text");
    case PromptKind::OpenFile: return QStringLiteral("open file");
    case PromptKind::OpenFiles: return QStringLiteral("open files");
    case PromptKind::Modeless: return QStringLiteral("modeless");
    case PromptKind::SaveFile: return QStringLiteral("save file");
    case PromptKind::Folder: return QStringLiteral("folder");
    case PromptKind::Dialog: return QStringLiteral("dialog");
  }
  return {};
}

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
    unexpected_ << KindName(record.kind) + QStringLiteral(": ") + record.caption +
                       QStringLiteral(": ") + record.text;
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
  PromptRecord record;
  record.kind = PromptKind::Message;
  record.caption = caption;
  record.text = text;
  record.icon = icon;
  record.buttons = buttons;
  const auto answer = Take(record);
  return answer ? answer->button : EscapeButton(buttons);
}

QMessageBox::StandardButton PromptScript::MessageWithDetail(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                                            const QString& text, const QString& detail) {
  PromptRecord record;
  record.kind = PromptKind::Message;
  record.caption = caption;
  record.text = text;
  record.icon = icon;
  record.buttons = QMessageBox::Ok;
  record.detail = detail;
  const auto answer = Take(record);
  return answer ? answer->button : QMessageBox::Ok;
}

QString PromptScript::Text(QWidget*, const QString& prompt, const QString& caption,
                           const QString& defaultText, bool password) {
  PromptRecord record;
  record.kind = PromptKind::Text;
  record.caption = caption;
  record.text = prompt;
  record.password = password;
  record.initial = defaultText;
  const auto answer = Take(record);
  return answer ? answer->text : QString();
}

QString PromptScript::Path(PromptRecord record) {
  const auto answer = Take(record);
  return answer ? answer->text : QString();
}

QString PromptScript::OpenFileName(QWidget*, const QString& caption, const QString& folder,
                                   const QString& filter) {
  PromptRecord record;
  record.kind = PromptKind::OpenFile;
  record.caption = caption;
  record.initial = folder;
  record.filter = filter;
  return Path(record);
}

QStringList PromptScript::OpenFileNames(QWidget*, const QString& caption, const QString& folder,
                                        const QString& filter) {
  PromptRecord record;
  record.kind = PromptKind::OpenFiles;
  record.caption = caption;
  record.initial = folder;
  record.filter = filter;
  const auto answer = Take(record);
  return answer ? answer->paths : QStringList();
}

QString PromptScript::SaveFileName(QWidget*, const QString& caption,
                                   const QString& proposedPath, const QString& filter) {
  PromptRecord record;
  record.kind = PromptKind::SaveFile;
  record.caption = caption;
  record.initial = proposedPath;
  record.filter = filter;
  return Path(record);
}

QString PromptScript::FolderName(QWidget*, const QString& title, const QString& initialFolder) {
  PromptRecord record;
  record.kind = PromptKind::Folder;
  record.caption = title;
  record.initial = initialFolder;
  return Path(record);
}

int PromptScript::RunDialog(QDialog& dialog) {
  PromptRecord record;
  record.kind = PromptKind::Dialog;
  record.caption = dialog.windowTitle();
  record.text = QString::fromLatin1(dialog.metaObject()->className());
  const auto answer = Take(record);
  dialog.setResult(QDialog::Rejected);
  if (!answer) return QDialog::Rejected;
  dialog.show();
  QApplication::processEvents();
  if (answer->interact) answer->interact(dialog);
  if (dialog.isVisible()) dialog.reject();
  return dialog.result();
}

void PromptScript::ShowModeless(QDialog& box) {
  PromptRecord record;
  record.kind = PromptKind::Modeless;
  record.caption = box.windowTitle();
  record.text = QString::fromLatin1(box.metaObject()->className());
  records_.push_back(record);
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
