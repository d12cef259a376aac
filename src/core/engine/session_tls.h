#pragma once
// How a session opens a connection: host and port from the profile (a scheme
// in its Hostname chooses the TLS mode, the preference decides for a bare
// host), and the decision about a certificate the system does not trust:
// trusted before (the known-certificates file), trusted this time by this
// session, or asked through the host.

#include <cstdint>
#include <memory>
#include <string>

#include "core/ftp/tls_options.h"
#include "core/profile/server_settings.h"

namespace veltrim::engine {

struct SessionState;

struct ConnectTarget {
  std::string host;
  uint16_t port = 0;
  ftp::TlsOptions tls;
};

// The decision holds the state weakly: the connections it protects live in
// that state, and a strong hold would keep both alive for ever.
ConnectTarget ConnectTargetFor(const ServerSettings& settings, bool useTlsWhenOffered,
                               const std::weak_ptr<SessionState>& state);

// Logs what protects a fresh connection (TLS version and cipher, or that the
// server refused TLS and the connection is not encrypted).
void LogSecurity(SessionState& state, const ftp::TlsStatus& status);

}  // namespace veltrim::engine
