#include "ui/views/remote_entry_format.h"

namespace veltrim::ui {

namespace {

template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int OrderText(const QString& a, const QString& b) {
  const int r = QString::compare(a, b, Qt::CaseSensitive);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

QString SizeText(uint64_t size) {
  if (size < 1024) return QString::number(size);
  // size + 1 cannot overflow in a way that matters: at UINT64_MAX it wraps
  // to 0, so take the kilobytes of the largest size instead.
  const uint64_t kilobytes = size == UINT64_MAX ? size / 1024 : (size + 1) / 1024;
  QString digits = QString::number(kilobytes);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
  return digits + QStringLiteral("KB");
}

QString DateText(std::time_t time) {
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return QString();
  const int hour12 = parts.tm_hour % 12 == 0 ? 12 : parts.tm_hour % 12;
  return QStringLiteral("%1/%2/%3 %4:%5 %6")
      .arg(parts.tm_mon + 1)
      .arg(parts.tm_mday)
      .arg(((parts.tm_year % 100) + 100) % 100, 2, 10, QLatin1Char('0'))
      .arg(hour12)
      .arg(parts.tm_min, 2, 10, QLatin1Char('0'))
      .arg(parts.tm_hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

int CompareRows(const RowSortKey& a, const RowSortKey& b, int s) {
  if (s == 0) return 0;
  static const QString kFolder = QStringLiteral("FILE FOLDER");
  const bool aFolder = a.typeUpper == kFolder;
  const bool bFolder = b.typeUpper == kFolder;
  if (aFolder != bFolder) {
    const int folderFirst = aFolder ? -1 : 1;
    return s == -3 ? -folderFirst : folderFirst;
  }
  if (aFolder && bFolder && (s == -2 || s == -4)) return OrderText(a.nameUpper, b.nameUpper);
  const int byName = OrderText(a.nameUpper, b.nameUpper);
  int result = 0;
  switch (s < 0 ? -s : s) {
    case 1: result = byName; break;
    case 2: result = Order(a.size, b.size); break;
    case 3: result = OrderText(a.typeUpper, b.typeUpper); break;
    case 4: result = Order(a.modified, b.modified); break;
    default: return 0;
  }
  if (result == 0) result = byName;
  return s > 0 ? result : -result;
}

}  // namespace veltrim::ui
