#include "core/profile/server_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "profile_samples.h"

namespace veltrim {
namespace {

TEST(ServerSettings, DiffersSeesEveryFieldInBothDirections) {
  const std::vector<std::pair<const char*, std::function<void(ServerSettings&)>>> cases = {
      {"Name", [](ServerSettings& s) { s.Name += "x"; }},
      {"Hostname case of one letter", [](ServerSettings& s) { s.Hostname = "ftp.Example.org"; }},
      {"RemoteDir", [](ServerSettings& s) { s.RemoteDir = "/pub/"; }},
      {"LocalDir", [](ServerSettings& s) { s.LocalDir.clear(); }},
      {"Username case", [](ServerSettings& s) { s.Username = "Me"; }},
      {"Password", [](ServerSettings& s) { s.Password = "pw "; }},
      {"ScriptFile", [](ServerSettings& s) { s.ScriptFile = "other.scr"; }},
      {"Retries", [](ServerSettings& s) { s.Retries = 4; }},
      {"Timeout", [](ServerSettings& s) { s.Timeout = -30; }},
      {"Port", [](ServerSettings& s) { s.Port = 21; }},
      {"Reserved", [](ServerSettings& s) { s.Reserved = 0; }},
      {"Anonymous", [](ServerSettings& s) { s.Anonymous = false; }},
      {"ConnectOnOpen", [](ServerSettings& s) { s.ConnectOnOpen = true; }},
      {"SavePassword", [](ServerSettings& s) { s.SavePassword = false; }},
      {"string with an embedded NUL", [](ServerSettings& s) { s.Name = std::string("Mirror\0", 7); }},
  };
  const ServerSettings base = test::SampleProfile();
  EXPECT_FALSE(Differs(base, test::SampleProfile()));
  for (const auto& [what, change] : cases) {
    ServerSettings changed = base;
    change(changed);
    EXPECT_TRUE(Differs(base, changed)) << what;
    EXPECT_TRUE(Differs(changed, base)) << what;
  }
}

// A damaged profile's numbers are brought inside the bounds, never wrapped.
TEST(ServerSettings, ClampedValuesStayInsideTheBounds) {
  const struct {
    int32_t value, retries, timeout, port;
  } cases[] = {{-5, 0, 1, 0},         {0, 0, 1, 0},           {7, 7, 7, 7},
               {101, 100, 101, 101}, {4000, 100, 3600, 4000}, {70000, 100, 3600, 65535}};
  for (const auto& c : cases) {
    ServerSettings s;
    s.Retries = s.Timeout = s.Port = c.value;
    EXPECT_EQ(ClampedRetries(s), c.retries) << c.value;
    EXPECT_EQ(ClampedTimeoutSeconds(s), c.timeout) << c.value;
    EXPECT_EQ(ClampedPort(s), c.port) << c.value;
  }
}

}  // namespace
}  // namespace veltrim
