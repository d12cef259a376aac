#pragma once
// Where the session log goes. The session writes one line per step; the sink
// shows it. Lines may arrive from any thread; a sink keeps them in call order
// and must not wait for the window thread (post the line, don't block on it).

#include <mutex>
#include <string>
#include <vector>

namespace veltrim {

class LogSink {
 public:
  virtual ~LogSink() = default;
  // A plain text line without time stamp or line break. Any thread.
  virtual void AppendLine(const std::string& line) = 0;
};

// The log as one text: lines joined by "\r\n", the first without a leading
// break. Appends in place, so a long log costs nothing per new line.
class SessionLogText : public LogSink {
 public:
  void AppendLine(const std::string& line) override;
  std::string Text() const;
  std::vector<std::string> Lines() const;

 private:
  mutable std::mutex mutex_;
  std::string text_;
  std::vector<std::string> lines_;
};

}  // namespace veltrim
