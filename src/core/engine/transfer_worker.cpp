#include "core/engine/transfer_worker.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>
#include <unordered_set>

#include "core/engine/engine_flags.h"
#include "core/engine/error_ids.h"
#include "core/engine/ftp_session.h"
#include "core/engine/local_file.h"
#include "core/engine/session_state.h"
#include "core/engine/transfer_figures.h"
#include "core/engine/transfer_progress.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_file.h"
#include "core/ftp/internet_session.h"

namespace veltrim::engine {

namespace {

// The window hears about moving counters at most this often.
constexpr std::chrono::milliseconds kProgressInterval{100};
constexpr std::size_t kCopyBufferSize = 4096;

enum class ItemOutcome { Completed, Failed, Cancelled };

class TransferRun {
 public:
  explicit TransferRun(const TransferRunRequest& request)
      : request_(request), state_(*request.state), host_(*request.state->host) {}

  void Run();

 private:
  void FillList();
  std::optional<TransferItem> TakeHead();
  void ClearQueue();
  ItemOutcome Transfer(const TransferItem& item, int32_t row);
  // Reports a failure (its error box, then the exception's text) unless the
  // run is being torn down, and keeps it as the runs' last failure.
  void ReportError(uint32_t id, const std::exception& failure);
  void HandleCancel();
  void AppendUploadedEntry(const TransferItem& item);
  void Progressed(bool force);
  // Background runs, queue found empty: the run ends unless items were
  // queued meanwhile. Decided under the lock that ProcessQueue takes to see
  // whether a run is still going, so no item is left behind unnoticed.
  bool BeginClosing();

  TransferRunRequest request_;
  SessionState& state_;
  SessionHost& host_;
  std::shared_ptr<TransferProgress> progress_ = std::make_shared<TransferProgress>();
  std::unordered_set<std::string> shownSources_;
  std::chrono::steady_clock::time_point lastProgress_{};
};

void TransferRun::FillList() {
  std::vector<TransferItem> added;
  {
    std::lock_guard lock(state_.queueMutex);
    for (const TransferItem& item : state_.queue) {
      if (shownSources_.insert(item.Source).second) added.push_back(item);
    }
  }
  for (const TransferItem& item : added) {
    host_.AddTransferRow(FileNamePart(item.Source), item.IconIndex, item.Source);
    progress_->TotalBytes.fetch_add(item.Size, std::memory_order_relaxed);
  }
}

std::optional<TransferItem> TransferRun::TakeHead() {
  std::lock_guard lock(state_.queueMutex);
  if (state_.queue.empty()) return std::nullopt;
  TransferItem item = std::move(state_.queue.front());
  state_.queue.pop_front();
  return item;
}

void TransferRun::ClearQueue() {
  std::lock_guard lock(state_.queueMutex);
  state_.queue.clear();
}

void TransferRun::ReportError(uint32_t id, const std::exception& failure) {
  if (TransferAbort.load()) return;
  const std::string text = failure.what();
  {
    std::lock_guard lock(state_.mutex);
    state_.runs.LastFailure = FailureWithDetail(ErrorMessageText(id), text, id);
  }
  host_.ShowError(id);
  if (!text.empty()) host_.ShowMessageBox(text, "Error");
}

void TransferRun::Progressed(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (force || now - lastProgress_ >= kProgressInterval) {
    lastProgress_ = now;
    host_.TransferProgressed();
  }
}

ItemOutcome TransferRun::Transfer(const TransferItem& item, int32_t row) {
  const TransferType type = item.Binary ? TransferType::Binary : TransferType::Ascii;
  CFtpConnection& connection = *request_.connection;
  std::unique_ptr<CInternetFile> remote;
  std::unique_ptr<ReplacingFileWriter> localOut;
  std::unique_ptr<LocalFileReader> localIn;
  bool error = false;

  // Open both sides. A local file that cannot be created or read counts as a
  // failure of the data phase; for an upload it is opened first, so that an
  // unreadable source never truncates the remote file.
  if (item.IsDownload) {
    try {
      remote = connection.OpenFile(item.Source, FileAccess::Read, type);
    } catch (const std::exception& failure) {
      ReportError(kErrTransferOpen, failure);
      error = true;
    }
    if (!error) {
      try {
        localOut = std::make_unique<ReplacingFileWriter>(item.Destination);
      } catch (const LocalFileError& failure) {
        ReportError(kErrTransferData, failure);
        remote->Abort();
        remote.reset();
        error = true;
      }
    }
  } else {
    try {
      localIn = std::make_unique<LocalFileReader>(item.Source);
    } catch (const LocalFileError& failure) {
      ReportError(kErrTransferData, failure);
      error = true;
    }
    if (!error) {
      try {
        remote = connection.OpenFile(item.Destination, FileAccess::Write, type);
      } catch (const std::exception& failure) {
        ReportError(kErrTransferOpen, failure);
        error = true;
      }
    }
  }

  progress_->FileDone.store(0, std::memory_order_relaxed);
  progress_->FileSize.store(item.Size, std::memory_order_relaxed);
  host_.SetTransferFile(ShortenForTransferWindow(item.Source), ShortenForTransferWindow(item.Destination));
  state_.WriteLog("Transfering File: " + item.Source + " to " + item.Destination);
  host_.SelectTransferRow(row);
  host_.SetTransferRowImage(row, kRowImageTransferring);

  // A stored block size outside 256..4096 would overrun the buffer or, at 0,
  // never end a file.
  const std::size_t blockSize = static_cast<std::size_t>(
      std::clamp<int32_t>(state_.blockSize.load(), CFtpSession::kMinBlockSize, CFtpSession::kMaxBlockSize));
  char buffer[kCopyBufferSize];
  std::size_t moved = blockSize;
  try {
    while (!error && moved == blockSize && !progress_->Cancelled.load(std::memory_order_relaxed) &&
           !TransferAbort.load(std::memory_order_relaxed)) {
      if (state_.queueChanged.load(std::memory_order_relaxed) && state_.queueChanged.exchange(false)) FillList();
      if (item.IsDownload) {
        moved = remote->Read(buffer, blockSize);
        if (moved > 0) localOut->Write(buffer, moved);
      } else {
        moved = localIn->Read(buffer, blockSize);
        if (moved > 0) remote->Write(buffer, moved);
      }
      progress_->FileDone.fetch_add(moved, std::memory_order_relaxed);
      progress_->TotalDone.fetch_add(moved, std::memory_order_relaxed);
      Progressed(false);
    }
  } catch (const std::exception& failure) {
    ReportError(kErrTransferData, failure);
    error = true;
  }

  const bool cancelled = progress_->Cancelled.load() || TransferAbort.load();
  if (remote) {
    if (!error && !cancelled) {
      try {
        remote->Close();
        if (localOut) localOut->Commit();
      } catch (const std::exception& failure) {
        ReportError(kErrTransferData, failure);
        error = true;
      }
    }
    if (error || cancelled) remote->Abort();
    remote.reset();
  }
  if (localOut) localOut->Discard();  // no-op after a commit: the old file stays on failure
  localIn.reset();

  Progressed(true);
  host_.SetTransferRowImage(row, kRowImageFinished);
  state_.PlaySound(error ? "error.wav" : "download.wav");
  if (!item.IsDownload) AppendUploadedEntry(item);
  if (error) return ItemOutcome::Failed;
  return cancelled ? ItemOutcome::Cancelled : ItemOutcome::Completed;
}

bool TransferRun::BeginClosing() {
  std::lock_guard lock(state_.mutex);
  {
    std::lock_guard queueLock(state_.queueMutex);
    if (!state_.queue.empty()) return false;
  }
  state_.transferClosing = true;
  return true;
}

void TransferRun::AppendUploadedEntry(const TransferItem& item) {
  ListingEntry entry;
  entry.Name = FileNamePart(item.Destination);
  entry.Path = item.Destination;
  entry.Size = item.Size;
  entry.Modified = std::time(nullptr);
  entry.IsDirectory = false;
  entry.IsNormal = true;
  // The listing belongs to the window thread; the task shares the state so
  // it stays valid even when the session is gone by the time it runs. It may
  // run inside the pump of a ListDirectory wait, whose worker installs its
  // entries under the same lock.
  host_.RunOnWindowThread([state = request_.state, entry = std::move(entry)]() mutable {
    std::lock_guard lock(state->mutex);
    state->listing.Entries.push_back(std::move(entry));
  });
}

void TransferRun::HandleCancel() {
  if (state_.alwaysCancelQueue.load()) {
    ClearQueue();
    return;
  }
  if (state_.neverCancelQueue.load()) {
    progress_->Cancelled.store(false);
    return;
  }
  const CancelTransferAnswer answer = host_.AskCancelTransfer();
  if (answer.CancelQueue) {
    ClearQueue();
  } else {
    progress_->Cancelled.store(false);
  }
  if (answer.AlwaysCancel) {
    state_.alwaysCancelQueue.store(true);
    host_.RememberCancelAnswer(RememberedCancel::AlwaysCancel);
  } else if (answer.NeverCancel) {
    state_.neverCancelQueue.store(true);
    host_.RememberCancelAnswer(RememberedCancel::NeverCancel);
  }
}

void TransferRun::Run() {
  host_.OpenTransferWindow(progress_);
  FillList();
  bool stop = false;
  int32_t row = 0;
  uint64_t completed = 0, failed = 0, cancelled = 0;
  while (!stop && !progress_->Cancelled.load() && !TransferAbort.load()) {
    if (state_.queueChanged.exchange(false)) FillList();
    std::optional<TransferItem> item = TakeHead();
    if (!item) {
      if (request_.background && !BeginClosing()) continue;
      break;
    }
    switch (Transfer(*item, row++)) {
      case ItemOutcome::Completed: ++completed; break;
      case ItemOutcome::Failed: ++failed; stop = true; break;
      case ItemOutcome::Cancelled: ++cancelled; break;
    }
    if (progress_->Cancelled.load() && !TransferAbort.load()) HandleCancel();
  }

  if (TransferAbort.load()) {
    // Torn down (a disconnect): only the window goes. A ProcessQueue that
    // waits for this run is still released, or its wait would never end.
    host_.CloseTransferWindow();
    if (!request_.background) state_.Finish(request_.operationId, false, {}, true);
    return;
  }
  state_.imageListReady.store(false);
  state_.WriteLog("Transfer Thread Ended");
  host_.CloseTransferWindow();
  {
    std::lock_guard lock(state_.mutex);
    ++state_.runs.Runs;
    state_.runs.Completed += completed;
    state_.runs.Failed += failed;
    state_.runs.Cancelled += cancelled;
  }
  if (request_.background) {
    // Closed last: ProcessQueue starts the next run only after this one has
    // made all its calls to the host.
    std::shared_ptr<CFtpConnection> connection;
    std::shared_ptr<CInternetSession> session;
    {
      std::lock_guard lock(state_.mutex);
      connection = std::move(state_.transferConnection);
      session = std::move(state_.transferSession);
      state_.transferClosing = false;
    }
    if (connection) connection->Close();
    if (session) session->Close();
    state_.wake.notify_all();
  } else {
    state_.Finish(request_.operationId, false, {}, true);
  }
}

}  // namespace

void RunTransferQueue(const TransferRunRequest& request) {
  if (!request.connection) {
    // Not connected: nothing can move; the items stay queued and the run
    // counts as failed, so the command that started it says so.
    if (!request.background) request.state->Finish(request.operationId, true, {}, true);
    return;
  }
  TransferRun(request).Run();
}

}  // namespace veltrim::engine
