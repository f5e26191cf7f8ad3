#include "ftp/RemoteWorker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "core/DiagLog.h"

namespace nsFTP {

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

// Everything the thread touches. The thread holds a share of it, so a worker
// that gives up waiting for its thread leaves nothing dangling behind.
struct CRemoteWorker::State final : vantrel::IProgressSink {
  explicit State(int timeoutSeconds, int bufferSize) : client(nullptr, timeoutSeconds, bufferSize) {}

  void SetName(const std::string& text) override {
    const std::lock_guard lock(mutex);
    progress.name = text;
    ++progress.serial;
  }
  void SetRange(int lower, int upper) override {
    const std::lock_guard lock(mutex);
    progress.lower = lower;
    progress.upper = upper;
    ++progress.serial;
  }
  void SetPos(int position) override {
    const std::lock_guard lock(mutex);
    progress.position = position;
    ++progress.serial;
  }

  // The thread's loop: one job after another until `leaving`.
  void Run() {
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return leaving || job != nullptr; });
      if (leaving) break;
      Job current = std::move(job);
      job = nullptr;
      lock.unlock();
      std::any outcome;
      try {
        outcome = current(client, cancel, *this);
      } catch (const std::exception& error) {
        vantrel::LogError("Remote job failed: %s", error.what());
      } catch (...) {
        vantrel::LogError("Remote job failed");
      }
      current = nullptr;  // what the job holds goes on this thread, before the result is handed over
      lock.lock();
      result = std::move(outcome);
      running = false;
      done = true;
      ended.notify_all();
    }
    finished = true;
    ended.notify_all();
  }

  CFTPClient client;
  std::atomic_bool cancel{false};
  std::atomic_bool interrupted{false};
  std::atomic<Clock::rep> cancelledAt{0};
  mutable std::mutex mutex;
  std::condition_variable wake;
  mutable std::condition_variable ended;
  Job job;
  std::any result;
  Progress progress;
  bool running = false;
  bool done = false;
  bool leaving = false;
  bool finished = false;
};

CRemoteWorker::CRemoteWorker(int timeoutSeconds, int bufferSize)
    : m_state(std::make_shared<State>(timeoutSeconds, bufferSize)) {
  std::thread([state = m_state] { state->Run(); }).detach();
}

CRemoteWorker::~CRemoteWorker() {
  m_state->cancel = true;
  m_state->client.AbortForGood();
  std::unique_lock lock(m_state->mutex);
  m_state->leaving = true;
  m_state->wake.notify_all();
  // The thread shares the state: when it is still inside a job after the
  // wait, it ends on its own, and the process need not wait for it.
  if (!m_state->ended.wait_for(lock, std::chrono::milliseconds(kDestroyWaitMilliseconds),
                               [this] { return m_state->finished; })) {
    vantrel::LogError("Remote worker: the job did not end in time and finishes on its own");
  }
}

bool CRemoteWorker::Start(Job job) {
  if (!job) return false;
  const std::lock_guard lock(m_state->mutex);
  if (m_state->running || m_state->done || m_state->leaving) return false;
  m_state->cancel = false;
  m_state->interrupted = false;
  m_state->cancelledAt = 0;
  // The thread is idle: a cancel of the last job does not reach into this one.
  m_state->client.ClearInterrupt();
  m_state->progress = Progress{{}, 0, 100, 0, m_state->progress.serial + 1};
  m_state->job = std::move(job);
  m_state->running = true;
  m_state->wake.notify_all();
  return true;
}

bool CRemoteWorker::IsBusy() const {
  const std::lock_guard lock(m_state->mutex);
  return m_state->running || m_state->done;
}

bool CRemoteWorker::IsDone() const {
  EscalateCancel();
  const std::lock_guard lock(m_state->mutex);
  return m_state->done;
}

std::any CRemoteWorker::TakeResult() {
  const std::lock_guard lock(m_state->mutex);
  if (!m_state->done) return {};
  m_state->done = false;
  return std::exchange(m_state->result, std::any());
}

bool CRemoteWorker::WaitDone(int timeoutMs) const {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(m_state->mutex);
  for (;;) {
    if (!m_state->running) return true;
    const auto slice = std::min(deadline, Clock::now() + std::chrono::milliseconds(50));
    m_state->ended.wait_until(lock, slice);
    if (!m_state->running) return true;
    if (Clock::now() >= deadline) return false;
    lock.unlock();
    EscalateCancel();
    lock.lock();
  }
}

void CRemoteWorker::Cancel() {
  {
    const std::lock_guard lock(m_state->mutex);
    if (!m_state->running) return;
  }
  if (!m_state->cancel.exchange(true)) {
    m_state->cancelledAt = Clock::now().time_since_epoch().count();
    m_state->client.Abort();  // a transfer stops after its chunk and sends ABOR
  }
  EscalateCancel();
}

bool CRemoteWorker::IsCancelled() const { return m_state->cancel.load(); }

void CRemoteWorker::EscalateCancel() const {
  if (!m_state->cancel || m_state->interrupted) return;
  const Clock::time_point since{Clock::duration(m_state->cancelledAt.load())};
  if (Clock::now() - since < std::chrono::milliseconds(kGraceMilliseconds)) return;
  const std::lock_guard lock(m_state->mutex);
  if (!m_state->running || m_state->interrupted.exchange(true)) return;
  // The receiver did not let the job stop in time (a stalled reply or
  // connect-back): its waits end now.
  m_state->client.Interrupt();
}

CFTPClient& CRemoteWorker::Client() { return m_state->client; }

CRemoteWorker::Progress CRemoteWorker::GetProgress() const {
  const std::lock_guard lock(m_state->mutex);
  return m_state->progress;
}

}  // namespace nsFTP
