// Download speed of the recordings window: one large recording fetched by
// the plain FTP client and then by the window's download job (worker,
// progress window shown, transfer observer attached), from the same
// simulator on 127.0.0.88 in the same run. Prints both rates and their ratio.
//
//   vantrel-records-download [SIZE_MB]    (default 1024)
#include <QApplication>
#include <QSignalSpy>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/AppSettings.h"
#include "ftp/FTPClient.h"
#include "support/ReceiverSim.h"
#include "support/TempDir.h"
#include "ui/controls/Resources.h"
#include "ui/controls/TransferProgressDlg.h"
#include "ui/records/DlgRecordMgr.h"
#include "ui/records/RecordList.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vantrel::test::IsolatedSettings isolated;
  vantrel::ui::InitResources();
  const std::int64_t sizeMb = argc > 1 ? std::atoll(argv[1]) : 1024;
  const std::int64_t bytes = sizeMb * 1024 * 1024;

  vantrel::test::ReceiverSim::Options options;
  options.simulator = VANTREL_RECEIVER_SIM;
  options.address = "127.0.0.88";
  vantrel::test::ReceiverSim sim(options);
  if (!sim.Start()) {
    std::fprintf(stderr, "simulator did not start:\n%s\n", sim.Output().c_str());
    return 1;
  }
  const std::string folder = sim.DiskPath(vantrel::ui::records::kTvArchive) + "/Gross_20261207_2000_1700_";
  fs::create_directories(folder);
  {
    // Real bytes, not a sparse file, so both runs read the same cached data.
    std::FILE* out = std::fopen((folder + "/gross.ts").c_str(), "wb");
    std::string block(1 << 20, 'g');
    for (std::int64_t i = 0; i < sizeMb; ++i) std::fwrite(block.data(), 1, block.size(), out);
    std::fclose(out);
  }
  vantrel::test::TempDir pc;
  vantrel::GetSettings().SetLastIP(options.address);
  vantrel::GetSettings().SetRecordPath(pc.Path());

  using Clock = std::chrono::steady_clock;
  const auto plainRun = [&]() -> double {
    nsFTP::CFTPClient client;
    if (!client.Login(nsFTP::CServerLogin(options.address, 50021, "root", "8157"))) return -1;
    client.ChangeDir(folder.substr(sim.Root().size()));
    const auto begin = Clock::now();
    if (!client.DownloadFile("gross.ts", pc.File("plain.ts"))) return -1;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    fs::remove(pc.File("plain.ts"));
    return seconds;
  };

  // The window's job, from the click to the end of the worker (its login included).
  vantrel::ui::CDlgRecordMgr window;
  window.show();
  bool progressShown = true;
  const auto windowRun = [&]() -> double {
    auto* list = window.ReceiverList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      list->topLevelItem(i)->setSelected(list->topLevelItem(i)->text(0) == "gross.tts");
    QSignalSpy finished(&window, &vantrel::ui::CDlgRecordMgr::downloadFinished);
    const auto begin = Clock::now();
    if (!window.StartDownload()) return -1;
    progressShown = progressShown && window.Progress()->isVisible();
    if (!finished.wait(600000) || !finished.at(0).at(0).toBool()) return -1;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    if (static_cast<std::int64_t>(fs::file_size(pc.File("gross.tts"))) != bytes) return -1;
    fs::remove(pc.File("gross.tts"));
    return seconds;
  };

  // Alternating runs on a shared machine; the medians are compared.
  constexpr int kRounds = 5;
  std::vector<double> plain, job;
  plainRun();  // warms the caches
  for (int round = 0; round < kRounds; ++round) {
    // Which one goes first alternates: the second finds the first's freed pages.
    if (round % 2 == 0) {
      plain.push_back(plainRun());
      job.push_back(windowRun());
    } else {
      job.push_back(windowRun());
      plain.push_back(plainRun());
    }
    if (plain.back() < 0 || job.back() < 0) return 1;
  }
  std::sort(plain.begin(), plain.end());
  std::sort(job.begin(), job.end());
  const double plainSeconds = plain[kRounds / 2];
  const double windowSeconds = job[kRounds / 2];
  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  std::printf(
      "size=%lldMB rounds=%d median plain=%.2fs (%.1f MB/s) window=%.2fs (%.1f MB/s) progress_shown=%d "
      "ratio=%.3f\n",
      static_cast<long long>(sizeMb), kRounds, plainSeconds, mb / plainSeconds, windowSeconds, mb / windowSeconds,
      progressShown ? 1 : 0, plainSeconds / windowSeconds);
  return 0;
}
