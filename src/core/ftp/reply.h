#pragma once
// FTP replies: the lines of one reply, and the assembler that turns the bytes
// of a control connection into replies. The assembler bounds what a server can
// make us hold: a line is cut at kMaxLineLength (the rest of it is dropped as
// it arrives), and a multi-line reply has at most kMaxReplyLines lines and
// kMaxReplyBytes bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim::ftp {

struct Reply {
  int code = 0;
  std::vector<std::string> lines;  // without line ends

  // All lines joined by "\n": the text shown to the user and kept for the log.
  std::string Text() const;
  bool IsPreliminary() const { return code >= 100 && code < 200; }
  bool IsSuccess() const { return code >= 200 && code < 300; }
  bool IsIntermediate() const { return code >= 300 && code < 400; }
  bool IsFailure() const { return code >= 400; }
};

class ReplyAssembler {
 public:
  static constexpr std::size_t kMaxLineLength = 8192;
  static constexpr std::size_t kMaxReplyLines = 4096;
  static constexpr std::size_t kMaxReplyBytes = 1 << 20;

  // Adds received bytes. A line longer than kMaxLineLength keeps its first
  // kMaxLineLength bytes; the rest, up to its line end, is discarded.
  void Feed(std::string_view bytes);
  // The next complete reply, if one is buffered. Throws CInternetException
  // (protocol error) on a line that is not a reply or a reply that is too long.
  std::optional<Reply> Next();
  bool HasPartialData() const { return !buffer_.empty() || !pending_.lines.empty() || discarding_; }
  // Bytes held between Feed and Next: after Next has returned nothing, at
  // most one unfinished line of kMaxLineLength + 1 bytes.
  std::size_t BufferedBytes() const { return buffer_.size(); }

 private:
  std::string buffer_;   // bytes not yet split into lines
  std::size_t tailStart_ = 0;  // where the unfinished last line starts in buffer_
  bool discarding_ = false;    // the rest of an overlong line is still arriving
  std::size_t pendingBytes_ = 0;
  Reply pending_;        // a multi-line reply in progress
};

}  // namespace veltrim::ftp
