// The channel editor's commands: buttons, menus, Open, Save and Save As.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "channels/ChannelBackups.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/ListCheck.h"
#include "channels/ListToolTexts.h"
#include "channels/ReferenceCsvTexts.h"
#include "core/FileDialogs.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ui/channel/ChannelTableModel.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/DlgDuplicates.h"
#include "ui/channel/DlgInputNumber.h"
#include "ui/channel/DlgListCheck.h"
#include "ui/channel/DlgSatellite.h"
#include "ui/channel/DlgServiceInfo.h"
#include "ui/channel/EditorListView.h"
#include "ui/channel/FavoriteTree.h"
#include "ui/channel/ViewerStatus.h"
#include "ui/controls/CheckST.h"

namespace vantrel::ui {
namespace {

using channels::FavoriteGroup;
using channels::ServiceKind;

constexpr int kTextIncorrectFile = 95;
constexpr int kTextUnsavedChanges = 345;
constexpr int kTextWaitForSend = 363;
constexpr int kTextRestoreButton = 364;
constexpr int kTextRestoreTitle = 365;
constexpr int kTextRestoreWhen = 366;
constexpr int kTextServices = 367;
constexpr int kTextGroups = 368;
constexpr int kTextRestoreFile = 369;
constexpr int kTextNoBackups = 370;
constexpr int kTextCancel = 272;
constexpr const char* kOpenFilter = "User Favorite Files(*.xml);;All(*.*)";
constexpr const char* kSaveFilter = "User Favorite Files(*.xml);;*.xml;;All(*.*)";

QString T(int index) { return QString::fromUtf8(GetText(index)); }

bool HasXmlExtension(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0;
}

QAction* AddCommand(QMenu& menu, int id, const QString& text, bool enabled) {
  QAction* action = menu.addAction(text);
  action->setData(id);
  action->setObjectName(QString::number(id));
  action->setEnabled(enabled);
  return action;
}

}  // namespace

channels::INumberInput& CDlgChannel::NumberInput() {
  if (m_numberInput != nullptr) return *m_numberInput;
  if (!m_numberDialog) m_numberDialog = new CDlgInputNumber(this);  // owned by the window
  return *m_numberDialog;
}

bool CDlgChannel::RunCommand(int id) {
  // A command started while the receiver exchange runs would act on a list
  // that the end of a load replaces.
  if (IsBusy()) return false;
  // The numbering mode disables the editor's buttons: their commands would
  // save, send or reorder a list whose new order is only half given.
  if (m_editor->IsNumbering() && m_buttons.count(id) != 0) return false;
  const CommandScope scope(m_commandDepth);
  if (id == ID_UNDO) return OnUndo();
  if (id == ID_REDO) return OnRedo();
  const int name = StepNameOf(id);
  if (name == 0) return DoCommand(id);
  return RunStep(name, [this, id] { return DoCommand(id); });
}

int CDlgChannel::StepNameOf(int id) {
  // The step takes the name of the button or menu item.
  static const std::map<int, int> names = {
      {IDC_OPEN, 1},
      {IDC_SAVE, 2},
      {IDC_SAVE_AS, 3},
      {IDC_LOAD_PVR, 4},
      {IDC_SEND_PVR, 5},
      {IDC_SAT_TP, 7},
      {IDC_CREATE_FAVORITE, 8},
      {ID_TREE_CREATE, 8},
      {IDC_ADD_FAVORITE, 9},
      {ID_ADD_TO_SELECTED, 9},
      {IDC_RENUMBERING, 10},
      {ID_RENUMBER, 10},
      {IDC_DELETE, 11},
      {ID_TREE_DELETE, 11},
      {ID_DELETE_MEMBERS, 11},
      {ID_END_NUMBERING, 124},
      {ID_MOVE_TO, 125},
      {ID_ADD_TO_NEW_TV, 128},
      {ID_ADD_TO_NEW_RADIO, 129},
      {ID_ADD_TO_ALL, 130},
      {ID_DELETE_CHANNELS, 131},
      {ID_DELETE_FROM_ALL, 132},
      {ID_ADD_EMPTY, 133},
      {ID_EDIT_CHANNEL, 134},
      {ID_LOCK, 136},
      {ID_UNLOCK, 137},
      {ID_SKIP, 138},
      {ID_FREE, 139},
      {ID_AUTO_NUMBERING, 320},
      {IDC_RESTORE, 364},
      {ID_FIND_DUPLICATES, channels::kTextDeleteDuplicates},
      {ID_CHECK_LIST, channels::kTextFixButton},
      {ID_APPLY_REFERENCE, channels::kTextReferenceCaption},
      {ID_IMPORT_CSV, channels::kTextImportCaption},
  };
  const auto it = names.find(id);
  return it != names.end() ? it->second : 0;
}

bool CDlgChannel::RunStep(int nameText, const std::function<bool()>& action) {
  m_editor->SetTopRows(m_channelList->FirstVisibleRow(), m_serviceList->FirstVisibleRow());
  return m_editor->Perform(nameText, action);
}

// Not while a drag or its drop is under way: the drop holds pointers into the list.
bool CDlgChannel::OnUndo() {
  if (IsBusy() || m_labelEditing || m_drag != DragSource::None || DropPending()) return false;
  m_editor->SetTopRows(m_channelList->FirstVisibleRow(), m_serviceList->FirstVisibleRow());
  if (!m_editor->Undo()) return false;
  ShowRestoredStep();
  return true;
}

bool CDlgChannel::OnRedo() {
  if (IsBusy() || m_labelEditing || m_drag != DragSource::None || DropPending()) return false;
  if (!m_editor->Redo()) return false;
  ShowRestoredStep();
  return true;
}

void CDlgChannel::ShowRestoredStep() {
  m_tvRadio->SetCheck(m_editor->CurrentKind() == ServiceKind::Radio);
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
  const auto scrollTop = [](CEditorListView* view, long long row) {
    const int rows = view->model()->rowCount();
    if (rows > 0 && row >= 0) {
      view->scrollTo(view->model()->index(static_cast<int>(std::min<long long>(row, rows - 1)), 0),
                     QAbstractItemView::PositionAtTop);
    }
  };
  scrollTop(m_channelList, m_editor->TopChannelRow());
  scrollTop(m_serviceList, m_editor->TopServiceRow());
  UpdateTitle();
  UpdateButtons();
}

bool CDlgChannel::DoCommand(int id) {
  auto& editor = *m_editor;
  switch (id) {
    case IDC_OPEN: OpenFile(); return true;
    case IDC_SAVE: Save(); return true;
    case IDC_SAVE_AS: SaveAs(); return true;
    case IDC_LOAD_PVR: OnLoadFromPvr(); return true;
    case IDC_SEND_PVR: OnSendToPvr(); return true;
    case IDC_CREATE_FAVORITE: OnCreateFavorite(); return true;
    case IDC_ADD_FAVORITE:
    case ID_ADD_TO_SELECTED: OnAddToFavorite(); return true;
    case IDC_DELETE:
    case ID_TREE_DELETE:
      if (id == ID_TREE_DELETE) {
        editor.DeleteGroup(CFavoriteTree::GroupOf(m_tree->currentItem()));
        RebuildTree();
        ShowSelectedTreeItem();
      } else {
        OnDelete();
      }
      return true;
    case IDC_RENUMBERING:
    case ID_RENUMBER:
      editor.Renumber();
      RefreshChannelList();
      RefreshServiceList();
      return true;
    case IDC_SAT_TP: OnSatellite(); return true;
    case IDC_RESTORE: OnRestore(); return true;
    case IDC_TV_RADIO: OnTvRadio(); return true;
    case IDC_SEARCH: OnSearch(); return true;
    case ID_ADD_TO_NEW_TV:
    case ID_ADD_TO_NEW_RADIO: {
      FavoriteGroup* group = editor.CreateFavoriteGroup(id == ID_ADD_TO_NEW_TV ? ServiceKind::Tv : ServiceKind::Radio);
      if (group != nullptr) editor.AddToFavoriteGroup(group);
      RebuildTree();
      ShowSelectedTreeItem();
      StartEditingGroup(editor.Tree().EditingGroup());
      return true;
    }
    case ID_ADD_TO_ALL:
      editor.AddToAllFavoriteGroups();
      ShowSelectedTreeItem();
      return true;
    case ID_DELETE_CHANNELS:
      editor.DeleteChannels();
      RefreshChannelList();
      RefreshServiceList();
      ShowChannelCaptionDefault();
      return true;
    case ID_DELETE_FROM_ALL:
      editor.RemoveFromAllFavoriteGroups();
      ShowSelectedTreeItem();
      return true;
    case ID_EDIT_CHANNEL: OnEditChannel(); return true;
    case ID_LOCK:
    case ID_UNLOCK:
      editor.SetLocked(id == ID_LOCK);
      m_channelModel->RefreshCells();
      return true;
    case ID_SKIP:
    case ID_FREE:
      editor.SetSkipped(id == ID_SKIP);
      m_channelModel->RefreshCells();
      return true;
    case ID_MOVE_TO:
      editor.MoveChannels(NumberInput());
      RefreshChannelList();
      RefreshServiceList();
      return true;
    case ID_ADD_EMPTY:
      editor.AddEmptyChannel();
      RefreshChannelList();
      return true;
    case ID_DELETE_MEMBERS:
      editor.DeleteGroupMembers();
      RefreshServiceList();
      ShowServiceCaptionDefault();
      return true;
    case ID_TREE_CREATE: {
      QTreeWidgetItem* item = m_tree->currentItem();
      ServiceKind kind = ServiceKind::Tv;
      if (FavoriteGroup* group = CFavoriteTree::GroupOf(item)) {
        kind = editor.Tree().NodeOf(group).value_or(ServiceKind::Tv);
      } else if (item != nullptr) {
        kind = static_cast<ServiceKind>(item->data(0, Qt::UserRole).toInt());
      }
      editor.CreateFavoriteGroup(kind);
      RebuildTree();
      ShowSelectedTreeItem();
      StartEditingGroup(editor.Tree().EditingGroup());
      return true;
    }
    case ID_TREE_RENAME: StartEditingGroup(CFavoriteTree::GroupOf(m_tree->currentItem())); return true;
    case ID_AUTO_NUMBERING:
      editor.AutoNumberLcn(NumberInput());
      RefreshServiceList();
      return true;
    case ID_START_NUMBERING:
      editor.StartNumbering(NumberInput());
      m_channelModel->RefreshCells();
      UpdateButtons();
      return true;
    case ID_END_NUMBERING:
      editor.EndNumbering();
      RefreshChannelList();
      RefreshServiceList();
      UpdateButtons();
      return true;
    case ID_CANCEL_NUMBERING:
      editor.CancelNumbering();
      m_channelModel->RefreshCells();
      UpdateButtons();
      return true;
    case ID_FIND_DUPLICATES: OnFindDuplicates(); return true;
    case ID_CHECK_LIST: OnCheckList(); return true;
    case ID_APPLY_REFERENCE: OnApplyReference(); return true;
    case ID_EXPORT_CSV: OnExportCsv(); return true;
    case ID_IMPORT_CSV: OnImportCsv(); return true;
    default: return false;
  }
}

// ---------------------------------------------------------------- files

bool CDlgChannel::MayQuit() {
  // A send cut off half way could leave the receiver without its whole list.
  if (IsSending()) {
    ShowInfoText(GetText(kTextWaitForSend));
    return false;
  }
  return MayDropList();
}

bool CDlgChannel::MayDropList() {
  if (!m_editor->IsModified()) return true;
  switch (AskSaveText(GetText(kTextUnsavedChanges))) {
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: return false;
    case SaveAnswer::Save: break;
  }
  const std::string path = m_list->FilePath();
  if (!path.empty() && HasXmlExtension(path)) {
    Save();
  } else {
    SaveAs();
  }
  // A save that failed or was given up keeps the work.
  return !m_editor->IsModified();
}

void CDlgChannel::OpenFile() {
  RunStep(1, [this] {
    OpenFileNow();
    return true;
  });
}

void CDlgChannel::OpenFileNow() {
  if (!MayDropList()) return;
  const std::optional<std::string> chosen = GetFileDialogs().GetOpenFileName(GetText(1), {}, kOpenFilter);
  if (!chosen || chosen->empty()) return;
  const std::string path = *chosen;
  // A refused or unreadable file leaves the editor, its list and its title as they were.
  if (!PathExists(path) || !HasXmlExtension(path)) {
    ShowErrorText(GetText(kTextIncorrectFile));
    return;
  }
  auto fresh = std::make_unique<channels::ChannelList>();
  const channels::ReadResult read = channels::ReadChannelFile(*fresh, path);
  if (read != channels::ReadResult::Loaded) {
    // A failure was shown by the reader; another document is no channel list.
    if (read == channels::ReadResult::WrongDocument) ShowErrorText(GetText(kTextIncorrectFile));
    return;
  }
  fresh->SetFilePath(path);
  AdoptList(std::move(fresh));
  m_editor->RepairNumbering();
  m_editor->SetModified(false);
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
  SetTitleFor(path);
  UpdateButtons();
}

void CDlgChannel::Save() {
  // The writer may sort and renumber first: that is part of the step.
  RunStep(2, [this] {
    SaveNow();
    return true;
  });
}

void CDlgChannel::SaveNow() {
  const std::string path = m_list->FilePath();
  if (path.empty() || !HasXmlExtension(path)) return;
  if (!PathExists(path)) {
    SaveAs();
    return;
  }
  if (!CheckBeforeWriting(false)) return;
  if (channels::WriteChannelFile(*m_list, path, false, WriterView()) == channels::WriteResult::Written)
    m_editor->SetModified(false);
  RefreshChannelList();
  RefreshServiceList();
  UpdateButtons();
}

void CDlgChannel::SaveAs() {
  RunStep(3, [this] {
    SaveAsNow();
    return true;
  });
}

void CDlgChannel::SaveAsNow() {
  if (!CheckBeforeWriting(false)) return;
  const std::optional<std::string> chosen =
      GetFileDialogs().GetSaveFileName(GetText(3), m_list->FilePath(), kSaveFilter);
  if (!chosen || chosen->empty()) return;
  std::string path = *chosen;
  // The save dialog's default extension: a name without one gets ".xml".
  if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += ".xml";
  if (!HasXmlExtension(path)) return;
  if (channels::WriteChannelFile(*m_list, path, false, WriterView()) == channels::WriteResult::Written)
    m_editor->SetModified(false);
  RefreshChannelList();
  RefreshServiceList();
  UpdateButtons();
}

void CDlgChannel::OnRestore() {
  if (!MayDropList()) return;
  const std::string folder =
      m_exchangeOptions.backupFolder.empty() ? channels::DefaultBackupFolder() : m_exchangeOptions.backupFolder;
  const std::vector<std::string> backups = channels::ListBackups(folder);
  if (backups.empty()) {
    ShowInfoText(Format(GetText(kTextNoBackups), folder.c_str()));
    return;
  }
  QDialog dialog(this);
  dialog.setWindowTitle(T(kTextRestoreTitle));
  auto* list = new QTreeWidget(&dialog);
  list->setObjectName(QStringLiteral("restoreList"));
  list->setRootIsDecorated(false);
  list->setHeaderLabels({T(kTextRestoreWhen), T(kTextServices), T(kTextGroups), T(kTextRestoreFile)});
  for (const std::string& path : backups) {
    const channels::BackupSummary summary = channels::DescribeBackup(path);
    auto* item = new QTreeWidgetItem(
        list, {QString::fromStdString(summary.when), QString::number(summary.services), QString::number(summary.groups),
               QFileInfo(QString::fromStdString(path)).fileName()});
    item->setData(0, Qt::UserRole, QString::fromStdString(path));
  }
  list->setCurrentItem(list->topLevelItem(0));
  for (int c = 0; c < 4; ++c) list->resizeColumnToContents(c);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(T(kTextRestoreButton));
  buttons->button(QDialogButtonBox::Cancel)->setText(T(kTextCancel));
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  dialog.resize(560, 360);
  if (dialog.exec() != QDialog::Accepted || list->currentItem() == nullptr) return;
  RestoreBackup(list->currentItem()->data(0, Qt::UserRole).toString().toStdString());
}

bool CDlgChannel::RestoreBackup(const std::string& path) {
  return RunStep(kTextRestoreButton, [this, &path] { return RestoreBackupNow(path); });
}

bool CDlgChannel::RestoreBackupNow(const std::string& path) {
  auto fresh = std::make_unique<channels::ChannelList>();
  const channels::ReadResult read = channels::ReadChannelFile(*fresh, path);
  if (read != channels::ReadResult::Loaded) {
    if (read == channels::ReadResult::WrongDocument) ShowErrorText(GetText(kTextIncorrectFile));
    return false;
  }
  // Not the user's file: it opens unsaved, so Save asks where and quitting asks first.
  fresh->SetFilePath({});
  AdoptList(std::move(fresh));
  m_editor->SetModified(true);
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
  UpdateTitle();
  UpdateButtons();
  return true;
}

// ---------------------------------------------------------------- list tools

bool CDlgChannel::CheckBeforeWriting(bool send) {
  // A send without services does nothing at all.
  if (send && m_list->TvServices().empty() && m_list->RadioServices().empty()) return true;
  if (channels::CheckChannelList(*m_list).empty()) return true;
  CDlgListCheck dialog(*m_editor, send ? CDlgListCheck::Purpose::Send : CDlgListCheck::Purpose::Save, this);
  connect(&dialog, &CDlgListCheck::listChanged, this, [this] { RefreshAll(); });
  const bool goOn = dialog.exec() == QDialog::Accepted;
  RefreshAll();
  return goOn;
}

void CDlgChannel::OnCheckList() {
  CDlgListCheck dialog(*m_editor, CDlgListCheck::Purpose::Look, this);
  connect(&dialog, &CDlgListCheck::listChanged, this, [this] { RefreshAll(); });
  dialog.exec();
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
}

void CDlgChannel::OnFindDuplicates() {
  CDlgDuplicates dialog(*m_editor, this);
  connect(&dialog, &CDlgDuplicates::listChanged, this, [this] {
    RefreshAll();
    ShowChannelCaptionDefault();
    ShowServiceCaptionDefault();
  });
  dialog.exec();
  RefreshAll();
}

// ---------------------------------------------------------------- actions

void CDlgChannel::OnDelete() {
  auto& editor = *m_editor;
  switch (m_lastFocused) {
    case FocusedView::Tree:
      editor.DeleteSelectedGroup();
      RebuildTree();
      ShowSelectedTreeItem();
      break;
    case FocusedView::Channels:
      editor.DeleteChannels();
      RefreshChannelList();
      ShowChannelCaptionDefault();
      editor.RefreshServiceView();
      RefreshServiceList();
      break;
    case FocusedView::Services:
      editor.DeleteGroupMembers();
      RefreshServiceList();
      ShowServiceCaptionDefault();
      break;
  }
}

void CDlgChannel::OnCreateFavorite() {
  if (m_editor->CreateFavoriteGroupForSelection() == nullptr) return;
  RebuildTree();
  ShowSelectedTreeItem();
  StartEditingGroup(m_editor->Tree().EditingGroup());
}

void CDlgChannel::OnAddToFavorite() {
  m_editor->AddToFavoriteGroup(m_editor->Tree().SelectedGroup());
  m_editor->RefreshServiceView();
  RefreshServiceList();
  ShowServiceCaptionDefault();
}

void CDlgChannel::OnSatellite() {
  CDlgSatellite dialog(*m_editor, this);
  dialog.exec();
  RefreshAll();
  ShowChannelCaptionDefault();
}

void CDlgChannel::OnTvRadio() {
  m_editor->ToggleTvRadio();
  m_tvRadio->SetCheck(m_editor->CurrentKind() == ServiceKind::Radio);
  RefreshChannelList();
  ShowChannelCaptionDefault();
}

void CDlgChannel::OnSearch() {
  if (!m_editor->SearchChannel(m_searchEdit->text().toStdString())) return;
  PushChannelSelection();
  const int row = static_cast<int>(m_editor->SearchPosition());
  m_channelList->scrollTo(m_channelModel->index(row, 0));
  ShowChannelRow(row);
}

void CDlgChannel::OnEditChannel() {
  RunStep(134, [this] {
    OnEditChannelNow();
    return true;
  });
}

void CDlgChannel::OnEditChannelNow() {
  auto& view = m_editor->Channels();
  if (view.SelectedCount() != 1) return;
  channels::Service* service = view.SelectedServices().front();
  CDlgServiceInfo dialog(*m_editor, this);
  dialog.SetService(*service);
  if (dialog.exec() != QDialog::Accepted) return;
  m_editor->ChangeChannelNumber(*service, dialog.GetService());
  RefreshChannelList();
  RefreshServiceList();
}

void CDlgChannel::OnChannelClicked(int row) {
  if (row < 0) return;
  auto& editor = *m_editor;
  if (editor.IsNumbering()) {
    editor.ClickRow(static_cast<std::size_t>(row));
    m_channelModel->RefreshCells();
    return;
  }
  if (row != editor.SearchPosition()) {
    editor.ClickRow(static_cast<std::size_t>(row));
    ShowChannelRow(row);
  }
}

void CDlgChannel::OnChannelDoubleClicked(int row) {
  // In the numbering mode the click before already numbered the row.
  if (row < 0 || m_editor->IsNumbering()) return;
  OnEditChannel();
}

void CDlgChannel::OnHeaderClicked(int column) {
  m_editor->HeaderClick(column);
  RefreshChannelList();
  const long long position = m_editor->SearchPosition();
  if (position >= 0) {
    m_channelList->scrollTo(m_channelModel->index(static_cast<int>(position), 0));
    ShowChannelRow(static_cast<int>(position));
  }
}

void CDlgChannel::OnServiceClicked(int row) {
  if (row >= 0) ShowServiceRow(row);
}

void CDlgChannel::OnRenameRequested(QTreeWidgetItem* item, const QString& text) {
  FavoriteGroup* group = CFavoriteTree::GroupOf(item);
  if (group == nullptr) return;
  m_renameCommitted = true;
  if (RunStep(93, [&] { return m_editor->RenameFavoriteGroup(*group, text.toStdString()); })) {
    item->setText(0, QString::fromStdString(group->Name));
    ShowTreeCaption();
    return;
  }
  // Refused: the old name stays and the editing starts again once this edit has closed.
  QTimer::singleShot(0, this, [this, group] {
    if (m_editor->Tree().EditingGroup() == group) StartEditingGroup(group);
  });
}

// ---------------------------------------------------------------- menus

std::unique_ptr<QMenu> CDlgChannel::CreateChannelMenu(int contextRow) {
  auto& editor = *m_editor;
  editor.SetContextRow(contextRow);
  const bool numbering = editor.IsNumbering();
  const bool idle = !numbering;
  auto menu = std::make_unique<QMenu>(this);
  AddCommand(*menu, ID_START_NUMBERING, T(123), idle);
  AddCommand(*menu, ID_END_NUMBERING, T(124), numbering);
  AddCommand(*menu, ID_CANCEL_NUMBERING, T(126), numbering);
  menu->addSeparator();
  AddCommand(*menu, ID_MOVE_TO, T(125), idle);
  AddCommand(*menu, ID_RENUMBER, T(10), idle);
  menu->addSeparator();
  FavoriteGroup* selectedGroup = editor.Tree().SelectedGroup();
  const std::string groupName = selectedGroup != nullptr ? selectedGroup->Name : std::string();
  AddCommand(*menu, ID_ADD_TO_SELECTED, QString::fromStdString(Format(GetText(127), groupName.c_str())),
             idle && selectedGroup != nullptr && editor.IsGroupOfCurrentKind(selectedGroup));
  bool tvSelected = false;
  bool radioSelected = false;
  for (const channels::Service* s : editor.Channels().SelectedServices()) {
    (s->ServiceType == channels::kServiceTypeRadio ? radioSelected : tvSelected) = true;
  }
  AddCommand(*menu, ID_ADD_TO_NEW_TV, T(128), idle && tvSelected);
  AddCommand(*menu, ID_ADD_TO_NEW_RADIO, T(129), idle && radioSelected);
  AddCommand(*menu, ID_ADD_TO_ALL, T(130), idle);
  AddCommand(*menu, ID_DELETE_FROM_ALL, T(132), idle);
  menu->addSeparator();
  AddCommand(*menu, ID_ADD_EMPTY, T(133), idle);
  AddCommand(*menu, ID_EDIT_CHANNEL, T(134), idle && editor.Channels().SelectedCount() == 1);
  AddCommand(*menu, ID_DELETE_CHANNELS, T(131), idle);
  menu->addSeparator();
  AddCommand(*menu, ID_LOCK, T(136), idle);
  AddCommand(*menu, ID_UNLOCK, T(137), idle);
  menu->addSeparator();
  AddCommand(*menu, ID_SKIP, T(138), idle);
  AddCommand(*menu, ID_FREE, T(139), idle);
  menu->addSeparator();
  AddCommand(*menu, ID_FIND_DUPLICATES, T(channels::kTextFindDuplicatesMenu), idle);
  AddCommand(*menu, ID_CHECK_LIST, T(channels::kTextCheckListMenu), idle);
  AddCommand(*menu, ID_APPLY_REFERENCE, T(channels::kTextMenuApplyReference), idle);
  AddCommand(*menu, ID_EXPORT_CSV, T(channels::kTextMenuExportCsv), idle);
  AddCommand(*menu, ID_IMPORT_CSV, T(channels::kTextMenuImportCsv), idle);
  return menu;
}

std::unique_ptr<QMenu> CDlgChannel::CreateServiceMenu() {
  auto menu = std::make_unique<QMenu>(this);
  AddCommand(*menu, ID_DELETE_MEMBERS, T(11), true);
  const FavoriteGroup* group = m_editor->Members().Group();
  if (group != nullptr && group->IsFastScan()) AddCommand(*menu, ID_AUTO_NUMBERING, T(320), true);
  return menu;
}

std::unique_ptr<QMenu> CDlgChannel::CreateTreeMenu(QTreeWidgetItem* item) {
  auto menu = std::make_unique<QMenu>(this);
  const bool group = CFavoriteTree::GroupOf(item) != nullptr;
  AddCommand(*menu, ID_TREE_CREATE, T(8), item != nullptr);
  AddCommand(*menu, ID_TREE_RENAME, T(93), group);
  AddCommand(*menu, ID_TREE_DELETE, T(11), group);
  return menu;
}

void CDlgChannel::OnChannelRightClicked(int row, QPoint globalPos) {
  if (IsBusy()) return;
  const CommandScope scope(m_commandDepth);  // the menu runs an event loop of its own
  if (m_editor->Channels().SelectedCount() == 0) return;
  auto menu = CreateChannelMenu(row);
  if (QAction* chosen = menu->exec(globalPos)) RunCommand(chosen->data().toInt());
}

void CDlgChannel::OnServiceRightClicked(int, QPoint globalPos) {
  if (IsBusy()) return;
  const CommandScope scope(m_commandDepth);  // the menu runs an event loop of its own
  if (m_editor->Members().SelectedCount() == 0) return;
  auto menu = CreateServiceMenu();
  if (QAction* chosen = menu->exec(globalPos)) RunCommand(chosen->data().toInt());
}

void CDlgChannel::OnTreeRightClicked(QTreeWidgetItem* item, QPoint globalPos) {
  if (IsBusy()) return;
  const CommandScope scope(m_commandDepth);  // the menu runs an event loop of its own
  if (item == nullptr) return;
  // The tree's commands work on the right-clicked item.
  m_tree->setCurrentItem(item);
  auto menu = CreateTreeMenu(item);
  if (QAction* chosen = menu->exec(globalPos)) RunCommand(chosen->data().toInt());
}

}  // namespace vantrel::ui
