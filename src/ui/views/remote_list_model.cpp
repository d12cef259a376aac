#include "ui/views/remote_list_model.h"

namespace veltrim::ui {

QString RemoteListModel::Heading(int column) {
  switch (column) {
    case ColumnName: return QStringLiteral("Filename");
    case ColumnSize: return QStringLiteral("Size");
    case ColumnType: return QStringLiteral("Type");
    case ColumnDate: return QStringLiteral("Date");
    default: return QString();
  }
}

int RemoteListModel::InitialWidth(int column) {
  switch (column) {
    case ColumnName: return 200;
    case ColumnSize: return 80;
    case ColumnType: return 80;
    case ColumnDate: return 112;
    default: return 0;
  }
}

RemoteListModel::RemoteListModel(QObject* parent) : QAbstractTableModel(parent) {}

int RemoteListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RemoteListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant RemoteListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= rows_.size())
    return QVariant();
  const RemoteListRow& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      switch (index.column()) {
        case ColumnName: return row.name;
        case ColumnSize: return row.sizeText;
        case ColumnType: return row.typeText;
        case ColumnDate: return row.dateText;
        default: return QVariant();
      }
    case Qt::DecorationRole:
      return index.column() == ColumnName ? QVariant(row.icon) : QVariant();
    case Qt::TextAlignmentRole:
      return index.column() == ColumnSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                          : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant RemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QVariant();
  if (role == Qt::DisplayRole) return Heading(section);
  if (role == Qt::TextAlignmentRole)
    return section == ColumnSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}

void RemoteListModel::SetRows(std::vector<RemoteListRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void RemoteListModel::AppendRows(std::vector<RemoteListRow> rows) {
  if (rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  endInsertRows();
}

void RemoteListModel::Clear() { SetRows({}); }

}  // namespace veltrim::ui
