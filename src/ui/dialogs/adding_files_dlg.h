#pragma once
// "Adding files to Queue": the modeless box shown while a long selection or
// a directory tree is queued. Cancel sets the box's own flag and, when one
// was given, the queueing code's stop flag (the session's StopAdding). Its
// owner destroys it, before the stop flag's owner goes away.

#include <QDialog>

#include <atomic>

namespace veltrim::ui {

class CWaitAnimation;

class CAddingFilesDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAddingFilesDlg(QWidget* owner = nullptr, std::atomic<bool>* cancelTarget = nullptr);

  bool IsCancelled() const { return cancelled_.load(); }
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnCancel();

  std::atomic<bool> cancelled_{false};
  std::atomic<bool>* cancelTarget_;
  CWaitAnimation* animation_;
};

}  // namespace veltrim::ui
