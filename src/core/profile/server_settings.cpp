#include "core/profile/server_settings.h"

namespace veltrim {

bool Differs(const ServerSettings& a, const ServerSettings& b) {
  return a.Name != b.Name || a.Hostname != b.Hostname || a.RemoteDir != b.RemoteDir || a.LocalDir != b.LocalDir ||
         a.Username != b.Username || a.Password != b.Password || a.ScriptFile != b.ScriptFile ||
         a.Retries != b.Retries || a.Timeout != b.Timeout || a.Port != b.Port || a.Reserved != b.Reserved ||
         a.Anonymous != b.Anonymous || a.ConnectOnOpen != b.ConnectOnOpen || a.SavePassword != b.SavePassword;
}

}  // namespace veltrim
