#include "core/ftp/listing_parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace veltrim::ftp {
namespace {

// The C library's own UTC conversion is the independent reference for dates.
std::time_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return timegm(&tm);
}

const std::time_t kNow = Utc(2026, 12, 6, 21, 0);

RemoteEntry Entry(std::string name, EntryKind kind, uint64_t size, std::optional<std::time_t> modified,
                  std::string linkTarget = {}) {
  RemoteEntry e;
  e.name = std::move(name);
  e.kind = kind;
  e.size = size;
  e.modified = modified;
  e.linkTarget = std::move(linkTarget);
  return e;
}

std::string Describe(const std::optional<RemoteEntry>& e) {
  if (!e) return "(nothing)";
  return "name='" + e->name + "' kind=" + std::to_string(static_cast<int>(e->kind)) +
         " size=" + std::to_string(e->size) +
         " modified=" + (e->modified ? std::to_string(*e->modified) : std::string("none")) + " target='" +
         e->linkTarget + "'";
}

struct LineCase {
  std::string line;
  std::optional<RemoteEntry> expected;
};

void ExpectListLines(const std::vector<LineCase>& cases) {
  for (const auto& c : cases) {
    const auto got = ParseListLine(c.line, kNow);
    EXPECT_EQ(got, c.expected) << "line: " << c.line << "\n got: " << Describe(got)
                               << "\nwant: " << Describe(c.expected);
  }
}

// ------------------------------------------------------------------ MLSD

TEST(MlsdParser, FactLines) {
  const std::vector<LineCase> cases = {
      {"type=file;size=12;modify=20261206182100; notes.txt",
       Entry("notes.txt", EntryKind::File, 12, Utc(2026, 12, 6, 18, 21))},
      {"type=dir;sizd=4096;modify=20250101000000; src", Entry("src", EntryKind::Directory, 4096, Utc(2025, 1, 1))},
      {"Type=File;Size=7;Modify=20240229235959; leap.bin",
       Entry("leap.bin", EntryKind::File, 7, Utc(2024, 2, 29, 23, 59, 59))},
      {"TYPE=DIR;MODIFY=20261206182100.123; Upper", Entry("Upper", EntryKind::Directory, 0, Utc(2026, 12, 6, 18, 21))},
      {"type=file;size=18446744073709551615; max", Entry("max", EntryKind::File, 18446744073709551615ull, std::nullopt)},
      {"type=file;size=18446744073709551616; overflow", std::nullopt},
      {"type=file;size=12;modify=20250229000000; notleap", Entry("notleap", EntryKind::File, 12, std::nullopt)},
      {"type=file;size=12;modify=2026; shortdate", Entry("shortdate", EntryKind::File, 12, std::nullopt)},
      {"type=file;size=3;  leading", Entry(" leading", EntryKind::File, 3, std::nullopt)},
      {"type=pdir;modify=20261206182100; ..", std::nullopt},
      {"type=cdir; /home/user", std::nullopt},
      {"type=OS.unix=symlink;modify=20261206182100; current",
       Entry("current", EntryKind::Link, 0, Utc(2026, 12, 6, 18, 21))},
      {"type=OS.unix=slink:/srv/releases/1.2;size=20; latest",
       Entry("latest", EntryKind::Link, 20, std::nullopt, "/srv/releases/1.2")},
      {"type=os.unix=SLINK:target; lower", Entry("lower", EntryKind::Link, 0, std::nullopt, "target")},
      {"type=OS.unix=chr-4/64; tty0", Entry("tty0", EntryKind::Other, 0, std::nullopt)},
      {"size=10;modify=20261206182100;UNIX.mode=0644;UNIX.uid=1000;UNIX.gid=1000;unique=803g1a; notype",
       Entry("notype", EntryKind::File, 10, Utc(2026, 12, 6, 18, 21))},
      {"type=file;size=1;sizd=99; both", Entry("both", EntryKind::File, 1, std::nullopt)},
      {"type=OS.unix=slink:/x;type=file;size=3; retyped", Entry("retyped", EntryKind::File, 3, std::nullopt)},
      {"type=file;modify=99991231235960; leap", Entry("leap", EntryKind::File, 0, Utc(9999, 12, 31, 23, 59, 59))},
      {"modify=20241206182100;UNIX.mode=040755; modedir", Entry("modedir", EntryKind::Directory, 0, Utc(2024, 12, 6, 18, 21))},
      {"UNIX.mode=0755;size=2; plainmode", Entry("plainmode", EntryKind::File, 2, std::nullopt)},
      {"type=file;size=1; ", std::nullopt},
      {"type=file;size=1;", std::nullopt},
      {"hello world", std::nullopt},
      {" barename", std::nullopt},
      {"=x; name", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseMlsdListing(c.line);
    const std::optional<RemoteEntry> got = parsed.empty() ? std::nullopt : std::optional(parsed.front());
    EXPECT_LE(parsed.size(), 1u) << c.line;
    EXPECT_EQ(got, c.expected) << "line: " << c.line << "\n got: " << Describe(got)
                               << "\nwant: " << Describe(c.expected);
  }
}

TEST(MlsdParser, WholeListingWithMixedLineEndsSkipsNoise) {
  using namespace std::string_literals;
  const std::string listing =
      "type=cdir;modify=20261206182100; /pub\r\n"
      "type=pdir;modify=20261206182100; ..\r\n"
      "type=dir;modify=20261206182100; docs\r\n"
      "garbage without facts\n"
      "\r\n"
      "type=file;size=3;modify=20261206182100; a.txt\n"
      "type=file;size=1; bad\0name\r\n"  // NUL inside a name drops the entry
      "type=file;size=4;modify=20261206182100; last"s;  // no final line end
  const auto entries = ParseMlsdListing(listing);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "docs");
  EXPECT_EQ(entries[1].name, "a.txt");
  EXPECT_EQ(entries[2].name, "last");
  EXPECT_EQ(entries[2].size, 4u);
}

// ------------------------------------------------------------------ Unix ls -l

TEST(UnixListParser, RealWorldLines) {
  const std::vector<LineCase> cases = {
      // vsftpd / ProFTPD, named owners, recent (time) and old (year) dates
      {"-rw-r--r--    1 ftp      ftp          1024 Dec 01 10:15 readme.txt",
       Entry("readme.txt", EntryKind::File, 1024, Utc(2026, 12, 1, 10, 15))},
      {"drwxr-xr-x    2 ftp      ftp          4096 Mar 14  2019 pub", Entry("pub", EntryKind::Directory, 4096, Utc(2019, 3, 14))},
      // numeric owners, no group column
      {"-rw-r--r--   1 user 52 Jul 4  2021 nogroup", Entry("nogroup", EntryKind::File, 52, Utc(2021, 7, 4))},
      {"-rw-r--r--   1 42 52 Jul 4  2021 numericnogroup", Entry("numericnogroup", EntryKind::File, 52, Utc(2021, 7, 4))},
      // no link count (some embedded servers)
      {"-rw-r--r-- ftp ftp 77 Jan 2 2020 nolinks", Entry("nolinks", EntryKind::File, 77, Utc(2020, 1, 2))},
      // names with spaces, inner and trailing; one leading space kept after the time column
      {"-rw-r--r--   1 user  group   10 Dec  6 12:00 my file  name.txt ",
       Entry("my file  name.txt ", EntryKind::File, 10, Utc(2026, 12, 6, 12, 0))},
      {"-rw-r--r--   1 user  group   10 Dec  6 12:00  leading", Entry(" leading", EntryKind::File, 10, Utc(2026, 12, 6, 12, 0))},
      {"-rw-r--r--   1 user  group   10 Dec  6  2024 Dec  6 12:00 dated",
       Entry("Dec  6 12:00 dated", EntryKind::File, 10, Utc(2024, 12, 6))},
      // symbolic links
      {"lrwxrwxrwx    1 root     root            7 Oct 10 09:00 bin -> usr/bin",
       Entry("bin", EntryKind::Link, 7, Utc(2026, 10, 10, 9, 0), "usr/bin")},
      {"lrwxrwxrwx 1 root root 3 Jun  1  2023 noarrow", Entry("noarrow", EntryKind::Link, 3, Utc(2023, 6, 1))},
      // device files and named pipes
      {"crw-r--r--   1 root     root       4,  64 Dec  5 08:00 ttyS0", Entry("ttyS0", EntryKind::Other, 0, Utc(2026, 12, 5, 8, 0))},
      {"brw-rw----   1 root     disk       8,0 Jan 10  2025 sda", Entry("sda", EntryKind::Other, 0, Utc(2025, 1, 10))},
      {"prw-r--r--   1 root     root          0 Nov 30 23:59 fifo", Entry("fifo", EntryKind::Other, 0, Utc(2026, 11, 30, 23, 59))},
      // ACL and SELinux markers, the setuid bit
      {"drwxrwxr-x+  3 web      web        4096 Feb  2  2022 acl", Entry("acl", EntryKind::Directory, 4096, Utc(2022, 2, 2))},
      {"-rwsr-xr-x.  1 root     root      63736 Feb  2  2022 passwd", Entry("passwd", EntryKind::File, 63736, Utc(2022, 2, 2))},
      // a leading size in blocks ("ls -s"), an owner name with a space, owners named like months
      {"   8 -rw-r--r--   1 user group 4096 Dec  1 10:15 blocks", Entry("blocks", EntryKind::File, 4096, Utc(2026, 12, 1, 10, 15))},
      {"-rw-r--r--   1 John Smith  staff 100 Sep  9  2018 owner", Entry("owner", EntryKind::File, 100, Utc(2018, 9, 9))},
      {"-rw-r--r--   1 may   jun    12 Dec  6 12:00 months", Entry("months", EntryKind::File, 12, Utc(2026, 12, 6, 12, 0))},
      {"-rw-r--r--   1 may   1      12 Dec  6 12:00 monthday", Entry("monthday", EntryKind::File, 12, Utc(2026, 12, 6, 12, 0))},
      {"-rw-r--r-- 1 u g 0 Dec  6 12:00 -> notalink", Entry("-> notalink", EntryKind::File, 0, Utc(2026, 12, 6, 12, 0))},
      {"lrwxrwxrwx 1 u g 0 Dec  6 12:00 a -> b -> c", Entry("a", EntryKind::Link, 0, Utc(2026, 12, 6, 12, 0), "b -> c")},
      {"-rw-r--r-- 1 u g 3 Dec  6 12:00 tab\tname", Entry("tab\tname", EntryKind::File, 3, Utc(2026, 12, 6, 12, 0))},
      // long-iso time style
      {"-rw-r--r-- 1 user group 99 2026-12-06 18:21 iso.txt", Entry("iso.txt", EntryKind::File, 99, Utc(2026, 12, 6, 18, 21))},
      // a size at the 64-bit limit; beyond it the line is refused
      {"-rw-r--r-- 1 u g 18446744073709551615 Jan  1  2026 max", Entry("max", EntryKind::File, 18446744073709551615ull, Utc(2026, 1, 1))},
      {"-rw-r--r-- 1 u g 18446744073709551616 Jan  1  2026 overflow", std::nullopt},
      // month names in any case; a day-of-month that cannot exist in that year leaves no time
      {"-rw-r--r-- 1 u g 1 DEC 24  2025 shout", Entry("shout", EntryKind::File, 1, Utc(2025, 12, 24))},
      {"-rw-r--r-- 1 u g 1 Feb 29  2023 nodate", Entry("nodate", EntryKind::File, 1, std::nullopt)},
      // an empty name
      {"-rw-r--r-- 1 u g 1 Jan  1  2026 ", std::nullopt},
      // not listing lines at all
      {"total 1234", std::nullopt},
      {"drwxr-xr-x", std::nullopt},
      {"-rw-r--r-- 1 u g x Jan  1  2026 badsize", std::nullopt},
      {"-rw-r--r-- 1 u g 1 Foo  1  2026 badmonth", std::nullopt},
      {"-rw-r--r-- 1 u g 1 Jan  1 25:00 badhour", std::nullopt},
      {"-rw-r--r-Q 1 u g 1 Jan  1  2026 badmode", std::nullopt},
      {"550 No files found.", std::nullopt},
  };
  ExpectListLines(cases);
}

TEST(UnixListParser, LanguagesNumericAndAsianDatesAndOddColumns) {
  const std::vector<LineCase> cases = {
      {"-rw-r--r-- 1 user group 1024 15. Mär 10:30 bericht.pdf", Entry("bericht.pdf", EntryKind::File, 1024, Utc(2026, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 user group 2048 3 févr. 2024 note", Entry("note", EntryKind::File, 2048, Utc(2024, 2, 3))},
      {"drwxr-xr-x 2 user group 4096 dic 24 2023 navidad", Entry("navidad", EntryKind::Directory, 4096, Utc(2023, 12, 24))},
      {"-rw-r--r-- 1 u g 7 15 мая 2024 файл", Entry("файл", EntryKind::File, 7, Utc(2024, 5, 15))},
      {"-rw-r--r-- 1 u g 7 paź 3 12:00 plik", Entry("plik", EntryKind::File, 7, Utc(2026, 10, 3, 12, 0))},
      {"-rw-r--r-- 1 u g 10 2024/03/15 10:30 slash", Entry("slash", EntryKind::File, 10, Utc(2024, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 15.03.2024 10:30 dots", Entry("dots", EntryKind::File, 10, Utc(2024, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 03-15-2024 10:30 usdash", Entry("usdash", EntryKind::File, 10, Utc(2024, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 24-03-15 10:30 yymmdd", Entry("yymmdd", EntryKind::File, 10, Utc(2024, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 05.03.2024 08:00 dayfirst", Entry("dayfirst", EntryKind::File, 10, Utc(2024, 3, 5, 8, 0))},
      {"-rw-r--r-- 1 u g 10 05/03/2024 08:00 monthfirst", Entry("monthfirst", EntryKind::File, 10, Utc(2024, 5, 3, 8, 0))},
      {"-rw-r--r-- 1 u g 10 2024-03-15 10:30:05.123456789 +0100 fulliso", Entry("fulliso", EntryKind::File, 10, Utc(2024, 3, 15, 9, 30, 5))},
      {"-rw-r--r-- 1 u g 10 2024-03-15 dateonly", Entry("dateonly", EntryKind::File, 10, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 u g 10 2024-03-15 24:00 midnight", Entry("midnight", EntryKind::File, 10, Utc(2024, 3, 16))},
      // an impossible date is still the date column: no time, and the name stays whole
      {"-rw-r--r-- 1 u g 10 2025-02-30 10:00 Dec  6 12:00 x", Entry("Dec  6 12:00 x", EntryKind::File, 10, std::nullopt)},
      {"-rw-r--r-- 1 u g 10 3月 15 10:30 中文.txt", Entry("中文.txt", EntryKind::File, 10, Utc(2026, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 3월 15일 2020 한글", Entry("한글", EntryKind::File, 10, Utc(2020, 3, 15))},
      {"-rw-r--r-- 1 u g 10 2024年3月15日 10:30 日本", Entry("日本", EntryKind::File, 10, Utc(2024, 3, 15, 10, 30))},
      {"-rw-r--r-- 1 u g 10 2024년 3월 15일 다운", Entry("다운", EntryKind::File, 10, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 ftpuser ftpgroup123456 Mar 15 2024 joined", Entry("joined", EntryKind::File, 123456, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 u g 33.5k Mar 15 2024 rounded", Entry("rounded", EntryKind::File, 34304, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 u g 999999.999T Mar 15 2024 tera", Entry("tera", EntryKind::File, 1099511626676488372ull, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 u g 3 Mar 15 2024   three  blanks  ", Entry("  three  blanks  ", EntryKind::File, 3, Utc(2024, 3, 15))},
      {"-rw-r--r-- 1 owner group 1024 undated.txt", Entry("undated.txt", EntryKind::File, 1024, std::nullopt)},
      {"-rw-r--r-- 1 owner group 1024 Mar 99 2024 brokendate", std::nullopt},
  };
  ExpectListLines(cases);
}

struct YearCase {
  std::time_t now;
  std::string date;  // "Mon DD HH:MM"
  std::optional<std::time_t> expected;
};

TEST(UnixListParser, InfersTheYearOfRecentDates) {
  const std::vector<YearCase> cases = {
      // the same year when the date is not ahead of now
      {Utc(2026, 12, 6, 21, 0), "Dec  6 20:00", Utc(2026, 12, 6, 20, 0)},
      // just after new year, December belongs to the year before
      {Utc(2027, 1, 1, 0, 0), "Dec 31 23:59", Utc(2026, 12, 31, 23, 59)},
      // a date a little ahead (time zones, skewed clocks) stays in this year ...
      {Utc(2026, 12, 31, 20, 0), "Jan  1 00:10", Utc(2027, 1, 1, 0, 10)},
      {Utc(2026, 12, 6, 21, 0), "Dec  7 20:00", Utc(2026, 12, 7, 20, 0)},
      // ... but one more than a day ahead is last year's
      {Utc(2026, 12, 6, 21, 0), "Dec  8 09:00", Utc(2025, 12, 8, 9, 0)},
      {Utc(2026, 3, 1, 0, 0), "Nov 11 11:11", Utc(2025, 11, 11, 11, 11)},
      // Feb 29 lands in the latest leap year that is not ahead
      {Utc(2024, 3, 1, 0, 0), "Feb 29 10:00", Utc(2024, 2, 29, 10, 0)},
      {Utc(2026, 12, 6, 0, 0), "Feb 29 10:00", Utc(2024, 2, 29, 10, 0)},
      {Utc(2101, 6, 1, 0, 0), "Feb 29 10:00", Utc(2096, 2, 29, 10, 0)},  // 2100 is no leap year
      {Utc(2024, 2, 28, 12, 0), "Feb 29 10:00", Utc(2024, 2, 29, 10, 0)},  // within the slack
  };
  for (const auto& c : cases) {
    const std::string line = "-rw-r--r-- 1 u g 1 " + c.date + " f";
    const auto got = ParseListLine(line, c.now);
    ASSERT_TRUE(got.has_value()) << line;
    EXPECT_EQ(got->modified, c.expected) << line << " now=" << c.now;
  }
}

// ------------------------------------------------------------------ MS-DOS / IIS

TEST(DosListParser, RealWorldLines) {
  const std::vector<LineCase> cases = {
      {"12-06-26  06:21PM       <DIR>          sub", Entry("sub", EntryKind::Directory, 0, Utc(2026, 12, 6, 18, 21))},
      {"04-27-00  09:09AM                 1024 file name.txt",
       Entry("file name.txt", EntryKind::File, 1024, Utc(2000, 4, 27, 9, 9))},
      {"01-01-99  12:00AM                    0 midnight", Entry("midnight", EntryKind::File, 0, Utc(1999, 1, 1, 0, 0))},
      {"07-04-69  12:30PM                    1 noon", Entry("noon", EntryKind::File, 1, Utc(2069, 7, 4, 12, 30))},
      {"07-04-70  12:30PM                    1 pivot", Entry("pivot", EntryKind::File, 1, Utc(1970, 7, 4, 12, 30))},
      {"12-06-2026  18:21       <DIR>          twentyfour", Entry("twentyfour", EntryKind::Directory, 0, Utc(2026, 12, 6, 18, 21))},
      {"02-29-2024  11:59PM           6442450944 leap.vhd",
       Entry("leap.vhd", EntryKind::File, 6442450944ull, Utc(2024, 2, 29, 23, 59))},
      {"2026-12-06  18:21                 2048 iso.log", Entry("iso.log", EntryKind::File, 2048, Utc(2026, 12, 6, 18, 21))},
      {"12/06/2026  06:21 PM    <DIR>          slashes", Entry("slashes", EntryKind::Directory, 0, Utc(2026, 12, 6, 18, 21))},
      {"12/06/2026  06:21 PM         1,234,567 commas.zip",
       Entry("commas.zip", EntryKind::File, 1234567, Utc(2026, 12, 6, 18, 21))},
      // an impossible date keeps the entry without a time
      {"02-30-26  06:21PM                    5 nodate", Entry("nodate", EntryKind::File, 5, std::nullopt)},
      // refused
      {"12-06-26  06:21PM                   18446744073709551616 overflow", std::nullopt},
      {"12-06-26  13:21PM                    5 badampm", std::nullopt},
      {"12-06-26  06:21PM                 1,23 badcommas", std::nullopt},
      {"12-06-26  06:21PM                 ,123 badcommas", std::nullopt},
      {"12-06-26  06:21PM       <DIR>          ", std::nullopt},
      {"12-06-26  06:21PM       <LINK>          x", std::nullopt},
      {"12-06-26  xx:21PM       <DIR>          x", std::nullopt},
      {"1-6-26  06:21PM       <DIR>          x", std::nullopt},
      {"2000 files", std::nullopt},
  };
  ExpectListLines(cases);
}

// ------------------------------------------------------------------ EPLF

TEST(EplfListParser, RealWorldLines) {
  const std::vector<LineCase> cases = {
      {"+i8388621.48594,m825718503,r,s280,\tdjb.html", Entry("djb.html", EntryKind::File, 280, std::time_t{825718503})},
      {"+i8388621.50690,m824255907,/,\t514", Entry("514", EntryKind::Directory, 0, std::time_t{824255907})},
      {"+r,s5368709120,\tbig file", Entry("big file", EntryKind::File, 5368709120ull, std::nullopt)},
      {"+m1,up644,\tnoretr", Entry("noretr", EntryKind::Other, 0, std::time_t{1})},
      {"+m99999999999999999999,r,\thugetime", Entry("hugetime", EntryKind::File, 0, std::nullopt)},
      {"+r,s18446744073709551616,\toverflow", std::nullopt},
      {"+r,s280,", std::nullopt},
      {"+r,\t", std::nullopt},
  };
  ExpectListLines(cases);
}

// ------------------------------------------------------------------ VMS, NetWare, OS/400

TEST(OtherFamilies, VmsNetWareAndOs400Lines) {
  const std::vector<LineCase> cases = {
      {"README.TXT;3  12/16  15-MAR-2024 10:30:12  [GROUP,OWNER]  (RWED,RWED,RE,)",
       Entry("README.TXT", EntryKind::File, 6144, Utc(2024, 3, 15, 10, 30, 12))},
      {"SUBDIR.DIR;1  1  1-JAN-2024 00:00  [OWNER]  (RWE,RWE,RE,E)", Entry("SUBDIR", EntryKind::Directory, 512, Utc(2024, 1, 1))},
      {"LOGIN.COM;12 5/6 29-DEC-2003 08:15:41.50", Entry("LOGIN.COM", EntryKind::File, 2560, Utc(2003, 12, 29, 8, 15, 41))},
      {"SECRET.DAT;1  %RMS-E-PRV, insufficient privilege or file protection violation", std::nullopt},
      {"Total of 4 files, 18/24 blocks.", std::nullopt},
      {"d [RWCEAFMS] Admin              512 Mar 17  2004    public", Entry("public", EntryKind::Directory, 512, Utc(2004, 3, 17))},
      {"- [R----F--] rhesus          214059 Oct 20 15:27    cx.exe", Entry("cx.exe", EntryKind::File, 214059, Utc(2026, 10, 20, 15, 27))},
      {"d [XYZ] Admin 512 Mar 17 2004 public", std::nullopt},
      {"QSYS            77824 02/23/00 15:09:55 *DIR      QSYS/", Entry("QSYS", EntryKind::Directory, 77824, Utc(2000, 2, 23, 15, 9, 55))},
      {"QSECOFR          4096 23.02.00 09:34:29 *STMF     notes.txt", Entry("notes.txt", EntryKind::File, 4096, Utc(2000, 2, 23, 9, 34, 29))},
      {"QSECOFR 0 11/28/02 18:44:21 *FILE MYLIB.LIB/MYFILE.FILE", std::nullopt},
      {"                                       *MEM       MYLIB.LIB/MYFILE.FILE/MEMBER.MBR", std::nullopt},
  };
  ExpectListLines(cases);
}

// ------------------------------------------------------------------ whole listings

TEST(ListParser, WholeListingSkipsTotalsBlankLinesAndGarbage) {
  const std::string listing =
      "total 24\r\n"
      "drwxr-xr-x    2 ftp      ftp          4096 Mar 14  2019 .\r\n"
      "drwxr-xr-x    2 ftp      ftp          4096 Mar 14  2019 ..\r\n"
      "drwxr-xr-x    2 ftp      ftp          4096 Mar 14  2019 pub\r\n"
      "\r\n"
      "this line means nothing\n"
      "-rw-r--r--    1 ftp      ftp            12 Dec 01 10:15 a.txt\n"
      "12-06-26  06:21PM       <DIR>          dos\n"
      "+r,s3,\teplf";
  const auto entries = ParseListListing(listing, kNow);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "pub");
  EXPECT_EQ(entries[1].name, "a.txt");
  EXPECT_EQ(entries[1].size, 12u);
  EXPECT_EQ(entries[2].name, "dos");
  EXPECT_EQ(entries[3].name, "eplf");
}

// One listing settles what a line alone cannot: the order of an ambiguous
// date, a VMS entry wrapped over two lines, older VMS versions.
TEST(ListParser, MixedListingIsReadAsAWhole) {
  const std::string listing =
      "-rw-r--r-- 1 u g 1 05/03/2024 08:00 early\r\n"
      "-rw-r--r-- 1 u g 2 25/12/2024 08:00 proof\r\n"
      "-rw-r--r-- 1 u g 3 Jan  1  2026 " + std::string(kMaxListingLineLength, 'x') + "\r\n"
      "VERYLONGFILENAME.TXT;2\r\n"
      "        4/4  15-MAR-2024 10:30:12  [OWNER]  (RWED,RWED,,)\r\n"
      "VERYLONGFILENAME.TXT;1  4/4  14-MAR-2024 10:30:12\r\n"
      "d [RWCEAFMS] Admin 512 Mar 17 2004 netware\r\n"
      "QSYS 77824 23.02.00 15:09:55 *DIR QSYS/\r\n"
      "12-06-26  06:21PM       <DIR>          dos\r\n";
  const auto entries = ParseListListing(listing, kNow);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"early", "proof", "VERYLONGFILENAME.TXT", "netware", "QSYS", "dos"}));
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].modified, Utc(2024, 3, 5, 8, 0));
  EXPECT_EQ(entries[2].modified, Utc(2024, 3, 15, 10, 30, 12));
  EXPECT_EQ(entries[2].size, 2048u);
}

TEST(AcceptableName, Table) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"file", true},   {"a b", true},       {".hidden", true}, {"...", true},      {"", false},
      {".", false},     {"..", false},       {"a/b", false},    {"/", false},       {std::string("a\0b", 3), false},
      {"a\rb", false},  {"a\nb", false},     {"\\", true},      {"ü.txt", true},
  };
  for (const auto& [name, acceptable] : cases) {
    EXPECT_EQ(IsAcceptableName(name), acceptable) << name;
  }
}

// ------------------------------------------------------------------ size

// Quadratic work on these inputs would run into the test's time limit; speed
// itself is measured by the listing benchmark, not here.
TEST(ListParser, LargeAndHostileListingsParse) {
  std::string unixListing;
  std::string mlsd;
  for (int i = 0; i < 100000; ++i) {
    unixListing += "-rw-r--r--    1 ftp      ftp      " + std::to_string(i) + " Dec 01 10:15 file" + std::to_string(i) + "\r\n";
    mlsd += "type=file;size=" + std::to_string(i) + ";modify=20261206182100; file" + std::to_string(i) + "\r\n";
  }
  // Hostile shapes: one enormous line, and a flood of blanks.
  const std::string longLine = "-rw-r--r-- 1 u g 1 Jan  1  2026 " + std::string(4'000'000, 'x');
  const std::string blanks(4'000'000, ' ');
  const std::string newlines(4'000'000, '\n');

  EXPECT_EQ(ParseListListing(unixListing, kNow).size(), 100000u);
  EXPECT_EQ(ParseMlsdListing(mlsd).size(), 100000u);
  EXPECT_TRUE(ParseListListing(longLine, kNow).empty());  // over the line bound
  EXPECT_TRUE(ParseListListing(blanks, kNow).empty());
  EXPECT_TRUE(ParseMlsdListing(blanks).empty());
  EXPECT_TRUE(ParseListListing(newlines, kNow).empty());
}

}  // namespace
}  // namespace veltrim::ftp
