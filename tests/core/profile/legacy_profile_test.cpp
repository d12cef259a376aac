#include "core/profile/legacy_profile.h"

#include <gtest/gtest.h>

#include <vector>

#include "profile_samples.h"
#include "support/local_files.h"
#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

using test::Bytes;

// An older profile, written out from its layout: a string that is dropped,
// Name, Hostname, RemoteDir, LocalDir, Username, Password, then Port,
// Anonymous, SavePassword, ConnectOnOpen.
const std::string kOldStrings = Bytes({7}) + "v1 site" + Bytes({6}) + "Mirror" + Bytes({15}) + "ftp.example.org" +
                                Bytes({4}) + "/pub" + Bytes({4}) + "/tmp" + Bytes({2}) + "me" + Bytes({2}) + "pw";
const std::string kOldBytes = kOldStrings + Bytes({0x49, 0x08, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}) + "tail";

// The same profile in the current layout, with the fixed values for what the
// older one lacks: 1 retry, 60 s, Reserved 5; ConnectOnOpen was 2, so false.
const std::string kConvertedBytes =
    Bytes({6}) + "Mirror" + Bytes({15}) + "ftp.example.org" + Bytes({2}) + "me" + Bytes({2}) + "pw" + Bytes({4}) +
    "/pub" + Bytes({4}) + "/tmp" + Bytes({0}) +
    Bytes({1, 0, 0, 0, 60, 0, 0, 0, 0x49, 0x08, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});

TEST(LegacyProfile, ConvertsInPlaceAndKeepsTheOldBytesBesideIt) {
  test::TempDir dir;
  const auto folder = dir.Path() / "my.sites";  // a dot in the folder must not move the copy
  std::filesystem::create_directory(folder);
  test::WriteLocal(folder / "home.ftp", kOldBytes);
  test::WriteLocal(folder / "home.old", "an earlier copy");
  std::vector<int> steps;
  const auto result = ConvertLegacyProfileFile(folder / "home.ftp", [&](int percent) { steps.push_back(percent); });
  EXPECT_EQ(result.Outcome, LegacyConversion::Converted);
  EXPECT_EQ(test::ReadLocal(folder / "home.ftp"), kConvertedBytes);
  EXPECT_EQ(result.Backup, folder / "home.1.old");
  EXPECT_EQ(test::ReadLocal(result.Backup), kOldBytes);
  EXPECT_EQ(test::ReadLocal(folder / "home.old"), "an earlier copy");
  EXPECT_EQ(steps, (std::vector<int>{15, 45, 100}));
}

TEST(LegacyProfile, BackupNameComesFromTheFileNameAndNeverTakesAnExistingOne) {
  test::TempDir dir;
  const auto folder = dir.Path() / "v2.0";
  std::filesystem::create_directory(folder);
  struct Case {
    const char* file;
    std::vector<const char*> existing;
    const char* backup;
  };
  const Case cases[] = {
      {"home.ftp", {}, "home.old"},
      {"site", {}, "site.old"},  // no extension: ".old" appended
      {"archive.tar.ftp", {}, "archive.tar.old"},
      {"home.ftp", {"home.old", "home.1.old"}, "home.2.old"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    for (const char* name : c.existing) test::WriteLocal(folder / name, "x");
    EXPECT_EQ(LegacyBackupPath(folder / c.file), folder / c.backup) << c.file;
  }
}

}  // namespace
}  // namespace veltrim
