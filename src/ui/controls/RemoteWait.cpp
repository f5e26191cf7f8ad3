#include "ui/controls/RemoteWait.h"

#include "core/WaitCursor.h"

namespace vantrel::ui {

RemoteWaitOutcome WaitForRemoteJob(nsFTP::CRemoteWorker& worker, QTimer& poll, QEventLoop*& loopSlot, QWidget& window,
                                   bool& closeAfter) {
  CWaitCursor wait;
  QEventLoop loop;
  loopSlot = &loop;
  poll.start();
  if (!worker.IsDone()) loop.exec(QEventLoop::AllEvents);
  loopSlot = nullptr;
  poll.stop();
  if (!worker.IsDone()) {
    // The loop was ended from outside (the application quits): the job is
    // given up, and the worker is free again when it has returned.
    worker.Cancel();
    worker.WaitDone(nsFTP::CRemoteWorker::kGraceMilliseconds + nsFTP::CRemoteWorker::kDestroyWaitMilliseconds);
  }
  RemoteWaitOutcome outcome;
  outcome.cancelled = worker.IsCancelled();
  outcome.result = worker.TakeResult();
  if (closeAfter) {
    closeAfter = false;
    QWidget* closing = &window;
    QMetaObject::invokeMethod(
        closing, [closing] { closing->close(); }, Qt::QueuedConnection);
  }
  return outcome;
}

}  // namespace vantrel::ui
