#include "core/DiagLog.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/AppSettings.h"
#include "core/PathUtil.h"

namespace vantrel {
namespace {

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed));
    std::vsnprintf(out.data(), out.size() + 1, format, args);
  }
  return out;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size())) {
    text.replace(pos, what.size(), with);
  }
}

void WriteAtLevel(int level, const char* format, va_list args) {
  CDiagLog& log = GetDiagLog();
  if (level < CDiagLog::kThreshold) return;  // the usual case: nothing is even formatted
  log.Write(level, VFormat(format, args));
}

}  // namespace

CDiagLog::CDiagLog(const std::string& appDir, int threshold)
    : m_threshold(threshold), m_path(JoinPcPath(appDir, "log.txt")) {
  std::error_code ec;
  std::filesystem::remove(m_path, ec);  // a stale log of an earlier run goes; failure is ignored
}

void CDiagLog::SetSecretProvider(std::function<std::string()> provider) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_secret = std::move(provider);
}

std::string CDiagLog::Redact(std::string line) const {
  // A password command carries the PIN code whatever it is.
  const auto pass = line.find("PASS ");
  if (pass != std::string::npos) {
    const auto end = line.find_first_of("\r\n", pass);
    line.replace(pass + 5, (end == std::string::npos ? line.size() : end) - pass - 5, "****");
  }
  if (m_secret) ReplaceAll(line, m_secret(), "****");
  return line;
}

void CDiagLog::Write(int level, const std::string& line) {
  if (level < m_threshold) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::string safe = Redact(line);
  if (FILE* file = std::fopen(m_path.c_str(), "a")) {
    std::fprintf(file, "%s\n", safe.c_str());
    std::fclose(file);
  }
}

CDiagLog& GetDiagLog() {
  static CDiagLog log(GetSettings().GetAppDir());
  static std::once_flag once;
  std::call_once(once, [] { log.SetSecretProvider([] { return GetSettings().GetPINCODE(); }); });
  return log;
}

void LogMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteAtLevel(CDiagLog::kMessageLevel, format, args);
  va_end(args);
}

void LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteAtLevel(CDiagLog::kErrorLevel, format, args);
  va_end(args);
}

void LogLastWin32Error() {
  const int code = errno;
  char buffer[1024];
  // GNU strerror_r returns a pointer that may or may not be the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  LogMessage("%s", text);
}

}  // namespace vantrel
