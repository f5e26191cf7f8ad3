// How long the file manager's window stops answering: a 10 ms timer on the
// window's thread records the longest gap between its ticks while the window
// lists a folder, fills a folder tree, deletes a tree and downloads a file
// from a simulator that answers at a receiver's pace (every reply and data
// connection delayed), and while the receiver vanishes (the simulator is
// killed) in the middle of a tree reading and of a download.
//
//   vantrel-filemgr-latency [REPLY_DELAY_MS]    (default 50)
//
// Simulators on 127.0.0.190 and 127.0.0.191. Prints one line per scenario:
// the longest stall and how long the operation took.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/AppSettings.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/controls/Resources.h"
#include "ui/filemgr/DlgFileMgr.h"

namespace fs = std::filesystem;
using namespace vantrel;
using namespace vantrel::ui;
using namespace vantrel::test;

namespace {

// Longest gap between the ticks of a 10 ms timer.
class LatencyProbe {
 public:
  LatencyProbe() {
    m_timer.setInterval(10);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_clock.restart()); });
  }
  void Start() {
    m_longest = 0;
    m_clock.start();
    m_timer.start();
  }
  qint64 Stop() {
    m_longest = std::max(m_longest, m_clock.elapsed());
    m_timer.stop();
    return m_longest;
  }

 private:
  QTimer m_timer;
  QElapsedTimer m_clock;
  qint64 m_longest = 0;
};

void WriteFile(const std::string& path, std::size_t bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  const std::string block(64 * 1024, 'v');
  for (std::size_t done = 0; done < bytes; done += block.size()) {
    out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), bytes - done)));
  }
}

// The receiver's Bench folder: a long list, a tree of folders, a tree to delete, a large file.
void LayOut(const ReceiverSim& sim, std::size_t bigBytes) {
  const std::string bench = sim.DiskPath("/ftproot/Bench");
  for (int i = 0; i < 300; ++i) WriteFile(bench + "/list/file" + std::to_string(i) + ".ts", 100);
  for (int i = 0; i < 15; ++i) {
    WriteFile(bench + "/tree/folder" + std::to_string(i) + "/inner/x.txt", 10);
    WriteFile(bench + "/tree/folder" + std::to_string(i) + "/y.txt", 10);
  }
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 4; ++j) WriteFile(bench + "/trash/f" + std::to_string(i) + "/g" + std::to_string(j), 10);
  }
  WriteFile(bench + "/big/big.bin", bigBytes);
}

// The window waits for the receiver: a transfer, or (where the window hands
// its receiver work to a worker) any reading or command.
template <class Window>
bool Busy(const Window& window) {
  if constexpr (requires { window.IsBusy(); }) {
    return window.IsBusy();
  } else {
    return window.IsTransferring();
  }
}

// Lets the window finish what it waits for.
void Settle(const CDlgFileMgr& window) {
  QElapsedTimer clock;
  clock.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  } while (Busy(window) && clock.elapsed() < 120000);
}

struct Window {
  Window(const ReceiverSim& sim, const std::string& pcFolder) {
    GetSettings().SetLastIP(sim.Address());
    GetSettings().SetPINCODE(sim.Pin());
    GetConnectionState().m_ftpLoggedIn = false;
    window = std::make_unique<CDlgFileMgr>(nullptr, sim.FtpPort());
    window->TreeLocal()->m_desktopPath = pcFolder;
    window->TreeLocal()->m_documentsPath.clear();
    window->show();
    Settle(*window);
  }
  // Opens the receiver folders one level after the other, as a user does.
  bool Go(const std::vector<std::string>& names) {
    CTreeRemote* tree = window->TreeRemote();
    tree->setCurrentItem(tree->Root());
    Settle(*window);
    for (const std::string& name : names) {
      window->FillRemoteTree(tree->currentItem(), true);
      Settle(*window);
      if (!tree->SelectChildByName(tree->currentItem(), name)) return false;
      Settle(*window);
    }
    return true;
  }
  std::unique_ptr<CDlgFileMgr> window;
};

// Runs `start` from the event loop and the loop until `done`, then a little
// longer (a refresh posted at the end); prints the longest stall.
void Measure(const char* scenario, const std::function<void()>& start, const std::function<bool()>& done) {
  LatencyProbe probe;
  QElapsedTimer total;
  bool started = false;
  probe.Start();
  total.start();
  QTimer::singleShot(20, [&] {
    start();
    started = true;
  });
  while ((!started || !done()) && total.elapsed() < 300000) {
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  const qint64 took = total.elapsed();
  QElapsedTimer tail;
  tail.start();
  while (tail.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  std::printf("%-22s longest_stall_ms=%6lld  operation_ms=%6lld\n", scenario, static_cast<long long>(probe.Stop()),
              static_cast<long long>(took));
  std::fflush(stdout);
}

// Kills the simulator after `afterMs`, from a thread of its own: the window's
// thread may be stuck in a socket call at that moment.
std::thread KillLater(const ReceiverSim& sim, int afterMs) {
  const auto pid = static_cast<pid_t>(sim.Pid());
  return std::thread([pid, afterMs] {
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    if (pid > 0) ::kill(pid, SIGKILL);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  IsolatedSettings isolated;
  InitResources();
  ScriptedPrompt prompt;  // questions are answered Yes, messages recorded
  const int delayMs = argc > 1 ? std::max(0, std::atoi(argv[1])) : 50;
  std::printf("reply delay %d ms\n", delayMs);

  ReceiverSim::Options options;
  options.simulator = VANTREL_RECEIVER_SIM;
  options.address = "127.0.0.190";
  options.replyDelayMs = delayMs;
  ReceiverSim sim(options);
  if (!sim.Start()) {
    std::fprintf(stderr, "simulator did not start:\n%s\n", sim.Output().c_str());
    return 1;
  }
  LayOut(sim, 64u << 20);
  TempDir pc;
  {
    Window w(sim, pc.Path());
    CDlgFileMgr& window = *w.window;
    CTreeRemote* tree = window.TreeRemote();
    if (!w.Go({"ftproot", "Bench"})) return 1;
    QTreeWidgetItem* bench = tree->currentItem();

    window.FillRemoteTree(bench, true);  // its folders shown, as when the user clicks one
    Settle(window);
    Measure(
        "list folder", [&] { tree->SelectChildByName(bench, "list"); }, [&] { return !Busy(window); });

    tree->setCurrentItem(bench);
    Settle(window);
    tree->SelectChildByName(bench, "tree");
    Settle(window);
    Measure(
        "fill tree", [&] { window.FillRemoteTree(tree->currentItem(), true); }, [&] { return !Busy(window); });

    tree->setCurrentItem(bench);
    Settle(window);
    tree->SelectChildByName(bench, "trash");
    Settle(window);
    window.SetLastFocusedPane(CTreeRemote::IDC);
    prompt.SetNextAnswer(true);
    Measure(
        "delete tree", [&] { window.OnCommand(CDlgFileMgr::IDC_DELETE); }, [&] { return !Busy(window); });
    if (fs::exists(sim.DiskPath("/ftproot/Bench/trash"))) std::puts("  (the tree was not deleted)");

    tree->setCurrentItem(bench);
    Settle(window);
    tree->SelectChildByName(bench, "big");
    Settle(window);
    window.TreeLocal()->setCurrentItem(window.TreeLocal()->Top());
    window.ListRemote()->clearSelection();
    window.ListRemote()->topLevelItem(0)->setSelected(true);
    Measure(
        "download 64 MB", [&] { window.OnCommand(CDlgFileMgr::IDC_DOWNLOAD); }, [&] { return !Busy(window); });
    if (!fs::exists(pc.File("big.bin")) || fs::file_size(pc.File("big.bin")) != (64u << 20)) {
      std::puts("  (the download did not complete)");
    }
  }

  // The receiver vanishes: a slow one, killed during the operation.
  options.address = "127.0.0.191";
  options.throttle = 2 << 20;
  ReceiverSim slow(options);
  if (!slow.Start()) return 1;
  LayOut(slow, 32u << 20);
  TempDir pc2;
  {
    Window w(slow, pc2.Path());
    CDlgFileMgr& window = *w.window;
    CTreeRemote* tree = window.TreeRemote();
    if (!w.Go({"ftproot", "Bench", "tree"})) return 1;
    std::thread killer;
    Measure(
        "vanish in tree fill",
        [&] {
          killer = KillLater(slow, 8 * delayMs + 100);
          window.FillRemoteTree(tree->currentItem(), true);
        },
        [&] { return !Busy(window); });
    killer.join();
    Settle(window);

    if (!slow.Start()) return 1;
    if (!w.Go({"ftproot", "Bench", "big"})) return 1;
    window.TreeLocal()->setCurrentItem(window.TreeLocal()->Top());
    window.ListRemote()->clearSelection();
    window.ListRemote()->topLevelItem(0)->setSelected(true);
    Measure(
        "vanish in download",
        [&] {
          killer = KillLater(slow, 10 * delayMs + 1500);
          window.OnCommand(CDlgFileMgr::IDC_DOWNLOAD);
        },
        [&] { return !Busy(window); });
    killer.join();
  }
  std::printf("messages shown: %zu\n", prompt.Records().size());
  return 0;
}
