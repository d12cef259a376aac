#pragma once
// CVeltrimFTPView: the remote file list in the middle of the main window. One
// model, shown by a tree view in the details mode and by a list view in the
// large icon, small icon and list modes.

#include <QStackedWidget>

class QListView;
class QTreeView;
class QItemSelectionModel;

namespace veltrim::ui {

class RemoteEntryModel;

// Display modes, numbered as the ListView preference stores them.
enum class ListMode { LargeIcons = 0, Details = 1, SmallIcons = 2, List = 3 };

class CVeltrimFTPView : public QStackedWidget {
  Q_OBJECT
 public:
  explicit CVeltrimFTPView(QWidget* parent = nullptr);
  ~CVeltrimFTPView() override;

  // The rows shown, and the one selection all modes share.
  RemoteEntryModel& Rows() const { return *rows_; }
  QItemSelectionModel* Selection() const;
  // The first selected row (-1 when none), and whether row is selected.
  int FirstSelectedRow() const;
  bool IsRowSelected(int row) const;

  void SetMode(ListMode mode);
  ListMode Mode() const { return mode_; }
  // True for the four stored values 0..3.
  static bool IsValidMode(int stored) { return stored >= 0 && stored <= 3; }

  // Column widths of the details mode; widths outside 1..4000 are ignored.
  void SetColumnWidth(int column, int width);
  int ColumnWidth(int column) const;

  QTreeView* DetailsView() const { return details_; }
  QListView* IconView() const { return icons_; }

 signals:
  void ModeChanged(ListMode mode);

 private:
  RemoteEntryModel* rows_;
  QTreeView* details_;
  QListView* icons_;
  ListMode mode_ = ListMode::Details;
};

}  // namespace veltrim::ui
