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

std::string PrintableName(const std::string& name) {
  std::string text = name;
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return text;
}

std::string LocalPathForServerName(const std::string& folder, const std::string& name) {
  if (!IsSafeLocalName(name)) return {};
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return IsInsideFolder(path, folder) ? path : std::string();
}

}  // namespace veltrim
