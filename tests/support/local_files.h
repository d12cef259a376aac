#pragma once
// Local files for the tests: whole-file reads and writes, what a folder
// holds, and reproducible content.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

namespace veltrim::test {

inline std::string ReadLocal(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file, creating its folders as needed.
inline void WriteLocal(const std::filesystem::path& path, const std::string& content) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::size_t FilesIn(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Everything under a folder: relative path (folders end in "/") -> content.
inline std::map<std::string, std::string> Tree(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string relative = std::filesystem::relative(entry.path(), folder).string();
    files[relative + (entry.is_directory() ? "/" : "")] = entry.is_directory() ? "" : ReadLocal(entry.path());
  }
  return files;
}

inline std::string RandomBytes(std::size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(generator() & 0xff);
  return bytes;
}

}  // namespace veltrim::test
