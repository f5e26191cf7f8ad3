#include "app/DekkoraApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <csignal>
#include <iostream>
#include <memory>

#include "app/CommandLine.h"
#include "app/DekkoraDlg.h"
#include "app/DlgConnect.h"
#include "app/LauncherLayout.h"
#include "app/ManagerWindows.h"
#include "app/SingleInstance.h"
#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ui/controls/QtPrompt.h"
#include "ui/controls/Resources.h"

namespace vantrel::app {

std::string CDekkoraApp::ApplicationFolder() {
  const QString exeDir = QCoreApplication::applicationDirPath();
  if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable()) return exeDir.toStdString();
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  QDir().mkpath(data);
  return data.toStdString();
}

namespace {

// The names decide the per-user folders (settings, the diagnostic log).
void SetApplicationNames() {
  QCoreApplication::setApplicationName(QStringLiteral("vantrel-manager"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tessavir"));
}

}  // namespace

bool CDekkoraApp::InstallQtTranslations(int languageCode) {
  const char* suffix = nullptr;
  switch (languageCode) {
    case LANG_RUSSIAN: suffix = "ru"; break;
    case LANG_GERMAN: suffix = "de"; break;
    case LANG_FINNISH: suffix = "fi"; break;
    case LANG_DANISH: suffix = "da"; break;
    case LANG_SWEDISH: suffix = "sv"; break;
    case LANG_SLOVAK: suffix = "sk"; break;
    case LANG_POLISH: suffix = "pl"; break;
    default: return false;
  }
  auto* application = QCoreApplication::instance();
  if (application == nullptr) return false;
  auto translator = std::make_unique<QTranslator>(application);
  if (!translator->load(QStringLiteral("qtbase_") + QLatin1String(suffix),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  if (!QCoreApplication::installTranslator(translator.get())) return false;
  translator.release();  // owned by the application from here on
  return true;
}

int CDekkoraApp::Run(int argc, char** argv) {
  // A peer that closes a connection must give an error, not end the process.
  std::signal(SIGPIPE, SIG_IGN);

  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (IsCommandLineQuery(args)) {
    // Answered without a display; the manual is found next to the executable.
    QCoreApplication core(argc, argv);
    SetApplicationNames();
    return AnswerCommandLine(args, CDekkoraDlg::ManualFolder(), DiagLogFolder(), std::cout).value_or(0);
  }

  QApplication application(argc, argv);
  SetApplicationNames();
  if (DiagLogRequested(args)) {
    EnableDiagLog(DiagLogFolder());
    LogMessage("Vantrel Manager %s started", VANTREL_VERSION_TEXT);
  }
  ui::InitResources();
  ui::InstallQtServices();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/128.svg")));
  // The first text lookup picks the language for the whole run; Qt's own
  // buttons and dialogs follow the same choice.
  GetText(0);
  InstallQtTranslations(CurrentLanguageCode());

  CSingleInstance instance;
  if (!instance.Acquire()) {
    GetPrompt().Show(Format("%s %s", kProductName, GetText(312)), kProductName, PromptIcon::None);
    return 0;
  }

  GetSettings().SetAppDir(ApplicationFolder());

  {
    // Connect or Off Line continue to the launcher; Cancel ends the application.
    CDlgConnect connectDialog;
    if (connectDialog.exec() != QDialog::Accepted) return 0;
  }

  CDekkoraDlg launcher;
  RegisterManagerWindows(launcher);
  launcher.exec();
  return 0;
}

}  // namespace vantrel::app
