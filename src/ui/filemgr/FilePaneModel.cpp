#include "ui/filemgr/FilePaneModel.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/StringUtil.h"
#include "core/TextTable.h"

namespace vantrel::ui {

namespace fs = std::filesystem;

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

const std::string& ColumnText(const FileRow& row, int column) {
  switch (column) {
    case 1: return row.size;
    case 2: return row.type;
    case 3: return row.date;
    default: return row.name;
  }
}

}  // namespace

void CFileListModel::FillLocal(const std::string& folder) {
  m_rows.clear();
  // "My Computer" is no folder; "/" is, on this platform.
  if (folder.empty() || folder == "My Computer") return;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    FileRow row;
    row.name = it->path().filename().string();
    if (row.name == "." || row.name == "..") continue;
    struct stat info {};
    if (::stat(it->path().c_str(), &info) != 0 && ::lstat(it->path().c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      row.image = kImageFolder;
    } else {
      row.image = kImageFile;
      row.size = SizeText(info.st_size);
      row.bytes = info.st_size;
      row.type = GetFileExtension(row.name);
      row.date = DateText(info.st_mtime);
    }
    m_rows.push_back(std::move(row));
  }
  Sort();
}

void CFileListModel::AddEntry(const std::string& name, bool isFile, std::int64_t size, std::int64_t time) {
  FileRow row;
  row.name = name;
  row.image = isFile ? kImageFile : kImageFolder;
  if (isFile) {
    row.size = SizeText(size);
    row.bytes = size;
    row.type = GetFileExtension(name);
  }
  row.date = DateText(time);
  m_rows.push_back(std::move(row));
}

CompareKind CFileListModel::KindOf(int column) const {
  switch (column) {
    case 0: return CompareKind::kNamesFoldersGrouped;
    case 1: return CompareKind::kNumericText;
    case 3: return m_mode == 3 ? CompareKind::kNumericText : CompareKind::kDateText;
    default: return CompareKind::kPlainText;
  }
}

void CFileListModel::ClickHeading(int column) {
  m_sortColumn = column;
  m_ascending = !m_ascending;
  Sort();
}

int CFileListModel::Compare(const FileRow& a, const FileRow& b) const {
  const std::string ta = LowerText(ColumnText(a, m_sortColumn));
  const std::string tb = LowerText(ColumnText(b, m_sortColumn));
  const int direction = m_ascending ? 1 : -1;
  switch (Kind()) {
    case CompareKind::kPlainText: return direction * Sign(ta.compare(tb));
    case CompareKind::kNumericText:
      if (ta.size() != tb.size()) return direction * (ta.size() < tb.size() ? -1 : 1);
      return direction * Sign(ta.compare(tb));
    case CompareKind::kDateText: return direction * CompareDateTexts(ta, tb);
    case CompareKind::kNamesFoldersGrouped:
      if (a.IsFolder() != b.IsFolder()) {
        // Ascending: folders first; descending: files first.
        return (a.IsFolder() ? -1 : 1) * direction;
      }
      return direction * Sign(ta.compare(tb));
  }
  return 0;
}

void CFileListModel::Sort() {
  std::stable_sort(m_rows.begin(), m_rows.end(),
                   [this](const FileRow& a, const FileRow& b) { return Compare(a, b) < 0; });
}

std::string CFileListModel::MakeNewFolderName() const {
  std::string candidate = "new folder";
  for (int n = 1;;) {
    const bool used =
        std::any_of(m_rows.begin(), m_rows.end(), [&](const FileRow& row) { return LowerText(row.name) == candidate; });
    if (!used) return candidate;
    candidate = Format("new folder(%d)", ++n);
  }
}

int CFileListModel::Find(const std::string& name) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (m_rows[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

NameCheck CheckNewName(const std::string& text, const std::string& current, const std::vector<std::string>& taken) {
  if (!text.empty() && text.find_first_of("\\/:*?\"<>|") != std::string::npos) return NameCheck::kBadCharacter;
  // A NUL cannot be part of a file name either.
  if (text.find('\0') != std::string::npos) return NameCheck::kBadCharacter;
  if (text.empty()) return NameCheck::kEmpty;
  if (text == current) return NameCheck::kUnchanged;
  const std::string lower = LowerText(text);
  for (const std::string& name : taken) {
    if (LowerText(name) == lower) return NameCheck::kExists;
  }
  return NameCheck::kOk;
}

std::string BadCharacterMessage() {
  return std::string(GetText(165)) +
         Format("\n\t%c %c %c %c %c %c %c %c %c", '\\', '/', ':', '*', '?', '"', '<', '>', '|');
}

std::string StripTrailingDots(std::string name) {
  while (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

}  // namespace vantrel::ui
