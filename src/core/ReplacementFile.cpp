#include "core/ReplacementFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vantrel {
namespace {

// The temporaries a signal handler removes. A slot is free (0), being
// filled or emptied (1), or holds a path (2); the handler only reads slots
// that hold a path, so it never sees half a name.
struct PendingSlot {
  std::atomic<int> state{0};
  char path[PATH_MAX];
};
std::array<PendingSlot, 16> g_pending;
static_assert(std::atomic<int>::is_always_lock_free);

int Remember(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < g_pending.size(); ++i) {
    int expected = 0;
    if (!g_pending[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_pending[i].path, path.c_str(), path.size() + 1);
    g_pending[i].state.store(2);
    return static_cast<int>(i);
  }
  return -1;  // more at once than slots: such a temporary is only removed by its owner
}

void Forget(int slot) {
  if (slot < 0) return;
  g_pending[static_cast<std::size_t>(slot)].state.store(1);
  g_pending[static_cast<std::size_t>(slot)].state.store(0);
}

bool Fail(std::string* error, const std::string& step, int code) {
  if (error != nullptr) *error = step + ": " + std::strerror(code);
  errno = code;
  return false;
}

}  // namespace

unsigned CurrentUmask() {
  // umask() would change it, for a moment, for every thread.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<unsigned>(std::strtol(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

void RemovePendingTemporaries() {
  for (PendingSlot& slot : g_pending) {
    if (slot.state.load() == 2) ::unlink(slot.path);
  }
}

CReplacementFile::~CReplacementFile() { Abandon(); }

bool CReplacementFile::Create(const std::string& target, std::string* error) {
  namespace fs = std::filesystem;
  Abandon();
  if (target.empty()) return Fail(error, "no file name", ENOENT);
  fs::path path(target);
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) path = resolved;
  }
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string name = path.filename().string();
  if (name.empty() || name == "." || name == "..") return Fail(error, "not a file name: " + target, EISDIR);

  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) return Fail(error, "cannot replace " + path.string(), EISDIR);
  // A device or a pipe is never replaced by a plain file.
  if (existed && !S_ISREG(old.st_mode)) return Fail(error, "not a plain file: " + path.string(), EINVAL);

  std::string pattern = (folder / ("." + name + ".tmp-XXXXXX")).string();
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Fail(error, "cannot create a file in " + folder.string(), errno);
  m_handle = fd;
  m_target = path.string();
  m_tempPath = temp.data();
  m_slot = Remember(m_tempPath);

  const mode_t mode = existed ? (old.st_mode & 07777) : (0666 & ~static_cast<mode_t>(CurrentUmask()));
  if (::fchmod(fd, mode) != 0) {
    const int code = errno;
    Abandon();
    return Fail(error, "cannot set the mode of " + pattern, code);
  }
  if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Keep the owner where we may (root); otherwise the file becomes ours.
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  return true;
}

int CReplacementFile::ReleaseHandle() {
  const int handle = m_handle;
  m_handle = -1;
  return handle;
}

bool CReplacementFile::Commit(std::string* error) {
  if (m_tempPath.empty()) return Fail(error, "nothing to commit", EINVAL);
  if (m_handle >= 0 && ::close(ReleaseHandle()) != 0) {
    const int code = errno;
    Abandon();
    return Fail(error, "cannot close " + m_tempPath, code);
  }
  if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
    const int code = errno;
    const std::string step = "cannot rename " + m_tempPath + " to " + m_target;
    Abandon();
    return Fail(error, step, code);
  }
  Forget(m_slot);
  m_slot = -1;
  m_tempPath.clear();
  // Make the rename itself durable; a failure here no longer loses anything.
  std::string folder = std::filesystem::path(m_target).parent_path().string();
  if (folder.empty()) folder = ".";
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

void CReplacementFile::Abandon() {
  if (m_handle >= 0) ::close(ReleaseHandle());
  if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
  Forget(m_slot);
  m_slot = -1;
  m_tempPath.clear();
}

}  // namespace vantrel
