#include "ui/app/window_placement.h"

#include "ui/shared/preferences.h"

namespace veltrim::ui {
namespace {

constexpr int kMinWidth = 120;
constexpr int kMinHeight = 80;
constexpr int kMaxExtent = 32000;

QString Key(const char* name) { return QStringLiteral("WindowPos/") + QLatin1String(name); }

bool Plausible(const WindowPlacement& p) {
  const auto inRange = [](int v) { return v > -kMaxExtent && v < kMaxExtent; };
  if (!inRange(p.Left) || !inRange(p.Top) || !inRange(p.Right) || !inRange(p.Bottom))
    return false;
  const long width = static_cast<long>(p.Right) - p.Left;
  const long height = static_cast<long>(p.Bottom) - p.Top;
  return width >= kMinWidth && height >= kMinHeight && width < kMaxExtent && height < kMaxExtent;
}

}  // namespace

void WindowPlacement::SetNormalRect(const QRect& rect) {
  Left = rect.left();
  Top = rect.top();
  Right = rect.left() + rect.width();
  Bottom = rect.top() + rect.height();
}

WindowPlacement LoadWindowPlacement(QSettings& store) {
  WindowPlacement placement;
  placement.Maximized = ReadStoredInt(store, Key("Maximized"), 0) == 1;
  placement.Iconic = ReadStoredInt(store, Key("Iconic"), 0) == 1;
  placement.IconText = ReadStoredInt(store, Key("IconText"), 1);
  WindowPlacement read = placement;
  read.Left = ReadStoredInt(store, Key("Left"), placement.Left);
  read.Top = ReadStoredInt(store, Key("Top"), placement.Top);
  read.Right = ReadStoredInt(store, Key("Right"), placement.Right);
  read.Bottom = ReadStoredInt(store, Key("Bottom"), placement.Bottom);
  return Plausible(read) ? read : placement;
}

void SaveWindowPlacement(QSettings& store, const WindowPlacement& placement) {
  store.setValue(Key("Maximized"), placement.Maximized ? 1 : 0);
  store.setValue(Key("Iconic"), placement.Iconic ? 1 : 0);
  store.setValue(Key("IconText"), placement.IconText);
  store.setValue(Key("Left"), placement.Left);
  store.setValue(Key("Top"), placement.Top);
  store.setValue(Key("Right"), placement.Right);
  store.setValue(Key("Bottom"), placement.Bottom);
}

}  // namespace veltrim::ui
