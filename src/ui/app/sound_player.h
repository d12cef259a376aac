#pragma once
// The program's three sounds ("connect.wav", "download.wav", "error.wav"),
// shipped inside the program and played asynchronously. A machine without
// an audio output plays nothing and says nothing.

#include <QString>
#include <functional>

namespace veltrim::ui {

// Starts playing the named sound and returns at once. Unknown names and
// missing audio hardware are silently ignored.
void PlaySound(const QString& fileName);

// Tests watch which sounds were asked for; pass an empty function to stop.
void SetSoundObserver(std::function<void(const QString&)> observer);

}  // namespace veltrim::ui
