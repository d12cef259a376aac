#pragma once
// Why an operation of the session failed, for callers that need more than its
// false: the command line's error line, a second line under the window's
// error box. The log lines and box texts stay as the engine writes them.

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrim {

enum class FailureKind {
  None,         // nothing failed
  Error,        // refused by the server, or the connection, system or a local file failed
  TimedOut,     // the watchdog gave the login attempt up
  Aborted,      // the user cancelled the login attempt
  Interrupted,  // the application's quit request ended the wait
};

struct FailureReason {
  FailureKind Kind = FailureKind::None;
  uint32_t ErrorId = 0;     // the error box's string id (61204..61212) when one applies
  std::string ServerReply;  // the server's reply that refused, e.g. "550 No such file or directory."
  std::string SystemText;   // the system's or the FTP client's own text, e.g. "Cannot connect to ...: Connection refused"
  std::string Text;         // what failed, in words: the log line of a login, the box text of an id

  bool IsSet() const { return Kind != FailureKind::None; }
  // ServerReply, else SystemText (empty when there is neither).
  const std::string& Detail() const { return ServerReply.empty() ? SystemText : ServerReply; }
  // One line for a terminal: Text, then the detail in parentheses unless
  // Text already quotes it; line breaks of a multi-line reply become spaces.
  std::string OneLine() const;
};

FailureReason MakeFailure(FailureKind kind, std::string text, uint32_t errorId = 0);

// A failure (kind Error) with its detail, e.g. an exception's text: a
// server's reply ("550 ...") goes to ServerReply, any other text to SystemText.
FailureReason FailureWithDetail(std::string text, const std::string& detail, uint32_t errorId = 0);

// A multi-line text (a server's reply) as one line: line breaks become
// spaces, none trail.
std::string AsOneLine(const std::string& text);

// True for text that starts like an FTP reply: three digits, then a space,
// a "-" or the end.
bool LooksLikeServerReply(std::string_view text);

}  // namespace veltrim
