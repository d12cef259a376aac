#include "cli/terminal_host.h"

#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/terminal_prompt.h"
#include "core/engine/error_ids.h"
#include "core/engine/failure_reason.h"
#include "core/engine/transfer_figures.h"
#include "core/engine/transfer_progress.h"

namespace veltrim::cli {

std::atomic<bool> Interrupted{false};

namespace {

extern "C" void OnInterrupt(int) { Interrupted.store(true); }

// How long PumpMessages waits for a posted task before it returns.
constexpr auto kPumpSlice = std::chrono::milliseconds(5);
// The progress line appears once a run has taken this long, and is redrawn
// at most this often.
constexpr auto kProgressDelay = std::chrono::seconds(1);
constexpr auto kProgressRedraw = std::chrono::milliseconds(200);

void WriteStderr(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a prompt's read returns. A second Ctrl-C ends the program.
  action.sa_flags = SA_RESETHAND;
  ::sigaction(SIGINT, &action, nullptr);
}

// ------------------------------------------------------------ StderrWriter

StderrWriter::StderrWriter(bool progressAllowed) : progressAllowed_(progressAllowed) {}

void StderrWriter::ClearLocked() {
  if (progressShown_) WriteStderr("\r\033[K");
  progressShown_ = false;
}

void StderrWriter::WriteLine(const std::string& line) {
  std::lock_guard lock(mutex_);
  ClearLocked();
  WriteStderr(line + "\n");
}

void StderrWriter::ShowProgress(const std::string& text) {
  if (!progressAllowed_) return;
  // A line wider than the terminal would wrap, and "\r" could not take it back.
  std::string shown = text;
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && shown.size() >= size.ws_col) {
    shown.resize(size.ws_col - 1u);
  }
  std::lock_guard lock(mutex_);
  WriteStderr("\r\033[K" + shown);
  progressShown_ = true;
}

void StderrWriter::ClearProgress() {
  std::lock_guard lock(mutex_);
  ClearLocked();
}

// ------------------------------------------------------------ TerminalLog

void TerminalLog::AppendLine(const std::string& line) {
  if (verbose_) out_->WriteLine(line);
}

// ------------------------------------------------------------ TerminalHost

void TerminalHost::SetTimer(std::chrono::steady_clock::time_point deadline, std::function<void()> fn) {
  timerDeadline_ = deadline;
  timerFn_ = std::move(fn);
}

void TerminalHost::CancelTimer() {
  timerDeadline_.reset();
  timerFn_ = nullptr;
}

bool TerminalHost::TransferWindowOpen() const {
  std::lock_guard lock(transferMutex_);
  return progress_ != nullptr;
}

bool TerminalHost::PumpMessages() {
  std::deque<std::function<void()>> ready;
  {
    std::unique_lock lock(tasksMutex_);
    if (tasks_.empty()) tasksChanged_.wait_for(lock, kPumpSlice);
    ready.swap(tasks_);
  }
  for (auto& task : ready) task();

  if (timerDeadline_ && std::chrono::steady_clock::now() >= *timerDeadline_) {
    auto fn = std::move(timerFn_);
    CancelTimer();
    if (fn) fn();
  }

  if (!Interrupted.load()) return false;
  if (raiseOnInterrupt_) raiseOnInterrupt_->store(true);
  // Ctrl-C during a transfer cancels it the way the window's Cancel does and
  // lets the worker clean up (the partial file); otherwise it ends the wait.
  std::lock_guard lock(transferMutex_);
  if (progress_) {
    progress_->Cancelled.store(true);
    return false;
  }
  return true;
}

std::string TerminalHost::InputBox(const std::string& prompt, const std::string&, const std::string& defaultText,
                                   bool password) {
  if (password && rememberedPassword_) return *rememberedPassword_;
  out_->ClearProgress();
  const auto line = ReadLineFromUser(prompt + " ", password);
  if (!line) return {};
  return line->empty() ? defaultText : *line;
}

void TerminalHost::OpenPleaseWait(int32_t, const std::string&) {}
bool TerminalHost::PleaseWaitCancelled() { return Interrupted.load(); }
void TerminalHost::ClosePleaseWait() {}

FileTypeInfo TerminalHost::FileTypeOf(const std::string&) { return {}; }

void TerminalHost::ShowBox(const std::string& text) {
  // Message-box texts can hold a server's multi-line reply; the terminal gets one line.
  if (verbose_) out_->WriteLine(AsOneLine(text));
}

void TerminalHost::ShowError(uint32_t id) {
  const std::string text = ErrorMessageText(id);
  ShowBox(text.empty() ? "error " + std::to_string(id) : text);
}

void TerminalHost::ShowMessageBox(const std::string& text, const std::string&) { ShowBox(text); }

void TerminalHost::RunOnWindowThread(std::function<void()> task) {
  {
    std::lock_guard lock(tasksMutex_);
    tasks_.push_back(std::move(task));
  }
  tasksChanged_.notify_one();
}

void TerminalHost::OpenTransferWindow(std::shared_ptr<TransferProgress> progress) {
  std::lock_guard lock(transferMutex_);
  progress_ = std::move(progress);
  lastDrawn_ = {};
  if (Interrupted.load() && progress_) progress_->Cancelled.store(true);
}

void TerminalHost::CloseTransferWindow() {
  {
    std::lock_guard lock(transferMutex_);
    progress_.reset();
  }
  out_->ClearProgress();
}

void TerminalHost::SetTransferFile(const std::string& source, const std::string&) {
  std::lock_guard lock(transferMutex_);
  fileName_ = FileNamePart(source);
}

void TerminalHost::TransferProgressed() {
  if (!out_->ProgressAllowed()) return;
  std::string text;
  {
    std::lock_guard lock(transferMutex_);
    if (!progress_) return;
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = now - progress_->StartTime;
    if (elapsed < kProgressDelay || now - lastDrawn_ < kProgressRedraw) return;
    lastDrawn_ = now;
    text = ProgressLineText(fileName_, progress_->TotalDone.load(), progress_->TotalBytes.load(),
                            std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
  }
  out_->ShowProgress(text);
}

CancelTransferAnswer TerminalHost::AskCancelTransfer() {
  // Only Ctrl-C cancels from a terminal, and it means everything.
  CancelTransferAnswer answer;
  answer.CancelQueue = true;
  return answer;
}

CertificateAnswer TerminalHost::AskCertificate(const CertificateQuestion& question) {
  if (acceptedFingerprint_) {
    if (*acceptedFingerprint_ == question.Certificate.fingerprint) return CertificateAnswer::TrustThisTime;
    ShowBox("the server's certificate has the SHA-256 fingerprint " + question.Certificate.fingerprint +
                ", not the one given with --fingerprint");
    return CertificateAnswer::Cancel;
  }
  if (std::this_thread::get_id() == windowThread_) return AskCertificateOnTerminal(question);
  auto asked = std::make_shared<std::promise<CertificateAnswer>>();
  std::future<CertificateAnswer> answer = asked->get_future();
  RunOnWindowThread([this, asked, question] { asked->set_value(AskCertificateOnTerminal(question)); });
  return answer.get();
}

CertificateAnswer TerminalHost::AskCertificateOnTerminal(const CertificateQuestion& question) {
  const int terminal = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (terminal < 0) return CertificateAnswer::Cancel;  // nobody to ask
  ::close(terminal);
  const auto asked = std::chrono::steady_clock::now();
  const ftp::PeerCertificate& certificate = question.Certificate;
  std::string text = question.KnownFingerprint.empty()
                         ? "The server's certificate is not trusted: " + certificate.problem + ".\n"
                         : "WARNING: the server's certificate has changed since you trusted it (it was " +
                               question.KnownFingerprint + ").\n";
  text += "  Server:      " + certificate.host + ":" + std::to_string(certificate.port) + "\n" +
          "  Subject:     " + certificate.subject + "\n" + "  Issuer:      " + certificate.issuer + "\n" +
          "  Valid:       " + certificate.validFrom + " to " + certificate.validUntil + "\n" +
          "  SHA-256:     " + certificate.fingerprint + "\n" +
          "Trust it? [a]lways, [t]his time, [N]o: ";
  out_->ClearProgress();
  const auto line = ReadLineFromUser(text, false);
  // The time spent answering does not count against the login's watchdog.
  if (timerDeadline_) *timerDeadline_ += std::chrono::steady_clock::now() - asked;
  const std::string answer = line.value_or("");
  if (answer == "a" || answer == "A" || answer == "always") return CertificateAnswer::TrustAlways;
  if (answer == "t" || answer == "T" || answer == "this time") return CertificateAnswer::TrustThisTime;
  return CertificateAnswer::Cancel;
}

}  // namespace veltrim::cli
