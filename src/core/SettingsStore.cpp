#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

constexpr auto kPermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QSettings OpenStore() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessavir"),
                   QStringLiteral("Vantrel"));
}

// Creates the file empty with mode 0600 before the first write, so the PIN
// code never sits in a file that others can read.
bool PrepareFile(const QString& path) {
  QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) return false;
  if (!info.exists()) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
  }
  QFile::setPermissions(path, kPermissions);
  return true;
}

}  // namespace

std::string CQSettingsStore::FilePath() { return OpenStore().fileName().toStdString(); }

bool CQSettingsStore::Read(const std::string& name, std::string& value) {
  QSettings store = OpenStore();
  if (store.status() != QSettings::NoError) return false;
  store.beginGroup(QStringLiteral("Setting"));
  const QVariant stored = store.value(QString::fromStdString(name));
  if (!stored.isValid()) return false;
  const std::string text = stored.toString().toStdString();
  if (text.size() > kStoreValueLimit) return false;
  value = text;
  return true;
}

bool CQSettingsStore::Write(const std::string& name, const std::string& value) {
  if (value.size() > kStoreValueLimit) return false;
  QSettings store = OpenStore();
  const QString path = store.fileName();
  if (!PrepareFile(path) || !store.isWritable()) return false;
  store.beginGroup(QStringLiteral("Setting"));
  store.setValue(QString::fromStdString(name), QString::fromStdString(value));
  store.endGroup();
  store.sync();
  QFile::setPermissions(path, kPermissions);
  return store.status() == QSettings::NoError;
}

bool CQSettingsStore::Remove(const std::string& name) {
  QSettings store = OpenStore();
  store.beginGroup(QStringLiteral("Setting"));
  if (!store.contains(QString::fromStdString(name))) return true;
  if (!store.isWritable()) return false;
  store.remove(QString::fromStdString(name));
  store.endGroup();
  store.sync();
  return store.status() == QSettings::NoError;
}

}  // namespace vantrel
