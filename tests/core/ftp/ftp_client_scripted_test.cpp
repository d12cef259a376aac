// The FTP client against our scripted server: faults and hostile replies that
// a real server does not produce on demand, and the exact commands sent.

#include <gtest/gtest.h>

#include <thread>

#include "core/ftp/ftp_file_find.h"
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

TEST(FtpClientScripted, MultiLineGreetingAndLoginSendExactlyUserPassFeat) {
  ScriptedFtpServer server;
  server.SendRaw("220-Welcome to the\r\n220-scripted server.\r\n   indented line\r\n220 Ready.\r\n").ExpectLogin();
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_EQ(SentCommands(server), kLogin);
  EXPECT_TRUE(server.Failures().empty());
}

TEST(FtpClientScripted, Utf8IsSwitchedOnWhenAdvertisedAndARefusalIsHarmless) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;modify*;\r\n UTF8\r\n EPSV\r\n211 End")
      .Expect("OPTS UTF8 ON", "501 Not understood.")
      .Expect("CWD /x", "250 OK.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  EXPECT_TRUE(connection->Features().utf8);
  EXPECT_TRUE(connection->Features().mlsd);
  EXPECT_FALSE(connection->Features().size);
  EXPECT_TRUE(connection->SetCurrentDirectory("/x"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"OPTS UTF8 ON", "CWD /x"}));
}

TEST(FtpClientScripted, LoginFailuresCarryTheServersText) {
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

TEST(FtpClientScripted, UserAcceptedWithoutPasswordSkipsPass) {
  ScriptedFtpServer server;
  server.Greet().Expect("USER u", "230 Welcome, no password needed.").Expect("FEAT", "502 No FEAT here.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  EXPECT_FALSE(connection->Features().epsv);
  EXPECT_EQ(SentCommands(server), (Commands{"USER u", "FEAT"}));
}

TEST(FtpClientScripted, AStalledServerRunsIntoTheDeadlineWithAClearText) {
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
         s.Greet()
             .ExpectLogin()
             .Expect("TYPE I", "200 OK")
             .ExpectPassive("EPSV", "229 Extended Passive Mode (|||{port}|)")
             .Expect("RETR f", "150 Here it comes.")
             .SendData("", DataEnd::KeepOpen);
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
    EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 2.5);
    EXPECT_EQ(text.substr(0, c.text.size()), c.text);
  }
}

TEST(FtpClientScripted, AnUploadTheServerStopsReadingRunsIntoTheDeadline) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("STOR up", "150 Send it.")
      .HoldData(5s);
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
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
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 3.0);
  EXPECT_EQ(text, "The server accepted no data on the data connection for 1 second.");
  // Reading from a file opened for writing is refused, not attempted.
  char byte;
  EXPECT_EQ(ErrorCodeOf([&] { file->Read(&byte, 1); }), kErrorInvalidArgument);
}

TEST(FtpClientScripted, AfterADeadlineTheConnectionIsUnusable) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("CWD slow", "").Pause(1500ms).Reply("250 Late.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("slow"); }), kErrorTimeout);
  EXPECT_FALSE(connection->IsOpen());
  // The late 250 must never be taken for the answer to a later command.
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("next"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "The server did not reply within 1 second.");
}

TEST(FtpClientScripted, ADroppedControlConnectionFailsTheOperation) {
  struct Case {
    const char* name;
    std::string partialReply;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"before the reply", "", "The server closed the connection."},
      {"in the middle of a line", "250 Direct", "The server closed the connection in the middle of a reply."},
      {"in a multi-line reply", "250-first\r\n250-second\r\n",
       "The server closed the connection in the middle of a reply."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("CWD x", "").SendRaw(c.partialReply).Drop();
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("x"); }, &text), kErrorConnectionAborted);
    EXPECT_EQ(text, c.text);
    EXPECT_FALSE(connection->IsOpen());
  }
}

TEST(FtpClientScripted, A421AtAnyMomentClosesTheConnectionWithTheServersText) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("MKD new", "421 Timeout, closing control connection.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { connection->CreateDirectory("new"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Timeout, closing control connection.");
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_EQ(ErrorCodeOf([&] { connection->CreateDirectory("other"); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Timeout, closing control connection.");
}

TEST(FtpClientScripted, HostileRepliesAreProtocolErrorsNotCrashesOrMemoryHogs) {
  struct Case {
    const char* name;
    std::string reply;
  };
  const std::vector<Case> cases = {
      {"overlong line", "250 " + std::string(100000, 'A') + "\r\n"},
      {"overlong line without end", std::string("250 ") + std::string(20000, 'B')},
      {"endless multi-line reply", [] {
         std::string r;
         for (int i = 0; i < 5000; ++i) r += "250-line " + std::to_string(i) + "\r\n";
         return r;
       }()},
      {"not a reply", "Hello there, I am not an FTP server\r\n"},
      {"nothing but preliminary replies", [] {
         std::string r;
         for (int i = 0; i < 40; ++i) r += "150 Still thinking.\r\n";
         return r;
       }()},
      {"binary garbage", std::string("\x01\x02\xff\xfe\0\0\r\n", 8)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("CWD x", "").SendRaw(c.reply);
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("x"); }, &text), kErrorProtocol) << text;
    EXPECT_FALSE(connection->IsOpen());
  }
}

TEST(FtpClientScripted, DirectoryRepliesAreParsed) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/a \"\"quoted\"\" dir\" is the current directory.")
      .Expect("PWD", "257 no quotes at all")
      .Expect("RNFR a", "350 Ready for RNTO.")
      .Expect("RNTO b", "553 Not allowed.")
      .Expect("RNFR c", "250 Odd but not a go-ahead.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
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

// A download over EPSV with the given completion reply.
void ScriptDownload(ScriptedFtpServer& server, const std::string& data, const std::string& completion,
                    DataEnd end = DataEnd::Close) {
  server.ExpectPassive("EPSV", "229 Entering Extended Passive Mode (|||{port}|)")
      .Expect("RETR f", "150 Opening BINARY mode data connection.")
      .SendData(data, end);
  if (!completion.empty()) server.Reply(completion);
}

TEST(FtpClientScripted, ACompletionErrorMakesCloseThrow) {
  struct Case {
    std::string completion;
    DataEnd end;
    std::size_t sent;
  };
  const std::vector<Case> cases = {
      {"226 Transfer complete.", DataEnd::Close, 10000},
      {"426 Connection closed; transfer aborted.", DataEnd::Close, 10000},
      {"451 Requested action aborted: local error.", DataEnd::Close, 10000},
      {"426 Data connection closed early.", DataEnd::Close, 3000},  // the file ends short
      {"550 File vanished.", DataEnd::Close, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.completion);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("TYPE I", "200 Type set to I.");
    const std::string content = test::RandomBytes(c.sent, 9);
    ScriptDownload(server, content, c.completion, c.end);
    server.Expect("CWD next", "250 OK");
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    EXPECT_TRUE(test::ReadAll(*file, 4096) == content);
    std::string text;
    const int code = ErrorCodeOf([&] { file->Close(); }, &text);
    if (c.completion[0] == '2') {
      EXPECT_EQ(code, 0);
    } else {
      EXPECT_EQ(code, kErrorExtendedError);
      EXPECT_EQ(text, c.completion);
    }
    // The completion reply was taken: the next command gets its own reply.
    EXPECT_TRUE(connection->SetCurrentDirectory("next"));
    EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "CWD next"}));
  }
}

TEST(FtpClientScripted, A421InsteadOfTheCompletionReplyFailsTheTransferAndCloses) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("TYPE I", "200 OK");
  ScriptDownload(server, "data", "421 Server shutting down.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
  EXPECT_EQ(test::ReadAll(*file, 4096), "data");
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { file->Close(); }, &text), kErrorConnectionAborted);
  EXPECT_EQ(text, "421 Server shutting down.");
  EXPECT_FALSE(connection->IsOpen());
}

TEST(FtpClientScripted, ClosingAnIdleConnectionSaysQuit) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("QUIT", "221 Goodbye.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  connection->Close();
  connection->Close();  // twice is harmless
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_TRUE(server.WaitUntilScriptDone(5s));
  EXPECT_EQ(server.Commands(), LoginAnd({"QUIT"}));
  EXPECT_TRUE(server.Failures().empty());
}

TEST(FtpClientScripted, AResetDataConnectionIsAnErrorNotTheEndOfTheFile) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("TYPE I", "200 OK");
  ScriptDownload(server, std::string(3000, 'x'), "", DataEnd::Reset);
  server.Expect("ABOR", "426 Aborted.").Reply("226 ABOR done.").Expect("NOOP", "200 OK").Expect("CWD next", "250 OK");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
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

TEST(FtpClientScripted, UploadCompletionErrorMakesCloseThrow) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 Entering Extended Passive Mode (|||{port}|)")
      .Expect("STOR up", "150 Send it.")
      .ReceiveData()
      .Reply("552 Exceeded storage allocation.");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  auto file = connection->OpenFile("up", FileAccess::Write, TransferType::Binary);
  const std::string content = test::RandomBytes(600000, 4);
  test::WriteAll(*file, content, 4096);
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { file->Close(); }, &text), kErrorExtendedError);
  EXPECT_EQ(text, "552 Exceeded storage allocation.");
  EXPECT_TRUE(server.ReceivedData() == content);
}

TEST(FtpClientScripted, APassiveReplyNamingAnotherHostIsIgnored) {
  ScriptedFtpServer server;
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
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  for (const char* expected : {"payload", "again"}) {
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    EXPECT_EQ(test::ReadAll(*file, 4096), expected);
    file->Close();
  }
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "PASV", "RETR f", "PASV", "RETR f"}));
  EXPECT_TRUE(server.Failures().empty());
}

TEST(FtpClientScripted, WithoutPassiveModeTheClientFallsBackToActiveMode) {
  ScriptedFtpServer server;
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
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  auto first = connection->OpenFile("f", FileAccess::Read, TransferType::Ascii);
  EXPECT_EQ(test::ReadAll(*first, 4096), "active\nmode\n");
  first->Close();
  auto second = connection->OpenFile("f", FileAccess::Read, TransferType::Ascii);
  EXPECT_EQ(test::ReadAll(*second, 4096), "port\n");
  second->Close();
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

TEST(FtpClientScripted, AsciiConversionOnTheWireIsExact) {
  struct Case {
    std::string wire;
    std::string local;
  };
  const std::vector<Case> cases = {
      {"a\r\nb\r\n", "a\nb\n"},   {"lone\rcr\r\n", "lone\rcr\n"}, {"\r\r\n", "\r\n"},
      {"end with cr\r", "end with cr\r"}, {"\n", "\n"},               {"", ""},
  };
  for (const auto& c : cases) {
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("TYPE A", "200 OK");
    server.ExpectPassive("EPSV", "229 (|||{port}|)").Expect("RETR f", "150 Go.").SendData(c.wire).Reply("226 OK");
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    for (std::size_t block : {std::size_t{1}}) {
      auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Ascii);
      EXPECT_EQ(test::ReadAll(*file, block), c.local);
      file->Close();
    }
  }
}

TEST(FtpClientScripted, TypeIsSentOnlyWhenItChanges) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin().Expect("TYPE I", "200 OK");
  for (int i = 0; i < 2; ++i) {
    server.ExpectPassive("EPSV", "229 (|||{port}|)").Expect("RETR f", "150 Go.").SendData("x").Reply("226 OK");
  }
  server.Expect("TYPE A", "200 OK");
  server.ExpectPassive("EPSV", "229 (|||{port}|)").Expect("RETR f", "150 Go.").SendData("x").Reply("226 OK");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  for (auto type : {TransferType::Binary, TransferType::Binary, TransferType::Ascii}) {
    auto file = connection->OpenFile("f", FileAccess::Read, type);
    EXPECT_EQ(test::ReadAll(*file, 16), "x");
    file->Close();
  }
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "EPSV", "RETR f", "TYPE A", "EPSV", "RETR f"}));
}

TEST(FtpClientScripted, GarbageListingsGiveOnlyTheEntriesThatParse) {
  ScriptedFtpServer server;
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
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
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

TEST(FtpClientScripted, ARefusedListingIsEmptyAndTheConnectionGoesOn) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/\"")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("LIST", "550 Permission denied.")
      .Expect("CWD a", "250 OK");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
  CFtpFileFind finder(*connection);
  EXPECT_FALSE(finder.FindFile());
  EXPECT_TRUE(connection->SetCurrentDirectory("a"));
}

TEST(FtpClientScripted, CloseFromAnotherThreadEndsEveryKindOfBlockedCallPromptly) {
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
         s.Expect("TYPE I", "200 OK")
             .ExpectPassive("EPSV", "229 (|||{port}|)")
             .Expect("RETR f", "150 Go.")
             .SendData("some", DataEnd::KeepOpen);
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
         s.Expect("TYPE I", "200 OK")
             .ExpectPassive("EPSV", "229 (|||{port}|)")
             .Expect("RETR f", "150 Go.")
             .SendData("all")
             .Stall();
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
    auto connection = Connect(server, session, 10s);
    std::thread closer([&] {
      std::this_thread::sleep_for(200ms);
      connection->Close();
    });
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { c.blockedCall(*connection); }, &text), kErrorOperationCancelled) << text;
    EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 2.0);
    EXPECT_EQ(text, "The connection was closed.");
    closer.join();
  }
}

TEST(FtpClientScripted, AbortFromAnotherThreadEndsABlockedReadAndKeepsTheConnection) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("RETR f", "150 Go.")
      .SendData("first bytes", DataEnd::KeepOpen)
      .Expect("ABOR", "426 Transfer aborted.")
      .Reply("226 Abort successful.")
      .Expect("NOOP", "200 OK")
      .Expect("CWD next", "250 OK");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session, 10s);
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
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 2.0);
  EXPECT_EQ(text, "The transfer was aborted.");
  EXPECT_TRUE(connection->SetCurrentDirectory("next"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "ABOR", "NOOP", "CWD next"}));
}

TEST(FtpClientScripted, SessionCloseAbandonsAConnectInProgress) {
  ScriptedFtpServer server;
  server.Stall();  // accepts, never greets
  server.Start();
  CInternetSession session;
  session.SetTimeout(10s);
  std::thread closer([&] {
    std::this_thread::sleep_for(200ms);
    session.Close();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorCodeOf([&] { session.GetFtpConnection("127.0.0.1", "u", "p", server.Port()); }),
            kErrorOperationCancelled);
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start), 2.0);
  closer.join();
}

TEST(FtpClientScripted, FindFileOfOnePathUsesMlstAndReportsAnAbsolutePath) {
  ScriptedFtpServer server;
  server.Greet()
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;modify*;\r\n211 End")
      .Expect("PWD", "257 \"/home/me\"")
      .Expect("MLST docs/big.iso",
              "250-Listing docs/big.iso\r\n type=file;size=5368709120;modify=20260101120000; /home/me/docs/big.iso\r\n"
              "250 End")
      .Expect("MLST gone", "550 No such file.")
      .Expect("MLST /srv/x y", "250-Listing\r\ntype=dir;modify=20260101120000; /srv/x y\r\n250 End");
  server.Start();
  CInternetSession session;
  auto connection = Connect(server, session);
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

}  // namespace
}  // namespace veltrim

namespace veltrim {
namespace {

TEST(FtpClientAddresses, IPv6ControlAndDataConnections) {
  ScriptedFtpServer server(/*ipv6=*/true);
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("RETR f", "150 Go.")
      .SendData("over v6")
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
  for (const char* expected : {"over v6", "active v6"}) {
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    EXPECT_EQ(test::ReadAll(*file, 4096), expected);
    file->Close();
  }
  EXPECT_TRUE(server.Failures().empty()) << server.Failures().front();
}

TEST(FtpClientAddresses, HostNamesAreResolved) {
  ScriptedFtpServer server;
  server.Greet().ExpectLogin();
  server.Start();
  CInternetSession session;
  session.SetTimeout(5s);
  auto connection = session.GetFtpConnection("localhost", "u", "p", server.Port());
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_EQ(SentCommands(server), kLogin);
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
  auto connection = Connect(server, *session, 10s);
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
