// The file manager's download job against the plain client, in one run:
//
//   vantrel-filemgr-job HOST PORT PIN REMOTE_FOLDER NAME LOCAL_FOLDER [REPEATS]
//
// Downloads REMOTE_FOLDER/NAME with CFTPClient::DownloadFile (a counting
// observer) and with RunTransferJob (CFTPObserver driving a sink that
// publishes atomics, as the progress window's setters do), alternately,
// REPEATS times (default 4), which one goes first alternating; the best run
// of each counts. Prints both rates
// and their ratio; exit code 1 when the job is below 0.8 of the client.
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/AppSettings.h"
#include "ftp/FolderTransfer.h"

namespace {

using Clock = std::chrono::steady_clock;

class CCountingObserver final : public nsFTP::CFTPClient::CNotification {
 public:
  void NotifyChunkReceived(const char*, int bytes) override { m_bytes.fetch_add(bytes, std::memory_order_relaxed); }
  std::atomic<std::int64_t> m_bytes{0};
};

class CAtomicSink final : public vantrel::IProgressSink {
 public:
  void SetName(const std::string&) override { m_changes.fetch_add(1, std::memory_order_relaxed); }
  void SetRange(int, int upper) override { m_upper.store(upper, std::memory_order_relaxed); }
  void SetPos(int position) override {
    m_pos.store(position, std::memory_order_relaxed);
    m_changes.fetch_add(1, std::memory_order_relaxed);
  }
  std::atomic<int> m_pos{0}, m_upper{0};
  std::atomic<unsigned> m_changes{0};
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fputs("usage: vantrel-filemgr-job HOST PORT PIN REMOTE_FOLDER NAME LOCAL_FOLDER [REPEATS]\n", stderr);
    return 2;
  }
  QTemporaryDir appDir;  // the log goes there, not beside the program
  if (appDir.isValid()) vantrel::GetSettings().SetAppDir(appDir.path().toStdString());
  const nsFTP::CServerLogin login(argv[1], static_cast<unsigned short>(std::atoi(argv[2])), "root", argv[3]);
  const std::string folder = argv[4], name = argv[5], local = argv[6];
  const int repeats = argc > 7 ? std::max(1, std::atoi(argv[7])) : 4;
  double bestPlain = 1e30, bestJob = 1e30;
  std::int64_t size = 0;
  auto runPlain = [&] {
    nsFTP::CFTPClient client;
    CCountingObserver counter;
    client.AddObserver(&counter);
    if (!client.Login(login)) return false;
    const auto start = Clock::now();
    if (!client.DownloadFile(vantrel::JoinReceiverPath(folder, name), local + "/plain.bin")) return false;
    bestPlain = std::min(bestPlain, std::chrono::duration<double>(Clock::now() - start).count());
    size = counter.m_bytes.load();
    client.RemoveObserver(&counter);
    std::filesystem::remove(local + "/plain.bin");
    return true;
  };
  auto runJob = [&] {
    nsFTP::CFTPClient client(nullptr, 10, 2048);
    CAtomicSink sink;
    vantrel::CFTPObserver observer(sink);
    client.AddObserver(&observer);
    if (!client.Login(login)) return false;
    vantrel::CTransferControl control;
    const vantrel::TransferJob job{true, folder, local, {{name, false}}};
    const auto start = Clock::now();
    if (vantrel::RunTransferJob(client, job, control).stop != vantrel::TransferStop::kNone) return false;
    bestJob = std::min(bestJob, std::chrono::duration<double>(Clock::now() - start).count());
    client.RemoveObserver(&observer);
    std::filesystem::remove(local + "/" + name);
    return true;
  };
  // Alternating which goes first, so that neither always writes while the other's pages are still being flushed.
  for (int i = 0; i < repeats; ++i) {
    const bool ok = i % 2 == 0 ? runPlain() && runJob() : runJob() && runPlain();
    if (!ok) return 1;
  }
  const double mib = static_cast<double>(size) / (1024.0 * 1024.0);
  const double ratio = bestPlain / bestJob;
  std::printf("size=%.0fMiB client=%.1fMiB/s job=%.1fMiB/s ratio=%.3f\n", mib, mib / bestPlain, mib / bestJob, ratio);
  return ratio >= 0.8 ? 0 : 1;
}
