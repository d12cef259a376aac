#pragma once
// The small looping pictures of the wait boxes: a packet travelling between
// two computers while connecting, pages dropping into a stack while files
// are queued, a page moving from folder to folder while files are
// transferred. Drawn, so no picture files are needed; runs only while shown.

#include <QTimer>
#include <QWidget>

namespace veltrim::ui {

class CWaitAnimation : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Connecting, Queueing, Transferring };
  static constexpr int kFrames = 30;

  explicit CWaitAnimation(Kind kind, QWidget* parent = nullptr);

  int Frame() const { return frame_; }
  bool IsPlaying() const { return timer_.isActive(); }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void PaintConnecting(class QPainter& painter) const;
  void PaintQueueing(class QPainter& painter) const;
  void PaintTransferring(class QPainter& painter) const;

  Kind kind_;
  int frame_ = 0;
  QTimer timer_;
};

}  // namespace veltrim::ui
