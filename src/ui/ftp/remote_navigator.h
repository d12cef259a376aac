#pragma once
// Moving through the server's directories and showing them: the listing
// display that fills the remote list and the Directories tree, Change
// Directory, Home, Up a Level, Root, Refresh, Create and Remove Directory,
// and the list's open action (double-click or Enter: a folder is entered, a
// file downloaded).

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPView;
class DirectoryTreeNavigator;
class LiveSession;
class QtSessionHost;
class RemoteEntryModel;

class RemoteNavigator : public QObject {
  Q_OBJECT
 public:
  // How often the listing display lets the window breathe.
  static constexpr int kListingPumpMs = 15;

  // host: the one the session reports to (its pump serves the window while
  // a long listing is shown).
  RemoteNavigator(CMainFrame& frame, const LiveSession& live, QtSessionHost& host, DirectoryTreeNavigator& tree);

  // Installs the handlers of the navigation and directory commands into the
  // frame's command table.
  void InstallCommands();

  // After login: the profile's remote directory, or else the login
  // directory, which becomes the way Home.
  void ShowStartDirectory();
  // Lists the session's current directory into the list and the tree.
  void ShowListing();
  // Changes to path and shows it when the session moved.
  void GoToDirectory(const QString& path);
  // After a command changed path on the server: changes to the directory
  // that holds it. When that moved the session elsewhere, that directory is
  // listed afresh; otherwise patchRows updates the list and tree in place.
  // Nothing happens when the session went away meanwhile.
  void BackToParentOf(const std::shared_ptr<CFtpSession>& session, const QString& path,
                      const std::function<void()>& patchRows);
  // Empties the list and the tree (their rows point into the listing of a
  // session that is going).
  void ClearDisplay();
  // A row of the current directory was renamed or removed on the server:
  // the list and, for a folder, the Directories tree follow.
  void RenameRow(const QString& oldName, const QString& newName);
  void RemoveRow(const QString& name);

  void OnChangeDirectory();
  void OnHome();
  void OnUpLevel();
  void OnRoot();
  void OnRefresh();
  void OnCreateDirectory();
  void OnRemoveDirectory();
  // Double-click or Enter on the list.
  void OpenSelection();

 signals:
  void ListingShown();

 private:
  CMainFrame& frame_;
  const LiveSession& live_;
  QtSessionHost& host_;
  CVeltrimFTPView& view_;
  RemoteEntryModel& list_;
  DirectoryTreeNavigator& tree_;
};

}  // namespace veltrim::ui
