#include "core/ftp/reply.h"

#include "core/ftp/internet_exception.h"

namespace veltrim::ftp {

std::string Reply::Text() const {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "123 text", "123-text" or a bare "123"; the first digit is 1 to 5 (6 for
// the protected replies of the security extensions).
bool StartsWithCode(std::string_view line) {
  return line.size() >= 3 && line[0] >= '1' && line[0] <= '6' && IsDigit(line[1]) && IsDigit(line[2]) &&
         (line.size() == 3 || line[3] == ' ' || line[3] == '-');
}

std::string Printable(std::string_view line) {
  std::string text(line.substr(0, 120));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return text;
}

}  // namespace

void ReplyAssembler::Feed(std::string_view bytes) {
  if (discarding_) {
    const std::size_t lineEnd = bytes.find('\n');
    if (lineEnd == std::string_view::npos) return;
    discarding_ = false;
    bytes.remove_prefix(lineEnd);  // the LF ends the cut line
  }
  // Only the new bytes are searched, so a line that trickles in byte by
  // byte costs linear time.
  const std::size_t lastBreak = bytes.rfind('\n');
  if (lastBreak != std::string_view::npos) tailStart_ = buffer_.size() + lastBreak + 1;
  buffer_.append(bytes);
  // Complete lines are cut by Next(), which runs before the next Feed; the
  // unfinished last line is cut here. One byte past the bound stays: a CR
  // there may yet turn out to be the line end, and any other byte marks the
  // line as overlong, so a line comes out the same however it arrives.
  if (buffer_.size() - tailStart_ > kMaxLineLength + 1) {
    buffer_.resize(tailStart_ + kMaxLineLength + 1);
    discarding_ = true;
  }
}

std::optional<Reply> ReplyAssembler::Next() {
  std::size_t start = 0;
  std::optional<Reply> complete;
  while (!complete && start < tailStart_) {
    const std::size_t end = buffer_.find('\n', start);
    std::string_view line(buffer_.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineLength) line = line.substr(0, kMaxLineLength);
    std::string text(line);
    for (char& c : text) {
      if (c == '\0') c = '?';
    }
    if (pending_.lines.empty()) {
      if (!StartsWithCode(line)) {
        // Some servers send stray empty lines between replies; anything else
        // means we no longer understand the conversation.
        if (line.empty()) continue;
        throw CInternetException(kErrorProtocol, "The server sent a malformed reply: " + Printable(line));
      }
      pending_.code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
      pendingBytes_ = text.size();
      pending_.lines.push_back(std::move(text));
      if (line.size() == 3 || line[3] == ' ') complete = std::move(pending_);
    } else {
      pendingBytes_ += text.size();
      if (pending_.lines.size() >= kMaxReplyLines || pendingBytes_ > kMaxReplyBytes) {
        throw CInternetException(kErrorProtocol, "The server sent a reply of more than " +
                                                     std::to_string(kMaxReplyLines) + " lines or " +
                                                     std::to_string(kMaxReplyBytes / 1024) + " KiB.");
      }
      const bool last = StartsWithCode(line) && line.substr(0, 3) == std::string_view(pending_.lines[0]).substr(0, 3) &&
                        (line.size() == 3 || line[3] == ' ');
      pending_.lines.push_back(std::move(text));
      if (last) complete = std::move(pending_);
    }
  }
  buffer_.erase(0, start);
  tailStart_ -= start;
  if (complete) pending_ = Reply{};
  return complete;
}

}  // namespace veltrim::ftp
