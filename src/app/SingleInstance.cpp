#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

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

bool CSingleInstance::Acquire() { return m_lock->isLocked() || m_lock->tryLock(0); }

}  // namespace vantrel::app
