#pragma once
// Copies and deletions of whole folder trees between the PC and the
// receiver, and the loop of a file manager transfer job. Shared by the file
// manager window (on its worker thread) and by vantrel-cli.
//
// Folder trees are walked depth-first, each folder's entries in the order
// the source gives them; the receiver's working directory follows the walk
// (CWD into a folder, CDUP back out).
//
// The receiver's names are not trusted: an entry named "." or "..", empty,
// or holding "/" or a NUL is skipped (never downloaded, recursed into or
// deleted), so a copy never writes outside the chosen PC folder. Walks stop
// at kMaxTreeDepth levels, and a PC path longer than the platform allows is
// refused rather than cut.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/PathUtil.h"
#include "ftp/FTPClient.h"

namespace vantrel {

inline constexpr int kMaxTreeDepth = 64;
// Longest PC path handed to the file system (PATH_MAX less its NUL).
inline constexpr std::size_t kMaxPcPath = 4095;
// Longest single name on a PC file system.
inline constexpr std::size_t kMaxPcName = 255;

// A receiver child path: folder + "/" + name, with one "/" after the root.
std::string JoinReceiverPath(std::string_view folder, std::string_view name);

// Why a walk or job ended.
enum class TransferStop {
  kNone,         // everything done
  kFailed,       // an FTP step or a file's transfer failed
  kCancelled,    // the user cancelled
  kTooDeep,      // the tree is deeper than kMaxTreeDepth
  kPathTooLong,  // a PC path would exceed kMaxPcPath / kMaxPcName
};

// What a job or a walk reports to its owner; every field may be read from
// another thread while the job runs.
class CTransferControl {
 public:
  // Requests a stop: the running file stops after its chunk (the client's
  // Abort), and no further file starts.
  void Cancel(nsFTP::CFTPClient* client);
  bool IsCancelled() const { return m_cancelled.load(); }
  void Reset();

  std::atomic<int> m_filesDone{0};
  std::atomic<int> m_itemsDone{0};     // selected rows finished
  std::atomic<int> m_skippedNames{0};  // hostile receiver names left out

  // The path a stop concerns (the too-deep folder, the too-long path).
  std::string StopPath() const;
  void SetStopPath(const std::string& path);

 private:
  std::atomic<bool> m_cancelled{false};
  mutable std::mutex m_mutex;
  std::string m_stopPath;
};

// The walks. The client must be logged in; `control` may be shared with the
// thread that cancels.
class CFolderTransfer {
 public:
  CFolderTransfer(nsFTP::CFTPClient& client, CTransferControl& control) : m_client(client), m_control(control) {}

  // Receiver folder -> new or existing PC folder.
  bool DownloadFolder(const std::string& remotePath, const std::string& localPath);
  // PC folder -> new receiver folder. A receiver folder that exists already
  // fails (MKD is refused) and nothing is copied into it, unless `merge`:
  // then the copy goes into the existing folders and replaces files of the
  // same name. Links to folders are not followed.
  bool UploadFolder(const std::string& localPath, const std::string& remotePath, bool merge = false);
  // Deletes a receiver folder with everything in it.
  bool DeleteRemoteTree(const std::string& remotePath);

  bool DownloadOneFile(const std::string& remotePath, const std::string& localPath);
  bool UploadOneFile(const std::string& localPath, const std::string& remotePath);

  TransferStop Stop() const { return m_stop; }
  void ClearStop() { m_stop = TransferStop::kNone; }

 private:
  bool DownloadFolderAt(const std::string& remotePath, const std::string& localPath, int depth);
  bool UploadFolderAt(const std::string& localPath, const std::string& remotePath, int depth, bool merge);
  bool DeleteRemoteTreeAt(const std::string& remotePath, int depth);
  bool Fail(TransferStop why, const std::string& path = {});
  bool CheckPcPath(const std::string& path);

  nsFTP::CFTPClient& m_client;
  CTransferControl& m_control;
  TransferStop m_stop = TransferStop::kNone;
};

// One selected row of a job.
struct TransferItem {
  std::string name;
  bool isFolder = false;
  // The user agreed to replace what has this name on the target side (a
  // folder is copied into).
  bool replace = false;
};

// A file manager transfer: the selected rows of the source list, in
// ascending row order, between the folder shown on each side.
struct TransferJob {
  bool download = true;
  std::string remoteFolder;  // receiver folder shown by the receiver tree
  std::string localFolder;   // PC folder shown by the PC tree
  std::vector<TransferItem> items;
};

struct TransferResult {
  bool started = false;  // the CWD into the receiver folder worked (the destination is refreshed)
  TransferStop stop = TransferStop::kNone;
  int itemsDone = 0;
};

// The names of the job's items that exist on the target side already: on the
// PC (download) or in a fresh listing of the receiver folder (upload; the
// client must be logged in). False when the receiver folder cannot be listed.
bool FindExistingTargets(nsFTP::CFTPClient& client, const TransferJob& job, std::vector<std::string>& existing);

// Asks the user about each item whose name is in `existing` (Yes, Yes to
// all, Skip, Cancel). Skipped items leave the job, agreed ones are marked
// `replace`. False on Cancel: nothing is to be copied.
bool ConfirmReplacements(TransferJob& job, const std::vector<std::string>& existing);

// Runs the job on a logged-in client: CWD to the receiver folder, then each
// item; the first failure ends it, and so does a cancel, at the latest when
// the current file ends. Receiver names are checked like listing names.
TransferResult RunTransferJob(nsFTP::CFTPClient& client, const TransferJob& job, CTransferControl& control);

// The progress a transfer shows: a name, a bar range and position. Called
// on the transferring thread; an implementation must only publish values.
class IProgressSink {
 public:
  virtual ~IProgressSink() = default;
  virtual void SetName(const std::string& name) = 0;
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPos(int position) = 0;
  // The end of a file: the latest values should be shown now.
  virtual void Flush() {}
  // The byte figures of the file that moves (size -1: not known).
  virtual void BeginFile(const std::string& /*name*/, std::int64_t /*size*/) {}
  virtual void SetFileDone(std::int64_t /*bytes*/) {}
};

// Turns the client's notifications into the bar of a progress window: the
// bar counts blocks of 2048 bytes of the current file.
class CFTPObserver : public nsFTP::CFTPClient::CNotification {
 public:
  static constexpr int kBlockSize = 2048;
  explicit CFTPObserver(IProgressSink& sink) : m_sink(sink) {}

  void NotifyChunkReceived(const char* buffer, int bytes) override { OnChunk(buffer, bytes); }
  void NotifyChunkSent(const char* buffer, int bytes) override { OnChunk(buffer, bytes); }
  void NotifyDownloadBegin(const std::string& remote, const std::string& local, std::int64_t size) override;
  void NotifyUploadBegin(const std::string& local, const std::string& remote, std::int64_t size) override;
  void NotifyDownloadEnd(const std::string&, const std::string&, std::int64_t) override { OnEnd(); }
  void NotifyUploadEnd(const std::string&, const std::string&, std::int64_t) override { OnEnd(); }

  // The size the bar counts for the next file when the receiver reports none
  // (the recordings window knows it from the listing).
  void SetFileSize(std::int64_t size) { m_fileSize = m_sizeHint = size; }

  std::int64_t BytesDone() const { return m_bytesDone; }
  std::int64_t FileSize() const { return m_fileSize; }
  int Blocks() const { return m_blocks; }
  int Position() const { return m_position; }

  // The bar figures for a file size and a count of bytes done.
  static int BlocksFor(std::int64_t fileSize);
  static int PositionFor(std::int64_t bytesDone, std::int64_t fileSize);

 private:
  void OnBegin(const std::string& local, std::int64_t size);
  void OnChunk(const char* buffer, int bytes);
  void OnEnd();

  IProgressSink& m_sink;
  std::int64_t m_bytesDone = 0;
  std::int64_t m_fileSize = -1;
  std::int64_t m_sizeHint = -1;  // SetFileSize's size, for the next file only
  int m_blocks = 1;
  int m_position = 0;
};

}  // namespace vantrel
