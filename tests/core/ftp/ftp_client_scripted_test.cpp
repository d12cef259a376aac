// The FTP client against our scripted server: faults and hostile replies that
// a real server does not produce on demand, and the exact commands sent.

#include <gtest/gtest.h>

#include <thread>

#include "core/ftp/ftp_file_find.h"
#include "core/ftp/reply.h"
#include "ftp_test_helpers.h"
#include "support/scripted_ftp_server.h"

namespace veltrim {
namespace {

using namespace std::chrono_literals;
using test::DataEnd;
using test::ErrorCodeOf;
using test::ScriptedFtpServer;
using Commands = std::vector<std::string>;

const Commands kLogin = {"USER u", "PASS p", "FEAT"};

Commands LoginAnd(std::initializer_list<std::string> more) {
  Commands commands = kLogin;
  commands.insert(commands.end(), more);
  return commands;
}

std::unique_ptr<CFtpConnection> Connect(ScriptedFtpServer& server, CInternetSession& session,
                                        std::chrono::milliseconds timeout = 1000ms) {
  session.SetTimeout(timeout);
  return session.GetFtpConnection("127.0.0.1", "u", "p", server.Port());
}

// The commands sent once the script has run, without the QUIT of a closing client.
Commands SentCommands(ScriptedFtpServer& server) {
  EXPECT_TRUE(server.WaitUntilScriptDone(5s));
  auto commands = server.Commands();
  if (!commands.empty() && commands.back() == "QUIT") commands.pop_back();
  return commands;
}

template <typename Duration>
double Seconds(Duration d) {
  return std::chrono::duration<double>(d).count();
}

// Scripts a download of "f" over EPSV, up to the data sent; the completion reply is the caller's.
ScriptedFtpServer& Retr(ScriptedFtpServer& server, const std::string& data, DataEnd end = DataEnd::Close) {
  return server.ExpectPassive("EPSV", "229 (|||{port}|)").Expect("RETR f", "150 Go.").SendData(data, end);
}

// Downloads "f" whole and ends the transfer.
std::string Download(CFtpConnection& connection, TransferType type = TransferType::Binary, std::size_t block = 4096) {
  auto file = connection.OpenFile("f", FileAccess::Read, type);
  std::string content = test::ReadAll(*file, block);
  file->Close();
  return content;
}

// A scripted server and a session; Start() runs the script and logs in.
class FtpClientScripted : public ::testing::Test {
 protected:
  std::unique_ptr<CFtpConnection> Start(std::chrono::milliseconds timeout = 1000ms) {
    server.Start();
    return Connect(server, session, timeout);
  }
  ScriptedFtpServer server;
  CInternetSession session;
};

TEST_F(FtpClientScripted, HostNameAndMultiLineGreetingThenLoginSendsExactlyUserPassFeat) {
  server.SendRaw("220-Welcome to the\r\n220-scripted server.\r\n   indented line\r\n220 Ready.\r\n").ExpectLogin();
  server.Start();
  session.SetTimeout(5s);
  auto connection = session.GetFtpConnection("localhost", "u", "p", server.Port());  // the name is resolved
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_EQ(SentCommands(server), kLogin);
  EXPECT_TRUE(server.Failures().empty());
}

TEST_F(FtpClientScripted, Utf8IsSwitchedOnWhenAdvertisedAndARefusalIsHarmless) {
  server.Greet()
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;modify*;\r\n UTF8\r\n EPSV\r\n211 End")
      .Expect("OPTS UTF8 ON", "501 Not understood.")
      .Expect("CWD /x", "250 OK.");
  auto connection = Start();
  EXPECT_TRUE(connection->Features().utf8);
  EXPECT_TRUE(connection->Features().mlsd);
  EXPECT_FALSE(connection->Features().size);
  EXPECT_TRUE(connection->SetCurrentDirectory("/x"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"OPTS UTF8 ON", "CWD /x"}));
}

TEST_F(FtpClientScripted, LoginFailuresCarryTheServersText) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    int code;
    std::string textStart;
  };
  const std::vector<Case> cases = {
      {"greeting refused", [](ScriptedFtpServer& s) { s.Reply("421 Too many users, try later."); },
       kErrorConnectionAborted, "421 Too many users, try later."},
      {"greeting 554", [](ScriptedFtpServer& s) { s.Reply("554 Go away."); }, kErrorCannotConnect, "554 Go away."},
      {"user refused",
       [](ScriptedFtpServer& s) { s.Greet().Expect("USER u", "530 Not allowed."); },
       kErrorLoginFailure, "530 Not allowed."},
      {"password refused",
       [](ScriptedFtpServer& s) {
         s.Greet().Expect("USER u", "331 Password?").Expect("PASS p", "530-Login incorrect.\r\n530 Bye.");
       },
       kErrorLoginFailure, "530-Login incorrect.\n530 Bye."},
      {"account demanded",
       [](ScriptedFtpServer& s) {
         s.Greet().Expect("USER u", "331 Password?").Expect("PASS p", "332 Need account for login.");
       },
       kErrorLoginFailure,
       "The server asks for an account (ACCT) after the password, which this program does not support: 332 Need "
       "account for login."},
      {"account demanded at once",
       [](ScriptedFtpServer& s) { s.Greet().Expect("USER u", "332 Account?"); }, kErrorLoginFailure,
       "The server asks for an account (ACCT)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    c.script(server);
    server.Start();
    CInternetSession session;
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { Connect(server, session); }, &text), c.code);
    EXPECT_EQ(text.substr(0, c.textStart.size()), c.textStart);
  }
}

TEST_F(FtpClientScripted, UserAcceptedWithoutPasswordSkipsPass) {
  server.Greet().Expect("USER u", "230 Welcome, no password needed.").Expect("FEAT", "502 No FEAT here.");
  auto connection = Start();
  EXPECT_FALSE(connection->Features().epsv);
  EXPECT_EQ(SentCommands(server), (Commands{"USER u", "FEAT"}));
}

TEST_F(FtpClientScripted, AStalledServerRunsIntoTheDeadlineWithAClearText) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    std::function<void(CInternetSession&, ScriptedFtpServer&)> call;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"no greeting", [](ScriptedFtpServer& s) { s.Stall(); },
       [](CInternetSession& session, ScriptedFtpServer& s) { Connect(s, session); },
       "The server did not reply within 1 second."},
      {"no answer to PASS",
       [](ScriptedFtpServer& s) { s.Greet().Expect("USER u", "331 Password?").Stall(); },
       [](CInternetSession& session, ScriptedFtpServer& s) { Connect(s, session); },
       "The server did not reply within 1 second."},
      {"no answer to CWD", [](ScriptedFtpServer& s) { s.Greet().ExpectLogin().Stall(); },
       [](CInternetSession& session, ScriptedFtpServer& s) { Connect(s, session)->SetCurrentDirectory("x"); },
       "The server did not reply within 1 second."},
      {"no data",
       [](ScriptedFtpServer& s) {
         Retr(s.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), "", DataEnd::KeepOpen);
       },
       [](CInternetSession& session, ScriptedFtpServer& s) {
         auto connection = Connect(s, session);
         auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
         char block[16];
         file->Read(block, sizeof block);
       },
       "No data arrived on the data connection for 1 second."},
      {"passive port never answers",
       [](ScriptedFtpServer& s) {
         s.Greet().ExpectLogin().Expect("TYPE I", "200 OK").Expect("EPSV", "229 Extended Passive Mode (|||1|)");
       },
       [](CInternetSession& session, ScriptedFtpServer& s) {
         Connect(s, session)->OpenFile("f", FileAccess::Read, TransferType::Binary);
       },
       "Cannot connect to the data connection (127.0.0.1:1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    c.script(server);
    server.Start();
    CInternetSession session;
    std::string text;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(ErrorCodeOf([&] { c.call(session, server); }, &text), 0);
    EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 20.0);
    EXPECT_EQ(text.substr(0, c.text.size()), c.text);
  }
}

TEST_F(FtpClientScripted, AnUploadTheServerStopsReadingRunsIntoTheDeadline) {
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("STOR up", "150 Send it.")
      .HoldData(5s);
  auto connection = Start();
  auto file = connection->OpenFile("up", FileAccess::Write, TransferType::Binary);
  const std::string block(1 << 20, 'z');
  std::string text;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorCodeOf(
                [&] {
                  for (int i = 0; i < 1024; ++i) file->Write(block.data(), block.size());
                },
                &text),
            kErrorTimeout);
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 20.0);
  EXPECT_EQ(text, "The server accepted no data on the data connection for 1 second.");
  // Reading from a file opened for writing is refused, not attempted.
  char byte;
  EXPECT_EQ(ErrorCodeOf([&] { file->Read(&byte, 1); }), kErrorInvalidArgument);
}

TEST_F(FtpClientScripted, AfterADeadlineTheConnectionIsUnusable) {
  server.Greet().ExpectLogin().Expect("CWD slow", "").Pause(1500ms).Reply("250 Late.");
  auto connection = Start();
  EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("slow"); }), kErrorTimeout);
  EXPECT_FALSE(connection->IsOpen());
  // The late 250 must never be taken for the answer to a later command.
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("next"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "The server did not reply within 1 second.");
}

TEST_F(FtpClientScripted, A421AtAnyMomentClosesTheConnectionWithTheServersText) {
  server.Greet().ExpectLogin().Expect("MKD new", "421 Timeout, closing control connection.");
  auto connection = Start();
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { connection->CreateDirectory("new"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Timeout, closing control connection.");
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_EQ(ErrorCodeOf([&] { connection->CreateDirectory("other"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Timeout, closing control connection.");
}

// What the server sends instead of a reply to CWD: cut short (then the
// connection drops) or hostile; either way the connection is closed.
TEST_F(FtpClientScripted, DroppedOrHostileRepliesFailTheOperationAndCloseTheConnection) {
  const std::string kClosedMidReply = "The server closed the connection in the middle of a reply.";
  const auto repeat = [](const std::string& line, int times) {
    std::string r;
    for (int i = 0; i < times; ++i) r += line;
    return r;
  };
  struct Case {
    const char* name;
    std::string raw;
    bool drop;
    int code;
    std::string text;  // checked when not empty
  };
  const std::vector<Case> cases = {
      {"dropped before the reply", "", true, kErrorConnectionAborted, "The server closed the connection."},
      {"dropped in the middle of a line", "250 Direct", true, kErrorConnectionAborted, kClosedMidReply},
      {"dropped in a multi-line reply", "250-first\r\n250-second\r\n", true, kErrorConnectionAborted,
       kClosedMidReply},
      {"endless multi-line reply", repeat("250-line\r\n", 5000), false, kErrorProtocol, ""},
      {"not a reply", "Hello there, I am not an FTP server\r\n", false, kErrorProtocol, ""},
      {"nothing but preliminary replies", repeat("150 Still thinking.\r\n", 40), false, kErrorProtocol, ""},
      {"binary garbage", std::string("\x01\x02\xff\xfe\0\0\r\n", 8), false, kErrorProtocol, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("CWD x", "").SendRaw(c.raw);
    if (c.drop) server.Drop();
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("x"); }, &text), c.code) << text;
    if (!c.text.empty()) {
      EXPECT_EQ(text, c.text);
    }
    EXPECT_FALSE(connection->IsOpen());
  }
}

// A hostile server's 100 KiB lines are cut (replies) or skipped (listing
// lines); the session goes on and the directory is listed.
TEST_F(FtpClientScripted, OverlongLinesAreCutAndTheSessionGoesOn) {
  const std::string padding(100 * 1024, 'x');
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/home\" is the current directory " + padding)
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("LIST", "150 " + padding)
      .SendData("-rw-r--r-- 1 u g 1 Jan  1  2026 " + padding + "\r\n-rw-r--r-- 1 u g 2 Jan  1  2026 kept\r\n")
      .Reply("226 " + padding);
  auto connection = Start();
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/home");
  CFtpFileFind finder(*connection);
  ASSERT_TRUE(finder.FindFile());
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(finder.GetFilePath(), "/home/kept");
  EXPECT_EQ(connection->LastReply(), ("226 " + padding).substr(0, ftp::ReplyAssembler::kMaxLineLength));
  EXPECT_TRUE(connection->IsOpen());
}

TEST_F(FtpClientScripted, DirectoryRepliesAreParsed) {
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/a \"\"quoted\"\" dir\" is the current directory.")
      .Expect("PWD", "257 no quotes at all")
      .Expect("RNFR a", "350 Ready for RNTO.")
      .Expect("RNTO b", "553 Not allowed.")
      .Expect("RNFR c", "250 Odd but not a go-ahead.");
  auto connection = Start();
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/a \"quoted\" dir");
  EXPECT_FALSE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/a \"quoted\" dir");
  EXPECT_FALSE(connection->Rename("a", "b"));
  EXPECT_EQ(GetLastInternetError(), kErrorExtendedError);
  EXPECT_EQ(connection->LastReply(), "553 Not allowed.");
  EXPECT_FALSE(connection->Rename("c", "d"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"PWD", "PWD", "RNFR a", "RNTO b", "RNFR c"}));
}

TEST_F(FtpClientScripted, ACompletionErrorMakesCloseThrow) {
  const std::vector<std::pair<std::string, std::size_t>> cases = {
      {"226 Transfer complete.", 10000},
      {"426 Connection closed; transfer aborted.", 10000},
      {"451 Requested action aborted: local error.", 10000},
      {"426 Data connection closed early.", 3000},  // the file ends short
      {"550 File vanished.", 0},
  };
  for (const auto& [completion, sent] : cases) {
    SCOPED_TRACE(completion);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("TYPE I", "200 Type set to I.");
    const std::string content = test::RandomBytes(sent, 9);
    Retr(server, content).Reply(completion);
    server.Expect("CWD next", "250 OK");
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    EXPECT_TRUE(test::ReadAll(*file, 4096) == content);
    std::string text;
    const int code = ErrorCodeOf([&] { file->Close(); }, &text);
    EXPECT_EQ(code, completion[0] == '2' ? 0 : kErrorExtendedError);
    EXPECT_EQ(text, completion[0] == '2' ? "" : completion);
    // The completion reply was taken: the next command gets its own reply.
    EXPECT_TRUE(connection->SetCurrentDirectory("next"));
    EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "CWD next"}));
  }
}

TEST_F(FtpClientScripted, A421InsteadOfTheCompletionReplyFailsTheTransferAndCloses) {
  Retr(server.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), "data").Reply("421 Server shutting down.");
  auto connection = Start();
  auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
  EXPECT_EQ(test::ReadAll(*file, 4096), "data");
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { file->Close(); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Server shutting down.");
  EXPECT_FALSE(connection->IsOpen());
}

TEST_F(FtpClientScripted, ClosingAnIdleConnectionSaysQuit) {
  server.Greet().ExpectLogin().Expect("QUIT", "221 Goodbye.");
  auto connection = Start();
  connection->Close();
  connection->Close();  // twice is harmless
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_TRUE(server.WaitUntilScriptDone(5s));
  EXPECT_EQ(server.Commands(), LoginAnd({"QUIT"}));
  EXPECT_TRUE(server.Failures().empty());
}

TEST_F(FtpClientScripted, AResetDataConnectionIsAnErrorNotTheEndOfTheFile) {
  Retr(server.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), std::string(3000, 'x'), DataEnd::Reset)
      .Expect("ABOR", "426 Aborted.").Reply("226 ABOR done.").Expect("NOOP", "200 OK").Expect("CWD next", "250 OK");
  auto connection = Start();
  auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
  std::this_thread::sleep_for(200ms);  // let the reset arrive
  char block[8192];
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { file->Read(block, sizeof block); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text.rfind("The data connection was lost", 0), 0u) << text;
  file->Abort();
  EXPECT_TRUE(connection->SetCurrentDirectory("next"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "ABOR", "NOOP", "CWD next"}));
}

TEST_F(FtpClientScripted, UploadCompletionErrorMakesCloseThrow) {
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 Entering Extended Passive Mode (|||{port}|)")
      .Expect("STOR up", "150 Send it.")
      .ReceiveData()
      .Reply("552 Exceeded storage allocation.");
  auto connection = Start();
  auto file = connection->OpenFile("up", FileAccess::Write, TransferType::Binary);
  const std::string content = test::RandomBytes(600000, 4);
  test::WriteAll(*file, content, 4096);
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { file->Close(); }, &text), kErrorExtendedError);
  EXPECT_EQ(text, "552 Exceeded storage allocation.");
  EXPECT_TRUE(server.ReceivedData() == content);
}

TEST_F(FtpClientScripted, APassiveReplyNamingAnotherHostIsIgnored) {
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .Expect("EPSV", "500 EPSV not understood.")
      .ExpectPassive("PASV", "227 Entering Passive Mode (10,255,255,1,{p1},{p2}).")
      .Expect("RETR f", "150 Go.")
      .SendData("payload")
      .Reply("226 Done.")
      // EPSV was refused for good: the second transfer goes straight to PASV.
      .ExpectPassive("PASV", "227 Entering Passive Mode (192,0,2,7,{p1},{p2})")
      .Expect("RETR f", "150 Go.")
      .SendData("again")
      .Reply("226 Done.");
  auto connection = Start();
  EXPECT_EQ(Download(*connection), "payload");
  EXPECT_EQ(Download(*connection), "again");
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "PASV", "RETR f", "PASV", "RETR f"}));
  EXPECT_TRUE(server.Failures().empty());
}

TEST_F(FtpClientScripted, WithoutPassiveModeTheClientFallsBackToActiveMode) {
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE A", "200 OK")
      .Expect("EPSV", "502 Not implemented.")
      .Expect("PASV", "502 Not implemented.")
      .ExpectActive("EPRT |1|127.0.0.1|*")
      .Expect("RETR f", "150 Connecting to you.")
      .SendData("active\r\nmode\r\n")
      .Reply("226 Done.")
      // Nothing passive is asked again; EPRT refused now, PORT is next.
      .Expect("EPRT *", "522 Use PORT.")
      .ExpectActive("PORT 127,0,0,1,*")
      .Expect("RETR f", "150 Connecting to you.")
      .SendData("port\r\n")
      .Reply("226 Done.")
      .ExpectActive("PORT 127,0,0,1,*")
      .Expect("STOR g", "150 Connecting to you.")
      .ReceiveData()
      .Reply("226 Done.");
  auto connection = Start();
  EXPECT_EQ(Download(*connection, TransferType::Ascii), "active\nmode\n");
  EXPECT_EQ(Download(*connection, TransferType::Ascii), "port\n");
  auto upload = connection->OpenFile("g", FileAccess::Write, TransferType::Ascii);
  test::WriteAll(*upload, "up\nload\n", 3);
  upload->Close();
  EXPECT_EQ(server.ReceivedData(), "up\r\nload\r\n");
  const auto commands = SentCommands(server);
  ASSERT_EQ(commands.size(), kLogin.size() + 10);
  EXPECT_EQ(commands[kLogin.size() + 3].rfind("EPRT |1|127.0.0.1|", 0), 0u);
  EXPECT_EQ(commands[kLogin.size() + 5].rfind("EPRT |1|127.0.0.1|", 0), 0u);
  EXPECT_EQ(commands[kLogin.size() + 6].rfind("PORT 127,0,0,1,", 0), 0u);
  EXPECT_TRUE(server.Failures().empty()) << server.Failures().front();
}

TEST_F(FtpClientScripted, AsciiConversionOnTheWireIsExact) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a\r\nb\r\n", "a\nb\n"},   {"lone\rcr\r\n", "lone\rcr\n"}, {"\r\r\n", "\r\n"},
      {"end with cr\r", "end with cr\r"}, {"\n", "\n"},               {"", ""},
  };
  server.Greet().ExpectLogin().Expect("TYPE A", "200 OK");
  for (const auto& [wire, local] : cases) {
    Retr(server, wire).Reply("226 OK");
  }
  auto connection = Start();
  for (const auto& [wire, local] : cases) EXPECT_EQ(Download(*connection, TransferType::Ascii, 1), local);
}

TEST_F(FtpClientScripted, TypeIsSentOnlyWhenItChanges) {
  server.Greet().ExpectLogin().Expect("TYPE I", "200 OK");
  Retr(server, "x").Reply("226 OK");
  Retr(server, "x").Reply("226 OK");
  Retr(server.Expect("TYPE A", "200 OK"), "x").Reply("226 OK");
  auto connection = Start();
  for (auto type : {TransferType::Binary, TransferType::Binary, TransferType::Ascii}) {
    EXPECT_EQ(Download(*connection, type), "x");
  }
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "EPSV", "RETR f", "TYPE A", "EPSV", "RETR f"}));
}

TEST_F(FtpClientScripted, GarbageListingsGiveOnlyTheEntriesThatParse) {
  const std::string mlsd =
      "type=file;size=12;modify=20261206182100; good.txt\r\n"
      "this is not a fact line\r\n"
      "type=file;size=99999999999999999999999; huge\r\n"
      "type=dir;modify=garbage; sub\r\n"
      "type=file;size=1; ../escape\r\n"
      "type=cdir; .\r\n" +
      std::string("\x01\x02\xff binary\r\n") + "type=file;size=5; with/slash\r\n";
  server.Greet()
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;\r\n EPSV\r\n211 End")
      .Expect("PWD", "257 \"/home\"")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("MLSD", "150 Listing.")
      .SendData(mlsd)
      .Reply("226 OK");
  auto connection = Start();
  CFtpFileFind finder(*connection);
  ASSERT_TRUE(finder.FindFile());
  std::vector<std::string> names;
  bool more = true;
  while (more) {
    more = finder.FindNextFile();
    names.push_back(finder.GetFilePath());
    if (finder.GetFileName() == "good.txt") {
      EXPECT_EQ(finder.GetLength(), 12u);
    }
  }
  // Whatever else the parser keeps, nothing escapes the directory.
  EXPECT_NE(std::find(names.begin(), names.end(), "/home/good.txt"), names.end());
  for (const auto& name : names) {
    EXPECT_EQ(name.rfind("/home/", 0), 0u) << name;
    EXPECT_EQ(name.find('/', 6), std::string::npos) << name;
    EXPECT_EQ(name.find(".."), std::string::npos) << name;
  }
}

TEST_F(FtpClientScripted, ARefusedListingIsEmptyAndTheConnectionGoesOn) {
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/\"")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("LIST", "550 Permission denied.")
      .Expect("CWD a", "250 OK");
  auto connection = Start();
  CFtpFileFind finder(*connection);
  EXPECT_FALSE(finder.FindFile());
  EXPECT_TRUE(connection->SetCurrentDirectory("a"));
}

TEST_F(FtpClientScripted, CloseFromAnotherThreadEndsEveryKindOfBlockedCallPromptly) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    std::function<void(CFtpConnection&)> blockedCall;
  };
  const std::vector<Case> cases = {
      {"reply wait", [](ScriptedFtpServer& s) { s.Stall(); },
       [](CFtpConnection& c) { c.SetCurrentDirectory("x"); }},
      {"data read",
       [](ScriptedFtpServer& s) {
         Retr(s.Expect("TYPE I", "200 OK"), "some", DataEnd::KeepOpen);
       },
       [](CFtpConnection& c) {
         auto file = c.OpenFile("f", FileAccess::Read, TransferType::Binary);
         char block[4096];
         file->Read(block, sizeof block);
       }},
      {"waiting for the active data connection",
       [](ScriptedFtpServer& s) {
         s.Expect("TYPE I", "200 OK")
             .Expect("EPSV", "502 No.")
             .Expect("PASV", "502 No.")
             .Expect("EPRT *", "200 OK")
             .Expect("RETR f", "150 I will connect, some day.")
             .Stall();
       },
       [](CFtpConnection& c) { c.OpenFile("f", FileAccess::Read, TransferType::Binary); }},
      {"completion reply",
       [](ScriptedFtpServer& s) {
         Retr(s.Expect("TYPE I", "200 OK"), "all").Stall();
       },
       [](CFtpConnection& c) {
         auto file = c.OpenFile("f", FileAccess::Read, TransferType::Binary);
         char block[4096];
         file->Read(block, sizeof block);
         file->Close();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin();
    c.script(server);
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session, 60s);
    std::thread closer([&] {
      std::this_thread::sleep_for(200ms);
      connection->Close();
    });
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { c.blockedCall(*connection); }, &text), kErrorOperationCancelled) << text;
    EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 20.0);
    EXPECT_EQ(text, "The connection was closed.");
    closer.join();
  }
}

TEST_F(FtpClientScripted, AbortFromAnotherThreadEndsABlockedReadAndKeepsTheConnection) {
  Retr(server.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), "first bytes", DataEnd::KeepOpen)
      .Expect("ABOR", "426 Transfer aborted.")
      .Reply("226 Abort successful.")
      .Expect("NOOP", "200 OK")
      .Expect("CWD next", "250 OK");
  auto connection = Start(60s);
  auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
  std::thread aborter([&] {
    std::this_thread::sleep_for(200ms);
    file->Abort();
  });
  std::string text;
  char block[4096];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorCodeOf([&] { file->Read(block, sizeof block); }, &text), kErrorOperationCancelled);
  aborter.join();
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 20.0);
  EXPECT_EQ(text, "The transfer was aborted.");
  EXPECT_TRUE(connection->SetCurrentDirectory("next"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "ABOR", "NOOP", "CWD next"}));
}

TEST_F(FtpClientScripted, SessionCloseAbandonsAConnectInProgress) {
  ScriptedFtpServer server;
  server.Stall();  // accepts, never greets
  server.Start();
  CInternetSession session;
  session.SetTimeout(60s);
  std::thread closer([&] {
    std::this_thread::sleep_for(200ms);
    session.Close();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorCodeOf([&] { session.GetFtpConnection("127.0.0.1", "u", "p", server.Port()); }),
            kErrorOperationCancelled);
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 20.0);
  closer.join();
}

TEST_F(FtpClientScripted, FindFileOfOnePathUsesMlstAndReportsAnAbsolutePath) {
  server.Greet()
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;modify*;\r\n211 End")
      .Expect("PWD", "257 \"/home/me\"")
      .Expect("MLST docs/big.iso",
              "250-Listing docs/big.iso\r\n type=file;size=5368709120;modify=20260101120000; /home/me/docs/big.iso\r\n"
              "250 End")
      .Expect("MLST gone", "550 No such file.")
      .Expect("MLST /srv/x y", "250-Listing\r\ntype=dir;modify=20260101120000; /srv/x y\r\n250 End");
  auto connection = Start();
  CFtpFileFind finder(*connection);
  ASSERT_TRUE(finder.FindFile("docs/big.iso", 0));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(finder.GetFileName(), "big.iso");
  EXPECT_EQ(finder.GetFilePath(), "/home/me/docs/big.iso");
  EXPECT_EQ(finder.GetLength(), 5368709120ull);  // over 4 GiB
  EXPECT_TRUE(finder.MatchesMask(kAttributeNormal));
  std::time_t modified = 0;
  ASSERT_TRUE(finder.GetLastWriteTime(modified));
  EXPECT_EQ(modified, 1767268800);
  EXPECT_FALSE(finder.FindFile("gone", 0));
  // A fact line without its leading space, for a directory with a space in its name.
  ASSERT_TRUE(finder.FindFile("/srv/x y", 0));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_EQ(finder.GetFilePath(), "/srv/x y");
  EXPECT_TRUE(finder.MatchesMask(kAttributeDirectory));
  EXPECT_EQ(SentCommands(server), LoginAnd({"PWD", "MLST docs/big.iso", "MLST gone", "MLST /srv/x y"}));
}

TEST(FtpClientAddresses, IPv6ControlAndDataConnections) {
  ScriptedFtpServer server(/*ipv6=*/true);
  Retr(server.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), "over v6")
      .Reply("226 OK")
      .Expect("EPSV", "425 Cannot open passive port now.")
      .Expect("PASV", "502 PASV makes no sense over IPv6.")
      .ExpectActive("EPRT |2|::1|*")
      .Expect("RETR f", "150 Go.")
      .SendData("active v6")
      .Reply("226 OK");
  server.Start();
  CInternetSession session;
  session.SetTimeout(2s);
  auto connection = session.GetFtpConnection("::1", "u", "p", server.Port());
  EXPECT_EQ(Download(*connection), "over v6");
  EXPECT_EQ(Download(*connection), "active v6");
  EXPECT_TRUE(server.Failures().empty()) << server.Failures().front();
}

TEST(FtpClientAddresses, AnEmptyOrUnsafeHostIsRefusedAtOnce) {
  CInternetSession session;
  for (const std::string& host : {std::string(), std::string("host\r\nname")}) {
    EXPECT_EQ(ErrorCodeOf([&] { session.GetFtpConnection(host, "u", "p", 21); }), kErrorNameNotResolved);
  }
  ScriptedFtpServer server;
  server.Greet();
  server.Start();
  EXPECT_EQ(ErrorCodeOf([&] { session.GetFtpConnection("127.0.0.1", "u\r\nDELE x", "p", server.Port()); }),
            kErrorInvalidArgument);
}

TEST(FtpClientAddresses, ClosingTheSessionEndsItsConnections) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Stall();
  server.Start();
  auto session = std::make_unique<CInternetSession>();
  auto connection = Connect(server, *session, 60s);
  std::thread closer([&] {
    std::this_thread::sleep_for(200ms);
    session->Close();
  });
  EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("x"); }), kErrorOperationCancelled);
  closer.join();
  EXPECT_FALSE(connection->IsOpen());
  session.reset();
  connection.reset();  // outliving its session touches nothing freed
}

}  // namespace
}  // namespace veltrim
