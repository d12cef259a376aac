#pragma once
// What the "Directories" tree knows about the remote directories: the
// server's node at the top, the directories of every path shown so far below
// it, the node of the current directory, and the pause between a selection
// by the user and the change of directory it asks for. Works on any
// QTreeWidget (the Directories bar gives it its own).
//
// Names are compared ignoring case throughout: two remote directories whose
// names differ only in case share one node.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTreeWidget;
class QTreeWidgetItem;

namespace veltrim::ui {

class DirectoryTreeNavigator : public QObject {
  Q_OBJECT
 public:
  // Pause after a selection by mouse or keyboard before navigating.
  static constexpr int kNavigateDelayMs = 750;

  explicit DirectoryTreeNavigator(QTreeWidget* tree);

  // A single top node for the host; it is current.
  void SetRoot(const QString& hostName);
  // Finds or creates the node of each component of path (absolute, no
  // trailing "/"; the root is ""), makes the last one current, removes its
  // children and selects it (a program selection: it never navigates).
  void ShowPath(const QString& path);
  // A child of the current node, kept in alphabetical order ("." and ".."
  // and names already there are ignored).
  void AddChild(const QString& name);
  void RemoveChild(const QString& name);
  // A child of the current node renamed on the server: it moves to its new
  // place with the nodes below it.
  void RenameChild(const QString& oldName, const QString& newName);
  void DeleteAllItems();
  void ExpandCurrentNode();

  QTreeWidgetItem* CurrentNode() const { return current_; }
  QTreeWidgetItem* RootNode() const;
  QTreeWidgetItem* PendingNode() const { return pending_; }
  // "/" for the root, "/pub/linux" for linux under pub.
  static QString PathOf(const QTreeWidgetItem* node);
  bool NavigationPending() const { return timer_.isActive(); }

 signals:
  // The user stopped on a node: change the remote directory to path.
  void ChangeDirectoryRequested(const QString& path);

 private:
  void OnSelectionChanged(QTreeWidgetItem* item);
  void OnTimer();
  QTreeWidgetItem* InsertChild(QTreeWidgetItem* parent, const QString& name);
  static QTreeWidgetItem* FindChild(QTreeWidgetItem* parent, const QString& upperName);
  void IndexCurrentChildren();

  QPointer<QTreeWidget> tree_;
  QTreeWidgetItem* current_ = nullptr;
  QTreeWidgetItem* pending_ = nullptr;
  // The current node's children by upper-cased name (a listing may add
  // thousands; looking each up by scanning would be quadratic).
  QHash<QString, QTreeWidgetItem*> currentChildren_;
  int programSelecting_ = 0;
  QTimer timer_;
};

}  // namespace veltrim::ui
