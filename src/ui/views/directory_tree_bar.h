#pragma once
// The contents of the "Directories" bar: the tree of remote directories
// below the server's root. Its nodes are kept by DirectoryTreeNavigator.

#include <QTreeWidget>

namespace veltrim::ui {

class CDirectoryTreeBar : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CDirectoryTreeBar(QWidget* parent = nullptr);
};

}  // namespace veltrim::ui
