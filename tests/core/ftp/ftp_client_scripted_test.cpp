// The FTP client against our scripted server: faults and hostile replies that
// a real server does not produce on demand, and the exact commands sent.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

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

// Another host (127.0.0.2) connects to the client's active-mode port first
// and offers its own bytes; the step ends once the client has hung up on it.
ScriptedFtpServer::Step AnotherHostConnects(ScriptedFtpServer& server) {
  return [&server](test::ScriptContext& context) {
    const std::string target = server.ActiveTarget();
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.2", &from.sin_addr);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(static_cast<uint16_t>(std::stoi(target.substr(target.find(':') + 1))));
    ftp::UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(fd.Get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
      return context.Fail("the other host could not connect");
    }
    send(fd.Get(), "intruder", 8, MSG_NOSIGNAL);
    shutdown(fd.Get(), SHUT_WR);
    pollfd hangUp{fd.Get(), POLLIN, 0};
    poll(&hangUp, 1, 5000);
  };
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

// A multi-line greeting, a host name to resolve, UTF8 advertised but OPTS
// refused (harmless), and a close (twice harmless) that says QUIT.
TEST_F(FtpClientScripted, LoginSendsExactlyWhatIsNeededAndCloseSaysQuit) {
  server.SendRaw("220-Welcome to the\r\n220-scripted server.\r\n   indented line\r\n220 Ready.\r\n")
      .ExpectLogin("u", "p", "211-Features:\r\n MLST type*;size*;modify*;\r\n UTF8\r\n EPSV\r\n211 End")
      .Expect("OPTS UTF8 ON", "501 Not understood.")
      .Expect("CWD /x", "250 OK.")
      .Expect("QUIT", "221 Goodbye.");
  server.Start();
  session.SetTimeout(5s);
  auto connection = session.GetFtpConnection("localhost", "u", "p", server.Port());  // the name is resolved
  EXPECT_TRUE(connection->Features().utf8);
  EXPECT_TRUE(connection->SetCurrentDirectory("/x"));
  connection->Close();
  connection->Close();
  EXPECT_FALSE(connection->IsOpen());
  EXPECT_TRUE(server.WaitUntilScriptDone(5s));
  EXPECT_EQ(server.Commands(), LoginAnd({"OPTS UTF8 ON", "CWD /x", "QUIT"}));
  EXPECT_TRUE(server.Failures().empty());
}

// Arguments with a line break or NUL are refused before anything is sent.
TEST_F(FtpClientScripted, ArgumentsWithLineBreaksAreRefusedBeforeSending) {
  server.Greet().ExpectLogin().Expect("PWD", "257 \"/\"");
  auto connection = Start();
  for (const std::string& bad : {std::string("a\r\nDELE v"), std::string("a\nDELE v"), std::string("a\rDELE v"),
                                 std::string("a\0DELE v", 8)}) {
    EXPECT_FALSE(connection->SetCurrentDirectory(bad));
    EXPECT_EQ(GetLastInternetError(), kErrorInvalidArgument);
    EXPECT_FALSE(connection->CreateDirectory(bad));
    EXPECT_FALSE(connection->Rename(bad, "x"));
    EXPECT_FALSE(connection->Rename("v", bad));
    EXPECT_FALSE(CFtpFileFind(*connection).FindFile(bad));
    EXPECT_EQ(ErrorCodeOf([&] { connection->OpenFile(bad, FileAccess::Read, TransferType::Binary); }),
              kErrorInvalidArgument);
  }
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(SentCommands(server), LoginAnd({"PWD"}));
}

enum class FailingCall { Login, Cwd, Read, Open, Write };

// Each way a server can fail the client: the error's code and the start of
// its text, within the deadline. A connection that failed a command is closed,
// so that a late reply never answers the next command.
TEST(FtpClientFailures, EachHasItsCodeAndAClearText) {
  const std::string noReply = "The server did not reply within 1 second.";
  const std::string cutShort = "The server closed the connection in the middle of a reply.";
  const auto repeat = [](const std::string& line, int times) {
    std::string r;
    while (times-- > 0) r += line;
    return r;
  };
  // Logs in, then answers CWD x with raw bytes (and drops the connection, when asked).
  const auto cwd = [](std::string raw, bool drop = false) {
    return [=](ScriptedFtpServer& s) {
      s.Greet().ExpectLogin().Expect("CWD x", "").SendRaw(raw);
      if (drop) s.Drop();
    };
  };
  struct Case {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    FailingCall call;
    int code;
    std::string text;  // "": not checked
  };
  const std::vector<Case> cases = {
      {"greeting refused", [](ScriptedFtpServer& s) { s.Reply("421 Too many users, try later."); }, FailingCall::Login,
       kErrorConnectionAborted, "421 Too many users, try later."},
      {"user refused", [](ScriptedFtpServer& s) { s.Greet().Expect("USER u", "530 Not allowed."); },
       FailingCall::Login, kErrorLoginFailure, "530 Not allowed."},
      {"password refused",
       [](ScriptedFtpServer& s) {
         s.Greet().Expect("USER u", "331 Password?").Expect("PASS p", "530-Login incorrect.\r\n530 Bye.");
       },
       FailingCall::Login, kErrorLoginFailure, "530-Login incorrect.\n530 Bye."},
      {"account demanded",
       [](ScriptedFtpServer& s) { s.Greet().Expect("USER u", "331 Password?").Expect("PASS p", "332 Need account."); },
       FailingCall::Login, kErrorLoginFailure,
       "The server asks for an account (ACCT) after the password, which this program does not support: 332 Need "
       "account."},
      {"no greeting", [](ScriptedFtpServer& s) { s.Stall(); }, FailingCall::Login, kErrorTimeout, noReply},
      {"no answer to CWD", [](ScriptedFtpServer& s) { s.Greet().ExpectLogin().Stall(); }, FailingCall::Cwd,
       kErrorTimeout, noReply},
      {"an answer after the deadline",
       [](ScriptedFtpServer& s) { s.Greet().ExpectLogin().Expect("CWD x", "").Pause(1500ms).Reply("250 Late."); },
       FailingCall::Cwd, kErrorTimeout, noReply},
      {"421 instead of the answer", cwd("421 Timeout, closing control connection.\r\n"), FailingCall::Cwd,
       kErrorConnectionAborted, "421 Timeout, closing control connection."},
      {"dropped before the reply", cwd("", true), FailingCall::Cwd, kErrorConnectionAborted,
       "The server closed the connection."},
      {"dropped in the middle of a line", cwd("250 Direct", true), FailingCall::Cwd, kErrorConnectionAborted, cutShort},
      {"dropped in a multi-line reply", cwd("250-first\r\n250-second\r\n", true), FailingCall::Cwd,
       kErrorConnectionAborted, cutShort},
      {"nothing but preliminary replies", cwd(repeat("150 Still thinking.\r\n", 40)), FailingCall::Cwd,
       kErrorProtocol, ""},
      {"no data", [](ScriptedFtpServer& s) { Retr(s.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), "", DataEnd::KeepOpen); },
       FailingCall::Read, kErrorTimeout, "No data arrived on the data connection for 1 second."},
      {"passive port never answers",
       [](ScriptedFtpServer& s) { s.Greet().ExpectLogin().Expect("TYPE I", "200 OK").Expect("EPSV", "229 (|||1|)"); },
       FailingCall::Open, kErrorCannotConnect, "Cannot connect to the data connection (127.0.0.1:1)"},
      {"an upload the server stops reading",
       [](ScriptedFtpServer& s) {
         s.Greet().ExpectLogin().Expect("TYPE I", "200 OK").ExpectPassive("EPSV", "229 (|||{port}|)");
         s.Expect("STOR f", "150 Send it.").HoldData(5s);
       },
       FailingCall::Write, kErrorTimeout, "The server accepted no data on the data connection for 1 second."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    c.script(server);
    server.Start();
    CInternetSession session;
    std::unique_ptr<CFtpConnection> connection;
    std::string text;
    const auto start = std::chrono::steady_clock::now();
    const int code = ErrorCodeOf(
        [&] {
          connection = Connect(server, session);
          if (c.call == FailingCall::Cwd) connection->SetCurrentDirectory("x");
          if (c.call == FailingCall::Open || c.call == FailingCall::Read) {
            auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
            char block[16];
            file->Read(block, sizeof block);
          }
          if (c.call == FailingCall::Write) {
            auto file = connection->OpenFile("f", FileAccess::Write, TransferType::Binary);
            const std::string block(1 << 20, 'z');
            for (int i = 0; i < 1024; ++i) file->Write(block.data(), block.size());
          }
        },
        &text);
    EXPECT_EQ(code, c.code) << text;
    EXPECT_EQ(text.substr(0, c.text.size()), c.text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    if (c.call == FailingCall::Cwd) {
      EXPECT_FALSE(connection->IsOpen());
      std::string again;
      EXPECT_EQ(ErrorCodeOf([&] { connection->SetCurrentDirectory("y"); }, &again), kErrorConnectionAborted);
      EXPECT_EQ(again, text);
    }
  }
}

TEST_F(FtpClientScripted, UserAcceptedWithoutPasswordSkipsPass) {
  server.Greet().Expect("USER u", "230 Welcome, no password needed.").Expect("FEAT", "502 No FEAT here.");
  auto connection = Start();
  EXPECT_FALSE(connection->Features().epsv);
  EXPECT_EQ(SentCommands(server), (Commands{"USER u", "FEAT"}));
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

// A PWD reply without a quoted directory leaves the directory as it was; a
// refused listing is empty; a refused RNTO, and a 2xx to RNFR (no
// go-ahead), fail the rename.
TEST_F(FtpClientScripted, DirectoryAndRenameReplies) {
  server.Greet()
      .ExpectLogin()
      .Expect("PWD", "257 \"/a \"\"quoted\"\" dir\" is the current directory.")
      .Expect("PWD", "257 no quotes at all")
      .ExpectPassive("EPSV", "229 (|||{port}|)")
      .Expect("LIST", "550 Permission denied.")
      .Expect("RNFR a", "350 Ready for RNTO.")
      .Expect("RNTO b", "553 Not allowed.")
      .Expect("RNFR c", "250 Odd but not a go-ahead.");
  auto connection = Start();
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_FALSE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/a \"quoted\" dir");
  EXPECT_FALSE(CFtpFileFind(*connection).FindFile());
  EXPECT_FALSE(connection->Rename("a", "b"));
  EXPECT_EQ(GetLastInternetError(), kErrorExtendedError);
  EXPECT_EQ(connection->LastReply(), "553 Not allowed.");
  EXPECT_FALSE(connection->Rename("c", "d"));
  EXPECT_EQ(SentCommands(server), LoginAnd({"PWD", "PWD", "EPSV", "LIST", "RNFR a", "RNTO b", "RNFR c"}));
}

TEST_F(FtpClientScripted, ACompletionErrorMakesCloseThrow) {
  const std::vector<std::pair<std::string, std::size_t>> cases = {
      {"226 Transfer complete.", 10000},
      {"426 Connection closed; transfer aborted.", 10000},
      {"451 Requested action aborted: local error.", 10000},
      {"426 Data connection closed early.", 3000},  // the file ends short
      {"550 File vanished.", 0},
      {"421 Server shutting down.", 100},  // and the connection is closed
  };
  for (const auto& [completion, sent] : cases) {
    SCOPED_TRACE(completion);
    const bool closes = completion.rfind("421", 0) == 0;
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Expect("TYPE I", "200 Type set to I.");
    const std::string content = test::RandomBytes(sent, 9);
    Retr(server, content).Reply(completion);
    if (!closes) server.Expect("CWD next", "250 OK");
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session);
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    EXPECT_TRUE(test::ReadAll(*file, 4096) == content);
    std::string text;
    const int code = ErrorCodeOf([&] { file->Close(); }, &text);
    EXPECT_EQ(code, completion[0] == '2' ? 0 : closes ? kErrorConnectionAborted : kErrorExtendedError);
    EXPECT_EQ(text, completion[0] == '2' ? "" : completion);
    EXPECT_EQ(connection->IsOpen(), !closes);
    if (closes) continue;
    // The completion reply was taken: the next command gets its own reply.
    EXPECT_TRUE(connection->SetCurrentDirectory("next"));
    EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "CWD next"}));
  }
}

// A reset data connection is an error, not the end of the file; an abort
// from another thread ends a blocked read. After either, ABOR keeps the
// connection in step.
TEST(FtpClientDataEnd, AResetOrAnAbortedReadFailsAndTheConnectionGoesOn) {
  for (const bool reset : {true, false}) {
    SCOPED_TRACE(reset ? "reset" : "aborted");
    ScriptedFtpServer server;
    Retr(server.Greet().ExpectLogin().Expect("TYPE I", "200 OK"), std::string(3000, 'x'),
         reset ? DataEnd::Reset : DataEnd::KeepOpen)
        .Expect("ABOR", "426 Aborted.").Reply("226 ABOR done.").Expect("NOOP", "200 OK").Expect("CWD next", "250 OK");
    server.Start();
    CInternetSession session;
    auto connection = Connect(server, session, 60s);
    auto file = connection->OpenFile("f", FileAccess::Read, TransferType::Binary);
    std::thread aborter([&] {
      std::this_thread::sleep_for(200ms);  // the reset arrives, or the read blocks
      if (!reset) file->Abort();
    });
    if (reset) aborter.join();
    char block[8192];
    std::string text;
    const int code = ErrorCodeOf([&] { file->Read(block, sizeof block); }, &text);
    reset ? file->Abort() : aborter.join();
    EXPECT_EQ(code, reset ? kErrorConnectionAborted : kErrorOperationCancelled);
    EXPECT_EQ(text.rfind(reset ? "The data connection was lost" : "The transfer was aborted.", 0), 0u) << text;
    EXPECT_TRUE(connection->SetCurrentDirectory("next"));
    EXPECT_EQ(SentCommands(server), LoginAnd({"TYPE I", "EPSV", "RETR f", "ABOR", "NOOP", "CWD next"}));
  }
}

// EPSV refused: PASV, whose address is ignored (only its port counts), and
// no EPSV again. PASV refused too: active mode, EPRT and then PORT, where a
// data connection from another host is refused. A refused upload makes
// Close throw.
TEST_F(FtpClientScripted, PassiveFallsBackToActiveModeAndTrustsOnlyTheServer) {
  server.Greet()
      .ExpectLogin()
      .Expect("TYPE I", "200 OK")
      .Expect("EPSV", "500 EPSV not understood.")
      .ExpectPassive("PASV", "227 Entering Passive Mode (10,255,255,1,{p1},{p2}).")
      .Expect("RETR f", "150 Go.")
      .SendData("payload")
      .Reply("226 Done.")
      .Expect("TYPE A", "200 OK")
      .Expect("PASV", "502 Not implemented.")
      .ExpectActive("EPRT |1|127.0.0.1|*")
      .Expect("RETR f", "150 Connecting to you.")
      .Do(AnotherHostConnects(server))  // not the server: refused
      .SendData("active\r\nmode\r\n")
      .Reply("226 Done.")
      // Nothing passive is asked again; EPRT refused now, PORT is next.
      .Expect("EPRT |1|127.0.0.1|*", "522 Use PORT.")
      .ExpectActive("PORT 127,0,0,1,*")
      .Expect("STOR g", "150 Connecting to you.")
      .ReceiveData()
      .Reply("552 Exceeded storage allocation.");
  auto connection = Start();
  EXPECT_EQ(Download(*connection), "payload");
  EXPECT_EQ(Download(*connection, TransferType::Ascii), "active\nmode\n");
  auto upload = connection->OpenFile("g", FileAccess::Write, TransferType::Ascii);
  test::WriteAll(*upload, "up\nload\n", 3);
  char byte;  // reading from a file opened for writing is refused, not attempted
  EXPECT_EQ(ErrorCodeOf([&] { upload->Read(&byte, 1); }), kErrorInvalidArgument);
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { upload->Close(); }, &text), kErrorExtendedError);
  EXPECT_EQ(text, "552 Exceeded storage allocation.");
  EXPECT_EQ(server.ReceivedData(), "up\r\nload\r\n");
  EXPECT_EQ(SentCommands(server).size(), kLogin.size() + 11);
  EXPECT_TRUE(server.Failures().empty()) << server.Failures().front();
}

// Close from another thread, of the connection or of the whole session, ends
// whatever call waits; the connection may outlive its session.
TEST(FtpClientClose, FromAnotherThreadEndsEveryKindOfBlockedCallPromptly) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;  // after the login
    std::function<void(CFtpConnection&)> blockedCall;  // none: the connect itself
    bool closeSession;
  };
  const std::vector<Case> cases = {
      {"connect", nullptr, nullptr, true},
      {"reply wait", [](ScriptedFtpServer& s) { s.Stall(); }, [](CFtpConnection& c) { c.SetCurrentDirectory("x"); },
       false},
      {"reply wait, session closed", [](ScriptedFtpServer& s) { s.Stall(); },
       [](CFtpConnection& c) { c.SetCurrentDirectory("x"); }, true},
      {"data read", [](ScriptedFtpServer& s) { Retr(s.Expect("TYPE I", "200 OK"), "some", DataEnd::KeepOpen); },
       [](CFtpConnection& c) {
         auto file = c.OpenFile("f", FileAccess::Read, TransferType::Binary);
         char block[4096];
         file->Read(block, sizeof block);
       },
       false},
      {"waiting for the active data connection",
       [](ScriptedFtpServer& s) {
         s.Expect("TYPE I", "200 OK").Expect("EPSV", "502 No.").Expect("PASV", "502 No.").Expect("EPRT *", "200 OK");
         s.Expect("RETR f", "150 I will connect, some day.").Stall();
       },
       [](CFtpConnection& c) { c.OpenFile("f", FileAccess::Read, TransferType::Binary); }, false},
      {"completion reply", [](ScriptedFtpServer& s) { Retr(s.Expect("TYPE I", "200 OK"), "all").Stall(); },
       [](CFtpConnection& c) {
         auto file = c.OpenFile("f", FileAccess::Read, TransferType::Binary);
         char block[4096];
         file->Read(block, sizeof block);
         file->Close();
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFtpServer server;
    if (c.script) c.script(server.Greet().ExpectLogin());
    else server.Stall();  // accepts, never greets
    server.Start();
    std::unique_ptr<CFtpConnection> connection;  // outlives the session
    CInternetSession session;
    if (c.blockedCall) connection = Connect(server, session, 60s);
    std::thread closer([&] {
      std::this_thread::sleep_for(200ms);
      c.closeSession ? session.Close() : connection->Close();
    });
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_EQ(ErrorCodeOf([&] { c.blockedCall ? c.blockedCall(*connection) : void(Connect(server, session, 60s)); }, &text),
              kErrorOperationCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_EQ(text, "The connection was closed.");
    closer.join();
    EXPECT_TRUE(!connection || !connection->IsOpen());
  }
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

// A name may resolve to IPv6 first while the server listens on IPv4 only: a
// refused address gives way to the next one.
TEST(FtpClientAddresses, ARefusedAddressGivesWayToTheNext) {
  ScriptedFtpServer server;  // 127.0.0.1 only
  server.Greet();
  server.Start();
  const auto deadline = ftp::Clock::now() + 5s;
  const ftp::SocketAddress v6 = ftp::ResolveHost("::1", server.Port(), {}, deadline, 5s).front();
  const ftp::SocketAddress v4 = ftp::ResolveHost("127.0.0.1", server.Port(), {}, deadline, 5s).front();
  ftp::UniqueFd reserved(socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));  // bound, never listening
  ASSERT_EQ(bind(reserved.Get(), v6.Raw(), v6.length), 0);
  const ftp::UniqueFd connected = ftp::ConnectToAny({v6, v4}, "dual.example", {}, deadline, 5s);
  EXPECT_EQ(ftp::PeerAddressOf(connected.Get()).HostText(), "127.0.0.1");
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

}  // namespace
}  // namespace veltrim
