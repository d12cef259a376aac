// The main window while files move: the longest stall of a 10 ms heartbeat
// timer on the window thread while a big file downloads and while a tree of
// many files is queued and downloaded (both on the main connection, where
// the window thread waits for the run), and the big download's throughput
// from the window against `veltrimftp-cli get` of the same file in the same
// run. Against a local pyftpdlib. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_transfer_window_bench [MiB, default 512] [files, default 20000]
// BENCH_GAPS=1 lists every gap over 40 ms; BENCH_BLOCK=n sets the block size
// preference (default 1024).
#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTimer>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/pyftpd_server.h"
#include "support/spawn_process.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/browse_layer.h"
#include "ui/ftp/connection_controller.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/shared/command_ids.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace {

namespace fs = std::filesystem;
using namespace veltrim;
using namespace veltrim::ui;

// Answers the Save dialog and the folder chooser with fixed paths.
class Answers final : public Prompter {
 public:
  QString save, folder;
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
    std::fprintf(stderr, "box: %s: %s\n", qPrintable(caption), qPrintable(text));
    return QMessageBox::Ok;
  }
  QString Text(QWidget*, const QString&, const QString&, const QString&, bool) override { return {}; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return save; }
  QString FolderName(QWidget*, const QString&, const QString&) override { return folder; }
  int RunDialog(QDialog&) override { return QDialog::Rejected; }
};

// The largest gap between two ticks of a 10 ms timer on the window thread.
class Heartbeat {
 public:
  Heartbeat() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 gap = since_.restart();
      if (gap > 40 && std::getenv("BENCH_GAPS") != nullptr)
        std::fprintf(stderr, "gap of %lld ms after tick %ld\n", static_cast<long long>(gap), ticks_);
      worst_ = std::max(worst_, gap);
      ++ticks_;
    });
  }
  void Start() {
    worst_ = 0;
    ticks_ = 0;
    since_.start();
    timer_.start(10);
  }
  qint64 Stop() {
    timer_.stop();
    return std::max(worst_, since_.elapsed());
  }
  long Ticks() const { return ticks_; }

 private:
  QTimer timer_;
  QElapsedTimer since_;
  qint64 worst_ = 0;
  long ticks_ = 0;
};

double RunCliGet(const test::PyFtpServer& server, const fs::path& local) {
  test::SpawnRequest request;
  request.argv = {VELTRIM_CLI_PATH, "--binary", server.Url(), "get", "/big.bin", local.string()};
  QElapsedTimer clock;
  clock.start();
  const pid_t pid = test::SpawnProcess(request);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "veltrimftp-cli failed\n");
  return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 512;
  const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
  const uint64_t size = mib << 20;

  test::PyFtpServer server;
  {
    std::ofstream big(server.Root() / "big.bin", std::ios::binary);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 131) % 251);
    for (uint64_t i = 0; i < mib; ++i) big.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  for (int i = 0; i < files; ++i)
    server.WriteFile("tree/d" + std::to_string(i / 1000) + "/f" + std::to_string(i) + ".dat",
                     std::string(100 + i % 400, 'x'));
  test::TempDir local;

  CVeltrimFTPDoc doc;
  CMainFrame frame(&doc);
  auto* layer = new BrowseLayer(frame);
  frame.resize(1000, 700);
  frame.show();
  Answers answers;
  ScopedPrompter scope(answers);
  ServerSettings profile;
  profile.Name = "Bench";
  profile.Hostname = "127.0.0.1";
  profile.Username = server.User();
  profile.Password = server.Password();
  profile.Port = server.Port();
  profile.Timeout = 30;
  profile.LocalDir = local.Path().string();
  frame.Prefs().Auto = false;
  if (const char* block = std::getenv("BENCH_BLOCK")) frame.Prefs().BlockSize = std::atoi(block);
  frame.Prefs().NoNewConn = true;  // the run on the main connection: the window thread waits for it
  frame.TakeProfile(profile);
  layer->Controller().OnConnect();
  if (!frame.Connected()) {
    std::fprintf(stderr, "cannot connect\n");
    return 1;
  }
  auto select = [&](const char* name) {
    RemoteEntryModel& rows = layer->Rows();
    frame.View()->Selection()->clearSelection();
    frame.View()->Selection()->select(rows.index(rows.RowOf(QString::fromLatin1(name)), 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  };

  Heartbeat heartbeat;
  double bestWindow = 1e18, bestCli = 1e18;
  qint64 worstBig = 0;
  for (int round = 0; round < 5; ++round) {
    const fs::path target = local.Path() / ("window" + std::to_string(round) + ".bin");
    answers.save = QString::fromStdString(target.string());
    select("big.bin");
    heartbeat.Start();
    QElapsedTimer clock;
    clock.start();
    frame.ExecuteCommand(ID_DOWNLOAD);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    worstBig = std::max(worstBig, heartbeat.Stop());
    if (fs::file_size(target) != size) std::fprintf(stderr, "window download incomplete\n");
    fs::remove(target);
    bestWindow = std::min(bestWindow, seconds);
    const fs::path cliTarget = local.Path() / "cli.bin";
    bestCli = std::min(bestCli, RunCliGet(server, cliTarget));
    if (fs::file_size(cliTarget) != size) std::fprintf(stderr, "cli download incomplete\n");
    fs::remove(cliTarget);
  }
  const double mb = static_cast<double>(size) / (1 << 20);
  std::printf("%llu MiB download: window %.2f s (%.0f MiB/s), veltrimftp-cli get %.2f s (%.0f MiB/s), ratio %.2f\n",
              static_cast<unsigned long long>(mib), bestWindow, mb / bestWindow, bestCli, mb / bestCli,
              bestCli / bestWindow);
  std::printf("longest window stall during the %llu MiB downloads: %lld ms\n", static_cast<unsigned long long>(mib),
              static_cast<long long>(worstBig));

  fs::create_directory(local.Path() / "trees");
  answers.folder = QString::fromStdString((local.Path() / "trees").string());
  select("tree");
  heartbeat.Start();
  QElapsedTimer clock;
  clock.start();
  frame.ExecuteCommand(ID_DOWNLOAD);
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const qint64 worstTree = heartbeat.Stop();
  std::size_t copied = 0;
  for (const auto& item : fs::recursive_directory_iterator(local.Path() / "trees")) copied += item.is_regular_file();
  std::printf("%d-file tree queued and downloaded in %.1f s (%zu files arrived): longest window stall %lld ms\n",
              files, seconds, copied, static_cast<long long>(worstTree));
  frame.OnDisconnect();
  return 0;
}
