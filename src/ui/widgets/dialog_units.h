#pragma once
// Layouts given in dialog units: a quarter of the average character width
// across, an eighth of the line height down, so they grow with the font.

#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>

namespace veltrim::ui {

struct DialogUnits {
  double x;
  double y;

  // The units of a widget's font, measured the way dialog units define the
  // average character width.
  static DialogUnits For(const QFontMetrics& metrics) {
    const double averageWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return {std::max(1.5, averageWidth / 4.0), std::max(1.625, metrics.height() / 8.0)};
  }
  int X(int units) const { return static_cast<int>(std::lround(units * x)); }
  int Y(int units) const { return static_cast<int>(std::lround(units * y)); }
  QRect Rect(int left, int top, int width, int height) const {
    return QRect(X(left), Y(top), X(width), Y(height));
  }
};

}  // namespace veltrim::ui
