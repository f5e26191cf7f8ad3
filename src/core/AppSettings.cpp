#include "core/AppSettings.h"

#include <QStandardPaths>
#include <filesystem>

#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/StringUtil.h"
#include "core/TextTable.h"

namespace vantrel {

CAppSettings::CAppSettings(std::unique_ptr<ISettingsStore> store) : m_store(std::move(store)) {
  LoadSavePINCODE();
  LoadLastIP();
  LoadRecordPath();
  LoadLanguage();
  LoadPINCODE();
  LoadDataPorts();
  LoadBackupBeforeSend();
}

bool ParseDataPortRange(const std::string& text, DataPortRange& range) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t at = 0;
  const auto number = [&](unsigned& value) {
    while (at < text.size() && blank(text[at])) ++at;
    const std::size_t start = at;
    unsigned long n = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 6) n = n * 10 + (text[at++] - '0');
    while (at < text.size() && blank(text[at])) ++at;
    value = static_cast<unsigned>(n);
    return at > start && n >= kLowestDataPort && n <= 65535;
  };
  std::size_t first = 0;
  while (first < text.size() && blank(text[first])) ++first;
  if (first == text.size()) {
    range = {};
    return true;
  }
  DataPortRange parsed;
  if (!number(parsed.first)) return false;
  parsed.last = parsed.first;
  if (at < text.size() && text[at] == '-') {
    ++at;
    if (!number(parsed.last)) return false;
  }
  if (at != text.size() || parsed.last < parsed.first) return false;
  range = parsed;
  return true;
}

std::string FormatDataPortRange(const DataPortRange& range) {
  if (range.IsAny()) return {};
  if (range.first == range.last) return std::to_string(range.first);
  return std::to_string(range.first) + "-" + std::to_string(range.last);
}

std::string CAppSettings::GetAppDir() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_appDir;
}

void CAppSettings::SetAppDir(const std::string& dir) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_appDir = dir;
}

std::string CAppSettings::GetLastIP() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_lastIP;
}

void CAppSettings::SetLastIP(const std::string& ip) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_lastIP = ip;
}

void CAppSettings::SaveLastIP() {
  LogMessage("SaveLastIP");
  const std::string ip = GetLastIP();
  LogMessage("SaveLastIP defaultIP=%s", ip.c_str());
  if (!m_store->Write("LastIP", ip)) LogError("SaveLastIP RegSetValu error");
}

std::string CAppSettings::GetPINCODE() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_pinCode;
}

void CAppSettings::SetPINCODE(const std::string& pin) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pinCode = pin;
  }
  StorePINCODE();
}

void CAppSettings::StorePINCODE() {
  if (m_savePinCode) {
    m_store->Write("PINCODE", GetPINCODE());
  } else if (!m_store->Remove("PINCODE")) {
    LogError("StorePINCODE cannot remove the stored PIN code");
  }
}

void CAppSettings::SetSavePINCODE(bool save) {
  m_savePinCode = save;
  StoreSavePINCODE();
  if (!save && !m_store->Remove("PINCODE")) LogError("SetSavePINCODE cannot remove the stored PIN code");
}

bool CAppSettings::GetSavePINCODE() const { return m_savePinCode; }

std::string CAppSettings::GetRecordPath() {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    path = m_recordPath;
  }
  if (!path.empty() && PathExists(path)) return path;
  const std::string home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
  const std::string fallback = JoinPcPath(home, "Recordings");
  std::error_code ec;
  std::filesystem::create_directory(fallback, ec);  // an existing folder or a failure is ignored
  if (path.empty()) {
    // No folder chosen yet: the default becomes the setting.
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_recordPath = fallback;
    }
    StoreRecordPath();
  } else {
    // The chosen folder may be on a disk or share that is not mounted now:
    // it stays the setting, the default only stands in for it meanwhile.
    LogMessage("GetRecordPath %s is missing, using %s", path.c_str(), fallback.c_str());
  }
  return fallback;
}

bool CAppSettings::SetRecordPath(const std::string& path) {
  if (!PathExists(path)) {
    GetPrompt().Show(Format("%s %s", path.c_str(), GetText(302)), "Vantrel Manager", PromptIcon::None);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recordPath = path;
  }
  StoreRecordPath();
  return true;
}

std::string CAppSettings::GetLanguage() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_language;
}

void CAppSettings::SetLanguage(const std::string& language) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_language = language;
  }
  StoreLanguage();
}

DataPortRange CAppSettings::GetDataPorts() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_dataPorts;
}

void CAppSettings::SetDataPorts(const DataPortRange& ports) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dataPorts = ports;
  }
  m_store->Write("DataPorts", FormatDataPortRange(ports));
}

std::string CAppSettings::GetTargetVersion() const {
  std::string version;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    version = m_receiverVersion;
  }
  LogMessage("GetTargetVersion targetVersion=%s", version.c_str());
  return version;
}

void CAppSettings::SetTargetVersion(const std::string& version) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_receiverVersion = version;
  }
  LogMessage("SetTargetVersion targetVersion=%s", version.c_str());
}

void CAppSettings::StoreSavePINCODE() { m_store->Write("SavePINCODE", m_savePinCode ? "TRUE" : "FALSE"); }

void CAppSettings::StoreRecordPath() {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    path = m_recordPath;
  }
  m_store->Write("RecordPath", path);
}

void CAppSettings::StoreLanguage() { m_store->Write("Language", GetLanguage()); }

void CAppSettings::LoadSavePINCODE() {
  std::string value;
  m_savePinCode = m_store->Read("SavePINCODE", value) && EqualsIgnoreCase(value, "TRUE");
}

void CAppSettings::LoadLastIP() { m_store->Read("LastIP", m_lastIP); }
void CAppSettings::LoadRecordPath() { m_store->Read("RecordPath", m_recordPath); }
void CAppSettings::LoadLanguage() { m_store->Read("Language", m_language); }
void CAppSettings::LoadPINCODE() {
  // A PIN code an older version kept although saving it was off goes now.
  if (m_store->Read("PINCODE", m_pinCode) && !m_savePinCode && !m_store->Remove("PINCODE"))
    LogError("LoadPINCODE cannot remove the stored PIN code");
}

void CAppSettings::SetBackupBeforeSend(bool backup) {
  m_backupBeforeSend = backup;
  m_store->Write("BackupBeforeSend", backup ? "TRUE" : "FALSE");
}

void CAppSettings::LoadBackupBeforeSend() {
  std::string value;
  m_backupBeforeSend = !(m_store->Read("BackupBeforeSend", value) && EqualsIgnoreCase(value, "FALSE"));
}

void CAppSettings::LoadDataPorts() {
  std::string text;
  if (m_store->Read("DataPorts", text) && !ParseDataPortRange(text, m_dataPorts)) m_dataPorts = {};
}

CAppSettings& GetSettings() {
  static CAppSettings settings(std::make_unique<CQSettingsStore>());
  return settings;
}

CConnectionState& GetConnectionState() {
  static CConnectionState state;
  return state;
}

}  // namespace vantrel
