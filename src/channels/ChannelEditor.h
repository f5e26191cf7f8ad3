#pragma once
// The editing state of one channel editor window without its widgets: the
// channel list, its three views (channel list, favourites tree, service
// list), the current kind, the numbering mode, the context row and the search
// position, with every editing operation behind the window's buttons, menus,
// clicks and drags. Questions and messages go through vantrel::GetPrompt(),
// numbers through INumberInput, so each operation runs in a test.
//
// Each operation leaves the three views as the window shows them afterwards;
// the window redraws from them. What the window itself adds after an
// operation (captions, a refill of the service list after "Add to
// Favorite") it does with the refill functions below.
//
// The editor also serves the file writer's view-dependent steps
// (IChannelListView): sorting by number with the numbering check,
// renumbering, and the groups in tree order.
#include <QByteArray>
#include <QUndoStack>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"
#include "channels/ChannelView.h"
#include "channels/GroupTree.h"
#include "channels/INumberInput.h"
#include "channels/ServiceView.h"

namespace vantrel::channels {

struct DuplicateGroup;
struct ListFinding;
struct CsvImportPlan;
struct ReferencePlan;

class CChannelEditor : public IChannelListView {
 public:
  explicit CChannelEditor(ChannelList& list);
  ~CChannelEditor() override;
  CChannelEditor(const CChannelEditor&) = delete;
  CChannelEditor& operator=(const CChannelEditor&) = delete;

  ChannelList& List() { return m_list; }
  CChannelView& Channels() { return m_channels; }
  const CChannelView& Channels() const { return m_channels; }
  CGroupTree& Tree() { return m_tree; }
  const CGroupTree& Tree() const { return m_tree; }
  CServiceView& Members() { return m_members; }
  const CServiceView& Members() const { return m_members; }
  ServiceKind CurrentKind() const { return m_channels.Kind(); }

  // --- unsaved changes
  // Every operation that changes the list sets the flag; the window clears
  // it after Open, Save, Save As, "Load from PVR" and a successful "Send to
  // PVR", which marks the undo history's current step as the saved one:
  // undoing or redoing away from it sets the flag again, back to it clears
  // it. The listener hears each change of the flag (the window's title).
  bool IsModified() const { return m_modified; }
  void SetModified(bool modified);
  void SetModifiedListener(std::function<void(bool)> listener) { m_modifiedListener = std::move(listener); }

  // --- undo and redo
  // The single entry point for undo: every user action that may change the list
  // runs inside Perform, named by the text index of its menu or button text.
  //   editor.Perform(kTextDeleteChannels, [&] { return editor.DeleteChannels(); });
  // When the action marked the list modified, the list and views before and
  // after it become one undo step; nested calls join the outermost one.
  template <typename Action>
  decltype(auto) Perform(int nameText, Action&& action) {
    const StepScope scope(*this, nameText);
    return std::forward<Action>(action)();
  }
  bool CanUndo() const { return !m_numbering && m_history.canUndo(); }
  bool CanRedo() const { return !m_numbering && m_history.canRedo(); }
  // Put back the list and the views as they were before (after) the step.
  bool Undo();
  bool Redo();
  // "Undo <name>" / "Redo <name>", plain "Undo" / "Redo" when there is no step.
  std::string UndoMenuText() const;
  std::string RedoMenuText() const;
  // The rows at the top of the channel list and the service list, as the
  // window reports them before an action; undo and redo bring them back.
  void SetTopRows(long long channelRow, long long serviceRow) {
    m_topChannelRow = channelRow;
    m_topServiceRow = serviceRow;
  }
  long long TopChannelRow() const { return m_topChannelRow; }
  long long TopServiceRow() const { return m_topServiceRow; }
  // The history holds at most kUndoSteps steps and about budget bytes of
  // compressed snapshots; the oldest steps go first.
  static constexpr int kUndoSteps = 100;
  static constexpr std::size_t kUndoBudget = 64u << 20;
  void SetUndoBudget(std::size_t bytes) { m_undoBudget = bytes; }
  std::size_t UndoBytes() const;
  const QUndoStack& History() const { return m_history; }
  // Open, "Load from PVR" and Restore: the fresh list's content replaces the
  // editor's (the fresh list gets the old one) and the views show it.
  void AdoptList(ChannelList& fresh);

  // --- filling the views
  // Empties the three views and leaves the numbering mode (before the list
  // is cleared for Open or "Load from PVR").
  void ClearViews();
  // After a list was read: the services of the current kind in list order,
  // the tree with both nodes expanded and the first TV group (or the TV node)
  // selected and shown, the channel list sorted by number.
  void ShowList();
  // After Open: when the numbering check fails, "Channel number is not
  // correct. Channel rearrange is necessary" and Renumber. True when it renumbered.
  bool RepairNumbering();
  // The service list shows the selected tree item: a group's members in
  // member order, nothing for a node.
  void ShowSelectedTreeItem();
  void RefreshServiceView() { ShowSelectedTreeItem(); }

  // --- row events
  void SetContextRow(long long row) { m_contextRow = row; }
  long long ContextRow() const { return m_contextRow; }
  // A click on a channel row: NumberClick in the numbering mode, otherwise
  // the row becomes the search position.
  void ClickRow(std::size_t row);
  long long SearchPosition() const { return m_searchPosition; }
  // A click on a column header: sorts by it (the direction flips each time)
  // and keeps the search position on the same service.
  void HeaderClick(int column);

  // --- numbering and order (current kind)
  bool CheckNumbering() const { return m_channels.CheckNumbering(); }
  // Numbers the rows 1..n from the top, stores the list in display order and
  // lets the FastScan copies follow.
  void Renumber() override;
  // FastScan copies of the current kind take new[i] for the first i with
  // old[i] equal to their ChannelNo.
  void FollowRenumbering(const std::vector<int>& oldNumbers, const std::vector<int>& newNumbers);
  // "Move to": asks to sort first when the numbering check fails, then the
  // target number. False when nothing moved.
  bool MoveChannels(INumberInput& input);
  // The selected rows as a block starting at position target (ending at the
  // last position when it would not fit).
  bool MoveChannelsToNumber(int target);
  // A drop on an unselected row: the block goes directly after it. When the
  // numbering check fails, asks to sort; Yes sorts by number and renumbers.
  bool MoveChannelsAfterRow(std::size_t targetRow);
  // "Delete Channel(s)" after confirmation. False when nothing was deleted.
  bool DeleteChannels();
  void SetLocked(bool locked);
  void SetSkipped(bool skipped);
  // "Add Empty Channel" at the context row. False when the list was only
  // renumbered (bad numbering) or nothing happened.
  bool AddEmptyChannel();
  // OK in the service properties dialog: service (a row of the channel list)
  // takes the edited copy; a changed number moves the others up or down. A
  // service that is not shown is left alone.
  void ChangeChannelNumber(Service& service, const Service& edited);

  // --- reference list and CSV import (planned in ReferenceList.h and
  // ChannelCsv.h; the window shows the plan and applies it when the user agrees)
  // The new order of both kinds, numbered 1..n, and the plan's groups.
  void ApplyReference(const ReferencePlan& plan);
  // Number, name, lock and skip from the usable rows. False when nothing changes.
  bool ApplyCsvImport(const CsvImportPlan& plan);

  // --- numbering mode
  bool IsNumbering() const { return m_numbering; }
  int NumberingStart() const { return m_numberingStart; }
  int NextNumber() const { return m_nextNumber; }
  // Asks the start number and marks the context row. False on Cancel.
  bool StartNumbering(INumberInput& input);
  void NumberClick(std::size_t row);
  void EndNumbering();
  void CancelNumbering();

  // --- favourite groups
  // A new empty group "Favorite" / "Favorite(n)" of a kind, selected, shown
  // and with its label being edited.
  FavoriteGroup* CreateFavoriteGroup(ServiceKind kind);
  // "Create Favorite": the kind of the selected tree item; null when nothing is selected.
  FavoriteGroup* CreateFavoriteGroupForSelection();
  // True for a group under the node of the kind shown.
  bool IsGroupOfCurrentKind(const FavoriteGroup* group) const;
  // Adds the selected channels that are not yet members; returns how many.
  std::size_t AddToFavoriteGroup(FavoriteGroup* group);
  void AddToAllFavoriteGroups();
  void RemoveFromAllFavoriteGroups();
  // "Delete" in the service list after confirmation. False when nothing was deleted.
  bool DeleteGroupMembers();
  // Delete on the group selected in the tree, without a question; false for a node.
  bool DeleteSelectedGroup();
  // The tree menu's Delete on a right-clicked group.
  bool DeleteGroup(FavoriteGroup* group);
  // End of label editing on a group. False when refused (the message was
  // shown, the old name stays and the label editing starts again).
  bool RenameFavoriteGroup(FavoriteGroup& group, const std::string& text);
  // A drop of selected members on the member at targetRow.
  bool ReorderGroupMembers(std::size_t targetRow);
  // "Auto Numbering" of the selected members of a FastScan group.
  bool AutoNumberLcn(INumberInput& input);

  // --- search and kind
  // Finds the next channel whose name holds the keyword (ignoring case),
  // wrapping to the top; selects it. False when refused or not found.
  bool SearchChannel(const std::string& keyword);
  // Switches TV/radio. False when the user keeps the numbering mode.
  bool ToggleTvRadio();

  // --- satellite dialog
  // The services at the satellite's longitude; when another satellite shares
  // that longitude, only those its transponders carry and no other one does.
  void DeleteServicesOfSatellite(const Satellite& satellite);
  // The services at the satellite's longitude tuned to the transponder
  // (frequency and polarisation) that no other transponder of it carries.
  void DeleteServicesOfTransponder(const Satellite& satellite, const Transponder& transponder);
  Satellite* NewSatellite();

  // --- list tools
  // "Delete Duplicates" after confirmation: of each group every service but
  // its keeper goes; its favourite memberships pass to the keeper (no group
  // holds the keeper twice; a FastScan copy keeps its LCN) and both kinds are
  // renumbered. Returns how many services were deleted.
  std::size_t DeleteDuplicates(const std::vector<DuplicateGroup>& groups);
  // "Fix" after confirmation: applies the fixes of the fixable findings
  // (renumbering, dropping group entries without a service, cutting names to
  // fit). Returns how many findings were fixed.
  std::size_t FixFindings(const std::vector<ListFinding>& findings);

  // --- IChannelListView
  bool SortByNumberAndCheck() override;
  std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const override;
  std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList& list) const override;

 private:
  class CListStep;
  struct ListSnapshot {
    QByteArray bytes;  // the channel file, compressed
    std::string path;
  };
  using SnapshotPtr = std::shared_ptr<const ListSnapshot>;
  struct StepScope {
    StepScope(CChannelEditor& editor, int nameText) : m_editor(editor), m_nameText(nameText) { m_editor.BeginStep(); }
    ~StepScope() { m_editor.EndStep(m_nameText); }
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;
    CChannelEditor& m_editor;
    int m_nameText;
  };
  void BeginStep();
  void EndStep(int nameText);
  SnapshotPtr TakeSnapshot() const;
  QByteArray CaptureViews() const;
  void RestoreList(const ListSnapshot& snapshot, bool withPath);
  void RestoreViews(const QByteArray& views);
  void ApplyStep(const SnapshotPtr& list, const QByteArray& views, bool withPath);
  void FollowHistoryClean();
  void DropOldestSteps();

  // Rows get ChannelNo = position, the list takes the rows' order and the
  // FastScan copies follow the changes.
  void ApplyRowOrder(std::vector<ChannelRow> rows);
  void FollowRenumbering(ServiceKind kind, const std::vector<int>& oldNumbers, const std::vector<int>& newNumbers);
  // Removes services from the list, their rows and the service list; then
  // sorts, renumbers both kinds where they lost services, and refreshes.
  void DeleteServices(const std::vector<const Service*>& services);
  // Sorts a list that is not shown by number and numbers it 1..n.
  void RenumberHiddenKind(ServiceKind kind);
  // Puts a kind's list in this order and numbers it 1..n; the FastScan copies
  // follow. False (nothing changes) unless order holds exactly the services
  // of that kind. Leaves the numbering mode.
  bool ReorderServices(ServiceKind kind, const std::vector<Service*>& order);
  // After a whole-list change: the channel list shows the kind in number
  // order, the tree is rebuilt when groups changed (the selected group stays
  // selected), the service list follows, and the list is marked modified.
  void ShowOutsideChange(bool groupsChanged);
  bool ValidContextRow() const;
  void MarkModified() { SetModified(true); }

  ChannelList& m_list;
  CChannelView m_channels;
  CGroupTree m_tree;
  CServiceView m_members;
  bool m_numbering = false;
  int m_numberingStart = 0;
  int m_nextNumber = 0;
  long long m_contextRow = -1;
  long long m_searchPosition = -1;
  bool m_modified = false;
  std::function<void(bool)> m_modifiedListener;

  // Undo history: the list as of the last step (taken again when the change
  // counter moved without a step), the views before the running action.
  QUndoStack m_history;
  unsigned long long m_changes = 0;
  SnapshotPtr m_current;
  unsigned long long m_currentChanges = 0;
  int m_stepDepth = 0;
  QByteArray m_viewsBefore;
  unsigned long long m_changesBefore = 0;
  bool m_cleanAtEnd = false;
  std::size_t m_undoBudget = kUndoBudget;
  long long m_topChannelRow = 0;
  long long m_topServiceRow = 0;
};

// Appends a satellite "New Satellite" with no transponders, band and
// longitude 0 and SatIndex = the number of satellites before it.
Satellite* NewSatellite(ChannelList& list);

}  // namespace vantrel::channels
