#pragma once
// The desktop's icon theme, found even where Qt finds none by itself (the
// offscreen and plain X platforms), with our own drawings where the theme
// has no icon.

#include <QIcon>

namespace veltrim::ui {

// Adds the usual icon folders to the theme search path and picks a theme:
// the desktop's when Qt knows it, else Adwaita, with hicolor as fallback.
void SetUpIconTheme();

// The icon of a command: the theme's icon of that name when the theme has
// it, else our own drawing.
QIcon CommandIcon(int commandId, const char* themeName);

}  // namespace veltrim::ui
