// vantrel-editor-bench FILE.xml [repeats]
// Times the channel editor window on a large channel file, offscreen: Open
// (parse, fill the three views, paint), a header click on the name column
// (sort and paint), and Renumbering (and paint). Prints the best of the
// repeats in milliseconds. Make the file with
//   tests/data/channels/make_channel_list.py scale 10000 big.xml
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "core/FileDialogs.h"
#include "core/Prompt.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/EditorListView.h"
#include "ui/controls/Resources.h"

namespace {

class FixedOpen final : public vantrel::IFileDialogs {
 public:
  explicit FixedOpen(std::string path) : m_path(std::move(path)) {}
  std::optional<std::string> GetOpenFileName(const std::string&, const std::string&, const std::string&) override {
    return m_path;
  }
  std::optional<std::string> GetSaveFileName(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(const std::string&, const std::string&) override { return std::nullopt; }

 private:
  std::string m_path;
};

// Every question is answered Yes, messages are counted.
class QuietPrompt final : public vantrel::IPrompt {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void Show(const std::string& text, const std::string&, vantrel::PromptIcon) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
};

// Paints the window now, as the screen would show it after the operation.
void Paint(QWidget& window) {
  QApplication::processEvents();
  window.grab();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE.xml [repeats]\n", argv[0]);
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  vantrel::ui::InitResources();
  FixedOpen dialogs(argv[1]);
  QuietPrompt prompt;
  vantrel::SetFileDialogs(&dialogs);
  vantrel::SetPrompt(&prompt);

  double open = 1e9, sort = 1e9, renumber = 1e9;
  int rows = 0;
  for (int i = 0; i < repeats; ++i) {
    vantrel::ui::CDlgChannel window;
    window.show();
    Paint(window);
    QElapsedTimer timer;
    timer.start();
    window.RunCommand(vantrel::ui::CDlgChannel::IDC_OPEN);
    Paint(window);
    open = std::min(open, timer.nsecsElapsed() / 1e6);
    rows = window.ChannelListView()->model()->rowCount();

    timer.restart();
    emit window.ChannelListView()->header()->sectionClicked(1);
    Paint(window);
    sort = std::min(sort, timer.nsecsElapsed() / 1e6);

    timer.restart();
    window.RunCommand(vantrel::ui::CDlgChannel::IDC_RENUMBERING);
    Paint(window);
    renumber = std::min(renumber, timer.nsecsElapsed() / 1e6);
  }
  std::printf("rows %d\nopen+display %.1f ms\nsort by name %.1f ms\nrenumber %.1f ms\n", rows, open, sort, renumber);
  return 0;
}
