// The blocking socket over loopback: time-outs, peer close, large sends,
// interrupted waits, the guarded accept and the exception texts.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <future>
#include <thread>

#include "net/BlockingSocket.h"
#include "support/TempDir.h"

using nsSocket::CBlockingSocket;
using nsSocket::CBlockingSocketException;
using nsSocket::SocketAddress;

// Connect writes log lines, and the log asks the settings for its folder.
static vantrel::test::IsolatedSettings g_isolated;

namespace {

// A listener on 127.0.0.1 with an ephemeral port.
struct Listener {
  CBlockingSocket socket;
  SocketAddress address{};
  explicit Listener(const char* ip = "127.0.0.1") {
    socket.Create(nsSocket::kStreamSocket);
    nsSocket::MakeAddress(ip, 0, address);
    socket.Bind(address);
    socket.GetSockName(address);
    socket.Listen();
  }
};

// A connected pair: client and the accepted server end.
struct Pair {
  Listener listener;
  CBlockingSocket client;
  CBlockingSocket server;
  Pair() {
    client.Create(nsSocket::kStreamSocket);
    client.Connect(listener.address, 5);
    SocketAddress peer{};
    EXPECT_TRUE(listener.socket.Accept(server, peer, 5, nullptr));
  }
};

std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CBlockingSocketException& e) {
    return e.GetMessage();
  }
  return "(nothing thrown)";
}

}  // namespace

TEST(BlockingSocketException, FormatsWithAndWithoutCodeWithinTheCapacity) {
  CBlockingSocketException withCode("Connect", 0x6f);
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(withCode.GetErrorMessage(buffer, 24, nullptr));
  EXPECT_EQ(buffer[0], 'x') << "nothing is written when it does not fit";
  ASSERT_TRUE(withCode.GetErrorMessage(buffer, 25, nullptr));
  EXPECT_STREQ(buffer, "Connect error 0x0000006f");
  EXPECT_EQ(withCode.GetErrorMessage(), "Connect error 0x0000006f");

  CBlockingSocketException noCode("Connect", 0);
  EXPECT_FALSE(noCode.GetErrorMessage(buffer, 13, nullptr));
  ASSERT_TRUE(noCode.GetErrorMessage(buffer, 14, nullptr));
  EXPECT_STREQ(buffer, "Connect error");

  EXPECT_EQ(CBlockingSocketException(std::string(600, 'm'), 0).GetErrorMessage(), "") << "too long for 512 bytes";
}

TEST(BlockingSocket, ReceiveAfterPeerCloseGivesZeroAndSilenceTimesOut) {
  Pair pair;
  char buffer[16];
  EXPECT_THROW(
      {
        try {
          pair.client.Receive(buffer, sizeof buffer, 1);
        } catch (const CBlockingSocketException& e) {
          EXPECT_EQ(e.GetMessage(), "Receive timeout");
          EXPECT_EQ(e.GetErrorMessage(), "Receive timeout error");
          throw;
        }
      },
      CBlockingSocketException);
  EXPECT_FALSE(pair.client.IsReadable());
  pair.server.Send("hi", 2, 1);
  EXPECT_TRUE(pair.client.WaitReadable(5000));
  EXPECT_EQ(pair.client.Receive(buffer, sizeof buffer, 1), 2);
  pair.server.Close();
  EXPECT_EQ(pair.client.Receive(buffer, sizeof buffer, 1), 0);
}

TEST(BlockingSocket, SmallReceivesHandOutBytesReadAheadInOrder) {
  Pair pair;
  const std::string sent = "0123456789abcdefghij";
  pair.server.Send(sent.data(), static_cast<int>(sent.size()), 1);
  pair.server.Close();
  std::string got;
  char buffer[3];
  ASSERT_TRUE(pair.client.WaitReadable(5000));
  for (int n; (n = pair.client.Receive(buffer, sizeof buffer, 5)) > 0;) {
    EXPECT_LE(n, 3);
    got.append(buffer, static_cast<std::size_t>(n));
    if (got.size() < sent.size()) {
      EXPECT_TRUE(pair.client.IsReadable()) << "bytes held back count as readable";
    }
  }
  EXPECT_EQ(got, sent);
}

TEST(BlockingSocket, SendLoopsOverABufferLargerThanTheSystemsAndNeverRaisesSigpipe) {
  Pair pair;
  const std::string big(8 * 1024 * 1024, 'z');
  auto reader = std::async(std::launch::async, [&] {
    std::size_t total = 0;
    char buffer[65536];
    for (;;) {
      const int n = pair.server.Receive(buffer, sizeof buffer, 5);
      if (n == 0) return total;
      total += static_cast<std::size_t>(n);
    }
  });
  EXPECT_EQ(pair.client.Send(big.data(), static_cast<int>(big.size()), 5), static_cast<int>(big.size()));
  pair.client.Close();
  EXPECT_EQ(reader.get(), big.size());

  // Writing to a peer that is gone fails with an exception, not a signal.
  Pair gone;
  gone.server.Close();
  char buffer[4];
  EXPECT_EQ(gone.client.Receive(buffer, sizeof buffer, 5), 0);
  std::string message;
  for (int i = 0; i < 100 && message.empty(); ++i) {  // the first send may still be accepted locally
    try {
      gone.client.Send(big.data(), 65536, 1);
    } catch (const CBlockingSocketException& e) {
      message = e.GetMessage();
    }
  }
  EXPECT_EQ(message, "Send");
}

TEST(BlockingSocket, CloseTwiceAndUnopenedSocketsAreHarmless) {
  CBlockingSocket socket;
  EXPECT_EQ(socket.GetHandle(), nsSocket::kInvalidSocket);
  socket.Close();
  socket.Create(nsSocket::kStreamSocket);
  EXPECT_NE(socket.GetHandle(), nsSocket::kInvalidSocket);
  auto fresh = socket.NewInstance();
  EXPECT_EQ(fresh->GetHandle(), nsSocket::kInvalidSocket);
  socket.Close();
  EXPECT_EQ(socket.GetHandle(), nsSocket::kInvalidSocket);
  socket.Close();
  socket.CloseQuietly();
  char buffer[4];
  EXPECT_EQ(MessageOf([&] { socket.Receive(buffer, 4, 1); }), "Receive");
}

TEST(BlockingSocket, HostLookupAndRefusedConnect) {
  CBlockingSocket socket;
  const SocketAddress address = socket.GetHostByName("127.0.0.7", 50021);
  EXPECT_EQ(nsSocket::AddressText(address), "127.0.0.7");
  EXPECT_EQ(nsSocket::AddressPort(address), 50021);
  EXPECT_EQ(MessageOf([&] { socket.GetHostByName("no such host.invalid", 21); }), "GetHostByName");

  // A port that was just given up has nobody listening.
  SocketAddress closedPort{};
  {
    Listener gone;
    closedPort = gone.address;
  }
  socket.Create(nsSocket::kStreamSocket);
  try {
    socket.Connect(closedPort, 5);
    ADD_FAILURE() << "connect to a closed port succeeded";
  } catch (const CBlockingSocketException& e) {
    EXPECT_EQ(e.GetMessage(), "Connect");
    EXPECT_EQ(e.GetErrorCode(), ECONNREFUSED);
  }
}

TEST(BlockingSocket, AcceptIsBoundedAndTakesOnlyTheExpectedPeer) {
  Listener listener;
  CBlockingSocket connection;
  SocketAddress peer{};
  EXPECT_EQ(MessageOf([&] { listener.socket.Accept(connection, peer, 1, nullptr); }), "Accept timeout");

  // 127.0.0.9 knocks first and is turned away; 127.0.0.1 is taken.
  in_addr expected{};
  inet_pton(AF_INET, "127.0.0.1", &expected);
  CBlockingSocket stranger;
  stranger.Create(nsSocket::kStreamSocket);
  SocketAddress strangerAddress{};
  nsSocket::MakeAddress("127.0.0.9", 0, strangerAddress);
  stranger.Bind(strangerAddress);
  stranger.Connect(listener.address, 5);
  CBlockingSocket friendly;
  friendly.Create(nsSocket::kStreamSocket);
  friendly.Connect(listener.address, 5);

  ASSERT_TRUE(listener.socket.Accept(connection, peer, 5, &expected));
  EXPECT_EQ(nsSocket::AddressText(peer), "127.0.0.1");
  char buffer[4];
  EXPECT_EQ(stranger.Receive(buffer, sizeof buffer, 5), 0) << "the stranger's connection was closed";
  friendly.Send("ok", 2, 5);
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer, 5), 2);
}

TEST(BlockingSocket, SignalsDuringAWaitDoNotEndIt) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the wait really is interrupted
  struct sigaction previous {};
  sigaction(SIGUSR1, &action, &previous);

  Pair pair;
  std::atomic<bool> waiting{false};
  pthread_t receiverThread{};
  int received = -1;
  std::string failure;
  std::thread receiver([&] {
    receiverThread = pthread_self();
    waiting = true;
    char buffer[8];
    try {
      received = pair.client.Receive(buffer, sizeof buffer, 5);
    } catch (const CBlockingSocketException& e) {
      failure = e.GetMessage();
    }
  });
  while (!waiting) std::this_thread::yield();
  for (int i = 0; i < 50; ++i) {
    pthread_kill(receiverThread, SIGUSR1);
    std::this_thread::yield();
  }
  pair.server.Send("data", 4, 1);
  receiver.join();
  EXPECT_EQ(received, 4);
  EXPECT_EQ(failure, "");
  sigaction(SIGUSR1, &previous, nullptr);
}
