#pragma once
// A SessionHost that shows nothing and answers every question with its
// default: for benchmarks and tests that only look at results. Tasks for the
// window thread run at the next pump.

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "core/engine/session_host.h"

namespace veltrim::test {

class NullHost : public SessionHost {
 public:
  bool PumpMessages() override {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard lock(mutex_);
      tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
    return false;
  }
  std::string InputBox(const std::string&, const std::string&, const std::string&, bool) override { return {}; }
  void OpenPleaseWait(int32_t, const std::string&) override {}
  bool PleaseWaitCancelled() override { return false; }
  void ClosePleaseWait() override {}
  void AttemptAborted() override {}
  void PrepareFileIcons() override {}
  FileTypeInfo FileTypeOf(const std::string&) override { return {}; }
  void ShowError(uint32_t id) override { lastError.store(id); }
  void ShowMessageBox(const std::string&, const std::string&) override {}
  void PlaySound(const std::string&) override {}
  void RunOnWindowThread(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void OpenTransferWindow(std::shared_ptr<TransferProgress>) override {}
  void CloseTransferWindow() override {}
  void SetTransferFile(const std::string&, const std::string&) override {}
  void AddTransferRow(const std::string&, int32_t, const std::string&) override {}
  void SelectTransferRow(int32_t) override {}
  void SetTransferRowImage(int32_t, int32_t) override {}
  void TransferProgressed() override {}
  CancelTransferAnswer AskCancelTransfer() override { return {}; }
  void RememberCancelAnswer(RememberedCancel) override {}
  CertificateAnswer AskCertificate(const CertificateQuestion&) override { return CertificateAnswer::Cancel; }

  std::atomic<uint32_t> lastError{0};

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace veltrim::test
