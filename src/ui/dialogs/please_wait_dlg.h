#pragma once
// "Please Wait": the modeless box of a login attempt. It counts the seconds
// of the attempt's time-out down, hides itself when they have run out, and
// remembers a click on Cancel for the connect routine to see. It never
// closes itself; its owner destroys it when the attempt ends.

#include <QDialog>
#include <QString>
#include <QTimer>

#include <atomic>

class QLabel;
class QPushButton;

namespace veltrim::ui {

class CWaitAnimation;

class CPleaseWaitDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTickMilliseconds = 1000;
  static constexpr char kInitialMessage[] = "Attempting to connect to host";

  explicit CPleaseWaitDlg(QWidget* owner = nullptr);
  ~CPleaseWaitDlg() override;

  // The members; UpdateControls() shows them.
  void SetCountdown(int seconds) { countdown_ = seconds; }
  int Countdown() const { return countdown_; }
  void SetMessageText(const QString& text) { message_ = text; }
  QString MessageText() const { return message_; }
  QString CountdownText() const { return countdownText_; }
  void UpdateControls();

  // Set by Cancel (or closing the box); the box stays where it is.
  bool IsCancelled() const { return cancelled_.load(); }

  // One second has passed: count down, and hide at 0.
  void Tick();
  bool IsTicking() const { return timer_.isActive(); }
  const QTimer& Timer() const { return timer_; }

  // The message for attempt number `attempt` (0 the first).
  static QString AttemptMessage(int attempt);

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ReadControls();

  int countdown_ = 0;
  QString message_ = QString::fromLatin1(kInitialMessage);
  QString countdownText_;
  std::atomic<bool> cancelled_{false};
  QTimer timer_;
  CWaitAnimation* animation_;
  QLabel* messageLabel_;
  QLabel* countdownLabel_;
};

}  // namespace veltrim::ui
