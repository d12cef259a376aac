#include "ui/views/remote_list_view.h"

#include <QHeaderView>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "ui/shared/preferences.h"
#include "ui/views/remote_entry_model.h"

namespace veltrim::ui {

namespace {

// Every item of the icon and list modes takes its whole grid cell. The list
// keeps uniform item sizes (fast with 100,000 rows), and the size it takes
// from its first row would otherwise fit only that row's name, cutting the
// others to a few letters.
class GridCellDelegate final : public QStyledItemDelegate {
 public:
  explicit GridCellDelegate(QListView* list) : QStyledItemDelegate(list), list_(list) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QSize cell = list_->gridSize();
    if (!cell.isValid()) return QStyledItemDelegate::sizeHint(option, index);
    return cell - QSize(2 * kCellMargin, 2 * kCellMargin);
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    // A name directly under its icon, however many lines it takes.
    if (list_->viewMode() == QListView::IconMode) option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
  }

 private:
  static constexpr int kCellMargin = 2;
  QListView* list_;
};

// Large and small icons: names wrap under the icon, up to three lines.
void ShowAsIcons(QListView* list, int iconSide, QSize cell) {
  list->setViewMode(QListView::IconMode);
  list->setFlow(QListView::LeftToRight);
  list->setWrapping(true);
  list->setIconSize(QSize(iconSide, iconSide));
  list->setGridSize(cell);
  list->setWordWrap(true);
}

}  // namespace

CVeltrimFTPView::CVeltrimFTPView(QWidget* parent)
    : QStackedWidget(parent),
      rows_(new RemoteEntryModel(this)),
      details_(new QTreeView(this)),
      icons_(new QListView(this)) {
  setObjectName(QStringLiteral("RemoteList"));
  details_->setObjectName(QStringLiteral("RemoteListDetails"));
  icons_->setObjectName(QStringLiteral("RemoteListIcons"));

  details_->setRootIsDecorated(false);
  details_->setItemsExpandable(false);
  details_->setUniformRowHeights(true);  // keeps a 100,000-row list fast
  details_->setAllColumnsShowFocus(true);
  details_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  details_->header()->setStretchLastSection(false);
  details_->header()->setSectionsMovable(false);
  icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  icons_->setUniformItemSizes(true);
  icons_->setLayoutMode(QListView::Batched);
  icons_->setBatchSize(2000);
  icons_->setMovement(QListView::Static);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setItemDelegate(new GridCellDelegate(icons_));

  addWidget(details_);
  addWidget(icons_);

  details_->setModel(rows_);
  icons_->setModel(rows_);
  icons_->setSelectionModel(details_->selectionModel());  // one selection for all modes
  for (int column = 0; column < RemoteEntryModel::ColumnCount; ++column)
    details_->header()->resizeSection(column, RemoteEntryModel::InitialWidth(column));
  SetMode(ListMode::Details);
}

CVeltrimFTPView::~CVeltrimFTPView() = default;

QItemSelectionModel* CVeltrimFTPView::Selection() const { return details_->selectionModel(); }

int CVeltrimFTPView::FirstSelectedRow() const {
  // Every selected cell counts: the details view selects whole rows, the
  // icon views only a row's first cell.
  int first = -1;
  for (const QModelIndex& index : Selection()->selectedIndexes())
    if (first < 0 || index.row() < first) first = index.row();
  return first < rows_->rowCount() ? first : -1;
}

bool CVeltrimFTPView::IsRowSelected(int row) const {
  const QItemSelectionModel* selection = Selection();
  return selection->isRowSelected(row, QModelIndex()) || selection->isSelected(rows_->index(row, 0));
}

void CVeltrimFTPView::SetMode(ListMode mode) {
  switch (mode) {
    case ListMode::Details:
      setCurrentWidget(details_);
      break;
    case ListMode::LargeIcons:
      ShowAsIcons(icons_, 32, QSize(100, 84));
      setCurrentWidget(icons_);
      break;
    case ListMode::SmallIcons:
      ShowAsIcons(icons_, 16, QSize(100, 66));
      setCurrentWidget(icons_);
      break;
    case ListMode::List:
      icons_->setViewMode(QListView::ListMode);
      icons_->setFlow(QListView::TopToBottom);
      icons_->setWrapping(true);
      icons_->setIconSize(QSize(16, 16));
      icons_->setGridSize(QSize(180, 20));
      icons_->setWordWrap(false);
      setCurrentWidget(icons_);
      break;
  }
  const bool changed = mode != mode_;
  mode_ = mode;
  if (changed) emit ModeChanged(mode);
}

void CVeltrimFTPView::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= RemoteEntryModel::ColumnCount) return;
  if (width <= 0 || width > kMaxColumnWidth) return;
  details_->header()->resizeSection(column, width);
}

int CVeltrimFTPView::ColumnWidth(int column) const {
  if (column < 0 || column >= RemoteEntryModel::ColumnCount) return 0;
  return details_->header()->sectionSize(column);
}

}  // namespace veltrim::ui
