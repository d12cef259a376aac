// The main window's command table at work: running commands, the enabling
// routine, and the commands that the frame handles itself.
#include <QAction>
#include <QActionGroup>
#include <QMetaObject>
#include <QStatusBar>
#include <QToolBar>

#include "ui/app/about_dlg.h"
#include "ui/shared/command_ids.h"
#include "ui/app/command_table.h"
#include "ui/app/error_box.h"
#include "ui/app/help_window.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/docking_bar.h"

namespace veltrim::ui {
namespace {

int ModeCommand(ListMode mode) {
  switch (mode) {
    case ListMode::LargeIcons: return ID_VIEW_LARGEICON;
    case ListMode::SmallIcons: return ID_VIEW_SMALLICON;
    case ListMode::List: return ID_VIEW_LIST;
    case ListMode::Details: break;
  }
  return ID_VIEW_DETAILS;
}

}  // namespace

QAction* CMainFrame::Action(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::SetCommandHandler(int commandId, std::function<void()> handler) {
  handlers_[commandId] = std::move(handler);
}

void CMainFrame::ExecuteCommand(int commandId) {
  // The state may have changed since the last tick: decide now, and leave
  // an unavailable command undone, as a menu would.
  UpdateCommandUI();
  if (QAction* action = Action(commandId); action != nullptr && !action->isEnabled()) return;
  if (commandId == ID_CONNECT) {
    OnConnect();
  } else if (auto it = handlers_.find(commandId); it != handlers_.end() && it->second) {
    it->second();
  }
  UpdateCommandUI();
}

void CMainFrame::PostCommand(int commandId) {
  QMetaObject::invokeMethod(this, [this, commandId] { ExecuteCommand(commandId); },
                            Qt::QueuedConnection);
}

CommandState CMainFrame::CurrentCommandState() const {
  CommandState state;
  state.profilePresent = profilePresent_;
  state.connected = connected_;
  state.frameBusy = busy_;
  state.sessionExists = session_ != nullptr;
  if (session_) {
    state.sessionConnected = session_->IsConnected();
    state.sessionBusy = session_->IsBusy();
    state.sessionHasIndexFile = session_->HasIndexFile();
  }
  state.listViewExists = view_ != nullptr;
  if (const int row = view_ != nullptr ? view_->FirstSelectedRow() : -1; row >= 0) {
    const RemoteRow& first = view_->Rows().Row(row);
    state.selectionHasAssociatedProgram = HasAssociatedProgram(first.name, first.typeText);
  }
  return state;
}

void CMainFrame::UpdateCommandUI() {
  const CommandState state = CurrentCommandState();
  for (const CommandSpec& command : CommandTable()) {
    QAction* action = Action(command.id);
    if (action == nullptr) continue;
    action->setEnabled(IsCommandEnabled(command.rule, state));
    switch (command.mark) {
      case CommandMark::None:
        break;
      case CommandMark::Autologin:
        action->setChecked(prefs_.Autologin);
        break;
      case CommandMark::TransferBinary:
        if (session_) action->setChecked(prefs_.Binary && !prefs_.Auto);
        break;
      case CommandMark::TransferAscii:
        if (session_) action->setChecked(!prefs_.Binary && !prefs_.Auto);
        break;
      case CommandMark::TransferAuto:
        if (session_) action->setChecked(prefs_.Auto);
        break;
      case CommandMark::ConnectionBar:
        action->setChecked(connectionHolder_ != nullptr && !connectionHolder_->isHidden());
        break;
      case CommandMark::LogWindow:
        action->setChecked(sessionLogBar_ != nullptr && !sessionLogBar_->isHidden());
        break;
      case CommandMark::TreeView:
        action->setChecked(directoriesBar_ != nullptr && !directoriesBar_->isHidden());
        break;
      case CommandMark::Toolbar:
        action->setChecked(standardBar_ != nullptr && !standardBar_->isHidden());
        break;
      case CommandMark::StatusBar:
        action->setChecked(!statusBar()->isHidden());
        break;
      case CommandMark::ListMode:
        action->setChecked(view_ != nullptr && ModeCommand(view_->Mode()) == command.id);
        break;
    }
  }
}

void CMainFrame::OnTransferType(int commandId) {
  if (!session_) return;
  switch (commandId) {
    case ID_BINARY:
      session_->SetAutoMode(false);
      session_->SetBinaryMode(true);
      prefs_.Binary = true;
      prefs_.Auto = false;
      break;
    case ID_ASCII:
      session_->SetBinaryMode(false);
      session_->SetAutoMode(false);
      prefs_.Binary = false;
      prefs_.Auto = false;
      break;
    case ID_AUTO:
      // Binary keeps its value and applies again when another type is chosen.
      session_->SetAutoMode(true);
      prefs_.Auto = true;
      break;
    default:
      break;
  }
}

void CMainFrame::OnEnableAutologin() {
  prefs_.Autologin = !prefs_.Autologin;
  if (prefs_.Autologin && profilePresent_ && !connected_) PostCommand(ID_CONNECT);
}

void CMainFrame::OnToggleBar(int commandId) {
  auto toggle = [](QWidget* bar) { bar->setVisible(bar->isHidden()); };
  switch (commandId) {
    case ID_VIEW_TOOLBAR: {
      const bool show = standardBar_->isHidden();
      standardBar_->setVisible(show);
      sessionBar_->setVisible(show);
      break;
    }
    case ID_VIEW_STATUS_BAR:
      toggle(statusBar());
      break;
    case ID_VIEW_CONNECTION_BAR:
      toggle(connectionHolder_);
      break;
    case ID_VIEW_LOG_WINDOW:
      toggle(sessionLogBar_);
      break;
    case ID_VIEW_TREE:
      toggle(directoriesBar_);
      break;
    default:
      break;
  }
}

void CMainFrame::OnListMode(int commandId) {
  ListMode mode = ListMode::Details;
  switch (commandId) {
    case ID_VIEW_LARGEICON: mode = ListMode::LargeIcons; break;
    case ID_VIEW_SMALLICON: mode = ListMode::SmallIcons; break;
    case ID_VIEW_LIST: mode = ListMode::List; break;
    default: break;
  }
  view_->SetMode(mode);
  prefs_.ListView = static_cast<int>(mode);
}

void CMainFrame::OnEditSettings() {
  if (doc_ == nullptr) return;
  doc_->EditSettings();
  if (connected_) {
    const QString directory = session_ ? session_->CurrentDirectory() : QString();
    connectionBar_->SetText(QString::fromStdString(activeProfile_.Name) + QStringLiteral(" - ") +
                            directory);
  }
}

void CMainFrame::OnAbout() {
  CAboutDlg about(this);
  RunModal(about);
}

void CMainFrame::ShowError(unsigned id, const QString& detail) { ShowErrorBox(this, id, detail); }

void CMainFrame::ShowHelpPage(const QString& page) {
  if (!help_) help_ = new HelpWindow(this);
  help_->ShowPage(page);
}

std::optional<bool> CMainFrame::DetailsPreference() const {
  if (!prefsLoaded_) return std::nullopt;
  return prefs_.Details;
}

void CMainFrame::TakeProfile(const ServerSettings& profile) {
  profilePresent_ = true;
  activeProfile_ = profile;
  UpdateCommandUI();
  emit ProfileTaken();
}

void CMainFrame::SetActiveProfile(const ServerSettings& profile) { activeProfile_ = profile; }

void CMainFrame::PostConnect() { PostCommand(ID_CONNECT); }

void CMainFrame::AddRecentFile(const QString& path) {
  recent_.Add(path);
  RebuildRecentMenu();
}

}  // namespace veltrim::ui
