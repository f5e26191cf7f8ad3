#include "core/DiagLog.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include "core/AppSettings.h"
#include "core/PathUtil.h"

// Debug and info lines of these categories reach the log only while it is on.
Q_LOGGING_CATEGORY(lcVantrelCore, "vantrel.core", QtWarningMsg)
Q_LOGGING_CATEGORY(lcVantrelNet, "vantrel.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lcVantrelFtp, "vantrel.ftp", QtWarningMsg)
Q_LOGGING_CATEGORY(lcVantrelChannels, "vantrel.channels", QtWarningMsg)
Q_LOGGING_CATEGORY(lcVantrelUi, "vantrel.ui", QtWarningMsg)

namespace vantrel {
namespace {

QtMessageHandler g_previousHandler = nullptr;
bool g_handlerInstalled = false;

void HandleQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool ours = context.category != nullptr && std::strncmp(context.category, "vantrel.", 8) == 0;
  CDiagLog& log = GetDiagLog();
  if (log.IsOn()) {
    const bool error = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    const std::string category = context.category != nullptr ? context.category : "default";
    log.Write(error ? CDiagLog::kErrorLevel : CDiagLog::kMessageLevel, category + ": " + message.toStdString());
  }
  // Qt's own messages still reach the console as they would without the log.
  if (!ours && g_previousHandler != nullptr) g_previousHandler(type, context, message);
}

std::string LinePrefix(int level) {
  std::ostringstream thread;
  thread << std::this_thread::get_id();
  const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
  return time.toStdString() + " [" + thread.str() + "] " + (level >= CDiagLog::kErrorLevel ? "E " : "I ");
}

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
  if (!log.IsOn()) return;  // the usual case: nothing is even formatted
  log.Write(level, VFormat(format, args));
}

}  // namespace

CDiagLog::CDiagLog(const std::string& appDir, int threshold, std::int64_t rotateBytes)
    : m_threshold(threshold), m_rotateBytes(rotateBytes), m_path(JoinPcPath(appDir, "log.txt")) {
  if (!IsOn()) {
    std::error_code ec;
    std::filesystem::remove(m_path, ec);  // a stale log of an earlier run goes; failure is ignored
  }
}

std::string CDiagLog::RotatedPath() const {
  const std::string dir = std::filesystem::path(m_path).parent_path().string();
  return JoinPcPath(dir, "log.1.txt");
}

void CDiagLog::Reopen(const std::string& folder, int threshold) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_path = JoinPcPath(folder, "log.txt");
  m_threshold = threshold;
}

void CDiagLog::RotateIfFull() {
  // Called with the mutex held. The file that is full becomes the one old
  // file kept; an older one goes.
  std::error_code ec;
  const auto size = std::filesystem::file_size(m_path, ec);
  if (ec || static_cast<std::int64_t>(size) < m_rotateBytes) return;
  const std::string old = RotatedPath();
  std::filesystem::remove(old, ec);
  std::filesystem::rename(m_path, old, ec);
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
  const std::string safe = LinePrefix(level) + Redact(line);
  RotateIfFull();
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

bool DiagLogRequested(const std::vector<std::string>& args) {
  for (const std::string& word : args) {
    if (word == "--log") return true;
  }
  return qEnvironmentVariableIntValue("VANTREL_LOG") == 1;
}

std::string DiagLogFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString();
}

void EnableDiagLog(const std::string& folder) {
  QDir().mkpath(QString::fromStdString(folder));
  GetDiagLog().Reopen(folder, CDiagLog::kMessageLevel);
  QLoggingCategory::setFilterRules(QStringLiteral("vantrel.*=true"));
  if (!g_handlerInstalled) {
    g_previousHandler = qInstallMessageHandler(HandleQtMessage);
    g_handlerInstalled = true;
  }
}

void DisableDiagLog() {
  CDiagLog& log = GetDiagLog();
  log.Reopen(GetSettings().GetAppDir(), CDiagLog::kThreshold);
  QLoggingCategory::setFilterRules(QString());
  if (g_handlerInstalled) {
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
    g_handlerInstalled = false;
  }
}

bool IsDiagLogOn() { return GetDiagLog().IsOn(); }

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
