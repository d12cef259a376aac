// Listing a directory of 100,000 entries through the session engine against
// a local pyftpdlib (MLSD, and LIST with MLSD hidden), next to curl listing
// the same directory.
//
// Usage: bench_engine_big_listing [entries, default 100000] [rounds, default 3]

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

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Timing {
  double best = 1e9;
  std::size_t entries = 0;
};

Timing ListThroughEngine(const veltrim::test::PyFtpServer& server, int rounds) {
  auto host = std::make_shared<veltrim::test::NullHost>();
  veltrim::CFtpSession session(host);
  veltrim::ServerSettings settings;
  settings.Name = "bench";
  settings.Hostname = "127.0.0.1";
  settings.Username = server.User();
  settings.Password = server.Password();
  settings.Port = server.Port();
  session.SetServerSettings(settings);
  Timing timing;
  if (!session.Connect(0) || !session.ChangeDirectory("/big")) return timing;
  session.GetCurrentDirectory();
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    session.ListDirectory();
    timing.best = std::min(timing.best, Seconds(Clock::now() - start));
    timing.entries = session.Listing().Entries.size();
  }
  return timing;
}

double ListWithCurl(const veltrim::test::PyFtpServer& server, int rounds) {
  const std::string command = "curl -s " + server.Url() + "/big/ -o /dev/null";
  double best = 1e9;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    best = std::min(best, Seconds(Clock::now() - start));
    if (status != 0) std::fprintf(stderr, "curl exited with %d\n", status);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  veltrim::test::PyFtpServerOptions options;
  veltrim::test::PyFtpServer server(options);
  std::filesystem::create_directories(server.Root() / "big");
  for (int i = 0; i < entries; ++i) {
    std::ofstream(server.Root() / "big" / ("entry-" + std::to_string(i) + ".dat"));
  }
  // A second server on the same files that hides MLSD, so listings come through LIST.
  options.noMlsd = true;
  veltrim::test::PyFtpServer listServer(options);
  std::filesystem::remove(listServer.Root());
  std::filesystem::create_directory_symlink(server.Root(), listServer.Root());

  const Timing mlsd = ListThroughEngine(server, rounds);
  const Timing list = ListThroughEngine(listServer, rounds);
  const double curl = ListWithCurl(server, rounds);
  std::filesystem::remove(listServer.Root());

  std::printf("directory of %d entries, best of %d rounds\n", entries, rounds);
  std::printf("engine ListDirectory (MLSD): %7.2f s  (%zu entries)\n", mlsd.best, mlsd.entries);
  std::printf("engine ListDirectory (LIST): %7.2f s  (%zu entries)\n", list.best, list.entries);
  std::printf("curl LIST:                   %7.2f s\n", curl);
  return mlsd.entries == static_cast<std::size_t>(entries) && list.entries == static_cast<std::size_t>(entries) ? 0 : 1;
}
