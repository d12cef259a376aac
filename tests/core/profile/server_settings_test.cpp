#include "core/profile/server_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace veltrim {
namespace {

ServerSettings Sample() {
  ServerSettings s;
  s.Name = "Mirror";
  s.Hostname = "ftp.example.org";
  s.RemoteDir = "/pub";
  s.LocalDir = "/home/me/Downloads";
  s.Username = "me";
  s.Password = "pw";
  s.ScriptFile = "login.scr";
  s.Retries = 3;
  s.Timeout = 30;
  s.Port = 2121;
  s.Reserved = 5;
  s.Anonymous = false;
  s.ConnectOnOpen = true;
  s.SavePassword = true;
  return s;
}

TEST(ServerSettings, NewProfileDefaults) {
  const ServerSettings s;
  EXPECT_EQ(s.Retries, 1);
  EXPECT_EQ(s.Timeout, 60);
  EXPECT_EQ(s.Port, 21);
  EXPECT_EQ(s.Reserved, 0);
  EXPECT_FALSE(s.Anonymous);
  EXPECT_TRUE(s.ConnectOnOpen);
  EXPECT_FALSE(s.SavePassword);
}

TEST(ServerSettings, DiffersTable) {
  struct Case {
    const char* what;
    std::function<void(ServerSettings&)> change;
  };
  const std::vector<Case> cases = {
      {"Name", [](ServerSettings& s) { s.Name += "x"; }},
      {"Hostname case of one letter", [](ServerSettings& s) { s.Hostname = "ftp.Example.org"; }},
      {"RemoteDir", [](ServerSettings& s) { s.RemoteDir = "/pub/"; }},
      {"LocalDir", [](ServerSettings& s) { s.LocalDir.clear(); }},
      {"Username", [](ServerSettings& s) { s.Username = "Me"; }},
      {"Password", [](ServerSettings& s) { s.Password = "pw "; }},
      {"ScriptFile", [](ServerSettings& s) { s.ScriptFile = "other.scr"; }},
      {"Retries", [](ServerSettings& s) { s.Retries = 4; }},
      {"Timeout", [](ServerSettings& s) { s.Timeout = -30; }},
      {"Port", [](ServerSettings& s) { s.Port = 21; }},
      {"Reserved", [](ServerSettings& s) { s.Reserved = 0; }},
      {"Anonymous", [](ServerSettings& s) { s.Anonymous = true; }},
      {"ConnectOnOpen", [](ServerSettings& s) { s.ConnectOnOpen = false; }},
      {"SavePassword", [](ServerSettings& s) { s.SavePassword = false; }},
      {"string with an embedded NUL", [](ServerSettings& s) { s.Name = std::string("Mirror\0", 7); }},
  };
  const ServerSettings base = Sample();
  for (const auto& c : cases) {
    ServerSettings changed = base;
    c.change(changed);
    EXPECT_TRUE(Differs(base, changed)) << c.what;
    EXPECT_TRUE(Differs(changed, base)) << c.what;
  }
}

TEST(ServerSettings, CopiesDoNotDiffer) {
  const ServerSettings a = Sample();
  ServerSettings b;
  EXPECT_TRUE(Differs(a, b));
  b = a;
  EXPECT_FALSE(Differs(a, b));
  const ServerSettings c(a);
  EXPECT_FALSE(Differs(a, c));
  EXPECT_FALSE(Differs(ServerSettings{}, ServerSettings{}));
}

}  // namespace
}  // namespace veltrim
