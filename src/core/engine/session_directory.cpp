// Directory operations and listing on the main connection, and the two small
// file readers (a text file into memory, one file to disk).
#include <ctime>
#include <functional>

#include "core/engine/engine_flags.h"
#include "core/engine/error_ids.h"
#include "core/engine/ftp_session.h"
#include "core/engine/local_file.h"
#include "core/engine/remote_listing.h"
#include "core/engine/session_operation.h"
#include "core/engine/session_state.h"
#include "core/ftp/ftp_connection.h"
#include "core/ftp/ftp_file_find.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_file.h"

namespace veltrim {

namespace {

using StatePtr = std::shared_ptr<engine::SessionState>;
using ConnectionPtr = std::shared_ptr<CFtpConnection>;

constexpr const char* kNotConnected = "Not connected.";

// The detail of a call that answered false: the server's reply when it
// refused (the thread's last error says so), or why nothing was sent.
void AddRefusalDetail(FailureReason& failure, const CFtpConnection& connection) {
  switch (GetLastInternetError()) {
    case kErrorExtendedError:
    case kErrorProtocol:
      failure.ServerReply = connection.LastReply();
      break;
    case kErrorInvalidArgument:
      failure.SystemText = "The name holds a line break or NUL character.";
      break;
    default:
      break;
  }
}

// One call on the connection that answers true or false. A refusal, a broken
// connection and a missing connection all fail the operation, with `failure`
// (what failed, in words) completed by the detail. commit installs the
// result of a call that succeeded.
template <typename Call>
void RunSimpleCall(const StatePtr& state, uint64_t id, const ConnectionPtr& connection, FailureReason failure,
                   Call call, const std::function<void()>& commit = {}) {
  try {
    if (!connection) {
      failure.SystemText = kNotConnected;
    } else if (call(*connection)) {
      state->Finish(id, false, commit);
      return;
    } else {
      AddRefusalDetail(failure, *connection);
    }
  } catch (const std::exception& error) {
    failure = FailureWithDetail(std::move(failure.Text), error.what(), failure.ErrorId);
  }
  state->Fail(id, std::move(failure));
}

FailureReason Failure(std::string text, uint32_t errorId = 0) {
  return MakeFailure(FailureKind::Error, std::move(text), errorId);
}

FailureReason Failure(uint32_t errorId) { return Failure(ErrorMessageText(errorId), errorId); }

ListingEntry EntryFromFinder(const CFtpFileFind& finder) {
  ListingEntry entry;
  entry.Modified = std::time(nullptr);
  std::time_t written;
  if (finder.GetLastWriteTime(written)) entry.Modified = written;
  entry.IsDirectory = finder.MatchesMask(kAttributeDirectory);
  entry.IsNormal = finder.MatchesMask(kAttributeNormal);
  entry.Name = finder.GetFileName();
  entry.Path = finder.GetFilePath();
  entry.Size = finder.GetLength();
  return entry;
}

// Reads what is left of a remote file in chunks (the result equals a
// one-byte-at-a-time copy), stopping at `limit` bytes or at OperationAbort.
// Returns false, with the reason in error, when a read or the sink failed or
// the file reached the limit.
template <typename Sink>
bool CopyRemote(CInternetFile& file, uint64_t limit, Sink sink, std::string& error) {
  char buffer[4096];
  uint64_t total = 0;
  try {
    while (!OperationAbort.load() && total < limit) {
      const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(sizeof buffer, limit - total));
      const std::size_t got = file.Read(buffer, want);
      if (got > 0) sink(buffer, got);
      total += got;
      if (got < want) return true;
    }
  } catch (const std::exception& failure) {
    error = failure.what();
    return false;
  }
  if (total < limit) return true;
  error = "The file is larger than " + std::to_string(limit) + " bytes.";
  return false;
}

}  // namespace

std::vector<ListingEntry> ListCurrentDirectory(CFtpConnection& connection, const std::atomic<bool>* abort) {
  std::vector<ListingEntry> entries;
  try {
    CFtpFileFind finder(connection);
    bool more = finder.FindFile({}, kFindNoCache);
    while (more) {
      if (abort && abort->load()) break;
      more = finder.FindNextFile();
      entries.push_back(EntryFromFinder(finder));
    }
    finder.Close();
  } catch (const std::exception&) {
  }
  return entries;
}

bool CFtpSession::ListDirectory() {
  DirectoryListing& listing = state_->listing;
  listing.Entries.clear();
  listing.Entries.shrink_to_fit();
  listing.Directory = state_->currentDir;
  listing.HasIndexFile = false;
  listing.HasMessageFile = false;
  Operation operation;
  operation.logLine = "Retrieving Directory: " + state_->currentDir;
  operation.work = [](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    std::vector<ListingEntry> entries;
    if (connection) entries = ListCurrentDirectory(*connection, &OperationAbort);
    if (OperationAbort.load()) return;
    state->Finish(id, false, [&] {
      DirectoryListing& target = state->listing;
      for (ListingEntry& entry : entries) {
        if (entry.Name == "00_index.txt") target.HasIndexFile = true;
        if (entry.Name == ".message") target.HasMessageFile = true;
        target.Entries.push_back(std::move(entry));
      }
    });
  };
  RunOperation(operation);
  return true;
}

bool CFtpSession::ChangeDirectory(const std::string& path) {
  Operation operation;
  operation.logLine = "Changing Directory to: " + path;
  // An empty target (a cancelled prompt) is not sent to the server.
  operation.work = [path](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure("Cannot change to the directory " + path + "."),
                  [&](CFtpConnection& c) { return !path.empty() && c.SetCurrentDirectory(path); });
  };
  return RunOperation(operation);
}

bool CFtpSession::MakeDirectory(const std::string& path) {
  const std::string target = path.rfind("//", 0) == 0 ? path.substr(1) : path;
  Operation operation;
  operation.logLine = "Making Directory: " + target;
  // A refusal by the server is a failure like any other.
  operation.work = [target](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure(kErrCreateDirectory),
                  [&](CFtpConnection& c) { return c.CreateDirectory(target); });
  };
  return RunOperation(operation);
}

bool CFtpSession::RemoveDirectory(const std::string& path) {
  Operation operation;
  operation.logLine = "Removing Directory: " + path;
  operation.work = [path](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure(kErrRemoveDirectory),
                  [&](CFtpConnection& c) { return c.RemoveDirectory(path); });
  };
  return RunOperation(operation);
}

bool CFtpSession::RenameFile(const std::string& oldName, const std::string& newName) {
  Operation operation;
  operation.logLine = "Renaming File: " + oldName + " to " + newName;
  operation.work = [oldName, newName](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure(kErrRenameFile),
                  [&](CFtpConnection& c) { return c.Rename(oldName, newName); });
  };
  return RunOperation(operation);
}

bool CFtpSession::DeleteFile(const std::string& name) {
  Operation operation;
  operation.logLine = "Deleting File: " + name;
  operation.work = [name](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure(kErrDeleteFile), [&](CFtpConnection& c) { return c.Remove(name); });
  };
  return RunOperation(operation);
}

std::string CFtpSession::GetCurrentDirectory() {
  Operation operation;
  operation.work = [](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    std::string directory;
    RunSimpleCall(
        state, id, connection, Failure("Cannot read the current directory."),
        [&](CFtpConnection& c) { return c.GetCurrentDirectory(directory); },
        [&] { state->currentDir = directory; });
  };
  RunOperation(operation);
  WriteLog("Current Directory: " + state_->currentDir);
  return state_->currentDir;
}

bool CFtpSession::RemoteDirectoryExists(const std::string& path) {
  Operation operation;
  operation.work = [path](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    RunSimpleCall(state, id, connection, Failure("Cannot change to the directory " + path + "."), [&](CFtpConnection& c) {
      std::string before;
      if (path.empty() || !c.GetCurrentDirectory(before)) return false;
      if (!c.SetCurrentDirectory(path)) return false;
      c.SetCurrentDirectory(before);
      return true;
    });
  };
  return RunOperation(operation);
}

std::string CFtpSession::ReadTextFile(const std::string& path) {
  state_->textFileContent.clear();
  Operation operation;
  operation.logLine = "Retrieving " + path;
  operation.work = [path](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    const std::string failed = "Cannot read " + path + ".";
    std::unique_ptr<CInternetFile> file;
    std::string error = kNotConnected;
    try {
      if (connection) file = connection->OpenFile(path, FileAccess::Read, TransferType::Ascii);
    } catch (const std::exception& failure) {
      error = failure.what();
    }
    if (!file) {
      state->Fail(id, FailureWithDetail(failed, error));
      return;
    }
    std::string text;
    const bool ok =
        CopyRemote(*file, kMaxTextFileBytes, [&](const char* data, std::size_t n) { text.append(data, n); }, error);
    if (ok) {
      try {
        file->Close();
      } catch (const std::exception&) {
      }
    } else {
      file->Abort();
    }
    state->Finish(id, !ok, [&] {
      state->textFileContent = std::move(text);
      if (!ok) state->lastFailure = FailureWithDetail(failed, error);
    });
  };
  RunOperation(operation);
  return state_->textFileContent;
}

bool CFtpSession::RetrieveFile(const std::string& remotePath, const std::string& localPath) {
  Operation operation;
  operation.logLine = "Retrieving file:" + remotePath;
  operation.work = [remotePath, localPath](const StatePtr& state, uint64_t id, const ConnectionPtr& connection) {
    std::unique_ptr<CInternetFile> file;
    std::unique_ptr<engine::ReplacingFileWriter> local;
    std::string openError;
    bool openFailed = false;
    try {
      if (!connection) throw CInternetException(kErrorOperationCancelled, kNotConnected);
      file = connection->OpenFile(remotePath, FileAccess::Read, TransferType::Ascii);
      local = std::make_unique<engine::ReplacingFileWriter>(localPath);
    } catch (const std::exception& error) {
      openFailed = true;
      openError = error.what();
    }
    if (openFailed) {
      state->host->ShowError(kErrTransferOpen);
      if (!openError.empty()) state->host->ShowMessageBox(openError, "Error");
      if (file) file->Abort();
      state->Fail(id, FailureWithDetail(ErrorMessageText(kErrTransferOpen), openError, kErrTransferOpen));
      return;
    }
    std::string error;
    bool ok = CopyRemote(
        *file, UINT64_MAX, [&](const char* data, std::size_t n) { local->Write(data, n); }, error);
    if (OperationAbort.load()) ok = false;
    try {
      if (ok) {
        file->Close();
        local->Commit();
      }
    } catch (const std::exception& failure) {
      ok = false;
      error = failure.what();
    }
    if (!ok) {
      file->Abort();
      local->Discard();
      state->Fail(id, FailureWithDetail(ErrorMessageText(kErrTransferData), error, kErrTransferData));
      return;
    }
    state->Finish(id, false);
  };
  return RunOperation(operation);
}

}  // namespace veltrim
