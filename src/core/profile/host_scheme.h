#pragma once
// A profile's Hostname may start with a scheme that chooses how the login is
// protected; the .ftp format stays as it is (the scheme is part of the text):
//   "ftpes://host"  TLS required (AUTH TLS); a server that refuses it is left
//   "ftps://host"   implicit TLS, from the first byte
//   "ftp://host"    plain FTP only
//   "host"          the "Use TLS when the server offers it" preference decides

#include <cstdint>
#include <string>

namespace veltrim {

enum class HostScheme { None, Plain, ExplicitTls, ImplicitTls };

struct HostAddress {
  HostScheme scheme = HostScheme::None;
  std::string host;  // without the scheme and a trailing "/"
};

// The scheme is matched ignoring case.
HostAddress SplitHostScheme(const std::string& hostname);

// The port to connect to, from the profile's (clamped) port. Implicit TLS is
// never served on the plain FTP port, so a profile that keeps the default 21
// means 990 there; any other port is taken as given.
uint16_t ConnectPort(HostScheme scheme, uint16_t profilePort);

inline constexpr uint16_t kFtpPort = 21;
inline constexpr uint16_t kImplicitTlsPort = 990;

}  // namespace veltrim
