#pragma once
// The connection layer of the main window: Connect with its watchdog and
// retries, Disconnect, and the commands that move through the server's
// directories and change them (Change Directory, Home, Up a Level, Root,
// Refresh, Create and Remove Directory, Delete and Rename). It owns the
// window's session host and hands the frame one SessionHandle per
// connection.
//
// Every command runs on the window thread; the session pumps the window's
// messages while it waits, so a command (or Disconnect, or the window's
// close) can arrive in the middle of another. Each command therefore holds
// its own reference to the session while it works and, after every wait,
// checks that the session is still the live one before touching the window.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

#include "core/engine/ftp_session.h"

class QItemSelectionModel;

namespace veltrim::ui {

class CMainFrame;
class DirectoryTreeNavigator;
class QtSessionHost;
class RemoteEntryModel;
class SessionLogSink;

// The parts of the window that show a listing.
struct BrowseWidgets {
  RemoteEntryModel* list = nullptr;
  QItemSelectionModel* selection = nullptr;
  DirectoryTreeNavigator* tree = nullptr;
};

class ConnectionController : public QObject {
  Q_OBJECT
 public:
  // The most retries a profile can ask for (the engine numbers attempts
  // 0..100).
  static constexpr int kMaxRetries = 100;
  // How often the listing display lets the window breathe.
  static constexpr int kListingPumpMs = 15;

  ConnectionController(CMainFrame& frame, BrowseWidgets widgets);
  ~ConnectionController() override;

  // Installs the handlers of Connect, Disconnect and the directory and file
  // commands into the frame's command table.
  void InstallCommands();

  // Connect (the whole retry loop) and the Disconnect command (asks to save
  // a modified profile first; false when the user kept the connection).
  void OnConnect();
  bool OnDisconnectCommand();
  // Step of the watchdog timer.
  void OnWatchdogTick();

  // Directory display and navigation.
  void ShowListing();
  void GoToDirectory(const QString& path);
  void OnChangeDirectory();
  void OnHome();
  void OnUpLevel();
  void OnRoot();
  void OnRefresh();
  void OnCreateDirectory();
  void OnRemoveDirectory();

  // Files.
  void OnDeleteFile();
  void OnRenameFile();
  // The list's in-place rename: old and new name relative to the current
  // directory. Shows 61207 when the server refuses.
  bool RenameRemoteFile(const QString& oldName, const QString& newName);
  // Double-click or Enter on the list.
  void OpenSelection();

  // How the list tells whether a row's name is being edited, and how a
  // rename starts the in-place edit of a row.
  void SetLabelEditing(std::function<bool()> isEditing, std::function<void(int row)> startEdit);

  // The text before the last "/" (empty when there is none or only a
  // leading one).
  static QString ParentPath(const QString& path);
  // The directory to change to for a path's parent: like ParentPath, but
  // "/" for a path directly under the root.
  static QString ParentDirectory(const QString& path);

  QtSessionHost& Host() const { return *host_; }
  // The live session (none between connections).
  CFtpSession* Session() const { return live_.get(); }
  const QTimer& Watchdog() const { return watchdog_; }
  int Attempts() const { return attempts_; }  // login attempts started so far

 signals:
  void ListingShown();

 private:
  enum class DisconnectWhy { Retry, GaveUp, Lost };

  // One attempt; true when logged in (or when the session went away
  // meanwhile, so no retry follows).
  bool Attempt();
  void AfterLogin(const std::shared_ptr<CFtpSession>& session);
  void Disconnect(DisconnectWhy why);
  void OnSessionReleased(CFtpSession* session);
  bool Alive(const std::shared_ptr<CFtpSession>& session) const { return session && live_ == session; }
  bool CanStartWork() const;
  // After making or removing `path`: changes to its parent directory. When
  // that moved the session elsewhere the new directory is shown afresh and
  // the result is false; true means the list and tree are updated in place.
  bool BackInParentOf(const std::shared_ptr<CFtpSession>& session, const QString& path);
  QString CurrentDir() const;
  // Rows of the list that are selected, first one (-1 when none).
  int FirstSelectedRow() const;
  bool IsRowSelected(int row) const;
  QString Prefix() const;

  CMainFrame& frame_;
  BrowseWidgets widgets_;
  std::shared_ptr<QtSessionHost> host_;
  std::shared_ptr<SessionLogSink> log_;
  std::shared_ptr<CFtpSession> live_;
  QTimer watchdog_;  // timer 1
  int attempts_ = 0;
  std::function<bool()> isEditingLabel_;
  std::function<void(int)> startLabelEdit_;
};

}  // namespace veltrim::ui
