#include "ui/app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/shared/command_ids.h"
#include "ui/app/command_table.h"
#include "ui/app/help_window.h"
#include "ui/app/icon_theme.h"
#include "ui/app/status_clock.h"
#include "ui/prefs/preferences_command.h"
#include "ui/profile/import_server_command.h"
#include "ui/views/directory_tree_bar.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/docking_bar.h"
#include "ui/widgets/drawn_images.h"
#include "ui/widgets/hyperlink_label.h"

namespace veltrim::ui {
namespace {

constexpr int kTickMs = 200;
constexpr int kProgressPaneWidth = 152;
constexpr int kStatePaneWidth = 16;
// The session log keeps at most this many lines, so a long session cannot
// grow it without bound.
constexpr int kMaxLogLines = 20000;

}  // namespace

CMainFrame::CMainFrame(CVeltrimFTPDoc* doc, QWidget* parent) : QMainWindow(parent), doc_(doc) {
  setObjectName(QStringLiteral("MainFrame"));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  activeProfile_.Name = kNotConnected;
  activeProfile_.Hostname = kNotConnected;
  activeProfile_.Retries = 0;
  activeProfile_.Timeout = 0;
  activeProfile_.Port = 0;
  activeProfile_.ConnectOnOpen = false;
  tempDirectory_ = QDir::tempPath().left(1024);
  prefs_.Extensions = QStringList();

  view_ = new CVeltrimFTPView(this);
  setCentralWidget(view_);

  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();
  CreateDockingBars();
  RestoreBarLayout();

  connect(&clockTimer_, &QTimer::timeout, this, &CMainFrame::OnClockTick);
  connect(&animationTimer_, &QTimer::timeout, this, &CMainFrame::OnAnimationTick);
  clockTimer_.start(kTickMs);
  OnClockTick();

  ConnectDocument();
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
  // A frame destroyed without being closed still saves what it holds.
  SaveOnExit();
  if (doc_ != nullptr && doc_->Host() == this) doc_->SetHost(nullptr);
}

void CMainFrame::CreateActions() {
  for (const CommandSpec& command : CommandTable()) {
    QString text = QString::fromLatin1(command.menuText);
    text = text.section(QLatin1Char('\t'), 0, 0);
    if (text.isEmpty()) text = QString::fromLatin1(command.toolTip);
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command-%1").arg(command.id));
    action->setData(command.id);
    action->setStatusTip(QString::fromLatin1(command.prompt));
    if (*command.toolTip != '\0') action->setToolTip(QString::fromLatin1(command.toolTip));
    if (*command.shortcut != '\0') {
      action->setShortcut(QKeySequence(QString::fromLatin1(command.shortcut)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    const QIcon icon = CommandIcon(command.id, command.themeIcon);
    if (!icon.isNull()) action->setIcon(icon);
    action->setIconVisibleInMenu(true);
    if (command.mark != CommandMark::None) action->setCheckable(true);
    const int id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    addAction(action);  // keys work even while the menu bar is hidden
    actions_[command.id] = action;
  }

  transferGroup_ = new QActionGroup(this);
  transferGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int id : {ID_BINARY, ID_ASCII, ID_AUTO}) transferGroup_->addAction(actions_[id]);
  modeGroup_ = new QActionGroup(this);
  modeGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS})
    modeGroup_->addAction(actions_[id]);

  // The frame's own handlers; other layers replace or add theirs.
  handlers_[ID_CONNECT] = [] {};
  handlers_[ID_DISCONNECT] = [this] { OnDisconnect(); };
  handlers_[ID_EDIT_SETTINGS] = [this] { OnEditSettings(); };
  handlers_[ID_ENABLE_AUTOLOGIN] = [this] { OnEnableAutologin(); };
  for (int id : {ID_BINARY, ID_ASCII, ID_AUTO})
    handlers_[id] = [this, id] { OnTransferType(id); };
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CONNECTION_BAR, ID_VIEW_LOG_WINDOW,
                 ID_VIEW_TREE})
    handlers_[id] = [this, id] { OnToggleBar(id); };
  for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS})
    handlers_[id] = [this, id] { OnListMode(id); };
  handlers_[ID_APP_ABOUT] = [this] { OnAbout(); };
  handlers_[ID_APP_EXIT] = [this] { close(); };
  handlers_[ID_HELP_CONTENTS] = [this] { ShowHelpPage(QStringLiteral("index.html")); };
  handlers_[ID_HELP_INDEX] = [this] { ShowHelpPage(QStringLiteral("topics.html")); };
  handlers_[ID_HELP_GETTING_STARTED] = [this] {
    ShowHelpPage(QStringLiteral("getting-started.html"));
  };
  handlers_[ID_SELECT_ALL] = [this] {
    if (view_->currentWidget()) {
      if (auto* list = qobject_cast<QAbstractItemView*>(view_->currentWidget())) list->selectAll();
    }
  };
  if (doc_ != nullptr) {
    handlers_[ID_FILE_NEW] = [this] { doc_->FileNew(); };
    handlers_[ID_FILE_OPEN] = [this] { doc_->FileOpen(); };
    handlers_[ID_FILE_SAVE] = [this] { doc_->FileSave(); };
    handlers_[ID_FILE_SAVE_AS] = [this] { doc_->FileSaveAs(); };
    handlers_[ID_IMPORT_SERVER] = [this] { RunImportServerCommand(*this); };
  }
  handlers_[ID_PREFERENCES] = [this] { RunPreferencesCommand(*this); };
}

void CMainFrame::CreateMenus() {
  auto add = [this](QMenu* menu, int id) { menu->addAction(actions_.at(id)); };

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS}) add(file, id);
  file->addSeparator();
  add(file, ID_IMPORT_SERVER);
  file->addSeparator();
  add(file, ID_PREFERENCES);
  file->addSeparator();
  recentMenu_ = file->addMenu(QStringLiteral("&Recent Servers"));
  file->addSeparator();
  add(file, ID_APP_EXIT);
  // The shortcut texts in the menu come from the actions' keys.

  QMenu* connection = menuBar()->addMenu(QStringLiteral("&Connection"));
  add(connection, ID_CONNECT);
  add(connection, ID_DISCONNECT);
  connection->addSeparator();
  add(connection, ID_EDIT_SETTINGS);
  connection->addSeparator();
  add(connection, ID_ENABLE_AUTOLOGIN);

  QMenu* session = menuBar()->addMenu(QStringLiteral("&Session"));
  for (int id : {ID_DOWNLOAD, ID_DOWNLOAD_DIRECTORY, ID_UPLOAD, ID_UPLOAD_DIRECTORY}) add(session, id);
  session->addSeparator();
  for (int id : {ID_CHANGE_DIRECTORY, ID_CREATE_DIRECTORY, ID_REMOVE_DIRECTORY}) add(session, id);
  session->addSeparator();
  for (int id : {ID_RENAME_FILE, ID_DELETE_FILE}) add(session, id);
  session->addSeparator();
  add(session, ID_VIEW_FILE);
  add(session, ID_EDIT_FILE);
  QMenu* viewWith = session->addMenu(QStringLiteral("&View with"));
  add(viewWith, ID_VIEW_ASSOCIATED);
  QMenu* editWith = session->addMenu(QStringLiteral("&Edit with"));
  add(editWith, ID_EDIT_ASSOCIATED);
  add(session, ID_FILE_INFORMATION);
  session->addSeparator();
  for (int id : {ID_BINARY, ID_ASCII, ID_AUTO}) add(session, id);
  session->addSeparator();
  add(session, ID_REFRESH);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CONNECTION_BAR, ID_VIEW_LOG_WINDOW,
                 ID_VIEW_TREE})
    add(view, id);
  view->addSeparator();
  for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS}) add(view, id);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  for (int id : {ID_HELP_CONTENTS, ID_HELP_INDEX, ID_HELP_GETTING_STARTED}) add(help, id);
  help->addSeparator();
  QMenu* web = help->addMenu(QStringLiteral("VeltrimFTP on the &Web"));
  for (const HelpLink& link : WebLinks()) {
    QAction* action = web->addAction(link.text);
    const QUrl url(link.url);
    connect(action, &QAction::triggered, this, [url] { OpenExternalLink(url); });
  }
  help->addSeparator();
  add(help, ID_APP_ABOUT);

  // The menus are rebuilt rarely; the marks follow the state whenever a
  // menu opens, as well as on the clock.
  for (QMenu* menu : {file, connection, session, view, help})
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::CreateToolBars() {
  standardBar_ = addToolBar(QStringLiteral("Standard"));
  standardBar_->setObjectName(QStringLiteral("ToolBar1"));
  for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE}) standardBar_->addAction(actions_[id]);
  standardBar_->addSeparator();
  for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS})
    standardBar_->addAction(actions_[id]);
  standardBar_->addSeparator();
  standardBar_->addAction(actions_[ID_APP_ABOUT]);

  sessionBar_ = addToolBar(QStringLiteral("Session"));
  sessionBar_->setObjectName(QStringLiteral("ToolBar134"));
  for (int id : {ID_CONNECT, ID_DISCONNECT, ID_EDIT_SETTINGS}) sessionBar_->addAction(actions_[id]);
  sessionBar_->addSeparator();
  for (int id : {ID_ROOT, ID_UP_LEVEL}) sessionBar_->addAction(actions_[id]);
  sessionBar_->addSeparator();
  for (int id : {ID_DOWNLOAD, ID_UPLOAD}) sessionBar_->addAction(actions_[id]);
  sessionBar_->addSeparator();
  for (int id : {ID_BINARY, ID_ASCII, ID_AUTO}) sessionBar_->addAction(actions_[id]);
  sessionBar_->addSeparator();
  for (int id : {ID_RENAME_FILE, ID_DELETE_FILE}) sessionBar_->addAction(actions_[id]);
  sessionBar_->addSeparator();
  for (int id : {ID_HOME, ID_CHANGE_DIRECTORY, ID_CREATE_DIRECTORY, ID_REMOVE_DIRECTORY})
    sessionBar_->addAction(actions_[id]);
  for (QToolBar* bar : {standardBar_, sessionBar_}) bar->setIconSize(QSize(22, 22));

  addToolBarBreak();
  connectionBar_ = new ConnectionBar(this);
  connectionHolder_ = addToolBar(QStringLiteral("Connection"));
  connectionHolder_->setObjectName(QStringLiteral("ConnectionBar"));
  connectionHolder_->setMovable(false);
  connectionHolder_->setFloatable(false);
  connectionHolder_->setAllowedAreas(Qt::TopToolBarArea);
  connectionHolder_->setContentsMargins(0, 0, 0, 0);
  connectionHolder_->addWidget(connectionBar_);
  connectionBar_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  // The holder's own toggle would bypass the command table.
  connectionHolder_->toggleViewAction()->setVisible(false);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  progress_ = new QProgressBar(bar);
  progress_->setFixedWidth(kProgressPaneWidth);
  progress_->setMaximumHeight(16);
  progress_->setTextVisible(false);
  progress_->hide();
  stateIcon_ = new QLabel(bar);
  stateIcon_->setFixedWidth(kStatePaneWidth + 4);
  stateIcon_->setAlignment(Qt::AlignCenter);
  clock_ = new QLabel(bar);
  clock_->setObjectName(QStringLiteral("ClockPane"));
  clock_->setMinimumWidth(clock_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 WW")));
  clock_->setAlignment(Qt::AlignCenter);
  clock_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bar->addPermanentWidget(progress_);
  bar->addPermanentWidget(stateIcon_);
  bar->addPermanentWidget(clock_);
  SetStateIcon(kStateNotConnected);
  bar->showMessage(QStringLiteral("Ready"));
  // Prompts of highlighted commands replace "Ready" only while shown.
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
    if (message.isEmpty()) bar->showMessage(QStringLiteral("Ready"));
  });
}

void CMainFrame::CreateDockingBars() {
  tree_ = new CDirectoryTreeBar(this);
  directoriesBar_ = new DockingBar(QStringLiteral("Directories"), kDirectoriesBarId, this);
  directoriesBar_->setWidget(tree_);
  directoriesBar_->setAllowedAreas(Qt::LeftDockWidgetArea);
  addDockWidget(Qt::LeftDockWidgetArea, directoriesBar_);

  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("SessionLogEdit"));
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(kMaxLogLines);
  log_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* logHolder = new QWidget(this);
  auto* layout = new QVBoxLayout(logHolder);
  layout->setContentsMargins(0, 2, 2, 2);
  layout->addWidget(log_);
  sessionLogBar_ = new DockingBar(QStringLiteral("Session Log"), kSessionLogBarId, this);
  sessionLogBar_->setWidget(logHolder);
  sessionLogBar_->setAllowedAreas(Qt::BottomDockWidgetArea);
  addDockWidget(Qt::BottomDockWidgetArea, sessionLogBar_);

  for (DockingBar* bar : {directoriesBar_, sessionLogBar_})
    bar->toggleViewAction()->setVisible(false);
}

void CMainFrame::ConnectDocument() {
  if (doc_ == nullptr) return;
  doc_->SetHost(this);
  auto showTitle = [this](const QString& title) {
    setWindowTitle(title.isEmpty() ? QStringLiteral("VeltrimFTP")
                                   : title + QStringLiteral(" - VeltrimFTP"));
  };
  connect(doc_, &CVeltrimFTPDoc::titleChanged, this, showTitle);
  showTitle(doc_->Title());
}

void CMainFrame::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList& paths = recent_.Paths();
  if (paths.isEmpty()) {
    QAction* none = recentMenu_->addAction(QStringLiteral("Recent File"));
    none->setEnabled(false);
    return;
  }
  for (int i = 0; i < paths.size(); ++i) {
    QAction* action = recentMenu_->addAction(RecentFileMenuText(i, paths.at(i)));
    action->setData(ID_FILE_MRU_FIRST + i);
    action->setStatusTip(QStringLiteral("Open this document"));
    const QString path = paths.at(i);
    connect(action, &QAction::triggered, this, [this, path] {
      if (doc_ == nullptr) return;
      if (!doc_->OpenDocumentFile(path) && !QFileInfo::exists(path)) {
        // A file that has gone away leaves the list, as it would after a
        // failed open from anywhere else.
        recent_.Remove(path);
        RebuildRecentMenu();
      }
    });
  }
}

void CMainFrame::SetStateIcon(int iconId) {
  if (iconId == stateIconId_) return;
  stateIconId_ = iconId;
  stateIcon_->setPixmap(StateIcon(iconId));
}

void CMainFrame::OnClockTick() {
  clock_->setText(ClockText(connected_, QDateTime::currentDateTime(), connectTime_));
  UpdateCommandUI();
}

void CMainFrame::OnAnimationTick() {
  if (!session_) return;
  if (session_->IsBusy() || busy_) {
    animationFrame_ = animationFrame_ > 17 ? 2 : animationFrame_ + 1;
    connectionBar_->SetPicture(159 + animationFrame_);
    SetStateIcon(159 + animationFrame_);
  } else if (animationFrame_ > 0) {
    connectionBar_->SetPicture(kPictureConnected);
    SetStateIcon(kStateConnected);
    animationFrame_ = 0;
  }
}

void CMainFrame::SetBusy(bool busy) {
  busy_ = busy;
  UpdateCommandUI();
}

void CMainFrame::AttachSession(std::unique_ptr<SessionLink> session) {
  session_ = std::move(session);
  UpdateCommandUI();
}

void CMainFrame::SetConnected(bool connected) {
  connected_ = connected;
  if (connected) {
    connectTime_ = QDateTime::currentDateTime();
    animationTimer_.start(kTickMs);
    connectionBar_->SetText(QString::fromStdString(activeProfile_.Name));
    connectionBar_->SetPicture(kPictureConnected);
    SetStateIcon(kStateConnected);
  }
  OnClockTick();
}

void CMainFrame::OnConnect() {
  // Connecting belongs to the connection layer, which installs its handler
  // for this command; the frame only refuses a second session.
  if (session_) return;
  auto it = handlers_.find(ID_CONNECT);
  if (it != handlers_.end() && it->second) it->second();
}

void CMainFrame::OnDisconnect() {
  if (!session_) return;
  DropSession();
  profilePresent_ = false;
  if (doc_ != nullptr) {
    doc_->SetResetOnNextNew(true);
    doc_->OnNewDocument();
  }
  UpdateCommandUI();
}

void CMainFrame::DropSession() {
  if (!session_) return;
  session_->AbortEverything();
  session_.reset();
  connected_ = false;
  animationFrame_ = 0;
  connectionBar_->SetText(QString::fromLatin1(kNotConnected));
  connectionBar_->SetPicture(kPictureNotConnected);
  SetStateIcon(kStateNotConnected);
  UpdateCommandUI();
}

void CMainFrame::SetConnectedDropHandler(std::function<void(const QStringList&)> handler) {
  connectedDropHandler_ = std::move(handler);
}

void CMainFrame::DropFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  if (!connected_) {
    // Only the first path counts: a profile file to open.
    const QFileInfo first(paths.first());
    if (first.exists() && !first.isDir() && doc_ != nullptr)
      doc_->OpenDocumentFile(first.absoluteFilePath());
    return;
  }
  if (connectedDropHandler_) connectedDropHandler_(paths);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // Handled once the drag itself is over, so dialogs can open.
  QMetaObject::invokeMethod(this, [this, paths] { DropFiles(paths); }, Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Disconnecting resets the profile to "Not Connected": a modified one is
  // offered for saving before that, while there is still something to save.
  if (doc_ != nullptr && !doc_->CanClose()) {
    event->ignore();
    return;
  }
  quitting_ = true;
  OnDisconnect();
  SaveOnExit();
  if (help_) help_->close();
  event->accept();
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  TrackNormalRect();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  TrackNormalRect();
}

void CMainFrame::TrackNormalRect() {
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
  if (!isVisible()) return;
  normalRect_ = QRect(pos(), size());
}

}  // namespace veltrim::ui
