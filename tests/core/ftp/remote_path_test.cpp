// Remote paths: joining, splitting and resolving typed paths.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/ftp/remote_path.h"

namespace veltrim::ftp {
namespace {

TEST(RemotePath, JoinParentAndBaseName) {
  struct Case {
    std::string directory, name, joined;
  };
  for (const auto& c : std::vector<Case>{{"/", "a", "/a"}, {"/x", "a", "/x/a"}, {"/x/", "a", "/x/a"}, {"", "a", "/a"}}) {
    EXPECT_EQ(JoinRemotePath(c.directory, c.name), c.joined);
  }
  const std::vector<std::tuple<std::string, std::string, std::string>> paths = {
      {"/x/a", "/x", "a"}, {"/a", "/", "a"}, {"/x/a/", "/x", "a"}, {"/", "/", ""}, {"a", "", "a"}, {"a/b", "a", "b"},
  };
  for (const auto& [path, parent, base] : paths) {
    EXPECT_EQ(RemoteParent(path), parent) << path;
    EXPECT_EQ(RemoteBaseName(path), base) << path;
  }
}

TEST(RemotePath, ResolvesTypedPathsAgainstTheBase) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"/", "a/b", "/a/b"},    {"/x", "a", "/x/a"},          {"/x", "/a//b/", "/a/b"}, {"/x/y", "../a", "/x/a"},
      {"/", "../../a", "/a"},  {"/x", "./a/./b/..", "/x/a"}, {"/x", "", "/x"},         {"/x", "..", "/"},
      {"/x", "/", "/"},
  };
  for (const auto& [base, path, resolved] : cases) {
    EXPECT_EQ(ResolveRemotePath(base, path), resolved) << base << " " << path;
  }
}

}  // namespace
}  // namespace veltrim::ftp
