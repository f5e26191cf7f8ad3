// Active-mode data transfers of the client: listings, downloads, uploads and
// their cancellation.
#include <cerrno>

#include "core/DiagLog.h"
#include "core/ReplacementFile.h"
#include "ftp/FTPClient.h"
#include "ftp/File.h"
#include "ftp/OutputStream.h"

namespace nsFTP {
namespace {

using nsSocket::CBlockingSocketException;
using nsSocket::IBlockingSocket;

const char kUnsafeArgument[] = "Command argument holds CR, LF or NUL";

}  // namespace

bool CFTPClient::TakeAbortRequest() { return m_abortRequested.exchange(false); }

int CFTPClient::Abort() {
  // Only a request: ABOR is written by the thread that runs the transfer,
  // never by a second thread while the first may be using the connection.
  m_abortRequested = true;
  return 0;
}

int CFTPClient::SendAbort() {
  m_abortRequested = false;
  const int status = SimpleCommand(CCommand::ABOR, {});
  // Servers answer ABOR with the aborted transfer's reply and one of their own.
  if (IsConnected()) m_pendingReplies = 1;
  return status;
}

bool CFTPClient::List(const std::string& path, TFTPFileStatusShPtrVec& entries) {
  COutputStream stream(m_lineEnd, CCommand(CCommand::LIST).AsString());
  if (!ExecuteDataCommand(CCommand::LIST, path, CTransferType::ASCII, stream)) return false;
  entries.clear();
  stream.SetStartPosition();
  std::string line;
  while (stream.GetNextLine(line)) {
    auto status = std::make_shared<CFTPFileStatus>();
    if (m_listParser->Parse(*status, line)) {
      status->m_path = path;
      entries.push_back(std::move(status));
    }
  }
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
  try {
    listener->Create(nsSocket::kStreamSocket);
    listener->Bind(nsSocket::AnyAddress(0));
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
    ReportSocketError(error);
    data.CloseQuietly();
    m_pendingReplies = 1;
    return false;
  }
  return true;
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
    int received = data.Receive(buffer, capacity, m_timeoutSeconds);
    while (!m_abortRequested.load(std::memory_order_relaxed) && received != 0) {
      ForEachObserver([&](CNotification& o) { o.NotifyChunkReceived(buffer, received); });
      if (!target.PutData(buffer, received)) {
        storeError = errno != 0 ? errno : EIO;
        break;
      }
      total += received;
      received = data.Receive(buffer, capacity, m_timeoutSeconds);
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
  char* const buffer = m_buffer.data();
  const int capacity = static_cast<int>(m_buffer.size());
  int readError = 0;
  try {
    for (;;) {
      int count = 0;
      if (!source.GetData(buffer, capacity, count)) {
        readError = errno != 0 ? errno : EIO;
        break;
      }
      if (m_abortRequested.load(std::memory_order_relaxed) || count == 0) break;
      const int sent = data.Send(buffer, count, m_timeoutSeconds);
      ForEachObserver([&](CNotification& o) { o.NotifyChunkSent(buffer, sent); });
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
