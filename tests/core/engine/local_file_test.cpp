// Local files of a transfer: a download replaces its destination only when
// complete, and the reader returns exactly what the file holds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "core/engine/local_file.h"
#include "engine_test_support.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;
using engine::LocalFileError;
using engine::LocalFileReader;
using engine::ReplacingFileWriter;

struct WriterCase {
  const char* name;
  bool existing;
  enum { Commit, Discard, Destroy } end;
  std::string expected;  // the destination afterwards; "" with exists=false: no file
  bool exists;
};

TEST(ReplacingFileWriterTest, DestinationChangesOnlyOnCommit) {
  const WriterCase cases[] = {
      {"new file committed", false, WriterCase::Commit, "new content", true},
      {"existing file committed", true, WriterCase::Commit, "new content", true},
      {"existing file discarded", true, WriterCase::Discard, "old", true},
      {"existing file, writer dropped", true, WriterCase::Destroy, "old", true},
      {"new file discarded", false, WriterCase::Discard, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path target = dir.Path() / "file.bin";
    if (c.existing) std::ofstream(target) << "old";
    {
      ReplacingFileWriter writer(target.string());
      EXPECT_EQ(fs::path(writer.TemporaryPath()).parent_path(), dir.Path()) << "beside the destination";
      writer.Write("new ", 4);
      writer.Write("content", 7);
      EXPECT_EQ(c.existing ? ReadLocal(target) : std::string(), c.existing ? "old" : "") << "untouched while writing";
      if (c.end == WriterCase::Commit) writer.Commit();
      if (c.end == WriterCase::Discard) writer.Discard();
    }
    EXPECT_EQ(fs::exists(target), c.exists);
    if (c.exists) {
      EXPECT_EQ(ReadLocal(target), c.expected);
    }
    EXPECT_EQ(FilesIn(dir.Path()), c.exists ? 1u : 0u) << "no temporary file left";
  }
}

TEST(ReplacingFileWriterTest, TheReplacedFilesPermissionsSurviveTheRename) {
  TempDir dir;
  const fs::path target = dir.Path() / "file";
  std::ofstream(target) << "x";
  ::chmod(target.c_str(), 0640);
  ReplacingFileWriter writer(target.string());
  writer.Write("new", 3);
  writer.Commit();
  EXPECT_EQ(ReadLocal(target), "new");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ReplacingFileWriterTest, FailuresCarryATextAndLeaveNothing) {
  TempDir dir;
  EXPECT_THROW(ReplacingFileWriter((dir.Path() / "missing/f").string()), LocalFileError);
  fs::create_directory(dir.Path() / "folder");
  ReplacingFileWriter onto((dir.Path() / "folder").string());
  onto.Write("x", 1);
  try {
    onto.Commit();
    FAIL() << "a file cannot replace a folder";
  } catch (const LocalFileError& error) {
    EXPECT_NE(std::string(error.what()).find("folder"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_directory(dir.Path() / "folder"));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(LocalFileReaderTest, ReadsFullBlocksUntilTheEnd) {
  TempDir dir;
  for (const std::size_t size : {0, 1, 1024, 1025, 600000}) {
    SCOPED_TRACE(size);
    const fs::path path = dir.Path() / ("f" + std::to_string(size));
    std::string data(size, 'r');
    std::ofstream(path, std::ios::binary) << data;
    LocalFileReader reader(path.string());
    std::string back;
    std::vector<char> block(256);
    std::size_t got;
    do {
      got = reader.Read(block.data(), block.size());
      back.append(block.data(), got);
    } while (got == block.size());
    EXPECT_EQ(back, data);
  }
  EXPECT_THROW(LocalFileReader((dir.Path() / "none").string()), LocalFileError);
}

}  // namespace
}  // namespace veltrim::test
