#pragma once
// Delete and Rename: on the selected rows of the remote list, or on a typed
// path when nothing is selected, and the rename typed into a row of the list
// itself.

#include <QObject>
#include <QString>

#include <functional>

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPView;
class LiveSession;
class RemoteEntryModel;
class RemoteNavigator;

class FileCommands : public QObject {
  Q_OBJECT
 public:
  FileCommands(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator);

  // Installs the handlers of Delete and Rename into the frame's command
  // table.
  void InstallCommands();
  // How the list tells whether a row's name is being edited, and how Rename
  // starts the in-place edit of a row.
  void SetLabelEditing(std::function<bool()> isEditing, std::function<void(int row)> startEdit);

  void OnDeleteFile();
  void OnRenameFile();
  // The list's in-place rename: old and new name relative to the current
  // directory. Shows 61207 when the server refuses.
  bool RenameRemoteFile(const QString& oldName, const QString& newName);

 private:
  bool EditingLabel() const { return isEditingLabel_ && isEditingLabel_(); }
  void DeleteSelectedFiles();

  CMainFrame& frame_;
  const LiveSession& live_;
  RemoteNavigator& navigator_;
  CVeltrimFTPView& view_;
  RemoteEntryModel& list_;
  std::function<bool()> isEditingLabel_;
  std::function<void(int)> startLabelEdit_;
};

}  // namespace veltrim::ui
