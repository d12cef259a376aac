#include "cli/terminal_prompt.h"

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace veltrim::cli {
namespace {

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Turns echo off for its lifetime, so that an early return cannot leave the
// terminal silent.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd) {
    if (::tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (active_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

}  // namespace

std::optional<std::string> ReadLineFromUser(const std::string& prompt, bool hideInput) {
  int inFd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  const bool ownTerminal = inFd >= 0;
  const int outFd = ownTerminal ? inFd : STDERR_FILENO;
  if (!ownTerminal) inFd = STDIN_FILENO;

  std::optional<std::string> line;
  {
    // Echo goes off before the prompt shows, so nothing typed after it is echoed.
    std::optional<EchoOff> echoOff;
    if (hideInput && ::isatty(inFd)) echoOff.emplace(inFd);
    WriteAll(outFd, prompt);
    std::string text;
    while (true) {
      char c = 0;
      const ssize_t n = ::read(inFd, &c, 1);  // interrupted (Ctrl-C): no answer
      if (n <= 0) {
        if (!text.empty()) line = text;
        break;
      }
      if (c == '\n') {
        line = text;
        break;
      }
      if (c != '\r') text.push_back(c);
    }
    // Input that is not a terminal was not echoed: end the prompt's line.
    if (!::isatty(inFd)) WriteAll(outFd, "\n");
  }
  if (ownTerminal) ::close(inFd);
  return line;
}

}  // namespace veltrim::cli
