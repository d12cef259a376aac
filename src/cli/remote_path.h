#pragma once
// Remote paths of the command line: relative ones are taken from the base
// directory (the login directory, or the profile's start directory).

#include <string>

namespace veltrim::cli {

// base + "/" + path for a relative path, path itself for an absolute one;
// "." and ".." components are resolved and repeated or trailing slashes
// dropped, so the result is "/" or "/a/b". ".." at the root stays at the root.
std::string ResolveRemotePath(const std::string& base, const std::string& path);

// The last component of a resolved path; empty for "/".
std::string LastComponent(const std::string& resolvedPath);

}  // namespace veltrim::cli
