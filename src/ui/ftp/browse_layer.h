#pragma once
// Puts the connection layer into a main window: the remote list gets its
// interaction (sorting by heading, opening by double-click or Enter, the
// pop-up menus, renaming in place), and the connection controller, the
// remote navigator, the file commands, the transfer commands (download,
// upload, drops), view/edit and file information each install their
// commands. It owns the live session they share.

#include <QObject>

#include <memory>

namespace veltrim::ui {

class CMainFrame;
class ConnectionController;
class DirectoryTreeNavigator;
class DownloadCommands;
class DroppedFiles;
class FileCommands;
class FileInformation;
class LiveSession;
class RemoteEntryModel;
class RemoteNavigator;
class UploadCommands;
class ViewEditCommands;

class BrowseLayer : public QObject {
  Q_OBJECT
 public:
  // Owned by frame (a child object).
  explicit BrowseLayer(CMainFrame& frame);
  ~BrowseLayer() override;

  ConnectionController& Controller() const { return *controller_; }
  RemoteNavigator& Navigator() const { return *navigator_; }
  FileCommands& Files() const { return *files_; }
  DownloadCommands& Downloads() const { return *downloads_; }
  UploadCommands& Uploads() const { return *uploads_; }
  DroppedFiles& Drops() const { return *drops_; }
  ViewEditCommands& ViewEdit() const { return *viewEdit_; }
  FileInformation& Information() const { return *information_; }
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
  // Destroyed in reverse order: the controller lets the live session go
  // before the session object itself goes.
  std::unique_ptr<LiveSession> live_;
  std::unique_ptr<ConnectionController> controller_;
  std::unique_ptr<RemoteNavigator> navigator_;
  std::unique_ptr<FileCommands> files_;
  std::unique_ptr<DownloadCommands> downloads_;
  std::unique_ptr<UploadCommands> uploads_;
  std::unique_ptr<DroppedFiles> drops_;
  std::unique_ptr<ViewEditCommands> viewEdit_;
  std::unique_ptr<FileInformation> information_;
};

}  // namespace veltrim::ui
