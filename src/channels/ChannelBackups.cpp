#include "channels/ChannelBackups.h"

#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "core/Clock.h"
#include "core/DiagLog.h"
#include "core/PathUtil.h"

namespace vantrel::channels {
namespace fs = std::filesystem;

namespace {
bool IsBackupName(const std::string& name) {
  return name.rfind("channel-", 0) == 0 && name.size() > 12 && name.compare(name.size() - 4, 4, ".xml") == 0;
}
}  // namespace

std::string DefaultBackupFolder() {
  return JoinPcPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString(), "backups");
}

std::string NewBackupPath(const std::string& folder) {
  const std::time_t now = static_cast<std::time_t>(GetClock().NowUtc());
  std::tm parts{};
  localtime_r(&now, &parts);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
  std::string target;
  for (int n = 1; n < 1000; ++n) {
    std::string name = std::string("channel-") + stamp;
    if (n > 1) name.append("-").append(std::to_string(n));
    target = JoinPcPath(folder, name + ".xml");
    if (!PathExists(target)) break;
  }
  return target;
}

std::vector<std::string> ListBackups(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsBackupName(name) && it->is_regular_file(ec)) names.push_back(name);
  }
  // The stamp sorts by time; "-2" after the plain name of the same second.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string sa = a.substr(0, 23), sb = b.substr(0, 23);
    return sa != sb ? sa > sb : a.size() != b.size() ? a.size() > b.size() : a > b;
  });
  for (auto& name : names) name = JoinPcPath(folder, name);
  return names;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

BackupSummary DescribeBackup(const std::string& path) {
  BackupSummary summary;
  summary.path = path;
  const std::string name = fs::path(path).filename().string();
  if (IsBackupName(name) && name.size() >= 23) {
    const std::string d = name.substr(8, 8), t = name.substr(17, 6);
    summary.when = d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + " " + t.substr(0, 2) + ":" +
                   t.substr(2, 2) + ":" + t.substr(4, 2);
  }
  const std::string text = ReadWholeFile(path);
  const auto count = [&text](const char* element) {
    std::size_t n = 0;
    for (std::size_t at = text.find(element); at != std::string::npos; at = text.find(element, at + 1)) ++n;
    return n;
  };
  summary.services = count("<Service>");
  summary.groups = count("<FavoriteGroup>");
  return summary;
}

void PruneBackups(const std::string& folder, std::size_t keep) {
  const std::vector<std::string> backups = ListBackups(folder);
  for (std::size_t i = keep; i < backups.size(); ++i) {
    std::error_code ec;
    if (!fs::remove(backups[i], ec))
      LogError("backups: cannot remove %s: %s", backups[i].c_str(), ec.message().c_str());
  }
}

}  // namespace vantrel::channels
