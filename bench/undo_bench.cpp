// vantrel-undo-bench FILE.xml [operations]
// Opens a channel file in the headless channel editor and runs undoable
// operations on it (lock, skip, move, delete, sort and renumber in turn),
// then undoes and redoes them. Prints the time of an operation with its undo
// step, of one undo and one redo (medians, milliseconds), the history's bytes
// and the process's peak resident memory. Make the file with
//   tests/data/channels/make_channel_list.py scale 10000 big.xml
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "core/Prompt.h"

namespace {

using namespace vantrel::channels;

// Every question is answered Yes, nothing is shown.
class YesPrompt final : public vantrel::IPrompt {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void Show(const std::string&, const std::string&, vantrel::PromptIcon) override {}
};

// VmHWM or VmRSS of /proc/self/status, in MiB.
double StatusMiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
  }
  return -1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Select(CChannelView& view, std::size_t first, std::size_t count) {
  view.ClearSelection();
  for (std::size_t r = first; r < first + count && r < view.RowCount(); ++r) view.SetSelected(r, true);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE.xml [operations]\n", argv[0]);
    return 2;
  }
  const int operations = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  YesPrompt prompt;
  vantrel::SetPrompt(&prompt);
  ChannelList list;
  if (ReadChannelFile(list, argv[1]) != ReadResult::Loaded) return 1;
  CChannelEditor editor(list);
  editor.ShowList();
  const std::size_t services = list.TvServices().size() + list.RadioServices().size();
  const double loadedMiB = StatusMiB("VmRSS");

  std::vector<double> doTimes;
  QElapsedTimer timer;
  for (int i = 0; i < operations; ++i) {
    CChannelView& view = editor.Channels();
    const std::size_t row = static_cast<std::size_t>(i * 37) % (view.RowCount() - 20);
    timer.start();
    switch (i % 5) {
      case 0:
        Select(view, row, 10);
        editor.Perform(136, [&] { editor.SetLocked(i % 2 == 0); });
        break;
      case 1: editor.Perform(138, [&] { editor.SetSkipped(true); }); break;
      case 2: editor.Perform(125, [&] { editor.MoveChannelsToNumber(static_cast<int>(row) + 1); }); break;
      case 3:
        Select(view, row, 1);
        editor.Perform(131, [&] { editor.DeleteChannels(); });
        break;
      case 4:
        editor.HeaderClick(kColServiceName);
        editor.Perform(10, [&] { editor.Renumber(); });
        break;
    }
    doTimes.push_back(timer.nsecsElapsed() / 1e6);
  }
  const int steps = editor.History().count();
  const std::size_t bytes = editor.UndoBytes();

  std::vector<double> undoTimes;
  while (true) {
    timer.start();
    if (!editor.Undo()) break;
    undoTimes.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::vector<double> redoTimes;
  for (int i = 0; i < 10; ++i) {
    timer.start();
    if (!editor.Redo()) break;
    redoTimes.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::printf("services            %zu\n", services);
  std::printf("operations          %d (undo steps kept: %d)\n", operations, steps);
  std::printf("history             %.1f MiB (%.0f KiB a step)\n", bytes / 1048576.0,
              steps > 0 ? bytes / 1024.0 / steps : 0.0);
  std::printf("operation + step    %.1f ms (median)\n", Median(doTimes));
  std::printf("one undo            %.1f ms (median of %zu)\n", Median(undoTimes), undoTimes.size());
  std::printf("one redo            %.1f ms (median of %zu)\n", Median(redoTimes), redoTimes.size());
  std::printf("resident            %.1f MiB after loading, peak %.1f MiB\n", loadedMiB, StatusMiB("VmHWM"));
  return 0;
}
