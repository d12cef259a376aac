#pragma once
// Shared samples of the profile tests: a profile and its bytes written out by hand.

#include <initializer_list>
#include <string>

#include "core/profile/server_settings.h"

namespace veltrim::test {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

inline ServerSettings SampleProfile() {
  return {.Name = "Mirror", .Hostname = "ftp.example.org", .RemoteDir = "/pub", .LocalDir = "/tmp", .Username = "me",
          .Password = "pw", .ScriptFile = "", .Retries = 3, .Timeout = 30, .Port = 2121, .Reserved = 5,
          .Anonymous = true, .ConnectOnOpen = false, .SavePassword = true};
}

// Strings in file order (credentials before directories), then Retries,
// Timeout, Port, Reserved and the three flags.
inline const std::string kSampleBytes =
    Bytes({6}) + "Mirror" + Bytes({15}) + "ftp.example.org" + Bytes({2}) + "me" + Bytes({2}) + "pw" + Bytes({4}) +
    "/pub" + Bytes({4}) + "/tmp" + Bytes({0}) +
    Bytes({3, 0, 0, 0, 30, 0, 0, 0, 0x49, 0x08, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});

}  // namespace veltrim::test
