#include "channels/AtomicFile.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "core/ReplacementFile.h"

namespace vantrel::channels {
namespace {

std::atomic<const AtomicWriteFault*> g_fault{nullptr};

bool Fail(std::string* error, const std::string& step, int code) {
  if (error != nullptr) *error = step + ": " + std::strerror(code);
  return false;
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
  const AtomicWriteFault* fault = g_fault.load();
  CReplacementFile file;
  if (!file.Create(path, error)) return false;
  const std::string& tempPath = file.TempPath();
  auto abandon = [&](const std::string& step, int code) {
    file.Abandon();
    return Fail(error, step, code);
  };
  const int fd = file.Handle();
  if (!WriteAll(fd, bytes, fault)) return abandon("cannot write " + tempPath, errno);
  if (fault != nullptr && fault->failSync) return abandon("cannot flush " + tempPath, EIO);
  if (::fsync(fd) != 0) return abandon("cannot flush " + tempPath, errno);
  if (fault != nullptr && fault->failRename) {
    return abandon("cannot rename " + tempPath + " to " + file.Target(), EXDEV);
  }
  return file.Commit(error);
}

}  // namespace vantrel::channels
