#pragma once
// Start-up: socket preparation, the single-instance lock, the application
// folder and settings, the connect dialog, then the launcher run modally.
#include <string>

namespace vantrel::app {

class CDekkoraApp {
 public:
  // Runs the whole application; returns the process exit code.
  int Run(int argc, char** argv);

  // The folder of the running executable when it is writable, else the
  // per-user data folder (created on demand).
  static std::string ApplicationFolder();

  // Loads Qt's own texts (standard buttons, file dialog) in the language of a
  // language code and installs them in the running application, which owns
  // the translator. False for English, which needs none, and when the system
  // has no such translation.
  static bool InstallQtTranslations(int languageCode);
};

}  // namespace vantrel::app
