#pragma once
// The diagnostic log. Off by default: the process-wide log then has its
// threshold at 3, above both message levels, writes nothing, and its first use
// removes a stale "log.txt" of an earlier run from the application folder.
// A user switches it on with "--log" or VANTREL_LOG=1 (see EnableDiagLog);
// lines then go, with time and thread, to "log.txt" in the per-user data
// folder, which moves to "log.1.txt" when it grows past the rotation size.
#include <QLoggingCategory>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcVantrelCore)
Q_DECLARE_LOGGING_CATEGORY(lcVantrelNet)
Q_DECLARE_LOGGING_CATEGORY(lcVantrelFtp)
Q_DECLARE_LOGGING_CATEGORY(lcVantrelChannels)
Q_DECLARE_LOGGING_CATEGORY(lcVantrelUi)

namespace vantrel {

class CDiagLog {
 public:
  static constexpr int kThreshold = 3;
  static constexpr int kMessageLevel = 0;
  static constexpr int kErrorLevel = 2;
  static constexpr std::int64_t kRotateBytes = 5 * 1024 * 1024;

  // appDir: where "log.txt" lives. The threshold is a parameter for tests only.
  // A log below the fixed threshold appends to what is there (and rotates);
  // the switched-off log removes a stale file.
  explicit CDiagLog(const std::string& appDir, int threshold = kThreshold, std::int64_t rotateBytes = kRotateBytes);

  // Writes one line "time [thread] I|E text", first moving a full file aside.
  void Write(int level, const std::string& line);
  const std::string& Path() const { return m_path; }
  std::string RotatedPath() const;
  bool IsOn() const { return m_threshold < kThreshold; }

  // Secret texts (the PIN code) never reach a log line in clear; the provider
  // is asked for the current secret at each line.
  void SetSecretProvider(std::function<std::string()> provider);
  std::string Redact(std::string line) const;

 private:
  friend void EnableDiagLog(const std::string& folder);
  friend void DisableDiagLog();
  void Reopen(const std::string& folder, int threshold);
  void RotateIfFull();

  std::atomic<int> m_threshold;
  std::int64_t m_rotateBytes;
  std::string m_path;
  std::function<std::string()> m_secret;
  mutable std::mutex m_mutex;
};

CDiagLog& GetDiagLog();

// True when the user asked for the log: "--log" among the arguments (without
// the program name) or VANTREL_LOG=1 in the environment.
bool DiagLogRequested(const std::vector<std::string>& args);
// The folder the switched-on log writes to: the per-user data folder.
std::string DiagLogFolder();
// Switches the process-wide log on, writing to folder/log.txt, turns on the
// vantrel.* logging categories and installs the message handler that writes
// their messages (and Qt's own warnings) to the file.
void EnableDiagLog(const std::string& folder);
// Back to off: nothing is written, Qt's previous message handler returns.
void DisableDiagLog();
bool IsDiagLogOn();

[[gnu::format(printf, 1, 2)]] void LogMessage(const char* format, ...);
[[gnu::format(printf, 1, 2)]] void LogError(const char* format, ...);
// Logs the system's text for the calling thread's last error code (errno).
void LogLastWin32Error();

}  // namespace vantrel
