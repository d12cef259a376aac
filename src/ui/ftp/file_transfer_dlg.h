#pragma once
// "File Transfer": the window of one transfer run. It shows the file being
// moved, a bar for the file and one for the whole run, and a row per queued
// file; it reads the worker's counters on its own clock and asks the worker
// to stop through the shared cancel flag.

#include <QDialog>
#include <QTimer>

#include <memory>

#include "core/engine/transfer_progress.h"

class QLabel;
class QListWidget;
class QProgressBar;

namespace veltrim::ui {

class CFileTransferDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRefreshMilliseconds = 1500;

  CFileTransferDlg(std::shared_ptr<TransferProgress> progress, QWidget* owner);
  ~CFileTransferDlg() override;

  void SetFile(const QString& source, const QString& destination);
  void AddRow(const QString& name, const QIcon& icon, const QString& source);
  void SelectRow(int row);
  void SetRowIcon(int row, const QIcon& icon);
  // Reads the counters into the bars and the figures.
  void Refresh();

  QListWidget* Rows() const { return rows_; }

  void reject() override;

 private:
  std::shared_ptr<TransferProgress> progress_;
  QLabel* source_;
  QLabel* destination_;
  QLabel* figures_;
  QProgressBar* fileBar_;
  QProgressBar* totalBar_;
  QListWidget* rows_;
  QTimer refresh_;
};

}  // namespace veltrim::ui
