#include "ui/ftp/browse_layer.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "ui/app/main_frame.h"
#include "ui/ftp/connection_controller.h"
#include "ui/ftp/download_commands.h"
#include "ui/ftp/dropped_files.h"
#include "ui/ftp/file_commands.h"
#include "ui/ftp/file_information.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/ftp/upload_commands.h"
#include "ui/ftp/view_edit_commands.h"
#include "ui/views/directory_tree_bar.h"
#include "ui/views/directory_tree_navigator.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_menus.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::ui {

namespace {

QAbstractItemView* CurrentList(CVeltrimFTPView* view) {
  return view == nullptr ? nullptr : qobject_cast<QAbstractItemView*>(view->currentWidget());
}

}  // namespace

BrowseLayer::BrowseLayer(CMainFrame& frame)
    : QObject(&frame),
      frame_(frame),
      rows_(&frame.View()->Rows()),
      tree_(new DirectoryTreeNavigator(frame.DirectoryTree())),
      live_(std::make_unique<LiveSession>(frame)),
      controller_(std::make_unique<ConnectionController>(frame, *live_)),
      navigator_(std::make_unique<RemoteNavigator>(frame, *live_, controller_->Host(), *tree_)),
      files_(std::make_unique<FileCommands>(frame, *live_, *navigator_)),
      downloads_(std::make_unique<DownloadCommands>(frame, *live_)),
      uploads_(std::make_unique<UploadCommands>(frame, *live_, *navigator_)),
      drops_(std::make_unique<DroppedFiles>(frame, *live_, *uploads_)),
      viewEdit_(std::make_unique<ViewEditCommands>(frame, *live_)),
      information_(std::make_unique<FileInformation>(frame, *live_, *navigator_)) {
  CVeltrimFTPView* view = frame.View();
  controller_->InstallCommands();
  navigator_->InstallCommands();
  files_->InstallCommands();
  downloads_->InstallCommands();
  uploads_->InstallCommands();
  drops_->Install();
  viewEdit_->InstallCommands();
  information_->InstallCommands();
  files_->SetLabelEditing([this] { return IsEditingLabel(); }, [this](int row) { StartLabelEdit(row); });
  ConnectionController* controller = controller_.get();
  RemoteNavigator* navigator = navigator_.get();
  connect(controller, &ConnectionController::LoggedIn, navigator, &RemoteNavigator::ShowStartDirectory);
  connect(controller, &ConnectionController::SessionReleased, navigator, &RemoteNavigator::ClearDisplay);
  live_->SetConnectionHandlers([controller] { controller->OnConnectionLost(); },
                               [navigator] { navigator->ShowListing(); });

  QTreeView* details = view->DetailsView();
  QListView* icons = view->IconView();
  details->header()->setSectionsClickable(true);
  details->header()->setSortIndicatorShown(true);
  ShowSortMark();
  connect(details->header(), &QHeaderView::sectionClicked, this, &BrowseLayer::HeadingClicked);
  connect(rows_, &QAbstractItemModel::layoutChanged, this, &BrowseLayer::ShowSortMark);
  for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(details), static_cast<QAbstractItemView*>(icons)}) {
    // A click on a selected row's name edits it, as in a file manager.
    list->setEditTriggers(QAbstractItemView::SelectedClicked);
    list->setContextMenuPolicy(Qt::DefaultContextMenu);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QAbstractItemView::doubleClicked, navigator, &RemoteNavigator::OpenSelection);
  }
}

BrowseLayer::~BrowseLayer() = default;

bool BrowseLayer::IsEditingLabel() const {
  CVeltrimFTPView* view = frame_.View();
  if (view == nullptr) return false;
  for (QAbstractItemView* list :
       {static_cast<QAbstractItemView*>(view->DetailsView()), static_cast<QAbstractItemView*>(view->IconView())})
    // An open editor is a visible child of the list's viewport (a closed
    // one is hidden before it goes).
    for (const QWidget* child : list->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible() && child->focusPolicy() != Qt::NoFocus) return true;
  return false;
}

void BrowseLayer::StartLabelEdit(int row) {
  QAbstractItemView* list = CurrentList(frame_.View());
  if (list == nullptr || row < 0 || row >= rows_->rowCount()) return;
  const QModelIndex index = rows_->index(row, RemoteEntryModel::ColumnName);
  list->scrollTo(index);
  list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  list->edit(index);
}

void BrowseLayer::HeadingClicked(int column) {
  if (!frame_.Connected()) {
    ShowSortMark();  // the header may have moved its mark; put it back
    return;
  }
  const bool ascending = column == rows_->SortColumn() ? !rows_->SortAscending() : true;
  rows_->Sort(column, ascending);
  ShowSortMark();
}

void BrowseLayer::ShowSortMark() {
  QHeaderView* header = frame_.View()->DetailsView()->header();
  header->setSortIndicator(rows_->SortColumn(), rows_->SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool BrowseLayer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ContextMenu) {
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    ShowContextMenu(menuEvent->reason() == QContextMenuEvent::Keyboard, menuEvent->globalPos());
    return true;
  }
  if (event->type() == QEvent::KeyPress && !IsEditingLabel()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
      navigator_->OpenSelection();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void BrowseLayer::ShowContextMenu(bool fromKeyboard, const QPoint& globalPosition) {
  QAbstractItemView* list = CurrentList(frame_.View());
  if (list == nullptr) return;
  int first = -1;
  for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
    if (first < 0 || index.row() < first) first = index.row();
  const ListMenuKind kind = ListMenuFor(first >= 0, first >= 0 ? rows_->Row(first).typeText : QString());
  frame_.UpdateCommandUI();
  CMainFrame* frame = &frame_;
  std::unique_ptr<QMenu> menu =
      BuildListMenu(kind, [frame](int id) { return frame->Action(id); }, {}, &frame_);
  // The command runs once the menu is gone, not inside its loop.
  QAction* chosen = menu->exec(ListMenuPosition(fromKeyboard, globalPosition, list->viewport()));
  const int command = chosen != nullptr && chosen->data().isValid() ? chosen->data().toInt() : 0;
  menu.reset();
  if (command != 0) frame_.ExecuteCommand(command);
}

}  // namespace veltrim::ui
