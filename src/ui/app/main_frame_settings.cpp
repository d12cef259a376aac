// The main window and the settings store: the first activation, the
// preferences, the placement, the bar layout and the exit sequence.
#include <QThread>
#include <QToolBar>

#include "ui/shared/command_ids.h"
#include "ui/app/help_window.h"
#include "ui/app/main_frame.h"
#include "ui/app/settings_store.h"
#include "ui/app/welcome_dlg.h"
#include "ui/dialogs/prompts.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/docking_bar.h"
#include "ui/widgets/splash_window.h"

namespace veltrim::ui {
namespace {

const QString kBarStateKey = QStringLiteral("VeltrimFTP-Summary/Layout");
constexpr int kBarStateVersion = 1;
// How long the exit waits for the workers of a released session.
constexpr int kExitWaitMs = 500;

}  // namespace

void CMainFrame::FirstActivation() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  LoadPreferences();
  LoadWindowPlacement();
  ApplyPlacement();
  ApplyListDisplay();
  if (showSplash_) SplashWindow::ShowOver(this);

  if (doc_ != nullptr && doc_->ResetOnNextNew()) {
    // A profile read from the command line arrived before the frame could
    // take it; from now on New must ask for a profile again.
    doc_->SetResetOnNextNew(false);
  }
  if (doc_ != nullptr && doc_->LoadedFromFile() && prefs_.Autologin) {
    profilePresent_ = true;
    activeProfile_ = doc_->GetProfile();
    PostCommand(ID_CONNECT);
  } else if (prefs_.ShowIntro) {
    CWelcomeDlg welcome(this);
    if (RunModal(welcome) == QDialog::Accepted) {
      if (welcome.Choice() == CWelcomeDlg::kChoiceNew) PostCommand(ID_FILE_NEW);
      if (welcome.Choice() == CWelcomeDlg::kChoiceExisting) PostCommand(ID_FILE_OPEN);
    }
    if (welcome.DontShowAgain()) prefs_.ShowIntro = false;
  }
  UpdateCommandUI();
}

void CMainFrame::LoadPreferences() {
  auto store = OpenSettingsStore();
  prefs_ = veltrim::ui::LoadPreferences(*store);
  prefsLoaded_ = true;
}

void CMainFrame::SavePreferences() {
  auto store = OpenSettingsStore();
  veltrim::ui::SavePreferences(*store, prefs_);
}

void CMainFrame::LoadWindowPlacement() {
  auto store = OpenSettingsStore();
  placement_ = veltrim::ui::LoadWindowPlacement(*store);
}

void CMainFrame::ApplyPlacement() {
  const QRect normal = placement_.NormalRect();
  setWindowState(Qt::WindowNoState);
  resize(normal.size());
  move(normal.topLeft());
  normalRect_ = normal;
  if (placement_.Maximized)
    showMaximized();
  else
    showNormal();
  raise();
  activateWindow();
}

void CMainFrame::ApplyListDisplay() {
  if (CVeltrimFTPView::IsValidMode(prefs_.ListView))
    view_->SetMode(static_cast<ListMode>(prefs_.ListView));
  view_->SetColumnWidth(RemoteEntryModel::ColumnName, prefs_.HeaderName);
  view_->SetColumnWidth(RemoteEntryModel::ColumnSize, prefs_.HeaderSize);
  view_->SetColumnWidth(RemoteEntryModel::ColumnType, prefs_.HeaderType);
  view_->SetColumnWidth(RemoteEntryModel::ColumnDate, prefs_.HeaderDate);
}

void CMainFrame::SaveWindowPlacement() {
  const Qt::WindowStates state = windowState();
  if (state & Qt::WindowMinimized) {
    placement_.Iconic = true;
    placement_.Maximized = (state & Qt::WindowMaximized) != 0;
  } else if (state & Qt::WindowMaximized) {
    placement_.Iconic = false;
    placement_.Maximized = true;
  } else {
    placement_.Iconic = false;
    placement_.Maximized = false;
  }
  placement_.SetNormalRect(normalRect_.isValid() ? normalRect_ : QRect(pos(), size()));
  auto store = OpenSettingsStore();
  veltrim::ui::SaveWindowPlacement(*store, placement_);
}

void CMainFrame::RestoreBarLayout() {
  auto store = OpenSettingsStore();
  recent_.Load(*store);
  RebuildRecentMenu();
  directoriesBar_->LoadSizes(*store);
  sessionLogBar_->LoadSizes(*store);
  resizeDocks({directoriesBar_}, {directoriesBar_->VerticalSize().width()}, Qt::Horizontal);
  resizeDocks({sessionLogBar_}, {sessionLogBar_->HorizontalSize().height()}, Qt::Vertical);
  const QByteArray layout = store->value(kBarStateKey).toByteArray();
  if (!layout.isEmpty()) restoreState(layout, kBarStateVersion);
  // Whatever the stored layout says, each bar docks only on its own side,
  // and the connection bar stays where it belongs.
  if (!directoriesBar_->isFloating() && dockWidgetArea(directoriesBar_) != Qt::LeftDockWidgetArea)
    addDockWidget(Qt::LeftDockWidgetArea, directoriesBar_);
  if (!sessionLogBar_->isFloating() && dockWidgetArea(sessionLogBar_) != Qt::BottomDockWidgetArea)
    addDockWidget(Qt::BottomDockWidgetArea, sessionLogBar_);
  if (toolBarArea(connectionHolder_) != Qt::TopToolBarArea)
    addToolBar(Qt::TopToolBarArea, connectionHolder_);
}

void CMainFrame::SaveBarLayout() {
  auto store = OpenSettingsStore();
  store->setValue(kBarStateKey, saveState(kBarStateVersion));
  directoriesBar_->SaveSizes(*store);
  sessionLogBar_->SaveSizes(*store);
}

void CMainFrame::SaveOnExit() {
  if (exitSaved_) return;
  exitSaved_ = true;
  const bool hadSession = session_ != nullptr;
  OnDisconnect();
  if (hadSession) QThread::msleep(kExitWaitMs);  // let the released workers end
  if (firstActivation_) {
    // Never shown: nothing was loaded, so nothing is written over the store.
    auto store = OpenSettingsStore();
    recent_.Save(*store);
    return;
  }
  SaveWindowPlacement();
  const int widths[] = {view_->ColumnWidth(RemoteEntryModel::ColumnName),
                        view_->ColumnWidth(RemoteEntryModel::ColumnSize),
                        view_->ColumnWidth(RemoteEntryModel::ColumnType),
                        view_->ColumnWidth(RemoteEntryModel::ColumnDate)};
  prefs_.HeaderName = widths[0];
  prefs_.HeaderSize = widths[1];
  prefs_.HeaderType = widths[2];
  prefs_.HeaderDate = widths[3];
  if (doc_ != nullptr) {
    prefs_.Details = doc_->DetailsExpanded();
    SavePreferences();
  }
  SaveBarLayout();
  auto store = OpenSettingsStore();
  recent_.Save(*store);
  store->sync();
}

}  // namespace veltrim::ui
