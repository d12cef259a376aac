#pragma once
// The "Session Log" dock as the engine's log sink. Lines may come from any
// thread; they are kept in one queue and appended on the window thread in
// the order they were written. A line written on the window thread flushes
// the queue at once, so it never overtakes a worker's earlier line and is
// visible as soon as the call returns.

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "core/engine/log_sink.h"

class QPlainTextEdit;

namespace veltrim::ui {

class SessionLogSink final : public LogSink {
 public:
  // Created on the window thread; edit may be null (lines are dropped).
  explicit SessionLogSink(QPlainTextEdit* edit);
  ~SessionLogSink() override;

  void AppendLine(const std::string& line) override;
  // Appends every queued line now (window thread).
  void Flush();
  // The log's scroll bar stays from the first connection on (window thread).
  void ShowScrollBar();

 private:
  QObject anchor_;  // lives on the window thread: where flushes are posted
  QPointer<QPlainTextEdit> edit_;
  std::mutex mutex_;
  std::deque<QString> pending_;
  bool flushPosted_ = false;
};

}  // namespace veltrim::ui
