#pragma once
// The known-certificates file: the certificates the user chose to trust
// always, one line per server ("host:port FINGERPRINT"), kept in the
// program's config folder with mode 0600. The reader takes what it can: a
// damaged line is skipped, never fatal, so a hand-edited or cut-off file
// costs at most its bad lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim {

struct KnownCertificate {
  std::string server;       // "host:port", "[::1]:990" for IPv6
  std::string fingerprint;  // SHA-256, "AB:CD:..." (32 pairs)
};

// "~/.config/Veltrim Softworks/VeltrimFTP-known-certificates.txt"
// ($XDG_CONFIG_HOME replaces ~/.config when set).
std::string DefaultKnownCertificatesPath();

// The server key of a host and port: host lower-cased, IPv6 in brackets.
std::string ServerKey(const std::string& host, uint16_t port);

// A SHA-256 fingerprint in its one spelling: 64 hex digits (colons, spaces
// and case ignored) become "AB:CD:..."; nullopt for anything else.
std::optional<std::string> NormalizeFingerprint(std::string_view text);

// The valid entries of a file's text, in order; bad lines are skipped.
std::vector<KnownCertificate> ParseKnownCertificates(std::string_view text);

class KnownCertificatesFile {
 public:
  explicit KnownCertificatesFile(std::string path) : path_(std::move(path)) {}

  // The fingerprint trusted for server; nullopt when none (or the file is
  // missing or unreadable).
  std::optional<std::string> Lookup(const std::string& server) const;
  // Trusts fingerprint for server from now on, replacing an older entry.
  // The file is rewritten whole (a temporary file renamed over it) with mode
  // 0600, its folder made when missing. Returns an error text, empty on success.
  std::string Remember(const std::string& server, const std::string& fingerprint) const;

  const std::string& Path() const { return path_; }

 private:
  std::vector<KnownCertificate> Read() const;
  std::string path_;
};

}  // namespace veltrim
