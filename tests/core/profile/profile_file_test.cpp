#include "core/profile/profile_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/types.h>

#include "profile_samples.h"
#include "support/local_files.h"
#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

using test::kSampleBytes;
const auto Sample = test::SampleProfile;

TEST(ProfileCodec, GoldenBytes) {
  EXPECT_EQ(EncodeProfile(Sample()), kSampleBytes);
  ServerSettings loaded;
  EXPECT_EQ(DecodeProfile(kSampleBytes, loaded), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(loaded, Sample()));
  // Bytes after the last field are ignored.
  ServerSettings again;
  EXPECT_EQ(DecodeProfile(kSampleBytes + "extra", again), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(again, Sample()));
}

// Lengths are the archive's (its own table); contents and numbers go through as they are.
TEST(ProfileCodec, BinaryStringsAndExtremeNumbersRoundTrip) {
  ServerSettings s = Sample();
  s.ScriptFile = std::string("\0\xff\r\n\x01", 5);
  s.Retries = -1;
  s.Timeout = INT32_MIN;
  s.Port = INT32_MAX;
  ServerSettings back;
  EXPECT_EQ(DecodeProfile(EncodeProfile(s), back), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(back, s));
}

TEST(ProfileCodec, OnlyAStoredOneIsTrue) {
  const std::vector<std::pair<uint32_t, bool>> cases = {{0, false},          {1, true},          {2, false},
                                                         {0x100, false},      {0xFFFFFFFF, false}, {0x01000001, false}};
  for (const auto& [stored, reads] : cases) {
    std::string bytes = EncodeProfile(ServerSettings{});
    for (int flag = 0; flag < 3; ++flag) {
      const std::size_t at = bytes.size() - 12 + static_cast<std::size_t>(flag) * 4;
      for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(stored >> (8 * i));
    }
    ServerSettings loaded;
    loaded.Anonymous = loaded.ConnectOnOpen = loaded.SavePassword = !reads;
    EXPECT_EQ(DecodeProfile(bytes, loaded), ProfileLoad::Complete);
    EXPECT_EQ(loaded.Anonymous, reads) << stored;
    EXPECT_EQ(loaded.ConnectOnOpen, reads) << stored;
    EXPECT_EQ(loaded.SavePassword, reads) << stored;
  }
}

// What a profile truncated after `length` bytes must hold: every field that
// ends within the prefix has the file's value, every other field (and every
// flag, even when the cut is inside the integers) what the target held before.
ServerSettings ExpectedPrefixLoad(std::size_t length, const ServerSettings& before) {
  ServerSettings e = before;
  const ServerSettings f = Sample();
  // End offsets of the fields in kSampleBytes, in file order.
  if (length >= 7) e.Name = f.Name;
  if (length >= 23) e.Hostname = f.Hostname;
  if (length >= 26) e.Username = f.Username;
  if (length >= 29) e.Password = f.Password;
  if (length >= 34) e.RemoteDir = f.RemoteDir;
  if (length >= 39) e.LocalDir = f.LocalDir;
  if (length >= 40) e.ScriptFile = f.ScriptFile;
  if (length >= 44) e.Retries = f.Retries;
  if (length >= 48) e.Timeout = f.Timeout;
  if (length >= 52) e.Port = f.Port;
  if (length >= 56) e.Reserved = f.Reserved;
  return e;
}

TEST(ProfileCodec, TruncatedAtEveryOffsetLoadsThePrefixAndLeavesTheFlags) {
  ASSERT_EQ(kSampleBytes.size(), 68u);
  ServerSettings before;  // flags as a new profile's, the opposite of the file's
  before.Name = "old name";
  before.Hostname = "old.host";
  before.ScriptFile = "old.scr";
  before.Retries = 77;
  before.Reserved = 99;
  for (std::size_t length = 0; length < kSampleBytes.size(); ++length) {
    ServerSettings target = before;
    EXPECT_EQ(DecodeProfile(kSampleBytes.substr(0, length), target), ProfileLoad::Incomplete) << length;
    EXPECT_FALSE(Differs(target, ExpectedPrefixLoad(length, before))) << "truncated at " << length;
  }
}

// ------------------------------------------------------------------ files

TEST(ProfileFile, SavedFileHoldsTheBytesWithOwnerOnlyPermissionsAndLoadsBack) {
  test::TempDir dir;
  const auto path = dir.Path() / "mirror.ftp";
  test::WriteLocal(path, "old contents");
  ::chmod(path.c_str(), 0644);
  SaveProfileFile(path, Sample());
  EXPECT_EQ(test::ReadLocal(path), kSampleBytes);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  // No temporary file is left beside it.
  EXPECT_EQ(test::FilesIn(dir.Path()), 1u);

  ServerSettings loaded;
  EXPECT_EQ(LoadProfileFile(path, loaded), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(loaded, Sample()));
}

TEST(ProfileFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  test::TempDir dir;
  const auto path = dir.Path() / "p.ftp";
  test::WriteLocal(path, "old");
  // A child process with a file size limit below the profile's size: the
  // write fails part way (for root too).
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10, 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      SaveProfileFile(path, Sample());
    } catch (const std::runtime_error&) {
      ::_exit(3);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the save must report the failure";
  EXPECT_EQ(test::ReadLocal(path), "old");
  EXPECT_EQ(test::FilesIn(dir.Path()), 1u);
}

TEST(ProfileFile, WhatIsNotAProfileFileCannotBeSavedOverOrLoaded) {
  test::TempDir dir;
  const auto folder = dir.Path() / "folder.ftp";
  std::filesystem::create_directory(folder);
  EXPECT_THROW(SaveProfileFile(folder, Sample()), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(test::FilesIn(dir.Path()), 1u);  // no temporary file left
  ServerSettings target;
  EXPECT_THROW(LoadProfileFile(dir.Path() / "missing.ftp", target), std::runtime_error);
  EXPECT_THROW(LoadProfileFile(dir.Path(), target), std::runtime_error);
  const auto fifo = dir.Path() / "pipe.ftp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(LoadProfileFile(fifo, target), std::runtime_error);  // and does not hang
}

}  // namespace
}  // namespace veltrim
