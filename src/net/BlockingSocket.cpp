#include "net/BlockingSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/DiagLog.h"
#include "net/SocketInterrupt.h"

namespace nsSocket {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(int timeoutSeconds) {
  return Clock::now() + std::chrono::seconds(timeoutSeconds < 0 ? 0 : timeoutSeconds);
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return left > 2'000'000'000 ? 2'000'000'000 : static_cast<int>(left);
}

// Waits for the events until the deadline; interruptions resume the wait for
// the time that is left. A failure of the wait itself counts as readiness, so
// the following call reports the real error. With an interrupt handle, its
// becoming readable ends the wait as `interrupted`.
bool WaitUntil(SocketHandle handle, short events, Clock::time_point deadline, int interruptHandle, bool& interrupted) {
  interrupted = false;
  for (;;) {
    pollfd entries[2] = {{handle, events, 0}, {interruptHandle, POLLIN, 0}};
    const int result = ::poll(entries, interruptHandle >= 0 ? 2 : 1, MillisecondsLeft(deadline));
    if (result > 0) {
      interrupted = interruptHandle >= 0 && (entries[1].revents & POLLIN) != 0;
      return true;
    }
    if (result == 0) return false;
    if (errno != EINTR) return true;
  }
}

bool SetNonBlocking(SocketHandle handle, bool on) {
  const int flags = ::fcntl(handle, F_GETFL, 0);
  if (flags < 0) return false;
  const int wanted = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
  return wanted == flags || ::fcntl(handle, F_SETFL, wanted) == 0;
}

}  // namespace

CBlockingSocket::~CBlockingSocket() { CloseQuietly(); }

std::unique_ptr<IBlockingSocket> CBlockingSocket::NewInstance() const {
  auto socket = std::make_unique<CBlockingSocket>();
  socket->m_interrupt = m_interrupt;  // listeners and data connections stop with the control connection
  return socket;
}

bool CBlockingSocket::WaitUntil(short events, Clock::time_point deadline) const {
  if (m_interrupt && m_interrupt->IsSet()) throw CBlockingSocketException("Interrupted", ECANCELED);
  bool interrupted = false;
  const bool ready =
      nsSocket::WaitUntil(m_hSocket, events, deadline, m_interrupt ? m_interrupt->Handle() : -1, interrupted);
  if (interrupted) throw CBlockingSocketException("Interrupted", ECANCELED);
  return ready;
}

void CBlockingSocket::Create(int type) {
  CloseQuietly();  // a second Create must not leak the first handle
  const SocketHandle handle = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
  if (handle == kInvalidSocket) throw CBlockingSocketException("Create");
  m_hSocket = handle;
}

void CBlockingSocket::Connect(const SocketAddress& address, int timeoutSeconds) {
  vantrel::LogMessage("CBlockingSocket Connect");
  vantrel::LogMessage("CBlockingSocket Connect 1");
  vantrel::LogMessage("CBlockingSocket Connect m_hSocket=%x", static_cast<unsigned>(m_hSocket));
  int error = 0;
  // Connected without blocking so that an unreachable receiver costs the
  // time-out and not the system's minutes of retries.
  if (!SetNonBlocking(m_hSocket, true)) {
    error = errno;
  } else {
    const auto deadline = DeadlineAfter(timeoutSeconds);
    int result = ::connect(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result != 0 && (errno == EINPROGRESS || errno == EINTR)) {
      if (!WaitUntil(POLLOUT, deadline)) {
        error = ETIMEDOUT;
      } else {
        socklen_t length = sizeof error;
        if (::getsockopt(m_hSocket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
      }
    } else if (result != 0) {
      error = errno;
    }
    if (!SetNonBlocking(m_hSocket, false) && error == 0) error = errno;
  }
  if (error != 0) {
    vantrel::LogError("CBlockingSocket Connect ERROR");
    errno = error;
    vantrel::LogLastWin32Error();
    throw CBlockingSocketException("Connect", error);
  }
}

void CBlockingSocket::Bind(const SocketAddress& address) {
  if (address.sin_port != 0) {
    // A chosen port whose last connection is still winding down (TIME_WAIT)
    // can be had again; one that another socket listens on stays busy.
    const int on = 1;
    ::setsockopt(m_hSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  if (::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    throw CBlockingSocketException("Bind");
  }
}

void CBlockingSocket::Listen() {
  if (::listen(m_hSocket, 5) != 0) throw CBlockingSocketException("Listen");
}

void CBlockingSocket::CloseQuietly() {
  DropReadAhead();
  if (m_hSocket == kInvalidSocket) return;
  ::close(m_hSocket);
  m_hSocket = kInvalidSocket;
}

bool CBlockingSocket::Accept(IBlockingSocket& connection, SocketAddress& peer, int timeoutSeconds,
                             const in_addr* onlyFrom) {
  // The listener does not block in accept itself: the wait is the poll's.
  if (!SetNonBlocking(m_hSocket, true)) throw CBlockingSocketException("Accept");
  const auto deadline = DeadlineAfter(timeoutSeconds);
  for (;;) {
    if (!WaitUntil(POLLIN, deadline)) throw CBlockingSocketException("Accept timeout", 0);
    SocketAddress from;
    socklen_t length = sizeof from;
    const SocketHandle handle = ::accept4(m_hSocket, reinterpret_cast<sockaddr*>(&from), &length, SOCK_CLOEXEC);
    if (handle == kInvalidSocket) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED) continue;
      throw CBlockingSocketException("Accept");
    }
    if (onlyFrom != nullptr && from.sin_addr.s_addr != onlyFrom->s_addr) {
      vantrel::LogMessage("CBlockingSocket Accept refused %s", AddressText(from).c_str());
      ::close(handle);
      continue;
    }
    connection.Attach(handle);
    peer = from;
    return connection.GetHandle() != kInvalidSocket;
  }
}

void CBlockingSocket::Close() {
  if (m_hSocket == kInvalidSocket) return;
  // On Linux the handle is gone even when close reports an interruption.
  if (::close(m_hSocket) != 0 && errno != EINTR) throw CBlockingSocketException("Close");
  m_hSocket = kInvalidSocket;
  DropReadAhead();
}

int CBlockingSocket::Send(const char* data, int length, int timeoutSeconds) {
  int sent = 0;
  auto deadline = DeadlineAfter(timeoutSeconds);
  while (sent < length) {
    const ssize_t result =
        ::send(m_hSocket, data + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (result >= 0) {
      sent += static_cast<int>(result);
      deadline = DeadlineAfter(timeoutSeconds);  // the bound is per wait, not for the whole buffer
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) throw CBlockingSocketException("Send");
    if (!WaitUntil(POLLOUT, deadline)) throw CBlockingSocketException("Send timeout", 0);
  }
  return sent;
}

int CBlockingSocket::Receive(char* buffer, int capacity, int timeoutSeconds) {
  if (capacity <= 0) return 0;
  if (m_readStart == m_readEnd) {
    if (capacity >= kReadAheadBytes) return ReceiveFromSystem(buffer, capacity, timeoutSeconds);
    if (!m_readAhead) m_readAhead = std::make_unique<char[]>(kReadAheadBytes);
    m_readStart = 0;
    m_readEnd = ReceiveFromSystem(m_readAhead.get(), kReadAheadBytes, timeoutSeconds);
    if (m_readEnd == 0) return 0;  // the peer closed
  }
  const int count = std::min(capacity, m_readEnd - m_readStart);
  std::memcpy(buffer, m_readAhead.get() + m_readStart, static_cast<std::size_t>(count));
  m_readStart += count;
  return count;
}

int CBlockingSocket::ReceiveFromSystem(char* buffer, int capacity, int timeoutSeconds) {
  // Data already there is taken at once; the readiness wait is only for an
  // empty socket.
  bool waited = false;
  Clock::time_point deadline;
  for (;;) {
    const ssize_t result = ::recv(m_hSocket, buffer, static_cast<std::size_t>(capacity), MSG_DONTWAIT);
    if (result >= 0) return static_cast<int>(result);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) throw CBlockingSocketException("Receive");
    if (!waited) {
      deadline = DeadlineAfter(timeoutSeconds);
      waited = true;
    }
    if (!WaitUntil(POLLIN, deadline)) throw CBlockingSocketException("Receive timeout", 0);
  }
}

void CBlockingSocket::GetPeerName(SocketAddress& address) {
  socklen_t length = sizeof address;
  if (::getpeername(m_hSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw CBlockingSocketException("GetPeerName");
  }
}

void CBlockingSocket::GetSockName(SocketAddress& address) {
  socklen_t length = sizeof address;
  if (::getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw CBlockingSocketException("GetSockName");
  }
}

bool CBlockingSocket::IsReadable() { return WaitReadable(0); }

bool CBlockingSocket::WaitReadable(int timeoutMilliseconds) {
  if (m_readStart != m_readEnd) return true;
  if (m_interrupt && m_interrupt->IsSet()) throw CBlockingSocketException("Interrupted", ECANCELED);
  const int interruptHandle = m_interrupt ? m_interrupt->Handle() : -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds < 0 ? 0 : timeoutMilliseconds);
  for (;;) {
    pollfd entries[2] = {{m_hSocket, POLLIN, 0}, {interruptHandle, POLLIN, 0}};
    const int result = ::poll(entries, interruptHandle >= 0 ? 2 : 1, MillisecondsLeft(deadline));
    if (result > 0) {
      if (interruptHandle >= 0 && (entries[1].revents & POLLIN) != 0) {
        throw CBlockingSocketException("Interrupted", ECANCELED);
      }
      if ((entries[0].revents & POLLNVAL) != 0) throw CBlockingSocketException("Socket Error", EBADF);
      return (entries[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }
    if (result == 0) return false;
    if (errno != EINTR) throw CBlockingSocketException("Socket Error");
  }
}

SocketAddress CBlockingSocket::GetHostByName(const std::string& host, unsigned short port) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0 || found == nullptr) {
    const int code = result == EAI_SYSTEM ? errno : result;
    vantrel::LogError("CBlockingSocket GetHostByName %s: %s", host.c_str(), ::gai_strerror(result));
    if (found != nullptr) ::freeaddrinfo(found);
    throw CBlockingSocketException("GetHostByName", code);
  }
  SocketAddress address;
  std::memcpy(&address, found->ai_addr, sizeof address);
  ::freeaddrinfo(found);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  return address;
}

std::string CBlockingSocket::GetHostByAddr(const SocketAddress& address) {
  char name[NI_MAXHOST] = {};
  const int result = ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, name, sizeof name,
                                   nullptr, 0, NI_NAMEREQD);
  if (result != 0) throw CBlockingSocketException("GetHostByAddr", result == EAI_SYSTEM ? errno : result);
  return name;
}

void CBlockingSocket::Attach(SocketHandle handle) {
  CloseQuietly();  // also forgets bytes read ahead on the old connection
  m_hSocket = handle;
}

}  // namespace nsSocket
