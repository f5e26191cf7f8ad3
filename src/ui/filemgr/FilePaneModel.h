#pragma once
// What the file manager's lists and name edits decide, without widgets: the
// rows of a list with their texts, the four comparison kinds and the flipping
// sort, new folder names, and the checks on a name typed in place.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Format.h"  // SizeText, DateText

namespace vantrel::ui {

// List images: a row is a folder exactly when its image is 0 or 1.
enum ListImage { kImageFolder = 0, kImageFolderOpen = 1, kImageFile = 2 };

struct FileRow {
  std::string name;
  int image = kImageFile;
  std::string size;         // "12KB" for files, empty for folders
  std::int64_t bytes = -1;  // the file's size, -1 for folders
  std::string type;         // the extension for files
  std::string date;         // "%d.%m.%Y-%H:%M" local time
  bool IsFolder() const { return image == kImageFolder || image == kImageFolderOpen; }
};

enum class CompareKind { kNamesFoldersGrouped, kNumericText, kPlainText, kDateText };

class CFileListModel {
 public:
  // Remote mode 3 shows a duration in column 3 (compared as numbers).
  explicit CFileListModel(int remoteMode = 0) : m_mode(remoteMode) {}

  const std::vector<FileRow>& Rows() const { return m_rows; }
  std::vector<FileRow>& Rows() { return m_rows; }
  void Clear() { m_rows.clear(); }

  // The entries of a PC folder ("." and ".." left out), sorted. Nothing for an empty path or "My Computer".
  void FillLocal(const std::string& folder);
  // A receiver entry appended at the end.
  void AddEntry(const std::string& name, bool isFile, std::int64_t size, std::int64_t time);

  int SortColumn() const { return m_sortColumn; }
  bool Ascending() const { return m_ascending; }
  CompareKind Kind() const { return KindOf(m_sortColumn); }
  CompareKind KindOf(int column) const;
  // A heading click: that column, the direction flipped.
  void ClickHeading(int column);
  void Sort();
  // Negative, zero or positive as a sorts before, with or after b.
  int Compare(const FileRow& a, const FileRow& b) const;

  // "new folder", else "new folder(n)" with the first n not used by a row (letter case ignored).
  std::string MakeNewFolderName() const;
  // The row index with exactly that name, or -1.
  int Find(const std::string& name) const;

 private:
  std::vector<FileRow> m_rows;
  int m_mode;
  int m_sortColumn = 0;
  bool m_ascending = true;
};

// The result of checking a name typed in place.
enum class NameCheck {
  kBadCharacter,  // holds one of \ / : * ? " < > |
  kEmpty,
  kUnchanged,  // equal to the current name: accepted, nothing to do
  kExists,     // used by another entry (letter case ignored)
  kOk,
};
// `taken` are the names the new one must not equal: in a list every row
// (the edited one included), in a tree the siblings of the item.
NameCheck CheckNewName(const std::string& text, const std::string& current, const std::vector<std::string>& taken);
// The text of the refusal message for kBadCharacter (the nine characters listed).
std::string BadCharacterMessage();
// A name without its trailing dots (the PC renames so).
std::string StripTrailingDots(std::string name);

}  // namespace vantrel::ui
