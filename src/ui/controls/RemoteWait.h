#pragma once
// The window side of a job on a CRemoteWorker: the window waits in a local
// event loop (repaints, timers and its close box go on) until the job is
// done, with the wait cursor. The window's poll timer quits the loop when the
// worker is done (its OnRemotePoll), and swallows the window's input meanwhile.
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <any>

#include "ftp/RemoteWorker.h"

namespace vantrel::ui {

struct RemoteWaitOutcome {
  std::any result;
  bool cancelled = false;  // the user or the end of the application gave the job up
};

// worker has just started the job; loopSlot points at the loop while it runs.
// When the user closed the window during the wait (closeAfter), the window
// closes once the job has returned.
RemoteWaitOutcome WaitForRemoteJob(nsFTP::CRemoteWorker& worker, QTimer& poll, QEventLoop*& loopSlot, QWidget& window,
                                   bool& closeAfter);

}  // namespace vantrel::ui
