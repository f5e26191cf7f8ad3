#pragma once
// What the recordings window shows and decides, without widgets: the
// receiver's archive scan, the PC folder's recordings, the cell texts and
// their sort order, recording keys and deletion by key, the download plan and
// its run, the rename of a PC recording and the disk figures of both sides.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nsFTP {
class CFTPClient;
}

namespace vantrel {
class ICommandChannel;
}

namespace vantrel::records {

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

// Negative, 0 or positive as a sorts before, with or after b (ascending);
// both texts are compared in lower case.
int CompareCells(int kind, const std::string& a, const std::string& b);

// The receiver names a recording folder "Title_YYYYMMDD_HHMM_KEY_": the key
// of a recording file is the number between the last two "_" of its folder's
// own name (the title may hold "_" too). -1 when that folder name has no such
// number: no key, nothing to send.
int KeyFromPath(const std::string& path);

// The name a receiver row shows: the file's stem with the mode's extension.
std::string ReceiverRowName(const RecordingEntry& entry, bool radio);

// The PC path a receiver file is downloaded to when nothing else claims that
// name: record folder + "/" + stem + "." + mode extension. Empty when the
// receiver's name could reach outside the record folder or names nothing
// ("/", "..", an empty stem).
std::string DownloadTarget(const std::string& recordPath, const RecordingEntry& entry, bool radio);

// The recordings of the mode in the folder, in the order the file system
// gives them. Nothing for an empty folder text or "\".
std::vector<LocalRecording> ListLocalRecordings(const std::string& folder, bool radio);

// Scans the archive folder of the mode on a logged-in client: every file of
// every recording folder, with the folder's date. Stops at the first folder
// that cannot be entered, keeping what was found before.
std::vector<RecordingEntry> ScanReceiver(nsFTP::CFTPClient& ftp, bool radio);

// Logs the client in to the receiver with the settings' address, user and PIN
// code, and keeps the connection state's FTP-login flag; no message.
bool LoginReceiver(nsFTP::CFTPClient& ftp, std::uint16_t port);

// Disk figures of the side, in mebibytes; 0 and 0 when the disk cannot be asked.
struct DiskFigures {
  int total = 0;
  int used = 0;
};
DiskFigures LocalDiskFigures(const std::string& path);
// The receiver's recording partition, as the command channel gives it.
DiskFigures ReceiverDiskFigures(ICommandChannel& channel);

// ---- download

// One receiver file of a download and the PC file it becomes.
struct DownloadItem {
  RecordingEntry entry;
  std::string pcName;  // unique within the plan, ignoring case
  std::string pcPath;  // record folder + "/" + pcName
};

// The files of the selection and their PC names, in the selection's order. A
// recording file keeps its stem with the mode's extension (x.ts -> x.tts);
// another file of the folder keeps its whole name before the mode's extension
// (x.inf -> x.inf.tts); a name the plan already gives away gets " (2)",
// " (3)"... before the extension. Files whose receiver name is refused are
// left out.
std::vector<DownloadItem> PlanDownload(const std::string& recordPath, const std::vector<RecordingEntry>& entries,
                                       bool radio);

// Asks before each planned file whose PC name already exists (Yes, Yes to
// all, Skip, Cancel); skipped files leave the plan. False on Cancel: nothing
// is to be downloaded.
bool ConfirmReplacements(std::vector<DownloadItem>& plan);

struct DownloadReport {
  enum Outcome {
    kDone,          // every planned file arrived
    kFolderFailed,  // the receiver folder of `failedName` could not be entered
    kFileFailed,    // the download of `failedName` failed
    kCancelled,     // stopped between two files
  };
  Outcome outcome = kDone;
  std::string failedName;  // the receiver file name
  std::size_t copied = 0;  // files that arrived before the job ended
};

// Downloads the plan on a logged-in client, in order; `beforeFile` hears of
// each file before it moves. Ends at the first failure or when `cancel` is
// set between two files; files that arrived stay.
DownloadReport RunDownload(nsFTP::CFTPClient& ftp, const std::vector<DownloadItem>& plan,
                           const std::atomic<bool>& cancel,
                           const std::function<void(const DownloadItem&)>& beforeFile = {});
// The message for a failed job (empty for kDone).
std::string DownloadFailureText(const DownloadReport& report);

// ---- deletion on the receiver

struct DeleteReport {
  std::vector<std::string> withoutKey;  // receiver paths that have no key: not sent
  bool sent = false;                    // keys went to the receiver
  bool refused = false;                 // the receiver answered FALSE (or the exchange failed)
};
// Sends the keys of the entries (kind 1 TV, 2 radio); entries without a key are not sent.
DeleteReport DeleteByKey(ICommandChannel& channel, bool radio, const std::vector<RecordingEntry>& entries);

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
// Checks the typed name as CheckRename does, refuses a name a file of the
// folder already has (kExists), and renames the file for kRename. `renamed`
// is false when the file system refused the rename.
struct RenameResult {
  RenameCheck check;
  bool renamed = false;
};
RenameResult RenamePcRecording(const std::string& folder, const std::string& current, const std::string& typed,
                               const std::vector<std::string>& rowNames, bool radio);
// The message of kBadCharacter.
std::string BadCharacterMessage();

}  // namespace vantrel::records
