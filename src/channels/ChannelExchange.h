#pragma once
// "Load from PVR" and "Send to PVR": the channel file travels between the
// receiver's folder "/ftproot/System/Programmliste (Channel List)" (port
// 50021, file "channel.xml") and the temporary file "tempchannel.xml" in the
// application folder, on a worker thread the exchange owns.
//
// Threads: Start* and Finish run on the user-interface thread; the worker
// only logs in, changes folder, transfers and logs out. It never sees the
// editor's list: a send uploads a file the writer produced on the calling
// thread just before, a load is parsed by Finish into a fresh ChannelList
// that is handed over only when it parsed, so a failed load keeps the
// editor's list, path and title. Every message to the user is shown by
// Finish, on the calling thread.
//
// The window polls Position()/Step() with a timer for its progress dialog
// and IsFinished() to know when to call Finish; OnFinished, when set, is
// called on the worker as its last act (to post a wake-up to the window).
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"

namespace nsFTP {
class CFTPClient;
}

namespace vantrel::channels {

inline constexpr std::uint16_t kChannelFtpPort = 50021;
inline constexpr const char* kReceiverChannelFolder = "/ftproot/System/Programmliste (Channel List)";
inline constexpr const char* kReceiverChannelFile = "channel.xml";
inline constexpr const char* kTempChannelFile = "tempchannel.xml";

// Texts of the failures (indexes of GetText).
inline constexpr int kTextLoginFail = 301;
inline constexpr int kTextDownloadFail = 303;
inline constexpr int kTextXmlLoadingError = 294;
inline constexpr int kTextUploadFail = 342;
inline constexpr int kTextBackupFail = 359;  // the receiver's list could not be kept: nothing was sent
inline constexpr int kTextVerifyFail = 360;  // "... differs ... previous list was saved as %s"
inline constexpr int kTextVerifyFailNoBackup = 361;

// The name the list is uploaded under before it is renamed over channel.xml.
inline constexpr const char* kReceiverUploadFile = "channel.xml.upload";

// How long the window keeps the full bar up before hiding the dialog.
inline constexpr int kFinalPauseMs = 500;

// The line of the progress dialog.
enum class ExchangeStep : int {
  Idle = 0,
  Preparing,   // "Preparing ..."
  Connecting,  // "Connecting ..." (336)
  Loading,     // "Loading Channels ..." (337)
  Parsing,     // "Parsing Channels ..." (338)
  Showing,     // "Showing Channels ..." (339)
  Sending,     // "Sending Channels ..."
};
std::string ExchangeStepText(ExchangeStep step);

enum class ExchangeKind { None, Load, Send };

enum class SendStart {
  Started,        // the file was written, the upload runs
  NothingToSend,  // no TV and no radio service: nothing written, nothing shown
  NotWritten,     // the writer wrote nothing (renumbering declined, write failure): no login
  Busy,           // an exchange is still running or not finished
};

struct ExchangeResult {
  ExchangeKind kind = ExchangeKind::None;
  bool ok = false;
  // 0 on success, else the text the user was shown: 301, 303, 294 (shown by
  // the reader), kTextUploadFail, or one that names the saved previous list.
  int failureText = 0;
  // A load's new list (file path empty); null unless ok.
  std::unique_ptr<ChannelList> list;
};

class CChannelExchange {
 public:
  struct Options {
    std::uint16_t port = kChannelFtpPort;
    std::string folder = kReceiverChannelFolder;
    int pauseMs = 100;        // the short pauses between the steps, so the dialog's lines can be read
    int timeoutSeconds = 10;  // FTP client time-out
    std::string tempPath;     // empty: tempchannel.xml in GetAppDir()
    // Before a send the receiver's list is copied here (empty: the per-user
    // backups folder), unless the settings turned backups off.
    std::string backupFolder;
  };

  CChannelExchange();
  explicit CChannelExchange(Options options);
  // Asks a running transfer to stop and waits for the worker.
  ~CChannelExchange();
  CChannelExchange(const CChannelExchange&) = delete;
  CChannelExchange& operator=(const CChannelExchange&) = delete;

  // Called on the worker thread as its last act, once IsFinished is true;
  // the window posts itself a wake-up from it and calls Finish on its thread.
  void SetOnFinished(std::function<void()> onFinished);

  // Starts the download. false when an exchange is running or not finished.
  bool StartLoad();
  // Writes the list to the temporary file through the writer (which may ask
  // about renumbering through the view, and shows a write failure itself)
  // and, only when it was written, starts the upload.
  SendStart StartSend(ChannelList& list, IChannelListView& view);

  bool IsRunning() const { return m_running.load(); }
  bool IsFinished() const { return m_finished.load(); }
  ExchangeKind Kind() const { return m_kind; }
  int Position() const { return m_position.load(); }
  ExchangeStep Step() const { return static_cast<ExchangeStep>(m_step.load()); }
  std::string StepText() const { return ExchangeStepText(Step()); }

  // Joins the worker (waiting when it still runs) and completes the
  // exchange on the calling thread: a load parses the downloaded file into a
  // fresh list (position 50, then 80 "Showing Channels" when it parsed) and
  // deletes the temporary file; a send deletes it after the upload. A failure
  // is shown to the user here. Position 100 on success. After Finish a new
  // exchange may start. Without an exchange: kind None, not ok.
  ExchangeResult Finish();

  const std::string& TempPath() const { return m_tempPath; }
  // The copy of the receiver's list the last send made (empty: none).
  const std::string& BackupPath() const { return m_backupPath; }

 private:
  bool BeginWorker(ExchangeKind kind);
  void Join();
  // The thread bodies; 1 on success, 0 otherwise. m_failureText says why.
  int Loadfrompvr();
  int SendToPvr();
  // The send's steps after the login: backup, upload under a temporary name,
  // size check, rename (or a direct upload where the receiver refuses it),
  // and the read-back compared with what was sent.
  bool BackUpReceiverList(nsFTP::CFTPClient& client);
  bool UploadVerified(nsFTP::CFTPClient& client);
  void Publish(int position, ExchangeStep step);
  void Pause() const;

  Options m_options;
  std::string m_tempPath;
  std::function<void()> m_onFinished;
  ExchangeKind m_kind = ExchangeKind::None;
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_finished{false};
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_position{0};
  std::atomic<int> m_step{0};
  int m_workerResult = 0;  // written by the worker, read after the join
  int m_failureText = 0;
  std::string m_backupPath;  // the backup a send made; read after the join
  // The worker's client: made before the worker starts and released after
  // the join, so the destructor may Abort it while the worker runs.
  std::unique_ptr<nsFTP::CFTPClient> m_client;
  std::thread m_thread;
};

}  // namespace vantrel::channels
