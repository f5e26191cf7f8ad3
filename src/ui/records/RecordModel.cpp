#include "ui/records/RecordModel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cctype>
#include <ctime>

#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/StringUtil.h"
#include "core/TextTable.h"
#include "ftp/FTPClient.h"

namespace vantrel::ui::records {
namespace {

constexpr int kTextBadCharacters = 165;
constexpr const char kForbidden[] = {'\\', '/', ':', '*', '?', '"', '<', '>', '|'};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

int Three(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Date cells "%d.%m.%Y-%H:%M" compared by year, month, day, then time.
int CompareDates(std::string a, std::string b) {
  if (a.empty()) a = "99.99.9999-99:99:99";
  if (b.empty()) b = "99.99.9999-99:99:99";
  const auto part = [](const std::string& text, std::size_t at, std::size_t count) {
    return at < text.size() ? text.substr(at, count) : std::string();
  };
  for (const auto& [at, count] : {std::pair<std::size_t, std::size_t>{6, 4}, {3, 2}, {0, 2}, {11, 5}}) {
    const int order = part(a, at, count).compare(part(b, at, count));
    if (order != 0) return Three(order);
  }
  return 0;
}

}  // namespace

int SortKindOfColumn(int column) { return column == 1 ? kSortNumberText : column == 2 ? kSortDate : kSortText; }

const char* ArchiveFolder(bool radio) { return radio ? kRadioArchive : kTvArchive; }

const char* ModeExtension(bool radio) { return radio ? "rts" : "tts"; }

std::string FormatSizeKB(std::uint64_t bytes) {
  const std::uint64_t kib = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  return GroupThousands(std::to_string(kib)) + "KB";
}

std::string FormatDate(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return {};
  char text[64];
  if (std::strftime(text, sizeof text, "%d.%m.%Y-%H:%M", &local) == 0) return {};
  return text;
}

int CompareCells(int kind, const std::string& a, const std::string& b) {
  const std::string x = Lower(a);
  const std::string y = Lower(b);
  switch (kind) {
    case kSortNumberText:
      if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
      return Three(x.compare(y));
    case kSortDate: return CompareDates(x, y);
    default: return Three(x.compare(y));
  }
}

int KeyFromPath(const std::string& path) {
  const std::size_t last = path.rfind('_');
  if (last == std::string::npos || last == 0) return -1;
  const std::size_t before = path.rfind('_', last - 1);
  if (before == std::string::npos) return -1;
  long key = 0;
  for (std::size_t i = before + 1; i < last && std::isdigit(static_cast<unsigned char>(path[i])); ++i) {
    key = key * 10 + (path[i] - '0');
    if (key > 0x7fffffffL) return -1;  // no receiver key is that long
  }
  return static_cast<int>(key);
}

std::string ReceiverRowName(const RecordingEntry& entry, bool radio) {
  return StripExtension(GetFileName(entry.path, true)) + "." + ModeExtension(radio);
}

bool IsSafeReceiverName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name.find("..") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::string DownloadTarget(const std::string& recordPath, const RecordingEntry& entry, bool radio) {
  const std::string name = GetFileName(entry.path, true);
  const std::string stem = StripExtension(name);
  if (!IsSafeReceiverName(name) || stem.empty() || !IsSafeReceiverName(stem) || recordPath.empty()) return {};
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
    if (!IsSafeReceiverName(folder->Name())) continue;
    const std::string folderPath = base + "/" + folder->Name();
    if (ftp.ChangeDir(folderPath) != 0) return entries;
    nsFTP::TFTPFileStatusShPtrVec files;
    if (!ftp.List(folderPath, files)) continue;
    for (const auto& file : files) {
      if (!IsSafeReceiverName(file->Name())) continue;
      entries.push_back({folderPath + "/" + file->Name(),
                         static_cast<std::uint64_t>(std::max<std::int64_t>(0, file->m_size)), folder->m_time});
    }
  }
  return entries;
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

std::string BadCharacterMessage() {
  std::string text = GetText(kTextBadCharacters);
  text += "\n\t";
  for (std::size_t i = 0; i < sizeof kForbidden; ++i) {
    if (i) text += ' ';
    text += kForbidden[i];
  }
  return text;
}

}  // namespace vantrel::ui::records
