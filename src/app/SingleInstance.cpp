#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

#include "core/DiagLog.h"

namespace vantrel::app {

CSingleInstance::CSingleInstance(const std::string& folder) {
  QString dir = QString::fromStdString(folder);
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  m_path = QDir(dir).filePath(QStringLiteral("Dekkora.lock")).toStdString();
  m_lock = std::make_unique<QLockFile>(QString::fromStdString(m_path));
  m_lock->setStaleLockTime(0);  // only a lock of a process that is gone counts as stale
}

bool CSingleInstance::Acquire() {
  if (m_lock->isLocked() || m_lock->tryLock(0)) return true;
  if (m_lock->error() == QLockFile::LockFailedError) return false;  // another process holds it
  LogError("Single-instance lock %s cannot be made (error %d); starting without it", m_path.c_str(),
           static_cast<int>(m_lock->error()));
  return true;
}

}  // namespace vantrel::app
