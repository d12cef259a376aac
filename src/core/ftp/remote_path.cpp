#include "core/ftp/remote_path.h"

#include <vector>

namespace veltrim::ftp {

std::string TrimTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

std::string JoinRemotePath(std::string_view directory, std::string_view name) {
  std::string base = TrimTrailingSlashes(directory);
  if (base.empty() || base.back() != '/') base += '/';
  return base + std::string(name);
}

std::string RemoteParent(std::string_view path) {
  const std::string trimmed = TrimTrailingSlashes(path);
  const std::size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string RemoteBaseName(std::string_view path) {
  const std::string trimmed = TrimTrailingSlashes(path);
  if (trimmed == "/") return {};
  const std::size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string ResolveRemotePath(std::string_view base, std::string_view path) {
  const std::string joined =
      (!path.empty() && path[0] == '/') ? std::string(path) : std::string(base) + "/" + std::string(path);
  std::vector<std::string_view> parts;
  const std::string_view text = joined;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('/', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = text.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const std::string_view part : parts) (resolved += '/') += part;
  return resolved.empty() ? "/" : resolved;
}

}  // namespace veltrim::ftp
