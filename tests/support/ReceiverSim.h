#pragma once
// The receiver simulator (tools/receiver-sim) as a child process of a test:
// started on the test's own loopback address with a fresh receiver tree in a
// temporary folder, ready once its ports are open, stopped with SIGTERM when
// the object goes.
#include <cstdint>
#include <memory>
#include <string>

#include "support/TempDir.h"

class QProcess;

namespace vantrel::test {

class ReceiverSim {
 public:
  struct Options {
    std::string simulator;  // path of tools/receiver-sim/receiver-sim
    std::string address;    // the test's own loopback address, e.g. "127.0.0.31"
    std::uint16_t ftpPort = 2121;
    std::uint16_t channelPort = 50021;
    std::uint16_t commandPort = 12345;
    std::string pin = "8157";
    std::string versionText;    // empty: the simulator's own
    std::int64_t throttle = 0;  // bytes per second on each data connection, 0 unlimited
    int replyDelayMs = 0;       // every reply and data connection waits this long, 0 none
  };

  explicit ReceiverSim(Options options);
  ~ReceiverSim();
  ReceiverSim(const ReceiverSim&) = delete;
  ReceiverSim& operator=(const ReceiverSim&) = delete;

  // Starts the simulator and waits at most timeoutMs for its ready file.
  // false when it ended or did not get ready in time; Output() says why.
  bool Start(int timeoutMs = 30000);
  // SIGTERM, then a bounded wait (SIGKILL after it). The exit code, or -1
  // when it was not running or had to be killed.
  int Stop();
  bool IsRunning() const;
  // The simulator's process id (0 when not running), for a receiver that
  // vanishes while the test thread is busy: kill(Pid(), SIGKILL) from another thread.
  std::int64_t Pid() const;
  // What the simulator printed so far (standard output and error).
  std::string Output() const;

  const std::string& Address() const { return m_options.address; }
  std::uint16_t FtpPort() const { return m_options.ftpPort; }
  std::uint16_t ChannelPort() const { return m_options.channelPort; }
  const std::string& Pin() const { return m_options.pin; }
  // The receiver root folder on disk.
  std::string Root() const { return m_dir.File("root"); }
  // The disk path of a receiver path ("/ftproot/Media" under Root()).
  std::string DiskPath(const std::string& receiverPath) const { return Root() + receiverPath; }

 private:
  Options m_options;
  TempDir m_dir;  // root, ready file, output
  std::unique_ptr<QProcess> m_process;
};

}  // namespace vantrel::test
