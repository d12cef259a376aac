#pragma once
// Puts the connection layer into a main window: the remote list gets its
// rows (sorting by heading, opening by double-click or Enter, the pop-up
// menus, renaming in place), the Directories tree gets its navigation, and
// the connection controller takes over Connect, Disconnect and the
// directory and file commands.

#include <QObject>

namespace veltrim::ui {

class CMainFrame;
class ConnectionController;
class DirectoryTreeNavigator;
class RemoteEntryModel;

class BrowseLayer : public QObject {
  Q_OBJECT
 public:
  // Owned by frame (a child object).
  explicit BrowseLayer(CMainFrame& frame);
  ~BrowseLayer() override;

  ConnectionController& Controller() const { return *controller_; }
  RemoteEntryModel& Rows() const { return *rows_; }
  DirectoryTreeNavigator& Tree() const { return *tree_; }

  // A row's name is being edited in place.
  bool IsEditingLabel() const;
  // Starts editing the name of a row in place.
  void StartLabelEdit(int row);
  // A click on a column heading: sort by it (the same one again reverses).
  void HeadingClicked(int column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowContextMenu(bool fromKeyboard, const QPoint& globalPosition);
  void ShowSortMark();

  CMainFrame& frame_;
  RemoteEntryModel* rows_;
  DirectoryTreeNavigator* tree_;
  ConnectionController* controller_;
};

}  // namespace veltrim::ui
