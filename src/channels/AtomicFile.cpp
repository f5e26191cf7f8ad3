#include "channels/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vantrel::channels {
namespace {

std::atomic<const AtomicWriteFault*> g_fault{nullptr};

bool Fail(std::string* error, const std::string& step, int code) {
  if (error != nullptr) *error = step + ": " + std::strerror(code);
  return false;
}

// The process umask without changing it (umask() would, for a moment, for all threads).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

bool WriteAll(int fd, std::string_view bytes, const AtomicWriteFault* fault) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t chunk = std::min<std::size_t>(bytes.size() - done, std::size_t{1} << 20);
    if (fault != nullptr && fault->failWriteAfterBytes >= 0) {
      const auto budget = static_cast<std::size_t>(fault->failWriteAfterBytes);
      if (done >= budget) {
        errno = ENOSPC;
        return false;
      }
      chunk = std::min(chunk, budget - done);
    }
    const ssize_t n = ::write(fd, bytes.data() + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void SetAtomicWriteFaultForTest(const AtomicWriteFault* fault) { g_fault.store(fault); }

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  namespace fs = std::filesystem;
  const AtomicWriteFault* fault = g_fault.load();
  if (path.empty()) return Fail(error, "no file name", ENOENT);

  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") return Fail(error, "not a file name: " + path, EISDIR);

  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) return Fail(error, "cannot replace " + target.string(), EISDIR);

  std::string pattern = (folder / ("." + name + ".tmp-XXXXXX")).string();
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Fail(error, "cannot create a file in " + folder.string(), errno);
  const std::string tempPath(temp.data());

  auto abandon = [&](const std::string& step, int code) {
    if (fd >= 0) ::close(fd);
    ::unlink(tempPath.c_str());
    return Fail(error, step, code);
  };

  // The permission bits the target has (or a new file would get).
  const mode_t mode = existed ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (::fchmod(fd, mode) != 0) return abandon("cannot set the mode of " + tempPath, errno);
  if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Keep the owner where we may (root); otherwise the file becomes ours.
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }

  if (!WriteAll(fd, bytes, fault)) return abandon("cannot write " + tempPath, errno);
  if (fault != nullptr && fault->failSync) return abandon("cannot flush " + tempPath, EIO);
  if (::fsync(fd) != 0) return abandon("cannot flush " + tempPath, errno);
  const int closed = ::close(fd);
  if (closed != 0) {
    const int code = errno;
    ::unlink(tempPath.c_str());
    return Fail(error, "cannot close " + tempPath, code);
  }
  if (fault != nullptr && fault->failRename) {
    ::unlink(tempPath.c_str());
    return Fail(error, "cannot rename " + tempPath + " to " + target.string(), EXDEV);
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    const int code = errno;
    ::unlink(tempPath.c_str());
    return Fail(error, "cannot rename " + tempPath + " to " + target.string(), code);
  }
  // Make the rename itself durable; a failure here no longer loses anything.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace vantrel::channels
