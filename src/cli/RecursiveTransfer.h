#pragma once
// vantrel-cli receiver get -r REMOTE LOCAL and put -r LOCAL REMOTE: whole
// folder trees, copied the way the file manager copies them.
#include <string>

#include "ftp/FTPClient.h"

namespace vantrel::cli {

// Copies the receiver folder REMOTE to the PC. When LOCAL is an existing
// folder the copy goes into LOCAL/<last name of REMOTE>, otherwise LOCAL is
// the copy. Prints the written folder; 0 on success, 1 with the reason on
// standard error. The client must be logged in.
int GetRecursive(nsFTP::CFTPClient& client, const std::string& remote, const std::string& local);
// Copies the PC folder LOCAL to the receiver. REMOTE ending in "/" names the
// folder it goes into (REMOTE<last name of LOCAL>), otherwise REMOTE is the
// new folder; a receiver folder that exists already is refused.
int PutRecursive(nsFTP::CFTPClient& client, const std::string& local, const std::string& remote);

}  // namespace vantrel::cli
