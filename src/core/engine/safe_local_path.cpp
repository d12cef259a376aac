#include "core/engine/safe_local_path.h"

#include <filesystem>

namespace veltrim {

bool IsSafeLocalName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

namespace {
std::filesystem::path Resolved(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return {};
  std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
  if (error) return absolute.lexically_normal();
  return resolved.lexically_normal();
}
}  // namespace

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  if (path.find('\0') != std::string::npos || folder.find('\0') != std::string::npos) return false;
  const std::filesystem::path inner = Resolved(path);
  const std::filesystem::path outer = Resolved(folder);
  if (inner.empty() || outer.empty()) return false;
  const std::filesystem::path relative = inner.lexically_relative(outer);
  if (relative.empty()) return false;
  return *relative.begin() != "..";
}

}  // namespace veltrim
