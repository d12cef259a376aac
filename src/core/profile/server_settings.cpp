#include "core/profile/server_settings.h"

#include <algorithm>

namespace veltrim {

bool Differs(const ServerSettings& a, const ServerSettings& b) {
  return a.Name != b.Name || a.Hostname != b.Hostname || a.RemoteDir != b.RemoteDir || a.LocalDir != b.LocalDir ||
         a.Username != b.Username || a.Password != b.Password || a.ScriptFile != b.ScriptFile ||
         a.Retries != b.Retries || a.Timeout != b.Timeout || a.Port != b.Port || a.Reserved != b.Reserved ||
         a.Anonymous != b.Anonymous || a.ConnectOnOpen != b.ConnectOnOpen || a.SavePassword != b.SavePassword;
}

int32_t ClampedRetries(const ServerSettings& settings) {
  return std::clamp(settings.Retries, kMinRetries, kMaxRetries);
}

int32_t ClampedTimeoutSeconds(const ServerSettings& settings) {
  return std::clamp(settings.Timeout, kMinTimeoutSeconds, kMaxTimeoutSeconds);
}

uint16_t ClampedPort(const ServerSettings& settings) {
  return static_cast<uint16_t>(std::clamp(settings.Port, kMinPort, kMaxPort));
}

}  // namespace veltrim
