#pragma once
// Tells the launcher how each manager window is made.

namespace vantrel::app {

class CDekkoraDlg;

void RegisterManagerWindows(CDekkoraDlg& launcher);

}  // namespace vantrel::app
