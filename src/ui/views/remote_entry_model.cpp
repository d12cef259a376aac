#include "ui/views/remote_entry_model.h"

#include <algorithm>
#include <numeric>

#include "ui/views/file_type_names.h"

namespace veltrim::ui {

QString RemoteEntryModel::Heading(int column) {
  switch (column) {
    case ColumnName: return QStringLiteral("Filename");
    case ColumnSize: return QStringLiteral("Size");
    case ColumnType: return QStringLiteral("Type");
    case ColumnDate: return QStringLiteral("Date");
    default: return QString();
  }
}

int RemoteEntryModel::InitialWidth(int column) {
  switch (column) {
    case ColumnName: return 200;
    case ColumnSize: return 80;
    case ColumnType: return 80;
    case ColumnDate: return 112;
    default: return 0;
  }
}

RemoteEntryModel::RemoteEntryModel(QObject* parent) : QAbstractTableModel(parent) { sinceFlush_.start(); }

int RemoteEntryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RemoteEntryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant RemoteEntryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= rows_.size())
    return QVariant();
  const RemoteRow& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      switch (index.column()) {
        case ColumnName: return row.name;
        case ColumnSize: return row.sizeText;
        case ColumnType: return row.typeText;
        case ColumnDate: return row.dateText;
        default: return QVariant();
      }
    case Qt::EditRole:
      return index.column() == ColumnName ? QVariant(row.name) : QVariant();
    case Qt::DecorationRole:
      return index.column() == ColumnName ? QVariant(row.icon) : QVariant();
    case Qt::TextAlignmentRole:
      if (index.column() == ColumnSize) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant RemoteEntryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QVariant();
  if (role == Qt::DisplayRole) return Heading(section);
  if (role == Qt::TextAlignmentRole)
    return section == ColumnSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}

Qt::ItemFlags RemoteEntryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == ColumnName) result |= Qt::ItemIsEditable;
  return result;
}

bool RemoteEntryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() != ColumnName) return false;
  if (index.row() < 0 || static_cast<size_t>(index.row()) >= rows_.size()) return false;
  emit RenameRequested(index.row(), rows_[static_cast<size_t>(index.row())].name, value.toString());
  return false;
}

void RemoteEntryModel::Clear() {
  beginResetModel();
  rows_.clear();
  staged_.clear();
  names_.clear();
  endResetModel();
}

void RemoteEntryModel::ResetImageLists() {
  // Icons are shared per type, so a listing holds no more of them than it
  // has types; nothing grows from listing to listing.
}

void RemoteEntryModel::WorkOutType(RemoteRow& row) const {
  switch (row.kind) {
    case RemoteEntryKind::Folder:
      row.typeText = QString::fromLatin1(kFolderTypeText);
      row.icon = FolderIcon();
      break;
    case RemoteEntryKind::Alias:
      row.typeText = QString::fromLatin1(kAliasTypeText);
      row.icon = AliasIcon();
      break;
    case RemoteEntryKind::File:
    {
      FileTypeAndIcon type = LookUpFileType(row.name);
      row.typeText = std::move(type.typeText);
      row.icon = std::move(type.icon);
      break;
    }
  }
  row.key.typeUpper = row.typeText.toUpper();
}

RemoteRow RemoteEntryModel::MakeRow(ListingEntry* entry, const QString& name, RemoteEntryKind kind) const {
  RemoteRow row;
  row.entry = entry;
  row.name = name;
  row.kind = kind;
  row.key.nameUpper = name.toUpper();
  WorkOutType(row);
  if (entry != nullptr) {
    if (!entry->IsDirectory) row.sizeText = SizeText(entry->Size);
    row.dateText = DateText(entry->Modified);
    row.key.size = entry->Size;
    row.key.modified = entry->Modified;
  }
  return row;
}

void RemoteEntryModel::AddEntry(ListingEntry& entry) {
  const QString name = QString::fromStdString(entry.Name);
  if (name == QLatin1String(".") || name == QLatin1String("..")) return;
  if (names_.contains(name)) return;
  const RemoteEntryKind kind = entry.IsDirectory ? RemoteEntryKind::Folder
                               : entry.IsNormal  ? RemoteEntryKind::File
                                                 : RemoteEntryKind::Alias;
  RemoteRow row = MakeRow(&entry, name, kind);
  entry.TypeText = row.typeText.toStdString();
  names_.insert(name);
  staged_.push_back(std::move(row));
  if (sinceFlush_.elapsed() >= kStageFlushMs) FlushStaged();
}

void RemoteEntryModel::FlushStaged() {
  sinceFlush_.restart();
  if (staged_.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(staged_.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(staged_.begin()), std::make_move_iterator(staged_.end()));
  staged_.clear();
  endInsertRows();
}

int RemoteEntryModel::RowOf(const QString& name) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].name == name) return static_cast<int>(i);
  return -1;
}

void RemoteEntryModel::RemoveEntryByName(const QString& name) {
  FlushStaged();
  const QString upper = name.toUpper();
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].key.nameUpper != upper) continue;
    beginRemoveRows(QModelIndex(), static_cast<int>(i), static_cast<int>(i));
    names_.remove(rows_[i].name);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    endRemoveRows();
    return;
  }
}

bool RemoteEntryModel::RenameEntry(const QString& oldName, const QString& newName) {
  FlushStaged();
  const QString upper = oldName.toUpper();
  for (size_t i = 0; i < rows_.size(); ++i) {
    RemoteRow& row = rows_[i];
    if (row.key.nameUpper != upper) continue;
    // The row keeps its kind by its type text, as it reads now.
    if (row.typeText == QLatin1String(kFolderTypeText)) row.kind = RemoteEntryKind::Folder;
    else if (row.typeText == QLatin1String(kAliasTypeText)) row.kind = RemoteEntryKind::Alias;
    else row.kind = RemoteEntryKind::File;
    names_.remove(row.name);
    row.name = newName;
    row.key.nameUpper = newName.toUpper();
    WorkOutType(row);
    names_.insert(newName);
    if (row.entry != nullptr) {
      row.entry->Name = newName.toStdString();
      row.entry->TypeText = row.typeText.toStdString();
    }
    const int r = static_cast<int>(i);
    emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
    Sort(sortColumn_, sortAscending_);
    return true;
  }
  return false;
}

void RemoteEntryModel::Sort(int column, bool ascending) {
  if (column < 0 || column >= ColumnCount) return;
  FlushStaged();
  sortColumn_ = column;
  sortAscending_ = ascending;
  const int s = ascending ? column + 1 : -(column + 1);
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(rows_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this, s](int a, int b) {
    return CompareRows(rows_[static_cast<size_t>(a)].key, rows_[static_cast<size_t>(b)].key, s) < 0;
  });
  std::vector<RemoteRow> sorted;
  sorted.reserve(rows_.size());
  for (int from : order) sorted.push_back(std::move(rows_[static_cast<size_t>(from)]));
  // Persistent indexes (selection, current row) follow their rows.
  const QModelIndexList before = persistentIndexList();
  std::vector<int> newRowOf(rows_.size());
  for (size_t to = 0; to < order.size(); ++to) newRowOf[static_cast<size_t>(order[to])] = static_cast<int>(to);
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& old : before)
    after.append(index(newRowOf[static_cast<size_t>(old.row())], old.column()));
  rows_ = std::move(sorted);
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RemoteEntryModel::sort(int column, Qt::SortOrder order) { Sort(column, order == Qt::AscendingOrder); }

}  // namespace veltrim::ui
