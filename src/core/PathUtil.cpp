#include "core/PathUtil.h"

#include <filesystem>
#include <system_error>

namespace vantrel {
namespace fs = std::filesystem;

std::string GetFileExtension(std::string_view path) {
  const auto dot = path.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string GetFileName(std::string_view path, bool slash) {
  const char sep = slash ? '/' : kPcSeparator;
  const auto pos = path.rfind(sep);
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(pos + 1));
}

std::string GetParentPath(std::string_view path, bool slash) {
  const char sep = slash ? '/' : kPcSeparator;
  const auto pos = path.rfind(sep);
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string StripExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string GetLastPathComponent(std::string_view path) {
  if (!path.empty() && path.back() == kPcSeparator) path.remove_suffix(1);
  const auto pos = path.rfind(kPcSeparator);
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string AddTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != kPcSeparator) out += kPcSeparator;
  return out;
}

std::string RemoveTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == kPcSeparator) path.remove_suffix(1);
  return std::string(path);
}

std::string JoinPcPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  return AddTrailingBackslash(folder) + std::string(name);
}

bool PathExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool ShellDeletePath(const std::string& path) {
  if (path.empty() || path.size() > kMaxDeletePath) return false;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return false;
  fs::remove_all(path, ec);
  return !ec;
}

bool ShellDeletePaths(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  std::size_t listBytes = 1;
  for (const auto& name : names) {
    if (name.empty() || name == "." || name == ".." || name.find(kPcSeparator) != std::string::npos ||
        name.find('\0') != std::string::npos) {
      return false;
    }
    paths.push_back(JoinPcPath(folder, name));
    if (paths.back().size() > kMaxDeletePath) return false;
    listBytes += paths.back().size() + 1;
  }
  if (listBytes > kMaxDeleteList) return false;
  bool ok = !paths.empty();
  for (const auto& path : paths) ok = ShellDeletePath(path) && ok;
  return ok;
}

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7f) return false;
  }
  return true;
}

}  // namespace vantrel
