#include "core/profile/profile_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/types.h>

#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

ServerSettings Sample() {
  ServerSettings s;
  s.Name = "Mirror";
  s.Hostname = "ftp.example.org";
  s.RemoteDir = "/pub";
  s.LocalDir = "/tmp";
  s.Username = "me";
  s.Password = "pw";
  s.ScriptFile = "";
  s.Retries = 3;
  s.Timeout = 30;
  s.Port = 2121;
  s.Reserved = 5;
  s.Anonymous = true;
  s.ConnectOnOpen = false;
  s.SavePassword = true;
  return s;
}

// Written out by hand: strings in file order (credentials before directories),
// then Retries, Timeout, Port, Reserved and the three flags.
const std::string kSampleBytes =
    Bytes({6}) + "Mirror" + Bytes({15}) + "ftp.example.org" + Bytes({2}) + "me" + Bytes({2}) + "pw" + Bytes({4}) +
    "/pub" + Bytes({4}) + "/tmp" + Bytes({0}) +
    Bytes({3, 0, 0, 0, 30, 0, 0, 0, 0x49, 0x08, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(ProfileCodec, GoldenBytes) {
  EXPECT_EQ(EncodeProfile(Sample()), kSampleBytes);
  ServerSettings loaded;
  EXPECT_EQ(DecodeProfile(kSampleBytes, loaded), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(loaded, Sample()));
}

TEST(ProfileCodec, AllStringsEmptyIsThirtyFiveBytes) {
  ServerSettings empty;
  empty.Anonymous = false;
  empty.ConnectOnOpen = true;
  empty.SavePassword = false;
  const std::string expected = std::string(7, '\0') + Bytes({1, 0, 0, 0, 60, 0, 0, 0, 21, 0, 0, 0, 0, 0, 0, 0,  //
                                                             0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(EncodeProfile(empty), expected);
  EXPECT_EQ(expected.size(), 35u);
}

TEST(ProfileCodec, NamePrefixAt254And255Bytes) {
  ServerSettings s;
  s.Name = std::string(254, 'n');
  std::string bytes = EncodeProfile(s);
  EXPECT_EQ(bytes.substr(0, 2), Bytes({0xFE, 'n'}));
  EXPECT_EQ(bytes.size(), 35u + 254u);

  s.Name = std::string(255, 'n');
  bytes = EncodeProfile(s);
  EXPECT_EQ(bytes.substr(0, 4), Bytes({0xFF, 0xFF, 0x00, 'n'}));
  EXPECT_EQ(bytes.size(), 35u + 2u + 255u);
  ServerSettings back;
  EXPECT_EQ(DecodeProfile(bytes, back), ProfileLoad::Complete);
  EXPECT_EQ(back.Name, s.Name);
}

TEST(ProfileCodec, LongAndBinaryStringsRoundTrip) {
  ServerSettings s = Sample();
  s.Password = std::string(65534, 'p');
  s.LocalDir = std::string(65533, 'l');
  s.ScriptFile = std::string("\0\xff\r\n\x01", 5);
  s.Retries = -1;
  s.Timeout = INT32_MIN;
  s.Port = INT32_MAX;
  s.Reserved = 123456789;
  ServerSettings back;
  EXPECT_EQ(DecodeProfile(EncodeProfile(s), back), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(back, s));
}

struct FlagCase {
  uint32_t stored;
  bool reads;
};

TEST(ProfileCodec, OnlyAStoredOneIsTrue) {
  const std::vector<FlagCase> cases = {{0, false}, {1, true}, {2, false}, {0x100, false}, {0xFFFFFFFF, false},
                                       {0x01000001, false}};
  for (const auto& c : cases) {
    std::string bytes = EncodeProfile(ServerSettings{});
    for (int flag = 0; flag < 3; ++flag) {
      const std::size_t at = bytes.size() - 12 + static_cast<std::size_t>(flag) * 4;
      for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(c.stored >> (8 * i));
    }
    ServerSettings loaded;
    loaded.Anonymous = !c.reads;
    loaded.ConnectOnOpen = !c.reads;
    loaded.SavePassword = !c.reads;
    EXPECT_EQ(DecodeProfile(bytes, loaded), ProfileLoad::Complete);
    EXPECT_EQ(loaded.Anonymous, c.reads) << c.stored;
    EXPECT_EQ(loaded.ConnectOnOpen, c.reads) << c.stored;
    EXPECT_EQ(loaded.SavePassword, c.reads) << c.stored;
  }
}

TEST(ProfileCodec, TrailingBytesAfterTheLastFieldAreIgnored) {
  ServerSettings loaded;
  EXPECT_EQ(DecodeProfile(kSampleBytes + "extra", loaded), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(loaded, Sample()));
}

// What a profile truncated after `length` bytes must hold: every field that
// ends within the prefix has the file's value, every other field (and every
// flag) what the target held before.
ServerSettings ExpectedPrefixLoad(std::size_t length, const ServerSettings& before) {
  ServerSettings expected = before;
  const ServerSettings file = Sample();
  // Field end offsets in kSampleBytes, in file order.
  struct Step {
    std::size_t end;
    std::function<void(ServerSettings&)> apply;
  };
  const std::vector<Step> steps = {
      {7, [&](ServerSettings& s) { s.Name = file.Name; }},
      {23, [&](ServerSettings& s) { s.Hostname = file.Hostname; }},
      {26, [&](ServerSettings& s) { s.Username = file.Username; }},
      {29, [&](ServerSettings& s) { s.Password = file.Password; }},
      {34, [&](ServerSettings& s) { s.RemoteDir = file.RemoteDir; }},
      {39, [&](ServerSettings& s) { s.LocalDir = file.LocalDir; }},
      {40, [&](ServerSettings& s) { s.ScriptFile = file.ScriptFile; }},
      {44, [&](ServerSettings& s) { s.Retries = file.Retries; }},
      {48, [&](ServerSettings& s) { s.Timeout = file.Timeout; }},
      {52, [&](ServerSettings& s) { s.Port = file.Port; }},
      {56, [&](ServerSettings& s) { s.Reserved = file.Reserved; }},
  };
  for (const auto& step : steps) {
    if (step.end <= length) step.apply(expected);
  }
  return expected;
}

TEST(ProfileCodec, TruncatedAtEveryOffsetLoadsThePrefixAndLeavesTheFlags) {
  ASSERT_EQ(kSampleBytes.size(), 68u);
  ServerSettings before;
  before.Name = "old name";
  before.Hostname = "old.host";
  before.ScriptFile = "old.scr";
  before.Retries = 77;
  before.Reserved = 99;
  before.Anonymous = false;
  before.ConnectOnOpen = true;
  before.SavePassword = false;
  for (std::size_t length = 0; length < kSampleBytes.size(); ++length) {
    ServerSettings target = before;
    EXPECT_EQ(DecodeProfile(kSampleBytes.substr(0, length), target), ProfileLoad::Incomplete) << length;
    const ServerSettings expected = ExpectedPrefixLoad(length, before);
    EXPECT_FALSE(Differs(target, expected)) << "truncated at " << length;
    EXPECT_FALSE(target.Anonymous);
    EXPECT_TRUE(target.ConnectOnOpen);
    EXPECT_FALSE(target.SavePassword);
  }
}

TEST(ProfileCodec, TruncatedInsideTheIntegersKeepsTheIntegersRead) {
  ServerSettings target;
  target.Port = 4444;
  target.Anonymous = false;
  EXPECT_EQ(DecodeProfile(kSampleBytes.substr(0, 50), target), ProfileLoad::Incomplete);
  EXPECT_EQ(target.Password, "pw");
  EXPECT_EQ(target.Retries, 3);
  EXPECT_EQ(target.Timeout, 30);
  EXPECT_EQ(target.Port, 4444);
  EXPECT_FALSE(target.Anonymous);
}

TEST(ProfileCodec, ALengthBeyondTheFileIsAFailedReadNotAnAllocation) {
  // Hostname claims 0xFFFFFFFE bytes; only a few follow.
  const std::string bytes = Bytes({1, 'N', 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}) + "short";
  ServerSettings target;
  target.Hostname = "kept";
  EXPECT_EQ(DecodeProfile(bytes, target), ProfileLoad::Incomplete);
  EXPECT_EQ(target.Name, "N");
  EXPECT_EQ(target.Hostname, "kept");
}

TEST(ProfileCodec, RandomBytesNeverCrash) {
  std::mt19937 random(1234);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes = kSampleBytes;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      bytes[random() % bytes.size()] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
    }
    ServerSettings target;
    const auto result = DecodeProfile(bytes.substr(0, random() % (bytes.size() + 1)), target);
    if (result == ProfileLoad::Complete) {
      // Whatever was read survives a store and a load unchanged.
      ServerSettings again;
      EXPECT_EQ(DecodeProfile(EncodeProfile(target), again), ProfileLoad::Complete);
      EXPECT_FALSE(Differs(again, target));
    }
  }
}

// ------------------------------------------------------------------ files

TEST(ProfileFile, SavedFileHoldsTheBytesWithOwnerOnlyPermissions) {
  test::TempDir dir;
  const auto path = dir.Path() / "mirror.ftp";
  WriteAll(path, "old contents");
  ::chmod(path.c_str(), 0644);
  SaveProfileFile(path, Sample());
  EXPECT_EQ(ReadAll(path), kSampleBytes);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);

  ServerSettings loaded;
  EXPECT_EQ(LoadProfileFile(path, loaded), ProfileLoad::Complete);
  EXPECT_FALSE(Differs(loaded, Sample()));
}

TEST(ProfileFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  test::TempDir dir;
  const auto path = dir.Path() / "p.ftp";
  WriteAll(path, "old");
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
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProfileFile, SavingOverAFolderFailsAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const auto path = dir.Path() / "folder.ftp";
  std::filesystem::create_directory(path);
  EXPECT_THROW(SaveProfileFile(path, Sample()), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProfileFile, LoadingWhatIsNotAProfileFileThrows) {
  test::TempDir dir;
  ServerSettings target;
  EXPECT_THROW(LoadProfileFile(dir.Path() / "missing.ftp", target), std::runtime_error);
  EXPECT_THROW(LoadProfileFile(dir.Path(), target), std::runtime_error);
  const auto fifo = dir.Path() / "pipe.ftp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(LoadProfileFile(fifo, target), std::runtime_error);  // and does not hang
}

TEST(ProfileFile, TruncatedFileLoadsItsPrefix) {
  test::TempDir dir;
  const auto path = dir.Path() / "cut.ftp";
  WriteAll(path, kSampleBytes.substr(0, 45));
  ServerSettings target;
  target.SavePassword = false;
  EXPECT_EQ(LoadProfileFile(path, target), ProfileLoad::Incomplete);
  EXPECT_EQ(target.LocalDir, "/tmp");
  EXPECT_EQ(target.Retries, 3);
  EXPECT_EQ(target.Timeout, 60);
  EXPECT_FALSE(target.SavePassword);
}

}  // namespace
}  // namespace veltrim
