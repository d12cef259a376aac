#pragma once
// "VeltrimFTP File Transfer": the window of one transfer run. It shows the
// file being moved and where to, the queued files, a bar for the file and one
// for the whole run, the estimated time left, the rate and a looping
// animation. It reads the worker's 64-bit counters on its own 1500 ms clock
// and works out what it shows with the engine's transfer figures; Cancel
// only raises the shared flag, and the worker closes the window when it has
// stopped.
//
// Controls carry the object names of their numbers: "static1005" (source),
// "list1055" (queued files), "progress1026" (file bar), "progress1027" (run
// bar), "static1031" (time left, two lines), "static1032" (destination),
// "static1072" (rate), "button1021" (Cancel), "animation1028".

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
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

  // owner: the main window (the box stays with it but is a window of its own).
  CFileTransferDlg(std::shared_ptr<TransferProgress> progress, QWidget* owner);
  ~CFileTransferDlg() override;

  // A new file starts: its source and destination (already shortened); the
  // file bar goes back to 0.
  void SetFile(const QString& source, const QString& destination);
  // A queued file: its name, icon and full source path (kept with the row).
  void AddRow(const QString& name, const QIcon& icon, const QString& source);
  void SelectRow(int row);
  void SetRowIcon(int row, const QIcon& icon);

  // One tick of the clock: the bars, the rate and the time left from the
  // counters, with the whole seconds since the window opened.
  void Refresh();
  void ShowFigures(int64_t elapsedWholeSeconds);

  QListWidget* Rows() const { return rows_; }

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::shared_ptr<TransferProgress> progress_;
  QLabel* source_;
  QLabel* destination_;
  QLabel* timeLeft_;
  QLabel* rate_;
  QProgressBar* fileBar_;
  QProgressBar* totalBar_;
  QListWidget* rows_;
  QTimer refresh_;  // timer 5
  QElapsedTimer opened_;
};

}  // namespace veltrim::ui
