#pragma once
// The single-instance lock "Dekkora": a lock file in the per-user runtime
// folder. A lock left by a crashed run is stale and does not block a start;
// neither does a folder where no lock file can be made (the run then goes on
// without the lock, and the log says why).
#include <QLockFile>
#include <memory>
#include <string>

namespace vantrel::app {

class CSingleInstance {
 public:
  // folder: where the lock lives; empty means the per-user runtime folder.
  explicit CSingleInstance(const std::string& folder = {});
  // False only when a live process holds the lock; true when this process
  // now holds it or when the lock file cannot be made at all.
  bool Acquire();
  // Whether this process holds the lock.
  bool Held() const { return m_lock->isLocked(); }
  std::string LockPath() const { return m_path; }

 private:
  std::string m_path;
  std::unique_ptr<QLockFile> m_lock;
};

}  // namespace vantrel::app
