// The engine's pure rules as tables: transfer type, type texts, the File
// Transfer window's figures, error texts and safe local names.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/engine/ftp_session.h"
#include "core/engine/safe_local_path.h"
#include "core/engine/transfer_figures.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

struct TypeCase {
  const char* name;
  bool autoMode;
  bool binaryMode;
  std::vector<std::string> extensions;
  bool binary;
};

TEST(TransferTypeTest, AutoBinaryAndAsciiDecisions) {
  const auto defaults = DefaultTextExtensions();
  const TypeCase cases[] = {
      {"readme.txt", true, true, defaults, false},
      {"README.TXT", true, true, defaults, false},
      {"Page.Html", true, true, defaults, false},
      {"archive.zip", true, true, defaults, true},
      {"archive.txt.gz", true, true, defaults, true},
      {"noextension", true, true, defaults, true},
      {"trailingdot.", true, true, defaults, true},
      {"/pub/dir.txt/binary", true, true, defaults, true},
      {"readme.txt", false, true, defaults, true},
      {"archive.zip", false, false, defaults, false},
      {"readme.txt", true, true, {"", ".txt"}, true},
      {"notes.md", true, true, {".md", ""}, false},
      {"notes.md", true, true, {".MD", ""}, true},
      {"notes.md", true, true, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsBinaryTransferFor(c.name, c.autoMode, c.binaryMode, c.extensions), c.binary);
  }
}

TEST(TransferTypeTest, FallbackTypeTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"/pub/file.zip", "ZIP File"}, {"a.tar.Gz", "GZ File"}, {"/pub/README", "File"},
      {".profile", "File"},          {"x.", " File"},         {"/a.b/c", "B/C File"},
  };
  for (const auto& [source, text] : cases) {
    SCOPED_TRACE(source);
    EXPECT_EQ(FallbackTypeText(source), text);
  }
}

TEST(TransferFiguresTest, BarPositions) {
  const struct {
    uint64_t done, total;
    uint32_t percent;
  } cases[] = {{0, 0, 0},       {10, 10, 90},   {1, 100, 0},          {100, 99, 100},
               {50, 100, 49},   {5ull << 30, 5ull << 30, 99}, {UINT64_MAX, UINT64_MAX, 99}, {UINT64_MAX, 0, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.done);
    EXPECT_EQ(ProgressPercent(c.done, c.total), c.percent);
  }
}

TEST(TransferFiguresTest, TimeFormats) {
  const std::pair<int64_t, const char*> cases[] = {
      {42, "42 sec"}, {0, "00 sec"}, {90, "01 min 30 sec"}, {3 * 3600 + 5 * 60, "03 hr 05 min 00 sec"},
      {86400 + 61, "01 min 01 sec"}, {-5, "00 sec"}};
  for (const auto& [seconds, text] : cases) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(TimeLeftFormat(seconds), text);
  }
}

TEST(TransferFiguresTest, ShortenedPathsAndFileNames) {
  const std::string p28(28, 'a');
  EXPECT_EQ(ShortenForTransferWindow(p28), p28);
  EXPECT_EQ(ShortenForTransferWindow("b" + p28), "..." + p28);
  const std::pair<const char*, const char*> names[] = {
      {"/pub/file.txt", "file.txt"}, {"C:\\dir\\x.bin", "x.bin"}, {"plain", "plain"}, {"/pub/", ""}};
  for (const auto& [path, name] : names) EXPECT_EQ(FileNamePart(path), name) << path;
}

TEST(SafeLocalPathTest, NamesThatMayBecomeAPathComponent) {
  const std::pair<std::string, bool> cases[] = {
      {"file.txt", true}, {"..hidden", true}, {"a\\b", true}, {"", false},        {".", false},
      {"..", false},      {"a/b", false},     {"/", false},   {std::string("a\0b", 3), false}};
  for (const auto& [name, safe] : cases) EXPECT_EQ(IsSafeLocalName(name), safe) << name;
}

TEST(SafeLocalPathTest, PathsInsideAFolder) {
  TempDir dir;
  const std::string root = dir.Path().string();
  std::filesystem::create_directories(dir.Path() / "in");
  TempDir other;
  std::filesystem::create_directory_symlink(other.Path(), dir.Path() / "link");
  const std::pair<std::string, bool> cases[] = {
      {root + "/a", true},
      {root + "/", true},
      {root + "/in/../b", true},
      {root + "/../escape", false},
      {root + "/in/../../escape", false},
      {root + "x/a", false},
      {root + "/link/a", false},
      {"/etc/passwd", false},
  };
  for (const auto& [path, inside] : cases) EXPECT_EQ(IsInsideFolder(path, root), inside) << path;
  EXPECT_TRUE(IsInsideFolder(root + "/a", root + "/"));
}

}  // namespace
}  // namespace veltrim::test
