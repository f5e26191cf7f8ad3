// Active-mode data transfers of the client: listings, downloads, uploads and
// their cancellation.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/ReplacementFile.h"
#include "core/TextTable.h"
#include "ftp/FTPClient.h"
#include "ftp/File.h"
#include "ftp/OutputStream.h"

namespace nsFTP {
namespace {

using nsSocket::CBlockingSocketException;
using nsSocket::IBlockingSocket;

const char kUnsafeArgument[] = "Command argument holds CR, LF or NUL";
constexpr int kTextNoConnectBackOnPorts = 351;
constexpr int kTextNoConnectBackAnyPort = 352;

// The target of a listing: lines are parsed as they arrive, so the listing
// itself is never held whole, and the entries share one block of memory and
// one copy of the listed path (a folder of a million files costs a few
// hundred megabytes, not gigabytes).
class CListingTarget final : public CFTPClient::ITransferNotification {
 public:
  CListingTarget(CFTPClient::IFileListParser& parser, const std::string& path)
      : m_parser(parser), m_path(std::make_shared<const std::string>(path)), m_block(std::make_shared<CBlock>()) {}

  std::string GetName() const override { return "LIST"; }
  std::int64_t GetSize() override { return m_received; }
  void Seek(std::int64_t) override {}
  bool GetData(char*, int, int& count) override {
    count = 0;
    return true;
  }
  bool PutData(const char* data, int count) override {
    if (count <= 0) return true;
    m_received += count;
    if (m_received > static_cast<std::int64_t>(COutputStream::kMaxBytes)) {
      errno = EFBIG;  // a listing this large is refused rather than filling the memory
      return false;
    }
    const char* const end = data + count;
    for (const char* from = data; from < end;) {
      const char* newline = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
      if (newline == nullptr) {
        m_partial.append(from, end);
        break;
      }
      if (m_partial.empty()) {
        ParseLine(std::string_view(from, static_cast<std::size_t>(newline - from)));
      } else {
        m_partial.append(from, newline);
        ParseLine(m_partial);
        m_partial.clear();
      }
      from = newline + 1;
    }
    return true;
  }

  // The entries, in the server's order; a last line without an end counts too.
  void Finish(TFTPFileStatusShPtrVec& entries) {
    if (!m_partial.empty()) ParseLine(m_partial);
    m_partial.clear();
    entries.clear();
    entries.reserve(m_block->count);
    // Each entry keeps the whole block alive, as the entries of one listing are kept together anyway.
    for (std::size_t i = 0; i < m_block->count; ++i) entries.emplace_back(m_block, &m_block->At(i));
  }

 private:
  // Entries in chunks that never move, without a heap block of their own each.
  struct CBlock {
    static constexpr std::size_t kChunk = 4096;
    CFTPFileStatus& At(std::size_t i) { return chunks[i / kChunk][i % kChunk]; }
    CFTPFileStatus& Next() {
      if (count == chunks.size() * kChunk) chunks.push_back(std::make_unique<CFTPFileStatus[]>(kChunk));
      return At(count);
    }
    std::vector<std::unique_ptr<CFTPFileStatus[]>> chunks;
    std::size_t count = 0;
  };

  void ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_line.assign(line);
    CFTPFileStatus& status = m_block->Next();
    if (m_parser.Parse(status, m_line)) {
      status.SetPath(m_path);
      ++m_block->count;
    } else {
      status.Reset();  // the slot serves the next line
    }
  }

  CFTPClient::IFileListParser& m_parser;
  std::shared_ptr<const std::string> m_path;
  std::shared_ptr<CBlock> m_block;
  std::string m_partial;  // the start of a line whose end has not arrived yet
  std::string m_line;
  std::int64_t m_received = 0;
};

}  // namespace

std::string NoConnectBackText(const vantrel::DataPortRange& ports) {
  if (ports.IsAny()) return vantrel::GetText(kTextNoConnectBackAnyPort);
  return vantrel::Format(vantrel::GetText(kTextNoConnectBackOnPorts), vantrel::FormatDataPortRange(ports).c_str());
}

bool CFTPClient::TakeAbortRequest() { return m_abortRequested.exchange(false); }

int CFTPClient::Abort() {
  // Only a request: ABOR is written by the thread that runs the transfer,
  // never by a second thread while the first may be using the connection.
  m_abortRequested = true;
  return 0;
}

void CFTPClient::AbortForGood() {
  m_leaving = true;
  m_abortRequested = true;
  m_interrupt->Trigger();  // a login, connect-back or stalled send ends now, not at its time-out
}

void CFTPClient::Interrupt() {
  m_abortRequested = true;
  m_interrupt->Trigger();
}

void CFTPClient::ClearInterrupt() {
  m_interrupt->Reset();
  m_abortRequested = false;
}

int CFTPClient::SendAbort() {
  m_abortRequested = false;
  if (m_leaving) {
    // Nobody waits for the outcome any more: no ABOR exchange to wait for.
    CloseControlQuietly();
    return -1;
  }
  const int status = SimpleCommand(CCommand::ABOR, {});
  // Servers answer ABOR with the aborted transfer's reply and one of their own.
  if (IsConnected()) m_pendingReplies = 1;
  return status;
}

bool CFTPClient::List(const std::string& path, TFTPFileStatusShPtrVec& entries) {
  CListingTarget listing(*m_listParser, path);
  if (!ExecuteDataCommand(CCommand::LIST, path, CTransferType::ASCII, listing)) return false;
  listing.Finish(entries);
  return true;
}

bool CFTPClient::PrepareTransfer(const std::string& remotePath, const std::string& localPath, const char* mode,
                                 CFile& file) {
  if (!IsSafeArgument(remotePath)) {
    ReportError(kUnsafeArgument);
    return false;
  }
  if (TakeAbortRequest()) return false;
  if (!file.Open(localPath, mode)) {
    ReportSystemError(errno);
    return false;
  }
  return true;
}

bool CFTPClient::DownloadFile(const std::string& remotePath, const std::string& localPath, const CTransferType& type) {
  if (!IsSafeArgument(remotePath)) {
    ReportError(kUnsafeArgument);
    return false;
  }
  if (TakeAbortRequest()) return false;
  // The bytes go to a temporary beside the PC file, which is replaced only
  // by a complete download: a refused, broken or cancelled one leaves the
  // user's earlier copy as it was.
  vantrel::CReplacementFile replacement;
  std::string why;
  if (!replacement.Create(localPath, &why)) {
    vantrel::LogError("DownloadFile %s", why.c_str());
    ReportSystemError(errno);
    return false;
  }
  CFile file;
  if (!file.Attach(replacement.ReleaseHandle(), replacement.TempPath(), "wb")) {
    ReportSystemError(errno);
    return false;
  }
  // TYPE I first: many servers refuse SIZE in ASCII mode.
  SetTransferType(type);
  std::int64_t size = 0;
  const bool sized = RemoteFileSize(remotePath, size) == 0;
  ForEachObserver([&](CNotification& o) { o.NotifyDownloadBegin(remotePath, localPath, size); });
  bool result = ExecuteDataCommand(CCommand::RETR, remotePath, type, file);
  ForEachObserver([&](CNotification& o) { o.NotifyDownloadEnd(remotePath, localPath, size); });
  const std::int64_t received = file.GetSize();
  if (!file.Close(result)) {
    ReportSystemError(errno);  // the last buffered bytes did not reach the disk
    result = false;
  }
  // A closing 226 after fewer bytes than SIZE announced is a cut-short file,
  // not a download. More bytes are a file that grew meanwhile (a recording
  // still running) and are kept.
  if (result && sized && received < size) {
    const std::string text =
        "Incomplete download: " + std::to_string(received) + " of " + std::to_string(size) + " bytes arrived";
    vantrel::LogError("DownloadFile %s: %s", remotePath.c_str(), text.c_str());
    ReportError(text);
    result = false;
  }
  if (result && !replacement.Commit(&why)) {
    ReportError(why);
    result = false;
  }
  return result;  // an uncommitted temporary goes with `replacement`
}

bool CFTPClient::UploadFile(const std::string& localPath, const std::string& remotePath, const CTransferType& type) {
  CFile file;
  if (!PrepareTransfer(remotePath, localPath, "rb", file)) return false;
  const std::int64_t size = file.GetSize();
  file.Seek(0);
  ForEachObserver([&](CNotification& o) { o.NotifyUploadBegin(localPath, remotePath, size); });
  const bool result = ExecuteDataCommand(CCommand::STOR, remotePath, type, file);
  ForEachObserver([&](CNotification& o) { o.NotifyUploadEnd(localPath, remotePath, size); });
  file.Close();
  return result;
}

bool CFTPClient::ExecuteDataCommand(const CCommand& command, const std::string& argument, const CTransferType& type,
                                    ITransferNotification& data) {
  const int kind = command.GetExtendedInfo().GetTypeOfDataConnection();
  if (kind != CCommand::kReceivesData && kind != CCommand::kSendsData) return false;
  if (m_transferring || !IsConnected()) return false;
  m_noConnectBack = false;
  if (!IsSafeArgument(argument)) {
    ReportError(kUnsafeArgument);
    return false;
  }
  if (TakeAbortRequest()) return false;  // a cancel that came between two transfers
  if (SetTransferType(type) != 0) return false;

  std::unique_ptr<IBlockingSocket> dataSocket = m_controlSocket->NewInstance();
  if (!OpenActiveDataConnection(command, argument, *dataSocket)) return false;
  bool transferred = kind == CCommand::kSendsData ? SendData(*dataSocket, data) : ReceiveData(*dataSocket, data);
  try {
    dataSocket->Close();  // for an upload this is the end of the data
  } catch (const CBlockingSocketException& error) {
    ReportSocketError(error);
    dataSocket->CloseQuietly();
    if (transferred) m_pendingReplies = 1;
    transferred = false;
  }
  if (!transferred) return false;
  CServerReply reply;
  return ReadReply(reply) && reply.Class() == '2';
}

bool CFTPClient::OpenActiveDataConnection(const CCommand& command, const std::string& argument, IBlockingSocket& data) {
  std::unique_ptr<IBlockingSocket> listener = m_controlSocket->NewInstance();
  nsSocket::SocketAddress listening{}, local{}, server{};
  const vantrel::DataPortRange ports = m_dataPorts ? *m_dataPorts : vantrel::GetSettings().GetDataPorts();
  try {
    listener->Create(nsSocket::kStreamSocket);
    if (ports.IsAny()) {
      listener->Bind(nsSocket::AnyAddress(0));
    } else {
      // The first port of the range that is free; the last failure is reported when none is.
      for (unsigned port = ports.first;; ++port) {
        try {
          listener->Bind(nsSocket::AnyAddress(static_cast<unsigned short>(port)));
          break;
        } catch (const CBlockingSocketException&) {
          if (port >= ports.last) throw;
        }
      }
    }
    listener->GetSockName(listening);
    listener->Listen();
    m_controlSocket->GetSockName(local);
    m_controlSocket->GetPeerName(server);
  } catch (const CBlockingSocketException& error) {
    ReportSocketError(error);
    return false;  // the listener closes with its object
  }
  const std::string portArgument = FormatPortArgument(nsSocket::AddressText(local), nsSocket::AddressPort(listening));
  if (SimpleCommand(CCommand::PORT, {portArgument}) != 0) return false;
  CServerReply reply;
  if (!SendCommand(command, {argument}) || !ReadReply(reply) || reply.Class() != '1') return false;
  // From here on the server owes a closing reply, whatever happens to the data connection.
  try {
    nsSocket::SocketAddress peer{};
    // Only the server may connect: anyone else on the network is turned away.
    if (!listener->Accept(data, peer, m_timeoutSeconds, &server.sin_addr)) {
      ReportError("Accept");
      m_pendingReplies = 1;
      return false;
    }
  } catch (const CBlockingSocketException& error) {
    if (error.GetMessage() == "Accept timeout") {  // nothing ever reached the port
      m_noConnectBack = true;
      ReportError(NoConnectBackText(ports));
    } else {
      ReportSocketError(error);
    }
    data.CloseQuietly();
    m_pendingReplies = 1;
    return false;
  }
  return true;
}

int CFTPClient::ReceiveChunk(IBlockingSocket& data, char* buffer, int capacity) {
  constexpr int kSliceMs = 200;
  const auto deadline = Clock::now() + std::chrono::seconds(std::max(m_timeoutSeconds, 0));
  while (!m_abortRequested.load(std::memory_order_relaxed)) {
    if (data.WaitReadable(kSliceMs)) return data.Receive(buffer, capacity, m_timeoutSeconds);
    if (Clock::now() >= deadline) throw CBlockingSocketException("Receive timeout", ETIMEDOUT);
  }
  return 0;
}

bool CFTPClient::ReceiveData(IBlockingSocket& data, ITransferNotification& target) {
  m_transferring = true;
  ForEachObserver([](CNotification& o) { o.NotifyReceiveBegin(); });
  char* const buffer = m_buffer.data();
  const int capacity = static_cast<int>(m_buffer.size());
  std::int64_t total = 0;
  int storeError = 0;
  try {
    // Only chunks handed on count: one read after a cancel is neither stored nor reported.
    int received = ReceiveChunk(data, buffer, capacity);
    while (!m_abortRequested.load(std::memory_order_relaxed) && received != 0) {
      ForEachObserver([&](CNotification& o) { o.NotifyChunkReceived(buffer, received); });
      if (!target.PutData(buffer, received)) {
        storeError = errno != 0 ? errno : EIO;
        break;
      }
      total += received;
      received = ReceiveChunk(data, buffer, capacity);
    }
    ForEachObserver([&](CNotification& o) { o.NotifyReceiveEnd(total); });
  } catch (const CBlockingSocketException& error) {
    m_transferring = false;
    ReportSocketError(error);
    data.CloseQuietly();
    m_pendingReplies = 1;
    return false;
  }
  m_transferring = false;
  if (storeError != 0) ReportSystemError(storeError);
  if (storeError != 0 || m_abortRequested) {
    // Closed before ABOR so that a server stuck writing to us is free to answer.
    data.CloseQuietly();
    SendAbort();
    return false;
  }
  return true;
}

bool CFTPClient::SendData(IBlockingSocket& data, ITransferNotification& source) {
  m_transferring = true;
  // The file is read and sent in blocks of many chunks, one system call each;
  // observers still hear of every chunk of the client's buffer size.
  const int chunk = static_cast<int>(m_buffer.size());
  const int capacity = chunk * kSendChunksPerBlock;
  if (m_sendBlock.size() < static_cast<std::size_t>(capacity)) m_sendBlock.resize(static_cast<std::size_t>(capacity));
  char* const block = m_sendBlock.data();
  int readError = 0;
  try {
    for (;;) {
      int count = 0;
      if (!source.GetData(block, capacity, count)) {
        readError = errno != 0 ? errno : EIO;
        break;
      }
      if (m_abortRequested.load(std::memory_order_relaxed) || count == 0) break;
      const int sent = data.Send(block, count, m_timeoutSeconds);
      for (int at = 0; at < sent; at += chunk) {
        const int bytes = std::min(chunk, sent - at);
        ForEachObserver([&](CNotification& o) { o.NotifyChunkSent(block + at, bytes); });
      }
    }
  } catch (const CBlockingSocketException& error) {
    m_transferring = false;
    ReportSocketError(error);
    // A plain close would end the file for the server, which then keeps the
    // part that arrived as complete: ABOR first, as a cancel does.
    SendAbort();
    data.CloseQuietly();
    return false;
  }
  m_transferring = false;
  if (readError != 0) ReportSystemError(readError);
  if (readError != 0 || m_abortRequested) {
    // ABOR while the data connection is open, so the server does not take
    // the close for the end of a complete file.
    SendAbort();
    data.CloseQuietly();
    return false;
  }
  return true;
}

}  // namespace nsFTP
