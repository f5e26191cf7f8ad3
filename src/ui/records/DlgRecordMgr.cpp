#include "ui/records/DlgRecordMgr.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaObject>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/FileDialogs.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "net/CommandChannel.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/RemoteWait.h"
#include "ui/controls/Resources.h"
#include "ui/controls/SimpleProgress.h"
#include "ui/controls/SplitterBar.h"
#include "ui/controls/TransferProgressDlg.h"
#include "ui/records/RecordList.h"

namespace vantrel::ui {
namespace {

using nsFTP::CFTPClient;
using records::CRecordList;
using CancelFlag = std::atomic_bool;
constexpr int kRemotePollMs = 30;

template <class T>
std::optional<T> ResultAs(std::any value) {
  if (T* result = std::any_cast<T>(&value)) return std::move(*result);
  return std::nullopt;
}

// A download's outcome: nothing when the login failed.
using DownloadOutcome = std::optional<records::DownloadReport>;

constexpr int kTextDelete = 11;
constexpr int kTextName = 47;
constexpr int kTextDownload = 53;
constexpr int kTextSelectPath = 61;
constexpr int kTextRefresh = 55;
constexpr int kTextRename = 93;
constexpr int kTextDeleteOne = 113;
constexpr int kTextDeleteMany = 114;
constexpr int kTextNoFilename = 166;
constexpr int kTextNameExists = 168;
constexpr int kTextSize = 259;
constexpr int kTextModified = 260;
constexpr int kTextNotValidFolder = 302;
constexpr int kTextQuitDuringDownload = 346;
constexpr int kTextRecordDirChanged = 322;
constexpr int kTextTitle = 324;
constexpr int kTextChangeDirectory = 325;
constexpr int kTextTvRadio = 330;
constexpr int kTextNoKey = 357;
constexpr int kTextDeleteRefused = 358;

constexpr int kIconWindow = 20163;
constexpr int kIconTvRow = 20164;
constexpr int kIconRadioRow = 20165;

struct ButtonSetUp {
  int id;
  int text;
  int icon;
  QRect place;
};
constexpr ButtonSetUp kButtons[] = {
    {CDlgRecordMgr::IDC_DOWNLOAD, kTextDownload, 20160, {4, 4, 90, 35}},
    {CDlgRecordMgr::IDC_DELETE, kTextDelete, 20161, {114, 4, 90, 35}},
    {CDlgRecordMgr::IDC_REFRESH, kTextRefresh, 20162, {224, 4, 120, 35}},
    {CDlgRecordMgr::IDC_CHANGE_DIRECTORY, kTextChangeDirectory, 20153, {364, 4, 150, 35}},
    {CDlgRecordMgr::IDC_TV_RADIO, kTextTvRadio, 20171, {534, 4, 130, 35}},
    {CDlgRecordMgr::IDC_RENAME, kTextRename, 20155, {684, 4, 90, 35}},
};

QString Qs(const std::string& text) { return QString::fromStdString(text); }

QTreeWidgetItem* MakeRow(const std::string& name, std::uint64_t size, std::int64_t date, const QIcon& icon) {
  auto* item = new QTreeWidgetItem({Qs(name), Qs(SizeText(static_cast<std::int64_t>(size))), Qs(DateText(date))});
  item->setIcon(0, icon);
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
  return item;
}

}  // namespace

CDlgRecordMgr::CDlgRecordMgr(QWidget* parent, std::uint16_t ftpPort)
    : CManagerWindow(parent),
      m_remote(std::make_unique<nsFTP::CRemoteWorker>(nsFTP::CFTPClient::kDefaultTimeoutSeconds,
                                                      nsFTP::CFTPClient::kDefaultBufferSize)),
      m_ftpPort(ftpPort) {
  m_remotePoll.setInterval(kRemotePollMs);
  connect(&m_remotePoll, &QTimer::timeout, this, [this] { OnRemotePoll(); });
  setObjectName(QString::number(IDD));
  setWindowTitle(QString::fromUtf8(GetText(kTextTitle)));
  setWindowIcon(LoadSvgIcon(kIconWindow, QSize(16, 16)));
  setMinimumSize(1000, 700);
  resize(1000, 700);

  SetUpButtons();
  m_progress = new CDlgTransferProgress(this);
  m_progress->hide();

  m_receiverStrip = new CSimpleProgress(this);
  m_localStrip = new CSimpleProgress(this);
  for (CSimpleProgress* strip : {m_receiverStrip, m_localStrip}) {
    strip->SetUnit(CSimpleProgress::kMegabytes);
    strip->show();
  }

  // Blank panels the splitter bar keeps hidden in this window.
  for (auto [viewer, id] : {std::pair{&m_viewer1, IDC_VIEWER1}, std::pair{&m_viewer2, IDC_VIEWER2}}) {
    *viewer = new QWidget(this);
    (*viewer)->setObjectName(QString::number(id));
    (*viewer)->setAutoFillBackground(true);
    (*viewer)->setPalette(QPalette(Qt::white));
    (*viewer)->hide();
  }

  m_receiverList = new CRecordList(this, IDC_RECEIVER_LIST);
  m_localList = new CRecordList(this, IDC_LOCAL_LIST);
  SetUpList(m_receiverList);
  SetUpList(m_localList);
  m_receiverList->setDragEnabled(true);
  m_receiverList->setDragDropMode(QAbstractItemView::DragOnly);
  m_receiverList->m_canDrag = [this] { return !IsBusy(); };
  m_localList->setAcceptDrops(true);
  m_localList->setDragDropMode(QAbstractItemView::DropOnly);
  m_localList->m_onDrop = [this](int sourceId) {
    if (sourceId == IDC_RECEIVER_LIST) StartDownload();
  };

  m_splitter = new CSplitterBar(this, SplitterOrientation::Horizontal, IDC_SPLITTER);
  m_splitter->SetPanes6(m_receiverStrip, m_viewer1, m_receiverList, m_localStrip, m_viewer2, m_localList);
  m_splitter->Layout();
  m_splitter->SetHideViewers(true);
  Layout();

  m_pendingTimer.setSingleShot(true);
  m_pendingTimer.setInterval(kPendingRefreshTimerMs);
  connect(&m_pendingTimer, &QTimer::timeout, this, [this] { RefreshAll(); });

  m_recordPath = GetSettings().GetRecordPath();
  m_localStrip->SetPath(Qs(m_recordPath));
  m_receiverStrip->SetPath(QString::fromLatin1(records::kReceiverStripPath));
  FillLocalList();
  FetchReceiverEntries();
  ShowReceiverEntries();
  UpdateLocalUsage();
  UpdateReceiverUsage();
}

CDlgRecordMgr::~CDlgRecordMgr() {
  qApp->removeEventFilter(this);
  // The worker stops whatever runs without waiting for the receiver.
  m_remote.reset();
}

void CDlgRecordMgr::StopDownload() {
  if (!m_downloadBusy.load()) return;
  // Only on the way out of the application: the worker cuts off a receiver
  // that does not answer the abort at once. The client downloads into a
  // temporary beside the recording and removes it when cut off: nothing
  // under the recording's name is touched.
  m_remote->Cancel();
  m_remote->WaitDone(nsFTP::CRemoteWorker::kGraceMilliseconds + nsFTP::CRemoteWorker::kDestroyWaitMilliseconds);
}

std::any CDlgRecordMgr::RunRemote(nsFTP::CRemoteWorker::Job job) {
  if (IsBusy() || !m_remote->Start(std::move(job))) return {};
  m_remoteWaiting = true;
  qApp->installEventFilter(this);  // swallows this window's input meanwhile
  RemoteWaitOutcome outcome = WaitForRemoteJob(*m_remote, m_remotePoll, m_remoteLoop, *this, m_closeAfterRemote);
  qApp->removeEventFilter(this);
  m_remoteWaiting = false;
  if (outcome.cancelled) return {};
  return std::move(outcome.result);
}

void CDlgRecordMgr::OnRemotePoll() {
  if (!m_remote->IsDone()) return;
  if (m_remoteLoop != nullptr) {
    m_remoteLoop->quit();  // RunRemote takes the result
    return;
  }
  m_remotePoll.stop();
  FinishDownload(ResultAs<DownloadOutcome>(m_remote->TakeResult()).value_or(std::nullopt));
}

void CDlgRecordMgr::closeEvent(QCloseEvent* event) {
  if (m_remoteWaiting) {
    event->ignore();
    m_closeAfterRemote = true;
    m_remote->Cancel();
    return;
  }
  CManagerWindow::closeEvent(event);
}

void CDlgRecordMgr::reject() {
  if (m_remoteWaiting) {
    m_closeAfterRemote = true;
    m_remote->Cancel();
    return;
  }
  CManagerWindow::reject();
}

void CDlgRecordMgr::SetUpButtons() {
  for (const ButtonSetUp& setUp : kButtons) {
    auto* button = new CButtonST(this);
    button->setObjectName(QString::number(setUp.id));
    button->setText(QString::fromUtf8(GetText(setUp.text)));
    button->SetIcon(setUp.icon, setUp.icon, QSize(24, 24));
    button->SetColor(CButtonST::BTNST_COLOR_BK_IN, Qt::white, false);
    button->SetColor(CButtonST::BTNST_COLOR_BK_OUT, Qt::white, false);
    button->setGeometry(setUp.place);
    m_buttons.push_back(button);
  }
  Button(IDC_RENAME)->hide();
  Button(IDC_TV_RADIO)->setCheckable(true);
  connect(Button(IDC_DOWNLOAD), &QAbstractButton::clicked, this, [this] { StartDownload(); });
  connect(Button(IDC_DELETE), &QAbstractButton::clicked, this, &CDlgRecordMgr::OnDelete);
  connect(Button(IDC_REFRESH), &QAbstractButton::clicked, this, &CDlgRecordMgr::OnRefresh);
  connect(Button(IDC_CHANGE_DIRECTORY), &QAbstractButton::clicked, this, &CDlgRecordMgr::OnChangeDirectory);
  connect(Button(IDC_TV_RADIO), &QAbstractButton::clicked, this, &CDlgRecordMgr::OnToggleMode);
}

void CDlgRecordMgr::SetUpList(CRecordList* list) {
  list->setColumnCount(3);
  list->setHeaderLabels({QString::fromUtf8(GetText(kTextName)), QString::fromUtf8(GetText(kTextSize)),
                         QString::fromUtf8(GetText(kTextModified))});
  list->header()->resizeSection(0, 500);
  list->header()->resizeSection(1, 100);
  list->header()->resizeSection(2, 100);
  list->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  list->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  list->installEventFilter(this);
  connect(list, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& at) { ShowContextMenu(list, at); });
  connect(list->header(), &QHeaderView::sectionClicked, this, [this, list](int column) {
    CWaitCursor wait;
    SortList(list->Id(), column);
  });
  connect(list->NameDelegate(), &records::CNameDelegate::editingStarted, this, [this](int) { m_labelEditing = true; });
  connect(list->NameDelegate(), &records::CNameDelegate::editingEnded, this,
          [this, list](int row, const QString& text) {
            if (list == m_localList) {
              RenameLocalRecording(row, text.toStdString());
            } else {
              m_labelEditing = false;  // names of receiver rows are not applied
            }
          });
  // Escape leaves the name as it was, on either list.
  connect(list->NameDelegate(), &records::CNameDelegate::editingCancelled, this,
          [this](int) { m_labelEditing = false; });
}

CButtonST* CDlgRecordMgr::Button(int id) const {
  for (CButtonST* button : m_buttons)
    if (button->objectName().toInt() == id) return button;
  return nullptr;
}

CRecordList* CDlgRecordMgr::ListById(int id) const {
  if (id == IDC_RECEIVER_LIST) return m_receiverList;
  if (id == IDC_LOCAL_LIST) return m_localList;
  return nullptr;
}

QIcon CDlgRecordMgr::RowIcon() const { return LoadSvgIcon(m_radioMode ? kIconRadioRow : kIconTvRow, QSize(16, 16)); }

void CDlgRecordMgr::Layout() {
  if (m_splitter == nullptr) return;
  m_splitter->SetHideViewers(true);
  m_splitter->Layout();
}

void CDlgRecordMgr::resizeEvent(QResizeEvent* event) {
  CManagerWindow::resizeEvent(event);
  Layout();
}

bool CDlgRecordMgr::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && m_refreshPending && !IsBusy()) m_pendingTimer.start();
  return CManagerWindow::event(event);
}

bool CDlgRecordMgr::eventFilter(QObject* watched, QEvent* event) {
  if (m_remoteWaiting) {
    // While the receiver is waited for, no click, key, menu or drop of this
    // window reaches a command: the lists may be refilled when it answers.
    const QEvent::Type type = event->type();
    const bool input = type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride ||
                       type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::ContextMenu ||
                       type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    auto* widget = watched->isWidgetType() ? static_cast<QWidget*>(watched) : nullptr;
    if (input && widget != nullptr && widget->window() == this) return true;
  }
  auto* list = qobject_cast<CRecordList*>(watched);
  if (list != nullptr) {
    if (event->type() == QEvent::FocusIn) m_focusedList = list->Id();
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        !m_labelEditing && Button(IDC_DELETE)->isEnabled()) {
      m_focusedList = list->Id();
      OnDelete();
      return true;
    }
  }
  return CManagerWindow::eventFilter(watched, event);
}

// ---- filling

void CDlgRecordMgr::FillLocalList() {
  m_localList->clear();
  const QIcon icon = RowIcon();
  for (const records::LocalRecording& file : records::ListLocalRecordings(m_recordPath, m_radioMode))
    m_localList->addTopLevelItem(MakeRow(file.name, file.size, file.modified, icon));
}

bool CDlgRecordMgr::LoginReceiver() {
  const std::uint16_t port = m_ftpPort;
  return ResultAs<bool>(RunRemote([port](CFTPClient& ftp, const CancelFlag&, IProgressSink&) {
           return std::any(records::LoginReceiver(ftp, port));
         }))
      .value_or(false);
}

void CDlgRecordMgr::FetchReceiverEntries() {
  m_entries.clear();
  const std::uint16_t port = m_ftpPort;
  const bool radio = m_radioMode;
  // One login serves the whole scan.
  m_entries = ResultAs<std::vector<records::RecordingEntry>>(RunRemote([port, radio](CFTPClient& ftp, const CancelFlag&,
                                                                                     IProgressSink&) {
                if (!records::LoginReceiver(ftp, port)) return std::any(std::vector<records::RecordingEntry>{});
                return std::any(records::ScanReceiver(ftp, radio));
              })).value_or(std::vector<records::RecordingEntry>{});
}

void CDlgRecordMgr::ShowReceiverEntries() {
  m_receiverList->clear();
  const QIcon icon = RowIcon();
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const records::RecordingEntry& entry = m_entries[i];
    QTreeWidgetItem* row = MakeRow(records::ReceiverRowName(entry, m_radioMode), entry.size, entry.date, icon);
    row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    m_receiverList->addTopLevelItem(row);
  }
}

void CDlgRecordMgr::UpdateLocalUsage() {
  const records::DiskFigures figures = records::LocalDiskFigures(m_recordPath);
  m_localStrip->SetFigures(figures.total, figures.used);
}

ICommandChannel* CDlgRecordMgr::ConnectedCommandChannel() {
  CConnectionState& state = GetConnectionState();
  if (state.GetCommandChannel() == nullptr) state.SetCommandChannel(std::make_unique<CCommandChannel>());
  ICommandChannel* channel = state.GetCommandChannel();
  if (channel->IsConnected()) return channel;
  const std::string host = GetSettings().GetLastIP();
  const int port = channel->Port();
  const std::optional<int> failure =
      ResultAs<int>(RunRemote([channel, host, port](CFTPClient&, const CancelFlag&, IProgressSink&) {
        int failureText = 0;
        channel->ConnectSilently(host, port, &failureText);
        return std::any(failureText);
      }));
  if (!failure) return nullptr;
  if (*failure != 0) {
    ShowErrorText(GetText(*failure));
    return nullptr;
  }
  return channel;
}

void CDlgRecordMgr::UpdateReceiverUsage() {
  ICommandChannel* channel = ConnectedCommandChannel();
  if (channel == nullptr) return;  // the channel has told the user
  // The channel belongs to the connection state and outlives the window; its exchanges are serialised.
  const std::optional<records::DiskFigures> figures =
      ResultAs<records::DiskFigures>(RunRemote([channel](CFTPClient&, const CancelFlag&, IProgressSink&) {
        return std::any(records::ReceiverDiskFigures(*channel));
      }));
  if (figures) m_receiverStrip->SetFigures(figures->total, figures->used);
}

void CDlgRecordMgr::RefreshAll() {
  if (IsBusy()) return;
  if (m_refreshPending) {
    m_refreshPending = false;
    ShowInfoText(GetText(kTextRecordDirChanged));
    m_recordPath = GetSettings().GetRecordPath();
  }
  m_localStrip->SetPath(Qs(m_recordPath));
  m_receiverStrip->SetPath(QString::fromLatin1(records::kReceiverStripPath));
  FillLocalList();
  FetchReceiverEntries();
  ShowReceiverEntries();
  UpdateLocalUsage();
  UpdateReceiverUsage();
}

void CDlgRecordMgr::RecordDirectoryMayHaveChanged() {
  // PC folder names differ by case on this platform, so the comparison is exact.
  if (GetSettings().GetRecordPath() != m_recordPath) m_refreshPending = true;
}

void CDlgRecordMgr::OnShownAgain() {
  if (!m_refreshPending) return;
  CWaitCursor wait;
  RefreshAll();
}

// ---- commands

void CDlgRecordMgr::OnRefresh() {
  if (IsBusy()) return;
  CWaitCursor wait;
  RefreshAll();
}

void CDlgRecordMgr::OnToggleMode() {
  if (IsBusy()) {
    Button(IDC_TV_RADIO)->setChecked(m_radioMode);
    return;
  }
  CWaitCursor wait;
  m_radioMode = !m_radioMode;
  Button(IDC_TV_RADIO)->setChecked(m_radioMode);
  m_receiverSort.ascending = false;
  m_localSort.ascending = false;
  RefreshAll();
}

void CDlgRecordMgr::OnChangeDirectory() {
  if (IsBusy()) return;
  const std::optional<std::string> picked = GetFileDialogs().BrowseForFolder(GetText(kTextSelectPath), m_recordPath);
  if (!picked) return;
  // A file of that name is no folder either.
  if (!std::filesystem::is_directory(*picked)) {
    ShowInfoText(Format("%s %s", picked->c_str(), GetText(kTextNotValidFolder)));
    return;
  }
  if (!GetSettings().SetRecordPath(*picked)) return;  // the settings have told the user
  m_recordPath = GetSettings().GetRecordPath();
  m_localStrip->SetPath(Qs(m_recordPath));
  FillLocalList();
  // The new folder may lie on another disk.
  UpdateLocalUsage();
}

void CDlgRecordMgr::OnDelete() {
  if (IsBusy()) return;
  CWaitCursor wait;
  if (m_focusedList == IDC_RECEIVER_LIST) DeleteReceiverSelection();
  if (m_focusedList == IDC_LOCAL_LIST) DeleteLocalSelection();
}

void CDlgRecordMgr::ShowContextMenu(CRecordList* list, const QPoint& at) {
  if (IsBusy() || list->SelectedRows().empty()) return;
  QMenu menu(this);
  QAction* download = nullptr;
  if (list == m_receiverList) download = menu.addAction(QString::fromUtf8(GetText(kTextDownload)));
  QAction* remove = menu.addAction(QString::fromUtf8(GetText(kTextDelete)));
  QAction* chosen = menu.exec(list->viewport()->mapToGlobal(at));
  if (chosen == nullptr) return;
  if (chosen == download) {
    StartDownload();
  } else if (chosen == remove) {
    m_focusedList = list->Id();
    OnDelete();
  }
}

void CDlgRecordMgr::SortList(int listId, int column) {
  CRecordList* list = ListById(listId);
  if (list == nullptr) return;
  SortState& state = list == m_receiverList ? m_receiverSort : m_localSort;
  state.ascending = !state.ascending;
  state.column = column;
  const int kind = records::SortKindOfColumn(column);
  std::vector<QTreeWidgetItem*> rows;
  while (list->topLevelItemCount() > 0) rows.push_back(list->takeTopLevelItem(0));
  const bool ascending = state.ascending;
  std::stable_sort(rows.begin(), rows.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    const int order = records::CompareCells(kind, a->text(column).toStdString(), b->text(column).toStdString());
    return ascending ? order < 0 : order > 0;
  });
  for (QTreeWidgetItem* row : rows) list->addTopLevelItem(row);
}

// ---- deletion

namespace {

// The question before deleting rows: one row by its name, more by their count; true on Yes.
bool AskDeleteRows(const QTreeWidget& list, const std::vector<int>& rows) {
  const std::string question =
      rows.size() == 1 ? Format(GetText(kTextDeleteOne), list.topLevelItem(rows.front())->text(0).toStdString().c_str())
                       : Format(GetText(kTextDeleteMany), static_cast<int>(rows.size()));
  return AskConfirmText(question);
}

}  // namespace

void CDlgRecordMgr::DeleteLocalSelection() {
  if (IsBusy()) return;
  const std::vector<int> rows = m_localList->SelectedRows();
  if (rows.empty()) return;
  if (!AskDeleteRows(*m_localList, rows)) return;
  std::vector<std::string> names;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row)
    names.push_back(m_localList->topLevelItem(*row)->text(0).toStdString());
  if (ShellDeletePaths(RemoveTrailingBackslash(m_recordPath), names)) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) delete m_localList->takeTopLevelItem(*row);
  }
  FillLocalList();
  UpdateLocalUsage();
}

void CDlgRecordMgr::DeleteReceiverSelection() {
  if (IsBusy()) return;
  const std::vector<int> rows = m_receiverList->SelectedRows();
  if (rows.empty()) return;
  if (!AskDeleteRows(*m_receiverList, rows)) return;
  ICommandChannel* channel = ConnectedCommandChannel();
  if (channel == nullptr) return;
  std::vector<records::RecordingEntry> entries;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    const QVariant data = m_receiverList->topLevelItem(*row)->data(0, Qt::UserRole);
    const auto index = static_cast<std::size_t>(data.toULongLong());
    if (!data.isValid() || index >= m_entries.size()) continue;
    entries.push_back(m_entries[index]);
  }
  const bool radio = m_radioMode;
  const std::optional<records::DeleteReport> deleted = ResultAs<records::DeleteReport>(
      RunRemote([channel, radio, entries](CFTPClient&, const CancelFlag&, IProgressSink&) {
        return std::any(records::DeleteByKey(*channel, radio, entries));
      }));
  if (!deleted) return;
  const records::DeleteReport& report = *deleted;
  if (!report.withoutKey.empty()) {
    std::string names;
    for (const std::string& path : report.withoutKey) names += (names.empty() ? "" : ", ") + GetFileName(path, true);
    ShowErrorText(Format(GetText(kTextNoKey), names.c_str()));
  }
  if (report.refused) ShowErrorText(GetText(kTextDeleteRefused));
  if (!report.sent) return;
  // The receiver's list is the truth: refused recordings stay listed.
  FetchReceiverEntries();
  ShowReceiverEntries();
  UpdateReceiverUsage();
}

// ---- renaming

void CDlgRecordMgr::StartRenameAgain(int row) {
  m_labelEditing = true;
  QTimer::singleShot(0, this, [this, row] {
    QTreeWidgetItem* item = m_localList->topLevelItem(row);
    if (item == nullptr) {
      m_labelEditing = false;
      return;
    }
    m_localList->setCurrentItem(item);
    m_localList->editItem(item, 0);
  });
}

bool CDlgRecordMgr::RenameLocalRecording(int row, const std::string& typed) {
  QTreeWidgetItem* item = m_localList->topLevelItem(row);
  if (item == nullptr) {
    m_labelEditing = false;
    return true;
  }
  const std::string current = item->text(0).toStdString();
  std::vector<std::string> names;
  for (int i = 0; i < m_localList->topLevelItemCount(); ++i)
    names.push_back(m_localList->topLevelItem(i)->text(0).toStdString());
  const records::RenameResult result = records::RenamePcRecording(m_recordPath, current, typed, names, m_radioMode);
  const records::RenameCheck& check = result.check;
  switch (check.outcome) {
    case records::RenameCheck::kEmpty:
      ShowErrorText(GetText(kTextNoFilename));
      StartRenameAgain(row);
      return false;
    case records::RenameCheck::kBadCharacter:
      ShowErrorText(records::BadCharacterMessage());
      StartRenameAgain(row);
      return false;
    case records::RenameCheck::kExists:
      ShowErrorText(GetText(kTextNameExists));
      StartRenameAgain(row);
      return false;
    case records::RenameCheck::kUnchanged: break;
    case records::RenameCheck::kRename:
      if (result.renamed) item->setText(0, Qs(check.name));
      break;
  }
  m_labelEditing = false;
  return true;
}

// ---- download

void CDlgRecordMgr::EnableCommands(bool enable) {
  for (int id : {IDC_DOWNLOAD, IDC_RENAME, IDC_DELETE, IDC_REFRESH, IDC_CHANGE_DIRECTORY, IDC_TV_RADIO})
    Button(id)->setEnabled(enable);
}

void CDlgRecordMgr::CancelDownload(void* context, int /*value*/) {
  auto* self = static_cast<CDlgRecordMgr*>(context);
  // Ends the job after the file that is moving; the client stops that one
  // after its current chunk (and the worker cuts off a receiver that hangs).
  if (self->m_downloadBusy.load()) self->m_remote->Cancel();
}

bool CDlgRecordMgr::StartDownload() {
  if (IsBusy()) return false;
  const std::vector<int> rows = m_receiverList->SelectedRows();
  if (rows.empty()) return false;
  std::vector<records::RecordingEntry> entries;
  for (int row : rows) {
    const QVariant data = m_receiverList->topLevelItem(row)->data(0, Qt::UserRole);
    const auto index = static_cast<std::size_t>(data.toULongLong());
    if (!data.isValid() || index >= m_entries.size()) continue;
    entries.push_back(m_entries[index]);
  }
  std::vector<records::DownloadItem> plan = records::PlanDownload(m_recordPath, entries, m_radioMode);
  // An existing PC recording is replaced only when the user says so.
  if (!records::ConfirmReplacements(plan) || plan.empty()) return false;

  const QRect frame = geometry();
  m_progress->move(frame.center() - QPoint(m_progress->width() / 2, m_progress->height() / 2));
  std::int64_t jobTotal = 0;
  for (const records::DownloadItem& item : plan) jobTotal += static_cast<std::int64_t>(item.entry.size);
  m_progress->StartJob(static_cast<int>(plan.size()), jobTotal, &CDlgRecordMgr::CancelDownload, this);
  m_progress->show();
  m_progress->raise();
  m_progress->activateWindow();

  // The job touches no widget: the figures go to the progress window's
  // shared state, which its timer shows.
  const std::uint16_t port = m_ftpPort;
  const std::shared_ptr<CTransferProgressState> state = m_progress->SharedState();
  const bool started =
      m_remote->Start([port, state, plan = std::move(plan)](CFTPClient& ftp, const CancelFlag& cancel, IProgressSink&) {
        if (!records::LoginReceiver(ftp, port)) return std::any(DownloadOutcome{});
        CProgressStateSink sink(state);
        CFTPObserver observer(sink);
        ftp.AddObserver(&observer);
        // The bar shows the progress of the file that moves.
        const records::DownloadReport report =
            records::RunDownload(ftp, plan, cancel, [&observer](const records::DownloadItem& item) {
              observer.SetFileSize(static_cast<std::int64_t>(item.entry.size));
            });
        ftp.RemoveObserver(&observer);
        return std::any(DownloadOutcome{report});
      });
  if (!started) {
    m_progress->hide();
    return false;
  }
  m_quitting = false;
  m_downloadBusy.store(true);
  EnableCommands(false);
  m_remotePoll.start();
  return true;
}

bool CDlgRecordMgr::MayQuit() {
  if (!m_downloadBusy.load()) return true;
  if (!AskConfirmText(GetText(kTextQuitDuringDownload))) return false;
  m_quitting = true;
  StopDownload();
  m_progress->hide();
  m_downloadBusy.store(false);
  EnableCommands(true);
  return true;
}

void CDlgRecordMgr::FinishDownload(const std::optional<records::DownloadReport>& report) {
  // Stopped for the end of the application: nothing more to tell.
  if (m_quitting) return;
  m_progress->hide();
  // A failed login tells nothing; every other failure says which file and that earlier ones were kept.
  const bool done = report && report->outcome == records::DownloadReport::kDone;
  if (report && !done) {
    FillLocalList();
    ShowErrorText(records::DownloadFailureText(*report));
  }
  m_downloadBusy.store(false);
  {
    CWaitCursor wait;
    RefreshAll();
  }
  EnableCommands(true);
  Q_EMIT downloadFinished(done);
}

}  // namespace vantrel::ui
