// Parsing speed of the listing parsers alone: 100,000 LIST lines of every
// family mixed (Unix in several languages and date styles, MS-DOS, EPLF,
// VMS, NetWare, OS/400), and 100,000 MLSD lines. Best of several rounds.
//
// Usage: bench_listing_parse [lines, default 100000] [rounds, default 5]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/ftp/listing_parser.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kListLines = {
    "-rw-r--r--    1 ftp      ftp          1024 Dec 01 10:15 readme-{}.txt",
    "drwxr-xr-x    2 ftp      ftp          4096 Mar 14  2019 pub-{}",
    "-rw-r--r-- 1 user group 1024 15. Mär 10:30 bericht-{}.pdf",
    "-rw-r--r-- 1 user group 2048 3 févr. 2024 note-{}",
    "-rw-r--r-- 1 u g 10 15.03.2024 10:30 dots-{}",
    "-rw-r--r-- 1 u g 10 2024-03-15 10:30:05.123456789 +0100 fulliso-{}",
    "-rw-r--r-- 1 u g 10 3月 15 10:30 中文-{}.txt",
    "lrwxrwxrwx    1 root     root            7 Oct 10 09:00 bin-{} -> usr/bin",
    "12-06-26  06:21PM       <DIR>          dos-{}",
    "12/06/2026  06:21 PM         1,234,567 commas-{}.zip",
    "+i8388621.48594,m825718503,r,s280,\teplf-{}.html",
    "README-{}.TXT;3  12/16  15-MAR-2024 10:30:12  [GROUP,OWNER]  (RWED,RWED,RE,)",
    "d [RWCEAFMS] Admin              512 Mar 17  2004    netware-{}",
    "QSECOFR          4096 23.02.00 09:34:29 *STMF     os400-{}.txt",
};

std::string Numbered(const std::string& pattern, int i) {
  std::string line = pattern;
  line.replace(line.find("{}"), 2, std::to_string(i));
  return line;
}

template <typename Parse>
void Time(const char* what, const std::string& listing, int rounds, Parse parse) {
  double best = 1e9;
  std::size_t entries = 0;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    entries = parse(listing);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::printf("%-30s %8zu entries  %8.1f ms\n", what, entries, best * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::string list, mlsd;
  for (int i = 0; i < lines; ++i) {
    list += Numbered(kListLines[static_cast<std::size_t>(i) % kListLines.size()], i) + "\r\n";
    mlsd += "type=file;size=" + std::to_string(i) + ";modify=20261206182100;UNIX.mode=0644; file" +
            std::to_string(i) + "\r\n";
  }
  const std::time_t now = std::time(nullptr);
  Time("LIST, every family mixed", list, rounds,
       [&](const std::string& text) { return veltrim::ftp::ParseListListing(text, now).size(); });
  Time("MLSD", mlsd, rounds, [](const std::string& text) { return veltrim::ftp::ParseMlsdListing(text).size(); });
  return 0;
}
