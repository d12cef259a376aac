#pragma once
// The "&Recent Servers" list: up to four .ftp files, most recent first, kept
// in the settings store (section "Recent File List", values "File1".."File4").

#include <QSettings>
#include <QString>
#include <QStringList>

namespace veltrim::ui {

class RecentFileList {
 public:
  static constexpr int kSize = 4;

  void Load(QSettings& store);
  void Save(QSettings& store) const;

  // Puts path first; an entry naming the same file (after cleaning the path)
  // moves up instead of appearing twice; the oldest falls off past kSize.
  void Add(const QString& path);
  void Remove(const QString& path);
  const QStringList& Paths() const { return paths_; }

 private:
  QStringList paths_;
};

// The menu text of entry index (0-based): "&1 /path/to/file.ftp", with any
// "&" of the path doubled so that it is shown rather than taken as a mnemonic.
QString RecentFileMenuText(int index, const QString& path);

}  // namespace veltrim::ui
