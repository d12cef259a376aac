#pragma once
// The contents of the "Directories" bar: the tree of remote directories
// below the server's root.

#include <QTreeWidget>

namespace veltrim::ui {

class CDirectoryTreeBar : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CDirectoryTreeBar(QWidget* parent = nullptr);

  // Makes hostName the one top node (the server's root).
  void SetRoot(const QString& hostName);
  void DeleteAllItems();
};

}  // namespace veltrim::ui
