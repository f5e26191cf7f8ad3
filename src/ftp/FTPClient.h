#pragma once
// The FTP client every window uses to talk to the receiver: control
// connection and login, the simple directory and file commands, active-mode
// listings, downloads and uploads with progress notifications, and a cancel
// that another thread may request.
//
// Results: Login, OpenControlChannel, SendCommand, ReadReply(Line), List,
// DownloadFile and UploadFile give true or false; the command operations a
// status of 0 (reply class 2), 1 (class 4 or 5) or -1 (anything else). No
// socket exception ever leaves the client: failures go to the observers'
// NotifyError and the affected connection is closed.
//
// One thread uses a client at a time; the only calls from another thread are
// Abort, AbortForGood and Interrupt.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "core/DataPortRange.h"
#include "ftp/FTPCommand.h"
#include "ftp/FTPFileStatus.h"
#include "ftp/Interface.h"
#include "ftp/ObserverPatternBase.h"
#include "ftp/ServerLogin.h"
#include "ftp/ServerReply.h"
#include "ftp/TransferType.h"
#include "net/IBlockingSocket.h"
#include "net/SocketInterrupt.h"

namespace nsFTP {

class CFile;

class CFTPClient {
 public:
  class CNotification;
  using TObserverSet = std::vector<CNotification*>;

  // An observer of a client. Every notification does nothing unless an
  // observer overrides it. Notifications of a transfer run on the thread
  // that runs the transfer, once per 2048-byte chunk: keep them cheap.
  class CNotification : public nsHelper::CObserverPatternBase<CFTPClient> {
   public:
    CNotification() = default;
    CNotification(const CNotification&) = default;
    CNotification& operator=(const CNotification&) = default;
    // Detaches from every client it is still attached to.
    ~CNotification() override;

    virtual void NotifyError(const std::string& /*error*/, const std::string& /*location*/, unsigned /*line*/) {}
    virtual void NotifyReceiveBegin() {}
    virtual void NotifyReceiveEnd(std::int64_t /*totalBytes*/) {}
    virtual void NotifyChunkReceived(const char* /*buffer*/, int /*bytes*/) {}
    virtual void NotifyChunkSent(const char* /*buffer*/, int /*bytes*/) {}
    virtual void NotifyDownloadBegin(const std::string& /*remote*/, const std::string& /*local*/,
                                     std::int64_t /*remoteSize*/) {}
    virtual void NotifyUploadBegin(const std::string& /*local*/, const std::string& /*remote*/,
                                   std::int64_t /*localSize*/) {}
    virtual void NotifyDownloadEnd(const std::string& /*remote*/, const std::string& /*local*/,
                                   std::int64_t /*remoteSize*/) {}
    virtual void NotifyUploadEnd(const std::string& /*local*/, const std::string& /*remote*/,
                                 std::int64_t /*localSize*/) {}
    virtual void NotifyCommand(const CCommand& /*command*/, const CArg& /*arguments*/) {}
    virtual void NotifyReply(const CServerReply& /*reply*/) {}
  };

  // The source or target of the bytes of one transfer.
  class ITransferNotification : public IInterface {
   public:
    virtual std::string GetName() const = 0;
    virtual std::int64_t GetSize() = 0;
    virtual void Seek(std::int64_t offset) = 0;
    // false when the bytes could not be stored (a full disk): the transfer stops.
    virtual bool PutData(const char* data, int count) = 0;
    // Up to `capacity` bytes; count 0 is the end. false on a read error.
    virtual bool GetData(char* destination, int capacity, int& count) = 0;
  };

  // Turns one line of a listing into an entry.
  class IFileListParser : public IInterface {
   public:
    virtual bool Parse(CFTPFileStatus& status, const std::string& line) = 0;
  };

  static constexpr int kDefaultTimeoutSeconds = 10;
  static constexpr int kDefaultBufferSize = 2048;
  // A reply line or a whole reply beyond this fails like a broken connection.
  static constexpr std::size_t kMaxReplyBytes = 64 * 1024;
  // "1xx" replies a welcome may start with before its 220.
  static constexpr int kMaxPreliminaryReplies = 5;

  // Why the last Login failed.
  enum class Failure {
    kNone,
    kRefused,       // nothing listens on the port
    kUnreachable,   // no route, no such host
    kTimeout,       // no (whole) answer within the bound
    kClosed,        // the receiver closed the connection
    kRejected,      // a welcome of class 4 or 5
    kLoginRefused,  // USER or PASS answered with class 4 or 5: a wrong PIN code
    kProtocol,      // a reply that is not FTP, or not one the logon allows
    kOther,
  };
  static const char* FailureText(Failure failure);
  // An upload reads and sends this many buffers at a time.
  static constexpr int kSendChunksPerBlock = 32;

  // Takes ownership of the control socket (a new CBlockingSocket when none
  // is given); listening and data sockets are made with its NewInstance.
  explicit CFTPClient(std::unique_ptr<nsSocket::IBlockingSocket> controlSocket = nullptr,
                      int timeoutSeconds = kDefaultTimeoutSeconds, int bufferSize = kDefaultBufferSize);
  ~CFTPClient();
  CFTPClient(const CFTPClient&) = delete;
  CFTPClient& operator=(const CFTPClient&) = delete;

  // Connects, reads the welcome reply and runs USER / PASS / ACCT as the
  // server asks. With `extractVersion` the receiver's model and version are
  // taken from the final logon reply (GetTargetVersion). A connection that
  // is open is logged out first. A cancel requested before is forgotten.
  // Every reply, the welcome included, must be whole within 1.2 times the
  // time-out; after the failure, GetLoginFailure tells why.
  bool Login(const CServerLogin& logon, bool extractVersion = false);
  Failure GetLoginFailure() const { return m_lastFailure; }
  // QUIT; the control connection is closed afterwards.
  int Logout();
  bool IsConnected() const;
  bool OpenControlChannel(const std::string& host, unsigned short port);

  int ChangeDir(const std::string& path);
  int ParentDir();
  int CreateDir(const std::string& path);
  int RemoveDir(const std::string& path);
  int DeleteFile(const std::string& path);
  int RenameFile(const std::string& from, const std::string& to);
  // The size from the SIZE reply, whenever one was read (0 without digits).
  int RemoteFileSize(const std::string& path, std::int64_t& size);
  // TYPE only when the type differs from the one last set.
  int SetTransferType(const CTransferType& type);

  // One command line; an argument holding CR, LF or NUL is refused and
  // nothing is sent.
  bool SendCommand(const CCommand& command, const CArg& arguments = {});
  bool ReadReply(CServerReply& reply);
  bool ReadReplyLine(std::string& line);

  bool AddObserver(CNotification* observer);
  bool RemoveObserver(CNotification* observer);
  const TObserverSet& GetObservers() const { return m_observers; }

  // LIST over an active data connection in ASCII type. On success the
  // entries are replaced by the lines the parser accepts, in the server's
  // order; on failure they are left as they were.
  bool List(const std::string& path, TFTPFileStatusShPtrVec& entries);
  // Writes a new local file from its first byte, into a temporary beside it
  // that replaces the file only when complete: after a failure, a cancel or
  // fewer bytes than SIZE announced, the PC file stays as it was.
  bool DownloadFile(const std::string& remotePath, const std::string& localPath,
                    const CTransferType& type = CTransferType::ImageType());
  bool UploadFile(const std::string& localPath, const std::string& remotePath,
                  const CTransferType& type = CTransferType::ImageType());
  // Requests a cancel; callable from any thread. A running transfer stops
  // after its current chunk (ABOR is then sent by the transferring thread);
  // without one, the request is honoured by the next transfer, until the
  // next Login forgets it. Always 0.
  int Abort();
  // Abort for a client whose owner is going away (the program ends): the
  // running transfer stops within a fifth of a second, and the control
  // connection is closed instead of waiting for the receiver's answer to ABOR.
  void AbortForGood();
  // Abort that does not wait for the receiver at all: every wait of the
  // control, listening and data sockets ends at once, the running command
  // fails and its connection is closed. Callable from any thread; holds until
  // ClearInterrupt, which only the thread using the client calls.
  void Interrupt();
  void ClearInterrupt();
  bool IsTransferring() const { return m_transferring.load(); }
  bool IsAbortRequested() const { return m_abortRequested.load(); }

  // The PC ports the receiver is told to connect back to; a busy one is
  // skipped. Without a call, the settings' range (any port when none is set)
  // is read at each data command.
  void SetDataPortRange(const vantrel::DataPortRange& ports) { m_dataPorts = ports; }
  // The last data command failed because the receiver never connected back
  // to the port it was given (a firewall on the PC, most likely).
  bool ReceiverDidNotConnectBack() const { return m_noConnectBack; }

  // Model word and version of the last Login asked to extract it.
  std::string GetTargetVersion() const { return m_targetVersion.data(); }
  const CServerLogin& GetLogonInfo() const { return m_logon; }
  int GetTimeout() const { return m_timeoutSeconds; }

 private:
  using Clock = std::chrono::steady_clock;

  Clock::time_point ReplyDeadline() const;
  bool ReadLineBefore(std::string& line, Clock::time_point deadline);
  bool LoginFailed();
  void ReportError(const std::string& text, std::source_location where = std::source_location::current());
  void ReportSocketError(const nsSocket::CBlockingSocketException& error,
                         std::source_location where = std::source_location::current());
  void ReportSystemError(int errorCode, std::source_location where = std::source_location::current());
  // Closes the control connection and forgets what belonged to it.
  void CloseControlQuietly();
  void AppendReplyBytes(const char* data, int count);
  // Reads the replies a failed or cancelled transfer left owed, within a
  // short bound; when they do not come, the control connection is dropped.
  void DiscardPendingReplies();
  int SimpleCommand(const CCommand& command, const CArg& arguments, CServerReply* reply = nullptr);
  void ExtractVersion(const std::string& reply);
  bool TakeAbortRequest();
  // The checks before a transfer: a safe receiver path, no cancel pending,
  // the PC file opened with mode. false, reported, when one fails.
  bool PrepareTransfer(const std::string& remotePath, const std::string& localPath, const char* mode, CFile& file);

  bool ExecuteDataCommand(const CCommand& command, const std::string& argument, const CTransferType& type,
                          ITransferNotification& data);
  bool OpenActiveDataConnection(const CCommand& command, const std::string& argument, nsSocket::IBlockingSocket& data);
  bool ReceiveData(nsSocket::IBlockingSocket& data, ITransferNotification& target);
  // One receive within the time-out, waiting in short slices so that an abort
  // is seen at once; 0 (as at the end of the data) when an abort came first.
  int ReceiveChunk(nsSocket::IBlockingSocket& data, char* buffer, int capacity);
  bool SendData(nsSocket::IBlockingSocket& data, ITransferNotification& source);
  int SendAbort();

  template <class F>
  void ForEachObserver(F&& notify) {
    // An observer that detaches itself while being notified does not make the next one miss out.
    for (std::size_t i = 0; i < m_observers.size();) {
      CNotification* observer = m_observers[i];
      notify(*observer);
      if (i < m_observers.size() && m_observers[i] == observer) ++i;
    }
  }

  int m_timeoutSeconds;
  const std::string m_lineEnd = "\r\n";
  std::vector<char> m_buffer;
  std::vector<char> m_sendBlock;  // made on the first upload
  std::deque<std::string> m_replyLines;
  std::string m_partialLine;  // received bytes of a line whose end has not arrived yet
  std::optional<CTransferType> m_transferType;
  std::shared_ptr<nsSocket::CSocketInterrupt> m_interrupt = std::make_shared<nsSocket::CSocketInterrupt>();
  std::unique_ptr<nsSocket::IBlockingSocket> m_controlSocket;
  std::unique_ptr<IFileListParser> m_listParser;
  std::atomic<bool> m_transferring{false};
  std::atomic<bool> m_abortRequested{false};
  std::atomic<bool> m_leaving{false};
  int m_pendingReplies = 0;
  Failure m_lastFailure = Failure::kNone;  // why the last Login failed
  TObserverSet m_observers;
  std::optional<vantrel::DataPortRange> m_dataPorts;
  bool m_noConnectBack = false;
  CServerLogin m_logon;
  std::array<char, 256> m_targetVersion{};
};

// The PORT argument: the dotted address with ',' for '.', then the port's
// high and low byte ("192.168.1.20", 5000 gives "192,168,1,20,19,136").
std::string FormatPortArgument(const std::string& dottedAddress, unsigned port);

// What the user is told when the receiver never connected back: the PC's
// firewall may block it, and which ports to open (or to choose some).
std::string NoConnectBackText(const vantrel::DataPortRange& ports);

}  // namespace nsFTP
