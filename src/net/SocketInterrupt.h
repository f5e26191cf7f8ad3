#pragma once
// A latch that wakes every wait of the sockets sharing it: connect, accept,
// send and receive then fail at once with "Interrupted" instead of running
// out their time-outs. Trigger may be called from any thread; the latch stays
// set until Reset.
#include <atomic>

namespace nsSocket {

class CSocketInterrupt {
 public:
  CSocketInterrupt();
  ~CSocketInterrupt();
  CSocketInterrupt(const CSocketInterrupt&) = delete;
  CSocketInterrupt& operator=(const CSocketInterrupt&) = delete;

  void Trigger();
  void Reset();
  bool IsSet() const { return m_set.load(); }
  // Readable while set: polled beside the socket's own handle.
  int Handle() const { return m_handle; }

 private:
  int m_handle = -1;
  std::atomic<bool> m_set{false};
};

}  // namespace nsSocket
