// Runs the built vantrel-cli's receiver commands against the receiver
// simulator, each test on its own loopback address (127.0.0.42 to 127.0.0.47),
// with a home folder of its own so the user's settings are never read.
#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/ReceiverSim.h"
#include "support/TempDir.h"

using vantrel::test::ReadFile;
using vantrel::test::ReceiverSim;
using vantrel::test::TempDir;
namespace fs = std::filesystem;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

const std::string kChannelFile = "/ftproot/System/Programmliste (Channel List)/channel.xml";

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A receiver and the user's side of the CLI: a home of its own, a working folder.
struct CliSession {
  explicit CliSession(const std::string& address, const std::string& pin = "8157", std::int64_t throttle = 0)
      : sim(Options(address, pin, throttle)) {}

  static ReceiverSim::Options Options(const std::string& address, const std::string& pin, std::int64_t throttle) {
    ReceiverSim::Options options;
    options.simulator = VANTREL_RECEIVER_SIM;
    options.address = address;
    options.pin = pin;
    options.throttle = throttle;
    return options;
  }
  std::string Home() const { return user.File("home"); }
  std::string Work() const { return user.File("work"); }

  // vantrel-cli receiver ARGS, from the working folder.
  void Start(QProcess& process, QStringList args) const {
    QDir().mkpath(QString::fromStdString(Work()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(Home()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(Home() + "/.config"));
    env.insert("XDG_DATA_HOME", QString::fromStdString(Home() + "/.local/share"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(Work()));
    args.prepend("receiver");
    process.start(QStringLiteral(VANTREL_CLI_PATH), args);
  }
  CliRun Receiver(const QStringList& args) const {
    QProcess process;
    Start(process, args);
    CliRun run;
    if (!process.waitForFinished(120000)) {
      process.kill();
      process.waitForFinished(5000);
      return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
  }
  QStringList HostAndPin() const {
    return {"--host", QString::fromStdString(sim.Address()), "--pin", QString::fromStdString(sim.Pin())};
  }
  // The same with --host and --pin of this receiver.
  CliRun Run(const QStringList& args) const { return Receiver(HostAndPin() + args); }

  TempDir user;
  ReceiverSim sim;
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TEST(ReceiverCli, LsPrintsOneEntryALine) {
  CliSession s("127.0.0.42");
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();

  CliRun run = s.Run({"ls", "/ftproot/System/Programmliste (Channel List)"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string size = std::to_string(fs::file_size(s.sim.DiskPath(kChannelFile)));
  EXPECT_EQ(Lines(run.out), 1u) << run.out;
  EXPECT_EQ(run.out.rfind("- ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find(" " + size + " "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  channel.xml\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("Zarn 1.2.10"), std::string::npos) << run.err;

  run = s.Run({"--port", "2121", "ls", "/ftproot/Aufnahmen-Archiv (Recording Archive)/TV-Aufnahmen (TV Records)"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.out), 3u) << run.out;
  EXPECT_NE(run.out.find("  Tatort - Schattenlinie_20261129_2015_1002_\n"), std::string::npos) << run.out;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("d ", 0), 0u) << "folders are marked d";

  run = s.Run({"ls", "/ftproot/Nirgendwo"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_NE(run.err.find("cannot list /ftproot/Nirgendwo: the receiver answered \"550"), std::string::npos) << run.err;
}

TEST(ReceiverCli, GetAndPut) {
  CliSession s("127.0.0.43");
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();
  const std::string channels = ReadFile(s.sim.DiskPath(kChannelFile));
  ASSERT_FALSE(channels.empty());

  // Into a folder: the file keeps its name.
  CliRun run = s.Run({"get", Q(kChannelFile), "."});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(s.Work() + "/channel.xml"), channels);
  EXPECT_EQ(run.out, "./channel.xml\n");
  const std::string done = std::to_string(channels.size()) + " of " + std::to_string(channels.size()) + " bytes (100%)";
  EXPECT_NE(run.err.find(done), std::string::npos) << "progress goes to stderr: " << run.err;

  const std::string upload = std::string(300000, 'p') + "end";
  std::ofstream(s.Work() + "/up.bin", std::ios::binary) << upload;
  run = s.Run({"put", "up.bin", "/ftproot/Media/"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(s.sim.DiskPath("/ftproot/Media/up.bin")), upload);
  EXPECT_EQ(run.out, "/ftproot/Media/up.bin\n");
  run = s.Run({"put", "up.bin", "/ftproot/Media/renamed.bin"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(s.sim.DiskPath("/ftproot/Media/renamed.bin")), upload);

  run = s.Run({"put", "up.bin", "/ftproot/Fehlt/up.bin"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot put /ftproot/Fehlt/up.bin: the receiver answered \"550"), std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(s.sim.DiskPath("/ftproot/Fehlt")));
  run = s.Run({"put", "nicht-da.bin", "/ftproot/Media/"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot put nicht-da.bin: no such file"), std::string::npos) << run.err;

  // A failed get leaves the local file as it was, and no partial file beside it.
  std::ofstream(s.Work() + "/keep.txt") << "mine";
  run = s.Run({"get", "/ftproot/Media/fehlt.bin", "keep.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot get /ftproot/Media/fehlt.bin: the receiver answered \"550"), std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(s.Work() + "/keep.txt"), "mine");
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(s.Work())) files += entry.path().filename().string()[0] == '.';
  EXPECT_EQ(files, 0u) << "a partial download was left behind";
}

TEST(ReceiverCli, BackupChannelsNeverReplacesAnEarlierBackup) {
  CliSession s("127.0.0.44");
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();
  const std::string channels = ReadFile(s.sim.DiskPath(kChannelFile));

  const CliRun first = s.Run({"backup-channels", "backups/receiver"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const CliRun second = s.Run({"backup-channels", "backups/receiver"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  ASSERT_NE(first.out, second.out);

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(s.Work() + "/backups/receiver")) {
    names.push_back(entry.path().filename().string());
    EXPECT_EQ(ReadFile(entry.path().string()), channels) << names.back();
  }
  ASSERT_EQ(names.size(), 2u);
  for (const std::string& name : names) {
    // channel-YYYYMMDD-HHMMSS.xml, with "-2" for a second backup in the same second.
    EXPECT_EQ(name.rfind("channel-20", 0), 0u) << name;
    EXPECT_EQ(name[16], '-') << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".xml") << name;
    EXPECT_TRUE(first.out.find(name) != std::string::npos || second.out.find(name) != std::string::npos) << name;
  }
}

TEST(ReceiverCli, FailuresExitWithOneAndTheReason) {
  CliSession s("127.0.0.45", "4711");
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();

  CliRun run = s.Receiver({"--host", "127.0.0.45", "--pin", "1234", "ls", "/"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("cannot log in to 127.0.0.45:50021: the receiver answered \"530"), std::string::npos)
      << run.err;

  run = s.Receiver({"--host", "127.0.0.45", "--port", "2", "ls", "/"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot log in to 127.0.0.45:2: "), std::string::npos) << run.err;

  // Nothing stored and no --host: there is nobody to ask.
  run = s.Receiver({"ls", "/"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("no receiver address"), std::string::npos) << run.err;

  run = s.Run({"--port", "70000", "ls", "/"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("not a port number: 70000"), std::string::npos) << run.err;
  run = s.Run({"rm", "/x"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("unknown receiver command rm"), std::string::npos) << run.err;
  run = s.Run({"get", "/x"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("get takes 2 arguments"), std::string::npos) << run.err;
}

TEST(ReceiverCli, HostAndPinComeFromTheStoredSettings) {
  CliSession s("127.0.0.46", "2468");
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();
  const std::string config = s.Home() + "/.config/Tessavir";
  fs::create_directories(config);
  std::ofstream(config + "/Vantrel.conf") << "[Setting]\nLastIP=127.0.0.46\nPINCODE=2468\n";
  // The tool's log never takes a file of the folder it runs in.
  QDir().mkpath(Q(s.Work()));
  std::ofstream(s.Work() + "/log.txt") << "the user's own log";

  const CliRun run = s.Receiver({"ls", "/"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("  ftproot\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("connected to 127.0.0.46:50021"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(s.Work() + "/log.txt"), "the user's own log");
}

TEST(ReceiverCli, CtrlCCancelsAGetAndLeavesTheLocalFileAsItWas) {
  CliSession s("127.0.0.47", "8157", 256 * 1024);
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();
  const std::string slow = "/ftproot/Timeshift/slow.bin";
  std::ofstream(s.sim.DiskPath(slow), std::ios::binary) << std::string(8 * 1024 * 1024, 's');
  QDir().mkpath(Q(s.Work()));
  std::ofstream(s.Work() + "/slow.bin") << "mine";

  QProcess process;
  s.Start(process, s.HostAndPin() + QStringList{"get", Q(slow), "slow.bin"});
  process.setReadChannel(QProcess::StandardError);
  // The first progress report shows the transfer is running; then the user presses Ctrl-C.
  std::string err;
  while (err.find("get " + slow + ": ") == std::string::npos && process.waitForReadyRead(20000)) {
    err += process.readAllStandardError().toStdString();
  }
  ASSERT_NE(err.find("get " + slow + ": "), std::string::npos) << err;
  ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  ASSERT_TRUE(process.waitForFinished(20000));
  err += process.readAllStandardError().toStdString();

  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "the first Ctrl-C cancels, it does not kill";
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_NE(err.find("cannot get " + slow + ": cancelled"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(s.Work() + "/slow.bin"), "mine");
  std::size_t hidden = 0;
  for (const auto& entry : fs::directory_iterator(s.Work())) hidden += entry.path().filename().string()[0] == '.';
  EXPECT_EQ(hidden, 0u) << "a partial download was left behind";
}
