#pragma once
// A SessionHost for the engine's tests: records every call in order, answers
// questions from a script, and runs hooks where a desktop would dispatch
// messages (so a test can play the watchdog, press Cancel or quit).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/engine/session_host.h"
#include "core/engine/transfer_progress.h"

namespace veltrim::test {

class ScriptedHost : public SessionHost {
 public:
  // ---- the script ----
  std::string passwordAnswer;
  std::deque<CancelTransferAnswer> cancelAnswers;  // for AskCancelTransfer, in order
  std::deque<CertificateAnswer> certificateAnswers;  // for AskCertificate; Cancel when none left
  int pleaseWaitCancelAfterPumps = -1;             // -1: never pressed
  int quitAfterPumps = -1;                          // -1: never
  std::function<void()> onPump;                     // runs inside every PumpMessages
  std::function<void(TransferProgress&)> onProgress;  // worker thread, at TransferProgressed

  // ---- what happened ----
  bool Saw(const std::string& call) const { return Count(call) > 0; }
  int Count(const std::string& call) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), call));
  }
  // Calls starting with prefix, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> found;
    for (const auto& c : calls_)
      if (c.rfind(prefix, 0) == 0) found.push_back(c);
    return found;
  }
  int Pumps() const { return pumps_.load(); }
  std::shared_ptr<TransferProgress> Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
  }
  std::size_t PendingTasks() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
  }

  // ---- SessionHost ----
  bool PumpMessages() override {
    const int n = ++pumps_;
    RunTasks();
    if (onPump) onPump();
    return quitAfterPumps >= 0 && n > quitAfterPumps;
  }
  std::string InputBox(const std::string& prompt, const std::string& caption, const std::string& defaultText,
                       bool password) override {
    Record("InputBox " + caption + ": " + prompt + " [" + defaultText + "]" + (password ? " password" : ""));
    return passwordAnswer;
  }
  void OpenPleaseWait(int32_t countdownSeconds, const std::string& text) override {
    pleaseWaitOpenedAt_ = pumps_.load();
    Record("OpenPleaseWait " + std::to_string(countdownSeconds) + " " + text);
  }
  bool PleaseWaitCancelled() override {
    return pleaseWaitCancelAfterPumps >= 0 && pumps_.load() - pleaseWaitOpenedAt_ > pleaseWaitCancelAfterPumps;
  }
  void ClosePleaseWait() override { Record("ClosePleaseWait"); }
  void AttemptAborted() override { Record("AttemptAborted"); }
  void PrepareFileIcons() override {}
  FileTypeInfo FileTypeOf(const std::string& name) override {
    FileTypeInfo info;
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".exe") == 0) info.TypeText = "Application";
    std::lock_guard lock(mutex_);
    info.IconIndex = 11 + nextIcon_++;
    return info;
  }
  void ShowError(uint32_t id) override { Record("ShowError " + std::to_string(id)); }
  void ShowMessageBox(const std::string& text, const std::string& caption) override {
    Record("MessageBox " + caption + ": " + text);
  }
  void PlaySound(const std::string& name) override { Record("PlaySound " + name); }
  void RunOnWindowThread(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void OpenTransferWindow(std::shared_ptr<TransferProgress> progress) override {
    {
      std::lock_guard lock(mutex_);
      progress_ = progress;
    }
    Record("OpenTransferWindow");
  }
  void CloseTransferWindow() override { Record("CloseTransferWindow"); }
  void SetTransferFile(const std::string&, const std::string&) override {}
  void AddTransferRow(const std::string& name, int32_t iconIndex, const std::string& source) override {
    Record("AddTransferRow " + name + " " + std::to_string(iconIndex) + " " + source);
  }
  void SelectTransferRow(int32_t) override {}
  void SetTransferRowImage(int32_t, int32_t) override {}
  void TransferProgressed() override {
    std::shared_ptr<TransferProgress> progress = Progress();
    if (onProgress && progress) onProgress(*progress);
  }
  CancelTransferAnswer AskCancelTransfer() override {
    Record("AskCancelTransfer");
    std::lock_guard lock(mutex_);
    if (cancelAnswers.empty()) return {};
    CancelTransferAnswer answer = cancelAnswers.front();
    cancelAnswers.pop_front();
    return answer;
  }
  void RememberCancelAnswer(RememberedCancel which) override {
    Record(which == RememberedCancel::AlwaysCancel ? "Remember Cancel" : "Remember NeverCancel");
  }
  // Recorded as "AskCertificate <problem>" (" changed" when it was trusted before).
  CertificateAnswer AskCertificate(const CertificateQuestion& question) override {
    Record("AskCertificate " + question.Certificate.problem + (question.KnownFingerprint.empty() ? "" : " changed"));
    std::lock_guard lock(mutex_);
    if (certificateAnswers.empty()) return CertificateAnswer::Cancel;
    const CertificateAnswer answer = certificateAnswers.front();
    certificateAnswers.pop_front();
    return answer;
  }
  void Record(const std::string& call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  }

 private:
  void RunTasks() {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard lock(mutex_);
      tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
  }

  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  std::deque<std::function<void()>> tasks_;
  std::shared_ptr<TransferProgress> progress_;
  std::atomic<int> pumps_{0};
  int pleaseWaitOpenedAt_ = 0;
  int nextIcon_ = 0;
};

}  // namespace veltrim::test
