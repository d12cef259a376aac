// Recursive download and upload: walk a tree depth first, create the
// directories on the receiving side at once and queue one item per file.
#include <algorithm>
#include <filesystem>

#include "core/engine/engine_flags.h"
#include "core/engine/error_ids.h"
#include "core/engine/ftp_session.h"
#include "core/engine/remote_listing.h"
#include "core/engine/safe_local_path.h"
#include "core/engine/session_operation.h"
#include "core/engine/session_state.h"
#include "core/ftp/remote_path.h"

namespace veltrim {

namespace {

std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

struct LocalEntry {
  std::string name;
  std::string path;
  uint64_t size = 0;
  bool directory = false;
  bool symlinkToDirectory = false;
  bool regular = false;
};

// The folder's entries sorted by name, so that a walk queues in a stable order.
std::vector<LocalEntry> ListLocalFolder(const std::string& folder) {
  std::vector<LocalEntry> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, std::filesystem::directory_options::skip_permission_denied, error);
  if (error) return entries;
  for (const std::filesystem::directory_entry& item : it) {
    LocalEntry entry;
    entry.name = item.path().filename().string();
    entry.path = item.path().string();
    std::error_code statusError;
    const bool isLink = item.is_symlink(statusError);
    const bool isDirectory = item.is_directory(statusError);
    entry.directory = isDirectory && !isLink;
    entry.symlinkToDirectory = isDirectory && isLink;
    entry.regular = item.is_regular_file(statusError);
    if (entry.regular) {
      const auto size = item.file_size(statusError);
      entry.size = statusError ? 0 : static_cast<uint64_t>(size);
    }
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const LocalEntry& a, const LocalEntry& b) { return a.name < b.name; });
  return entries;
}

// How long a walk may go on queueing without serving the window.
constexpr std::chrono::milliseconds kWalkPumpInterval{10};

}  // namespace

std::vector<ListingEntry> CFtpSession::ListForWalk() {
  auto entries = std::make_shared<std::vector<ListingEntry>>();
  Operation operation;
  operation.work = [entries](const std::shared_ptr<engine::SessionState>& state, uint64_t id,
                             const std::shared_ptr<CFtpConnection>& connection) {
    std::vector<ListingEntry> listed;
    if (connection) listed = ListCurrentDirectory(*connection, &OperationAbort);
    state->Finish(id, false, [&] { *entries = std::move(listed); });
  };
  RunOperation(operation);
  return std::move(*entries);
}

void CFtpSession::KeepWindowServedDuringWalk() {
  if (std::chrono::steady_clock::now() - lastWalkPump_ < kWalkPumpInterval) return;
  if (host_->PumpMessages()) SetStopAdding(true);
  lastWalkPump_ = std::chrono::steady_clock::now();
}

void CFtpSession::DownloadDirectory(const std::string& remoteDir, const std::string& localFolder, bool download) {
  if (StopAdding() || remoteDir == "." || remoteDir == "..") return;
  const std::string leaf = ftp::RemoteBaseName(remoteDir);  // empty for the root
  DownloadTree(remoteDir, leaf, WithTrailingSlash(localFolder), WithTrailingSlash(localFolder), download, 0);
}

void CFtpSession::DownloadTree(const std::string& remoteDir, const std::string& leaf, const std::string& localFolder,
                               const std::string& root, bool download, int depth) {
  if (StopAdding() || remoteDir == "." || remoteDir == "..") return;
  if (depth > kMaxTreeDepth) {
    WriteLog("Skipping " + PrintableName(remoteDir) + ": the directory tree is too deep.");
    return;
  }
  // The root of the remote side ("/") maps onto the chosen folder itself.
  if (!leaf.empty() && !IsSafeLocalName(leaf)) {
    WriteLog("Skipping unsafe name from the server: " + PrintableName(leaf));
    return;
  }
  const std::string target = leaf.empty() ? localFolder : localFolder + leaf + "/";
  if (!IsInsideFolder(target, root)) {
    WriteLog("Skipping unsafe name from the server: " + PrintableName(leaf));
    return;
  }
  std::error_code ignored;  // an existing folder is fine
  std::filesystem::create_directory(target, ignored);

  // A directory that cannot be entered is not listed: listing the directory
  // we are still in would walk it again, without end.
  if (!ChangeDirectory(remoteDir)) {
    WriteLog("Skipping " + PrintableName(remoteDir) + ": the directory cannot be entered.");
    return;
  }
  const std::vector<ListingEntry> work = ListForWalk();

  for (const ListingEntry& entry : work) {
    KeepWindowServedDuringWalk();
    if (StopAdding()) break;
    if (entry.Name == "." || entry.Name == "..") continue;
    if (!IsSafeLocalName(entry.Name) || !IsInsideFolder(target + entry.Name, root)) {
      WriteLog("Skipping unsafe name from the server: " + PrintableName(entry.Name));
      continue;
    }
    if (entry.IsDirectory) {
      DownloadTree(entry.Path, entry.Name, target, root, download, depth + 1);
    } else {
      AddToQueue(entry.Path, target + entry.Name, download, entry.Size, IsBinaryTransfer(entry.Path));
    }
  }
}

bool CFtpSession::UploadDirectory(const std::string& localFolder, const std::string& remoteDir, bool download) {
  return UploadTree(localFolder, remoteDir, download, 0);
}

bool CFtpSession::UploadTree(const std::string& localFolder, const std::string& remoteDir, bool download,
                             int depth) {
  if (StopAdding()) return false;
  if (localFolder == "." || localFolder == "..") return true;
  if (depth > kMaxTreeDepth) {
    WriteLog("Skipping " + PrintableName(localFolder) + ": the directory tree is too deep.");
    return true;
  }
  std::string target = remoteDir + "/";
  if (target.size() >= 2 && target.compare(target.size() - 2, 2, "//") == 0) target.pop_back();

  const std::string& current = CurrentDir();
  const std::string currentTarget = current == "/" ? std::string("/") : current + "/";
  if (target != currentTarget && target != "/") {
    const std::string directory = target.substr(0, target.size() - 1);
    // An existing directory is merged into.
    if (!MakeDirectory(directory)) {
      FailureReason refused = LastFailure();
      if (!RemoteDirectoryExists(directory)) {
        state_->lastFailure = std::move(refused);  // the MKD's reason, not the check's
        host_->ShowError(kErrCreateDirectory);
        return false;
      }
    }
  }

  for (const LocalEntry& entry : ListLocalFolder(localFolder)) {
    KeepWindowServedDuringWalk();
    if (StopAdding()) break;
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.directory) {
      if (!UploadTree(entry.path, target + entry.name, download, depth + 1)) return false;
    } else if (entry.symlinkToDirectory) {
      // Following links to folders could walk in a circle.
      WriteLog("Skipping " + PrintableName(entry.path) + ": a link to a folder.");
    } else if (entry.regular) {
      AddToQueue(entry.path, target + entry.name, download, entry.size, IsBinaryTransfer(entry.path));
    } else {
      // A pipe or device would block the transfer forever.
      WriteLog("Skipping " + PrintableName(entry.path) + ": not a regular file.");
    }
  }
  return true;
}

}  // namespace veltrim
