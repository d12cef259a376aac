#pragma once
// CGradientCaption: a title band. Empty, it shows the button face; with a
// text, a horizontal gradient from teal at the left edge to purple at the
// right, with the text in white: the part before the first tab in bold on
// the left, the part after it in the normal font on the right.

#include <QColor>
#include <QString>
#include <QWidget>

namespace veltrim::ui {

class CGradientCaption : public QWidget {
  Q_OBJECT
 public:
  static constexpr QRgb kLeftColour = qRgb(0, 128, 128);
  static constexpr QRgb kRightColour = qRgb(128, 0, 128);

  explicit CGradientCaption(QWidget* parent = nullptr);

  void SetText(const QString& text);
  QString Text() const { return text_; }

  // The colour of pixel column x of a band width pixels wide.
  static QColor GradientAt(int x, int width);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace veltrim::ui
