#pragma once
// The connection bar along the top of the window: a picture and a caption
// ("Not Connected", the profile's name, the name and the directory).

#include <QLabel>
#include <QWidget>

namespace veltrim::ui {

class SecurityLock;

class ConnectionBar : public QWidget {
  Q_OBJECT
 public:
  explicit ConnectionBar(QWidget* parent = nullptr);

  void SetText(const QString& text);
  QString Text() const { return caption_->text(); }
  void SetPicture(int pictureId);
  int Picture() const { return pictureId_; }
  // Whether the session is encrypted (right of the caption).
  SecurityLock* Lock() const { return lock_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* picture_;
  QLabel* caption_;
  SecurityLock* lock_;
  int pictureId_ = 0;
};

}  // namespace veltrim::ui
