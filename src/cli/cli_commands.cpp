#include "cli/cli_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/engine/error_ids.h"
#include "core/engine/transfer_figures.h"
#include "core/ftp/remote_path.h"

namespace veltrim::cli {
namespace {

namespace fs = std::filesystem;

bool WriteStdout(const char* data, std::size_t size) {
  return size == 0 || std::fwrite(data, 1, size, stdout) == size;
}

// "YYYY-MM-DD HH:MM" in local time.
std::string LocalTimeText(std::time_t when) {
  std::tm local{};
  if (!::localtime_r(&when, &local)) return "0000-00-00 00:00";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

// A temporary folder removed with its contents when it goes out of scope.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "veltrimftp-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

class CommandRunner {
 public:
  CommandRunner(CFtpSession& session, TerminalHost& host, const CliOptions& options, std::string base)
      : session_(session), host_(host), options_(options), base_(std::move(base)) {}

  CommandOutcome Run() {
    const std::string& c = options_.command;
    if (c == "ls") return List();
    if (c == "get") return options_.recursive ? GetTree() : Get();
    if (c == "put") return options_.recursive ? PutTree() : Put();
    if (c == "mkdir") return Simple(session_.MakeDirectory(Remote(Arg(0))), kErrCreateDirectory);
    if (c == "rmdir") return Simple(session_.RemoveDirectory(Remote(Arg(0))), kErrRemoveDirectory);
    if (c == "rm") return Simple(session_.DeleteFile(Remote(Arg(0))), kErrDeleteFile);
    if (c == "mv") return Simple(session_.RenameFile(Remote(Arg(0)), Remote(Arg(1))), kErrRenameFile);
    if (c == "pwd") return Pwd();
    if (c == "cat") return Cat();
    return Fail("unknown command", kExitUsage);
  }

 private:
  const std::string& Arg(std::size_t i) const { return options_.arguments[i]; }
  std::string Remote(const std::string& path) const { return ftp::ResolveRemotePath(base_, path); }

  CommandOutcome Fail(const std::string& what, int status = kExitFailure) const {
    if (Interrupted.load()) return {kExitInterrupted, "interrupted"};
    return {status, what};
  }

  // Why the session's last operation failed, or `otherwise` when it kept no reason.
  std::string Why(const std::string& otherwise) const {
    const FailureReason& reason = session_.LastFailure();
    return reason.IsSet() ? reason.OneLine() : otherwise;
  }

  CommandOutcome Simple(bool ok, uint32_t errorId) const {
    if (ok) return {};
    std::string target = Arg(0);
    if (options_.arguments.size() > 1) target += " " + Arg(1);
    return Fail(target + ": " + Why(ErrorMessageText(errorId)));
  }

  // The remote directory could not be entered; the server's words follow.
  CommandOutcome CannotOpen(const std::string& what) const {
    FailureReason reason = session_.LastFailure();
    reason.Text = what + ": cannot open the remote directory";
    return Fail(reason.OneLine());
  }

  // Runs the queue to its end (also on a second connection) and says how it went.
  CommandOutcome RunQueue(const std::string& what) {
    if (session_.QueueLength() == 0) return {};
    const TransferRunSummary before = session_.TransferRuns();
    session_.ProcessQueue(options_.secondConnection);
    while (session_.TransferRuns().Runs == before.Runs && (session_.IsTransferConnected() || host_.TransferWindowOpen())) {
      host_.PumpMessages();
    }
    const TransferRunSummary after = session_.TransferRuns();
    if (after.Failed == before.Failed && after.Cancelled == before.Cancelled && session_.QueueLength() == 0 &&
        after.Runs != before.Runs) {
      return {};
    }
    const bool fileFailed = after.Failed != before.Failed && after.LastFailure.IsSet();
    return Fail(what + ": " + (fileFailed ? after.LastFailure.OneLine() : "the transfer did not complete"));
  }

  CommandOutcome List() {
    const std::string directory = options_.arguments.empty() ? base_ : Remote(Arg(0));
    if (!session_.ChangeDirectory(directory)) return CannotOpen(directory);
    session_.GetCurrentDirectory();
    session_.ListDirectory();
    std::string out;
    for (const ListingEntry& entry : session_.Listing().Entries) {
      if (entry.Name == "." || entry.Name == "..") continue;
      const char kind = entry.IsDirectory ? 'd' : entry.IsNormal ? '-' : 'l';
      out += kind;
      out += '\t' + std::to_string(entry.Size) + '\t' + LocalTimeText(entry.Modified) + '\t' + entry.Name + '\n';
    }
    if (!WriteStdout(out.data(), out.size())) return Fail("cannot write the listing");
    return {};
  }

  CommandOutcome Get() {
    const std::string remote = Remote(Arg(0));
    const std::string name = ftp::RemoteBaseName(remote);
    if (name.empty()) return Fail(Arg(0) + ": not a file");
    fs::path local = options_.arguments.size() > 1 ? fs::path(Arg(1)) : fs::path(name);
    std::error_code ec;
    if (fs::is_directory(local, ec)) local /= name;
    session_.AddToQueue(remote, local.string(), true, session_.RemoteFileSize(remote),
                        session_.IsBinaryTransfer(remote));
    return RunQueue("get " + Arg(0));
  }

  CommandOutcome Put() {
    const fs::path local = Arg(0);
    std::error_code ec;
    if (!fs::is_regular_file(local, ec)) return Fail(Arg(0) + ": no such local file");
    std::string remote;
    if (options_.arguments.size() > 1) {
      remote = Arg(1);
      if (remote.back() == '/') remote += local.filename().string();
      remote = Remote(remote);
    } else {
      remote = Remote(local.filename().string());
    }
    session_.AddToQueue(local.string(), remote, false, session_.LocalFileSize(local.string()),
                        session_.IsBinaryTransfer(local.string()));
    return RunQueue("put " + Arg(0));
  }

  CommandOutcome GetTree() {
    const std::string remote = Remote(Arg(0));
    // Checked first: a tree walk into a directory it cannot enter would list
    // the directory it is in instead.
    if (!session_.ChangeDirectory(remote)) return CannotOpen(Arg(0));
    std::error_code ec;
    fs::create_directories(Arg(1), ec);
    if (!fs::is_directory(Arg(1), ec)) return Fail(Arg(1) + ": cannot create the local folder");
    std::string localFolder = fs::absolute(Arg(1), ec).lexically_normal().string();
    if (localFolder.back() != '/') localFolder += '/';

    session_.SetStopAdding(false);
    host_.RaiseOnInterrupt(&session_.StopAddingFlag());
    session_.DownloadDirectory(remote, localFolder, true);
    host_.RaiseOnInterrupt(nullptr);
    if (Interrupted.load()) return Fail("interrupted");
    return RunQueue("get -r " + Arg(0));
  }

  CommandOutcome PutTree() {
    std::error_code ec;
    if (!fs::is_directory(Arg(0), ec)) return Fail(Arg(0) + ": no such local folder");
    // Absolute, so that "." or ".." is a folder to upload and not a name to skip.
    std::string localFolder = fs::absolute(Arg(0), ec).lexically_normal().string();
    while (localFolder.size() > 1 && localFolder.back() == '/') localFolder.pop_back();
    const std::string remote = Remote(Arg(1));

    session_.GetCurrentDirectory();
    session_.SetStopAdding(false);
    host_.RaiseOnInterrupt(&session_.StopAddingFlag());
    const bool walked = session_.UploadDirectory(localFolder, remote, false);
    host_.RaiseOnInterrupt(nullptr);
    if (!walked) return Fail("put -r " + Arg(0) + ": " + Why(ErrorMessageText(kErrUploadDirectory)));
    return RunQueue("put -r " + Arg(0));
  }

  CommandOutcome Pwd() {
    const std::string directory = session_.GetCurrentDirectory();
    const std::string line = directory + "\n";
    if (!WriteStdout(line.data(), line.size())) return Fail("cannot write the directory");
    return {};
  }

  // Downloads into a scratch folder (with the chosen transfer type) and
  // copies the file to standard output: no size limit, binary files intact.
  CommandOutcome Cat() {
    const std::string remote = Remote(Arg(0));
    ScratchFolder scratch;
    if (scratch.Path().empty()) return Fail("cannot create a temporary folder");
    const fs::path local = scratch.Path() / "content";
    session_.AddToQueue(remote, local.string(), true, session_.RemoteFileSize(remote),
                        session_.IsBinaryTransfer(remote));
    CommandOutcome outcome = RunQueue("cat " + Arg(0));
    if (outcome.status != 0) return outcome;
    std::ifstream in(local, std::ios::binary);
    if (!in) return Fail("cat " + Arg(0) + ": the downloaded copy is missing");
    char buffer[65536];
    while (in) {
      in.read(buffer, sizeof buffer);
      if (!WriteStdout(buffer, static_cast<std::size_t>(in.gcount()))) return Fail("cannot write to standard output");
    }
    return {};
  }

  CFtpSession& session_;
  TerminalHost& host_;
  const CliOptions& options_;
  const std::string base_;
};

}  // namespace

CommandOutcome RunCommand(CFtpSession& session, TerminalHost& host, const CliOptions& options,
                          const std::string& baseDirectory) {
  return CommandRunner(session, host, options, baseDirectory).Run();
}

}  // namespace veltrim::cli
