#pragma once
// The rows of the remote file list: one model behind both the details view
// and the icon/list views. Rows are stored flat with their display texts
// worked out once, so that a directory of 100,000 entries scrolls and sorts
// without any work per paint.

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <vector>

namespace veltrim::ui {

struct RemoteListRow {
  QString name;
  QString sizeText;  // empty for folders
  QString typeText;
  QString dateText;
  QIcon icon;  // shared (implicitly) between rows of the same type
};

class RemoteListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { ColumnName = 0, ColumnSize, ColumnType, ColumnDate, ColumnCount };

  // The headings and the widths the columns are created with.
  static QString Heading(int column);
  static int InitialWidth(int column);

  explicit RemoteListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces every row at once (one reset, not one signal per row).
  void SetRows(std::vector<RemoteListRow> rows);
  // Appends a batch of rows with one insertion signal.
  void AppendRows(std::vector<RemoteListRow> rows);
  void Clear();
  const RemoteListRow& Row(int row) const { return rows_.at(static_cast<size_t>(row)); }

 private:
  std::vector<RemoteListRow> rows_;
};

}  // namespace veltrim::ui
