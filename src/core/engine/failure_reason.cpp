#include "core/engine/failure_reason.h"

namespace veltrim {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string AsOneLine(const std::string& text) {
  std::string flat;
  for (const char c : text) {
    if (c == '\r') continue;
    flat.push_back(c == '\n' ? ' ' : c);
  }
  while (!flat.empty() && flat.back() == ' ') flat.pop_back();
  return flat;
}

std::string FailureReason::OneLine() const {
  const std::string text = AsOneLine(Text);
  const std::string detail = AsOneLine(Detail());
  if (text.empty()) return detail;
  if (detail.empty() || text.find(detail) != std::string::npos) return text;
  return text + " (" + detail + ")";
}

bool LooksLikeServerReply(std::string_view text) {
  return text.size() >= 3 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]) &&
         (text.size() == 3 || text[3] == ' ' || text[3] == '-');
}

FailureReason MakeFailure(FailureKind kind, std::string text, uint32_t errorId) {
  return FailureReason{kind, errorId, {}, {}, std::move(text)};
}

FailureReason FailureWithDetail(std::string text, const std::string& detail, uint32_t errorId) {
  FailureReason reason = MakeFailure(FailureKind::Error, std::move(text), errorId);
  (LooksLikeServerReply(detail) ? reason.ServerReply : reason.SystemText) = detail;
  return reason;
}

}  // namespace veltrim
