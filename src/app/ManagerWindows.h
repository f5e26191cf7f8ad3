#pragma once
// Tells the launcher how each manager window is made.

namespace vantrel::app {

class CDekkoraDlg;

void RegisterManagerWindows(CDekkoraDlg& launcher);

// The port the file manager reaches the receiver on: 21, or the one in
// VANTREL_FILEMGR_PORT (a simulator run without the right to bind port 21).
// A value that is not a port from 1 to 65535 is ignored.
unsigned short FileManagerPort(const char* override);

}  // namespace vantrel::app
