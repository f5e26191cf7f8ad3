#include "records/Recordings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <ctime>
#include <set>

#include "core/AppSettings.h"
#include "core/CommandChannelInterface.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/StringUtil.h"
#include "core/TextTable.h"
#include "ftp/FTPClient.h"

namespace vantrel::records {
namespace {

constexpr int kTextBadCharacters = 165;
constexpr int kTextDownloadFail = 303;
constexpr int kTextReplace = 353;
constexpr int kTextFolderFailed = 356;
constexpr const char kForbidden[] = {'\\', '/', ':', '*', '?', '"', '<', '>', '|'};

int Three(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int SortKindOfColumn(int column) { return column == 1 ? kSortNumberText : column == 2 ? kSortDate : kSortText; }

const char* ArchiveFolder(bool radio) { return radio ? kRadioArchive : kTvArchive; }

const char* ModeExtension(bool radio) { return radio ? "rts" : "tts"; }

int CompareCells(int kind, const std::string& a, const std::string& b) {
  const std::string x = LowerText(a);
  const std::string y = LowerText(b);
  switch (kind) {
    case kSortNumberText:
      if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
      return Three(x.compare(y));
    case kSortDate: return CompareDateTexts(x, y);
    default: return Three(x.compare(y));
  }
}

int KeyFromPath(const std::string& path) {
  const std::string folder = GetFileName(GetParentPath(path, true), true);
  const std::size_t last = folder.rfind('_');
  if (last == std::string::npos || last == 0) return -1;
  const std::size_t before = folder.rfind('_', last - 1);
  if (before == std::string::npos || before + 1 == last) return -1;
  long long key = 0;
  for (std::size_t i = before + 1; i < last; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(folder[i]))) return -1;
    key = key * 10 + (folder[i] - '0');
    if (key > INT_MAX) return -1;  // no receiver key is that long
  }
  return static_cast<int>(key);
}

std::string ReceiverRowName(const RecordingEntry& entry, bool radio) {
  return StripExtension(GetFileName(entry.path, true)) + "." + ModeExtension(radio);
}

std::string DownloadTarget(const std::string& recordPath, const RecordingEntry& entry, bool radio) {
  const std::string name = GetFileName(entry.path, true);
  const std::string stem = StripExtension(name);
  if (!IsSafeEntryName(name) || stem.empty() || !IsSafeEntryName(stem) || recordPath.empty()) return {};
  return JoinPcPath(recordPath, stem + "." + ModeExtension(radio));
}

std::vector<LocalRecording> ListLocalRecordings(const std::string& folder, bool radio) {
  std::vector<LocalRecording> rows;
  if (folder.empty() || folder == "\\") return rows;
  const QDir dir(QString::fromStdString(folder));
  const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
  for (const QFileInfo& file : files) {
    const std::string name = file.fileName().toStdString();
    if (!EqualsIgnoreCase(GetFileExtension(name), ModeExtension(radio))) continue;
    rows.push_back(
        {name, static_cast<std::uint64_t>(std::max<qint64>(0, file.size())), file.lastModified().toSecsSinceEpoch()});
  }
  return rows;
}

std::vector<RecordingEntry> ScanReceiver(nsFTP::CFTPClient& ftp, bool radio) {
  std::vector<RecordingEntry> entries;
  const std::string base = ArchiveFolder(radio);
  if (ftp.ChangeDir(base) != 0) return entries;
  nsFTP::TFTPFileStatusShPtrVec folders;
  if (!ftp.List(base, folders)) return entries;
  for (const auto& folder : folders) {
    if (folder->m_attributes.empty() || folder->m_attributes[0] != 'd' || folder->IsDot()) continue;
    // A folder name that is not one path component could lead the scan elsewhere.
    if (!IsSafeEntryName(folder->Name())) continue;
    const std::string folderPath = base + "/" + folder->Name();
    if (ftp.ChangeDir(folderPath) != 0) return entries;
    nsFTP::TFTPFileStatusShPtrVec files;
    if (!ftp.List(folderPath, files)) continue;
    for (const auto& file : files) {
      if (!IsSafeEntryName(file->Name())) continue;
      entries.push_back({folderPath + "/" + file->Name(),
                         static_cast<std::uint64_t>(std::max<std::int64_t>(0, file->m_size)), folder->m_time});
    }
  }
  return entries;
}

bool LoginReceiver(nsFTP::CFTPClient& ftp, std::uint16_t port) {
  const nsFTP::CServerLogin logon(GetSettings().GetLastIP(), port, GetSettings().GetUserID(),
                                  GetSettings().GetPINCODE());
  if (ftp.Login(logon, false)) {
    GetConnectionState().m_ftpLoggedIn.store(true);
    return true;
  }
  GetConnectionState().m_ftpLoggedIn.store(false);
  ftp.Logout();
  return false;
}

DiskFigures LocalDiskFigures(const std::string& path) {
  const QStorageInfo disk(QString::fromStdString(path));
  if (path.empty() || !disk.isValid() || !disk.isReady() || disk.bytesTotal() <= 0) return {};
  const qint64 mib = 1024 * 1024;
  const qint64 total = disk.bytesTotal() / mib;
  const qint64 free = disk.bytesAvailable() / mib;
  const auto clamp = [](qint64 v) { return static_cast<int>(std::min<qint64>(v, 0x7fffffff)); };
  return {clamp(total), clamp(total - free)};
}

DiskFigures ReceiverDiskFigures(ICommandChannel& channel) {
  const int total = channel.GetPartitionSize();
  const int free = channel.GetFreeMBSize();
  return {total, total - free};
}

// ---- download

namespace {

// The recording itself, as opposed to the other files of its folder.
bool IsRecordingFile(const std::string& name, bool radio) {
  const std::string extension = GetFileExtension(name);
  return EqualsIgnoreCase(extension, "ts") || EqualsIgnoreCase(extension, ModeExtension(radio));
}

}  // namespace

std::vector<DownloadItem> PlanDownload(const std::string& recordPath, const std::vector<RecordingEntry>& entries,
                                       bool radio) {
  std::vector<DownloadItem> plan;
  std::set<std::string> taken;  // lower case
  for (const RecordingEntry& entry : entries) {
    const std::string name = GetFileName(entry.path, true);
    if (DownloadTarget(recordPath, entry, radio).empty()) {
      LogError("recordings: receiver file name %s refused", name.c_str());
      continue;
    }
    const std::string base = IsRecordingFile(name, radio) ? StripExtension(name) : name;
    std::string pcName = base + "." + ModeExtension(radio);
    for (int n = 2; taken.count(LowerText(pcName)) != 0; ++n)
      pcName = Format("%s (%d).%s", base.c_str(), n, ModeExtension(radio));
    taken.insert(LowerText(pcName));
    plan.push_back({entry, pcName, JoinPcPath(recordPath, pcName)});
  }
  return plan;
}

bool ConfirmReplacements(std::vector<DownloadItem>& plan) {
  bool replaceAll = false;
  std::vector<DownloadItem> kept;
  for (DownloadItem& item : plan) {
    if (!replaceAll && PathExists(item.pcPath)) {
      switch (AskReplaceText(Format(GetText(kTextReplace), item.pcName.c_str()))) {
        case ReplaceAnswer::Yes: break;
        case ReplaceAnswer::YesToAll: replaceAll = true; break;
        case ReplaceAnswer::Skip: continue;
        case ReplaceAnswer::Cancel: plan.clear(); return false;
      }
    }
    kept.push_back(std::move(item));
  }
  plan = std::move(kept);
  return true;
}

DownloadReport RunDownload(nsFTP::CFTPClient& ftp, const std::vector<DownloadItem>& plan,
                           const std::atomic<bool>& cancel,
                           const std::function<void(const DownloadItem&)>& beforeFile) {
  DownloadReport report;
  for (const DownloadItem& item : plan) {
    if (cancel.load()) {
      report.outcome = DownloadReport::kCancelled;
      return report;
    }
    const std::string folder = GetParentPath(item.entry.path, true);
    const std::string name = GetFileName(item.entry.path, true);
    if (ftp.ChangeDir(folder) != 0) {
      report.outcome = DownloadReport::kFolderFailed;
      report.failedName = name;
      return report;
    }
    if (beforeFile) beforeFile(item);
    if (!ftp.DownloadFile(name, item.pcPath, nsFTP::CTransferType::ImageType())) {
      report.outcome = DownloadReport::kFileFailed;
      report.failedName = name;
      return report;
    }
    ++report.copied;
  }
  return report;
}

std::string DownloadFailureText(const DownloadReport& report) {
  switch (report.outcome) {
    case DownloadReport::kDone: return {};
    case DownloadReport::kFolderFailed: return Format(GetText(kTextFolderFailed), report.failedName.c_str());
    case DownloadReport::kFileFailed:
    case DownloadReport::kCancelled: break;
  }
  return GetText(kTextDownloadFail);
}

// ---- deletion on the receiver

DeleteReport DeleteByKey(ICommandChannel& channel, bool radio, const std::vector<RecordingEntry>& entries) {
  DeleteReport report;
  std::vector<int> keys;
  for (const RecordingEntry& entry : entries) {
    const int key = KeyFromPath(entry.path);
    if (key < 0) {
      report.withoutKey.push_back(entry.path);
    } else if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
      keys.push_back(key);  // the files of one recording share its key
    }
  }
  if (keys.empty()) return report;
  report.sent = true;
  report.refused = !channel.DeleteByKeyList(radio ? 2 : 1, keys);
  return report;
}

// ---- renaming

RenameCheck CheckRename(const std::string& typed, const std::string& current, const std::vector<std::string>& rowNames,
                        bool radio) {
  if (typed.empty()) return {RenameCheck::kEmpty, typed};
  for (char c : kForbidden)
    if (typed.find(c) != std::string::npos) return {RenameCheck::kBadCharacter, typed};
  std::string name = typed;
  if (!EqualsIgnoreCase(GetFileExtension(name), ModeExtension(radio)))
    name = StripExtension(name) + "." + ModeExtension(radio);
  if (name == current) return {RenameCheck::kUnchanged, name};
  for (const std::string& row : rowNames)
    if (EqualsIgnoreCase(row, name)) return {RenameCheck::kExists, name};
  return {RenameCheck::kRename, name};
}

RenameResult RenamePcRecording(const std::string& folder, const std::string& current, const std::string& typed,
                               const std::vector<std::string>& rowNames, bool radio) {
  RenameResult result{CheckRename(typed, current, rowNames, radio), false};
  if (result.check.outcome != RenameCheck::kRename) return result;
  const std::string target = JoinPcPath(folder, result.check.name);
  // A file the list does not show (made since it was filled) is not replaced either.
  if (PathExists(target)) {
    result.check.outcome = RenameCheck::kExists;
    return result;
  }
  result.renamed = std::rename(JoinPcPath(folder, current).c_str(), target.c_str()) == 0;
  return result;
}

std::string BadCharacterMessage() {
  std::string text = GetText(kTextBadCharacters);
  text += "\n\t";
  for (std::size_t i = 0; i < sizeof kForbidden; ++i) {
    if (i) text += ' ';
    text += kForbidden[i];
  }
  return text;
}

}  // namespace vantrel::records
