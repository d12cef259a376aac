#include "ui/ftp/session_log_sink.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QThread>

namespace veltrim::ui {

SessionLogSink::SessionLogSink(QPlainTextEdit* edit) : edit_(edit) {}

void SessionLogSink::ShowScrollBar() {
  // The log grows for the whole connection; the bar stays so its width does
  // not jump when the first long listing arrives.
  if (edit_) edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

SessionLogSink::~SessionLogSink() = default;

void SessionLogSink::AppendLine(const std::string& line) {
  QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  const bool onWindowThread = QThread::currentThread() == anchor_.thread();
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(text));
    if (onWindowThread || flushPosted_) {
      // A flush is on its way (or follows right below).
    } else {
      flushPosted_ = true;
      QMetaObject::invokeMethod(&anchor_, [this] { Flush(); }, Qt::QueuedConnection);
    }
  }
  if (onWindowThread) Flush();
}

void SessionLogSink::Flush() {
  std::deque<QString> lines;
  {
    std::lock_guard lock(mutex_);
    lines.swap(pending_);
    flushPosted_ = false;
  }
  if (!edit_ || lines.empty()) return;
  for (const QString& line : lines) edit_->appendPlainText(line);
  if (QScrollBar* bar = edit_->verticalScrollBar()) bar->setValue(bar->maximum());
}

}  // namespace veltrim::ui
