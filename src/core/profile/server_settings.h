#pragma once
// One server profile: what the user keeps about one FTP server.

#include <cstdint>
#include <string>

namespace veltrim {

struct ServerSettings {
  std::string Name;
  std::string Hostname;
  std::string RemoteDir;
  std::string LocalDir;
  std::string Username;
  std::string Password;
  std::string ScriptFile;
  int32_t Retries = 1;
  int32_t Timeout = 60;
  int32_t Port = 21;
  int32_t Reserved = 0;
  bool Anonymous = false;
  bool ConnectOnOpen = true;
  bool SavePassword = false;
};

// True when any string differs byte for byte (case counts), or any integer or flag.
bool Differs(const ServerSettings& a, const ServerSettings& b);

// What the program accepts of a profile's numbers. A profile file may hold
// anything; the connect and retry code clamps to these bounds rather than
// trust it (attempt numbers index a table, the timeout arms a timer).
inline constexpr int32_t kMinRetries = 0;
inline constexpr int32_t kMaxRetries = 100;
inline constexpr int32_t kMinTimeoutSeconds = 1;
inline constexpr int32_t kMaxTimeoutSeconds = 3600;
inline constexpr int32_t kMinPort = 0;
inline constexpr int32_t kMaxPort = 65535;

// The profile's Retries, Timeout and Port inside those bounds (a Timeout of
// 0 or less counts as 1 second).
int32_t ClampedRetries(const ServerSettings& settings);
int32_t ClampedTimeoutSeconds(const ServerSettings& settings);
uint16_t ClampedPort(const ServerSettings& settings);

}  // namespace veltrim
