// Stands in while this build has no receiver layer.
#include <cstdio>

#include "cli/CliCommands.h"

namespace vantrel::cli {

int RunReceiverCommand(const Args&) {
  std::fputs("vantrel-cli: this build has no receiver commands\n", stderr);
  return 1;
}

}  // namespace vantrel::cli
