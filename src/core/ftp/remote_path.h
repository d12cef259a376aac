#pragma once
// Remote paths ("/" separated) as the directory search builds them.

#include <string>
#include <string_view>

namespace veltrim::ftp {

// "/" + "a" -> "/a"; "/x" + "a" -> "/x/a".
std::string JoinRemotePath(std::string_view directory, std::string_view name);
// "/x/a" -> "/x"; "/a" -> "/"; "a" -> "".
std::string RemoteParent(std::string_view path);
// "/x/a" -> "a"; "/x/a/" -> "a".
std::string RemoteBaseName(std::string_view path);
// Without trailing "/" (except the root itself).
std::string TrimTrailingSlashes(std::string_view path);

}  // namespace veltrim::ftp
