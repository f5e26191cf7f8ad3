#pragma once
// Sockets for tests of the FTP client (header only; users link vantrel_net).
//  - ChunkSocket: an open connection whose receives return scripted chunks
//    one per call, so a reply can be split at any byte; sends are recorded.
//  - FaultySocket: a real socket that throws on the operations named, also
//    in every socket made from it with NewInstance.
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "net/BlockingSocket.h"

namespace vantrel::test {

class ChunkSocket final : public nsSocket::IBlockingSocket {
 public:
  explicit ChunkSocket(std::vector<std::string> chunks = {}) : m_chunks(chunks.begin(), chunks.end()) {}
  void Push(std::string chunk) { m_chunks.push_back(std::move(chunk)); }
  const std::string& Sent() const { return m_sent; }

  std::unique_ptr<IBlockingSocket> NewInstance() const override { return std::make_unique<ChunkSocket>(); }
  void Create(int) override { m_handle = 1000; }
  void Connect(const nsSocket::SocketAddress&, int) override {}
  void Bind(const nsSocket::SocketAddress&) override {}
  void Listen() override {}
  void CloseQuietly() override { m_handle = nsSocket::kInvalidSocket; }
  bool Accept(IBlockingSocket&, nsSocket::SocketAddress&, int, const in_addr*) override {
    throw nsSocket::CBlockingSocketException("Accept timeout", 0);
  }
  void Close() override { m_handle = nsSocket::kInvalidSocket; }
  int Send(const char* data, int length, int) override {
    m_sent.append(data, static_cast<std::size_t>(length));
    return length;
  }
  // The next chunk (cut to the capacity, the rest kept); 0 once all are
  // used, as from a peer that closed.
  int Receive(char* buffer, int capacity, int) override {
    if (m_chunks.empty()) return 0;
    std::string& chunk = m_chunks.front();
    const std::size_t n = std::min(chunk.size(), static_cast<std::size_t>(capacity));
    chunk.copy(buffer, n);
    chunk.erase(0, n);
    if (chunk.empty()) m_chunks.pop_front();
    return static_cast<int>(n);
  }
  void GetPeerName(nsSocket::SocketAddress& a) override { nsSocket::MakeAddress("127.0.0.1", 21, a); }
  void GetSockName(nsSocket::SocketAddress& a) override { nsSocket::MakeAddress("127.0.0.1", 40000, a); }
  nsSocket::SocketHandle GetHandle() const override { return m_handle; }
  bool IsReadable() override { return false; }  // each chunk is its own receive
  bool WaitReadable(int) override { return !m_chunks.empty(); }
  nsSocket::SocketAddress GetHostByName(const std::string&, unsigned short port) override {
    nsSocket::SocketAddress a;
    nsSocket::MakeAddress("127.0.0.1", port, a);
    return a;
  }
  std::string GetHostByAddr(const nsSocket::SocketAddress&) override { return "localhost"; }
  void Attach(nsSocket::SocketHandle handle) override { m_handle = handle; }

 private:
  std::deque<std::string> m_chunks;
  std::string m_sent;
  nsSocket::SocketHandle m_handle = 1000;
};

class FaultySocket final : public nsSocket::IBlockingSocket {
 public:
  // Operation names as in the exception messages: "GetSockName", "Close", ...
  using Faults = std::shared_ptr<std::set<std::string>>;
  explicit FaultySocket(Faults faults) : m_faults(std::move(faults)) {}

  std::unique_ptr<IBlockingSocket> NewInstance() const override { return std::make_unique<FaultySocket>(m_faults); }
  void Create(int type) override {
    Check("Create");
    m_real.Create(type);
  }
  void Connect(const nsSocket::SocketAddress& a, int t) override {
    Check("Connect");
    m_real.Connect(a, t);
  }
  void Bind(const nsSocket::SocketAddress& a) override {
    Check("Bind");
    m_real.Bind(a);
  }
  void Listen() override {
    Check("Listen");
    m_real.Listen();
  }
  void CloseQuietly() override { m_real.CloseQuietly(); }
  bool Accept(IBlockingSocket& c, nsSocket::SocketAddress& p, int t, const in_addr* only) override {
    Check("Accept");
    return m_real.Accept(c, p, t, only);
  }
  void Close() override {
    Check("Close");
    m_real.Close();
  }
  int Send(const char* d, int n, int t) override {
    Check("Send");
    return m_real.Send(d, n, t);
  }
  int Receive(char* b, int n, int t) override {
    Check("Receive");
    return m_real.Receive(b, n, t);
  }
  void GetPeerName(nsSocket::SocketAddress& a) override {
    Check("GetPeerName");
    m_real.GetPeerName(a);
  }
  // Only a connected socket fails here: the listener still learns its port.
  void GetSockName(nsSocket::SocketAddress& a) override {
    nsSocket::SocketAddress peer;
    bool connected = true;
    try {
      m_real.GetPeerName(peer);
    } catch (const nsSocket::CBlockingSocketException&) {
      connected = false;
    }
    if (connected) Check("GetSockName");
    m_real.GetSockName(a);
  }
  nsSocket::SocketHandle GetHandle() const override { return m_real.GetHandle(); }
  bool IsReadable() override { return m_real.IsReadable(); }
  bool WaitReadable(int ms) override { return m_real.WaitReadable(ms); }
  nsSocket::SocketAddress GetHostByName(const std::string& h, unsigned short p) override {
    return m_real.GetHostByName(h, p);
  }
  std::string GetHostByAddr(const nsSocket::SocketAddress& a) override { return m_real.GetHostByAddr(a); }
  void Attach(nsSocket::SocketHandle handle) override { m_real.Attach(handle); }

 private:
  void Check(const char* operation) const {
    if (m_faults->count(operation) != 0) throw nsSocket::CBlockingSocketException(operation, 5);
  }
  Faults m_faults;
  nsSocket::CBlockingSocket m_real;
};

}  // namespace vantrel::test
