// Favourite groups: creating, filling, emptying, deleting, renaming and
// reordering them, and numbering the logical channels of FastScan groups.
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "channels/CaseFold.h"
#include "channels/ChannelEditor.h"
#include "channels/GroupMembers.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextDeleteOne = 113;
constexpr int kTextDeleteMany = 114;
constexpr int kTextNoAt = 116;
constexpr int kTextNameEmpty = 117;
constexpr int kTextNameTooLong = 118;
constexpr int kTextFavorite = 281;
constexpr int kTextFavoriteNumbered = 282;
constexpr int kTextMoveFailed = 295;
constexpr int kTextNoGroup = 296;
constexpr int kTextNameExists = 297;

constexpr std::size_t kMaxGroupNameCharacters = 31;

bool GroupInList(const ChannelList& list, const FavoriteGroup* group) {
  for (const auto* groups : {&list.TvFavorites(), &list.RadioFavorites()}) {
    for (const auto& g : *groups) {
      if (g.get() == group) return true;
    }
  }
  return false;
}

// The service list shows exactly the group's members (each row its own entry).
bool RowsInStep(const CServiceView& view, const FavoriteGroup& group) {
  if (view.Group() != &group || view.RowCount() != group.MemberCount()) return false;
  for (const MemberRow& row : view.Rows()) {
    if (row.memberIndex >= group.MemberCount() || group.Member(row.memberIndex) != row.member) return false;
  }
  return true;
}

}  // namespace

FavoriteGroup* CChannelEditor::CreateFavoriteGroup(ServiceKind kind) {
  std::string name = GetText(kTextFavorite);
  for (int k = 1; m_tree.HasName(kind, name); ++k) name = Format(GetText(kTextFavoriteNumbered), k);
  const int groupId = static_cast<int>(m_tree.Groups(kind).size());
  auto group = std::make_unique<FavoriteGroup>(kind == ServiceKind::Tv ? kFavoriteTv : kFavoriteRadio,
                                               FitText(name, kGroupNameSize), groupId);
  FavoriteGroup* raw = group.get();
  m_list.AddFavoriteGroup(std::move(group));
  m_tree.Append(kind, raw);
  m_tree.Expand(kind);
  m_tree.SelectGroup(raw);
  ShowSelectedTreeItem();
  m_tree.StartLabelEdit(raw);
  MarkModified();
  return raw;
}

FavoriteGroup* CChannelEditor::CreateFavoriteGroupForSelection() {
  const std::optional<ServiceKind> node = m_tree.SelectedNode();
  return node ? CreateFavoriteGroup(*node) : nullptr;
}

bool CChannelEditor::IsGroupOfCurrentKind(const FavoriteGroup* group) const {
  const std::optional<ServiceKind> node = m_tree.NodeOf(group);
  return node && *node == CurrentKind();
}

std::size_t CChannelEditor::AddToFavoriteGroup(FavoriteGroup* group) {
  if (!IsGroupOfCurrentKind(group)) return 0;
  std::size_t added = 0;
  const std::vector<Service*> selected = m_channels.SelectedServices();
  if (group->IsFastScan()) {
    int lcn = group->Empty() ? 1 : group->Member(group->MemberCount() - 1)->LCNNo + 1;
    LogMessage("new LCN=%d", lcn);
    // FastScan members are the same channel when their numbers are equal.
    std::unordered_set<int> numbers;
    for (std::size_t i = 0; i < group->MemberCount(); ++i) numbers.insert(group->Member(i)->ChannelNo);
    for (const Service* s : selected) {
      if (!numbers.insert(s->ChannelNo).second) continue;
      auto copy = std::make_unique<Service>();
      copy->ChannelNo = s->ChannelNo;
      copy->ServiceType = s->ServiceType;
      copy->Name = s->Name;
      copy->LCNNo = lcn++;
      group->AddCopy(std::move(copy));
      ++added;
    }
  } else {
    std::unordered_set<const Service*> members;
    for (std::size_t i = 0; i < group->MemberCount(); ++i) members.insert(group->Member(i));
    for (Service* s : selected) {
      if (!members.insert(s).second) continue;
      group->AddReference(s);
      ++added;
    }
  }
  if (m_members.Group() == group) m_members.Refill();
  m_members.SortByFirstColumn();
  if (added > 0) MarkModified();
  return added;
}

void CChannelEditor::AddToAllFavoriteGroups() {
  const std::vector<FavoriteGroup*> groups = m_tree.Groups(CurrentKind());
  for (FavoriteGroup* group : groups) AddToFavoriteGroup(group);
  RefreshServiceView();
}

void CChannelEditor::RemoveFromAllFavoriteGroups() {
  const std::vector<Service*> selected = m_channels.SelectedServices();
  if (selected.empty()) return;
  m_members.Clear();  // its rows may show copies about to be freed
  const std::unordered_set<const Service*> services(selected.begin(), selected.end());
  std::unordered_map<int, int> numbers;  // channel number -> selected services carrying it
  for (const Service* s : selected) ++numbers[s->ChannelNo];
  const ServiceKind kind = CurrentKind();
  for (const ServiceKind groupsKind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& groups = groupsKind == ServiceKind::Tv ? m_list.TvFavorites() : m_list.RadioFavorites();
    for (const auto& group : groups) {
      std::vector<bool> doomed(group->MemberCount(), false);
      const bool copiesFollow = groupsKind == kind && group->IsFastScan();
      auto left = copiesFollow ? numbers : std::unordered_map<int, int>{};
      for (std::size_t i = 0; i < group->MemberCount(); ++i) {
        const Service* member = group->Member(i);
        if (group->OwnsMember(i)) {
          // A FastScan group of the kind loses its first copy per number, once per service.
          if (!copiesFollow) continue;
          const auto it = left.find(member->ChannelNo);
          if (it == left.end() || it->second == 0) continue;
          --it->second;
        } else if (services.count(member) == 0) {
          continue;
        }
        LogMessage("Delete_ServiceInFavorit favName=%s channelnumber=%d", group->Name.c_str(), member->ChannelNo);
        doomed[i] = true;
        MarkModified();
      }
      RemoveMembersWhere(*group, doomed);
    }
  }
  RefreshServiceView();
}

bool CChannelEditor::DeleteGroupMembers() {
  FavoriteGroup* group = m_tree.SelectedGroup();
  if (group == nullptr || !RowsInStep(m_members, *group)) return false;
  const std::vector<std::size_t> selected = m_members.SelectedRows();
  if (selected.empty()) return false;
  const auto& rows = m_members.Rows();
  const std::string question = selected.size() == 1
                                   ? Format(GetText(kTextDeleteOne), rows[selected.front()].member->Name.c_str())
                                   : Format(GetText(kTextDeleteMany), static_cast<int>(selected.size()));
  if (!AskConfirmText(question)) return false;
  std::vector<bool> doomed(group->MemberCount(), false);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    const MemberRow& row = rows[*it];
    LogMessage("Delete_ServiceInFavorit favName=%s channelnumber=%d", group->Name.c_str(), row.member->ChannelNo);
    doomed[row.memberIndex] = true;
  }
  // The remaining rows keep their order; their member indexes close up.
  std::vector<std::size_t> shift(doomed.size(), 0);
  for (std::size_t i = 0, gone = 0; i < doomed.size(); ++i) {
    shift[i] = gone;
    if (doomed[i]) ++gone;
  }
  std::vector<MemberRow> kept;
  kept.reserve(rows.size() - selected.size());
  for (const MemberRow& row : rows) {
    if (doomed[row.memberIndex]) continue;
    kept.push_back(MemberRow{row.member, row.memberIndex - shift[row.memberIndex], false});
  }
  m_members.SetRows({});
  RemoveMembersWhere(*group, doomed);
  m_members.SetRows(std::move(kept));
  MarkModified();
  return true;
}

bool CChannelEditor::DeleteSelectedGroup() { return DeleteGroup(m_tree.SelectedGroup()); }

bool CChannelEditor::DeleteGroup(FavoriteGroup* group) {
  const std::optional<ServiceKind> node = m_tree.NodeOf(group);
  if (!node) return false;
  const bool wasSelected = m_tree.SelectedGroup() == group;
  if (m_members.Group() == group) m_members.Clear();
  m_tree.Remove(group);
  m_list.DeleteFavoriteGroup(group);
  // The selection falls back on the group's node.
  if (wasSelected) m_tree.SelectNode(*node);
  RefreshServiceView();
  MarkModified();
  return true;
}

bool CChannelEditor::RenameFavoriteGroup(FavoriteGroup& group, const std::string& text) {
  const std::optional<ServiceKind> node = m_tree.NodeOf(&group);
  if (!node) return false;
  const auto refuse = [this, &group] {
    m_tree.StartLabelEdit(&group);  // editing starts again; the old name stays
    return false;
  };
  if (text.find('@') != std::string::npos) {
    ShowInfoText(GetText(kTextNoAt));
    return refuse();
  }
  if (text.empty()) {
    ShowErrorText(GetText(kTextNameEmpty));
    return refuse();
  }
  if (CharacterCount(text) > kMaxGroupNameCharacters) {
    ShowErrorText(GetText(kTextNameTooLong));
    return refuse();
  }
  const std::string lower = LowerText(text);
  if (lower != LowerText(group.Name)) {
    for (const FavoriteGroup* other : m_tree.Groups(*node)) {
      if (other != &group && LowerText(other->Name) == lower) {
        ShowErrorText(GetText(kTextNameExists));
        return refuse();
      }
    }
  }
  if (group.Name != text) MarkModified();
  group.Name = text;
  m_tree.EndLabelEdit();
  return true;
}

bool CChannelEditor::ReorderGroupMembers(std::size_t targetRow) {
  if (m_tree.SelectedKind() != TreeItemKind::Group) {
    ShowErrorText(GetText(kTextMoveFailed));
    return false;
  }
  FavoriteGroup* group = m_tree.SelectedGroup();
  if (!GroupInList(m_list, group)) {
    ShowErrorText(GetText(kTextNoGroup));
    return false;
  }
  if (!RowsInStep(m_members, *group) || targetRow >= m_members.RowCount() || m_members.SelectedCount() == 0) {
    return false;
  }
  const auto& current = m_members.Rows();
  std::vector<MemberRow> rows;
  rows.reserve(current.size());
  for (std::size_t i = 0; i <= targetRow; ++i) {
    if (!current[i].selected) rows.push_back(current[i]);
  }
  for (const MemberRow& row : current) {
    if (row.selected) rows.push_back(row);
  }
  for (std::size_t i = targetRow + 1; i < current.size(); ++i) {
    if (!current[i].selected) rows.push_back(current[i]);
  }
  std::vector<std::size_t> order(rows.size());
  for (std::size_t k = 0; k < rows.size(); ++k) order[k] = rows[k].memberIndex;
  group->Reorder(order);
  for (std::size_t k = 0; k < rows.size(); ++k) rows[k].memberIndex = k;
  m_members.SetRows(std::move(rows));
  MarkModified();
  return true;
}

bool CChannelEditor::AutoNumberLcn(INumberInput& input) {
  FavoriteGroup* group = m_tree.SelectedGroup();
  if (group == nullptr || !group->IsFastScan() || !RowsInStep(m_members, *group)) return false;
  const std::vector<std::size_t> selected = m_members.SelectedRows();
  if (selected.empty()) return false;
  const NumberRequest request = MakeNumberRequest(NumberInputMode::Lcn, static_cast<int>(m_channels.RowCount()));
  const std::optional<int> first = input.AskNumber(request);
  if (!first || !CheckNumberInput(request, *first).empty()) return false;
  int lcn = *first;
  for (const std::size_t row : selected) m_members.Rows()[row].member->LCNNo = lcn++;
  MarkModified();
  return true;
}

}  // namespace vantrel::channels
