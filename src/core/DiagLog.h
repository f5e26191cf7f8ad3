#pragma once
// The diagnostic log. Its threshold is fixed at 3, above both message levels,
// so the process-wide log writes nothing; its first use removes a stale
// "log.txt" of an earlier run from the application folder.
#include <functional>
#include <mutex>
#include <string>

namespace vantrel {

class CDiagLog {
 public:
  static constexpr int kThreshold = 3;
  static constexpr int kMessageLevel = 0;
  static constexpr int kErrorLevel = 2;

  // appDir: where "log.txt" lives. The threshold is a parameter for tests only.
  explicit CDiagLog(const std::string& appDir, int threshold = kThreshold);

  void Write(int level, const std::string& line);
  const std::string& Path() const { return m_path; }

  // Secret texts (the PIN code) never reach a log line in clear; the provider
  // is asked for the current secret at each line.
  void SetSecretProvider(std::function<std::string()> provider);
  std::string Redact(std::string line) const;

 private:
  int m_threshold;
  std::string m_path;
  std::function<std::string()> m_secret;
  std::mutex m_mutex;
};

CDiagLog& GetDiagLog();

[[gnu::format(printf, 1, 2)]] void LogMessage(const char* format, ...);
[[gnu::format(printf, 1, 2)]] void LogError(const char* format, ...);
// Logs the system's text for the calling thread's last error code (errno).
void LogLastWin32Error();

}  // namespace vantrel
