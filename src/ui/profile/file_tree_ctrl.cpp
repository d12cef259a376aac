#include "ui/profile/file_tree_ctrl.h"

#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QHeaderView>

namespace veltrim::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

const QDir::Filters kListed = QDir::NoDotAndDotDot | QDir::Readable;

QIcon FolderIcon() {
  static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Folder);
  return icon;
}

QIcon FileIcon() {
  static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::File);
  return icon;
}

}  // namespace

CFileTreeCtrl::CFileTreeCtrl(const QString& extension, QWidget* parent)
    : QTreeWidget(parent), extension_(extension) {
  setObjectName(QStringLiteral("CFileTreeCtrl"));
  setHeaderHidden(true);
  setColumnCount(1);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  addTopLevelItem(NewNode(QStringLiteral("/"), QStringLiteral("/"), true));
  connect(this, &QTreeWidget::itemExpanded, this, &CFileTreeCtrl::Fill);
  connect(this, &QTreeWidget::itemCollapsed, this, &CFileTreeCtrl::Empty);
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { emit PathSelected(PathOf(current)); });
}

QString CFileTreeCtrl::PathOf(const QTreeWidgetItem* item) {
  return item == nullptr ? QString() : item->data(0, kPathRole).toString();
}

QString CFileTreeCtrl::SelectedPath() const { return PathOf(currentItem()); }

bool CFileTreeCtrl::Matches(const QString& name) const {
  return name.endsWith(extension_, Qt::CaseSensitive);
}

QTreeWidgetItem* CFileTreeCtrl::NewNode(const QString& path, const QString& text, bool folder) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setData(0, kPathRole, path);
  item->setData(0, kFolderRole, folder);
  item->setIcon(0, folder ? FolderIcon() : FileIcon());
  if (folder && HasContent(path)) item->addChild(new QTreeWidgetItem());  // the expand button
  return item;
}

bool CFileTreeCtrl::HasContent(const QString& folder) const {
  // Stops at the first folder or matching file.
  QDirIterator entries(folder, QDir::AllDirs | QDir::Files | kListed);
  while (entries.hasNext()) {
    entries.next();
    const QFileInfo info = entries.fileInfo();
    if (info.fileName().startsWith(QLatin1Char('.'))) continue;
    if (info.isDir() || Matches(info.fileName())) return true;
  }
  return false;
}

void CFileTreeCtrl::Fill(QTreeWidgetItem* folder) {
  if (!folder->data(0, kFolderRole).toBool()) return;
  qDeleteAll(folder->takeChildren());
  // One read of the folder: its folders first, then its files.
  const QDir::SortFlags order = QDir::DirsFirst | QDir::Name | QDir::IgnoreCase;
  QList<QTreeWidgetItem*> children;
  for (const QFileInfo& info : QDir(PathOf(folder)).entryInfoList(QDir::AllDirs | QDir::Files | kListed, order))
    if (info.isDir() || Matches(info.fileName()))
      children << NewNode(info.absoluteFilePath(), info.fileName(), info.isDir());
  folder->addChildren(children);
}

void CFileTreeCtrl::Empty(QTreeWidgetItem* folder) {
  // A selection inside goes up to the folder being closed.
  for (QTreeWidgetItem* item = currentItem(); item != nullptr; item = item->parent()) {
    if (item->parent() == folder) {
      setCurrentItem(folder);
      break;
    }
  }
  qDeleteAll(folder->takeChildren());
  if (HasContent(PathOf(folder))) folder->addChild(new QTreeWidgetItem());
}

void CFileTreeCtrl::OpenPath(const QString& path) {
  QTreeWidgetItem* node = topLevelItem(0);
  const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    node->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < node->childCount() && next == nullptr; ++i)
      if (node->child(i)->text(0) == part) next = node->child(i);
    if (next == nullptr) break;
    node = next;
  }
  setCurrentItem(node);
  scrollToItem(node);
}

}  // namespace veltrim::ui
