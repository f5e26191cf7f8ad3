#include "core/FileDialogs.h"

namespace vantrel {
namespace {

class CNoDialogs final : public IFileDialogs {
 public:
  std::optional<std::string> GetOpenFileName(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> GetSaveFileName(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(const std::string&, const std::string&) override { return std::nullopt; }
};

CNoDialogs g_none;
IFileDialogs* g_dialogs = &g_none;

}  // namespace

IFileDialogs& GetFileDialogs() { return *g_dialogs; }

IFileDialogs* SetFileDialogs(IFileDialogs* dialogs) {
  IFileDialogs* previous = g_dialogs;
  g_dialogs = dialogs != nullptr ? dialogs : &g_none;
  return previous;
}

}  // namespace vantrel
