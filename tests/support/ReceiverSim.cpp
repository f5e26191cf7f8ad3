#include "support/ReceiverSim.h"

#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QStringList>
#include <QTimer>

namespace vantrel::test {
namespace {

constexpr int kStopWaitMs = 10000;

}  // namespace

ReceiverSim::ReceiverSim(Options options) : m_options(std::move(options)) {}

ReceiverSim::~ReceiverSim() { Stop(); }

bool ReceiverSim::IsRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }

std::int64_t ReceiverSim::Pid() const { return IsRunning() ? m_process->processId() : 0; }

bool ReceiverSim::Start(int timeoutMs) {
  if (IsRunning()) return true;
  const QString ready = QString::fromStdString(m_dir.File("ready"));
  QFile::remove(ready);
  QStringList args{"--address",      QString::fromStdString(m_options.address),
                   "--ftp-port",     QString::number(m_options.ftpPort),
                   "--channel-port", QString::number(m_options.channelPort),
                   "--command-port", QString::number(m_options.commandPort),
                   "--root",         QString::fromStdString(Root()),
                   "--pin",          QString::fromStdString(m_options.pin),
                   "--throttle",     QString::number(m_options.throttle),
                   "--reply-delay",  QString::number(m_options.replyDelayMs),
                   "--ready-file",   ready,
                   "--log-level",    "warning"};
  if (!m_options.versionText.empty()) args << "--version-text" << QString::fromStdString(m_options.versionText);

  m_process = std::make_unique<QProcess>();
  // Output goes to a file: a pipe nobody drains would stall a chatty server.
  m_process->setStandardInputFile(QProcess::nullDevice());
  m_process->setStandardOutputFile(QString::fromStdString(m_dir.File("output")));
  m_process->setProcessChannelMode(QProcess::MergedChannels);

  // Watched before the start, so the ready file cannot appear unseen.
  QFileSystemWatcher watcher({QString::fromStdString(m_dir.Path())});
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, [&] {
    if (QFile::exists(ready)) loop.quit();
  });
  QObject::connect(m_process.get(), &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(m_process.get(), &QProcess::errorOccurred, &loop, &QEventLoop::quit);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);

  m_process->start(QString::fromStdString(m_options.simulator), args);
  bound.start(timeoutMs);
  if (!QFile::exists(ready) && m_process->state() != QProcess::NotRunning) loop.exec();
  if (QFile::exists(ready) && IsRunning()) return true;
  Stop();
  return false;
}

int ReceiverSim::Stop() {
  if (!m_process) return -1;
  if (m_process->state() == QProcess::NotRunning) {
    return m_process->exitStatus() == QProcess::NormalExit && m_process->error() != QProcess::FailedToStart
               ? m_process->exitCode()
               : -1;
  }
  m_process->terminate();  // SIGTERM: the simulator closes its ports and exits with 0
  if (m_process->waitForFinished(kStopWaitMs)) {
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
  }
  m_process->kill();
  m_process->waitForFinished(kStopWaitMs);
  return -1;
}

std::string ReceiverSim::Output() const {
  std::string text = ReadFile(m_dir.File("output"));
  if (m_process && m_process->error() == QProcess::FailedToStart) {
    text += "cannot start " + m_options.simulator + ": " + m_process->errorString().toStdString() + "\n";
  }
  return text;
}

}  // namespace vantrel::test
