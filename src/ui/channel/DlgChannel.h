#pragma once
// The channel editor window: one channel list shown in the favourites tree,
// the channel list (all services of the shown kind) and the service list (the
// members of the group selected in the tree). Buttons, menus, clicks, keys and
// drags call the editing operations of CChannelEditor, the file reader and
// writer, and the receiver exchange; the widgets only show the editor's
// view-models and report the user's gestures back.
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "channels/ChannelEditor.h"
#include "channels/ChannelExchange.h"
#include "channels/ChannelList.h"
#include "ui/controls/ManagerWindow.h"

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTreeWidgetItem;

namespace vantrel::ui {

class CButtonST;
class CChannelTableModel;
class CCheckST;
class CDlgInputNumber;
class CDlgProgress;
class CEditorListView;
class CFavoriteTree;
class CServiceTableModel;
class CSplitterBarChannel;
class CViewerStatus;

class CDlgChannel : public CManagerWindow {
  Q_OBJECT
 public:
  static constexpr int IDD = 10100;
  static constexpr int IDC_OPEN = 10101;
  static constexpr int IDC_SAVE = 10102;
  static constexpr int IDC_SAVE_AS = 10103;
  static constexpr int IDC_LOAD_PVR = 10104;
  static constexpr int IDC_SEND_PVR = 10105;
  static constexpr int IDC_CREATE_FAVORITE = 10106;
  static constexpr int IDC_ADD_FAVORITE = 10107;
  static constexpr int IDC_DELETE = 10108;
  static constexpr int IDC_RENUMBERING = 10109;
  static constexpr int IDC_SAT_TP = 10110;
  static constexpr int IDC_RESTORE = 10120;
  static constexpr int IDC_TV_RADIO = 10111;
  static constexpr int IDC_SEARCH_EDIT = 1010;
  static constexpr int IDC_SEARCH = 1011;
  static constexpr int IDC_FAVORITE_TREE = 10112;
  static constexpr int IDC_CHANNEL_LIST = 10113;
  static constexpr int IDC_SERVICE_CAPTION = 10114;
  static constexpr int IDC_CHANNEL_CAPTION = 10115;
  static constexpr int IDC_SERVICE_LIST = 10116;
  static constexpr int IDC_TREE_CAPTION = 10117;
  static constexpr int IDC_SPLITTER_VERTICAL = 10118;
  static constexpr int IDC_SPLITTER_HORIZONTAL = 10119;

  // Menu commands.
  static constexpr int ID_ADD_TO_SELECTED = 20000;
  static constexpr int ID_ADD_TO_NEW_TV = 20001;
  static constexpr int ID_ADD_TO_NEW_RADIO = 20002;
  static constexpr int ID_ADD_TO_ALL = 20003;
  static constexpr int ID_DELETE_CHANNELS = 20004;
  static constexpr int ID_DELETE_FROM_ALL = 20005;
  static constexpr int ID_EDIT_CHANNEL = 20006;
  static constexpr int ID_RENUMBER = 20009;
  static constexpr int ID_LOCK = 20010;
  static constexpr int ID_UNLOCK = 20011;
  static constexpr int ID_SKIP = 20013;
  static constexpr int ID_FREE = 20014;
  static constexpr int ID_MOVE_TO = 20015;
  static constexpr int ID_ADD_EMPTY = 20016;
  static constexpr int ID_DELETE_MEMBERS = 20100;
  static constexpr int ID_TREE_CREATE = 20200;
  static constexpr int ID_TREE_RENAME = 20201;
  static constexpr int ID_TREE_DELETE = 20202;
  static constexpr int ID_AUTO_NUMBERING = 20203;
  static constexpr int ID_START_NUMBERING = 20301;
  static constexpr int ID_END_NUMBERING = 20302;
  static constexpr int ID_CANCEL_NUMBERING = 20303;
  static constexpr int ID_FIND_DUPLICATES = 20400;
  static constexpr int ID_CHECK_LIST = 20401;
  static constexpr int ID_EDIT_MENU = 20410;
  static constexpr int ID_UNDO = 20411;
  static constexpr int ID_REDO = 20412;
  static constexpr int ID_APPLY_REFERENCE = 20420;
  static constexpr int ID_EXPORT_CSV = 20421;
  static constexpr int ID_IMPORT_CSV = 20422;

  static constexpr int kMinimumWidth = 1000;
  static constexpr int kMinimumHeight = 700;

  enum class FocusedView { Tree, Channels, Services };
  enum class DragSource { None, Channels, Services };

  explicit CDlgChannel(QWidget* parent = nullptr);
  ~CDlgChannel() override;

  channels::CChannelEditor& Editor() { return *m_editor; }
  channels::ChannelList& List() { return *m_list; }

  // --- the buttons and menu commands, by id (what a click or a menu choice
  // does). A command that changes the list becomes one undo step.
  bool RunCommand(int id);
  void OpenFile();
  void Save();
  void SaveAs();
  // "Restore from backup...": the receiver's lists kept before each send,
  // newest first; the chosen one opens unsaved, to be looked at and sent.
  void OnRestore();
  bool RestoreBackup(const std::string& path);
  // "Find Duplicates..." and "Check List...": their dialogs over the list.
  void OnFindDuplicates();
  void OnCheckList();
  // The list check before Save, Save As and "Send to PVR": nothing to say,
  // or the user goes on after the findings dialog, gives true.
  bool CheckBeforeWriting(bool send);
  // "Apply reference list...", "Export CSV...", "Import CSV...": a file is
  // chosen, the change is shown and applied only when the user agrees.
  void OnApplyReference();
  void OnExportCsv();
  void OnImportCsv();

  // When the list has unsaved changes, asks Save / Discard / Cancel (Save
  // saves, through Save As when the list has no file yet). True when the
  // list may be replaced or dropped.
  bool MayDropList();
  // Asks about unsaved work; while a send runs the application waits for it.
  bool MayQuit() override;

  // The menus as they would open now (enabled states set); each action's
  // data() is its command id. The channel menu is for a right click on row
  // contextRow; the tree menu for a right click on item (may be null).
  std::unique_ptr<QMenu> CreateChannelMenu(int contextRow);
  std::unique_ptr<QMenu> CreateServiceMenu();
  std::unique_ptr<QMenu> CreateTreeMenu(QTreeWidgetItem* item);

  // Test seams: the number input used instead of the number dialog (null:
  // the dialog), and the exchange's options.
  void SetNumberInput(channels::INumberInput* input) { m_numberInput = input; }
  void SetExchangeOptions(const channels::CChannelExchange::Options& options);

  bool IsLoading() const { return m_loading; }
  bool IsSending() const { return m_sending; }
  bool IsBusy() const { return m_loading || m_sending; }
  bool IsLabelEditing() const { return m_labelEditing; }
  FocusedView LastFocused() const { return m_lastFocused; }
  DragSource CurrentDrag() const { return m_drag; }
  bool DropPending() const { return m_dropTimer.isActive(); }
  QWidget* DragImage() const { return m_dragImage.data(); }

  CEditorListView* ChannelListView() const { return m_channelList; }
  CEditorListView* ServiceListView() const { return m_serviceList; }
  CFavoriteTree* Tree() const { return m_tree; }
  CViewerStatus* ChannelCaption() const { return m_channelCaption; }
  CViewerStatus* ServiceCaption() const { return m_serviceCaption; }
  CViewerStatus* TreeCaption() const { return m_treeCaption; }
  CDlgProgress* Progress() const { return m_progress; }
  CChannelTableModel* ChannelModel() const { return m_channelModel; }
  QMenuBar* MenuBar() const { return m_menuBar; }
  QAction* UndoAction() const { return m_undoAction; }
  QAction* RedoAction() const { return m_redoAction; }
  CServiceTableModel* ServiceModel() const { return m_serviceModel; }

  // The button enabling rule (busy or idle).
  void UpdateButtons();
  // Undo and Redo in the Edit menu: enabled and named after the step.
  void UpdateEditActions();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class CWriterView;
  channels::IChannelListView& WriterView();

  void BuildControls();
  void BuildEditMenu();
  void LayoutControls();
  int LayoutButtons();
  void WireViews();

  // --- views from the editor's view-models
  void RefreshAll();
  void RefreshChannelList();
  void RefreshServiceList();
  void RebuildTree();
  void PushChannelSelection();
  void PushServiceSelection();
  void ShowSelectedTreeItem();
  void ShowChannelCaptionDefault();
  void ShowChannelRow(int row);
  void ShowServiceCaptionDefault();
  void ShowServiceRow(int row);
  void ShowTreeCaption();
  QIcon GroupIcon(const channels::FavoriteGroup* group) const;
  QIcon NodeIcon(channels::ServiceKind kind) const;
  // "Channel Edit" or "Channel Edit - <file name>", marked while the list has unsaved changes.
  void SetTitleFor(const std::string& path);
  void UpdateTitle();
  // A freshly read list replaces the shown one (the shown kind stays).
  void AdoptList(std::unique_ptr<channels::ChannelList> list);
  void WatchModified();
  void OpenFileNow();
  void SaveNow();
  void SaveAsNow();
  bool RestoreBackupNow(const std::string& path);
  void OnEditChannelNow();
  void StartEditingGroup(channels::FavoriteGroup* group);

  // --- actions
  bool DoCommand(int id);
  // Runs a user action as one undo step named by a text index (the rows
  // shown at the top go with it).
  bool RunStep(int nameText, const std::function<bool()>& action);
  static int StepNameOf(int id);
  bool OnUndo();
  bool OnRedo();
  void ShowRestoredStep();
  void OnDelete();
  void OnCreateFavorite();
  void OnAddToFavorite();
  void OnSatellite();
  void OnTvRadio();
  void OnSearch();
  void OnEditChannel();
  void OnChannelClicked(int row);
  void OnChannelDoubleClicked(int row);
  void OnChannelRightClicked(int row, QPoint globalPos);
  void OnServiceClicked(int row);
  void OnServiceRightClicked(int row, QPoint globalPos);
  void OnTreeRightClicked(QTreeWidgetItem* item, QPoint globalPos);
  void OnTreeCurrentChanged(QTreeWidgetItem* item);
  void OnRenameRequested(QTreeWidgetItem* item, const QString& text);
  void OnHeaderClicked(int column);
  channels::INumberInput& NumberInput();

  // --- receiver exchange
  void OnLoadFromPvr();
  void OnSendToPvr();
  void OnExchangeTick();
  void FinishExchange();
  void ShowProgress();

  // --- drag and drop
  bool CanStartDrag() const;
  void OnDragStarted(DragSource source);
  void OnDragMoved(QPoint globalPos);
  void OnDragReleased(QPoint globalPos);
  void OnAutoScrollTick();
  void PerformDrop();
  void EndDrag();

  // --- keys
  bool FilterKey(QObject* watched, QKeyEvent* event);
  void UpdateCaptionOfFocusedList();

  std::unique_ptr<channels::ChannelList> m_list;
  std::unique_ptr<channels::CChannelEditor> m_editor;
  std::unique_ptr<CWriterView> m_writerView;
  channels::INumberInput* m_numberInput = nullptr;
  QPointer<CDlgInputNumber> m_numberDialog;

  std::map<int, CButtonST*> m_buttons;
  QMenuBar* m_menuBar = nullptr;
  QAction* m_undoAction = nullptr;
  QAction* m_redoAction = nullptr;
  CCheckST* m_tvRadio = nullptr;
  QLineEdit* m_searchEdit = nullptr;
  CButtonST* m_searchButton = nullptr;
  CFavoriteTree* m_tree = nullptr;
  CEditorListView* m_channelList = nullptr;
  CEditorListView* m_serviceList = nullptr;
  CChannelTableModel* m_channelModel = nullptr;
  CServiceTableModel* m_serviceModel = nullptr;
  CViewerStatus* m_channelCaption = nullptr;
  CViewerStatus* m_serviceCaption = nullptr;
  CViewerStatus* m_treeCaption = nullptr;
  CSplitterBarChannel* m_vbar = nullptr;
  CSplitterBarChannel* m_hbar = nullptr;
  CDlgProgress* m_progress = nullptr;
  int m_barX = -1;  // x of the vertical bar; -1 until first laid out
  int m_barY = -1;  // y of the horizontal bar

  FocusedView m_lastFocused = FocusedView::Channels;
  bool m_labelEditing = false;
  bool m_renameCommitted = false;  // the closing label editor handed its text over
  bool m_syncing = false;          // the window itself changes a widget's selection

  // Drag state.
  DragSource m_drag = DragSource::None;
  QPointer<QLabel> m_dragImage;
  QPoint m_dragPos;
  double m_jump = 1.0;
  int m_tick = 0;
  QTimer m_scrollTimer;
  QTimer m_dropTimer;
  struct PendingDrop {
    DragSource source = DragSource::None;
    enum class Target { None, Channels, Services, Tree } target = Target::None;
    int row = -1;
    channels::FavoriteGroup* group = nullptr;
  } m_pendingDrop;
  void PerformDropNow(const PendingDrop& drop);

  // Commands under way (nested through menus, questions and dialogs).
  int m_commandDepth = 0;
  struct CommandScope {
    explicit CommandScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~CommandScope() { --m_depth; }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    int& m_depth;
  };

  // Receiver exchange.
  bool m_loading = false;
  bool m_sending = false;
  channels::CChannelExchange::Options m_exchangeOptions;
  std::unique_ptr<channels::CChannelExchange> m_exchange;
  QTimer m_exchangeTimer;
};

}  // namespace vantrel::ui
