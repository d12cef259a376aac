#pragma once
// The main window's placement as kept in the "WindowPos" section.

#include <QRect>
#include <QSettings>

namespace veltrim::ui {

struct WindowPlacement {
  bool Maximized = false;
  bool Iconic = false;
  int IconText = 1;  // kept only to be written back as it was read
  // The restored (normal) rectangle; right and bottom are exclusive.
  int Left = 10;
  int Top = 10;
  int Right = 500;
  int Bottom = 400;

  QRect NormalRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
  void SetNormalRect(const QRect& rect);
};

// Reads the section; a rectangle that is too small, inverted or far outside
// any sensible desktop gives the default rectangle, so the window always
// comes up where it can be seen and used.
WindowPlacement LoadWindowPlacement(QSettings& store);
void SaveWindowPlacement(QSettings& store, const WindowPlacement& placement);

}  // namespace veltrim::ui
