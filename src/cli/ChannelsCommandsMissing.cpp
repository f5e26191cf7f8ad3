// Stands in while this build has no channels layer.
#include <cstdio>

#include "cli/CliCommands.h"

namespace vantrel::cli {

int RunChannelsCommand(const Args&) {
  std::fputs("vantrel-cli: this build has no channels commands\n", stderr);
  return 1;
}

}  // namespace vantrel::cli
