#include "net/CommandChannel.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "net/BlockingSocket.h"

namespace vantrel {
namespace {

constexpr int kTextCreateSocketFail = 309;
constexpr int kTextConnectFail = 310;

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

CCommandChannel::CCommandChannel(int port, int timeoutSeconds, std::unique_ptr<nsSocket::IBlockingSocket> prototype)
    : m_prototype(prototype ? std::move(prototype) : std::make_unique<nsSocket::CBlockingSocket>()),
      m_port(port),
      m_timeoutSeconds(timeoutSeconds) {}

CCommandChannel::~CCommandChannel() {
  if (m_socket) m_socket->CloseQuietly();
}

bool CCommandChannel::IsConnected() const {
  std::lock_guard lock(m_mutex);
  return m_connected;
}

bool CCommandChannel::Connect(const std::string& host, int port) {
  int failureText = 0;
  if (ConnectSilently(host, port, &failureText)) return true;
  ShowErrorText(GetText(failureText));
  return false;
}

bool CCommandChannel::ConnectSilently(const std::string& host, int port, int* failureText) {
  std::lock_guard lock(m_mutex);
  m_connected = false;
  m_reconnectDue = false;
  m_host = host;
  m_port = port;
  if (m_socket) m_socket->CloseQuietly();
  m_socket = m_prototype->NewInstance();
  try {
    m_socket->Create(nsSocket::kStreamSocket);
  } catch (const nsSocket::CBlockingSocketException& error) {
    LogError("command channel: %s", error.GetMessage().c_str());
    m_socket.reset();
    *failureText = kTextCreateSocketFail;
    return false;
  }
  try {
    const nsSocket::SocketAddress address = m_socket->GetHostByName(host, static_cast<unsigned short>(port));
    m_socket->Connect(address, m_timeoutSeconds);
  } catch (const nsSocket::CBlockingSocketException& error) {
    LogError("command channel %s:%d: %s", host.c_str(), port, error.GetMessage().c_str());
    m_socket->CloseQuietly();
    m_socket.reset();
    *failureText = kTextConnectFail;
    return false;
  }
  m_connected = true;
  *failureText = 0;
  return true;
}

std::string CCommandChannel::FrameRequest(std::string_view command, const std::vector<int>& arguments) {
  std::string payload(command);
  for (int argument : arguments) {
    payload += kSeparator;
    payload += std::to_string(argument);
    if (payload.size() > kMaxRequestPayload) return {};
  }
  if (payload.size() > kMaxRequestPayload) return {};
  char length[kLengthFieldBytes + 1];
  std::snprintf(length, sizeof length, "%-8d", static_cast<int>(payload.size()));
  return std::string(length) + payload;
}

std::vector<std::string> CCommandChannel::SplitFields(std::string_view body) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (at < body.size() && IsSpace(body[at])) ++at;
  if (at == body.size()) return fields;
  for (;;) {
    const std::size_t next = body.find(kSeparator, at);
    if (next == std::string_view::npos) {
      fields.emplace_back(body.substr(at));
      return fields;
    }
    fields.emplace_back(body.substr(at, next - at));
    at = next + kSeparator.size();
    while (at < body.size() && IsSpace(body[at])) ++at;
  }
}

long CCommandChannel::ParseDecimal(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  long value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    if (value > 100'000'000'000L) break;  // far beyond any partition; keeps the sum in range
    value = value * 10 + (text[at] - '0');
  }
  return value;
}

void CCommandChannel::DropConnection() {
  if (m_socket) m_socket->CloseQuietly();
  m_socket.reset();
  if (m_connected) m_reconnectDue = true;
  m_connected = false;
}

bool CCommandChannel::EnsureConnection() {
  // An idle connection that reads as ready has been closed by the receiver
  // (it never sends unasked): reconnect before sending into it.
  if (m_connected) {
    bool closed = false;
    try {
      closed = m_socket->IsReadable();
    } catch (const nsSocket::CBlockingSocketException&) {
      closed = true;
    }
    if (!closed) return true;
    LogMessage("command channel: the receiver closed the connection; reconnecting");
    DropConnection();
  }
  if (!m_reconnectDue) return false;
  m_reconnectDue = false;  // once; a failed attempt leaves it to GetConnectedCommandChannel
  const std::string host = m_host;
  const int port = m_port;
  m_mutex.unlock();
  int failureText = 0;  // the query's failure tells the caller; no window from here
  const bool connected = ConnectSilently(host, port, &failureText);
  m_mutex.lock();
  return connected && m_connected;
}

bool CCommandChannel::SendAll(const std::string& request) {
  try {
    const int sent = m_socket->Send(request.data(), static_cast<int>(request.size()), m_timeoutSeconds);
    return sent == static_cast<int>(request.size());
  } catch (const nsSocket::CBlockingSocketException& error) {
    LogError("command channel send: %s", error.GetMessage().c_str());
    return false;
  }
}

CCommandChannel::Exchange CCommandChannel::ReceiveExactly(char* buffer, std::size_t count) {
  std::size_t done = 0;
  try {
    while (done < count) {
      const int got = m_socket->Receive(buffer + done, static_cast<int>(count - done), m_timeoutSeconds);
      if (got <= 0) {
        LogError("command channel: the receiver closed the connection");
        return done == 0 ? Exchange::Closed : Exchange::Failed;
      }
      done += static_cast<std::size_t>(got);
    }
  } catch (const nsSocket::CBlockingSocketException& error) {
    LogError("command channel receive: %s (%d)", error.GetMessage().c_str(), error.GetErrorCode());
    // A reset before any byte is a closed connection too; a time-out is not.
    return done == 0 && error.GetErrorCode() == ECONNRESET ? Exchange::Closed : Exchange::Failed;
  }
  return Exchange::Ok;
}

CCommandChannel::Exchange CCommandChannel::Run(std::string_view command, const std::vector<int>& arguments) {
  m_fields.clear();
  const std::string request = FrameRequest(command, arguments);
  if (request.empty()) {
    LogError("command channel: request %.*s too long", static_cast<int>(command.size()), command.data());
    return Exchange::Failed;
  }
  // A connection the receiver closed while it lay idle shows only when it is
  // used: then the request goes once more over a new connection.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool reused = m_connected;
    if (!EnsureConnection()) return Exchange::Failed;
    const Exchange result = ExchangeOnce(request);
    if (result == Exchange::Closed && reused && attempt == 0) {
      DropConnection();
      continue;
    }
    if (result != Exchange::Ok) DropConnection();
    return result == Exchange::Ok ? Exchange::Ok : Exchange::Failed;
  }
  return Exchange::Failed;
}

CCommandChannel::Exchange CCommandChannel::ExchangeOnce(const std::string& request) {
  qCInfo(lcVantrelNet).noquote() << "command port >" << QString::fromStdString(request.substr(kLengthFieldBytes));
  if (!SendAll(request)) return Exchange::Closed;
  char lengthField[kLengthFieldBytes + 1] = {};
  const Exchange header = ReceiveExactly(lengthField, kLengthFieldBytes);
  if (header != Exchange::Ok) return header;
  const long length = ParseDecimal(lengthField);
  if (length <= 0 || static_cast<std::size_t>(length) > kMaxReplyBody) {
    // The body that follows cannot be read in step: the connection is dropped.
    LogError("command channel: reply length \"%s\" refused", lengthField);
    return Exchange::Failed;
  }
  m_reply.fill('\0');
  if (ReceiveExactly(m_reply.data(), static_cast<std::size_t>(length)) != Exchange::Ok) return Exchange::Failed;
  m_fields = SplitFields(std::string_view(m_reply.data(), static_cast<std::size_t>(length)));
  qCInfo(lcVantrelNet).noquote() << "command port <"
                                 << QString::fromUtf8(m_reply.data(), static_cast<qsizetype>(length));
  return Exchange::Ok;
}

int CCommandChannel::QuerySize(std::string_view command) {
  std::lock_guard lock(m_mutex);
  if (Run(command, {}) != Exchange::Ok) return 0;
  if (m_fields.empty() || m_fields.front().empty()) return -1;
  const long value = ParseDecimal(m_fields.front());
  return value > 0x7fffffffL ? 0x7fffffff : static_cast<int>(value);
}

int CCommandChannel::GetPartitionSize() { return QuerySize("Record_GetPartitionSize"); }

int CCommandChannel::GetFreeMBSize() { return QuerySize("Record_GetFreeMBSize"); }

bool CCommandChannel::DeleteByKeyList(int kind, const std::vector<int>& keys) {
  std::vector<int> arguments;
  arguments.reserve(keys.size() + 1);
  arguments.push_back(kind);
  arguments.insert(arguments.end(), keys.begin(), keys.end());
  std::lock_guard lock(m_mutex);
  if (Run("Record_DeleteByKeyList", arguments) != Exchange::Ok) return false;
  if (m_fields.empty() || m_fields.front().empty()) return false;
  std::string first = m_fields.front();
  for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return first != "FALSE";
}

ICommandChannel* GetConnectedCommandChannel() {
  CConnectionState& state = GetConnectionState();
  ICommandChannel* channel = state.GetCommandChannel();
  if (channel == nullptr) {
    state.SetCommandChannel(std::make_unique<CCommandChannel>());
    channel = state.GetCommandChannel();
  }
  if (channel->IsConnected()) return channel;
  return channel->Connect(GetSettings().GetLastIP(), channel->Port()) ? channel : nullptr;
}

}  // namespace vantrel
