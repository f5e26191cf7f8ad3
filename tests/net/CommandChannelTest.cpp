// The receiver command channel against a scripted server on loopback: the
// framing, the field splitting, the results, the time-out, the refused
// oversized reply and the reconnection after the receiver closed.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/AppSettings.h"
#include "net/BlockingSocket.h"
#include "net/CommandChannel.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

using nsSocket::CBlockingSocket;
using vantrel::CCommandChannel;

namespace {

std::string Reply(const std::string& body) {
  char length[16];
  std::snprintf(length, sizeof length, "%-8d", static_cast<int>(body.size()));
  return length + body;
}

// One step of a connection: read one request, then answer with these raw
// bytes; `close` ends the connection after the answer, `silent` answers
// nothing and keeps the connection until the test ends.
struct Step {
  std::string answer;
  bool close = false;
  bool silent = false;
};

// A server on its own loopback address that serves scripted connections in
// turn and records every request body.
class ScriptedServer {
 public:
  ScriptedServer(const char* ip, std::vector<std::vector<Step>> connections) : m_connections(std::move(connections)) {
    m_listener.Create(nsSocket::kStreamSocket);
    nsSocket::MakeAddress(ip, 0, m_address);
    m_listener.Bind(m_address);
    m_listener.GetSockName(m_address);
    m_listener.Listen();
    m_thread = std::thread([this] { Serve(); });
  }
  ~ScriptedServer() {
    m_stop.store(true);
    m_thread.join();
    m_listener.CloseQuietly();
  }
  int Port() const { return nsSocket::AddressPort(m_address); }
  std::string Host() const { return nsSocket::AddressText(m_address); }
  std::vector<std::string> Requests() {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }
  int Accepted() const { return m_accepted.load(); }

 private:
  void Serve() {
    for (const auto& steps : m_connections) {
      CBlockingSocket connection;
      nsSocket::SocketAddress peer{};
      try {
        if (!m_listener.Accept(connection, peer, 5, nullptr)) return;
      } catch (const nsSocket::CBlockingSocketException&) {
        return;
      }
      ++m_accepted;
      for (const Step& step : steps) {
        std::string request;
        if (!ReadRequest(connection, request)) break;
        {
          std::lock_guard lock(m_mutex);
          m_requests.push_back(request);
        }
        if (step.silent) {
          while (!m_stop.load()) connection.WaitReadable(20);
          return;
        }
        if (!step.answer.empty()) connection.Send(step.answer.data(), static_cast<int>(step.answer.size()), 5);
        if (step.close) break;
      }
      connection.CloseQuietly();
    }
  }
  static bool ReadRequest(CBlockingSocket& connection, std::string& raw) {
    try {
      char length[9] = {};
      for (int got = 0; got < 8;) {
        const int n = connection.Receive(length + got, 8 - got, 5);
        if (n <= 0) return false;
        got += n;
      }
      std::string body(static_cast<std::size_t>(std::atoi(length)), '\0');
      for (std::size_t got = 0; got < body.size();) {
        const int n = connection.Receive(body.data() + got, static_cast<int>(body.size() - got), 5);
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
      }
      raw = std::string(length, 8) + body;
      return true;
    } catch (const nsSocket::CBlockingSocketException&) {
      return false;
    }
  }

  CBlockingSocket m_listener;
  nsSocket::SocketAddress m_address{};
  std::vector<std::vector<Step>> m_connections;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_accepted{0};
  std::mutex m_mutex;
  std::vector<std::string> m_requests;
};

TEST(CommandChannelFraming, RequestsAreLengthPrefixedFieldLists) {
  const std::string size = CCommandChannel::FrameRequest("Record_GetPartitionSize", {});
  EXPECT_EQ(size, "23      Record_GetPartitionSize");
  EXPECT_EQ(size.size(), 31u);
  EXPECT_EQ(CCommandChannel::FrameRequest("Record_DeleteByKeyList", {1}), "28      Record_DeleteByKeyList[]:[]1");
  EXPECT_EQ(CCommandChannel::FrameRequest("Record_DeleteByKeyList", {2, 1001, -1}),
            "44      Record_DeleteByKeyList[]:[]2[]:[]1001[]:[]-1");
  // A payload beyond the request area is refused, not cut.
  std::vector<int> many(1000, 123456789);
  EXPECT_EQ(CCommandChannel::FrameRequest("Record_DeleteByKeyList", many), "");
}

TEST(CommandChannelFraming, SplitsBodiesIntoFields) {
  using V = std::vector<std::string>;
  EXPECT_EQ(CCommandChannel::SplitFields(""), V{});
  EXPECT_EQ(CCommandChannel::SplitFields("  \n "), V{});
  EXPECT_EQ(CCommandChannel::SplitFields(" 1024"), V{"1024"});
  EXPECT_EQ(CCommandChannel::SplitFields("[]:[]5"), (V{"", "5"}));
  EXPECT_EQ(CCommandChannel::SplitFields("a[]:[]  b[]:[]c "), (V{"a", "b", "c "}));
  EXPECT_EQ(CCommandChannel::ParseDecimal("  42MB"), 42);
  EXPECT_EQ(CCommandChannel::ParseDecimal("MB"), 0);
}

class CommandChannelWire : public ::testing::Test {
 protected:
  vantrel::test::ScriptedPrompt m_prompt;
};

TEST_F(CommandChannelWire, SizeQueriesReadTheFirstField) {
  ScriptedServer server("127.0.0.61",
                        {{{Reply("476940")}, {Reply("1234abc[]:[]x")}, {Reply("[]:[]77")}, {Reply("FALSE")}}});
  CCommandChannel channel(server.Port(), 2);
  ASSERT_TRUE(channel.Connect(server.Host(), server.Port()));
  EXPECT_EQ(channel.GetPartitionSize(), 476940);
  EXPECT_EQ(channel.GetFreeMBSize(), 1234);
  // A body starting with the separator has no first field.
  EXPECT_EQ(channel.GetPartitionSize(), -1);
  EXPECT_EQ(channel.GetFreeMBSize(), 0);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0], "23      Record_GetPartitionSize");
  EXPECT_EQ(requests[1], "20      Record_GetFreeMBSize");
  EXPECT_TRUE(m_prompt.Records().empty());
}

TEST_F(CommandChannelWire, DeletionIsRefusedOnlyByFalseInAnyCase) {
  ScriptedServer server(
      "127.0.0.62", {{{Reply("FALSE")}, {Reply("false[]:[]x")}, {Reply("TRUE")}, {Reply("0")}, {Reply("[]:[]TRUE")}}});
  CCommandChannel channel(server.Port(), 2);
  ASSERT_TRUE(channel.Connect(server.Host(), server.Port()));
  EXPECT_FALSE(channel.DeleteByKeyList(1, {1001}));
  EXPECT_FALSE(channel.DeleteByKeyList(2, {2001, 2002}));
  EXPECT_TRUE(channel.DeleteByKeyList(1, {}));
  EXPECT_TRUE(channel.DeleteByKeyList(1, {-1}));
  EXPECT_FALSE(channel.DeleteByKeyList(1, {5}));  // no first field
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[0], "37      Record_DeleteByKeyList[]:[]1[]:[]1001");
  EXPECT_EQ(requests[2], "28      Record_DeleteByKeyList[]:[]1");  // an empty key list: name and kind only
  EXPECT_EQ(requests[3], "35      Record_DeleteByKeyList[]:[]1[]:[]-1");
}

TEST_F(CommandChannelWire, SilentReceiverGivesUpAfterTheBound) {
  ScriptedServer server("127.0.0.63", {{{"", false, true}}});
  CCommandChannel channel(server.Port(), 1);
  ASSERT_TRUE(channel.Connect(server.Host(), server.Port()));
  auto size = std::async(std::launch::async, [&] { return channel.GetPartitionSize(); });
  // The bound is one second; far more than that means the wait was not bounded.
  ASSERT_EQ(size.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_EQ(size.get(), 0);
}

TEST_F(CommandChannelWire, BadLengthFieldsFailWithoutOverflow) {
  const std::string huge(9000, '7');
  ScriptedServer server("127.0.0.64", {{{Reply(huge)}}, {{"0       "}}, {{"abc     "}}, {{Reply("12")}}});
  CCommandChannel channel(server.Port(), 2);
  ASSERT_TRUE(channel.Connect(server.Host(), server.Port()));
  // 9000 bytes do not fit the reply area: refused, and the stream is dropped.
  EXPECT_EQ(channel.GetPartitionSize(), 0);
  EXPECT_TRUE(channel.ReplyFields().empty());
  // Each failure reconnects once for the next call.
  EXPECT_EQ(channel.GetPartitionSize(), 0);  // length 0
  EXPECT_EQ(channel.GetFreeMBSize(), 0);     // not numeric
  EXPECT_EQ(channel.GetFreeMBSize(), 12);
  EXPECT_EQ(server.Accepted(), 4);
  EXPECT_TRUE(m_prompt.Records().empty());
}

TEST_F(CommandChannelWire, ReconnectsOnceAfterTheReceiverClosed) {
  ScriptedServer server("127.0.0.65", {{{Reply("100"), true}}, {{Reply("200")}, {Reply("300")}}});
  CCommandChannel channel(server.Port(), 2);
  ASSERT_TRUE(channel.Connect(server.Host(), server.Port()));
  EXPECT_EQ(channel.GetPartitionSize(), 100);
  // The receiver closed after its reply: the next call notices and reconnects.
  EXPECT_EQ(channel.GetPartitionSize(), 200);
  EXPECT_EQ(channel.GetFreeMBSize(), 300);
  EXPECT_EQ(server.Accepted(), 2);
  EXPECT_TRUE(channel.IsConnected());
}

TEST_F(CommandChannelWire, LostReceiverIsToldOnceAndRetriedByTheNextRefresh) {
  int port = 0;
  {
    ScriptedServer server("127.0.0.66", {{{Reply("100"), true}}});
    port = server.Port();
    CCommandChannel channel(port, 2);
    ASSERT_TRUE(channel.Connect(server.Host(), port));
    EXPECT_EQ(channel.GetPartitionSize(), 100);
  }
  // Nobody listens any more.
  CCommandChannel channel(port, 2);
  EXPECT_FALSE(channel.Connect("127.0.0.66", port));
  ASSERT_EQ(m_prompt.Records().size(), 1u);
  EXPECT_EQ(m_prompt.Records()[0].text, "Connect fail");
  EXPECT_EQ(channel.GetPartitionSize(), 0);  // never connected: no retry, no message
  EXPECT_EQ(m_prompt.Records().size(), 1u);
}

TEST_F(CommandChannelWire, AReconnectInsideAQueryShowsNoWindow) {
  // Queries run on a worker thread, where no window may open: a reconnect
  // that fails inside one fails the query only, and the window tells the user.
  auto server = std::make_unique<ScriptedServer>("127.0.0.68", std::vector<std::vector<Step>>{{{Reply("100"), true}}});
  const int port = server->Port();
  CCommandChannel channel(port, 2);
  ASSERT_TRUE(channel.Connect(server->Host(), port));
  EXPECT_EQ(channel.GetPartitionSize(), 100);
  server.reset();  // the receiver closed and is gone
  EXPECT_EQ(channel.GetPartitionSize(), 0);
  EXPECT_TRUE(m_prompt.Records().empty());
  int failureText = 0;
  EXPECT_FALSE(channel.ConnectSilently("127.0.0.68", port, &failureText));
  EXPECT_EQ(failureText, 310);  // "Connect fail", for the window to show
  EXPECT_TRUE(m_prompt.Records().empty());
}

TEST_F(CommandChannelWire, ConnectionStateMakesAndKeepsTheChannel) {
  ScriptedServer server("127.0.0.67", {{{Reply("5")}}});
  vantrel::GetSettings().SetLastIP(server.Host());
  vantrel::GetConnectionState().SetCommandChannel(std::make_unique<CCommandChannel>(server.Port(), 2));
  vantrel::ICommandChannel* first = vantrel::GetConnectedCommandChannel();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(vantrel::GetConnectedCommandChannel(), first);
  EXPECT_EQ(first->GetPartitionSize(), 5);
  EXPECT_EQ(server.Accepted(), 1);
  vantrel::GetConnectionState().SetCommandChannel(nullptr);
}

}  // namespace
