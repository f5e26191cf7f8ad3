// One download or upload with the application's FTP client, for
// bench/ftp_throughput.py:
//
//   vantrel-ftp-transfer get|put HOST PORT PIN REMOTE LOCAL
//   vantrel-ftp-transfer list HOST PORT PIN REMOTE -
//
// The observer only counts, as the windows' observers do (their timer reads
// the counters). Prints "bytes=N chunks=N seconds=S" for the transfer alone
// (login excluded), and for a listing also "entries=N"; exit code 0 when the
// transfer succeeded. bench/ftp_list_memory.py runs the listing under
// /usr/bin/time to see its peak memory.
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/AppSettings.h"
#include "ftp/FTPClient.h"

namespace {

class CCountingObserver final : public nsFTP::CFTPClient::CNotification {
 public:
  void NotifyChunkReceived(const char*, int bytes) override { Count(bytes); }
  void NotifyChunkSent(const char*, int bytes) override { Count(bytes); }
  void NotifyError(const std::string& error, const std::string&, unsigned) override {
    std::fprintf(stderr, "vantrel-ftp-transfer: %s\n", error.c_str());
  }

  std::atomic<std::int64_t> m_bytes{0};
  std::atomic<std::int64_t> m_chunks{0};

 private:
  void Count(int bytes) {
    m_bytes.fetch_add(bytes, std::memory_order_relaxed);
    m_chunks.fetch_add(1, std::memory_order_relaxed);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7 ||
      (std::strcmp(argv[1], "get") != 0 && std::strcmp(argv[1], "put") != 0 && std::strcmp(argv[1], "list") != 0)) {
    std::fputs("usage: vantrel-ftp-transfer get|put|list HOST PORT PIN REMOTE LOCAL\n", stderr);
    return 2;
  }
  const bool download = std::strcmp(argv[1], "get") == 0;
  const bool list = std::strcmp(argv[1], "list") == 0;
  const int port = std::atoi(argv[3]);
  if (port < 1 || port > 65535) {
    std::fprintf(stderr, "vantrel-ftp-transfer: not a port: %s\n", argv[3]);
    return 2;
  }
  // The log's first use clears a "log.txt" in the application folder: give it one of its own.
  QTemporaryDir appDir;
  if (appDir.isValid()) vantrel::GetSettings().SetAppDir(appDir.path().toStdString());

  CCountingObserver counter;
  nsFTP::CFTPClient client;
  client.AddObserver(&counter);
  if (!client.Login(nsFTP::CServerLogin(argv[2], static_cast<std::uint16_t>(port), "root", argv[4]))) {
    std::fputs("vantrel-ftp-transfer: login failed\n", stderr);
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  nsFTP::TFTPFileStatusShPtrVec entries;
  const bool ok = list       ? client.List(argv[5], entries)
                  : download ? client.DownloadFile(argv[5], argv[6])
                             : client.UploadFile(argv[6], argv[5]);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  client.Logout();
  if (list) std::printf("entries=%zu ", entries.size());
  std::printf("bytes=%lld chunks=%lld seconds=%.6f\n", static_cast<long long>(counter.m_bytes.load()),
              static_cast<long long>(counter.m_chunks.load()), seconds);
  return ok ? 0 : 1;
}
