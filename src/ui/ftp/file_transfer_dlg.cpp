#include "ui/ftp/file_transfer_dlg.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/engine/transfer_figures.h"
#include "ui/dialogs/wait_animation.h"

namespace veltrim::ui {

namespace {

QLabel* Caption(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QLabel* Field(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);  // paths come from the server
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QProgressBar* Bar(const char* name, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

}  // namespace

CFileTransferDlg::CFileTransferDlg(std::shared_ptr<TransferProgress> progress, QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      progress_(std::move(progress)),
      source_(Field("static1005", this)),
      destination_(Field("static1032", this)),
      timeLeft_(Field("static1031", this)),
      rate_(Field("static1072", this)),
      fileBar_(Bar("progress1026", this)),
      totalBar_(Bar("progress1027", this)),
      rows_(new QListWidget(this)) {
  setObjectName(QStringLiteral("CFileTransferDlg"));
  setWindowTitle(QStringLiteral("VeltrimFTP File Transfer"));
  setModal(false);

  rows_->setObjectName(QStringLiteral("list1055"));
  rows_->setViewMode(QListView::ListMode);
  rows_->setFlow(QListView::TopToBottom);
  rows_->setWrapping(true);
  rows_->setSelectionMode(QAbstractItemView::SingleSelection);
  rows_->setIconSize(QSize(16, 16));
  // A run of many thousand files: one row height for all, laid out in batches.
  rows_->setUniformItemSizes(true);
  rows_->setLayoutMode(QListView::Batched);
  rows_->setBatchSize(500);

  auto* animation = new CWaitAnimation(CWaitAnimation::Kind::Transferring, this);
  animation->setObjectName(QStringLiteral("animation1028"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("button1021"));
  connect(cancel, &QPushButton::clicked, this, &CFileTransferDlg::reject);

  auto* top = new QHBoxLayout;
  top->addWidget(Caption("Transferring:", this));
  top->addWidget(source_, 1);
  top->addWidget(animation);

  auto* figures = new QGridLayout;
  figures->addWidget(Caption("Estimated time left:", this), 0, 0);
  figures->addWidget(timeLeft_, 0, 1);
  figures->addWidget(Caption("Transfer to:", this), 1, 0);
  figures->addWidget(destination_, 1, 1);
  figures->addWidget(Caption("Transfer Rate:", this), 2, 0);
  figures->addWidget(rate_, 2, 1);
  figures->setColumnStretch(1, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addLayout(figures, 1);
  bottom->addWidget(cancel, 0, Qt::AlignBottom);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(rows_, 1);
  layout->addWidget(fileBar_);
  layout->addWidget(totalBar_);
  layout->addLayout(bottom);
  resize(480, 340);

  opened_.start();
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
  auto* item = new QListWidgetItem(icon, name);
  item->setData(Qt::UserRole, source);  // the row's second column
  item->setToolTip(source);
  rows_->addItem(item);
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

void CFileTransferDlg::Refresh() { ShowFigures(opened_.elapsed() / 1000); }

void CFileTransferDlg::ShowFigures(int64_t elapsedWholeSeconds) {
  if (!progress_) return;
  const uint64_t fileDone = progress_->FileDone.load(std::memory_order_relaxed);
  const uint64_t fileSize = progress_->FileSize.load(std::memory_order_relaxed);
  const uint64_t totalDone = progress_->TotalDone.load(std::memory_order_relaxed);
  const uint64_t totalBytes = progress_->TotalBytes.load(std::memory_order_relaxed);
  fileBar_->setValue(static_cast<int>(ProgressPercent(fileDone, fileSize)));
  totalBar_->setValue(static_cast<int>(ProgressPercent(totalDone, totalBytes)));
  const double rate = TransferRate(totalDone, elapsedWholeSeconds);
  rate_->setText(QString::fromStdString(RateText(rate)));
  timeLeft_->setText(QString::fromStdString(TimeLeftText(fileSize, fileDone, totalBytes, totalDone, rate)));
}

void CFileTransferDlg::reject() {
  // The worker sees the flag after its current block and closes the window.
  if (progress_) progress_->Cancelled.store(true);
}

void CFileTransferDlg::closeEvent(QCloseEvent* event) {
  reject();
  event->ignore();
}

}  // namespace veltrim::ui
