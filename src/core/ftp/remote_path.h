#pragma once
// Remote paths ("/" separated): joining, splitting and resolving them, for
// the directory search, the engine and the front ends.

#include <string>
#include <string_view>

namespace veltrim::ftp {

// "/" + "a" -> "/a"; "/x" + "a" -> "/x/a".
std::string JoinRemotePath(std::string_view directory, std::string_view name);
// "/x/a" -> "/x"; "/a" -> "/"; "a" -> "".
std::string RemoteParent(std::string_view path);
// The last component: "/x/a" -> "a"; "/x/a/" -> "a"; "/" -> "".
std::string RemoteBaseName(std::string_view path);
// Without trailing "/" (except the root itself).
std::string TrimTrailingSlashes(std::string_view path);
// A path typed relative to base (or absolute) as one absolute path: "." and
// ".." components resolved, repeated and trailing slashes dropped, so the
// result is "/" or "/a/b". ".." at the root stays at the root.
std::string ResolveRemotePath(std::string_view base, std::string_view path);

}  // namespace veltrim::ftp
