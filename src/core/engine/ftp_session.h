#pragma once
// CFtpSession: the one object that owns a live FTP connection. Every remote
// operation is a method that runs its FTP call on a short-lived worker thread
// while the calling (window) thread keeps pumping the host's messages until
// the worker reports Done or Failed; the method then returns a success flag.
//
// Threads: all methods are called from one thread, the window thread. Workers
// share only a reference-counted state block with the session, so a worker
// that finishes after its session was destroyed touches nothing freed.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/failure_reason.h"
#include "core/engine/listing.h"
#include "core/engine/log_sink.h"
#include "core/engine/session_host.h"
#include "core/engine/transfer_item.h"
#include "core/ftp/tls_options.h"
#include "core/profile/server_settings.h"

namespace veltrim {

namespace engine {
struct SessionState;
class WorkerThread;
}  // namespace engine

// How the transfer runs of this session went (for callers that need more than
// ProcessQueue's true, e.g. a script's exit status).
struct TransferRunSummary {
  uint64_t Runs = 0;        // runs that ended
  uint64_t Completed = 0;   // files moved completely
  uint64_t Failed = 0;      // files that could not be opened or broke off
  uint64_t Cancelled = 0;   // files cancelled in the File Transfer window
  FailureReason LastFailure;  // why the last file that failed did (its error box)
};

class CFtpSession {
 public:
  // The password sent for an anonymous login.
  static constexpr const char* kAnonymousPassword = "veltrimftp-user@example.net";
  static constexpr int32_t kDefaultBlockSize = 1024;
  static constexpr int32_t kMinBlockSize = 256;
  static constexpr int32_t kMaxBlockSize = 4096;

  // host: not null (std::invalid_argument otherwise); shared with the
  // workers, so it lives as long as the last of them.
  explicit CFtpSession(std::shared_ptr<SessionHost> host);
  virtual ~CFtpSession();
  CFtpSession(const CFtpSession&) = delete;
  CFtpSession& operator=(const CFtpSession&) = delete;

  // ---- set-up and queries ----
  // Copies the profile and logs "Opening connection information for: " + Name.
  bool SetServerSettings(const ServerSettings& settings);
  const ServerSettings& Settings() const { return settings_; }
  // The session log; none attached: WriteLog does nothing.
  void SetLogSink(std::shared_ptr<LogSink> sink);
  void WriteLog(const std::string& line);

  void SetBinaryMode(bool binary) { binaryMode_ = binary; }
  bool BinaryMode() const { return binaryMode_; }
  void SetAutoMode(bool autoMode) { autoMode_ = autoMode; }
  bool AutoMode() const { return autoMode_; }
  void SetPlaySounds(bool play);
  bool PlaySounds() const;
  // Stored as given; the transfer loop clamps it to 256..4096 when it runs.
  void SetBlockSize(int32_t blockSize);
  int32_t BlockSize() const;
  // Extensions treated as text in Auto mode, ending with an empty entry.
  void SetTextExtensions(std::vector<std::string> extensions) { textExtensions_ = std::move(extensions); }
  const std::vector<std::string>& TextExtensions() const { return textExtensions_; }
  void SetAlwaysCancelQueue(bool value);
  bool AlwaysCancelQueue() const;
  void SetNeverCancelQueue(bool value);
  bool NeverCancelQueue() const;
  // Deadline of every network wait of connections opened afterwards. By
  // default the profile's Timeout (clamped to the profile bounds; 0 or less
  // means 60 s) plus a little, so that the frame's watchdog fires first.
  void SetNetworkTimeout(std::chrono::milliseconds timeout) { networkTimeout_ = timeout; }
  // A profile whose Hostname has no scheme: ask for TLS and go on in plain
  // only when the server refuses it ("Use TLS when the server offers it").
  // Off until a front end sets it from its preference.
  void SetUseTlsWhenOffered(bool use) { useTlsWhenOffered_ = use; }
  bool UseTlsWhenOffered() const { return useTlsWhenOffered_; }
  // Where certificates trusted always are kept (default: the config folder's file).
  void SetKnownCertificatesFile(const std::string& path);
  // What protects the main connection (not encrypted before a login).
  ftp::TlsStatus Security() const;

  bool IsConnected() const { return connected_; }
  bool IsBusy() const { return runningCount_.load() > 0; }
  bool IsTransferConnected() const;  // a background transfer is running
  int32_t ConnectAttempt() const { return connectAttempt_; }

  // Outcome flags of the last operation. The frame raises Failed to end a
  // wait (watchdog, disconnect).
  bool Done() const;
  bool Failed() const;
  void SetFailed();
  // Gives up the running login attempt (the frame's watchdog, or its
  // disconnect while an operation waits): raises OperationAbort, Failed,
  // TransferAbort, StopAdding and the attempt's AttemptCancelled, so every
  // wait and every tree walk ends.
  void AbandonAttempt();

  // Why the last login attempt, directory operation, file read or
  // UploadDirectory failed; IsSet() is false after one that succeeded.
  // Transfers report theirs in TransferRuns(). Window thread.
  const FailureReason& LastFailure() const;

  // Ends a recursive tree walk early; the "Adding files to Queue" box's
  // Cancel sets it. Cleared by the caller before a walk.
  void SetStopAdding(bool stop);
  bool StopAdding() const;
  std::atomic<bool>& StopAddingFlag();

  // ---- login and logout ----
  bool Connect(int32_t attempt);
  void Stop();
  // The main connection of a logged-in session can no longer be used: an
  // operation found it closed or reset by the server, answered with 421, or
  // without a reply in time; or the server has closed it since the last
  // operation (an idle time-out). Does not wait. Window thread.
  bool ConnectionLost() const;
  // After ConnectionLost: lets the dead connection go, logs in again with the
  // profile (one attempt, with its Please Wait box) and changes back to the
  // directory the session was in. True when logged in again in that
  // directory. False when the login failed (LastFailure says why; the
  // session is then not connected) or that directory could not be entered
  // again (still logged in; CurrentDir says where).
  bool Reconnect();

  // ---- directory operations (main connection) ----
  // Lists the current directory into Listing(); never fails.
  bool ListDirectory();
  // The last listing; valid until the next ListDirectory or destruction.
  // Callers may append entries (window thread only).
  DirectoryListing& Listing();
  const DirectoryListing& Listing() const;
  bool ChangeDirectory(const std::string& path);
  bool MakeDirectory(const std::string& path);
  bool RemoveDirectory(const std::string& path);
  bool RenameFile(const std::string& oldName, const std::string& newName);
  bool DeleteFile(const std::string& name);
  // Asks the server; returns CurrentDir (unchanged when the call failed).
  std::string GetCurrentDirectory();
  const std::string& CurrentDir() const;
  // A small remote text file, read whole in ASCII mode (capped at
  // kMaxTextFileBytes); empty when it cannot be opened.
  std::string ReadTextFile(const std::string& path);
  const std::string& TextFileContent() const;
  static constexpr uint64_t kMaxTextFileBytes = 16u << 20;
  // Copies one remote file (ASCII mode) to a local file.
  bool RetrieveFile(const std::string& remotePath, const std::string& localPath);

  // ---- transfer queue ----
  // source, destination, direction (true = download), size (0 = unknown), type.
  bool AddToQueue(const std::string& source, const std::string& destination, bool download, uint64_t size,
                  bool binary);
  void ClearQueue();
  std::vector<TransferItem> QueueSnapshot() const;
  std::size_t QueueLength() const;
  // Runs the queue: on a second connection in the background when asked and
  // possible, else on the main connection while this thread waits.
  bool ProcessQueue(bool newConnection);
  TransferRunSummary TransferRuns() const;
  bool IsBinaryTransfer(const std::string& name) const;
  // Sizes for AddToQueue; 1 when nothing is found. RemoteFileSize asks the
  // server on a worker while the window is served.
  uint64_t RemoteFileSize(const std::string& path);
  uint64_t LocalFileSize(const std::string& path);

  // ---- directory trees ----
  // Queues every file of a remote tree for download into
  // localFolder/<last component of remoteDir>/..., creating the folders.
  // Names that could lead outside localFolder are skipped and logged.
  void DownloadDirectory(const std::string& remoteDir, const std::string& localFolder, bool download = true);
  // Queues every file of a local tree for upload into remoteDir, creating
  // (or merging into) the remote directories. False when a remote directory
  // could not be made (after the error box 61204) or StopAdding was set.
  bool UploadDirectory(const std::string& localFolder, const std::string& remoteDir, bool download = false);

  // Deepest level a tree walk descends to; deeper directories are skipped and logged.
  static constexpr int kMaxTreeDepth = 64;

 private:
  struct Operation;
  bool RunOperation(Operation& operation);
  bool WaitForWorker(const std::shared_ptr<engine::SessionState>& state, bool pleaseWait);
  void DownloadTree(const std::string& remoteDir, const std::string& leaf, const std::string& localFolder,
                    const std::string& root, bool download, int depth);
  bool UploadTree(const std::string& localFolder, const std::string& remoteDir, bool download, int depth);
  bool RemoteDirectoryExists(const std::string& path);
  // Opens the second connection for a transfer run on a worker; false (after
  // its boxes, unless the session is being given up) when it cannot.
  bool OpenTransferConnection();
  // The current remote directory's entries for a tree walk, read on a worker.
  std::vector<ListingEntry> ListForWalk();
  // Serves the window now and then while a walk queues many files without a
  // network call in between; a quit request stops the walk.
  void KeepWindowServedDuringWalk();
  std::chrono::milliseconds EffectiveNetworkTimeout() const;
  void ReleaseWorkers(std::chrono::milliseconds grace);
  // Joins a worker that has ended, detaches one that still runs (it owns
  // what it touches).
  static void RetireWorker(std::unique_ptr<engine::WorkerThread>& worker);

  std::shared_ptr<SessionHost> host_;
  std::shared_ptr<engine::SessionState> state_;
  std::unique_ptr<engine::WorkerThread> worker_;          // the running operation's worker
  std::unique_ptr<engine::WorkerThread> transferWorker_;  // the background transfer's worker

  ServerSettings settings_;
  std::vector<std::string> textExtensions_;
  bool binaryMode_ = true;
  bool autoMode_ = false;
  bool connected_ = false;
  bool imageListReady_ = false;
  int32_t connectAttempt_ = 0;
  std::atomic<int32_t> runningCount_{0};
  std::chrono::milliseconds networkTimeout_{0};  // 0: from the profile
  std::chrono::steady_clock::time_point lastWalkPump_{};
  bool useTlsWhenOffered_ = false;
};

// The default text extensions, ending with the empty entry.
std::vector<std::string> DefaultTextExtensions();

// The transfer-type decision: binaryMode when autoMode is off; otherwise
// ASCII (false) when the lower-cased extension (from the last ".") is in
// extensions before its empty end entry, binary (true) otherwise.
bool IsBinaryTransferFor(const std::string& name, bool autoMode, bool binaryMode,
                         const std::vector<std::string>& extensions);

// The type text when the shell gives none: the part after the last "." (not
// looking at the first character), upper-cased, and " File"; "File" when
// there is no such ".".
std::string FallbackTypeText(const std::string& source);

}  // namespace veltrim
