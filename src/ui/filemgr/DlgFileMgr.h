#pragma once
// The file manager: the receiver's FTP tree (upper half) and the PC's file
// system (lower half), each as a folder tree with a file list, with copies
// in both directions, new folders, renaming and deleting.
//
// Every remote operation logs in anew on the receiver's port 21, and runs on
// the window's worker, which owns the FTP client: listings, folder commands
// and deletions wait for their result in a local event loop (RunRemote) with
// the wait cursor, the window repainting and its input swallowed; transfers
// run with the progress window while the window goes on. While either runs,
// every entry point that would use the worker is refused (IsBusy()).
#include <QPointer>
#include <QTimer>
#include <any>
#include <atomic>
#include <memory>
#include <string>

#include "ftp/FTPClient.h"
#include "ftp/FolderTransfer.h"
#include "ftp/RemoteWorker.h"
#include "ui/controls/ManagerWindow.h"
#include "ui/filemgr/FilePanes.h"

class QEventLoop;
class QTreeWidgetItem;

namespace vantrel::ui {

class CButtonST;
class CCheckST;
class CDlgTransferProgress;
class CSimpleProgress;
class CSplitterBar;

class CDlgFileMgr : public CManagerWindow, private IPaneEditHandler {
  Q_OBJECT
 public:
  static constexpr int IDD = 10701;
  static constexpr int IDC_BACK = 10703;
  static constexpr int IDC_UNNAMED = 10702;
  static constexpr int IDC_UPLOAD = 10704;
  static constexpr int IDC_DOWNLOAD = 10705;
  static constexpr int IDC_REFRESH = 10706;
  static constexpr int IDC_UPFOLDER = 10707;
  static constexpr int IDC_NEWFOLDER = 10708;
  static constexpr int IDC_DELETE = 10709;
  static constexpr int IDC_VIEWER1 = 10710;
  static constexpr int IDC_VIEWER2 = 10711;
  static constexpr int IDC_MULTIVIEW = 10716;
  static constexpr int IDC_VSPLITTER = 998;
  static constexpr int IDC_HSPLITTER = 999;
  static constexpr int ID_MENU_UPLOAD = 31000;
  static constexpr int ID_MENU_DOWNLOAD = 31001;
  static constexpr int ID_MENU_NEWFOLDER = 31002;
  static constexpr int ID_MENU_RENAME = 31003;
  static constexpr int ID_MENU_DELETE = 31004;
  static constexpr unsigned short kFtpPort = 21;

  // ftpPort: the receiver's file manager port (tests use the simulator's).
  explicit CDlgFileMgr(QWidget* parent = nullptr, unsigned short ftpPort = kFtpPort);
  ~CDlgFileMgr() override;

  // A command id of the table above (buttons and menu items).
  void OnCommand(int id);
  bool IsTransferring() const { return m_transferring.load(); }
  // A transfer runs or a remote operation is waited for.
  bool IsBusy() const { return IsTransferring() || m_remoteWaiting; }
  // The application is about to end: a running transfer is asked about;
  // Yes stops it at once (a download leaves the PC file as it was).
  bool MayQuit() override;
  // Runs until the running transfer ended and its refresh was done (tests), at most timeoutMs.
  bool WaitForTransfer(int timeoutMs);

  // The worker's FTP client, for observers (notified on the worker's thread;
  // added and removed only while nothing runs).
  nsFTP::CFTPClient& FtpClient() { return m_remote->Client(); }
  CTreeLocal* TreeLocal() const { return m_treeLocal; }
  CListLocal* ListLocal() const { return m_listLocal; }
  CTreeRemote* TreeRemote() const { return m_treeRemote; }
  CListRemote* ListRemote() const { return m_listRemote; }
  CSimpleProgress* LocalStrip() const { return m_localStrip; }
  CSimpleProgress* RemoteStrip() const { return m_remoteStrip; }
  CDlgTransferProgress* Progress() const { return m_progress; }
  CButtonST* Button(int id) const;
  int LastFocusedPane() const { return m_lastFocusedPane; }
  void SetLastFocusedPane(int id) { m_lastFocusedPane = id; }
  bool IsEditingLabel() const { return m_editingLabel; }

  // Navigation, public for the tests and the menus.
  void OnLocalTreeSelChanged();
  // quiet: a receiver that does not answer is not reported (the first showing).
  void FillRemoteList(QTreeWidgetItem* item, bool quiet = false);
  // Rereads the item's subfolders; when the selection was below it, it moves
  // to the item and the list shows the item's folder.
  void FillRemoteTree(QTreeWidgetItem* item, bool expand);
  void OpenListItem(bool remote, int row);
  void StartTransfer(bool download);
  void CancelTransfer();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void BuildControls();
  void OnFirstShow();
  void LayoutPanes();
  nsFTP::CServerLogin LoginData() const;
  // Runs the job on the worker and waits for its result in a local event
  // loop; empty when something else runs. Closing the window meanwhile
  // cancels the job, and the window closes once it has returned.
  std::any RunRemote(nsFTP::CRemoteWorker::Job job);
  void OnRemotePoll();
  // The user closed the window while RunRemote waits: the job is cancelled.
  void CancelRemoteWait();
  void UpdateLocalDiskFigures();
  bool FillRemoteTreeItems(QTreeWidgetItem* item, bool expand);
  void ShowContextMenu(QWidget* pane, const QPoint& pos);
  void UpFolder();
  void Refresh();
  void NewFolder();
  void NewFolderLocal();
  void NewFolderRemote();
  void Delete();
  void DeleteLocalList();
  void DeleteRemoteList();
  void DeleteLocalTree();
  void DeleteRemoteTree();
  void Rename();
  void SetBusyUi(bool busy);
  // loggedIn: the client's connection was made for this job just now and serves it.
  void RunJob(TransferJob job, bool loggedIn);
  void OnTransferDone(bool download, TransferResult result);
  void ReportStop(TransferStop stop);
  // What a transfer that did not finish says: which file failed and what was kept.
  void ReportTransfer(const TransferResult& result);
  // Puts the files and folders in the PC folder into the trash, or where there
  // is none deletes them after a question that says so. Names of the entries gone.
  std::vector<std::string> TrashOrDeleteLocal(const std::string& folder, const std::vector<std::string>& names);
  QWidget* PaneById(int id) const;

  // IPaneEditHandler
  bool BeginEdit(QTreeWidget* pane, QTreeWidgetItem* item) override;
  bool EndEdit(QTreeWidget* pane, QTreeWidgetItem* item, const QModelIndex& index, const std::string& text) override;
  bool ApplyRename(QTreeWidget* pane, QTreeWidgetItem* item, const std::string& text);
  void RestartEdit(QTreeWidget* pane, const QModelIndex& index);

  unsigned short m_ftpPort;
  std::unique_ptr<nsFTP::CRemoteWorker> m_remote;
  QTimer m_remotePoll;  // hands results and progress of the worker over
  bool m_remoteWaiting = false;
  bool m_closeAfterRemote = false;
  QEventLoop* m_remoteLoop = nullptr;  // RunRemote's, while it waits
  bool m_transferDownload = false;
  CTreeLocal* m_treeLocal = nullptr;
  CListLocal* m_listLocal = nullptr;
  CTreeRemote* m_treeRemote = nullptr;
  CListRemote* m_listRemote = nullptr;
  CSimpleProgress* m_localStrip = nullptr;
  CSimpleProgress* m_remoteStrip = nullptr;
  CSplitterBar* m_vbar = nullptr;
  CSplitterBar* m_hbar = nullptr;
  QWidget* m_viewer1 = nullptr;
  QWidget* m_viewer2 = nullptr;
  CCheckST* m_multiView = nullptr;
  CDlgTransferProgress* m_progress = nullptr;
  bool m_opened = false;
  int m_lastFocusedPane = 0;
  bool m_editingLabel = false;
  // A Delete key press seen in this window and not yet released.
  bool m_deletePressed = false;

  std::atomic<bool> m_transferring{false};
  bool m_quitting = false;  // the transfer was stopped for the end of the application
  // Shared with the job that reports to it.
  std::shared_ptr<CTransferControl> m_control = std::make_shared<CTransferControl>();
};

}  // namespace vantrel::ui
