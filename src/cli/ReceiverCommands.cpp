// vantrel-cli receiver [--host ADDR] [--port N] [--pin PIN]
//   ls PATH | get REMOTE LOCAL | put LOCAL REMOTE | backup-channels [FOLDER]
//
// One FTP login per run with the address, user and PIN code the windows use
// (the stored settings unless given), the command, then QUIT. Progress and
// errors go to standard error, listings and written paths to standard output.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "channels/ChannelBackups.h"
#include "cli/CliCommands.h"
#include "cli/RecursiveTransfer.h"
#include "core/AppSettings.h"
#include "core/Clock.h"
#include "core/PathUtil.h"
#include "core/ReplacementFile.h"
#include "ftp/FTPClient.h"

namespace vantrel::cli {
namespace {

using nsFTP::CFTPClient;
using nsFTP::CFTPFileStatus;
namespace fs = std::filesystem;

constexpr unsigned short kChannelPort = 50021;
constexpr char kChannelFolder[] = "/ftproot/System/Programmliste (Channel List)";
constexpr char kChannelFile[] = "channel.xml";

void ReceiverUsage() {
  std::fputs(
      "usage: vantrel-cli receiver [--host ADDR] [--port N] [--pin PIN] ls PATH\n"
      "       vantrel-cli receiver [...] get [-r] REMOTE LOCAL\n"
      "       vantrel-cli receiver [...] put [-r] LOCAL REMOTE\n"
      "       vantrel-cli receiver [...] backup-channels [FOLDER]\n"
      "The address and PIN code default to the application's stored settings, the port to 50021.\n",
      stderr);
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "vantrel-cli: %s\n", what.c_str());
  return 1;
}

// The client that Ctrl-C cancels. A running transfer stops after its chunk
// and tells the receiver with ABOR; anywhere else (a login, a command, a
// second signal) the process ends at once, after removing its temporary files.
std::atomic<CFTPClient*> g_cancelTarget{nullptr};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<CFTPClient*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int signal) {
  CFTPClient* client = g_cancelTarget.load();
  if (!g_interrupted.exchange(true) && client != nullptr && client->IsTransferring()) {
    client->Abort();
    return;
  }
  RemovePendingTemporaries();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

class CancelOnInterrupt {
 public:
  explicit CancelOnInterrupt(CFTPClient& client) {
    g_cancelTarget = &client;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = 0;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previousInt);
    sigaction(SIGTERM, &action, &m_previousTerm);
  }
  ~CancelOnInterrupt() {
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
    g_cancelTarget = nullptr;
  }
  CancelOnInterrupt(const CancelOnInterrupt&) = delete;
  CancelOnInterrupt& operator=(const CancelOnInterrupt&) = delete;

 private:
  struct sigaction m_previousInt {};
  struct sigaction m_previousTerm {};
};

// A socket error text "Connect error 0x0000006f" with the system's words added.
std::string Readable(const std::string& error) {
  const std::size_t at = error.rfind(" error 0x");
  if (at == std::string::npos) return error;
  const long code = std::strtol(error.c_str() + at + 9, nullptr, 16);
  if (code <= 0) return error;
  char buffer[256];
  return error + " (" + strerror_r(static_cast<int>(code), buffer, sizeof buffer) + ")";
}

// Tells the user what the client does: the failure reasons, and the progress
// of a transfer on standard error (redrawn at most ten times a second, so a
// chunk costs a counter and a clock read).
class CConsoleObserver final : public CFTPClient::CNotification {
 public:
  CConsoleObserver() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

  // Forgets the reasons of earlier operations.
  void BeginOperation() {
    m_error.clear();
    m_reply.clear();
  }
  // Why the last operation failed: the client's error, else the receiver's refusal.
  std::string Reason() const {
    if (!m_error.empty()) return m_error;
    if (!m_reply.empty()) return "the receiver answered \"" + m_reply + "\"";
    return "no answer from the receiver";
  }

  void NotifyError(const std::string& error, const std::string&, unsigned) override { m_error = Readable(error); }
  void NotifyReply(const nsFTP::CServerReply& reply) override {
    if (reply.Class() == '4' || reply.Class() == '5' || !reply.IsValid()) {
      m_reply = reply.Value().substr(0, reply.Value().find_first_of("\r\n"));
    }
  }
  void NotifyDownloadBegin(const std::string& remote, const std::string&, std::int64_t size) override {
    Begin("get " + remote, size);
  }
  void NotifyUploadBegin(const std::string&, const std::string& remote, std::int64_t size) override {
    Begin("put " + remote, size);
  }
  void NotifyChunkReceived(const char*, int bytes) override { Chunk(bytes); }
  void NotifyChunkSent(const char*, int bytes) override { Chunk(bytes); }
  void NotifyDownloadEnd(const std::string&, const std::string&, std::int64_t) override { End(); }
  void NotifyUploadEnd(const std::string&, const std::string&, std::int64_t) override { End(); }

 private:
  using Clock = std::chrono::steady_clock;

  void Begin(std::string name, std::int64_t size) {
    m_name = std::move(name);
    m_size = size;
    m_done = 0;
    m_start = Clock::now();
    m_lastDraw = m_start;
    m_active = true;
  }
  void Chunk(int bytes) {
    if (!m_active) return;
    m_done += bytes;
    const Clock::time_point now = Clock::now();
    if (now - m_lastDraw < std::chrono::milliseconds(100)) return;
    m_lastDraw = now;
    Draw(false);
  }
  void End() {
    if (!m_active) return;
    if (m_done > 0 || m_size > 0) Draw(true);
    m_active = false;
  }
  void Draw(bool last) {
    const double seconds = std::chrono::duration<double>(Clock::now() - m_start).count();
    const double rate = seconds > 0 ? static_cast<double>(m_done) / seconds / (1024.0 * 1024.0) : 0.0;
    char line[160];
    if (m_size > 0) {
      std::snprintf(line, sizeof line, "%lld of %lld bytes (%d%%), %.1f MiB/s", static_cast<long long>(m_done),
                    static_cast<long long>(m_size), static_cast<int>(m_done * 100 / m_size), rate);
    } else {
      std::snprintf(line, sizeof line, "%lld bytes, %.1f MiB/s", static_cast<long long>(m_done), rate);
    }
    // On a terminal the line is redrawn in place; in a log each report is a line.
    std::fprintf(stderr, "%s%s: %s%s", m_terminal ? "\r" : "", m_name.c_str(), line,
                 last || !m_terminal ? "\n" : "\033[K");
    std::fflush(stderr);
  }

  const bool m_terminal;
  std::string m_error;
  std::string m_reply;
  bool m_active = false;
  std::string m_name;
  std::int64_t m_size = 0;
  std::int64_t m_done = 0;
  Clock::time_point m_start, m_lastDraw;
};

struct Options {
  std::string host;
  unsigned short port = kChannelPort;
  std::string pin;
  bool hostGiven = false;
  bool pinGiven = false;
};

// The receiver session of one run: one login, QUIT when it ends.
class CSession {
 public:
  CSession() { m_client.AddObserver(&m_observer); }
  bool Login(const Options& options) {
    m_observer.BeginOperation();
    const bool ok =
        m_client.Login(nsFTP::CServerLogin(options.host, options.port, GetSettings().GetUserID(), options.pin), true);
    GetConnectionState().m_ftpLoggedIn = ok;
    if (!ok) {
      Fail("cannot log in to " + options.host + ":" + std::to_string(options.port) + ": " + LoginReason());
      return false;
    }
    const std::string version = m_client.GetTargetVersion();
    std::fprintf(stderr, "connected to %s:%u%s%s\n", options.host.c_str(), options.port,
                 version.empty() ? "" : ", receiver ", version.c_str());
    return true;
  }
  ~CSession() {
    if (m_client.IsConnected()) m_client.Logout();
  }
  CSession(const CSession&) = delete;
  CSession& operator=(const CSession&) = delete;

  CFTPClient& Client() { return m_client; }
  CConsoleObserver& Observer() { return m_observer; }
  std::string LoginReason() const {
    using Failure = CFTPClient::Failure;
    const std::string seconds = std::to_string(m_client.GetTimeout());
    switch (m_client.GetLoginFailure()) {
      case Failure::kRefused: return "the receiver refused the connection (nothing listens on that port)";
      case Failure::kTimeout: return "no answer from the receiver within " + seconds + " seconds";
      case Failure::kLoginRefused: return m_observer.Reason() + " (wrong PIN code?)";
      case Failure::kProtocol: return "the reply is out of protocol (not an FTP server?): " + m_observer.Reason();
      case Failure::kClosed: return "the receiver closed the connection";
      default: return m_observer.Reason();
    }
  }
  int Failed(const std::string& what) {
    if (g_interrupted) return Fail(what + ": cancelled");
    return Fail(what + ": " + m_observer.Reason());
  }

 private:
  CConsoleObserver m_observer;  // outlives the client that notifies it
  CFTPClient m_client;
};

std::string FormatTime(const CFTPFileStatus& entry) {
  if (entry.m_timeKind == CFTPFileStatus::kTimeUnknown) return "-";
  const std::time_t time = static_cast<std::time_t>(entry.m_time);
  std::tm parts{};
  if (gmtime_r(&time, &parts) == nullptr) return "-";
  char text[32];
  // A listing that gives only the day has no meaningful clock time.
  std::strftime(text, sizeof text, entry.m_timeKind == CFTPFileStatus::kTimeDay ? "%Y-%m-%d      " : "%Y-%m-%d %H:%M",
                &parts);
  return text;
}

int List(CSession& session, const std::string& path) {
  nsFTP::TFTPFileStatusShPtrVec entries;
  session.Observer().BeginOperation();
  if (!session.Client().List(path, entries)) return session.Failed("cannot list " + path);
  for (const auto& entry : entries) {
    if (entry->IsDot()) continue;
    const char kind = entry->m_isDirectory && !entry->m_isFile ? 'd' : entry->m_isDirectory ? 'l' : '-';
    const std::string size = entry->m_size < 0 ? "-" : std::to_string(entry->m_size);
    std::printf("%c %12s %s  %s\n", kind, size.c_str(), FormatTime(*entry).c_str(), entry->Name().c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}

// DownloadFile writes into a temporary beside the target and replaces the
// target only when complete: a failed or cancelled get leaves an existing
// local file as it was and no partial file behind.
bool DownloadInto(CSession& session, const std::string& remote, const std::string& target, bool replace,
                  std::string& failure) {
  std::error_code ec;
  if (!replace && fs::exists(target, ec)) {
    failure = target + " exists already";
    return false;
  }
  session.Observer().BeginOperation();
  failure.clear();  // the session tells why
  return session.Client().DownloadFile(remote, target);
}

// The name after the last "/" (receiver and PC paths alike here), or the whole text.
std::string LastName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

int Get(CSession& session, const std::string& remote, std::string local) {
  std::error_code ec;
  if (fs::is_directory(local, ec)) local = JoinPcPath(local, LastName(remote));
  std::string failure;
  if (!DownloadInto(session, remote, local, true, failure)) {
    return failure.empty() ? session.Failed("cannot get " + remote) : Fail(failure);
  }
  std::printf("%s\n", local.c_str());
  return 0;
}

int Put(CSession& session, const std::string& local, std::string remote) {
  std::error_code ec;
  if (!fs::is_regular_file(local, ec)) {
    return Fail("cannot put " + local + ": " + (fs::exists(local, ec) ? "not a file" : "no such file"));
  }
  if (!remote.empty() && remote.back() == '/') remote += LastName(local);
  session.Observer().BeginOperation();
  if (!session.Client().UploadFile(local, remote)) return session.Failed("cannot put " + remote);
  std::printf("%s\n", remote.c_str());
  return 0;
}

// FOLDER/channel-YYYYMMDD-HHMMSS.xml in local time (by default the folder the
// channel editor keeps its backups in); an earlier backup of the same second
// is never replaced.
int BackupChannels(CSession& session, const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return Fail("cannot use the folder " + folder);
  // As the channel editor does: into the channel folder, then the file by its name.
  session.Observer().BeginOperation();
  if (session.Client().ChangeDir(kChannelFolder) != 0) return session.Failed("no channel list folder on the receiver");
  const std::string target = vantrel::channels::NewBackupPath(folder);
  std::string failure;
  if (!DownloadInto(session, kChannelFile, target, false, failure)) {
    return failure.empty() ? session.Failed("cannot get the channel list") : Fail(failure);
  }
  std::printf("%s\n", target.c_str());
  return 0;
}

bool ParsePort(const std::string& text, unsigned short& port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value < 1 || value > 65535) return false;
  port = static_cast<unsigned short>(value);
  return true;
}

}  // namespace

int RunReceiverCommand(const Args& args) {
  Options options;
  std::size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      ReceiverUsage();
      return Fail(option + " needs a value");
    }
    const std::string& value = args[++i];
    if (option == "--host") {
      options.host = value;
      options.hostGiven = true;
    } else if (option == "--pin") {
      options.pin = value;
      options.pinGiven = true;
    } else if (option == "--port") {
      if (!ParsePort(value, options.port)) return Fail("not a port number: " + value);
    } else {
      ReceiverUsage();
      return Fail("unknown option " + option);
    }
  }
  if (i >= args.size()) {
    ReceiverUsage();
    return 1;
  }
  const std::string command = args[i++];
  Args rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  // "get -r" and "put -r" copy whole folder trees.
  const bool recursive = (command == "get" || command == "put") && !rest.empty() && rest.front() == "-r";
  if (recursive) rest.erase(rest.begin());
  const std::size_t wanted = command == "ls" || command == "backup-channels" ? 1
                             : command == "get" || command == "put"          ? 2
                                                                             : 0;
  if (command == "backup-channels" && rest.empty()) rest.push_back(vantrel::channels::DefaultBackupFolder());
  if (wanted == 0 || rest.size() != wanted) {
    ReceiverUsage();
    return Fail(wanted == 0
                    ? "unknown receiver command " + command
                    : command + " takes " + std::to_string(wanted) + (wanted == 1 ? " argument" : " arguments"));
  }
  if (!options.hostGiven) options.host = GetSettings().GetLastIP();
  if (!options.pinGiven) options.pin = GetSettings().GetPINCODE();
  if (options.host.empty()) return Fail("no receiver address: give --host ADDR, or connect once with the application");

  CSession session;
  CancelOnInterrupt cancel(session.Client());
  if (!session.Login(options)) return 1;
  if (g_interrupted) return Fail("cancelled");
  if (command == "ls") return List(session, rest[0]);
  if (command == "get") {
    return recursive ? GetRecursive(session.Client(), rest[0], rest[1]) : Get(session, rest[0], rest[1]);
  }
  if (command == "put") {
    return recursive ? PutRecursive(session.Client(), rest[0], rest[1]) : Put(session, rest[0], rest[1]);
  }
  return BackupChannels(session, rest[0]);
}

}  // namespace vantrel::cli
