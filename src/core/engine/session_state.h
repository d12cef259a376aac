#pragma once
// The part of a session that its workers share. Held by shared_ptr by the
// session and by every worker, so a worker that ends late writes into a block
// that is still alive, and only while its operation is still waited for.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "core/engine/ftp_session.h"
#include "core/engine/listing.h"
#include "core/engine/log_sink.h"
#include "core/engine/session_host.h"
#include "core/engine/transfer_item.h"
#include "core/ftp/tls_options.h"

namespace veltrim {
class CInternetSession;
class CFtpConnection;
}  // namespace veltrim

namespace veltrim::engine {

struct SessionState {
  explicit SessionState(std::shared_ptr<SessionHost> h) : host(std::move(h)) {}

  const std::shared_ptr<SessionHost> host;

  // Flags polled across threads.
  std::atomic<bool> done{false};
  std::atomic<bool> failed{false};
  std::atomic<bool> queueChanged{false};
  std::atomic<bool> stopAdding{false};
  std::atomic<bool> alwaysCancelQueue{false};
  std::atomic<bool> neverCancelQueue{false};
  std::atomic<bool> playSounds{true};
  std::atomic<bool> imageListReady{false};
  std::atomic<int32_t> blockSize{CFtpSession::kDefaultBlockSize};

  // Guards the fields below, the operation bookkeeping and the connections.
  std::mutex mutex;
  std::condition_variable wake;  // a worker finished
  uint64_t operationId = 0;      // the operation being waited for
  bool waiting = false;          // its caller still waits (results are wanted)
  std::shared_ptr<CInternetSession> mainSession;
  std::shared_ptr<CFtpConnection> mainConnection;
  std::shared_ptr<CInternetSession> transferSession;
  std::shared_ptr<CFtpConnection> transferConnection;
  bool transferClosing = false;  // the background run found the queue empty and is ending
  TransferRunSummary runs;
  // TLS: the known-certificates file, the certificates this session trusts
  // "this time" (server key and fingerprint; the second connection and later
  // attempts need not ask again), and what protects the main connection.
  std::string knownCertificatesPath;
  std::set<std::string> certificatesTrustedOnce;
  ftp::TlsStatus security;

  // The queue, shared by the window thread and the transfer worker.
  mutable std::mutex queueMutex;
  std::deque<TransferItem> queue;

  // Results read by the window thread. A worker writes them only inside
  // Finish (under `mutex`, while its caller waits and so does not read them).
  DirectoryListing listing;
  std::string currentDir;
  std::string textFileContent;
  FailureReason lastFailure;

  // Called by a worker as its last step. When its operation is still waited
  // for (and, unless ignoreOperationAbort, OperationAbort is clear): runs
  // commit, raises Failed when failed, raises Done. Returns whether it did.
  bool Finish(uint64_t id, bool failedResult, const std::function<void()>& commit = {},
              bool ignoreOperationAbort = false);

  // Finish as a failure, keeping its reason for LastFailure().
  bool Fail(uint64_t id, FailureReason reason);

  std::shared_ptr<CFtpConnection> MainConnection();

  void SetLog(std::shared_ptr<LogSink> sink);
  void WriteLog(const std::string& line);
  void PlaySound(const char* name);

 private:
  std::mutex logMutex_;
  std::shared_ptr<LogSink> log_;
};

}  // namespace veltrim::engine
