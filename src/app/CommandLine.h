#pragma once
// The words the application answers on the command line without opening a
// window: --help and --version. "--log" (switching on the diagnostic log)
// is read by the application itself. Everything else (Qt's own -platform, -style
// ...) is left to Qt.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vantrel::app {

// True when the arguments (without the program name) hold a word answered here.
bool IsCommandLineQuery(const std::vector<std::string>& args);

// Prints the answer to the first such word and returns the exit code, or
// nullopt when there is none. manualFolder is where Help finds the manual,
// logFolder where the diagnostic log is written when it is switched on.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& args, const std::string& manualFolder,
                                     const std::string& logFolder, std::ostream& out);

}  // namespace vantrel::app
