#include "cli/remote_path.h"

#include <vector>

namespace veltrim::cli {

std::string ResolveRemotePath(const std::string& base, const std::string& path) {
  const std::string joined = (!path.empty() && path[0] == '/') ? path : base + "/" + path;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= joined.size()) {
    auto end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    const std::string part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const auto& part : parts) resolved += "/" + part;
  return resolved.empty() ? "/" : resolved;
}

std::string LastComponent(const std::string& resolvedPath) {
  const auto slash = resolvedPath.rfind('/');
  return slash == std::string::npos ? resolvedPath : resolvedPath.substr(slash + 1);
}

}  // namespace veltrim::cli
