// The control connection: login, commands and replies, observers.
#include "ftp/FTPClient.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/DiagLog.h"
#include "ftp/FTPListParser.h"
#include "net/BlockingSocket.h"

namespace nsFTP {
namespace {

using nsSocket::CBlockingSocketException;

const char kUnsafeArgument[] = "Command argument holds CR, LF or NUL";
const char kReplyTooLong[] = "Reply too long";
const char kConnectionClosed[] = "Connection closed by the server";
const char kReplyTimeout[] = "Receive timeout error";
const char kOutOfStep[] = "Replies out of step: connection dropped";

// Replies owed by a failed transfer are waited for this long at most.
constexpr int kPendingReplyWaitMilliseconds = 2000;

// The decimal number at the start of a reply line (0 without digits).
long LeadingNumber(const std::string& line) {
  long number = 0;
  for (std::size_t i = 0; i < line.size() && i < 9 && line[i] >= '0' && line[i] <= '9'; ++i) {
    number = number * 10 + (line[i] - '0');
  }
  return number;
}

// The number after the reply code and its space, leading blanks skipped.
std::int64_t SizeFromReply(const std::string& text) {
  if (text.size() < 4) return 0;
  std::size_t i = 4;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::int64_t size = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (size > (INT64_MAX - digit) / 10) return INT64_MAX;
    size = size * 10 + digit;
  }
  return size;
}

std::string Location(const std::source_location& where) {
  return std::string(where.file_name()) + ":" + where.function_name();
}

// One step of the logon sequence; a successor of -2 is logged in, -1 refused.
struct LogonStep {
  int code;
  CCommand::Id command;
  int nextOnSuccess;
  int nextOnMore;
};
// Indexed by logon point / 3 (points 0, 3 and 6).
constexpr LogonStep kLogonSteps[] = {
    {0, CCommand::USER, -2, 3},
    {1, CCommand::PASS, -2, 6},
    {2, CCommand::ACCT, -2, -1},
};

}  // namespace

CFTPClient::CNotification::~CNotification() {
  const TObserverSet subjects = GetSubjects();
  for (CFTPClient* client : subjects) client->RemoveObserver(this);
}

CFTPClient::CFTPClient(std::unique_ptr<nsSocket::IBlockingSocket> controlSocket, int timeoutSeconds, int bufferSize)
    : m_timeoutSeconds(timeoutSeconds),
      m_buffer(static_cast<std::size_t>(std::max(bufferSize, 2))),
      m_controlSocket(controlSocket ? std::move(controlSocket) : std::make_unique<nsSocket::CBlockingSocket>()),
      m_listParser(std::make_unique<CFTPListParser>()) {
  m_controlSocket->SetInterrupt(m_interrupt);
  CCommand(CCommand::NOOP).GetExtendedInfo();  // the command table exists before first use
}

CFTPClient::~CFTPClient() {
  if (m_transferring) Abort();
  // A client goes when its window goes, mostly at the end of the program: QUIT
  // is sent as a courtesy, but neither owed replies nor the answer to QUIT are
  // waited for, so a receiver that is slow or gone cannot hold the exit.
  if (IsConnected()) {
    const std::string line = CCommand(CCommand::QUIT).AsString(CArg()) + m_lineEnd;
    try {
      m_controlSocket->Send(line.data(), static_cast<int>(line.size()), 1);
    } catch (const CBlockingSocketException&) {
    }
    CloseControlQuietly();
  }
  const TObserverSet observers = m_observers;
  for (CNotification* observer : observers) observer->EraseSubject(this);
}

bool CFTPClient::IsConnected() const { return m_controlSocket->GetHandle() != nsSocket::kInvalidSocket; }

void CFTPClient::ReportError(const std::string& text, std::source_location where) {
  const std::string location = Location(where);
  ForEachObserver([&](CNotification& o) { o.NotifyError(text, location, where.line()); });
}

void CFTPClient::ReportSocketError(const CBlockingSocketException& error, std::source_location where) {
  ReportError(error.GetErrorMessage(), where);
}

void CFTPClient::ReportSystemError(int errorCode, std::source_location where) {
  char buffer[256];
  ReportError(strerror_r(errorCode, buffer, sizeof buffer), where);
}

void CFTPClient::CloseControlQuietly() {
  m_controlSocket->CloseQuietly();
  m_transferType.reset();
  m_replyLines.clear();
  m_partialLine.clear();
  m_pendingReplies = 0;
}

bool CFTPClient::OpenControlChannel(const std::string& host, unsigned short port) {
  vantrel::LogMessage("OpenControlChannel");
  try {
    m_controlSocket->Close();
  } catch (const CBlockingSocketException&) {
    m_controlSocket->CloseQuietly();
  }
  CloseControlQuietly();
  try {
    vantrel::LogMessage("OpenControlChannel create");
    m_controlSocket->Create(nsSocket::kStreamSocket);
    vantrel::LogMessage("OpenControlChannel after create");
    const nsSocket::SocketAddress address = m_controlSocket->GetHostByName(host, port);
    m_controlSocket->Connect(address, m_timeoutSeconds);
    return true;
  } catch (const CBlockingSocketException& error) {
    ReportSocketError(error);
    m_lastFailure = error.GetErrorCode() == ECONNREFUSED ? Failure::kRefused
                    : error.GetErrorCode() == ETIMEDOUT  ? Failure::kTimeout
                                                         : Failure::kUnreachable;
    CloseControlQuietly();
    return false;
  }
}

bool CFTPClient::Login(const CServerLogin& logon, bool extractVersion) {
  vantrel::LogMessage("Login");
  m_logon = logon;
  m_lastFailure = Failure::kNone;
  m_abortRequested = false;  // a cancel of an earlier job does not reach into this one
  if (IsConnected()) {
    vantrel::LogMessage("Login Already Connected");
    Logout();
  }
  if (!OpenControlChannel(logon.GetHostname(), logon.GetPort())) {
    vantrel::LogMessage("Login OpenControl error");
    return LoginFailed();
  }
  // A server may first say "120 ready in N minutes"; the welcome is the 220
  // that follows, within the usual bound for each reply.
  CServerReply reply;
  bool welcomed = ReadReply(reply);
  for (int preliminary = 0; welcomed && reply.Class() == '1' && preliminary < kMaxPreliminaryReplies; ++preliminary) {
    welcomed = ReadReply(reply);
  }
  if (!welcomed) return LoginFailed();
  if (reply.Class() != '2') {
    m_lastFailure = reply.Class() == '4' || reply.Class() == '5' ? Failure::kRejected : Failure::kProtocol;
    return LoginFailed();
  }

  int point = 0;
  for (;;) {
    const LogonStep& step = kLogonSteps[point / 3];
    const std::string& argument = step.command == CCommand::USER   ? logon.GetUsername()
                                  : step.command == CCommand::PASS ? logon.GetPassword()
                                                                   : logon.GetAccount();
    vantrel::LogMessage("Login st=%d", step.code);
    if (!SendCommand(step.command, {argument}) || !ReadReply(reply)) return LoginFailed();
    const char replyClass = reply.Class();
    if (replyClass != '2' && replyClass != '3') {
      m_lastFailure = replyClass == '4' || replyClass == '5' ? Failure::kLoginRefused : Failure::kProtocol;
      return LoginFailed();
    }
    vantrel::LogMessage("Login strResponse=%s", reply.Value().c_str());
    vantrel::LogMessage("Login replay=%d %d", replyClass == '2' ? 1 : 0, replyClass == '3' ? 1 : 0);
    point = replyClass == '2' ? step.nextOnSuccess : step.nextOnMore;
    vantrel::LogMessage("Login iLogonPoint=%d", point);
    if (point == -1) {
      vantrel::LogMessage("Login failed=%d", -1);
      ReportError("Logon failed.");
      m_lastFailure = Failure::kProtocol;  // more asked for than user, password and account
      return LoginFailed();
    }
    if (point == -2) {
      if (extractVersion) ExtractVersion(reply.Value());
      return true;
    }
  }
}

bool CFTPClient::LoginFailed() {
  if (m_lastFailure == Failure::kNone) m_lastFailure = Failure::kOther;
  vantrel::LogError("Login to %s:%u failed: %s", m_logon.GetHostname().c_str(), unsigned{m_logon.GetPort()},
                    FailureText(m_lastFailure));
  return false;
}

const char* CFTPClient::FailureText(Failure failure) {
  switch (failure) {
    case Failure::kNone: return "none";
    case Failure::kRefused: return "connection refused";
    case Failure::kUnreachable: return "receiver not reachable";
    case Failure::kTimeout: return "no answer in time";
    case Failure::kClosed: return "connection closed by the receiver";
    case Failure::kRejected: return "the receiver turned the connection away";
    case Failure::kLoginRefused: return "user or PIN code refused";
    case Failure::kProtocol: return "reply out of protocol";
    case Failure::kOther: break;
  }
  return "failed";
}

void CFTPClient::ExtractVersion(const std::string& reply) {
  vantrel::LogMessage("tmp=%s", reply.c_str());
  const std::size_t start = reply.find("Zarn");
  if (start == std::string::npos) return;
  vantrel::LogMessage("tmp=%s", reply.c_str() + start);
  // The word, the one character after it, then a run of digits and dots.
  std::size_t scan = std::min(start + 5, reply.size());
  vantrel::LogMessage("end=%s", reply.c_str() + scan);
  m_targetVersion.fill('\0');
  vantrel::LogMessage("Login end=%s", reply.c_str() + scan);
  for (;;) {
    vantrel::LogMessage("Login end=%s", reply.c_str() + scan);
    if (scan < reply.size() && (reply[scan] == '.' || (reply[scan] >= '0' && reply[scan] <= '9'))) {
      ++scan;
    } else {
      break;
    }
  }
  const std::size_t length = std::min(scan - start, m_targetVersion.size() - 1);
  std::memcpy(m_targetVersion.data(), reply.data() + start, length);
  vantrel::LogMessage("Login m_targetVersion=%s", m_targetVersion.data());
}

int CFTPClient::Logout() {
  if (!SendCommand(CCommand::QUIT)) return -1;
  CServerReply reply;
  ReadReply(reply);
  // The connection is finished with whatever the server answered.
  try {
    m_controlSocket->Close();
  } catch (const CBlockingSocketException&) {
  }
  CloseControlQuietly();
  return reply.Status();
}

bool CFTPClient::SendCommand(const CCommand& command, const CArg& arguments) {
  if (!IsConnected()) return false;
  if (!AreSafeArguments(arguments)) {
    ReportError(kUnsafeArgument);
    return false;
  }
  DiscardPendingReplies();
  if (!IsConnected()) return false;
  ForEachObserver([&](CNotification& o) { o.NotifyCommand(command, arguments); });
  if (lcVantrelFtp().isInfoEnabled()) {
    // The password is the PIN code: whatever it is, the log shows stars.
    const std::string shown = command == CCommand::PASS ? command.AsString(CArg{"****"}) : command.AsString(arguments);
    qCInfo(lcVantrelFtp).noquote() << QString::fromStdString("> " + shown);
  }
  const std::string line = command.AsString(arguments) + m_lineEnd;
  try {
    m_controlSocket->Send(line.data(), static_cast<int>(line.size()), m_timeoutSeconds);
    return true;
  } catch (const CBlockingSocketException& error) {
    ReportSocketError(error);
    CloseControlQuietly();
    return false;
  }
}

void CFTPClient::AppendReplyBytes(const char* data, int count) {
  for (int i = 0; i < count; ++i) {
    const char c = data[i];
    if (c == '\0') continue;  // a zero byte never belongs to a reply text
    m_partialLine += c;
    if (c == '\n') {
      m_replyLines.push_back(std::move(m_partialLine));
      m_partialLine.clear();
    }
  }
}

CFTPClient::Clock::time_point CFTPClient::ReplyDeadline() const {
  // The time-out, and a fifth more for a line that is still arriving.
  return Clock::now() + std::chrono::milliseconds(std::max(m_timeoutSeconds, 0) * 1200);
}

bool CFTPClient::ReadReplyLine(std::string& line) { return ReadLineBefore(line, ReplyDeadline()); }

bool CFTPClient::ReadLineBefore(std::string& line, Clock::time_point deadline) {
  line.clear();
  if (!IsConnected()) return false;
  try {
    // Only complete lines are delivered: a line split across receives (even
    // between CR and LF) is joined first. The whole line has one deadline, so
    // a server that trickles bytes without a line end cannot hold us.
    while (m_replyLines.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0 || !m_controlSocket->WaitReadable(static_cast<int>(std::min<long long>(left, INT32_MAX)))) {
        ReportError(kReplyTimeout);
        m_lastFailure = Failure::kTimeout;
        CloseControlQuietly();
        return false;
      }
      const int received =
          m_controlSocket->Receive(m_buffer.data(), static_cast<int>(m_buffer.size()) - 1, m_timeoutSeconds);
      if (received == 0) {
        if (m_partialLine.empty()) {
          ReportError(kConnectionClosed);
          m_lastFailure = Failure::kClosed;
          CloseControlQuietly();
          return false;
        }
        m_replyLines.push_back(std::move(m_partialLine));  // the last words before the close
        m_partialLine.clear();
        break;
      }
      AppendReplyBytes(m_buffer.data(), received);
      if (m_partialLine.size() > kMaxReplyBytes) {
        ReportError(kReplyTooLong);
        m_lastFailure = Failure::kProtocol;
        CloseControlQuietly();
        return false;
      }
    }
  } catch (const CBlockingSocketException& error) {
    ReportSocketError(error);
    m_lastFailure = error.GetMessage() == "Receive timeout" ? Failure::kTimeout : Failure::kClosed;
    CloseControlQuietly();
    return false;
  }
  line = std::move(m_replyLines.front());
  m_replyLines.pop_front();
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool CFTPClient::ReadReply(CServerReply& reply) {
  reply.Clear();
  const Clock::time_point deadline = ReplyDeadline();
  std::string line;
  if (!ReadLineBefore(line, deadline)) return false;
  std::string text = line;
  if (line.size() > 3 && line[3] == '-') {
    const long number = LeadingNumber(line);
    for (;;) {
      if (!ReadLineBefore(line, deadline)) return false;
      text += m_lineEnd;
      text += line;
      if (text.size() > kMaxReplyBytes) {
        ReportError(kReplyTooLong);
        m_lastFailure = Failure::kProtocol;
        CloseControlQuietly();
        return false;
      }
      if (line.size() > 3 && line[3] == ' ' && LeadingNumber(line) == number) break;
    }
  }
  const bool valid = reply.Set(std::move(text));
  if (!valid) m_lastFailure = Failure::kProtocol;
  ForEachObserver([&](CNotification& o) { o.NotifyReply(reply); });
  if (lcVantrelFtp().isInfoEnabled()) qCInfo(lcVantrelFtp).noquote() << QString::fromStdString("< " + reply.Value());
  return valid;
}

void CFTPClient::DiscardPendingReplies() {
  if (m_pendingReplies <= 0) return;
  // The closing reply of a failed transfer, or the second reply after ABOR,
  // would otherwise be taken as the answer to the next command.
  const int waitMs = std::min(kPendingReplyWaitMilliseconds, std::max(m_timeoutSeconds, 0) * 1000);
  int expected = m_pendingReplies;
  m_pendingReplies = 0;
  int extra = 2;  // servers that send one more than expected
  while (IsConnected()) {
    bool ready = !m_replyLines.empty();
    try {
      if (!ready) ready = expected > 0 ? m_controlSocket->WaitReadable(waitMs) : m_controlSocket->IsReadable();
    } catch (const CBlockingSocketException& error) {
      ReportSocketError(error);
      CloseControlQuietly();
      return;
    }
    if (!ready) {
      if (expected > 0) {
        // A reply coming later would be taken as the answer to the next
        // command, and every later one as its predecessor's: start afresh.
        vantrel::LogError("FTP: %d owed replies missing, control connection dropped", expected);
        ReportError(kOutOfStep);
        CloseControlQuietly();
      }
      return;
    }
    if (expected > 0) {
      --expected;
    } else if (extra-- <= 0) {
      return;
    }
    CServerReply stale;
    ReadReply(stale);
    vantrel::LogMessage("Discarded reply %s", stale.Value().c_str());
  }
}

int CFTPClient::SimpleCommand(const CCommand& command, const CArg& arguments, CServerReply* reply) {
  CServerReply local;
  CServerReply& target = reply != nullptr ? *reply : local;
  target.Clear();
  if (!SendCommand(command, arguments)) return -1;
  if (!ReadReply(target)) return -1;
  return target.Status();
}

int CFTPClient::ChangeDir(const std::string& path) { return SimpleCommand(CCommand::CWD, {path}); }
int CFTPClient::ParentDir() { return SimpleCommand(CCommand::CDUP, {}); }
int CFTPClient::CreateDir(const std::string& path) { return SimpleCommand(CCommand::MKD, {path}); }
int CFTPClient::RemoveDir(const std::string& path) { return SimpleCommand(CCommand::RMD, {path}); }
int CFTPClient::DeleteFile(const std::string& path) { return SimpleCommand(CCommand::DELE, {path}); }

int CFTPClient::RenameFile(const std::string& from, const std::string& to) {
  CServerReply reply;
  const int status = SimpleCommand(CCommand::RNFR, {from}, &reply);
  if (reply.Class() == '3') return SimpleCommand(CCommand::RNTO, {to});
  return status == 1 ? 1 : -1;
}

int CFTPClient::RemoteFileSize(const std::string& path, std::int64_t& size) {
  CServerReply reply;
  const int status = SimpleCommand(CCommand::SIZE, {path}, &reply);
  if (!reply.Value().empty()) size = SizeFromReply(reply.Value());
  return status;
}

int CFTPClient::SetTransferType(const CTransferType& type) {
  if (m_transferType && *m_transferType == type) return 0;
  const int status = SimpleCommand(CCommand::TYPE, {type.AsTypeCode()});
  if (status == 0) {
    m_transferType = type;
  } else {
    m_transferType.reset();
  }
  return status;
}

bool CFTPClient::AddObserver(CNotification* observer) {
  if (observer == nullptr || std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
    return false;
  }
  m_observers.push_back(observer);
  observer->InsertSubject(this);
  return true;
}

bool CFTPClient::RemoveObserver(CNotification* observer) {
  const auto it = std::find(m_observers.begin(), m_observers.end(), observer);
  if (it == m_observers.end()) return false;
  m_observers.erase(it);
  observer->EraseSubject(this);
  return true;
}

std::string FormatPortArgument(const std::string& dottedAddress, unsigned port) {
  std::string argument = dottedAddress;
  std::replace(argument.begin(), argument.end(), '.', ',');
  argument += ',' + std::to_string((port / 256) % 256) + ',' + std::to_string(port % 256);
  return argument;
}

}  // namespace nsFTP
