#pragma once
// The start-up splash: shown over the main window for a few seconds; any key
// press or mouse click anywhere in the program hides it at once (and is not
// passed on).

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace veltrim::ui {

class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  // Shows the splash centred over owner and hides it after timeoutMs.
  static SplashWindow* ShowOver(QWidget* owner, int timeoutMs = 3000);

  explicit SplashWindow(QWidget* owner);
  ~SplashWindow() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace veltrim::ui
