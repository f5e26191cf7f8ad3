#pragma once
// IBlockingSocket on POSIX sockets. Interrupted calls (EINTR) are retried
// within the same time-out; sends never raise SIGPIPE. Small receives are
// served from a read-ahead buffer filled by one system call, so a bulk
// transfer in 2048-byte chunks does not cost a system call per chunk.
#include <chrono>
#include <memory>

#include "net/IBlockingSocket.h"

namespace nsSocket {

class CBlockingSocket final : public IBlockingSocket {
 public:
  CBlockingSocket() = default;
  ~CBlockingSocket() override;
  CBlockingSocket(const CBlockingSocket&) = delete;
  CBlockingSocket& operator=(const CBlockingSocket&) = delete;

  std::unique_ptr<IBlockingSocket> NewInstance() const override;
  void Create(int type) override;
  void Connect(const SocketAddress& address, int timeoutSeconds) override;
  void Bind(const SocketAddress& address) override;
  void Listen() override;
  void CloseQuietly() override;
  bool Accept(IBlockingSocket& connection, SocketAddress& peer, int timeoutSeconds, const in_addr* onlyFrom) override;
  void Close() override;
  int Send(const char* data, int length, int timeoutSeconds) override;
  int Receive(char* buffer, int capacity, int timeoutSeconds) override;
  void GetPeerName(SocketAddress& address) override;
  void GetSockName(SocketAddress& address) override;
  SocketHandle GetHandle() const override { return m_hSocket; }
  bool IsReadable() override;
  bool WaitReadable(int timeoutMilliseconds) override;
  SocketAddress GetHostByName(const std::string& host, unsigned short port) override;
  std::string GetHostByAddr(const SocketAddress& address) override;
  void Attach(SocketHandle handle) override;
  void SetInterrupt(std::shared_ptr<CSocketInterrupt> interrupt) override { m_interrupt = std::move(interrupt); }

 private:
  static constexpr int kReadAheadBytes = 64 * 1024;
  int ReceiveFromSystem(char* buffer, int capacity, int timeoutSeconds);
  void DropReadAhead() { m_readStart = m_readEnd = 0; }

  // Throws "Interrupted" when the latch is set; else as the wait of the events.
  bool WaitUntil(short events, std::chrono::steady_clock::time_point deadline) const;

  SocketHandle m_hSocket = kInvalidSocket;
  std::shared_ptr<CSocketInterrupt> m_interrupt;
  std::unique_ptr<char[]> m_readAhead;  // made on the first small receive
  int m_readStart = 0;
  int m_readEnd = 0;
};

}  // namespace nsSocket
