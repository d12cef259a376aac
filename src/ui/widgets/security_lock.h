#pragma once
// The lock on the connection bar: a closed padlock while the session is
// encrypted, an open one while it is not, nothing while not connected. Its
// tool tip names the TLS version and cipher, or says that nothing is encrypted.

#include <QLabel>

namespace veltrim::ui {

class SecurityLock : public QLabel {
  Q_OBJECT
 public:
  enum class State { None, Encrypted, NotEncrypted };

  explicit SecurityLock(QWidget* parent = nullptr);
  void SetState(State state, const QString& toolTip = QString());
  State CurrentState() const { return state_; }

 private:
  State state_ = State::None;
};

}  // namespace veltrim::ui
