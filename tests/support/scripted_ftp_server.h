#pragma once
// A scripted FTP server on 127.0.0.1 (or ::1) for what a real server will not do on
// demand: stalls, dropped connections, odd or hostile replies, data
// connections that end early. The script is a list of steps run in order on
// one thread against the client's control connection; every command line the
// client sent is recorded, so tests can check exactly what went over the wire.
//
//   ScriptedFtpServer server;
//   server.Greet().ExpectLogin().Expect("CWD /x", "250 OK").Stall();
//   server.Start();
//   ... run the client against server.Port() ...
//   EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER u", ...}));
//
// After the last step the server keeps reading: QUIT gets "221 Goodbye.",
// anything else "502 Command not scripted.", until the client goes away.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/ftp/socket_io.h"
#include "core/ftp/wake_signal.h"

namespace veltrim::test {

// How a data connection ends after its bytes were sent.
enum class DataEnd {
  Close,     // orderly close: the client sees the end of the file
  Reset,     // connection reset: the client sees an error
  KeepOpen,  // stays open without sending more until the client or the test ends it
};

class ScriptedFtpServer;

// What a custom step (Do) can work with.
class ScriptContext {
 public:
  // The next command line (without CRLF), recorded; empty with ok=false when
  // the client closed the connection or the wait ran out.
  std::string ReadCommand(bool* ok = nullptr);
  void SendRaw(const std::string& bytes);
  void SendLine(const std::string& line) { SendRaw(line + "\r\n"); }
  void Fail(const std::string& why);

 private:
  friend class ScriptedFtpServer;
  explicit ScriptContext(ScriptedFtpServer& server) : server_(server) {}
  ScriptedFtpServer& server_;
};

class ScriptedFtpServer {
 public:
  using Step = std::function<void(ScriptContext&)>;

  // Listens on 127.0.0.1, or on ::1 with ipv6 (passive data ports too).
  explicit ScriptedFtpServer(bool ipv6 = false);
  ~ScriptedFtpServer();
  ScriptedFtpServer(const ScriptedFtpServer&) = delete;
  ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

  uint16_t Port() const { return port_; }
  // How long the server waits for the client at any one step (default 10 s),
  // so that a broken test fails instead of hanging.
  void SetStepTimeout(std::chrono::milliseconds timeout) { stepTimeout_ = timeout; }

  // --- The script, built before Start() ---
  // Raw bytes on the control connection, exactly as given.
  ScriptedFtpServer& SendRaw(std::string bytes);
  // One reply; "\r\n" is appended. Multi-line replies: lines joined by "\r\n".
  ScriptedFtpServer& Reply(std::string text);
  ScriptedFtpServer& Greet(std::string text = "220 Scripted server ready.") { return Reply(std::move(text)); }
  // The next command must be exactly command (or start with it when command
  // ends in "*"); then reply is sent (nothing when empty). A mismatch is
  // recorded in Failures() and answered with "500 Unexpected command.".
  ScriptedFtpServer& Expect(std::string command, std::string reply);
  // USER user / 331, PASS password / 230, FEAT / features (without UTF8 by
  // default, so no OPTS follows).
  ScriptedFtpServer& ExpectLogin(std::string user = "u", std::string password = "p",
                                 std::string features = "211-Features:\r\n EPSV\r\n SIZE\r\n211 End");
  // Opens a passive data port and answers command (EPSV or PASV) with reply,
  // in which "{port}", "{p1}" and "{p2}" stand for the port, its high and low byte.
  ScriptedFtpServer& ExpectPassive(std::string command, std::string reply);
  // Takes the client's EPRT or PORT (command must match as in Expect) and
  // remembers the address it names for the data connection; answers reply.
  ScriptedFtpServer& ExpectActive(std::string command, std::string reply = "200 OK");
  // Opens the data connection (accepts on the passive port or connects to the
  // active address), sends bytes and ends the connection as told.
  ScriptedFtpServer& SendData(std::string bytes, DataEnd end = DataEnd::Close);
  // Opens the data connection and reads until the client closes it; the bytes
  // are in ReceivedData().
  ScriptedFtpServer& ReceiveData();
  // Opens the data connection and neither reads nor sends for duration (or
  // until the server is destroyed), then closes it: a stalled upload.
  ScriptedFtpServer& HoldData(std::chrono::milliseconds duration);
  // Stops answering: records commands that still arrive, until the client
  // closes the connection or the server is destroyed.
  ScriptedFtpServer& Stall();
  ScriptedFtpServer& Pause(std::chrono::milliseconds duration);
  // Closes the control connection (and any data connection).
  ScriptedFtpServer& Drop();
  // Closes the control connection and waits for the client's next one.
  ScriptedFtpServer& AcceptNextConnection();
  ScriptedFtpServer& Do(Step step);

  void Start();

  // --- Results (thread-safe) ---
  std::vector<std::string> Commands() const;
  std::vector<std::string> Failures() const;
  std::string ReceivedData() const;
  // The address the client asked for in EPRT/PORT, as "host:port".
  std::string ActiveTarget() const;
  // true once every step ran (the idle phase may still go on).
  bool WaitUntilScriptDone(std::chrono::milliseconds timeout) const;

 private:
  friend class ScriptContext;
  void Run();
  bool AcceptControl();
  bool OpenDataConnection();
  std::string ReadCommand(bool* ok, bool untilStopped);
  void SendRawNow(const std::string& bytes);
  // Sends everything unless the peer goes away, the step times out or the server stops.
  void SendAll(int fd, std::string_view bytes);
  // Reads the data connection until the client closes it, keeping the bytes when asked.
  void ReadDataUntilClosed(bool untilStopped, bool keep);
  void RecordFailure(const std::string& why);
  bool WaitReadable(int fd, bool untilStopped);
  void Idle();

  const bool ipv6_;
  ftp::UniqueFd listener_;
  uint16_t port_ = 0;
  std::chrono::milliseconds stepTimeout_{10000};
  std::vector<Step> steps_;
  std::thread thread_;
  ftp::WakeSignal stop_;

  // Used by the script thread only.
  ftp::UniqueFd control_;
  ftp::UniqueFd dataListener_;
  ftp::UniqueFd data_;
  ftp::SocketAddress activeTarget_;
  bool haveActiveTarget_ = false;
  std::string pending_;  // control bytes received but not yet split into lines

  mutable std::mutex mutex_;
  mutable std::condition_variable doneChanged_;
  std::vector<std::string> commands_;
  std::vector<std::string> failures_;
  std::string received_;
  std::string activeTargetText_;
  bool scriptDone_ = false;
};

}  // namespace veltrim::test
