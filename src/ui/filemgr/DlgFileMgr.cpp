#include "ui/filemgr/DlgFileMgr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QStorageInfo>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <sys/stat.h>

#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/CheckST.h"
#include "ui/controls/RemoteWait.h"
#include "ui/controls/Resources.h"
#include "ui/controls/SimpleProgress.h"
#include "ui/controls/SplitterBar.h"
#include "ui/controls/TransferProgressDlg.h"

namespace vantrel::ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

struct ButtonPlace {
  int id, icon, x, width;
};
constexpr ButtonPlace kButtons[] = {
    {CDlgFileMgr::IDC_DOWNLOAD, 20143, 5, 150},    {CDlgFileMgr::IDC_UPLOAD, 20145, 160, 150},
    {CDlgFileMgr::IDC_REFRESH, 20147, 315, 100},   {CDlgFileMgr::IDC_UPFOLDER, 20149, 420, 110},
    {CDlgFileMgr::IDC_NEWFOLDER, 20151, 535, 110}, {CDlgFileMgr::IDC_DELETE, 20166, 650, 100},
};

// The progress window's setters only publish values, so the worker never waits per chunk.
void OnProgressCancel(void* context, int) { static_cast<CDlgFileMgr*>(context)->CancelTransfer(); }

bool IsFolderEntry(const nsFTP::CFTPFileStatus& entry) {
  return !entry.m_attributes.empty() && entry.m_attributes[0] == 'd';
}

bool IsPcPathTooLong(const std::string& path) {
  return path.size() > kMaxPcPath || GetLastPathComponent(path).size() > kMaxPcName;
}

void ShowPathTooLong(const std::string& path) { ShowErrorText(Format(GetText(344), path.substr(0, 300).c_str())); }

constexpr int kTextQuitDuringTransfer = 378;
constexpr int kRemotePollMs = 30;

void ShowNoAnswer() { ShowErrorText(GetText(374)); }

using nsFTP::CFTPClient;
using CancelFlag = std::atomic_bool;

// One login serves one user action; a failed one leaves no half-open connection.
bool LoginFor(CFTPClient& ftp, const nsFTP::CServerLogin& login) {
  const bool ok = ftp.Login(login, false);
  if (!ok) ftp.Logout();
  return ok;
}

template <class T>
std::optional<T> ResultAs(std::any value) {
  if (T* result = std::any_cast<T>(&value)) return std::move(*result);
  return std::nullopt;
}

// What a remote step hands back to the window.
struct RemoteListing {
  bool loggedIn = false;
  bool listed = false;
  bool noConnectBack = false;
  nsFTP::TFTPFileStatusShPtrVec entries;
};

struct RemoteFolders {
  bool loggedIn = false;
  bool listed = false;
  // Each subfolder with the names of its own subfolders.
  std::vector<std::pair<std::string, std::vector<std::string>>> folders;
};

struct RemoteStep {
  bool loggedIn = false;
  bool done = false;
  int count = 0;  // rows deleted
  TransferStop stop = TransferStop::kNone;
};

struct RemoteTransfer {
  bool loggedIn = false;
  TransferResult result;
};

struct RemoteExisting {
  bool loggedIn = false;
  bool found = false;
  bool noConnectBack = false;
  std::vector<std::string> existing;
};

}  // namespace

CDlgFileMgr::CDlgFileMgr(QWidget* parent, unsigned short ftpPort)
    : CManagerWindow(parent), m_ftpPort(ftpPort), m_remote(std::make_unique<nsFTP::CRemoteWorker>(10, 2048)) {
  setObjectName(QString::number(IDD));
  setWindowTitle(GetText(323));
  setWindowIcon(LoadSvgIcon(20159, {16, 16}));
  BuildControls();
  resize(1000, 700);
  qApp->installEventFilter(this);
  m_remotePoll.setInterval(kRemotePollMs);
  connect(&m_remotePoll, &QTimer::timeout, this, [this] { OnRemotePoll(); });
}

CDlgFileMgr::~CDlgFileMgr() {
  qApp->removeEventFilter(this);
  // The window goes (mostly the program ends): a running job stops without
  // waiting for the receiver, which may be slow or gone.
  m_control->Cancel(nullptr);
  m_remote.reset();
  // An open name editor commits when its view goes; the panes go while this window still handles that.
  delete m_treeRemote;
  delete m_listRemote;
  delete m_treeLocal;
  delete m_listLocal;
}

CButtonST* CDlgFileMgr::Button(int id) const { return findChild<CButtonST*>(QString::number(id)); }

QWidget* CDlgFileMgr::PaneById(int id) const {
  switch (id) {
    case CListRemote::IDC: return m_listRemote;
    case CListLocal::IDC: return m_listLocal;
    case CTreeRemote::IDC: return m_treeRemote;
    case CTreeLocal::IDC: return m_treeLocal;
    default: return nullptr;
  }
}

void CDlgFileMgr::BuildControls() {
  m_remoteStrip = new CSimpleProgress(this);  // Qt parent owns every control below
  m_localStrip = new CSimpleProgress(this);
  m_localStrip->SetUnit(CSimpleProgress::kGigabytes);
  m_remoteStrip->SetUnit(CSimpleProgress::kMegabytes);

  for (const ButtonPlace& place : kButtons) {
    auto* button = new CButtonST(this);
    button->setObjectName(QString::number(place.id));
    button->SetIcon(place.icon, place.icon, QSize(24, 24));
    button->SetColor(CButtonST::BTNST_COLOR_BK_IN, Qt::white);
    button->SetColor(CButtonST::BTNST_COLOR_BK_OUT, Qt::white);
    QString caption;
    switch (place.id) {
      case IDC_DOWNLOAD: caption = Q(Format("%s(STB->PC)", GetText(53))); break;
      case IDC_UPLOAD: caption = Q(Format("%s(PC->STB)", GetText(54))); break;
      case IDC_REFRESH: caption = GetText(55); break;
      case IDC_UPFOLDER: caption = GetText(56); break;
      case IDC_NEWFOLDER: caption = GetText(57); break;
      default: caption = GetText(11); break;
    }
    button->setText(caption);
    button->setGeometry(place.x, 2, place.width, 45);
    const int id = place.id;
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  }
  for (int id : {IDC_BACK, IDC_UNNAMED}) {
    auto* hidden = new CButtonST(this);
    hidden->setObjectName(QString::number(id));
    hidden->setEnabled(false);
    hidden->hide();
  }
  m_multiView = new CCheckST(this);
  m_multiView->setObjectName(QString::number(IDC_MULTIVIEW));
  m_multiView->hide();

  m_treeRemote = new CTreeRemote(this);
  m_listRemote = new CListRemote(this);
  m_treeLocal = new CTreeLocal(this);
  m_listLocal = new CListLocal(this);
  m_viewer1 = new QWidget(this);
  m_viewer1->setObjectName(QString::number(IDC_VIEWER1));
  m_viewer1->hide();
  m_viewer2 = new QWidget(this);
  m_viewer2->setObjectName(QString::number(IDC_VIEWER2));
  m_viewer2->hide();

  for (QTreeWidget* pane : std::initializer_list<QTreeWidget*>{m_treeRemote, m_listRemote, m_treeLocal, m_listLocal}) {
    pane->setItemDelegate(new CPaneEditDelegate(pane, this));
    connect(pane, &QWidget::customContextMenuRequested, this,
            [this, pane](const QPoint& pos) { ShowContextMenu(pane, pos); });
  }
  connect(m_treeLocal, &CTreePane::focused, this, [this] { m_lastFocusedPane = CTreeLocal::IDC; });
  connect(m_treeRemote, &CTreePane::focused, this, [this] { m_lastFocusedPane = CTreeRemote::IDC; });
  connect(m_listLocal, &CFileList::focused, this, [this] { m_lastFocusedPane = CListLocal::IDC; });
  connect(m_listRemote, &CFileList::focused, this, [this] { m_lastFocusedPane = CListRemote::IDC; });

  connect(m_treeLocal, &QTreeWidget::currentItemChanged, this, [this] { OnLocalTreeSelChanged(); });
  connect(m_treeLocal, &CTreeLocal::selectionMovedUp, this, [this] { OnLocalTreeSelChanged(); });
  connect(m_treeRemote, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { FillRemoteList(current); });
  auto onRemoteExpand = [this](QTreeWidgetItem* item) {
    if (IsBusy()) return;
    m_remoteStrip->SetIcon(TreeIcon(kTreeFolder));
    FillRemoteTree(item, false);
  };
  connect(m_treeRemote, &QTreeWidget::itemExpanded, this, onRemoteExpand);
  connect(m_treeRemote, &QTreeWidget::itemCollapsed, this, onRemoteExpand);
  connect(m_listLocal, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenListItem(false, m_listLocal->RowOf(item)); });
  connect(m_listRemote, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenListItem(true, m_listRemote->RowOf(item)); });
  connect(m_listRemote, &CFileList::droppedFromOther, this, [this] { StartTransfer(false); });
  connect(m_listLocal, &CFileList::droppedFromOther, this, [this] { StartTransfer(true); });

  m_vbar = new CSplitterBar(this, SplitterOrientation::Vertical, IDC_VSPLITTER);
  m_hbar = new CSplitterBar(this, SplitterOrientation::Horizontal, IDC_HSPLITTER);
  for (CSplitterBar* bar : {m_vbar, m_hbar}) {
    bar->SetPanes8(m_remoteStrip, m_treeRemote, m_listRemote, m_viewer1, m_localStrip, m_treeLocal, m_listLocal,
                   m_viewer2);
  }
  m_progress = new CDlgTransferProgress(this);
  m_progress->hide();
}

void CDlgFileMgr::showEvent(QShowEvent* event) {
  CManagerWindow::showEvent(event);
  if (!m_opened) {
    m_opened = true;
    OnFirstShow();
  }
}

void CDlgFileMgr::OnFirstShow() {
  m_localStrip->show();
  m_remoteStrip->show();
  m_treeLocal->Init();  // selects "My Computer", which empties the PC list
  OnLocalTreeSelChanged();
  {
    const QSignalBlocker block(m_treeRemote);  // the first reading below is a quiet one
    m_treeRemote->Init();
  }
  FillRemoteList(m_treeRemote->Root(), true);
  LayoutPanes();
  if (GetConnectionState().m_ftpLoggedIn) {
    FillRemoteTree(m_treeRemote->Root(), true);
    FillRemoteList(m_treeRemote->Root());
    m_remoteStrip->SetIcon(TreeIcon(kTreeFolder));
  }
  QTimer::singleShot(50, this, [this] {
    m_treeLocal->setFocus();
    m_lastFocusedPane = CTreeLocal::IDC;
  });
  UpdateLocalDiskFigures();
  m_remoteStrip->SetFigures(0, 0);
}

void CDlgFileMgr::resizeEvent(QResizeEvent* event) {
  CManagerWindow::resizeEvent(event);
  LayoutPanes();
}

void CDlgFileMgr::LayoutPanes() {
  if (m_vbar == nullptr) return;
  m_localStrip->resize(m_localStrip->width(), CSimpleProgress::kHeight);
  m_remoteStrip->resize(m_remoteStrip->width(), CSimpleProgress::kHeight);
  m_vbar->Layout();
  m_hbar->Layout();
}

nsFTP::CServerLogin CDlgFileMgr::LoginData() const {
  return nsFTP::CServerLogin(GetSettings().GetLastIP(), m_ftpPort, GetSettings().GetUserID(),
                             GetSettings().GetPINCODE());
}

std::any CDlgFileMgr::RunRemote(nsFTP::CRemoteWorker::Job job) {
  if (IsBusy() || !m_remote->Start(std::move(job))) return {};
  m_remoteWaiting = true;
  // Input to the window is swallowed meanwhile (eventFilter).
  RemoteWaitOutcome outcome = WaitForRemoteJob(*m_remote, m_remotePoll, m_remoteLoop, *this, m_closeAfterRemote);
  m_remoteWaiting = false;
  if (outcome.cancelled) return {};  // the user gave the action up: nothing to show or tell
  return std::move(outcome.result);
}

void CDlgFileMgr::OnRemotePoll() {
  if (!m_remote->IsDone()) return;
  if (m_remoteLoop != nullptr) {
    m_remoteLoop->quit();  // RunRemote takes the result
    return;
  }
  m_remotePoll.stop();
  std::any outcome = m_remote->TakeResult();
  if (!m_transferring) return;  // a transfer given up for the end of the application
  const std::optional<RemoteTransfer> transfer = ResultAs<RemoteTransfer>(std::move(outcome));
  TransferResult result;
  result.stop = TransferStop::kFailed;
  if (transfer) {
    GetConnectionState().m_ftpLoggedIn = transfer->loggedIn;
    result = transfer->result;
  }
  OnTransferDone(m_transferDownload, result);
}

void CDlgFileMgr::CancelRemoteWait() {
  m_closeAfterRemote = true;
  m_control->Cancel(nullptr);
  m_remote->Cancel();
}

void CDlgFileMgr::closeEvent(QCloseEvent* event) {
  if (m_remoteWaiting) {
    event->ignore();
    CancelRemoteWait();
    return;
  }
  CManagerWindow::closeEvent(event);
}

void CDlgFileMgr::reject() {
  if (m_remoteWaiting) {
    CancelRemoteWait();
    return;
  }
  CManagerWindow::reject();
}

// ---- navigation

void CDlgFileMgr::OnLocalTreeSelChanged() {
  if (IsBusy()) return;
  CWaitCursor wait;
  QTreeWidgetItem* item = m_treeLocal->currentItem();
  if (item == nullptr) return;
  m_localStrip->SetIcon(TreeIcon(CTreeLocal::Image(item)));
  const std::string path = m_treeLocal->GetItemPath(item);
  m_listLocal->Fill(path);
  const std::string shown = path.size() > 1 ? RemoveTrailingBackslash(path) : path;
  m_localStrip->SetPath(Q(shown));
  UpdateLocalDiskFigures();
}

void CDlgFileMgr::UpdateLocalDiskFigures() {
  const std::string path = m_treeLocal->GetItemPath(m_treeLocal->currentItem());
  int total = 0, used = 0;
  if (!path.empty() && path[0] == '/') {
    const QStorageInfo info(Q(path));
    if (info.isValid() && info.isReady()) {
      total = static_cast<int>(info.bytesTotal() >> 20);
      used = static_cast<int>((info.bytesTotal() - info.bytesAvailable()) >> 20);
    }
  }
  m_localStrip->SetFigures(total, used);
}

void CDlgFileMgr::FillRemoteList(QTreeWidgetItem* item, bool quiet) {
  if (IsBusy() || item == nullptr) return;
  const std::string path = m_treeRemote->GetItemPath(item);
  // The list shows the selected folder or nothing, never an old folder's rows.
  m_listRemote->Model().Clear();
  m_listRemote->Render();
  m_listRemote->SetFolder(path);
  m_remoteStrip->SetPath(Q(path));
  const nsFTP::CServerLogin login = LoginData();
  const std::optional<RemoteListing> listing =
      ResultAs<RemoteListing>(RunRemote([login, path](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
        RemoteListing result;
        result.loggedIn = LoginFor(ftp, login);
        if (!result.loggedIn) return std::any(std::move(result));
        result.listed = ftp.List(path, result.entries);
        result.noConnectBack = !result.listed && ftp.ReceiverDidNotConnectBack();
        return std::any(std::move(result));
      }));
  if (!listing) return;  // given up by the user
  GetConnectionState().m_ftpLoggedIn = listing->loggedIn;
  if (!listing->loggedIn) {
    if (!quiet) ShowNoAnswer();
    return;
  }
  if (listing->listed) {
    for (const auto& entry : listing->entries) {
      // "." and "..", and names no file can have, are not shown: nothing could be done with them.
      if (!IsSafeEntryName(entry->Name())) continue;
      m_listRemote->AddEntry(entry->Name(), !IsFolderEntry(*entry), entry->m_size, entry->m_time);
    }
  } else if (listing->noConnectBack) {
    ShowErrorText(nsFTP::NoConnectBackText(GetSettings().GetDataPorts()));
  }
  m_remoteStrip->SetPath(Q(path));
}

void CDlgFileMgr::FillRemoteTree(QTreeWidgetItem* item, bool expand) {
  if (IsBusy() || item == nullptr) return;
  // The list and the path strip follow a selection that moved up to the item.
  if (FillRemoteTreeItems(item, expand)) FillRemoteList(item);
}

bool CDlgFileMgr::FillRemoteTreeItems(QTreeWidgetItem* item, bool expand) {
  const QSignalBlocker block(m_treeRemote);
  QTreeWidgetItem* current = m_treeRemote->currentItem();
  bool currentInside = false;
  for (QTreeWidgetItem* p = current ? current->parent() : nullptr; p; p = p->parent()) currentInside |= p == item;
  if (currentInside) m_treeRemote->setCurrentItem(item);
  m_treeRemote->RemoveChildren(item);
  const bool expanded = item->isExpanded();
  const std::string path = m_treeRemote->GetItemPath(item);
  const nsFTP::CServerLogin login = LoginData();
  // One login serves the whole reading: the folder, then each subfolder for its own subfolders.
  const std::optional<RemoteFolders> read =
      ResultAs<RemoteFolders>(RunRemote([login, path](CFTPClient& ftp, const CancelFlag& cancel, IProgressSink&) {
        RemoteFolders result;
        result.loggedIn = LoginFor(ftp, login);
        nsFTP::TFTPFileStatusShPtrVec entries;
        if (!result.loggedIn || !ftp.List(path, entries)) return std::any(std::move(result));
        result.listed = true;
        for (const auto& entry : entries) {
          if (!IsFolderEntry(*entry) || !IsSafeEntryName(entry->Name())) continue;
          auto& folder = result.folders.emplace_back(entry->Name(), std::vector<std::string>{});
          if (cancel || !ftp.IsConnected()) continue;
          nsFTP::TFTPFileStatusShPtrVec grand;
          if (!ftp.List(JoinReceiverPath(path, entry->Name()), grand)) continue;
          for (const auto& g : grand) {
            if (IsFolderEntry(*g) && IsSafeEntryName(g->Name())) folder.second.push_back(g->Name());
          }
        }
        return std::any(std::move(result));
      }));
  if (!read) return currentInside;
  GetConnectionState().m_ftpLoggedIn = read->loggedIn;
  if (!read->listed) return currentInside;
  for (const auto& [name, subfolders] : read->folders) {
    QTreeWidgetItem* child = m_treeRemote->AddChildFolder(item, name, kTreeFolder, kTreeFolderOpen);
    for (const std::string& sub : subfolders) m_treeRemote->AddChildFolder(child, sub, kTreeFolder, kTreeFolderOpen);
  }
  if (expand) {
    item->setExpanded(false);
    item->setExpanded(true);
  } else {
    item->setExpanded(expanded);
  }
  m_treeRemote->UpdateSelectedImages();
  return currentInside;
}

void CDlgFileMgr::OpenListItem(bool remote, int row) {
  if (IsBusy()) return;
  CFileList* list = remote ? static_cast<CFileList*>(m_listRemote) : m_listLocal;
  const FileRow* entry = list->RowAt(row);
  if (entry == nullptr || !entry->IsFolder()) return;
  const std::string name = entry->name;
  if (!remote) {
    QTreeWidgetItem* parent = m_treeLocal->currentItem();
    if (parent == nullptr) return;
    parent->setExpanded(true);  // rebuilds its children
    if (!m_treeLocal->SelectChildByName(parent, name)) return;
    QTreeWidgetItem* child = m_treeLocal->currentItem();
    m_treeLocal->RefreshChildren(child);
    return;
  }
  QTreeWidgetItem* parent = m_treeRemote->currentItem();
  if (parent == nullptr) return;
  FillRemoteTree(parent, true);
  if (m_treeRemote->SelectChildByName(parent, name)) {
    QTreeWidgetItem* child = m_treeRemote->currentItem();
    const QSignalBlocker block(m_treeRemote);
    child->setExpanded(true);
  }
}

void CDlgFileMgr::UpFolder() {
  if (m_lastFocusedPane == CTreeRemote::IDC || m_lastFocusedPane == CListRemote::IDC) {
    m_treeRemote->setFocus();
    QTreeWidgetItem* item = m_treeRemote->currentItem();
    if (item != nullptr && item != m_treeRemote->Root() && item->parent()) m_treeRemote->setCurrentItem(item->parent());
  } else if (m_lastFocusedPane == CTreeLocal::IDC || m_lastFocusedPane == CListLocal::IDC) {
    m_treeLocal->setFocus();
    QTreeWidgetItem* item = m_treeLocal->currentItem();
    if (item != nullptr && item != m_treeLocal->Top() && item->parent()) m_treeLocal->setCurrentItem(item->parent());
  }
}

void CDlgFileMgr::Refresh() {
  if (PaneById(m_lastFocusedPane) == nullptr) return;
  if (QTreeWidgetItem* item = m_treeLocal->currentItem()) {
    m_treeLocal->RefreshChildren(item);
    OnLocalTreeSelChanged();
  }
  if (QTreeWidgetItem* item = m_treeRemote->currentItem()) {
    FillRemoteTree(item, true);
    FillRemoteList(item);
  }
}

// ---- commands, menus, keys

void CDlgFileMgr::OnCommand(int id) {
  if (IsBusy()) return;  // the worker is in use
  switch (id) {
    case IDC_DOWNLOAD:
    case ID_MENU_DOWNLOAD: StartTransfer(true); break;
    case IDC_UPLOAD:
    case ID_MENU_UPLOAD: StartTransfer(false); break;
    case IDC_REFRESH: Refresh(); break;
    case IDC_UPFOLDER: UpFolder(); break;
    case IDC_NEWFOLDER:
    case ID_MENU_NEWFOLDER: NewFolder(); break;
    case ID_MENU_RENAME: Rename(); break;
    case IDC_DELETE:
    case ID_MENU_DELETE: Delete(); break;
    default: break;
  }
}

void CDlgFileMgr::ShowContextMenu(QWidget* pane, const QPoint& pos) {
  if (IsBusy()) return;
  QMenu menu(this);
  auto add = [&](const QString& text, int id) {
    QAction* action = menu.addAction(text);
    action->setData(id);
  };
  if (pane == m_listLocal || pane == m_listRemote) {
    const bool local = pane == m_listLocal;
    QTreeWidgetItem* folder = local ? m_treeLocal->currentItem() : m_treeRemote->currentItem();
    if (folder == nullptr || (local && folder == m_treeLocal->MyComputer())) return;
    auto* list = static_cast<CFileList*>(pane);
    add(GetText(local ? 54 : 53), local ? ID_MENU_UPLOAD : ID_MENU_DOWNLOAD);
    add(GetText(57), ID_MENU_NEWFOLDER);
    if (list->SelectedRows().size() == 1) add(GetText(93), ID_MENU_RENAME);
    add(GetText(11), ID_MENU_DELETE);
  } else {
    auto* tree = static_cast<QTreeWidget*>(pane);
    QTreeWidgetItem* hit = tree->itemAt(pos);
    if (hit == nullptr) return;
    if (pane == m_treeLocal && (hit == m_treeLocal->Top() || hit == m_treeLocal->MyComputer())) return;
    tree->setCurrentItem(hit);
    add(GetText(57), ID_MENU_NEWFOLDER);
    if (pane == m_treeLocal || hit != m_treeRemote->Root()) {
      add(GetText(93), ID_MENU_RENAME);
      add(GetText(11), ID_MENU_DELETE);
    }
  }
  pane->setFocus();
  QAction* chosen = menu.exec(static_cast<QAbstractScrollArea*>(pane)->viewport()->mapToGlobal(pos));
  if (chosen != nullptr) OnCommand(chosen->data().toInt());
}

bool CDlgFileMgr::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (m_remoteWaiting) {
    // While a remote operation is waited for, no click, key, menu or drop of
    // this window reaches a command: the panes may be refilled when it ends.
    const bool input = type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride ||
                       type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::ContextMenu ||
                       type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    auto* widget = watched->isWidgetType() ? static_cast<QWidget*>(watched) : nullptr;
    if (input && widget != nullptr && widget->window() == this) return true;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool down = event->type() == QEvent::KeyPress;
  // Each key event is handled once, where it first arrives, and consumed: an
  // unhandled release would travel on to the window and act a second time.
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // On the press only: the release of an Enter that answered a question
      // arrives here after the question has gone, and must do nothing.
      if (!down || key->isAutoRepeat()) return true;
      if (m_editingLabel) {
        if (QWidget* pane = PaneById(m_lastFocusedPane)) pane->setFocus();  // ends the edit
      } else if (watched == m_listLocal) {
        OpenListItem(false, m_listLocal->ChosenRow());
      } else if (watched == m_listRemote) {
        OpenListItem(true, m_listRemote->ChosenRow());
      }
      return true;
    case Qt::Key_Escape: return true;
    case Qt::Key_F1: return down;
    case Qt::Key_Delete:
      if (m_editingLabel) return false;  // the name editor deletes characters
      if (down) {
        if (!key->isAutoRepeat()) m_deletePressed = true;
        return true;
      }
      if (key->isAutoRepeat() || !m_deletePressed) return true;
      m_deletePressed = false;
      if (Button(IDC_DELETE)->isEnabled()) OnCommand(IDC_DELETE);
      return true;
    default: return false;
  }
}

void CDlgFileMgr::changeEvent(QEvent* event) {
  CManagerWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_progress->isVisible()) {
    m_progress->activateWindow();
  }
}

// ---- transfers

void CDlgFileMgr::StartTransfer(bool download) {
  if (IsBusy()) return;
  QTreeWidgetItem* localItem = m_treeLocal->currentItem();
  QTreeWidgetItem* remoteItem = m_treeRemote->currentItem();
  if (localItem == nullptr || remoteItem == nullptr || localItem == m_treeLocal->MyComputer()) return;
  CFileList* source = download ? static_cast<CFileList*>(m_listRemote) : m_listLocal;
  TransferJob job;
  job.download = download;
  // Both sides are the folders the lists show.
  job.remoteFolder = m_listRemote->Folder();
  job.localFolder = m_listLocal->Folder();
  if (job.remoteFolder.empty() || job.localFolder.empty() || job.localFolder == CTreeLocal::kMyComputerPath) return;
  for (int row : source->SelectedRows()) {  // ascending row order
    const FileRow* entry = source->RowAt(row);
    if (entry != nullptr) job.items.push_back({entry->name, entry->IsFolder()});
  }
  if (job.items.empty()) return;
  // Nothing that exists on the other side is replaced without the user's word.
  std::vector<std::string> existing;
  {
    const nsFTP::CServerLogin login = LoginData();
    const std::optional<RemoteExisting> found =
        ResultAs<RemoteExisting>(RunRemote([login, job](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
          RemoteExisting result;
          // A download compares with the PC folder only.
          result.loggedIn = job.download || LoginFor(ftp, login);
          if (!result.loggedIn) return std::any(std::move(result));
          result.found = FindExistingTargets(ftp, job, result.existing);
          result.noConnectBack = !result.found && ftp.ReceiverDidNotConnectBack();
          return std::any(std::move(result));
        }));
    if (!found) return;
    if (!download) GetConnectionState().m_ftpLoggedIn = found->loggedIn;
    if (!found->loggedIn) {
      ShowNoAnswer();
      return;
    }
    if (!found->found) {
      if (found->noConnectBack) {
        ShowErrorText(nsFTP::NoConnectBackText(GetSettings().GetDataPorts()));
      } else {
        ShowNoAnswer();
      }
      return;
    }
    existing = found->existing;
  }
  if (!ConfirmReplacements(job, existing) || job.items.empty()) return;
  const bool loggedIn = !download;  // the upload's listing logged in for it

  // The file count and bytes are known when only files are copied; a folder is walked as it comes.
  int fileCount = 0;
  std::int64_t jobTotal = 0;
  for (const TransferItem& item : job.items) {
    const FileRow* entry = source->RowAt(source->Model().Find(item.name));
    if (entry == nullptr || entry->IsFolder() || entry->bytes < 0) {
      fileCount = -1;
      break;
    }
    ++fileCount;
    jobTotal += entry->bytes;
  }
  const QRect frame = geometry();
  m_progress->move(frame.center() - QPoint(m_progress->width() / 2, m_progress->height() / 2));
  m_progress->StartJob(std::max(fileCount, 0), fileCount >= 0 ? jobTotal : -1, &OnProgressCancel, this);
  m_progress->show();
  m_progress->raise();
  m_progress->activateWindow();
  RunJob(std::move(job), loggedIn);
}

void CDlgFileMgr::RunJob(TransferJob job, bool loggedIn) {
  m_control->Reset();
  m_transferDownload = job.download;
  const nsFTP::CServerLogin login = LoginData();
  const std::shared_ptr<CTransferControl> control = m_control;
  const std::shared_ptr<CTransferProgressState> state = m_progress->SharedState();
  const bool started = m_remote->Start(
      [login, loggedIn, control, state, job = std::move(job)](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
        // The figures go to the progress window's shared state; its timer shows them.
        CProgressStateSink sink(state);
        CFTPObserver observer(sink);
        ftp.AddObserver(&observer);
        RemoteTransfer outcome;
        outcome.loggedIn = (loggedIn && ftp.IsConnected()) || ftp.Login(login, false);
        if (outcome.loggedIn) {
          outcome.result = RunTransferJob(ftp, job, *control);
        } else {
          ftp.Logout();
          outcome.result.stop = TransferStop::kFailed;  // with no stop path: the receiver did not answer
        }
        ftp.RemoveObserver(&observer);
        return std::any(std::move(outcome));
      });
  if (!started) {
    m_progress->hide();
    return;
  }
  m_transferring = true;
  SetBusyUi(true);
  m_remotePoll.start();
}

void CDlgFileMgr::SetBusyUi(bool busy) {
  for (const ButtonPlace& place : kButtons) Button(place.id)->setEnabled(!busy);
  for (QWidget* pane : {static_cast<QWidget*>(m_treeRemote), static_cast<QWidget*>(m_listRemote),
                        static_cast<QWidget*>(m_treeLocal), static_cast<QWidget*>(m_listLocal)}) {
    pane->setEnabled(!busy);
  }
}

void CDlgFileMgr::CancelTransfer() {
  if (!IsTransferring()) return;
  m_control->Cancel(nullptr);
  m_remote->Cancel();  // the client's Abort; a receiver that does not let go is cut off
}

bool CDlgFileMgr::MayQuit() {
  if (!m_transferring.load()) return true;
  if (!AskConfirmText(GetText(kTextQuitDuringTransfer))) return false;
  m_quitting = true;
  CancelTransfer();
  // The worker cuts a receiver off that does not let go: the wait is short.
  m_remote->WaitDone(nsFTP::CRemoteWorker::kGraceMilliseconds + nsFTP::CRemoteWorker::kDestroyWaitMilliseconds);
  m_progress->hide();
  m_transferring = false;
  SetBusyUi(false);
  return true;
}

void CDlgFileMgr::OnTransferDone(bool download, TransferResult result) {
  // Stopped for the end of the application: nothing more to show or tell.
  if (m_quitting) return;
  m_progress->hide();
  m_transferring = false;
  SetBusyUi(false);
  if (result.started) {
    if (download) {
      m_treeLocal->RefreshChildren(m_treeLocal->currentItem());
      OnLocalTreeSelChanged();
    } else {
      FillRemoteTree(m_treeRemote->currentItem(), true);
      FillRemoteList(m_treeRemote->currentItem());
    }
  }
  if (download) {
    UpdateLocalDiskFigures();
  } else {
    m_remoteStrip->SetFigures(0, 0);
  }
  ReportTransfer(result);
}

void CDlgFileMgr::ReportTransfer(const TransferResult& result) {
  if (result.stop != TransferStop::kFailed && result.stop != TransferStop::kCancelled) {
    ReportStop(result.stop);
    return;
  }
  const std::string path = m_control->StopPath();
  if (path.empty()) {
    ShowNoAnswer();
    return;
  }
  const std::string name = GetLastPathComponent(path);
  const int kept = m_control->m_filesDone.load();
  ShowErrorText(Format(GetText(result.stop == TransferStop::kCancelled ? 373 : 372), name.c_str(), kept));
}

void CDlgFileMgr::ReportStop(TransferStop stop) {
  if (stop == TransferStop::kTooDeep) {
    ShowErrorText(Format(GetText(343), kMaxTreeDepth, m_control->StopPath().c_str()));
  } else if (stop == TransferStop::kPathTooLong) {
    ShowPathTooLong(m_control->StopPath());
  }
}

bool CDlgFileMgr::WaitForTransfer(int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (IsTransferring() && timer.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  return !IsTransferring();
}

// ---- folder operations

void CDlgFileMgr::NewFolder() {
  QWidget* pane = PaneById(m_lastFocusedPane);
  if (pane == nullptr) return;
  pane->setFocus();
  if (pane == m_treeLocal || pane == m_listLocal) {
    NewFolderLocal();
  } else {
    NewFolderRemote();
  }
}

void CDlgFileMgr::NewFolderLocal() {
  CWaitCursor wait;
  QTreeWidgetItem* item = m_treeLocal->currentItem();
  if (item == nullptr || item == m_treeLocal->MyComputer()) return;
  const std::string name = m_listLocal->MakeNewFolderName();
  const std::string path = JoinPcPath(m_treeLocal->GetItemPath(item), name);
  if (IsPcPathTooLong(path)) {
    ShowPathTooLong(path);
    return;
  }
  ::mkdir(path.c_str(), 0777);
  {
    const QSignalBlocker block(m_treeLocal);
    m_treeLocal->AddChildFolder(item, name, kTreeFolder, kTreeFolderOpen);
  }
  m_treeLocal->setFocus();
  OnLocalTreeSelChanged();
  m_listLocal->setFocus();
  m_listLocal->SelectRowByName(name);
}

void CDlgFileMgr::NewFolderRemote() {
  const std::string name = m_listRemote->MakeNewFolderName();
  QTreeWidgetItem* item = m_treeRemote->currentItem();
  if (item == nullptr) return;
  const nsFTP::CServerLogin login = LoginData();
  const std::string folder = m_treeRemote->GetItemPath(item);
  const std::optional<RemoteStep> made =
      ResultAs<RemoteStep>(RunRemote([login, folder, name](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
        RemoteStep result;
        result.loggedIn = LoginFor(ftp, login);
        result.done = result.loggedIn && ftp.ChangeDir(folder) == 0 && ftp.CreateDir(name) == 0;
        return std::any(result);
      }));
  if (!made) return;
  GetConnectionState().m_ftpLoggedIn = made->loggedIn;
  if (!made->loggedIn) {
    ShowNoAnswer();
    return;
  }
  if (!made->done) return;
  {
    const QSignalBlocker block(m_treeRemote);
    m_treeRemote->AddChildFolder(item, name, kTreeFolder, kTreeFolderOpen);
    m_treeRemote->ReopenParent(item);
  }
  FillRemoteList(item);
  m_listRemote->setFocus();
  m_listRemote->SelectRowByName(name);
}

void CDlgFileMgr::Delete() {
  QWidget* pane = PaneById(m_lastFocusedPane);
  if (pane == nullptr) return;
  pane->setFocus();
  CWaitCursor wait;
  if (pane == m_listLocal) DeleteLocalList();
  if (pane == m_listRemote) DeleteRemoteList();
  if (pane == m_treeLocal) DeleteLocalTree();
  if (pane == m_treeRemote) DeleteRemoteTree();
}

namespace {

bool AskDeleteRows(const CFileList& list, const std::vector<int>& rows) {
  const std::string text = rows.size() == 1 ? Format(GetText(113), list.RowAt(rows[0])->name.c_str())
                                            : Format(GetText(114), static_cast<int>(rows.size()));
  return GetPrompt().AskYesNo(text, GetText(292));
}

}  // namespace

std::vector<std::string> CDlgFileMgr::TrashOrDeleteLocal(const std::string& folder,
                                                         const std::vector<std::string>& names) {
  std::vector<std::string> gone;
  for (const std::string& name : names) {
    const std::string path = JoinPcPath(folder, name);
    // Where the file system has no trash, the entry is deleted for good only after a question that says so.
    if (QFile::moveToTrash(Q(path)) ||
        (GetPrompt().AskYesNo(Format(GetText(377), name.c_str()), GetText(292)) && ShellDeletePath(path))) {
      gone.push_back(name);
    }
  }
  return gone;
}

void CDlgFileMgr::DeleteLocalList() {
  QTreeWidgetItem* item = m_treeLocal->currentItem();
  const std::string folder = m_listLocal->Folder();  // the folder the list shows
  if (item == nullptr || item == m_treeLocal->MyComputer() || folder.empty() || folder == CTreeLocal::kMyComputerPath)
    return;
  const std::vector<int> rows = m_listLocal->SelectedRows();
  if (!rows.empty()) {
    const std::string text = rows.size() == 1 ? Format(GetText(375), m_listLocal->RowAt(rows[0])->name.c_str())
                                              : Format(GetText(376), static_cast<int>(rows.size()));
    if (GetPrompt().AskYesNo(text, GetText(292))) {
      std::vector<std::string> names;
      for (int row : rows) names.push_back(m_listLocal->RowAt(row)->name);
      TrashOrDeleteLocal(folder, names);
      m_listLocal->Fill(folder);
    }
  }
  m_treeLocal->RefreshChildren(item);
  UpdateLocalDiskFigures();
}

void CDlgFileMgr::DeleteRemoteList() {
  const std::vector<int> rows = m_listRemote->SelectedRows();
  QTreeWidgetItem* item = m_treeRemote->currentItem();
  const std::string path = m_listRemote->Folder();  // the folder the list shows
  if (rows.empty() || item == nullptr || path.empty()) return;
  if (!AskDeleteRows(*m_listRemote, rows)) return;
  std::vector<FileRow> targets;  // last row first
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) targets.push_back(*m_listRemote->RowAt(*it));
  m_control->Reset();
  const nsFTP::CServerLogin login = LoginData();
  const std::shared_ptr<CTransferControl> control = m_control;
  const std::optional<RemoteStep> deleted = ResultAs<RemoteStep>(
      RunRemote([login, path, targets, control](CFTPClient& ftp, const CancelFlag& cancel, IProgressSink&) {
        RemoteStep result;
        result.loggedIn = LoginFor(ftp, login);
        if (!result.loggedIn || ftp.ChangeDir(path) != 0) return std::any(result);
        result.done = true;
        CFolderTransfer walk(ftp, *control);
        for (const FileRow& row : targets) {
          const bool ok = !cancel && (row.IsFolder() ? walk.DeleteRemoteTree(JoinReceiverPath(path, row.name))
                                                     : ftp.DeleteFile(row.name) == 0);
          if (!ok) break;
          ++result.count;
        }
        result.stop = walk.Stop();
        return std::any(result);
      }));
  if (deleted) GetConnectionState().m_ftpLoggedIn = deleted->loggedIn;
  if (deleted && deleted->done) {
    for (int i = 0; i < deleted->count; ++i)
      m_listRemote->RemoveRow(rows[rows.size() - 1 - static_cast<std::size_t>(i)]);
    FillRemoteTree(item, true);
    ReportStop(deleted->stop);
  }
  m_remoteStrip->SetFigures(0, 0);
}

void CDlgFileMgr::DeleteLocalTree() {
  QTreeWidgetItem* item = m_treeLocal->currentItem();
  if (item == nullptr || item == m_treeLocal->MyComputer()) return;
  const int kind = CTreeLocal::Kind(item);
  // The documents item is the user's whole documents folder, which the tree
  // does not show again once gone: it is kept like the desktop and the drives.
  if (kind == CTreeLocal::kTop || kind == CTreeLocal::kMyComputer || kind == CTreeLocal::kDrive ||
      kind == CTreeLocal::kDocuments || kind == CTreeLocal::kPlaceholder) {
    UpdateLocalDiskFigures();
    return;
  }
  QTreeWidgetItem* parent = item->parent();
  const std::string path = m_treeLocal->GetItemPath(item);
  const std::string name = GetLastPathComponent(path);
  if (GetPrompt().AskYesNo(Format(GetText(375), name.c_str()), GetText(292))) {
    TrashOrDeleteLocal(m_treeLocal->GetItemPath(parent), {name});
    m_treeLocal->setCurrentItem(parent);
    m_treeLocal->RefreshChildren(parent);
  }
  UpdateLocalDiskFigures();
}

void CDlgFileMgr::DeleteRemoteTree() {
  QTreeWidgetItem* item = m_treeRemote->currentItem();
  if (item == nullptr || item == m_treeRemote->Root()) return;
  QTreeWidgetItem* parent = item->parent();
  if (GetPrompt().AskYesNo(Format(GetText(171), CTreePane::Text(item).c_str()), GetText(292))) {
    m_control->Reset();
    const nsFTP::CServerLogin login = LoginData();
    const std::shared_ptr<CTransferControl> control = m_control;
    const std::string path = m_treeRemote->GetItemPath(item);
    const std::optional<RemoteStep> deleted =
        ResultAs<RemoteStep>(RunRemote([login, path, control](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
          RemoteStep result;
          result.loggedIn = LoginFor(ftp, login);
          if (!result.loggedIn) return std::any(result);
          CFolderTransfer walk(ftp, *control);
          result.done = walk.DeleteRemoteTree(path);
          result.stop = walk.Stop();
          return std::any(result);
        }));
    if (deleted) GetConnectionState().m_ftpLoggedIn = deleted->loggedIn;
    if (deleted && deleted->done) {
      const QSignalBlocker block(m_treeRemote);
      m_treeRemote->setCurrentItem(parent);
      m_treeRemote->RemoveChildren(item);
      delete item;
      FillRemoteTree(parent, true);
    }
    if (deleted) ReportStop(deleted->stop);
  }
  m_remoteStrip->SetFigures(0, 0);
  if (m_treeRemote->currentItem() == parent) {
    FillRemoteList(parent);
  } else {
    m_treeRemote->setCurrentItem(parent);
  }
}

// ---- renaming in place

void CDlgFileMgr::Rename() {
  QWidget* focus = QApplication::focusWidget();
  QWidget* pane = (focus == m_listLocal || focus == m_listRemote || focus == m_treeLocal || focus == m_treeRemote)
                      ? focus
                      : PaneById(m_lastFocusedPane);
  if (auto* list = qobject_cast<CFileList*>(pane)) {
    const std::vector<int> rows = list->SelectedRows();
    if (rows.size() != 1) return;
    list->editItem(list->topLevelItem(rows[0]), 0);
  } else if (auto* tree = qobject_cast<CTreePane*>(pane)) {
    if (tree->currentItem() != nullptr) tree->editItem(tree->currentItem(), 0);
  }
}

bool CDlgFileMgr::BeginEdit(QTreeWidget* pane, QTreeWidgetItem* item) {
  if (IsBusy()) return false;
  if (pane == m_treeRemote && item == m_treeRemote->Root()) return false;
  if (pane == m_treeLocal) {
    QTreeWidgetItem* current = m_treeLocal->currentItem();
    if (current == m_treeLocal->Top() || current == m_treeLocal->MyComputer()) return false;
    if (CTreeLocal::Kind(item) != CTreeLocal::kFolder || item->parent() == m_treeLocal->MyComputer()) return false;
  }
  m_editingLabel = true;
  return true;
}

void CDlgFileMgr::RestartEdit(QTreeWidget* pane, const QModelIndex& index) {
  const QPersistentModelIndex again(index);
  QTimer::singleShot(0, pane, [pane, again] {
    if (again.isValid()) pane->edit(again);
  });
}

bool CDlgFileMgr::EndEdit(QTreeWidget* pane, QTreeWidgetItem* item, const QModelIndex& index, const std::string& text) {
  const std::string current = CTreePane::Text(item);
  std::vector<std::string> taken;
  if (auto* list = qobject_cast<CFileList*>(pane)) {
    taken = list->AllNames();
  } else {
    taken = CTreePane::SiblingNames(item);
  }
  switch (CheckNewName(text, current, taken)) {
    case NameCheck::kBadCharacter:
      ShowErrorText(BadCharacterMessage());
      RestartEdit(pane, index);
      return false;
    case NameCheck::kEmpty:
      ShowErrorText(GetText(166));
      RestartEdit(pane, index);
      return false;
    case NameCheck::kExists:
      ShowErrorText(GetText(168));
      RestartEdit(pane, index);
      return false;
    case NameCheck::kUnchanged: m_editingLabel = false; return true;
    case NameCheck::kOk: break;
  }
  const bool accepted = ApplyRename(pane, item, text);
  m_editingLabel = false;
  return accepted;
}

bool CDlgFileMgr::ApplyRename(QTreeWidget* pane, QTreeWidgetItem* item, const std::string& text) {
  CWaitCursor wait;
  const std::string old = CTreePane::Text(item);
  // CWD into the folder and RNFR / RNTO there, on the worker.
  auto renameRemote = [this, &old, &text](const std::string& folder) {
    const nsFTP::CServerLogin login = LoginData();
    const std::optional<RemoteStep> renamed =
        ResultAs<RemoteStep>(RunRemote([login, folder, old, text](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
          RemoteStep result;
          result.loggedIn = LoginFor(ftp, login);
          result.done = result.loggedIn && ftp.ChangeDir(folder) == 0 && ftp.RenameFile(old, text) == 0;
          return std::any(result);
        }));
    if (renamed) GetConnectionState().m_ftpLoggedIn = renamed->loggedIn;
    return renamed && renamed->done;
  };
  if (pane == m_listRemote) {
    QTreeWidgetItem* folder = m_treeRemote->currentItem();
    if (folder == nullptr) return false;
    if (renameRemote(m_treeRemote->GetItemPath(folder))) {
      // The list is rebuilt after the edit has ended, not under the editor's feet.
      QTimer::singleShot(0, this, [this, folder] {
        FillRemoteTree(folder, true);
        FillRemoteList(folder);
      });
    }
    return false;
  }
  if (pane == m_treeRemote) {
    QTreeWidgetItem* parent = item->parent();
    if (parent == nullptr) return false;
    return renameRemote(m_treeRemote->GetItemPath(parent));
  }
  // The PC gives no meaning to trailing dots; a name of dots only is no name.
  const std::string name = StripTrailingDots(text);
  if (name.empty()) {
    ShowErrorText(GetText(166));
    return false;
  }
  const std::string folder = pane == m_listLocal ? m_treeLocal->GetItemPath(m_treeLocal->currentItem())
                                                 : m_treeLocal->GetItemPath(item->parent());
  const std::string from = JoinPcPath(folder, old);
  const std::string to = JoinPcPath(folder, name);
  if (IsPcPathTooLong(from) || IsPcPathTooLong(to)) {
    ShowPathTooLong(IsPcPathTooLong(to) ? to : from);
    return false;
  }
  if (PathExists(to)) return false;  // rename would replace another entry
  const bool renamed = std::rename(from.c_str(), to.c_str()) == 0;
  if (pane == m_listLocal) {
    if (renamed) {
      const int row = m_listLocal->RowOf(item);
      m_listLocal->Model().Rows()[static_cast<std::size_t>(row)].name = name;
      QTimer::singleShot(0, this, [this, row, name] {
        if (QTreeWidgetItem* shown = m_listLocal->topLevelItem(row)) shown->setText(0, Q(name));
        m_treeLocal->RefreshChildren(m_treeLocal->currentItem());
      });
    }
    return false;
  }
  // PC tree: the item shows the new name only when the folder really has it.
  if (renamed) {
    QTimer::singleShot(0, this, [this, item, name] {
      item->setText(0, Q(name));
      OnLocalTreeSelChanged();
    });
  }
  return false;
}

}  // namespace vantrel::ui
