#include "ui/ftp/file_transfer_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrim::ui {

namespace {

// A progress bar holds an int: show per mille of a 64-bit count.
int PerMille(uint64_t done, uint64_t total) {
  if (total == 0) return 0;
  if (done >= total) return 1000;
  return static_cast<int>((static_cast<long double>(done) * 1000.0L) / static_cast<long double>(total));
}

}  // namespace

CFileTransferDlg::CFileTransferDlg(std::shared_ptr<TransferProgress> progress, QWidget* owner)
    : QDialog(owner),
      progress_(std::move(progress)),
      source_(new QLabel(this)),
      destination_(new QLabel(this)),
      figures_(new QLabel(this)),
      fileBar_(new QProgressBar(this)),
      totalBar_(new QProgressBar(this)),
      rows_(new QListWidget(this)) {
  setObjectName(QStringLiteral("CFileTransferDlg"));
  setWindowTitle(QStringLiteral("File Transfer"));
  setModal(false);
  for (QProgressBar* bar : {fileBar_, totalBar_}) {
    bar->setRange(0, 1000);
    bar->setTextVisible(false);
  }
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("From:"), source_);
  form->addRow(QStringLiteral("To:"), destination_);
  form->addRow(QStringLiteral("File:"), fileBar_);
  form->addRow(QStringLiteral("Total:"), totalBar_);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel, &QPushButton::clicked, this, &CFileTransferDlg::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(figures_, 1);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(rows_, 1);
  layout->addLayout(buttons);
  resize(460, 320);

  refresh_.setInterval(kRefreshMilliseconds);
  connect(&refresh_, &QTimer::timeout, this, &CFileTransferDlg::Refresh);
  refresh_.start();
}

CFileTransferDlg::~CFileTransferDlg() { refresh_.stop(); }

void CFileTransferDlg::SetFile(const QString& source, const QString& destination) {
  source_->setText(source);
  destination_->setText(destination);
  fileBar_->setValue(0);
}

void CFileTransferDlg::AddRow(const QString& name, const QIcon& icon, const QString& source) {
  auto* item = new QListWidgetItem(icon, name, rows_);
  item->setToolTip(source);
}

void CFileTransferDlg::SelectRow(int row) {
  if (row < 0 || row >= rows_->count()) return;
  rows_->setCurrentRow(row);
  rows_->scrollToItem(rows_->item(row));
}

void CFileTransferDlg::SetRowIcon(int row, const QIcon& icon) {
  if (row < 0 || row >= rows_->count()) return;
  rows_->item(row)->setIcon(icon);
}

void CFileTransferDlg::Refresh() {
  if (!progress_) return;
  const uint64_t fileDone = progress_->FileDone.load(std::memory_order_relaxed);
  const uint64_t fileSize = progress_->FileSize.load(std::memory_order_relaxed);
  const uint64_t totalDone = progress_->TotalDone.load(std::memory_order_relaxed);
  const uint64_t totalBytes = progress_->TotalBytes.load(std::memory_order_relaxed);
  fileBar_->setValue(PerMille(fileDone, fileSize));
  totalBar_->setValue(PerMille(totalDone, totalBytes));
  figures_->setText(QStringLiteral("%1 of %2 bytes").arg(totalDone).arg(totalBytes));
}

void CFileTransferDlg::reject() {
  // The worker sees the flag between blocks and closes the window itself.
  if (progress_) progress_->Cancelled.store(true);
}

}  // namespace veltrim::ui
