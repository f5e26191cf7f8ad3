#include "channels/ChannelExchange.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "channels/ChannelBackups.h"
#include "channels/ChannelFileReader.h"
#include "channels/EditorTexts.h"
#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ftp/FTPClient.h"

namespace vantrel::channels {
namespace {

constexpr int kTextConnecting = 336;
constexpr int kTextLoadingChannels = 337;
constexpr int kTextParsingChannels = 338;
constexpr int kTextShowingChannels = 339;

void RemoveFile(const std::string& path) {
  if (PathExists(path)) std::remove(path.c_str());
}

}  // namespace

std::string ExchangeStepText(ExchangeStep step) {
  switch (step) {
    case ExchangeStep::Idle: return {};
    case ExchangeStep::Preparing: return "Preparing ...";
    case ExchangeStep::Connecting: return Format("%s ...", GetText(kTextConnecting));
    case ExchangeStep::Loading: return Format("%s ...", GetText(kTextLoadingChannels));
    case ExchangeStep::Parsing: return Format("%s ...", GetText(kTextParsingChannels));
    case ExchangeStep::Showing: return Format("%s ...", GetText(kTextShowingChannels));
    case ExchangeStep::Sending: return "Sending Channels ...";
  }
  return {};
}

CChannelExchange::CChannelExchange() : CChannelExchange(Options{}) {}

CChannelExchange::CChannelExchange(Options options) : m_options(std::move(options)) {}

CChannelExchange::~CChannelExchange() {
  m_stop = true;
  // The exchange goes (mostly the program ends): a login, connect-back or
  // stalled transfer ends now instead of at the receiver's time-out.
  if (m_client) m_client->AbortForGood();
  Join();
}

void CChannelExchange::SetOnFinished(std::function<void()> onFinished) { m_onFinished = std::move(onFinished); }

void CChannelExchange::Publish(int position, ExchangeStep step) {
  m_step = static_cast<int>(step);
  m_position = position;
}

void CChannelExchange::Pause() const {
  if (m_options.pauseMs > 0 && !m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(m_options.pauseMs));
}

void CChannelExchange::Join() {
  if (m_thread.joinable()) m_thread.join();
  m_client.reset();
}

bool CChannelExchange::BeginWorker(ExchangeKind kind) {
  m_kind = kind;
  m_failureText = 0;
  m_workerResult = 0;
  m_finished = false;
  m_running = true;
  m_client = std::make_unique<nsFTP::CFTPClient>(nullptr, m_options.timeoutSeconds);
  try {
    m_thread = std::thread([this, kind] {
      m_workerResult = kind == ExchangeKind::Load ? Loadfrompvr() : SendToPvr();
      m_running = false;
      m_finished = true;
      if (m_onFinished) m_onFinished();
    });
  } catch (const std::system_error& error) {
    LogError("ChannelExchange: cannot start the worker: %s", error.what());
    m_failureText = kind == ExchangeKind::Load ? kTextDownloadFail : kTextUploadFail;
    m_running = false;
    m_finished = true;
  }
  return true;
}

bool CChannelExchange::StartLoad() {
  if (m_running || m_finished) return false;
  m_tempPath =
      m_options.tempPath.empty() ? JoinPcPath(GetSettings().GetAppDir(), kTempChannelFile) : m_options.tempPath;
  LogMessage("Loadfrompvr");
  Publish(0, ExchangeStep::Preparing);
  return BeginWorker(ExchangeKind::Load);
}

SendStart CChannelExchange::StartSend(ChannelList& list, IChannelListView& view) {
  if (m_running || m_finished) return SendStart::Busy;
  if (list.TvServices().empty() && list.RadioServices().empty()) return SendStart::NothingToSend;
  Publish(10, ExchangeStep::Preparing);
  m_tempPath =
      m_options.tempPath.empty() ? JoinPcPath(GetSettings().GetAppDir(), kTempChannelFile) : m_options.tempPath;
  // A stale file of an earlier failed send must never be uploaded in place of this list.
  RemoveFile(m_tempPath);
  if (WriteChannelFile(list, m_tempPath, true, view) != WriteResult::Written) {
    LogMessage("SendToPvr : channel file not written, nothing sent");
    Publish(0, ExchangeStep::Idle);
    return SendStart::NotWritten;
  }
  BeginWorker(ExchangeKind::Send);
  return SendStart::Started;
}

int CChannelExchange::Loadfrompvr() {
  nsFTP::CFTPClient& client = *m_client;
  Publish(5, ExchangeStep::Preparing);
  RemoveFile(m_tempPath);

  CAppSettings& settings = GetSettings();
  const std::string ip = settings.GetLastIP();
  const std::string user = settings.GetUserID();
  const std::string pin = settings.GetPINCODE();
  Publish(10, ExchangeStep::Connecting);
  Pause();

  LogMessage("Loadfrompvr : before login userid=%s", user.c_str());  // never the PIN code
  if (!client.Login(nsFTP::CServerLogin(ip, m_options.port, user, pin))) {
    LogError("Loadfrompvr : login fail");
    GetConnectionState().m_ftpLoggedIn = false;
    m_failureText = kTextLoginFail;
    return 0;
  }
  LogMessage("Loadfrompvr : login success");
  GetConnectionState().m_ftpLoggedIn = true;
  LogMessage("Loadfrompvr : before change directory");
  if (client.ChangeDir(m_options.folder) != 0) {
    LogError("Loadfrompvr : before change directory");
    client.Logout();
    m_failureText = kTextDownloadFail;
    return 0;
  }

  Pause();
  Publish(20, ExchangeStep::Loading);
  LogMessage("Loadfrompvr : before download");
  if (!client.DownloadFile(kReceiverChannelFile, m_tempPath)) {
    LogError("Loadfrompvr : download fail");
    client.Logout();
    m_failureText = kTextDownloadFail;
    return 0;
  }
  client.Logout();
  Pause();
  // Parsing is left to Finish, on the window's thread: the reader talks to the user.
  Publish(50, ExchangeStep::Parsing);
  return 1;
}

int CChannelExchange::SendToPvr() {
  nsFTP::CFTPClient& client = *m_client;
  CAppSettings& settings = GetSettings();
  const std::string ip = settings.GetLastIP();
  const std::string user = settings.GetUserID();
  const std::string pin = settings.GetPINCODE();
  Publish(20, ExchangeStep::Preparing);
  Pause();
  Publish(20, ExchangeStep::Sending);

  LogMessage("SendToPvr : before login userid=%s", user.c_str());  // never the PIN code
  if (!client.Login(nsFTP::CServerLogin(ip, m_options.port, user, pin))) {
    LogError("SendToPvr : login fail");
    GetConnectionState().m_ftpLoggedIn = false;
    m_failureText = kTextLoginFail;
    return 0;
  }
  GetConnectionState().m_ftpLoggedIn = true;
  Publish(30, ExchangeStep::Sending);
  Pause();
  if (client.ChangeDir(m_options.folder) != 0) {
    LogError("SendToPvr : change directory fail");
    client.Logout();
    m_failureText = kTextUploadFail;
    return 0;
  }
  Pause();
  Publish(40, ExchangeStep::Sending);
  if (!BackUpReceiverList(client)) {
    client.Logout();
    m_failureText = kTextBackupFail;
    return 0;
  }
  Publish(50, ExchangeStep::Sending);
  if (!UploadVerified(client)) {
    client.Logout();
    if (m_failureText == 0) m_failureText = kTextUploadFail;
    return 0;
  }
  client.Logout();
  return 1;
}

bool CChannelExchange::BackUpReceiverList(nsFTP::CFTPClient& client) {
  m_backupPath.clear();
  if (!GetSettings().GetBackupBeforeSend()) return true;
  std::int64_t size = 0;
  const int status = client.RemoteFileSize(kReceiverChannelFile, size);
  if (status == 1) {
    LogMessage("SendToPvr : the receiver has no channel list yet, nothing to back up");
    return client.IsConnected();
  }
  const std::string folder = m_options.backupFolder.empty() ? DefaultBackupFolder() : m_options.backupFolder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string target = NewBackupPath(folder);
  if (status != 0 || !client.DownloadFile(kReceiverChannelFile, target)) {
    LogError("SendToPvr : backup of the receiver's list into %s failed", target.c_str());
    return false;
  }
  m_backupPath = target;
  PruneBackups(folder);
  return true;
}

bool CChannelExchange::UploadVerified(nsFTP::CFTPClient& client) {
  const std::string sent = ReadWholeFile(m_tempPath);
  if (!client.UploadFile(m_tempPath, kReceiverUploadFile)) {
    LogError("SendToPvr : upload fail");
    client.DeleteFile(kReceiverUploadFile);
    return false;
  }
  std::int64_t size = -1;
  if (client.RemoteFileSize(kReceiverUploadFile, size) != 0 || size != static_cast<std::int64_t>(sent.size())) {
    LogError("SendToPvr : the receiver holds %lld of %zu bytes", static_cast<long long>(size), sent.size());
    client.DeleteFile(kReceiverUploadFile);
    return false;
  }
  Publish(70, ExchangeStep::Sending);
  if (client.RenameFile(kReceiverUploadFile, kReceiverChannelFile) != 0) {
    // A receiver that will not rename over an existing file gets the list
    // directly; its previous list is in the backup.
    LogMessage("SendToPvr : rename refused, uploading channel.xml directly");
    client.DeleteFile(kReceiverUploadFile);
    if (!client.IsConnected() || !client.UploadFile(m_tempPath, kReceiverChannelFile)) {
      // The receiver's own list may be cut short now: the user needs to know
      // where its copy is.
      LogError("SendToPvr : direct upload fail");
      if (!m_backupPath.empty()) m_failureText = kTextUploadFailBackup;
      return false;
    }
  }
  Publish(85, ExchangeStep::Sending);
  const std::string readBack = m_tempPath + ".check";
  const bool same = client.DownloadFile(kReceiverChannelFile, readBack) && ReadWholeFile(readBack) == sent;
  RemoveFile(readBack);
  if (!same) {
    LogError("SendToPvr : the list read back from the receiver differs from the one sent");
    m_failureText = m_backupPath.empty() ? kTextVerifyFailNoBackup : kTextVerifyFail;
    return false;
  }
  return true;
}

ExchangeResult CChannelExchange::Finish() {
  Join();
  ExchangeResult result;
  result.kind = m_kind;
  if (!m_finished) return result;
  m_finished = false;
  m_kind = ExchangeKind::None;

  if (m_workerResult == 1 && result.kind == ExchangeKind::Load) {
    LogMessage("Loadfrompvr : before parse channel");
    auto fresh = std::make_unique<ChannelList>();
    const ReadResult read = ReadChannelFile(*fresh, m_tempPath);
    LogMessage("Loadfrompvr : after parse channel");
    if (read == ReadResult::Loaded) {
      Publish(80, ExchangeStep::Showing);
      RemoveFile(m_tempPath);
      result.list = std::move(fresh);
    } else {
      // The reader showed text 294 itself when it failed; a file that is not a
      // channel list at all gets the same message here.
      if (read == ReadResult::WrongDocument) ShowErrorText(GetText(kTextXmlLoadingError));
      m_failureText = kTextXmlLoadingError;
      m_workerResult = 0;
    }
  } else if (m_workerResult == 1) {
    RemoveFile(m_tempPath);
  } else if (m_failureText == kTextVerifyFail || m_failureText == kTextUploadFailBackup) {
    ShowErrorText(Format(GetText(m_failureText), m_backupPath.c_str()));
  } else if (m_failureText != 0) {
    ShowErrorText(GetText(m_failureText));
  }

  result.ok = m_workerResult == 1;
  result.failureText = result.ok ? 0 : m_failureText;
  Publish(result.ok ? 100 : 0, result.ok ? Step() : ExchangeStep::Idle);
  return result;
}

}  // namespace vantrel::channels
