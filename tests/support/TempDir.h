#pragma once
// Temporary folders, isolated settings, scripted file dialogs and a fixed
// clock for tests.
#include <QTemporaryDir>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "core/Clock.h"
#include "core/FileDialogs.h"

namespace vantrel::test {

class TempDir {
 public:
  TempDir();
  std::string Path() const { return m_dir.path().toStdString(); }
  // Path of a name inside the folder.
  std::string File(const std::string& name) const { return Path() + "/" + name; }
  // Writes a file inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  QTemporaryDir m_dir;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Writes a file, making its folders first.
void WriteAt(const std::string& path, const std::string& bytes);

// Every entry below a folder: relative path -> "<dir>" for a folder, the
// contents of a small file, size and hash of a larger one. Two trees compare
// equal when they hold the same names and bytes.
std::map<std::string, std::string> Snapshot(const std::string& root);

// Points the per-user settings store and the home folder at a temporary
// folder for the lifetime of the object.
class IsolatedSettings {
 public:
  IsolatedSettings();
  ~IsolatedSettings();
  IsolatedSettings(const IsolatedSettings&) = delete;
  IsolatedSettings& operator=(const IsolatedSettings&) = delete;
  std::string Home() const { return m_dir.Path() + "/home"; }
  std::string ConfigDir() const { return m_dir.Path() + "/config"; }

 private:
  TempDir m_dir;
  std::string m_oldHome;
  bool m_hadHome;
};

// File dialogs answering from queues; an empty queue answers "cancelled".
class ScriptedFileDialogs final : public IFileDialogs {
 public:
  ScriptedFileDialogs();
  ~ScriptedFileDialogs() override;
  ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
  ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

  void QueueOpen(std::optional<std::string> answer) { m_open.push_back(std::move(answer)); }
  void QueueSave(std::optional<std::string> answer) { m_save.push_back(std::move(answer)); }
  void QueueFolder(std::optional<std::string> answer) { m_folder.push_back(std::move(answer)); }

  std::optional<std::string> GetOpenFileName(const std::string& title, const std::string& folder,
                                             const std::string& filter) override;
  std::optional<std::string> GetSaveFileName(const std::string& title, const std::string& path,
                                             const std::string& filter) override;
  std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& folder) override;

  std::string lastTitle;
  std::string lastFilter;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue);
  IFileDialogs* m_previous;
  std::deque<std::optional<std::string>> m_open, m_save, m_folder;
};

// A clock standing still at a given time, installed for its lifetime.
class FixedClock final : public IClock {
 public:
  explicit FixedClock(std::int64_t now);
  ~FixedClock() override;
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
  std::int64_t NowUtc() const override { return m_now; }
  void Set(std::int64_t now) { m_now = now; }

 private:
  std::int64_t m_now;
  const IClock* m_previous;
};

}  // namespace vantrel::test
