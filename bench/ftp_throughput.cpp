// Throughput of the FTP client against a local pyftpdlib: a 512 MiB file
// downloaded and uploaded in 4096-byte blocks, as the transfer loop moves
// them, and the same transfers by curl (-T for the upload) for comparison.
// Each round runs all four; the order of ours and curl's alternates from
// round to round, so that neither always runs on a warmer machine. The best
// of the rounds counts.
//
// Usage: bench_ftp_throughput [size in MiB, default 512] [rounds, default 5]

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ftp/ftp_connection.h"
#include "core/ftp/internet_exception.h"
#include "core/ftp/internet_file.h"
#include "core/ftp/internet_session.h"
#include "support/spawn_process.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kBlock = 4096;
const char* const kUser = "bench";
const char* const kPassword = "bench";

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// pyftpdlib through the launcher in scripts/lib; stops when its standard input closes.
class Server {
 public:
  explicit Server(const std::filesystem::path& root) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    veltrim::test::SpawnRequest request;
    request.argv = {"/usr/bin/python3", VELTRIM_PYFTPD_LAUNCHER, "--root", root.string(), "--user", kUser,
                    "--password", kPassword};
    request.stdinFd = toChild[0];
    request.stdoutFd = fromChild[1];
    pid_ = veltrim::test::SpawnProcess(request);
    close(toChild[0]);
    close(fromChild[1]);
    stdin_ = toChild[1];
    std::string line;
    char c;
    pollfd p{fromChild[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0 && read(fromChild[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    close(fromChild[0]);
    if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("pyftpdlib did not start: " + line);
    port_ = static_cast<uint16_t>(std::stoi(line.substr(5)));
  }
  ~Server() {
    close(stdin_);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  uint16_t Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  uint16_t port_ = 0;
};

double DownloadOurs(uint16_t port, uint64_t expected) {
  veltrim::CInternetSession session;
  auto connection = session.GetFtpConnection("127.0.0.1", kUser, kPassword, port);
  std::vector<char> block(kBlock);
  const auto start = Clock::now();
  auto file = connection->OpenFile("big.bin", veltrim::FileAccess::Read, veltrim::TransferType::Binary);
  uint64_t total = 0;
  while (true) {
    const std::size_t got = file->Read(block.data(), kBlock);
    total += got;
    if (got < kBlock) break;
  }
  file->Close();
  const double seconds = Seconds(Clock::now() - start);
  if (total != expected) throw std::runtime_error("download came out at " + std::to_string(total) + " bytes");
  return seconds;
}

double UploadOurs(uint16_t port, const std::vector<char>& pattern, uint64_t size) {
  veltrim::CInternetSession session;
  auto connection = session.GetFtpConnection("127.0.0.1", kUser, kPassword, port);
  const auto start = Clock::now();
  auto file = connection->OpenFile("upload.bin", veltrim::FileAccess::Write, veltrim::TransferType::Binary);
  for (uint64_t done = 0; done < size; done += kBlock) {
    file->Write(pattern.data() + (done % pattern.size()), kBlock);
  }
  file->Close();
  return Seconds(Clock::now() - start);
}

std::string Url(uint16_t port, const char* name) {
  return std::string("ftp://") + kUser + ":" + kPassword + "@127.0.0.1:" + std::to_string(port) + "/" + name;
}

double RunCurl(std::vector<std::string> args) {
  const auto start = Clock::now();
  veltrim::test::SpawnRequest request;
  request.argv = std::move(args);
  const pid_t pid = veltrim::test::SpawnProcess(request);
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = Seconds(Clock::now() - start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("curl failed");
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 512;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const uint64_t size = mib * 1024 * 1024;
  // TMPDIR=/dev/shm keeps the disk out of the figures.
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/veltrim-bench-XXXXXX";
  if (!mkdtemp(pattern.data())) return 1;
  const std::filesystem::path root(pattern);
  int status = 0;
  try {
    // 1 MiB of random bytes, repeated: incompressible enough for loopback.
    std::vector<char> chunk(1024 * 1024);
    std::mt19937 generator(42);
    for (auto& b : chunk) b = static_cast<char>(generator() & 0xff);
    {
      std::ofstream out(root / "big.bin", std::ios::binary);
      for (uint64_t done = 0; done < size; done += chunk.size()) out.write(chunk.data(), chunk.size());
    }
    Server server(root);
    std::printf("file: %llu MiB, block %zu bytes, %d rounds (best of each)\n",
                static_cast<unsigned long long>(mib), kBlock, rounds);
    double ours = 1e9, curl = 1e9, upload = 1e9, curlUpload = 1e9;
    const auto curlRound = [&] {
      curl = std::min(curl, RunCurl({"/usr/bin/curl", "-s", "-o", "/dev/null", Url(server.Port(), "big.bin")}));
      curlUpload = std::min(curlUpload, RunCurl({"/usr/bin/curl", "-s", "-T", (root / "big.bin").string(),
                                                 Url(server.Port(), "curl-upload.bin")}));
      std::filesystem::remove(root / "curl-upload.bin");
    };
    const auto ourRound = [&] {
      ours = std::min(ours, DownloadOurs(server.Port(), size));
      upload = std::min(upload, UploadOurs(server.Port(), chunk, size));
      std::filesystem::remove(root / "upload.bin");
    };
    for (int round = 0; round < rounds; ++round) {
      if (round % 2 == 0) {
        curlRound();
        ourRound();
      } else {
        ourRound();
        curlRound();
      }
    }
    const double megabytes = static_cast<double>(size) / 1e6;
    std::printf("download (ours): %8.1f MB/s\n", megabytes / ours);
    std::printf("upload   (ours): %8.1f MB/s\n", megabytes / upload);
    std::printf("download (curl): %8.1f MB/s\n", megabytes / curl);
    std::printf("upload   (curl): %8.1f MB/s\n", megabytes / curlUpload);
    std::printf("download ratio ours/curl: %6.3f\n", curl / ours);
    std::printf("upload   ratio ours/curl: %6.3f\n", curlUpload / upload);
  } catch (const veltrim::CInternetException& e) {
    std::fprintf(stderr, "FTP error %d: %s\n", e.ErrorCode(), e.Text().c_str());
    status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return status;
}
