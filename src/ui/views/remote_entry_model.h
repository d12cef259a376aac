#pragma once
// The rows of the remote file list: one model behind the details view and
// the icon and list views. Each row shows one entry of the session's
// listing; its texts, icon and sort keys are worked out once, when the row
// is added, so painting and sorting 100,000 rows does no per-row lookups.
//
// Rows added during a listing are staged and reach the views in batches
// (one insertion signal per batch), so filling a long directory costs no
// per-row layout work in the views.

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QIcon>
#include <QSet>
#include <QString>

#include <vector>

#include "core/engine/listing.h"
#include "ui/views/remote_entry_format.h"

namespace veltrim::ui {

enum class RemoteEntryKind { Folder, File, Alias };

struct RemoteRow {
  ListingEntry* entry = nullptr;  // the session's entry; not owned
  QString name;
  QString sizeText;  // empty for folders
  QString typeText;
  QString dateText;
  RowSortKey key;
  RemoteEntryKind kind = RemoteEntryKind::File;
  QIcon icon;
};

class RemoteEntryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { ColumnName = 0, ColumnSize, ColumnType, ColumnDate, ColumnCount };
  // How long staged rows may wait before the views see them.
  static constexpr int kStageFlushMs = 200;

  static QString Heading(int column);
  static int InitialWidth(int column);

  explicit RemoteEntryModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // An in-place edit of a name never changes the row itself: it asks for a
  // rename (RenameRequested) and the row follows once the server agreed.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Empties the list.
  void Clear();
  // Forgets the icons of the last listing.
  void ResetImageLists();
  // Appends the row of one entry, unless it is "." or "..", or a row of
  // exactly that name exists. Stores the row's type text in the entry.
  // entry must outlive the row (the session's listing keeps it).
  void AddEntry(ListingEntry& entry);
  // Makes staged rows visible now.
  void FlushStaged();
  // Removes the first row whose name matches, ignoring case.
  void RemoveEntryByName(const QString& name);
  // The first row named oldName (ignoring case) becomes newName; a file's
  // type and icon follow the new name. Sorts again in the current order.
  // False when there is no such row.
  bool RenameEntry(const QString& oldName, const QString& newName);

  // Sorting: column 0..3 and direction; marks SortColumn/SortAscending.
  void Sort(int column, bool ascending);
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }
  void sort(int column, Qt::SortOrder order) override;

  const RemoteRow& Row(int row) const { return rows_.at(static_cast<size_t>(row)); }
  int RowOf(const QString& name) const;  // exact name; -1 when absent
  int RowCountIncludingStaged() const { return static_cast<int>(rows_.size() + staged_.size()); }

 signals:
  void RenameRequested(int row, const QString& oldName, const QString& newName);

 private:
  RemoteRow MakeRow(ListingEntry* entry, const QString& name, RemoteEntryKind kind) const;
  void WorkOutType(RemoteRow& row) const;

  std::vector<RemoteRow> rows_;
  std::vector<RemoteRow> staged_;
  QSet<QString> names_;  // exact names of rows and staged rows
  QElapsedTimer sinceFlush_;
  int sortColumn_ = 0;
  bool sortAscending_ = true;
};

}  // namespace veltrim::ui
