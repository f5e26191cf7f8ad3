#include "channels/GroupTree.h"

#include <algorithm>

#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextTvFavorites = 283;
constexpr int kTextRadioFavorites = 284;

}  // namespace

void CGroupTree::Clear() {
  m_tvGroups.clear();
  m_radioGroups.clear();
  m_selectedKind = TreeItemKind::None;
  m_selectedGroup = nullptr;
  m_tvExpanded = false;
  m_radioExpanded = false;
  m_editing = nullptr;
}

void CGroupTree::Rebuild(const ChannelList& list) {
  Clear();
  for (const auto& g : list.TvFavorites()) m_tvGroups.push_back(g.get());
  for (const auto& g : list.RadioFavorites()) m_radioGroups.push_back(g.get());
}

std::optional<ServiceKind> CGroupTree::NodeOf(const FavoriteGroup* group) const {
  if (group == nullptr) return std::nullopt;
  if (std::find(m_tvGroups.begin(), m_tvGroups.end(), group) != m_tvGroups.end()) return ServiceKind::Tv;
  if (std::find(m_radioGroups.begin(), m_radioGroups.end(), group) != m_radioGroups.end()) return ServiceKind::Radio;
  return std::nullopt;
}

bool CGroupTree::HasName(ServiceKind node, const std::string& name) const {
  const auto& groups = Groups(node);
  return std::any_of(groups.begin(), groups.end(), [&name](const FavoriteGroup* g) { return g->Name == name; });
}

void CGroupTree::Append(ServiceKind node, FavoriteGroup* group) {
  if (group == nullptr) return;
  (node == ServiceKind::Tv ? m_tvGroups : m_radioGroups).push_back(group);
}

bool CGroupTree::Remove(const FavoriteGroup* group) {
  for (auto* groups : {&m_tvGroups, &m_radioGroups}) {
    const auto it = std::find(groups->begin(), groups->end(), group);
    if (it == groups->end()) continue;
    groups->erase(it);
    if (m_selectedGroup == group) {
      m_selectedKind = TreeItemKind::None;
      m_selectedGroup = nullptr;
    }
    if (m_editing == group) m_editing = nullptr;
    return true;
  }
  return false;
}

std::optional<ServiceKind> CGroupTree::SelectedNode() const {
  switch (m_selectedKind) {
    case TreeItemKind::TvNode: return ServiceKind::Tv;
    case TreeItemKind::RadioNode: return ServiceKind::Radio;
    case TreeItemKind::Group: return NodeOf(m_selectedGroup);
    default: return std::nullopt;
  }
}

void CGroupTree::SelectNode(ServiceKind node) {
  m_selectedKind = node == ServiceKind::Tv ? TreeItemKind::TvNode : TreeItemKind::RadioNode;
  m_selectedGroup = nullptr;
}

void CGroupTree::SelectGroup(FavoriteGroup* group) {
  if (group == nullptr) {
    ClearSelection();
    return;
  }
  m_selectedKind = TreeItemKind::Group;
  m_selectedGroup = group;
}

void CGroupTree::ClearSelection() {
  m_selectedKind = TreeItemKind::None;
  m_selectedGroup = nullptr;
}

void CGroupTree::SelectFirstTvGroupOrNode() {
  if (m_tvGroups.empty()) {
    SelectNode(ServiceKind::Tv);
  } else {
    SelectGroup(m_tvGroups.front());
  }
}

std::string CGroupTree::NodeText(ServiceKind node) {
  return GetText(node == ServiceKind::Tv ? kTextTvFavorites : kTextRadioFavorites);
}

std::string CGroupTree::SelectedCaption() const {
  switch (m_selectedKind) {
    case TreeItemKind::TvNode: return NodeText(ServiceKind::Tv);
    case TreeItemKind::RadioNode: return NodeText(ServiceKind::Radio);
    case TreeItemKind::Group:
      return m_selectedGroup->IsFastScan() ? m_selectedGroup->Name + "(LCN)" : m_selectedGroup->Name;
    default: return {};
  }
}

void CGroupTree::Expand(ServiceKind node, bool expanded) {
  (node == ServiceKind::Tv ? m_tvExpanded : m_radioExpanded) = expanded;
}

}  // namespace vantrel::channels
