#pragma once
// A fake FTP server on a loopback address for wire-level tests. It answers
// each command with the actions scripted for it, in script order, and records
// every command line it got. Data connections are opened in active mode to
// the address of the client's last PORT, optionally from another loopback
// address. Every wait is bounded, so a broken client fails a test instead of
// hanging it.
//
//   ScriptedFtpServer server;
//   server.Welcome().Reply("220 ready");
//   server.On("USER").Reply("331 password please");
//   server.On("RETR").Reply("150 opening").SendData("bytes").Reply("226 done");
//   server.Start();
//
// A command that is not the next scripted one is answered "500 Unexpected"
// (the script does not advance); after the script, QUIT gets "221 Goodbye"
// and anything else "502 Not scripted".
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::test {

class ScriptedFtpServer {
 public:
  class Step {
   public:
    // The line and "\r\n".
    Step& Reply(const std::string& line);
    // Exactly these bytes.
    Step& Raw(const std::string& bytes);
    // Exactly these bytes, one send each.
    Step& Bytewise(const std::string& bytes);
    // Opens the data connection, sends the bytes and closes it.
    Step& SendData(const std::string& bytes);
    Step& SendDataFrom(const std::string& sourceAddress, const std::string& bytes);
    // Opens a data connection from the address and waits until the client
    // closes it (see ForeignClosedByClient).
    Step& ConnectDataFrom(const std::string& sourceAddress);
    // Opens the data connection and reads it to its end (see Uploaded).
    Step& ReceiveData();
    // Opens the data connection and sends Pattern() bytes until the client
    // sends a command, closes the data connection, or `limit` bytes went.
    Step& StreamDataUntilCommand(std::size_t limit);
    Step& CloseControl();
    // The bytes on the control connection, one every `interval`, until the
    // client closes the connection (see TrickleCut).
    Step& Trickle(const std::string& bytes, std::chrono::milliseconds interval);
    // Opens the data connection and reads nothing from it until the client
    // sends a command; then closes it (a receiver whose disk stalls).
    Step& HoldDataUntilCommand();

   private:
    friend class ScriptedFtpServer;
    enum class Kind { Reply, Bytewise, SendData, ConnectFrom, ReceiveData, Stream, CloseControl, Trickle, Hold };
    struct Action {
      Kind kind;
      std::string text;
      std::string source;
      std::size_t limit = 0;
    };
    std::string m_verb;  // empty for the welcome, "*" for a new connection
    std::vector<Action> m_actions;
  };

  // Listens on the address with an ephemeral port.
  explicit ScriptedFtpServer(const std::string& address = "127.0.0.1");
  ~ScriptedFtpServer();
  ScriptedFtpServer(const ScriptedFtpServer&) = delete;
  ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

  const std::string& Address() const { return m_address; }
  std::uint16_t Port() const { return m_port; }

  Step& Welcome() { return m_welcome; }
  Step& On(const std::string& verb);
  // Waits for the client's next control connection; the step's actions are its welcome.
  Step& NextConnection();
  void Start();
  // Waits at most the bound for the script to end (the client went away).
  bool WaitDone(std::chrono::milliseconds bound = std::chrono::seconds(10));

  // Every command line received, without its line end.
  std::vector<std::string> Commands() const;
  // The command words only.
  std::vector<std::string> Verbs() const;
  std::string Uploaded() const;
  std::size_t StreamedBytes() const { return m_streamed.load(); }
  bool ForeignClosedByClient() const { return m_foreignClosed.load(); }
  // The client closed the control connection before a Trickle was through.
  bool TrickleCut() const { return m_trickleCut.load(); }
  // What went wrong on the server's side (time-outs, failed connects).
  std::vector<std::string> Problems() const;

  // The bytes StreamDataUntilCommand sends: not periodic in 2048, so a lost
  // or doubled chunk shows.
  static std::string Pattern(std::size_t size);

 private:
  void Run();
  bool RunActions(const Step& step, int& control);
  bool AcceptControl(int& control);
  bool ReadLine(int control, std::string& line);
  int ConnectData(const std::string& source);
  bool SendAll(int fd, const char* data, std::size_t size);
  bool WaitFor(int fd, short events, int milliseconds);
  void Problem(const std::string& what);
  void Record(const std::string& line);

  std::string m_address;
  std::uint16_t m_port = 0;
  int m_listen = -1;
  int m_wake[2] = {-1, -1};
  Step m_welcome;
  std::deque<Step> m_steps;
  std::string m_input;
  std::string m_dataAddress;
  std::uint16_t m_dataPort = 0;

  mutable std::mutex m_mutex;
  std::condition_variable m_doneSignal;
  bool m_done = false;
  std::vector<std::string> m_commands;
  std::vector<std::string> m_problems;
  std::string m_uploaded;
  std::atomic<std::size_t> m_streamed{0};
  std::atomic<bool> m_foreignClosed{false};
  std::atomic<bool> m_trickleCut{false};
  std::thread m_thread;
};

}  // namespace vantrel::test
