// vantrel-cli: the channel-list and receiver operations of the application,
// from the command line.
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli/CliCommands.h"
#include "core/AppSettings.h"

namespace {

void Usage() {
  std::fputs(
      "usage: vantrel-cli channels info FILE\n"
      "       vantrel-cli channels rewrite IN OUT\n"
      "       vantrel-cli channels csv FILE\n"
      "       vantrel-cli channels duplicates FILE [--loose] [--delete OUT]\n"
      "       vantrel-cli channels check FILE [--fix OUT]\n"
      "       vantrel-cli channels apply-reference FILE REFERENCE OUT [--favourites]\n"
      "       vantrel-cli channels export-csv FILE OUT.csv [--radio]\n"
      "       vantrel-cli channels import-csv FILE IN.csv OUT [--skip-bad]\n"
      "       vantrel-cli receiver [--host ADDR] [--port N] [--pin PIN] COMMAND ...\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Tessavir"));
  QCoreApplication::setApplicationName(QStringLiteral("vantrel-manager"));
  // The log removes a stale "log.txt" from the application folder on first use;
  // for the tool that folder is the per-user data folder, never the one it was
  // started from.
  const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (!dataDir.isEmpty() && QDir().mkpath(dataDir)) vantrel::GetSettings().SetAppDir(dataDir.toStdString());
  if (argc < 2) {
    Usage();
    return 1;
  }
  vantrel::cli::Args rest(argv + 2, argv + argc);
  if (std::strcmp(argv[1], "channels") == 0) return vantrel::cli::RunChannelsCommand(rest);
  if (std::strcmp(argv[1], "receiver") == 0) return vantrel::cli::RunReceiverCommand(rest);
  Usage();
  return 1;
}
