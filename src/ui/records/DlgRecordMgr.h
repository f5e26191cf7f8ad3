#pragma once
// The recordings window: the recordings on the receiver above, those copied
// into the PC record folder below, each under a status strip with the disk
// figures of its side; TV or radio recordings, switched with one button.
// Downloads run on a worker with the progress window; deleting works on
// either side (the receiver by recording key), PC names are renamed in place.
//
// Everything that waits for the receiver (the scan, the disk figures, delete
// by key, downloads) runs on the window's worker, which owns the FTP client.
// The window waits for a scan, a query or a deletion in a local event loop
// (RunRemote) with the wait cursor and its input swallowed; a download runs
// with the progress window. While either runs every other entry point that
// would use the worker (refresh, delete, menus, drags, TV/Radio, Change
// Directory) is refused.
#include <QTimer>
#include <any>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FTPClient.h"
#include "ftp/RemoteWorker.h"
#include "ui/controls/ManagerWindow.h"
#include "ui/records/RecordList.h"

class QEventLoop;
class QTreeWidgetItem;

namespace vantrel::ui {

class CButtonST;
class CDlgTransferProgress;
class CSimpleProgress;
class CSplitterBar;

class CDlgRecordMgr : public CManagerWindow {
  Q_OBJECT
 public:
  static constexpr int IDD = 10900;
  static constexpr int IDC_DOWNLOAD = 10705;
  static constexpr int IDC_DELETE = 10709;
  static constexpr int IDC_REFRESH = 10706;
  static constexpr int IDC_CHANGE_DIRECTORY = 10902;
  static constexpr int IDC_TV_RADIO = 10111;
  static constexpr int IDC_RENAME = 10901;
  static constexpr int IDC_RECEIVER_LIST = 10712;
  static constexpr int IDC_LOCAL_LIST = 10713;
  static constexpr int IDC_VIEWER1 = 10710;
  static constexpr int IDC_VIEWER2 = 10711;
  static constexpr int IDC_SPLITTER = 997;
  static constexpr int ID_MENU_DOWNLOAD = 31001;
  static constexpr int ID_MENU_DELETE = 31003;
  static constexpr int kPendingRefreshTimerMs = 200;
  static constexpr std::uint16_t FTP_PORT = 50021;

  // Fills itself (a receiver login and command-channel queries) before it returns.
  explicit CDlgRecordMgr(QWidget* parent = nullptr, std::uint16_t ftpPort = FTP_PORT);
  ~CDlgRecordMgr() override;

  // The settings dialog closed: note a changed record folder for the next showing.
  void RecordDirectoryMayHaveChanged();
  // The launcher shows the window again: run a pending refresh first.
  void OnShownAgain() override;
  // While a download runs, asks whether to cancel it; Yes stops it, waits for
  // the worker and removes the file that was being written.
  bool MayQuit() override;

  void RefreshAll();
  void FillLocalList();
  void FetchReceiverEntries();
  void ShowReceiverEntries();
  void UpdateLocalUsage();
  void UpdateReceiverUsage();
  // The connection state's command channel, connected on the worker (a
  // receiver that does not answer holds no window); null after a failure,
  // which has been shown, or a cancelled wait.
  ICommandChannel* ConnectedCommandChannel();
  bool LoginReceiver();

  // Actions.
  void OnRefresh();
  void OnToggleMode();
  void OnChangeDirectory();
  void OnDelete();
  // Starts a download of the selected receiver rows; false when nothing started.
  bool StartDownload();
  void DeleteLocalSelection();
  void DeleteReceiverSelection();
  // The end of an in-place edit of a PC row's name; false when the edit restarts.
  bool RenameLocalRecording(int row, const std::string& typed);
  void SortList(int listId, int column);

  // State for the launcher and tests.
  bool IsDownloadBusy() const { return m_downloadBusy.load(); }
  // A download runs or a remote operation is waited for.
  bool IsBusy() const { return m_downloadBusy.load() || m_remoteWaiting; }
  bool IsRefreshPending() const { return m_refreshPending; }
  bool IsRadioMode() const { return m_radioMode; }
  const std::string& RecordPath() const { return m_recordPath; }
  const std::vector<records::RecordingEntry>& Entries() const { return m_entries; }
  records::CRecordList* ReceiverList() const { return m_receiverList; }
  records::CRecordList* LocalList() const { return m_localList; }
  CSimpleProgress* ReceiverStrip() const { return m_receiverStrip; }
  CSimpleProgress* LocalStrip() const { return m_localStrip; }
  CDlgTransferProgress* Progress() const { return m_progress; }
  CButtonST* Button(int id) const;
  // The worker's client, for observers (added and removed only while nothing runs).
  nsFTP::CFTPClient& Ftp() { return m_remote->Client(); }
  int FocusedList() const { return m_focusedList; }
  void SetFocusedList(int id) { m_focusedList = id; }

 Q_SIGNALS:
  // A download job has ended and the window has been refreshed.
  void downloadFinished(bool succeeded);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void SetUpButtons();
  void SetUpList(records::CRecordList* list);
  void Layout();
  void EnableCommands(bool enable);
  void ShowContextMenu(records::CRecordList* list, const QPoint& at);
  void StartRenameAgain(int row);
  // Runs the job on the worker and waits for its result in a local event
  // loop; empty when something else runs or the user closed the window
  // meanwhile (the job is cancelled, the window closes once it returned).
  std::any RunRemote(nsFTP::CRemoteWorker::Job job);
  void OnRemotePoll();
  void FinishDownload(const std::optional<records::DownloadReport>& report);
  // Cancels a running download and waits (briefly) for the worker; the file it was writing is removed.
  void StopDownload();
  static void CancelDownload(void* context, int value);
  QIcon RowIcon() const;
  records::CRecordList* ListById(int id) const;

  std::unique_ptr<nsFTP::CRemoteWorker> m_remote;
  QTimer m_remotePoll;
  QEventLoop* m_remoteLoop = nullptr;  // RunRemote's, while it waits
  bool m_remoteWaiting = false;
  bool m_closeAfterRemote = false;
  std::uint16_t m_ftpPort;
  CDlgTransferProgress* m_progress = nullptr;
  CSimpleProgress* m_receiverStrip = nullptr;
  CSimpleProgress* m_localStrip = nullptr;
  records::CRecordList* m_receiverList = nullptr;
  records::CRecordList* m_localList = nullptr;
  QWidget* m_viewer1 = nullptr;
  QWidget* m_viewer2 = nullptr;
  CSplitterBar* m_splitter = nullptr;
  std::vector<CButtonST*> m_buttons;
  QTimer m_pendingTimer;

  std::string m_recordPath;
  bool m_radioMode = false;
  std::vector<records::RecordingEntry> m_entries;
  bool m_refreshPending = false;
  std::atomic<bool> m_downloadBusy{false};
  bool m_quitting = false;  // the download was stopped for the end of the application
  bool m_labelEditing = false;
  int m_focusedList = -1;
  struct SortState {
    int column = 0;
    bool ascending = false;
  };
  SortState m_receiverSort;
  SortState m_localSort;
};

}  // namespace vantrel::ui
