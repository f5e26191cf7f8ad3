#include "cli/RecursiveTransfer.h"

#include <cstdio>
#include <filesystem>

#include "core/PathUtil.h"
#include "ftp/FolderTransfer.h"

namespace vantrel::cli {
namespace {

namespace fs = std::filesystem;

std::string LastReceiverName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path.substr(path.rfind('/') + 1);
}

int Report(const std::string& what, const CFolderTransfer& walk, const CTransferControl& control) {
  std::string why;
  switch (walk.Stop()) {
    case TransferStop::kCancelled: why = "cancelled"; break;
    case TransferStop::kTooDeep:
      why = "the tree is deeper than " + std::to_string(kMaxTreeDepth) + " levels at " + control.StopPath();
      break;
    case TransferStop::kPathTooLong:
      why = "the PC path is too long: " + control.StopPath().substr(0, 200) + "...";
      break;
    default: why = control.StopPath().empty() ? "failed" : "failed at " + control.StopPath(); break;
  }
  std::fprintf(stderr, "vantrel-cli: cannot %s: %s\n", what.c_str(), why.c_str());
  return 1;
}

void WarnSkipped(const CTransferControl& control) {
  if (control.m_skippedNames > 0) {
    std::fprintf(stderr, "vantrel-cli: %d receiver entries with unusable names (\"..\", \"/\") left out\n",
                 control.m_skippedNames.load());
  }
}

}  // namespace

int GetRecursive(nsFTP::CFTPClient& client, const std::string& remote, const std::string& local) {
  const std::string name = LastReceiverName(remote);
  std::error_code ec;
  std::string target = local;
  if (fs::is_directory(local, ec)) {
    if (!IsSafeEntryName(name)) {
      std::fprintf(stderr, "vantrel-cli: cannot get -r %s: name the PC folder to copy it to\n", remote.c_str());
      return 1;
    }
    target = JoinPcPath(local, name);
  }
  CTransferControl control;
  CFolderTransfer walk(client, control);
  const bool ok = walk.DownloadFolder(remote, target);
  WarnSkipped(control);
  if (!ok) return Report("get -r " + remote, walk, control);
  std::printf("%s\n", target.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int PutRecursive(nsFTP::CFTPClient& client, const std::string& local, const std::string& remote) {
  std::error_code ec;
  if (!fs::is_directory(local, ec)) {
    std::fprintf(stderr, "vantrel-cli: cannot put -r %s: not a folder\n", local.c_str());
    return 1;
  }
  std::string target = remote;
  if (!target.empty() && target.back() == '/') {
    const std::string name = fs::path(local).lexically_normal().filename().string();
    target += IsSafeEntryName(name) ? name : fs::absolute(local, ec).lexically_normal().filename().string();
  }
  CTransferControl control;
  CFolderTransfer walk(client, control);
  if (!walk.UploadFolder(local, target)) {
    if (walk.Stop() == TransferStop::kFailed && control.StopPath() == target) {
      std::fprintf(stderr, "vantrel-cli: cannot put -r %s: the receiver refused the folder (does it exist already?)\n",
                   target.c_str());
      return 1;
    }
    return Report("put -r " + target, walk, control);
  }
  std::printf("%s\n", target.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace vantrel::cli
