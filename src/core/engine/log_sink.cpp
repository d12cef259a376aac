#include "core/engine/log_sink.h"

namespace veltrim {

void SessionLogText::AppendLine(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (!text_.empty()) text_ += "\r\n";
  text_ += line;
  lines_.push_back(line);
}

std::string SessionLogText::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

std::vector<std::string> SessionLogText::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace veltrim
