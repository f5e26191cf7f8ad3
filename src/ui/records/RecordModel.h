#pragma once
// What the recordings window shows and decides, without widgets: the
// receiver's archive scan, the PC folder's recordings, the cell texts and
// their sort order, recording keys, download targets and the rename rules.
#include <cstdint>
#include <string>
#include <vector>

namespace nsFTP {
class CFTPClient;
}

namespace vantrel::ui::records {

inline constexpr const char* kTvArchive = "/ftproot/Aufnahmen-Archiv (Recording Archive)/TV-Aufnahmen (TV Records)";
inline constexpr const char* kRadioArchive =
    "/ftproot/Aufnahmen-Archiv (Recording Archive)/Radio-Aufnahmen (Radio Records)";
inline constexpr const char* kReceiverStripPath = "STB:\\Record";

// One file found in a recording folder of the receiver.
struct RecordingEntry {
  std::string path;        // recording folder + "/" + file name
  std::uint64_t size = 0;  // bytes, from the listing
  std::int64_t date = 0;   // the recording folder's time, seconds since 1970
};

// One recording file of the PC record folder.
struct LocalRecording {
  std::string name;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};

// Comparison kinds of the list columns.
enum SortKind : int { kSortText = 0, kSortNumberText = 1, kSortDate = 3 };
int SortKindOfColumn(int column);

const char* ArchiveFolder(bool radio);
// "rts" in radio mode, "tts" in TV mode.
const char* ModeExtension(bool radio);

// Kibibytes rounded up, grouped, with "KB": 1,048,577 bytes give "1,025KB".
std::string FormatSizeKB(std::uint64_t bytes);
// Local time "%d.%m.%Y-%H:%M"; empty when the time cannot be formatted.
std::string FormatDate(std::int64_t seconds);

// Negative, 0 or positive as a sorts before, with or after b (ascending);
// both texts are compared in lower case.
int CompareCells(int kind, const std::string& a, const std::string& b);

// The receiver's key of a recording: the number between the last two "_" of
// its path (digits only; none give 0); -1 with fewer than two "_".
int KeyFromPath(const std::string& path);

// The name a receiver row shows: the file's stem with the mode's extension.
std::string ReceiverRowName(const RecordingEntry& entry, bool radio);

// The PC path a receiver file is downloaded to: record folder + "/" + stem +
// "." + mode extension. Empty when the receiver's name could reach outside
// the record folder or names nothing ("/", "..", an empty stem).
std::string DownloadTarget(const std::string& recordPath, const RecordingEntry& entry, bool radio);
// A listed name the window can use as one path component.
bool IsSafeReceiverName(const std::string& name);

// The recordings of the mode in the folder, in the order the file system
// gives them. Nothing for an empty folder text or "\".
std::vector<LocalRecording> ListLocalRecordings(const std::string& folder, bool radio);

// Scans the archive folder of the mode on a logged-in client: every file of
// every recording folder, with the folder's date. Stops at the first folder
// that cannot be entered, keeping what was found before.
std::vector<RecordingEntry> ScanReceiver(nsFTP::CFTPClient& ftp, bool radio);

// Disk figures of the side, in mebibytes; 0 and 0 when the disk cannot be asked.
struct DiskFigures {
  int total = 0;
  int used = 0;
};
DiskFigures LocalDiskFigures(const std::string& path);

// The in-place rename of a PC recording.
struct RenameCheck {
  enum Outcome {
    kEmpty,         // "You must type a filename": edit again
    kBadCharacter,  // one of \ / : * ? " < > |: edit again
    kUnchanged,     // the same name: nothing to do
    kExists,        // another row (or file) has it, ignoring case: edit again
    kRename,        // rename to `name`
  };
  Outcome outcome;
  std::string name;  // the typed name with the mode's extension
};
RenameCheck CheckRename(const std::string& typed, const std::string& current, const std::vector<std::string>& rowNames,
                        bool radio);
// The message of kBadCharacter.
std::string BadCharacterMessage();

}  // namespace vantrel::ui::records
