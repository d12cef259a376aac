#include "ui/views/directory_tree_navigator.h"

#include <QStyle>
#include <QTreeWidget>

#include "ui/views/file_type_names.h"

namespace veltrim::ui {

namespace {

constexpr int kUpperNameRole = Qt::UserRole + 1;

QIcon ServerIcon() {
  if (QIcon::hasThemeIcon(QStringLiteral("network-server"))) return QIcon::fromTheme(QStringLiteral("network-server"));
  return FolderIcon();
}

// A program selection: the tree's selection changes without navigating.
class ProgramSelection {
 public:
  explicit ProgramSelection(int& depth) : depth_(depth) { ++depth_; }
  ~ProgramSelection() { --depth_; }
  ProgramSelection(const ProgramSelection&) = delete;
  ProgramSelection& operator=(const ProgramSelection&) = delete;

 private:
  int& depth_;
};

}  // namespace

DirectoryTreeNavigator::DirectoryTreeNavigator(QTreeWidget* tree) : QObject(tree), tree_(tree) {
  timer_.setSingleShot(true);
  timer_.setInterval(kNavigateDelayMs);
  connect(&timer_, &QTimer::timeout, this, &DirectoryTreeNavigator::OnTimer);
  connect(tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) { OnSelectionChanged(item); });
}

QTreeWidgetItem* DirectoryTreeNavigator::RootNode() const {
  return tree_ && tree_->topLevelItemCount() > 0 ? tree_->topLevelItem(0) : nullptr;
}

void DirectoryTreeNavigator::SetRoot(const QString& hostName) {
  if (!tree_) return;
  ProgramSelection guard(programSelecting_);
  timer_.stop();
  tree_->clear();
  currentChildren_.clear();
  auto* root = new QTreeWidgetItem(tree_, QStringList{hostName});
  root->setIcon(0, ServerIcon());
  current_ = root;
  pending_ = root;
  tree_->setCurrentItem(root);
}

void DirectoryTreeNavigator::DeleteAllItems() {
  if (!tree_) return;
  ProgramSelection guard(programSelecting_);
  timer_.stop();
  tree_->clear();
  currentChildren_.clear();
  current_ = nullptr;
  pending_ = nullptr;
}

QTreeWidgetItem* DirectoryTreeNavigator::FindChild(QTreeWidgetItem* parent, const QString& upperName) {
  for (int i = 0; i < parent->childCount(); ++i)
    if (parent->child(i)->data(0, kUpperNameRole).toString() == upperName) return parent->child(i);
  return nullptr;
}

QTreeWidgetItem* DirectoryTreeNavigator::InsertChild(QTreeWidgetItem* parent, const QString& name) {
  const QString upper = name.toUpper();
  // Children are kept in order, so the place is found by halving.
  int low = 0;
  int high = parent->childCount();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (parent->child(middle)->data(0, kUpperNameRole).toString() < upper) low = middle + 1;
    else high = middle;
  }
  auto* node = new QTreeWidgetItem(QStringList{name});
  node->setData(0, kUpperNameRole, upper);
  QIcon icon = FolderIcon();
  if (QIcon::hasThemeIcon(QStringLiteral("folder-open")))
    icon.addPixmap(QIcon::fromTheme(QStringLiteral("folder-open")).pixmap(16), QIcon::Selected);
  node->setIcon(0, icon);
  parent->insertChild(low, node);
  return node;
}

void DirectoryTreeNavigator::IndexCurrentChildren() {
  currentChildren_.clear();
  if (current_ == nullptr) return;
  for (int i = 0; i < current_->childCount(); ++i)
    currentChildren_.insert(current_->child(i)->data(0, kUpperNameRole).toString(), current_->child(i));
}

void DirectoryTreeNavigator::ShowPath(const QString& path) {
  QTreeWidgetItem* root = RootNode();
  if (!tree_ || root == nullptr) return;
  ProgramSelection guard(programSelecting_);
  QTreeWidgetItem* node = root;
  bool searching = true;
  const QStringList parts = path.startsWith(QLatin1Char('/')) ? path.mid(1).split(QLatin1Char('/')) : path.split(QLatin1Char('/'));
  const int levels = (path.isEmpty() || path == QLatin1String("/")) ? 0 : static_cast<int>(path.count(QLatin1Char('/')));
  for (int level = 0; level < levels && level < parts.size(); ++level) {
    const QString& name = parts.at(level);
    QTreeWidgetItem* found = searching ? FindChild(node, name.toUpper()) : nullptr;
    if (found != nullptr) {
      node = found;
    } else {
      node = InsertChild(node, name);
      searching = false;
    }
  }
  current_ = node;
  qDeleteAll(current_->takeChildren());
  currentChildren_.clear();
  tree_->scrollToItem(current_);
  tree_->setCurrentItem(current_);
  pending_ = current_;
  timer_.stop();
}

void DirectoryTreeNavigator::AddChild(const QString& name) {
  if (current_ == nullptr || name == QLatin1String(".") || name == QLatin1String("..")) return;
  const QString upper = name.toUpper();
  if (currentChildren_.isEmpty() && current_->childCount() > 0) IndexCurrentChildren();
  if (currentChildren_.contains(upper)) return;
  currentChildren_.insert(upper, InsertChild(current_, name));
}

void DirectoryTreeNavigator::RemoveChild(const QString& name) {
  if (current_ == nullptr) return;
  QTreeWidgetItem* child = FindChild(current_, name.toUpper());
  if (child == nullptr) return;
  ProgramSelection guard(programSelecting_);
  if (pending_ == child) pending_ = nullptr;
  if (timer_.isActive() && pending_ == nullptr) timer_.stop();
  currentChildren_.remove(name.toUpper());
  delete child;
}

void DirectoryTreeNavigator::RenameChild(const QString& oldName, const QString& newName) {
  if (current_ == nullptr) return;
  QTreeWidgetItem* old = FindChild(current_, oldName.toUpper());
  if (old == nullptr) return;
  // The folders seen below it keep their nodes under the new name.
  const QList<QTreeWidgetItem*> below = old->takeChildren();
  const bool expanded = old->isExpanded();
  RemoveChild(oldName);
  AddChild(newName);
  QTreeWidgetItem* renamed = FindChild(current_, newName.toUpper());
  if (renamed == nullptr) {
    qDeleteAll(below);
    return;
  }
  renamed->addChildren(below);
  renamed->setExpanded(expanded);
}

void DirectoryTreeNavigator::ExpandCurrentNode() {
  if (current_ != nullptr) current_->setExpanded(true);
}

QString DirectoryTreeNavigator::PathOf(const QTreeWidgetItem* node) {
  QStringList names;
  for (const QTreeWidgetItem* at = node; at != nullptr && at->parent() != nullptr; at = at->parent())
    names.prepend(at->text(0));
  return QLatin1Char('/') + names.join(QLatin1Char('/'));
}

void DirectoryTreeNavigator::OnSelectionChanged(QTreeWidgetItem* item) {
  pending_ = item;
  timer_.stop();
  if (programSelecting_ > 0 || item == nullptr) return;
  timer_.start();
}

void DirectoryTreeNavigator::OnTimer() {
  timer_.stop();
  if (pending_ == nullptr) return;
  emit ChangeDirectoryRequested(PathOf(pending_));
}

}  // namespace veltrim::ui
