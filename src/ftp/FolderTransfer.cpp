#include "ftp/FolderTransfer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel {

namespace fs = std::filesystem;
using nsFTP::CFTPClient;
using nsFTP::TFTPFileStatusShPtrVec;

std::string JoinReceiverPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  // The root "/" would otherwise give "//name", which not every FTP server takes as the root.
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

void CTransferControl::Cancel(CFTPClient* client) {
  m_cancelled = true;
  // Abort only sets the client's flag unless a transfer runs; ABOR is then sent by the transferring thread.
  if (client != nullptr) client->Abort();
}

void CTransferControl::Reset() {
  m_cancelled = false;
  m_filesDone = 0;
  m_itemsDone = 0;
  m_skippedNames = 0;
  SetStopPath({});
}

std::string CTransferControl::StopPath() const {
  std::lock_guard lock(m_mutex);
  return m_stopPath;
}

void CTransferControl::SetStopPath(const std::string& path) {
  std::lock_guard lock(m_mutex);
  m_stopPath = path;
}

namespace {

bool IsFolderEntry(const nsFTP::CFTPFileStatus& entry) {
  return !entry.m_attributes.empty() && entry.m_attributes[0] == 'd';
}

}  // namespace

bool CFolderTransfer::Fail(TransferStop why, const std::string& path) {
  // A cancel makes the running transfer fail; report it as what it was.
  if (why == TransferStop::kFailed && m_control.IsCancelled()) why = TransferStop::kCancelled;
  if (m_stop == TransferStop::kNone) {
    m_stop = why;
    if (!path.empty()) m_control.SetStopPath(path);
  }
  return false;
}

bool CFolderTransfer::CheckPcPath(const std::string& path) {
  if (path.size() <= kMaxPcPath && GetLastPathComponent(path).size() <= kMaxPcName) return true;
  LogError("PC path too long, refused: %.200s...", path.c_str());
  return Fail(TransferStop::kPathTooLong, path);
}

bool CFolderTransfer::DownloadOneFile(const std::string& remotePath, const std::string& localPath) {
  if (m_control.IsCancelled()) return Fail(TransferStop::kCancelled, remotePath);
  if (!CheckPcPath(localPath)) return false;
  if (!m_client.DownloadFile(remotePath, localPath)) return Fail(TransferStop::kFailed, remotePath);
  ++m_control.m_filesDone;
  return true;
}

bool CFolderTransfer::UploadOneFile(const std::string& localPath, const std::string& remotePath) {
  if (m_control.IsCancelled()) return Fail(TransferStop::kCancelled, localPath);
  if (!m_client.UploadFile(localPath, remotePath)) return Fail(TransferStop::kFailed, localPath);
  ++m_control.m_filesDone;
  return true;
}

bool CFolderTransfer::DownloadFolder(const std::string& remotePath, const std::string& localPath) {
  return DownloadFolderAt(remotePath, localPath, 1);
}

bool CFolderTransfer::DownloadFolderAt(const std::string& remotePath, const std::string& localPath, int depth) {
  if (depth > kMaxTreeDepth) return Fail(TransferStop::kTooDeep, remotePath);
  if (m_control.IsCancelled()) return Fail(TransferStop::kCancelled, remotePath);
  if (!CheckPcPath(localPath)) return false;
  // Into the receiver folder first, so that a folder that is not there leaves no empty PC folder behind.
  if (m_client.ChangeDir(remotePath) != 0) return Fail(TransferStop::kFailed, remotePath);
  ::mkdir(localPath.c_str(), 0777);  // an existing folder is fine; a file there makes the copies below fail
  TFTPFileStatusShPtrVec entries;
  if (!m_client.List(remotePath, entries)) return Fail(TransferStop::kFailed, remotePath);
  for (const auto& entry : entries) {
    const std::string& name = entry->Name();
    if (name == "." || name == "..") continue;
    if (!IsSafeEntryName(name)) {
      ++m_control.m_skippedNames;
      LogError("receiver entry with an unusable name in %s left out", remotePath.c_str());
      continue;
    }
    const std::string remoteChild = JoinReceiverPath(remotePath, name);
    const std::string localChild = JoinPcPath(localPath, name);
    const bool ok = IsFolderEntry(*entry) ? DownloadFolderAt(remoteChild, localChild, depth + 1)
                                          : DownloadOneFile(remoteChild, localChild);
    if (!ok) return false;
  }
  if (m_client.ParentDir() != 0) return Fail(TransferStop::kFailed, remotePath);
  return true;
}

bool CFolderTransfer::UploadFolder(const std::string& localPath, const std::string& remotePath, bool merge) {
  return UploadFolderAt(localPath, remotePath, 1, merge);
}

bool CFolderTransfer::UploadFolderAt(const std::string& localPath, const std::string& remotePath, int depth,
                                     bool merge) {
  if (depth > kMaxTreeDepth) return Fail(TransferStop::kTooDeep, localPath);
  if (m_control.IsCancelled()) return Fail(TransferStop::kCancelled, localPath);
  // When merging, a refused MKD is a folder that is there already; the CWD below tells.
  if (m_client.CreateDir(remotePath) != 0 && !merge) return Fail(TransferStop::kFailed, remotePath);
  if (m_client.ChangeDir(remotePath) != 0) return Fail(TransferStop::kFailed, remotePath);
  std::error_code ec;
  fs::directory_iterator it(localPath, ec);
  if (ec) return Fail(TransferStop::kFailed, localPath);
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsSafeEntryName(name)) continue;
    const std::string localChild = it->path().string();
    const fs::file_status own = it->symlink_status(ec);
    if (ec) return Fail(TransferStop::kFailed, localChild);
    bool ok = true;
    if (fs::is_directory(own)) {
      ok = UploadFolderAt(localChild, JoinReceiverPath(remotePath, name), depth + 1, merge);
    } else if (fs::is_symlink(own)) {
      // A link to a file is sent as the file; a link to a folder could loop and is never followed.
      const fs::file_status target = fs::status(localChild, ec);
      if (!ec && fs::is_regular_file(target)) {
        ok = UploadOneFile(localChild, JoinReceiverPath(remotePath, name));
      } else {
        LogMessage("link %s not uploaded", localChild.c_str());
      }
    } else if (fs::is_regular_file(own)) {
      ok = UploadOneFile(localChild, JoinReceiverPath(remotePath, name));
    } else {
      // Pipes, sockets and devices have no end to read to.
      LogMessage("pipe, socket or device %s not uploaded", localChild.c_str());
    }
    if (!ok) return false;
  }
  if (ec) return Fail(TransferStop::kFailed, localPath);
  if (m_client.ParentDir() != 0) return Fail(TransferStop::kFailed, remotePath);
  return true;
}

bool CFolderTransfer::DeleteRemoteTree(const std::string& remotePath) { return DeleteRemoteTreeAt(remotePath, 1); }

bool CFolderTransfer::DeleteRemoteTreeAt(const std::string& remotePath, int depth) {
  if (depth > kMaxTreeDepth) return Fail(TransferStop::kTooDeep, remotePath);
  if (m_client.ChangeDir(remotePath) != 0) return Fail(TransferStop::kFailed, remotePath);
  TFTPFileStatusShPtrVec entries;
  if (!m_client.List(remotePath, entries)) return Fail(TransferStop::kFailed, remotePath);
  for (const auto& entry : entries) {
    const std::string& name = entry->Name();
    if (name == "." || name == "..") continue;
    if (!IsSafeEntryName(name)) {
      // DELE of such a name could reach another folder; the RMD below then fails.
      ++m_control.m_skippedNames;
      continue;
    }
    if (!IsFolderEntry(*entry)) {
      if (m_client.DeleteFile(name) != 0) return Fail(TransferStop::kFailed, JoinReceiverPath(remotePath, name));
    } else if (!DeleteRemoteTreeAt(JoinReceiverPath(remotePath, name), depth + 1)) {
      return false;
    }
  }
  if (m_client.ParentDir() != 0) return Fail(TransferStop::kFailed, remotePath);
  if (m_client.RemoveDir(remotePath) != 0) return Fail(TransferStop::kFailed, remotePath);
  return true;
}

bool FindExistingTargets(CFTPClient& client, const TransferJob& job, std::vector<std::string>& existing) {
  existing.clear();
  if (job.download) {
    for (const TransferItem& item : job.items) {
      std::error_code ec;
      if (IsSafeEntryName(item.name) && fs::exists(fs::symlink_status(JoinPcPath(job.localFolder, item.name), ec))) {
        existing.push_back(item.name);
      }
    }
    return true;
  }
  TFTPFileStatusShPtrVec entries;
  if (!client.List(job.remoteFolder, entries)) return false;
  for (const TransferItem& item : job.items) {
    for (const auto& entry : entries) {
      if (entry->Name() == item.name) {
        existing.push_back(item.name);
        break;
      }
    }
  }
  return true;
}

bool ConfirmReplacements(TransferJob& job, const std::vector<std::string>& existing) {
  bool all = false;
  std::vector<TransferItem> kept;
  for (TransferItem& item : job.items) {
    if (std::find(existing.begin(), existing.end(), item.name) == existing.end()) {
      kept.push_back(item);
      continue;
    }
    ReplaceAnswer answer = ReplaceAnswer::YesToAll;
    if (!all) {
      const std::string text = Format(GetText(item.isFolder ? 371 : 353), item.name.c_str());
      answer = GetPrompt().AskReplace(text, GetText(292));
    }
    switch (answer) {
      case ReplaceAnswer::YesToAll: all = true; [[fallthrough]];
      case ReplaceAnswer::Yes:
        item.replace = true;
        kept.push_back(item);
        break;
      case ReplaceAnswer::Skip: break;
      case ReplaceAnswer::Cancel: job.items.clear(); return false;
    }
  }
  job.items = std::move(kept);
  return true;
}

TransferResult RunTransferJob(CFTPClient& client, const TransferJob& job, CTransferControl& control) {
  TransferResult result;
  if (job.items.empty()) return result;
  CFolderTransfer walk(client, control);
  if (client.ChangeDir(job.remoteFolder) != 0) {
    result.stop = TransferStop::kFailed;
    control.SetStopPath(job.remoteFolder);
    return result;
  }
  result.started = true;
  for (const TransferItem& item : job.items) {
    if (control.IsCancelled()) {
      result.stop = TransferStop::kCancelled;
      if (control.StopPath().empty()) control.SetStopPath(item.name);
      break;
    }
    if (!IsSafeEntryName(item.name)) {
      ++control.m_skippedNames;
      continue;
    }
    const std::string remote = JoinReceiverPath(job.remoteFolder, item.name);
    const std::string local = JoinPcPath(job.localFolder, item.name);
    bool ok;
    if (job.download) {
      ok = item.isFolder ? walk.DownloadFolder(remote, local) : walk.DownloadOneFile(remote, local);
    } else {
      ok = item.isFolder ? walk.UploadFolder(local, remote, item.replace) : walk.UploadOneFile(local, remote);
    }
    if (!ok) {
      result.stop = walk.Stop() == TransferStop::kNone ? TransferStop::kFailed : walk.Stop();
      break;
    }
    ++result.itemsDone;
    ++control.m_itemsDone;
  }
  return result;
}

// ---- CFTPObserver

// Whole-number arithmetic: exact for any file size, and cheap enough to run once per chunk.
int CFTPObserver::BlocksFor(std::int64_t fileSize) {
  const std::int64_t blocks = fileSize <= 0 ? 0 : (fileSize + kBlockSize - 1) / kBlockSize;
  return static_cast<int>(std::clamp<std::int64_t>(blocks, 1, INT32_MAX));
}

int CFTPObserver::PositionFor(std::int64_t bytesDone, std::int64_t fileSize) {
  if (bytesDone <= 0 || fileSize == 0) return 0;
  return static_cast<int>(std::min<std::int64_t>((bytesDone + kBlockSize - 1) / kBlockSize, INT32_MAX));
}

void CFTPObserver::NotifyDownloadBegin(const std::string&, const std::string& local, std::int64_t size) {
  OnBegin(local, size);
}

void CFTPObserver::NotifyUploadBegin(const std::string& local, const std::string&, std::int64_t size) {
  OnBegin(local, size);
}

void CFTPObserver::OnBegin(const std::string& local, std::int64_t size) {
  m_sink.SetName(GetLastPathComponent(local));
  // The receiver answers no size with 0; the listing's size stands in then.
  m_sink.BeginFile(GetLastPathComponent(local), size > 0 ? size : (m_sizeHint > 0 ? m_sizeHint : -1));
  m_sizeHint = -1;
  if (size > 0) m_fileSize = size;  // an unknown size keeps the previous file's range
  m_bytesDone = 0;
  m_blocks = BlocksFor(m_fileSize);
  m_position = 0;
  m_sink.SetRange(0, m_blocks);
  m_sink.SetPos(0);
  m_sink.Flush();  // the new file's name and empty bar at once
}

void CFTPObserver::OnChunk(const char*, int bytes) {
  m_bytesDone += bytes;
  m_sink.SetFileDone(m_bytesDone);
  if (m_fileSize == 0) return;
  // A size the receiver under-reported must not push the bar past full.
  const int position = std::min(PositionFor(m_bytesDone, m_fileSize), m_blocks);
  if (position == m_position) return;
  m_position = position;
  m_sink.SetPos(position);
}

void CFTPObserver::OnEnd() {
  m_position = m_blocks;
  m_sink.SetPos(m_blocks);
  m_sink.Flush();
}

}  // namespace vantrel
