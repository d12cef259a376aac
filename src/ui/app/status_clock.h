#pragma once
// The text of the clock pane of the status bar.

#include <QDateTime>
#include <QString>

namespace veltrim::ui {

// Connected: the time since connectTime as "HH:MM:SS" (hours of the day
// part, so a connection older than a day starts again at 00). Otherwise the
// local time now on the 12-hour clock: "1:05 PM".
QString ClockText(bool connected, const QDateTime& now, const QDateTime& connectTime);

}  // namespace veltrim::ui
