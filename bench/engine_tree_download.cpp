// A recursive download through the session engine against a local
// pyftpdlib: the tree walk that queues every file, then the transfer run,
// next to curl fetching the same files over one connection.
//
// Usage: bench_engine_tree_download [files, default 20000] [folders, default 100]

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/engine/ftp_session.h"
#include "core/engine/null_host.h"
#include "support/pyftpd_server.cpp"  // the test fixture, compiled into this program
#include "support/test_certificates.cpp"  // ...and the certificates of its TLS servers

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::size_t CountFiles(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

// curl fetching every file of the tree in one run (one connection, reused).
double CurlFetchAll(const veltrim::test::PyFtpServer& server, int files, int folders, const fs::path& config) {
  {
    std::ofstream out(config);
    for (int i = 0; i < files; ++i) {
      out << "url = \"" << server.Url() << "/tree/d" << (i % folders) << "/f" << i << ".dat\"\n"
          << "output = \"/dev/null\"\n";
    }
  }
  const std::string command = "curl -s -K " + config.string();
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double seconds = Seconds(Clock::now() - start);
  if (status != 0) std::fprintf(stderr, "curl exited with %d\n", status);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int folders = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  veltrim::test::PyFtpServerOptions options;
  options.user = "bench";
  options.password = "bench";
  veltrim::test::PyFtpServer server(options);
  const std::string content(512, 'x');
  for (int i = 0; i < files; ++i) {
    server.WriteFile("tree/d" + std::to_string(i % folders) + "/f" + std::to_string(i) + ".dat", content);
  }
  veltrim::test::TempDir local;

  auto host = std::make_shared<veltrim::test::NullHost>();
  veltrim::CFtpSession session(host);
  veltrim::ServerSettings settings;
  settings.Name = "bench";
  settings.Hostname = "127.0.0.1";
  settings.Username = options.user;
  settings.Password = options.password;
  settings.Port = server.Port();
  session.SetServerSettings(settings);
  session.SetPlaySounds(false);
  session.SetBlockSize(4096);
  if (!session.Connect(0)) {
    std::fprintf(stderr, "cannot log in\n");
    return 1;
  }
  session.GetCurrentDirectory();

  const auto walkStart = Clock::now();
  session.DownloadDirectory("/tree", local.Path().string());
  const double walk = Seconds(Clock::now() - walkStart);
  const std::size_t queued = session.QueueLength();
  const auto runStart = Clock::now();
  session.ProcessQueue(false);
  const double run = Seconds(Clock::now() - runStart);
  const std::size_t downloaded = CountFiles(local.Path());

  const double curl = CurlFetchAll(server, files, folders, local.Path() / "curl.cfg");

  std::printf("tree: %d files of %zu bytes in %d folders\n", files, content.size(), folders);
  std::printf("engine walk (list + queue): %8.2f s  (%zu queued)\n", walk, queued);
  std::printf("engine transfer run:        %8.2f s  (%zu files on disk, %.0f files/s)\n", run, downloaded,
              static_cast<double>(downloaded) / run);
  std::printf("engine total:               %8.2f s\n", walk + run);
  std::printf("curl, same files, one run:  %8.2f s  (%.0f files/s)\n", curl, files / curl);
  return downloaded == static_cast<std::size_t>(files) ? 0 : 1;
}
