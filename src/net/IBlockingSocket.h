#pragma once
// A blocking IPv4 TCP socket whose waits are bounded by per-call time-outs.
// Every failure is thrown as CBlockingSocketException; users never see an
// error code. The FTP client knows sockets only through this interface and
// makes its listening and data sockets with NewInstance, so tests can hand it
// sockets of their own kind.
#include <memory>
#include <string>

#include "net/BlockingSocketException.h"
#include "net/SocketAddress.h"

namespace nsSocket {

class CSocketInterrupt;

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
inline constexpr int kStreamSocket = 1;

class IBlockingSocket {
 public:
  virtual ~IBlockingSocket() = default;

  // A new, unopened socket of the same kind, owned by the caller.
  virtual std::unique_ptr<IBlockingSocket> NewInstance() const = 0;
  virtual void Create(int type) = 0;
  // Connects, waiting at most the time-out.
  virtual void Connect(const SocketAddress& address, int timeoutSeconds) = 0;
  // A fixed port (not 0) is taken even while its last connection winds down.
  virtual void Bind(const SocketAddress& address) = 0;
  virtual void Listen() = 0;
  virtual void CloseQuietly() = 0;
  // Waits at most the time-out for a connection and hands it to `connection`.
  // With `onlyFrom` set, connections from any other address are closed and
  // the wait goes on. Throws "Accept timeout" when the time runs out.
  virtual bool Accept(IBlockingSocket& connection, SocketAddress& peer, int timeoutSeconds,
                      const in_addr* onlyFrom) = 0;
  virtual void Close() = 0;
  // Sends every byte; each wait for room is bounded by the time-out.
  virtual int Send(const char* data, int length, int timeoutSeconds) = 0;
  // At most `capacity` bytes; 0 when the peer closed the connection.
  virtual int Receive(char* buffer, int capacity, int timeoutSeconds) = 0;
  virtual void GetPeerName(SocketAddress& address) = 0;
  virtual void GetSockName(SocketAddress& address) = 0;
  virtual SocketHandle GetHandle() const = 0;
  // Readable now (zero wait).
  virtual bool IsReadable() = 0;
  // Readable within the wait.
  virtual bool WaitReadable(int timeoutMilliseconds) = 0;
  virtual SocketAddress GetHostByName(const std::string& host, unsigned short port) = 0;
  virtual std::string GetHostByAddr(const SocketAddress& address) = 0;
  // Takes over an open handle (the receiving end of Accept).
  virtual void Attach(SocketHandle handle) = 0;
  // Every later wait of this socket, and of those NewInstance makes from it,
  // ends with "Interrupted" once the latch is set. Sockets without waits of
  // their own ignore it.
  virtual void SetInterrupt(std::shared_ptr<CSocketInterrupt> /*interrupt*/) {}
};

}  // namespace nsSocket
