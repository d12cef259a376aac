// A server whose listings hold names meant to climb out of the download
// folder: get -r must write nothing outside LOCALDIR.

#include <gtest/gtest.h>

#include "cli_support.h"
#include "support/pyftpd_server.h"

namespace veltrim::test {
namespace {

namespace fs = std::filesystem;

// A file or folder that one of the hostile names would have made.
bool EscapeLandedNear(const fs::path& start) {
  for (fs::path dir = start;; dir = dir.parent_path()) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      if (entry.path().filename().string().rfind("veltrim-escape", 0) == 0) return true;
    }
    if (dir == dir.root_path() || dir.empty()) return false;
  }
}

TEST(CliHostileListing, GetTreeWritesNothingOutsideTheTargetFolder) {
  PyFtpServerOptions options;
  options.hostile = true;
  PyFtpServer server(options);
  WriteLocal(server.Root() / "evil/good.txt", "good");
  WriteLocal(server.Root() / "evil/inner/deep.txt", "deep");

  TempDir sandbox;
  const fs::path target = sandbox.Path() / "a/b/c/target";
  fs::create_directories(target);
  const CliRun run = RunCli({"-v", server.Url(), "get", "-r", "evil", target.string()});
  EXPECT_EQ(run.status, 0) << run.err;

  // Inside the target: exactly the real tree.
  const std::map<std::string, std::string> expected = {
      {"evil/", ""}, {"evil/good.txt", "good"}, {"evil/inner/", ""}, {"evil/inner/deep.txt", "deep"}};
  EXPECT_EQ(Tree(target), expected);
  // Outside it: nothing new in the sandbox, and no escaped name anywhere up the tree.
  EXPECT_EQ(Tree(sandbox.Path()).size(), 4u + expected.size());
  EXPECT_FALSE(EscapeLandedNear(target));
  EXPECT_FALSE(fs::exists("/tmp/veltrim-escape-4.txt"));
  EXPECT_FALSE(fs::exists("/tmp/veltrim-escape-dir2"));

  // The listing the walk saw did hold the hostile names; ls shows only the safe ones.
  const CliRun listing = RunCli({server.Url(), "ls", "evil"});
  EXPECT_EQ(listing.status, 0) << listing.err;
  EXPECT_EQ(Lines(listing.out).size(), 2u) << listing.out;
  EXPECT_EQ(listing.out.find("escape"), std::string::npos) << listing.out;
}

}  // namespace
}  // namespace veltrim::test
