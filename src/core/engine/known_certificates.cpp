#include "core/engine/known_certificates.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace veltrim {

namespace {

constexpr const char* kFileName = "VeltrimFTP-known-certificates.txt";
constexpr const char* kHeader = "# Certificates trusted always by VeltrimFTP: host:port SHA-256 fingerprint\n";
// A file of trusted certificates has no business being large; reading stops here.
constexpr std::size_t kMaxFileBytes = 1u << 20;

// Writers of one process take turns; the rename keeps readers whole.
std::mutex g_writeMutex;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ValidServerKey(std::string_view key) {
  const std::size_t colon = key.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == key.size() || key.size() - colon > 6) return false;
  unsigned port = 0;
  for (char c : key.substr(colon + 1)) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + static_cast<unsigned>(c - '0');
  }
  if (port == 0 || port > 65535) return false;
  for (char c : key.substr(0, colon)) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) return false;
  }
  return true;
}

}  // namespace

std::string DefaultKnownCertificatesPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string folder;
  if (xdg != nullptr && xdg[0] == '/') {
    folder = xdg;
  } else {
    folder = std::string(home != nullptr ? home : "") + "/.config";
  }
  return folder + "/Veltrim Softworks/" + kFileName;
}

std::string ServerKey(const std::string& host, uint16_t port) {
  std::string lower;
  for (char c : host) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  if (lower.find(':') != std::string::npos) lower = "[" + lower + "]";
  return lower + ":" + std::to_string(port);
}

std::optional<std::string> NormalizeFingerprint(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c == ':' || c == ' ') continue;
    if (HexValue(c) < 0 || digits.size() == 64) return std::nullopt;
    digits.push_back(c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  if (digits.size() != 64) return std::nullopt;
  std::string spelled;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (i > 0) spelled.push_back(':');
    spelled.append(digits, i, 2);
  }
  return spelled;
}

std::vector<KnownCertificate> ParseKnownCertificates(std::string_view text) {
  std::vector<KnownCertificate> entries;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t space = line.find_first_of(" \t");
    if (space == std::string_view::npos) continue;
    const std::string_view server = line.substr(0, space);
    const auto fingerprint = NormalizeFingerprint(line.substr(line.find_first_not_of(" \t", space)));
    if (!ValidServerKey(server) || !fingerprint) continue;
    entries.push_back({std::string(server), *fingerprint});
  }
  return entries;
}

std::vector<KnownCertificate> KnownCertificatesFile::Read() const {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char chunk[8192];
  while (text.size() < kMaxFileBytes) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (text.size() > kMaxFileBytes) text.resize(kMaxFileBytes);
  return ParseKnownCertificates(text);
}

std::optional<std::string> KnownCertificatesFile::Lookup(const std::string& server) const {
  std::optional<std::string> found;
  for (const auto& entry : Read()) {
    if (entry.server == server) found = entry.fingerprint;  // the last line wins
  }
  return found;
}

std::string KnownCertificatesFile::Remember(const std::string& server, const std::string& fingerprint) const {
  std::lock_guard lock(g_writeMutex);
  std::string text = kHeader;
  for (const auto& entry : Read()) {
    if (entry.server != server) text += entry.server + " " + entry.fingerprint + "\n";
  }
  text += server + " " + fingerprint + "\n";

  const std::filesystem::path target(path_);
  std::error_code ignored;
  if (!target.parent_path().empty() && !std::filesystem::exists(target.parent_path(), ignored)) {
    std::filesystem::create_directories(target.parent_path(), ignored);
    ::chmod(target.parent_path().c_str(), 0700);
  }
  const std::string temporary = path_ + ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return "cannot write " + temporary + ": " + std::strerror(errno);
  ::fchmod(fd, 0600);
  std::size_t done = 0;
  bool ok = true;
  while (done < text.size()) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(wrote);
  }
  const std::string writeError = ok ? std::string() : std::strerror(errno);
  ok = ok && ::fsync(fd) == 0;
  ::close(fd);
  if (!ok || ::rename(temporary.c_str(), path_.c_str()) != 0) {
    const std::string why = writeError.empty() ? std::strerror(errno) : writeError;
    ::unlink(temporary.c_str());
    return "cannot write " + path_ + ": " + why;
  }
  return {};
}

}  // namespace veltrim
