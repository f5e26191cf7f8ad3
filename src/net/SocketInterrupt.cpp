#include "net/SocketInterrupt.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace nsSocket {

CSocketInterrupt::CSocketInterrupt() : m_handle(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CSocketInterrupt::~CSocketInterrupt() {
  if (m_handle >= 0) ::close(m_handle);
}

void CSocketInterrupt::Trigger() {
  m_set = true;
  if (m_handle < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(m_handle, &one, sizeof one);
}

void CSocketInterrupt::Reset() {
  m_set = false;
  if (m_handle < 0) return;
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(m_handle, &count, sizeof count);
}

}  // namespace nsSocket
