#pragma once
// The favourites tree of the channel editor below its widget: the nodes
// "TV Favorites" and "Radio Favorites" with the groups of the list as their
// children in tree order, which item is selected, which nodes are expanded
// and which group label is being edited.
#include <optional>
#include <string>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

enum class TreeItemKind { None, TvNode, RadioNode, Group };

class CGroupTree {
 public:
  CGroupTree() = default;
  CGroupTree(const CGroupTree&) = delete;
  CGroupTree& operator=(const CGroupTree&) = delete;

  // The two nodes with one child per group of the list, in list order
  // (TV groups under the TV node, radio groups under the radio node); nothing
  // selected, both nodes collapsed, no label being edited.
  void Rebuild(const ChannelList& list);
  // The two nodes without children.
  void Clear();

  const std::vector<FavoriteGroup*>& Groups(ServiceKind node) const {
    return node == ServiceKind::Tv ? m_tvGroups : m_radioGroups;
  }
  // The node a group stands under; nullopt when it is not in the tree.
  std::optional<ServiceKind> NodeOf(const FavoriteGroup* group) const;
  // True when a group under that node has exactly this name (case-sensitive).
  bool HasName(ServiceKind node, const std::string& name) const;

  void Append(ServiceKind node, FavoriteGroup* group);
  bool Remove(const FavoriteGroup* group);

  // --- selection
  TreeItemKind SelectedKind() const { return m_selectedKind; }
  // The selected group; null when a node or nothing is selected.
  FavoriteGroup* SelectedGroup() const { return m_selectedKind == TreeItemKind::Group ? m_selectedGroup : nullptr; }
  // The node of the selected item: the node itself or the group's node.
  std::optional<ServiceKind> SelectedNode() const;
  void SelectNode(ServiceKind node);
  void SelectGroup(FavoriteGroup* group);
  void ClearSelection();
  // After a list was loaded: the first TV group, or the TV node when there is none.
  void SelectFirstTvGroupOrNode();

  // The tree caption: the node's text, or the group name ("%s(LCN)" for FastScan groups).
  std::string SelectedCaption() const;
  static std::string NodeText(ServiceKind node);

  bool IsExpanded(ServiceKind node) const { return node == ServiceKind::Tv ? m_tvExpanded : m_radioExpanded; }
  void Expand(ServiceKind node, bool expanded = true);

  // --- label editing (groups only; the nodes can not be edited)
  FavoriteGroup* EditingGroup() const { return m_editing; }
  void StartLabelEdit(FavoriteGroup* group) { m_editing = group; }
  void EndLabelEdit() { m_editing = nullptr; }

 private:
  std::vector<FavoriteGroup*> m_tvGroups;
  std::vector<FavoriteGroup*> m_radioGroups;
  TreeItemKind m_selectedKind = TreeItemKind::None;
  FavoriteGroup* m_selectedGroup = nullptr;
  bool m_tvExpanded = false;
  bool m_radioExpanded = false;
  FavoriteGroup* m_editing = nullptr;
};

}  // namespace vantrel::channels
