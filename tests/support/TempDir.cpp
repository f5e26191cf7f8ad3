#include "support/TempDir.h"

#include <QDir>
#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantrel::test {

TempDir::TempDir() { m_dir.setAutoRemove(true); }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = File(name);
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAt(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::map<std::string, std::string> Snapshot(const std::string& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string bytes = it->is_directory() ? "<dir>" : ReadFile(it->path().string());
    tree[it->path().lexically_relative(root).string()] =
        bytes.size() <= 16 ? bytes
                           : std::to_string(bytes.size()) + "#" + std::to_string(std::hash<std::string>{}(bytes));
  }
  return tree;
}

IsolatedSettings::IsolatedSettings() {
  const char* home = std::getenv("HOME");
  m_hadHome = home != nullptr;
  if (m_hadHome) m_oldHome = home;
  QDir().mkpath(QString::fromStdString(Home()));
  QDir().mkpath(QString::fromStdString(ConfigDir()));
  setenv("HOME", Home().c_str(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(ConfigDir()));
}

IsolatedSettings::~IsolatedSettings() {
  if (m_hadHome)
    setenv("HOME", m_oldHome.c_str(), 1);
  else
    unsetenv("HOME");
}

ScriptedFileDialogs::ScriptedFileDialogs() : m_previous(SetFileDialogs(this)) {}
ScriptedFileDialogs::~ScriptedFileDialogs() { SetFileDialogs(m_previous); }

std::optional<std::string> ScriptedFileDialogs::Next(std::deque<std::optional<std::string>>& queue) {
  if (queue.empty()) return std::nullopt;
  auto answer = queue.front();
  queue.pop_front();
  return answer;
}

std::optional<std::string> ScriptedFileDialogs::GetOpenFileName(const std::string& title, const std::string&,
                                                                const std::string& filter) {
  lastTitle = title;
  lastFilter = filter;
  return Next(m_open);
}

std::optional<std::string> ScriptedFileDialogs::GetSaveFileName(const std::string& title, const std::string&,
                                                                const std::string& filter) {
  lastTitle = title;
  lastFilter = filter;
  return Next(m_save);
}

std::optional<std::string> ScriptedFileDialogs::BrowseForFolder(const std::string& title, const std::string&) {
  lastTitle = title;
  return Next(m_folder);
}

FixedClock::FixedClock(std::int64_t now) : m_now(now), m_previous(SetClock(this)) {}
FixedClock::~FixedClock() { SetClock(m_previous); }

}  // namespace vantrel::test
