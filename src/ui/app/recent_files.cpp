#include "ui/app/recent_files.h"

#include <QDir>
#include <QFileInfo>

namespace veltrim::ui {
namespace {

QString Key(int index) {
  return QStringLiteral("Recent File List/File") + QString::number(index + 1);
}

QString Clean(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

void RecentFileList::Load(QSettings& store) {
  paths_.clear();
  for (int i = 0; i < kSize; ++i) {
    const QString path = store.value(Key(i)).toString();
    if (!path.isEmpty() && !paths_.contains(path)) paths_.append(path);
  }
}

void RecentFileList::Save(QSettings& store) const {
  for (int i = 0; i < kSize; ++i) {
    if (i < paths_.size())
      store.setValue(Key(i), paths_.at(i));
    else
      store.remove(Key(i));
  }
}

void RecentFileList::Add(const QString& path) {
  if (path.isEmpty()) return;
  const QString cleaned = Clean(path);
  Remove(cleaned);
  paths_.prepend(cleaned);
  while (paths_.size() > kSize) paths_.removeLast();
}

void RecentFileList::Remove(const QString& path) {
  const QString cleaned = Clean(path);
  paths_.removeIf([&](const QString& p) { return Clean(p) == cleaned; });
}

QString RecentFileMenuText(int index, const QString& path) {
  QString shown = path;
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace veltrim::ui
