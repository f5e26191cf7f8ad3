#pragma once
// The single-instance lock "Dekkora": a lock file in the per-user runtime
// folder. A lock left by a crashed run is stale and does not block a start.
#include <QLockFile>
#include <memory>
#include <string>

namespace vantrel::app {

class CSingleInstance {
 public:
  // folder: where the lock lives; empty means the per-user runtime folder.
  explicit CSingleInstance(const std::string& folder = {});
  // True when this process now holds the lock; false when another one does.
  bool Acquire();
  std::string LockPath() const { return m_path; }

 private:
  std::string m_path;
  std::unique_ptr<QLockFile> m_lock;
};

}  // namespace vantrel::app
