#pragma once
// CMainFrame: the one main window. It owns the preferences, the profile in
// force, the bars around the remote list, the command table's actions and
// the one routine that decides which commands are available.

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/profile/server_settings.h"
#include "ui/app/command_rules.h"
#include "ui/app/help_window.h"
#include "ui/shared/preferences.h"
#include "ui/app/recent_files.h"
#include "ui/app/session_link.h"
#include "ui/app/window_placement.h"
#include "ui/profile/veltrim_ftp_doc.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolBar;

namespace veltrim::ui {

class CDirectoryTreeBar;
class CVeltrimFTPView;
class ConnectionBar;
class DockingBar;

class CMainFrame : public QMainWindow, public DocumentHost {
  Q_OBJECT
 public:
  // doc may be null (tests of the frame alone); it is not owned.
  explicit CMainFrame(CVeltrimFTPDoc* doc = nullptr, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // The first activation: preferences, placement, list display, then either
  // the automatic connection or the welcome dialog. Runs once.
  void FirstActivation();
  // Whether the first activation shows the start-up splash.
  void SetShowSplash(bool show) { showSplash_ = show; }

  // Settings store operations.
  void LoadPreferences();
  void SavePreferences();
  void LoadWindowPlacement();
  void SaveWindowPlacement();

  // Commands.
  QAction* Action(int commandId) const;
  // Runs a command now as if chosen (nothing when it is unavailable).
  void ExecuteCommand(int commandId);
  // Runs a command once the current operation has returned.
  void PostCommand(int commandId);
  // Replaces what a command does; the connection, file and preference layers
  // wire their commands here.
  void SetCommandHandler(int commandId, std::function<void()> handler);
  // Applies every enabling rule and every mark to the actions.
  void UpdateCommandUI();

  // Connect and Disconnect. The connection layer installs what Connect does
  // (with SetCommandHandler(ID_CONNECT, ...)); Disconnect releases whatever
  // session is attached (whose owner then clears the list and the tree) and
  // resets the bars and the document.
  void OnConnect();
  void OnDisconnect();
  // Lets the session go and shows the window as not connected, but keeps
  // the profile: it stays the document's and the active one, so Connect can
  // try it again (between retries, and after a connection that ended while
  // the profile held unsaved changes).
  void DropSession();

  // The session from Connect to Disconnect (not owned by anyone else).
  void AttachSession(std::unique_ptr<SessionLink> session);
  SessionLink* Session() const { return session_.get(); }
  // Marks the session logged in (or not): connection bar, state icon, clock,
  // busy animation.
  void SetConnected(bool connected);

  // Error box (fixed message by id), with an optional detail under it.
  void ShowError(unsigned id, const QString& detail = {});

  // Fields other parts of the program read and write.
  Preferences& Prefs() { return prefs_; }
  const Preferences& Prefs() const { return prefs_; }
  bool Connected() const { return connected_; }
  bool ProfilePresent() const { return profilePresent_; }
  const ServerSettings& ActiveProfile() const { return activeProfile_; }
  // A command of the window is at work (commands that start remote work
  // wait for it to end).
  bool Busy() const { return busy_; }
  void SetBusy(bool busy);
  // The window is closing.
  bool Quitting() const { return quitting_; }
  QString TempDirectory() const { return tempDirectory_; }
  RecentFileList& RecentFiles() { return recent_; }
  CVeltrimFTPDoc* Document() const { return doc_; }

  // The parts of the window.
  CVeltrimFTPView* View() const { return view_; }
  ConnectionBar* ConnectionBarWidget() const { return connectionBar_; }
  CDirectoryTreeBar* DirectoryTree() const { return tree_; }
  QPlainTextEdit* SessionLog() const { return log_; }
  DockingBar* DirectoriesBar() const { return directoriesBar_; }
  DockingBar* SessionLogBar() const { return sessionLogBar_; }
  QToolBar* StandardToolBar() const { return standardBar_; }
  QToolBar* SessionToolBar() const { return sessionBar_; }
  QToolBar* ConnectionToolBar() const { return connectionHolder_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QLabel* ClockPane() const { return clock_; }
  int StateIconId() const { return stateIconId_; }
  int AnimationFrame() const { return animationFrame_; }
  HelpWindow* Help() const { return help_; }

  // Ticks of the two 200 ms timers (public so tests can step them).
  void OnClockTick();
  void OnAnimationTick();

  // Opens a shipped help page by file name ("index.html").
  void ShowHelpPage(const QString& page);

  // A drop while connected goes to the connection layer.
  void SetConnectedDropHandler(std::function<void(const QStringList&)> handler);
  // The frame's handling of dropped local paths.
  void DropFiles(const QStringList& paths);

  // DocumentHost.
  QWidget* OwnerWindow() override { return this; }
  bool IsConnected() const override { return connected_; }
  bool AutologinPreference() const override { return prefs_.Autologin; }
  std::optional<bool> DetailsPreference() const override;
  void TakeProfile(const ServerSettings& profile) override;
  void SetActiveProfile(const ServerSettings& profile) override;
  void PostConnect() override;
  void Disconnect() override { OnDisconnect(); }
  void AddRecentFile(const QString& path) override;

 signals:
  // A profile from the document became the active one.
  void ProfileTaken();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The whole exit sequence (disconnect, then placement, column widths,
  // preferences, bar layout, recent files). Runs once; closing the window
  // runs it too.
  void SaveOnExit();
  CommandState CurrentCommandState() const;
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  void CreateDockingBars();
  void RestoreBarLayout();
  void SaveBarLayout();
  void ConnectDocument();
  void RebuildRecentMenu();
  void ApplyPlacement();
  void ApplyListDisplay();
  void SetStateIcon(int iconId);
  void TrackNormalRect();

  // Command handlers of the frame itself.
  void OnTransferType(int commandId);
  void OnEnableAutologin();
  void OnToggleBar(int commandId);
  void OnListMode(int commandId);
  void OnEditSettings();
  void OnAbout();

  CVeltrimFTPDoc* doc_;
  Preferences prefs_;
  bool prefsLoaded_ = false;
  bool firstActivation_ = true;
  bool connected_ = false;
  bool profilePresent_ = false;
  ServerSettings activeProfile_;
  bool quitting_ = false;
  bool busy_ = false;
  bool exitSaved_ = false;
  bool showSplash_ = false;
  int animationFrame_ = 0;
  int stateIconId_ = 0;
  QString tempDirectory_;
  QDateTime connectTime_;
  std::unique_ptr<SessionLink> session_;
  WindowPlacement placement_;
  QRect normalRect_;
  RecentFileList recent_;

  ConnectionBar* connectionBar_ = nullptr;
  QToolBar* connectionHolder_ = nullptr;
  QToolBar* standardBar_ = nullptr;
  QToolBar* sessionBar_ = nullptr;
  CVeltrimFTPView* view_ = nullptr;
  CDirectoryTreeBar* tree_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  DockingBar* directoriesBar_ = nullptr;
  DockingBar* sessionLogBar_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* stateIcon_ = nullptr;
  QLabel* clock_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QPointer<HelpWindow> help_;

  std::map<int, QAction*> actions_;
  std::map<int, std::function<void()>> handlers_;
  std::function<void(const QStringList&)> connectedDropHandler_;
  QActionGroup* transferGroup_ = nullptr;
  QActionGroup* modeGroup_ = nullptr;

  QTimer clockTimer_;      // timer 2
  QTimer animationTimer_;  // timer 3
};

}  // namespace veltrim::ui
