#pragma once
// The texts of a remote list row and the order of the rows.

#include <QString>

#include <cstdint>
#include <ctime>

namespace veltrim::ui {

// Bytes below 1024 as a plain number; from 1024 on the kilobytes of
// (size + 1) / 1024 with "," between groups of three digits and "KB".
QString SizeText(uint64_t size);
// Local time as m/d/yy h:mm AM (no leading zeros in month, day and hour).
// Empty for a time the C library cannot convert.
QString DateText(std::time_t time);

// What the order of two rows looks at. Names and type texts upper-cased
// once, when the row is made.
struct RowSortKey {
  QString nameUpper;
  QString typeUpper;
  uint64_t size = 0;
  std::time_t modified = 0;
};

// The list's comparison with sort key s = column + 1 (ascending) or
// -(column + 1) (descending): negative when a comes first, 0 when equal.
// Folders (type "FILE FOLDER") come before files, except in Type
// descending, where they come after; within folders, Size and Date
// descending order by name ascending; ties go by name, and descending
// reverses key and tie alike.
int CompareRows(const RowSortKey& a, const RowSortKey& b, int s);

}  // namespace veltrim::ui
