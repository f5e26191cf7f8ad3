#include "app/DekkoraApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>
#include <iostream>

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
