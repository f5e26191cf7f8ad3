// vantrel-cli channels duplicates FILE [--loose] [--delete OUT]
// vantrel-cli channels check FILE [--fix OUT]
#include <cstdio>
#include <string>

#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/DuplicateFinder.h"
#include "channels/ListCheck.h"
#include "channels/Longitude.h"
#include "cli/ChannelListFiles.h"
#include "cli/CliCommands.h"
#include "core/Prompt.h"

namespace vantrel::cli {
namespace {

using namespace vantrel::channels;

// The command line itself asked for the change: questions are answered Yes,
// messages go to standard error.
class CommandLinePrompt final : public IPrompt {
 public:
  CommandLinePrompt() : m_previous(SetPrompt(this)) {}
  ~CommandLinePrompt() override { SetPrompt(m_previous); }
  CommandLinePrompt(const CommandLinePrompt&) = delete;
  CommandLinePrompt& operator=(const CommandLinePrompt&) = delete;
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void Show(const std::string& text, const std::string&, PromptIcon) override {
    std::fprintf(stderr, "vantrel-cli: %s\n", text.c_str());
  }

 private:
  IPrompt* m_previous;
};

// One line per service: group number, kind, keep or delete, channel number,
// name, position, service id, transport stream id, network id (tab-separated).
int Duplicates(const std::string& path, DuplicateRule rule, const std::string& out) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  const std::vector<DuplicateGroup> groups = FindDuplicates(list, rule);
  std::size_t doomed = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const DuplicateGroup& group = groups[g];
    for (std::size_t i = 0; i < group.services.size(); ++i) {
      const Service& s = *group.services[i];
      doomed += i == group.keeper ? 0 : 1;
      std::printf("%zu\t%s\t%s\t%d\t%s\t%s\t%d\t%d\t%d\n", g + 1, group.kind == ServiceKind::Tv ? "TV" : "Radio",
                  i == group.keeper ? "keep" : "delete", s.ChannelNo, s.Name.c_str(),
                  FormatLongitude(s.Carrier.Longitude).c_str(), s.Sid, s.Tsid, s.Onid);
    }
  }
  std::printf("groups: %zu\nduplicates: %zu\n", groups.size(), doomed);
  if (out.empty()) return 0;
  const CommandLinePrompt prompt;
  CChannelEditor editor(list);
  editor.ShowList();
  editor.DeleteDuplicates(groups);
  return StoreChannelList(list, out, editor) ? 0 : 1;
}

void PrintFindings(const std::vector<ListFinding>& findings) {
  for (const ListFinding& f : findings) std::printf("%s\t%s\n", f.fixable ? "fixable" : "finding", f.text.c_str());
}

// Exit code 0 when the list (or, with --fix, the list written) is clean, 1
// with findings, 2 when a file could not be read or written.
int Check(const std::string& path, const std::string& out) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 2;
  const std::vector<ListFinding> findings = CheckChannelList(list);
  PrintFindings(findings);
  if (out.empty()) return findings.empty() ? 0 : 1;
  const CommandLinePrompt prompt;
  CChannelEditor editor(list);
  editor.ShowList();
  std::printf("fixed: %zu\n", editor.FixFindings(findings));
  const std::vector<ListFinding> left = CheckChannelList(list);
  if (!StoreChannelList(list, out, editor)) return 2;
  if (!left.empty()) std::printf("left in %s:\n", out.c_str());
  PrintFindings(left);
  return left.empty() ? 0 : 1;
}

}  // namespace

int RunListToolCommand(const Args& args) {
  if (args.size() < 2) return -1;
  if (args[0] == "duplicates") {
    DuplicateRule rule = DuplicateRule::Exact;
    std::string out;
    for (std::size_t i = 2; i < args.size(); ++i) {
      if (args[i] == "--loose") {
        rule = DuplicateRule::Loose;
      } else if (args[i] == "--delete" && i + 1 < args.size()) {
        out = args[++i];
      } else {
        return -1;
      }
    }
    return Duplicates(args[1], rule, out);
  }
  if (args[0] == "check") {
    if (args.size() == 2) return Check(args[1], {});
    if (args.size() == 4 && args[2] == "--fix") return Check(args[1], args[3]);
  }
  return -1;
}

}  // namespace vantrel::cli
