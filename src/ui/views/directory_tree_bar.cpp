#include "ui/views/directory_tree_bar.h"

#include <QHeaderView>

namespace veltrim::ui {

CDirectoryTreeBar::CDirectoryTreeBar(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("DirectoriesTree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setUniformRowHeights(true);
}

void CDirectoryTreeBar::SetRoot(const QString& hostName) {
  clear();
  auto* root = new QTreeWidgetItem(this, QStringList{hostName});
  root->setIcon(0, QIcon::fromTheme(QStringLiteral("network-server")));
  setCurrentItem(root);
}

void CDirectoryTreeBar::DeleteAllItems() { clear(); }

}  // namespace veltrim::ui
