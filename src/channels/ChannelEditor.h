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
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"
#include "channels/ChannelView.h"
#include "channels/GroupTree.h"
#include "channels/INumberInput.h"
#include "channels/ServiceView.h"

namespace vantrel::channels {

struct CsvImportPlan;
struct ReferencePlan;

class CChannelEditor : public IChannelListView {
 public:
  explicit CChannelEditor(ChannelList& list);
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
  // PVR". The listener hears each change of the flag (the window's title).
  bool IsModified() const { return m_modified; }
  void SetModified(bool modified);
  void SetModifiedListener(std::function<void(bool)> listener) { m_modifiedListener = std::move(listener); }

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

  // --- IChannelListView
  bool SortByNumberAndCheck() override;
  std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const override;
  std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList& list) const override;

 private:
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
};

// Appends a satellite "New Satellite" with no transponders, band and
// longitude 0 and SatIndex = the number of satellites before it.
Satellite* NewSatellite(ChannelList& list);

}  // namespace vantrel::channels
