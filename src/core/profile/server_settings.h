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

}  // namespace veltrim
