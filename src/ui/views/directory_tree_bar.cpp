#include "ui/views/directory_tree_bar.h"

#include <QHeaderView>

namespace veltrim::ui {

CDirectoryTreeBar::CDirectoryTreeBar(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("DirectoriesTree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setUniformRowHeights(true);
}

}  // namespace veltrim::ui
