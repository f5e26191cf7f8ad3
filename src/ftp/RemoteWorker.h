#pragma once
// The background worker of the manager windows: one thread, one FTP client
// and one cancel flag of its own, and one job at a time. A job is a callable
// that gets the client, the cancel flag and a progress sink; it runs on the
// worker's thread and must touch nothing that belongs to a window. Its result
// waits until the window's thread takes it (IsDone / TakeResult, polled from
// a timer), and its progress is a snapshot the window reads on its timer.
//
//   CRemoteWorker worker;
//   worker.Start([login](CFTPClient& ftp, const std::atomic_bool& cancel, IProgressSink&) {
//     return std::any(ftp.Login(login));
//   });
//   ... later, on the window's timer:
//   if (worker.IsDone()) bool ok = std::any_cast<bool>(worker.TakeResult());
//
// Cancel asks the job to stop (the flag and the client's Abort); a job that
// still waits for the receiver half a second later has its sockets
// interrupted. The destructor cancels and interrupts at once and returns
// within about a second whatever the receiver does: a job that is still busy
// then (on the PC's disk, say) finishes on its own, keeping alive everything
// of the worker it uses.
#include <any>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "ftp/FTPClient.h"
#include "ftp/FolderTransfer.h"

namespace nsFTP {

class CRemoteWorker {
 public:
  using Job =
      std::function<std::any(CFTPClient& client, const std::atomic_bool& cancel, vantrel::IProgressSink& progress)>;

  // What the progress sink last published; `serial` grows with each change.
  struct Progress {
    std::string name;
    int lower = 0;
    int upper = 100;
    int position = 0;
    unsigned serial = 0;
  };

  static constexpr int kGraceMilliseconds = 500;
  static constexpr int kDestroyWaitMilliseconds = 1000;

  explicit CRemoteWorker(int timeoutSeconds = CFTPClient::kDefaultTimeoutSeconds,
                         int bufferSize = CFTPClient::kDefaultBufferSize);
  ~CRemoteWorker();
  CRemoteWorker(const CRemoteWorker&) = delete;
  CRemoteWorker& operator=(const CRemoteWorker&) = delete;

  // false (nothing started) while a job runs or its result was not taken.
  bool Start(Job job);
  // A job runs or its result waits to be taken.
  bool IsBusy() const;
  // The job has ended and its result waits.
  bool IsDone() const;
  // The result of the ended job (empty when it threw); the worker is free again.
  std::any TakeResult();
  // Waits at most timeoutMs for the job to end (tests and the end of a window).
  bool WaitDone(int timeoutMs) const;
  // Asks the running job to stop; callable repeatedly.
  void Cancel();
  bool IsCancelled() const;
  Progress GetProgress() const;
  // The worker's client: observers are added and removed only while no job
  // runs; IsTransferring and Abort may be called at any time.
  CFTPClient& Client();

 private:
  struct State;
  void EscalateCancel() const;
  std::shared_ptr<State> m_state;
};

}  // namespace nsFTP
