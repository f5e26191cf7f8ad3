#pragma once
// Open, save and folder dialogs behind an interface, so the logic that asks
// for a path runs in a test with scripted answers.
#include <optional>
#include <string>

namespace vantrel {

class IFileDialogs {
 public:
  virtual ~IFileDialogs() = default;
  // filter: Qt filter text, e.g. "User Favorite Files (*.xml)". nullopt: cancelled.
  virtual std::optional<std::string> GetOpenFileName(const std::string& title, const std::string& folder,
                                                     const std::string& filter) = 0;
  virtual std::optional<std::string> GetSaveFileName(const std::string& title, const std::string& path,
                                                     const std::string& filter) = 0;
  virtual std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& folder) = 0;
};

// The process-wide dialogs; without a window layer every dialog is cancelled.
IFileDialogs& GetFileDialogs();
IFileDialogs* SetFileDialogs(IFileDialogs* dialogs);

}  // namespace vantrel
