#include "ui/app/status_clock.h"

#include <QLocale>
#include <QTime>

namespace veltrim::ui {

QString ClockText(bool connected, const QDateTime& now, const QDateTime& connectTime) {
  if (connected) {
    qint64 elapsed = connectTime.secsTo(now);
    if (elapsed < 0) elapsed = 0;  // the clock was set back
    const qint64 seconds = elapsed % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
  }
  return QLocale::c().toString(now.time(), QStringLiteral("h:mm AP"));
}

}  // namespace veltrim::ui
