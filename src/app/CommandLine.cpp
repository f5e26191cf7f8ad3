#include "app/CommandLine.h"

#include <algorithm>

namespace vantrel::app {
namespace {

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h" || word == "-?"; }
bool IsVersion(const std::string& word) { return word == "--version" || word == "-v"; }

}  // namespace

bool IsCommandLineQuery(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return IsHelp(a) || IsVersion(a); });
}

std::optional<int> AnswerCommandLine(const std::vector<std::string>& args, const std::string& manualFolder,
                                     const std::string& logFolder, std::ostream& out) {
  for (const std::string& word : args) {
    if (IsVersion(word)) {
      out << "Vantrel Manager " << VANTREL_VERSION_TEXT << "\n";
      return 0;
    }
    if (IsHelp(word)) {
      out << "Usage: vantrel-manager [--help] [--version] [--log] [Qt options such as -platform NAME]\n"
             "\n"
             "Vantrel Manager edits the channel list of a networked satellite receiver, moves files\n"
             "to and from it and downloads its recordings. It starts with the connect dialog: enter\n"
             "the receiver's IP address and PIN code, or choose Off Line to edit channel-list files.\n"
             "Without a receiver, start the simulator first (vantrel-receiver-sim) and connect to\n"
             "127.0.0.1 with the PIN code 8157.\n"
             "\n"
          << "Diagnostic log: start with --log, or set VANTREL_LOG=1 in the environment, and the\n"
             "application writes what it does (FTP commands and replies too, never the PIN code) to\n"
          << "  " << logFolder << "/log.txt\n"
          << "(the previous part is kept in log.1.txt). Send these files with a bug report.\n"
             "\n"
          << "Manual: " << manualFolder << "/index.html\n"
          << "        " << manualFolder << "/ru.html (Russian)\n";
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace vantrel::app
