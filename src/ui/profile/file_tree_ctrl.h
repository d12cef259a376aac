#pragma once
// CFileTreeCtrl: the local file system as a tree for choosing one file. The
// top node is the root folder "/" (the one drive); below each folder come
// its folders, then its files whose names end with the filter extension
// (exact case), each group sorted by name ignoring case. Hidden entries
// (names starting with ".") are left out, as in the desktop's file
// choosers. A folder's children are read when it opens and dropped when it
// closes; a folder shows an expand button only when it holds folders or
// matching files.

#include <QString>
#include <QTreeWidget>

namespace veltrim::ui {

class CFileTreeCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CFileTreeCtrl(const QString& extension, QWidget* parent = nullptr);

  // Opens the folders down to path (absolute) and selects the deepest node
  // found on the way.
  void OpenPath(const QString& path);
  // The full path of a node, and of the selected one (empty without one).
  static QString PathOf(const QTreeWidgetItem* item);
  QString SelectedPath() const;

 signals:
  void PathSelected(const QString& path);

 private:
  QTreeWidgetItem* NewNode(const QString& path, const QString& text, bool folder);
  void Fill(QTreeWidgetItem* folder);
  void Empty(QTreeWidgetItem* folder);
  bool Matches(const QString& name) const;
  bool HasContent(const QString& folder) const;

  QString extension_;
};

}  // namespace veltrim::ui
