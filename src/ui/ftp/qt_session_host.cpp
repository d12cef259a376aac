#include "ui/ftp/qt_session_host.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>

#include "core/engine/transfer_figures.h"
#include "core/engine/transfer_progress.h"
#include "ui/app/error_box.h"
#include "ui/app/sound_player.h"
#include "ui/dialogs/cancel_transfer_dlg.h"
#include "ui/dialogs/certificate_dlg.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/dialogs/please_wait_dlg.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/file_transfer_dlg.h"
#include "ui/views/file_type_names.h"

namespace veltrim::ui {

namespace {

std::atomic<bool> g_quitRequested{false};

// Sees the application's quit request go by (it is not swallowed: the main
// loop still ends on it once the running wait has returned).
class QuitWatcher final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance())
      g_quitRequested.store(true);
    return false;
  }
};

// How long one pump may run before the engine looks at its flags again.
constexpr int kPumpSliceMs = 10;
// How long the window thread spends on the transfer window's calls before it
// serves everything else again.
constexpr int kTransferWindowSliceMs = 8;

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool QuitRequested() { return g_quitRequested.load(); }

void WatchForQuit() {
  static QuitWatcher* watcher = nullptr;
  QCoreApplication* app = QCoreApplication::instance();
  if (watcher != nullptr || app == nullptr) return;
  watcher = new QuitWatcher;
  watcher->setParent(app);
  app->installEventFilter(watcher);
  QObject::connect(app, &QCoreApplication::aboutToQuit, [] { g_quitRequested.store(true); });
}

QtSessionHost::QtSessionHost(QWidget* owner) : owner_(owner) {
  WatchForQuit();
  PrepareFileIcons();
}

QtSessionHost::~QtSessionHost() {
  delete pleaseWait_.data();
  delete transfer_.data();
}

CPleaseWaitDlg* QtSessionHost::PleaseWaitBox() const { return pleaseWait_.data(); }
CFileTransferDlg* QtSessionHost::TransferWindow() const { return transfer_.data(); }

bool QtSessionHost::OnWindowThread() const { return QThread::currentThread() == thread(); }

void QtSessionHost::RunAndWait(const std::function<void()>& task) {
  if (OnWindowThread()) {
    task();
    return;
  }
  // The window thread serves this at its next pump (every few ms while an
  // operation waits) or in its main loop.
  QMetaObject::invokeMethod(this, [&task] { task(); }, Qt::BlockingQueuedConnection);
}

bool QtSessionHost::PumpMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpSliceMs);
  return QuitRequested();
}

std::string QtSessionHost::InputBox(const std::string& prompt, const std::string& caption,
                                    const std::string& defaultText, bool password) {
  const QString answer =
      password ? Prompts().Text(owner_, FromStd(prompt), FromStd(caption), FromStd(defaultText), true)
               : ui::InputBox(FromStd(prompt), FromStd(caption), FromStd(defaultText), owner_);
  return answer.toStdString();
}

void QtSessionHost::OpenPleaseWait(int32_t countdownSeconds, const std::string& text) {
  delete pleaseWait_.data();
  auto* box = new CPleaseWaitDlg(owner_);
  box->setAttribute(Qt::WA_DeleteOnClose, false);
  box->SetCountdown(countdownSeconds);
  box->SetMessageText(FromStd(text));
  box->UpdateControls();
  box->show();
  pleaseWait_ = box;
}

bool QtSessionHost::PleaseWaitCancelled() { return pleaseWait_ && pleaseWait_->IsCancelled(); }

void QtSessionHost::ClosePleaseWait() {
  if (!pleaseWait_) return;
  CPleaseWaitDlg* box = pleaseWait_.data();
  pleaseWait_.clear();
  box->hide();
  box->deleteLater();
}

void QtSessionHost::AttemptAborted() {
  if (attemptAborted_) attemptAborted_();
}

void QtSessionHost::PrepareFileIcons() {
  // Indexes 0..10 are the fixed images of the transfer window's rows.
  fileIcons_.assign(11, QIcon());
  fileIcons_[0] = FolderIcon();
  fileIcons_[kIconApplication] = ApplicationIcon();
  fileIcons_[2] = AliasIcon();
  fileIcons_[kRowImageFinished] = FinishedIcon();
  fileIcons_[kRowImageTransferring] = TransferringIcon();
}

FileTypeInfo QtSessionHost::FileTypeOf(const std::string& name) {
  // By the name alone, from the list's cache: a tree of many thousand files
  // asks the type database about as often as it has kinds of files.
  const QString fileName = FromStd(FileNamePart(name));
  const FileTypeAndIcon type = LookUpFileType(fileName);
  FileTypeInfo info;
  // The engine words a type the desktop does not know itself.
  if (type.typeText != GenericTypeText(fileName)) info.TypeText = type.typeText.toStdString();
  // The list is bounded by the items of one run; past 2^31 icons we reuse
  // the generic one rather than overflow the index.
  if (fileIcons_.size() < static_cast<size_t>(INT32_MAX)) {
    fileIcons_.push_back(type.icon);
    info.IconIndex = static_cast<int32_t>(fileIcons_.size() - 1);
  }
  return info;
}

void QtSessionHost::ShowError(uint32_t id) {
  RunAndWait([this, id] { ShowErrorBox(owner_, id); });
}

void QtSessionHost::ShowMessageBox(const std::string& text, const std::string& caption) {
  const QString message = FromStd(text);
  const QString title = FromStd(caption);
  RunAndWait([this, &message, &title] { ShowCritical(owner_, title, message); });
}

void QtSessionHost::PlaySound(const std::string& name) {
  const QString fileName = FromStd(name);
  RunOnWindowThread([fileName] { ui::PlaySound(fileName); });
}

void QtSessionHost::RunOnWindowThread(std::function<void()> task) {
  if (!task) return;
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void QtSessionHost::PostToTransferWindow(std::function<void()> call) {
  bool post;
  {
    std::lock_guard lock(windowCallsMutex_);
    windowCalls_.push_back(std::move(call));
    post = !windowCallsPosted_;
    windowCallsPosted_ = true;
  }
  if (post) QMetaObject::invokeMethod(this, [this] { ApplyTransferWindowCalls(); }, Qt::QueuedConnection);
}

void QtSessionHost::ApplyTransferWindowCalls() {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard lock(windowCallsMutex_);
      if (windowCalls_.empty()) {
        windowCallsPosted_ = false;
        return;
      }
      if (clock.elapsed() >= kTransferWindowSliceMs) {
        // The rest after whatever else is waiting (input, timers, paints).
        QMetaObject::invokeMethod(this, [this] { ApplyTransferWindowCalls(); }, Qt::QueuedConnection);
        return;
      }
      call = std::move(windowCalls_.front());
      windowCalls_.pop_front();
    }
    call();
  }
}

void QtSessionHost::DropTransferWindowCalls() {
  std::lock_guard lock(windowCallsMutex_);
  windowCalls_.clear();
}

void QtSessionHost::OpenTransferWindow(std::shared_ptr<TransferProgress> progress) {
  RunAndWait([this, &progress] {
    DropTransferWindowCalls();
    delete transfer_.data();
    auto* window = new CFileTransferDlg(std::move(progress), owner_);
    window->show();
    transfer_ = window;
  });
}

void QtSessionHost::CloseTransferWindow() {
  RunAndWait([this] {
    // Calls not yet applied were for the window that goes.
    DropTransferWindowCalls();
    if (!transfer_) return;
    CFileTransferDlg* window = transfer_.data();
    transfer_.clear();
    window->hide();
    window->deleteLater();
  });
}

void QtSessionHost::SetTransferFile(const std::string& source, const std::string& destination) {
  PostToTransferWindow([this, from = FromStd(source), to = FromStd(destination)] {
    if (transfer_) transfer_->SetFile(from, to);
  });
}

void QtSessionHost::AddTransferRow(const std::string& name, int32_t iconIndex, const std::string& source) {
  PostToTransferWindow([this, text = FromStd(name), iconIndex, full = FromStd(source)] {
    if (!transfer_) return;
    QIcon icon;
    if (iconIndex >= 0 && static_cast<size_t>(iconIndex) < fileIcons_.size())
      icon = fileIcons_[static_cast<size_t>(iconIndex)];
    transfer_->AddRow(text, icon, full);
  });
}

void QtSessionHost::SelectTransferRow(int32_t row) {
  PostToTransferWindow([this, row] {
    if (transfer_) transfer_->SelectRow(row);
  });
}

void QtSessionHost::SetTransferRowImage(int32_t row, int32_t image) {
  PostToTransferWindow([this, row, image] {
    if (!transfer_ || image < 0 || static_cast<size_t>(image) >= fileIcons_.size()) return;
    transfer_->SetRowIcon(row, fileIcons_[static_cast<size_t>(image)]);
  });
}

void QtSessionHost::TransferProgressed() {
  // The window reads the counters on its own 1500 ms clock.
}

CancelTransferAnswer QtSessionHost::AskCancelTransfer() {
  CancelTransferAnswer answer;
  RunAndWait([this, &answer] {
    CCancelTransferDlg dialog(transfer_ ? static_cast<QWidget*>(transfer_.data()) : owner_.data());
    answer.CancelQueue = RunModal(dialog) == QDialog::Accepted;
    answer.AlwaysCancel = dialog.Always() != 0;
    answer.NeverCancel = dialog.Never() != 0;
  });
  return answer;
}

CertificateAnswer QtSessionHost::AskCertificate(const CertificateQuestion& question) {
  CertificateAnswer answer = CertificateAnswer::Cancel;
  RunAndWait([this, &question, &answer] {
    if (certificateQuestion_) certificateQuestion_(true);
    CCertificateDlg dialog(question, owner_.data());
    answer = CCertificateDlg::AnswerFor(RunModal(dialog));
    if (certificateQuestion_) certificateQuestion_(false);
  });
  return answer;
}

void QtSessionHost::RememberCancelAnswer(RememberedCancel which) {
  RunOnWindowThread([this, which] {
    if (rememberCancel_) rememberCancel_(which);
  });
}

}  // namespace veltrim::ui
