#pragma once
// vantrel-cli command groups. Each takes the words after its group name and
// returns the process exit code: 0 on success, 1 with the reason on stderr.
#include <string>
#include <vector>

namespace vantrel::cli {

using Args = std::vector<std::string>;

// vantrel-cli channels info FILE | rewrite IN OUT | csv FILE | apply-reference FILE REFERENCE OUT
// [--favourites] | export-csv FILE OUT.csv [--radio] | import-csv FILE IN.csv OUT [--skip-bad]
int RunChannelsCommand(const Args& args);
// channels duplicates FILE [--loose] [--delete OUT] | check FILE [--fix OUT];
// -1 when the words are none of these.
int RunListToolCommand(const Args& args);
// vantrel-cli receiver [--host ADDR] [--port N] [--pin PIN] ls|get|put|backup-channels ...
int RunReceiverCommand(const Args& args);

}  // namespace vantrel::cli
