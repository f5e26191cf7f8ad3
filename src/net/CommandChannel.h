#pragma once
// The client of the receiver's command port: one long-lived TCP connection
// carrying short text requests about the recorder, each answered by one
// reply. Both directions are framed the same way: the byte count of the body
// in decimal, left-aligned in 8 characters ("%-8d"), then the body, a list of
// fields joined by "[]:[]" (the first field of a request is the command).
//
// Every send and receive waits at most kTimeoutSeconds. A reply that would
// not fit the reply area is refused. When the receiver has closed the
// connection (or an exchange broke it off mid-way), the next command
// reconnects once to the same address before it sends.
#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandChannelInterface.h"
#include "net/IBlockingSocket.h"

namespace vantrel {

inline constexpr int COMMAND_PORT = 12345;

class CCommandChannel : public ICommandChannel {
 public:
  static constexpr int kTimeoutSeconds = 10;
  static constexpr std::size_t kAreaBytes = 8192;
  static constexpr std::size_t kLengthFieldBytes = 8;
  // The reply area keeps a terminating zero; a request payload leaves room
  // for the length field and one.
  static constexpr std::size_t kMaxReplyBody = kAreaBytes - 1;
  static constexpr std::size_t kMaxRequestPayload = kAreaBytes - kLengthFieldBytes - 1;
  static constexpr std::string_view kSeparator = "[]:[]";

  // Sockets are made from `prototype` (a CBlockingSocket when none is given).
  // `timeoutSeconds` bounds every connect, send and receive.
  explicit CCommandChannel(int port = COMMAND_PORT, int timeoutSeconds = kTimeoutSeconds,
                           std::unique_ptr<nsSocket::IBlockingSocket> prototype = nullptr);
  ~CCommandChannel() override;
  CCommandChannel(const CCommandChannel&) = delete;
  CCommandChannel& operator=(const CCommandChannel&) = delete;

  bool IsConnected() const override;
  int Port() const override { return m_port; }
  // Tells the user "Create socket fail" or "Connect fail" when it fails.
  bool Connect(const std::string& host, int port) override;
  bool ConnectSilently(const std::string& host, int port, int* failureText) override;

  int GetPartitionSize() override;
  int GetFreeMBSize() override;
  bool DeleteByKeyList(int kind, const std::vector<int>& keys) override;

  // The framed request for a command and its numeric arguments; empty when
  // the payload would exceed kMaxRequestPayload.
  static std::string FrameRequest(std::string_view command, const std::vector<int>& arguments);
  // A body split into fields: leading white space skipped, a separator at
  // the very start gives an empty first field, white space after each
  // separator skipped.
  static std::vector<std::string> SplitFields(std::string_view body);
  // Decimal digits at the start of the text, leading white space skipped; 0 without any.
  static long ParseDecimal(std::string_view text);

  // The fields of the last reply received.
  const std::vector<std::string>& ReplyFields() const { return m_fields; }

 private:
  // Closed: the receiver had closed the connection before it answered.
  enum class Exchange { Ok, Closed, Failed };
  // Sends the request and reads the reply into m_fields; Failed after any
  // transport problem (the connection is then dropped for a reconnect).
  Exchange Run(std::string_view command, const std::vector<int>& arguments);
  // One request and its reply on the present connection.
  Exchange ExchangeOnce(const std::string& request);
  bool EnsureConnection();
  bool SendAll(const std::string& request);
  Exchange ReceiveExactly(char* buffer, std::size_t count);
  void DropConnection();
  int QuerySize(std::string_view command);

  mutable std::mutex m_mutex;  // one exchange at a time
  bool m_connected = false;
  bool m_reconnectDue = false;  // the connection was lost after it had worked
  std::unique_ptr<nsSocket::IBlockingSocket> m_prototype;
  std::unique_ptr<nsSocket::IBlockingSocket> m_socket;
  std::string m_host;
  int m_port;
  int m_timeoutSeconds;
  std::array<char, kAreaBytes> m_reply{};
  std::vector<std::string> m_fields;
};

// The connection state's command channel, connected to GetLastIP() on its
// port; made on first use. nullptr when the connection cannot be made (the
// user has been told why); the next call tries again.
ICommandChannel* GetConnectedCommandChannel();

}  // namespace vantrel
