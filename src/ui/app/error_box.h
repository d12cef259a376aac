#pragma once
// The error box: one fixed message of the string table inside a fixed frame
// text, with the stop icon and the error sound.

#include <QString>

class QWidget;

namespace veltrim::ui {

// Breaks message into lines: once a line has grown past 74 characters, the
// last blank seen becomes a line feed. A message without a blank to break at
// is left whole (no character is ever lost).
QString WrapErrorMessage(const QString& message);

// The whole text of the box for message id.
QString ErrorBoxText(unsigned id);

// Plays "error.wav" (whatever the sound preference says) and shows the box,
// titled "Error", owned by owner, until the user closes it. A detail (the
// server's reply, say) goes under the box's text, which stays as it is.
void ShowErrorBox(QWidget* owner, unsigned id, const QString& detail = {});

}  // namespace veltrim::ui
