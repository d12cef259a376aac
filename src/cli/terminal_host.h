#pragma once
// The session engine's host for a terminal: prompts on the terminal, error
// boxes as lines on stderr with -v (the one error line comes from the
// session's failure reasons), the transfer window as a progress line on
// stderr, and a message loop that runs posted tasks and a watchdog timer.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli/progress_line.h"
#include "core/engine/log_sink.h"
#include "core/engine/session_host.h"

namespace veltrim::cli {

// Set from the SIGINT handler: the user wants out.
extern std::atomic<bool> Interrupted;
void InstallInterruptHandler();

// Everything written to stderr goes through here, so that log lines and the
// progress line do not tear each other.
class StderrWriter {
 public:
  explicit StderrWriter(bool progressAllowed);
  void WriteLine(const std::string& line);
  void ShowProgress(const std::string& text);
  void ClearProgress();
  bool ProgressAllowed() const { return progressAllowed_; }

 private:
  void ClearLocked();
  std::mutex mutex_;
  const bool progressAllowed_;
  bool progressShown_ = false;
};

// The session log, shown on stderr with -v.
class TerminalLog : public LogSink {
 public:
  TerminalLog(std::shared_ptr<StderrWriter> out, bool verbose) : out_(std::move(out)), verbose_(verbose) {}
  void AppendLine(const std::string& line) override;

 private:
  std::shared_ptr<StderrWriter> out_;
  const bool verbose_;
};

class TerminalHost : public SessionHost {
 public:
  // verbose: error and message boxes are shown on stderr as they come, like
  // the desktop's boxes; otherwise only the one error line tells of a failure.
  // Made on the thread that runs the session (the "window thread").
  TerminalHost(std::shared_ptr<StderrWriter> out, bool verbose) : out_(std::move(out)), verbose_(verbose) {}

  // ---- for the front end ----
  // Runs fn at the first PumpMessages after deadline (the login watchdog).
  void SetTimer(std::chrono::steady_clock::time_point deadline, std::function<void()> fn);
  void CancelTimer();
  bool TransferWindowOpen() const;
  // The answer to give every password question without asking again.
  void RememberPassword(std::string password) { rememberedPassword_ = std::move(password); }
  // --fingerprint: the certificate to accept without asking; any other is refused.
  void AcceptFingerprint(std::optional<std::string> fingerprint) { acceptedFingerprint_ = std::move(fingerprint); }
  // A flag that Ctrl-C raises (the session's StopAdding during a tree walk).
  void RaiseOnInterrupt(std::atomic<bool>* flag) { raiseOnInterrupt_ = flag; }

  // ---- SessionHost ----
  bool PumpMessages() override;
  std::string InputBox(const std::string& prompt, const std::string& caption, const std::string& defaultText,
                       bool password) override;
  void OpenPleaseWait(int32_t countdownSeconds, const std::string& text) override;
  bool PleaseWaitCancelled() override;
  void ClosePleaseWait() override;
  void AttemptAborted() override {}
  void PrepareFileIcons() override {}
  FileTypeInfo FileTypeOf(const std::string& name) override;
  void ShowError(uint32_t id) override;
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  void PlaySound(const std::string&) override {}
  void RunOnWindowThread(std::function<void()> task) override;
  void OpenTransferWindow(std::shared_ptr<TransferProgress> progress) override;
  void CloseTransferWindow() override;
  void SetTransferFile(const std::string& source, const std::string& destination) override;
  void AddTransferRow(const std::string&, int32_t, const std::string&) override {}
  void SelectTransferRow(int32_t) override {}
  void SetTransferRowImage(int32_t, int32_t) override {}
  void TransferProgressed() override;
  CancelTransferAnswer AskCancelTransfer() override;
  void RememberCancelAnswer(RememberedCancel) override {}
  // With --fingerprint: that answers. Else asked on the terminal, from the
  // window thread (so the watchdog waits for the answer); without a
  // terminal: Cancel.
  CertificateAnswer AskCertificate(const CertificateQuestion& question) override;

 private:
  void ShowBox(const std::string& text);
  CertificateAnswer AskCertificateOnTerminal(const CertificateQuestion& question);

  std::shared_ptr<StderrWriter> out_;
  const bool verbose_;

  mutable std::mutex tasksMutex_;
  std::condition_variable tasksChanged_;
  std::deque<std::function<void()>> tasks_;

  const std::thread::id windowThread_ = std::this_thread::get_id();
  std::optional<std::string> rememberedPassword_;
  std::optional<std::string> acceptedFingerprint_;
  std::atomic<bool>* raiseOnInterrupt_ = nullptr;
  std::optional<std::chrono::steady_clock::time_point> timerDeadline_;  // window thread only
  std::function<void()> timerFn_;

  mutable std::mutex transferMutex_;
  std::shared_ptr<TransferProgress> progress_;
  std::string fileName_;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace veltrim::cli
