#include "core/ftp/remote_path.h"

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

}  // namespace veltrim::ftp
