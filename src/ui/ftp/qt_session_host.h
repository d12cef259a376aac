#pragma once
// The window's side of the session engine: the engine calls these while it
// works, and they reach the main window. Calls that may come from a worker
// thread are marshalled to the window thread; those that must have been
// seen (a box, a question) block the worker until the window has answered.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/engine/session_host.h"

namespace veltrim::ui {

class CPleaseWaitDlg;
class CFileTransferDlg;

// Whether the application's quit request has gone by since the program
// started. The window thread's waits end on it.
bool QuitRequested();
// Starts watching for the quit request (idempotent; window thread, after the
// application object exists).
void WatchForQuit();

class QtSessionHost final : public QObject, public SessionHost {
  Q_OBJECT
 public:
  // owner: the main window, parent of every box (may be null in tests).
  explicit QtSessionHost(QWidget* owner);
  ~QtSessionHost() override;

  // What the host tells the frame.
  void SetAttemptAbortedHandler(std::function<void()> handler) { attemptAborted_ = std::move(handler); }
  void SetRememberCancelHandler(std::function<void(RememberedCancel)> handler) {
    rememberCancel_ = std::move(handler);
  }
  // Told (window thread) when the certificate question opens (true) and
  // closes (false): the frame holds its login watchdog meanwhile.
  void SetCertificateQuestionHandler(std::function<void(bool)> handler) {
    certificateQuestion_ = std::move(handler);
  }

  // The open "Please Wait" box, if any (tests press its Cancel).
  CPleaseWaitDlg* PleaseWaitBox() const;
  CFileTransferDlg* TransferWindow() const;

  // SessionHost, window thread.
  bool PumpMessages() override;
  std::string InputBox(const std::string& prompt, const std::string& caption,
                       const std::string& defaultText, bool password) override;
  void OpenPleaseWait(int32_t countdownSeconds, const std::string& text) override;
  bool PleaseWaitCancelled() override;
  void ClosePleaseWait() override;
  void AttemptAborted() override;
  void PrepareFileIcons() override;
  FileTypeInfo FileTypeOf(const std::string& name) override;

  // SessionHost, any thread.
  void ShowError(uint32_t id) override;
  void ShowMessageBox(const std::string& text, const std::string& caption) override;
  void PlaySound(const std::string& name) override;
  void RunOnWindowThread(std::function<void()> task) override;

  // SessionHost, the File Transfer window.
  void OpenTransferWindow(std::shared_ptr<TransferProgress> progress) override;
  void CloseTransferWindow() override;
  void SetTransferFile(const std::string& source, const std::string& destination) override;
  void AddTransferRow(const std::string& name, int32_t iconIndex, const std::string& source) override;
  void SelectTransferRow(int32_t row) override;
  void SetTransferRowImage(int32_t row, int32_t image) override;
  void TransferProgressed() override;
  CancelTransferAnswer AskCancelTransfer() override;
  void RememberCancelAnswer(RememberedCancel which) override;
  CertificateAnswer AskCertificate(const CertificateQuestion& question) override;

 private:
  bool OnWindowThread() const;
  // Runs task on the window thread and returns when it has run.
  void RunAndWait(const std::function<void()>& task);
  // The worker's calls on the File Transfer window, applied on the window
  // thread in the order made, a few milliseconds' worth at a time: a run of
  // many thousand files fills its list without holding the window up.
  void PostToTransferWindow(std::function<void()> call);
  void ApplyTransferWindowCalls();
  void DropTransferWindowCalls();

  QPointer<QWidget> owner_;
  QPointer<CPleaseWaitDlg> pleaseWait_;
  QPointer<CFileTransferDlg> transfer_;
  std::vector<QIcon> fileIcons_;  // the transfer window's icons by index
  std::mutex windowCallsMutex_;
  std::deque<std::function<void()>> windowCalls_;
  bool windowCallsPosted_ = false;
  std::function<void()> attemptAborted_;
  std::function<void(RememberedCancel)> rememberCancel_;
  std::function<void(bool)> certificateQuestion_;
};

}  // namespace veltrim::ui
