#pragma once
// Copies of the receiver's channel list kept on the PC: one file a send (and
// a backup-channels of the command-line tool) named by local date and time,
// "channel-YYYYMMDD-HHMMSS.xml", in the per-user data folder.
#include <cstddef>
#include <string>
#include <vector>

namespace vantrel::channels {

inline constexpr std::size_t kBackupsKept = 20;

// "<per-user data folder>/backups".
std::string DefaultBackupFolder();
// A name in folder for a backup made now that names no file yet (a second
// backup within the same second gets "-2", "-3", ...).
std::string NewBackupPath(const std::string& folder);
// The backups in folder, newest first.
std::vector<std::string> ListBackups(const std::string& folder);
// What the restore list shows of a backup, read from the file's text
// without parsing it (a broken file is listed too, and refused on opening).
struct BackupSummary {
  std::string path;
  std::string when;  // "YYYY-MM-DD HH:MM:SS" from the name, local time
  std::size_t services = 0;
  std::size_t groups = 0;
};
BackupSummary DescribeBackup(const std::string& path);

// The whole file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Removes the oldest backups beyond keep.
void PruneBackups(const std::string& folder, std::size_t keep = kBackupsKept);

}  // namespace vantrel::channels
