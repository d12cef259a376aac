#include "core/profile/host_scheme.h"

#include <string_view>

namespace veltrim {

namespace {

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

HostAddress SplitHostScheme(const std::string& hostname) {
  static constexpr struct {
    std::string_view prefix;
    HostScheme scheme;
  } kSchemes[] = {
      {"ftpes://", HostScheme::ExplicitTls}, {"ftps://", HostScheme::ImplicitTls}, {"ftp://", HostScheme::Plain}};
  HostAddress address;
  address.host = hostname;
  for (const auto& [prefix, scheme] : kSchemes) {
    if (StartsWithIgnoreCase(hostname, prefix)) {
      address.scheme = scheme;
      address.host = hostname.substr(prefix.size());
      break;
    }
  }
  while (!address.host.empty() && address.host.back() == '/') address.host.pop_back();
  return address;
}

uint16_t ConnectPort(HostScheme scheme, uint16_t profilePort) {
  return scheme == HostScheme::ImplicitTls && profilePort == kFtpPort ? kImplicitTlsPort : profilePort;
}

}  // namespace veltrim
