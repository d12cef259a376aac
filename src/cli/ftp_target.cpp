#include "cli/ftp_target.h"

#include <charconv>

#include "core/profile/profile_file.h"

namespace veltrim::cli {
namespace {

// The schemes a URL may have; the profile's Hostname keeps the scheme,
// which chooses the TLS mode (see host_scheme.h).
constexpr std::string_view kSchemes[] = {"ftp://", "ftpes://", "ftps://"};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithIgnoreCase(const std::string& text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string_view SchemeOf(const std::string& url) {
  for (std::string_view scheme : kSchemes) {
    if (StartsWithIgnoreCase(url, scheme)) return scheme;
  }
  return {};
}

}  // namespace

std::string PercentDecode(const std::string& text, const char* what) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      const bool complete = i + 2 < text.size();
      const int high = complete ? HexValue(text[i + 1]) : -1;
      const int low = complete ? HexValue(text[i + 2]) : -1;
      if (high < 0 || low < 0) throw TargetError(std::string("broken %-escape in the URL's ") + what);
      c = static_cast<char>(high * 16 + low);
      i += 2;
    }
    if (c == '\0' || c == '\r' || c == '\n') {
      throw TargetError(std::string("the URL's ") + what + " holds a control character that FTP cannot send");
    }
    out.push_back(c);
  }
  return out;
}

ServerSettings ParseFtpUrl(const std::string& url) {
  const std::string_view scheme = SchemeOf(url);
  if (scheme.empty()) throw TargetError("not an ftp://, ftpes:// or ftps:// URL: " + url);
  std::string rest = url.substr(scheme.size());
  ServerSettings settings;

  const auto slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  const std::string path = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
  if (authority.find_first_of("?#") != std::string::npos || path.find('#') != std::string::npos) {
    throw TargetError("an ftp:// URL takes no query or fragment");
  }

  // The user part ends at the last "@": a password may hold a raw "@".
  const auto at = authority.rfind('@');
  std::string userInfoForName;
  if (at != std::string::npos) {
    const std::string userInfo = authority.substr(0, at);
    userInfoForName = userInfo.substr(0, userInfo.find(':'));
    authority = authority.substr(at + 1);
    const auto colon = userInfo.find(':');
    settings.Username = PercentDecode(userInfo.substr(0, colon), "user name");
    if (colon != std::string::npos) settings.Password = PercentDecode(userInfo.substr(colon + 1), "password");
    if (settings.Username.empty()) throw TargetError("the URL names an empty user");
  } else {
    settings.Anonymous = true;
  }

  std::string host = authority;
  std::string port;
  if (!host.empty() && host[0] == '[') {  // [IPv6 address]
    const auto close = host.find(']');
    if (close == std::string::npos) throw TargetError("unclosed [ in the URL's host");
    port = host.substr(close + 1);
    host = host.substr(1, close - 1);
    if (!port.empty()) {
      if (port[0] != ':') throw TargetError("unexpected text after the URL's host");
      port = port.substr(1);
    }
  } else if (const auto colon = host.rfind(':'); colon != std::string::npos) {
    port = host.substr(colon + 1);
    host = host.substr(0, colon);
  }
  if (host.empty()) throw TargetError("the URL names no host");
  if (host.find_first_of(" \t\r\n%") != std::string::npos) throw TargetError("bad host in the URL: " + host);
  settings.Hostname = std::string(scheme) + host;
  if (!port.empty()) {
    // Port 0 names no server in a URL.
    int value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value < 1 || value > kMaxPort) {
      throw TargetError("bad port in the URL: " + port);
    }
    settings.Port = value;
  }
  settings.RemoteDir = PercentDecode(path, "path");
  // A trailing "/" names the same directory.
  while (settings.RemoteDir.size() > 1 && settings.RemoteDir.back() == '/') settings.RemoteDir.pop_back();
  settings.ConnectOnOpen = false;
  // The display name is the URL without its password: the log shows it.
  settings.Name = std::string(scheme) + (at == std::string::npos ? std::string() : userInfoForName + "@") + authority +
                  (slash == std::string::npos ? std::string() : rest.substr(slash));
  return settings;
}

ServerSettings ResolveTarget(const std::string& target) {
  if (!SchemeOf(target).empty()) return ParseFtpUrl(target);
  if (target.find("://") != std::string::npos) {
    throw TargetError("only ftp://, ftpes:// and ftps:// URLs are supported: " + target);
  }
  ServerSettings settings;
  try {
    if (LoadProfileFile(target, settings) != ProfileLoad::Complete) {
      throw TargetError("the profile file " + target + " is damaged or incomplete");
    }
  } catch (const std::runtime_error& error) {
    if (dynamic_cast<const TargetError*>(&error)) throw;
    throw TargetError(error.what());
  }
  return settings;
}

}  // namespace veltrim::cli
