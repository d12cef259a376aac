// The transfer queue: adding items, sizes, and starting a run.
#include <sys/stat.h>

#include "core/engine/engine_flags.h"
#include "core/engine/error_ids.h"
#include "core/engine/ftp_session.h"
#include "core/engine/session_operation.h"
#include "core/engine/session_state.h"
#include "core/engine/session_tls.h"
#include "core/engine/transfer_worker.h"
#include "core/engine/worker_thread.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/ftp_file_find.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_session.h"

namespace veltrim {

namespace {
constexpr std::chrono::milliseconds kPumpInterval{5};
using StatePtr = std::shared_ptr<engine::SessionState>;
using ConnectionPtr = std::shared_ptr<CFtpConnection>;
}  // namespace

bool CFtpSession::IsBinaryTransfer(const std::string& name) const {
  return IsBinaryTransferFor(name, autoMode_, binaryMode_, textExtensions_);
}

bool CFtpSession::AddToQueue(const std::string& source, const std::string& destination, bool download,
                             uint64_t size, bool binary) {
  if (!state_->imageListReady.load()) {
    host_->PrepareFileIcons();
    state_->imageListReady.store(true);
  }
  const FileTypeInfo type = host_->FileTypeOf(source);
  TransferItem item;
  item.Source = source;
  item.Destination = destination;
  item.TypeText = type.TypeText.empty() ? FallbackTypeText(source) : type.TypeText;
  item.IconIndex = item.TypeText == "Application" ? kIconApplication : type.IconIndex;
  item.IsDownload = download;
  item.Binary = binary;
  item.Size = size != 0 ? size : (download ? RemoteFileSize(source) : LocalFileSize(source));
  std::lock_guard lock(state_->queueMutex);
  state_->queue.push_back(std::move(item));
  return true;
}

void CFtpSession::ClearQueue() {
  std::lock_guard lock(state_->queueMutex);
  state_->queue.clear();
}

std::vector<TransferItem> CFtpSession::QueueSnapshot() const {
  std::lock_guard lock(state_->queueMutex);
  return {state_->queue.begin(), state_->queue.end()};
}

std::size_t CFtpSession::QueueLength() const {
  std::lock_guard lock(state_->queueMutex);
  return state_->queue.size();
}

uint64_t CFtpSession::RemoteFileSize(const std::string& path) {
  // A search on the server: it runs on a worker like every other call on the
  // main connection, while this thread keeps the window served.
  auto found = std::make_shared<uint64_t>(1);
  Operation operation;
  operation.work = [path, found](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    uint64_t length = 1;
    if (connection) {
      try {
        CFtpFileFind finder(*connection);
        if (finder.FindFile(path, 0)) {
          bool more = true;
          while (more) {
            more = finder.FindNextFile();
            length = finder.GetLength();
          }
        }
      } catch (const std::exception&) {
        length = 1;
      }
    }
    state->Finish(id, false, [&] { *found = length; });
  };
  RunOperation(operation);
  return *found;
}

uint64_t CFtpSession::LocalFileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 1;
  return S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
}

bool CFtpSession::OpenTransferConnection() {
  // Opened on a worker: a server that is slow to answer must not freeze the
  // window. What went wrong comes back in LastFailure for the boxes shown here.
  Operation operation;
  operation.work = [settings = settings_, timeout = EffectiveNetworkTimeout(),
                    target = engine::ConnectTargetFor(settings_, useTlsWhenOffered_, state_)](
                       const StatePtr& state, uint64_t id, const ConnectionPtr&) {
    auto session = std::make_shared<CInternetSession>();
    try {
      session->SetTimeout(timeout);
      session->SetTls(target.tls);
      std::shared_ptr<CFtpConnection> connection =
          session->GetFtpConnection(target.host, settings.Username, settings.Password, target.port, true);
      const bool kept = state->Finish(id, false, [&] {
        state->transferSession = session;
        state->transferConnection = connection;
      });
      if (!kept) {
        // Nobody waits for it any more: the session was given up meanwhile.
        connection->Close();
        session->Close();
      }
    } catch (const std::exception& error) {
      state->Fail(id,
                  FailureWithDetail(ErrorMessageText(kErrTransferConnection), error.what(), kErrTransferConnection));
    }
  };
  if (RunOperation(operation) && state_->done.load()) return true;
  if (!OperationAbort.load() && state_->done.load()) {
    const std::string& detail = LastFailure().Detail();
    if (!detail.empty()) {
      host_->ShowError(kErrTransferConnection);
      host_->ShowMessageBox("Error connecting to host: " + detail, "Error Connecting");
    } else {
      host_->ShowMessageBox("An unknown error has occured while trying to connect to host.", "Error Connecting");
    }
  }
  return false;
}

bool CFtpSession::ProcessQueue(bool newConnection) {
  if (QueueLength() == 0) return true;

  // A background run is going: it picks the new items up. One that is just
  // ending is waited for (pumping), then a new run starts.
  for (;;) {
    {
      std::lock_guard lock(state_->mutex);
      if (!state_->transferConnection && !state_->transferSession) break;
      if (!state_->transferClosing) {
        state_->queueChanged.store(true);
        return true;
      }
    }
    host_->PumpMessages();
    std::unique_lock lock(state_->mutex);
    state_->wake.wait_for(lock, kPumpInterval);
  }
  RetireWorker(transferWorker_);

  // A second connection that cannot be opened leaves the run on the main
  // one; a session given up while it was being opened runs nothing.
  if (newConnection && !OpenTransferConnection() && OperationAbort.load()) return false;

  TransferAbort.store(false);
  state_->done.store(false);
  state_->failed.store(false);
  ++runningCount_;
  engine::TransferRunRequest request;
  request.state = state_;
  {
    std::lock_guard lock(state_->mutex);
    request.background = state_->transferConnection != nullptr;
    request.connection = request.background ? state_->transferConnection : state_->mainConnection;
    request.operationId = ++state_->operationId;
    state_->waiting = !request.background;
  }
  auto worker = std::make_unique<engine::WorkerThread>([request] { engine::RunTransferQueue(request); });
  if (request.background) {
    transferWorker_ = std::move(worker);
    --runningCount_;
    return !state_->failed.load();
  }
  RetireWorker(worker_);
  worker_ = std::move(worker);
  WaitForWorker(state_, false);
  {
    std::lock_guard lock(state_->mutex);
    state_->waiting = false;
  }
  --runningCount_;
  worker_->Release(state_->done.load() ? std::chrono::milliseconds(2000) : std::chrono::milliseconds(0));
  worker_.reset();
  return !state_->failed.load();
}

}  // namespace veltrim
