#pragma once
// Small pictures the program draws itself, so that the window looks complete
// on a desktop whose icon theme lacks them (or has no theme at all).

#include <QIcon>
#include <QPixmap>

namespace veltrim::ui {

// Connection bar pictures: kPictureNotConnected, kPictureConnected and the
// busy animation frames kFirstBusyFrame .. kFirstBusyFrame + 17.
inline constexpr int kPictureNotConnected = 139;
inline constexpr int kPictureConnected = 140;
inline constexpr int kFirstBusyFrame = 160;
inline constexpr int kLastBusyFrame = 177;
QPixmap ConnectionPicture(int pictureId, int size = 32);

// Status bar state icons: kStateNotConnected, kStateConnected and the busy
// frames (same numbers as the pictures above).
inline constexpr int kStateConnected = 2;
inline constexpr int kStateNotConnected = 3;
QPixmap StateIcon(int iconId);

// The command's own drawing, or a null icon when it has none.
QIcon DrawnCommandIcon(int commandId);

// The program's icon (also installed for the desktop).
QIcon ProgramIcon();

}  // namespace veltrim::ui
