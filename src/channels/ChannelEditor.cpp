#include "channels/ChannelEditor.h"

#include <algorithm>
#include <unordered_set>

#include "channels/CaseFold.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextRearrangeNecessary = 96;
constexpr int kTextStopNumbering = 140;

// Fixed texts of the search, not in the text tables.
constexpr const char* kTextKeywordTooShort = "A keyword must be at least 3 characters long";
constexpr const char* kTextNotFound = "Can not find";

}  // namespace

CChannelEditor::CChannelEditor(ChannelList& list) : m_list(list), m_channels(list), m_members(list) {
  m_history.setUndoLimit(kUndoSteps);
}

CChannelEditor::~CChannelEditor() = default;

void CChannelEditor::SetModified(bool modified) {
  if (modified) {
    ++m_changes;
  } else if (m_stepDepth > 0) {
    m_cleanAtEnd = true;  // once the running action's step is in the history
  } else {
    m_history.setClean();
  }
  if (m_modified == modified) return;
  m_modified = modified;
  if (m_modifiedListener) m_modifiedListener(modified);
}

void CChannelEditor::ClearViews() {
  m_members.Clear();
  m_channels.Clear();
  m_tree.Clear();
  m_numbering = false;
  m_contextRow = -1;
  m_searchPosition = -1;
}

void CChannelEditor::ShowList() {
  m_numbering = false;
  m_contextRow = -1;
  m_searchPosition = -1;
  m_channels.Fill(CurrentKind());
  m_tree.Rebuild(m_list);
  m_tree.Expand(ServiceKind::Tv);
  m_tree.Expand(ServiceKind::Radio);
  m_tree.SelectFirstTvGroupOrNode();
  ShowSelectedTreeItem();
  m_channels.SortByNumber();
}

bool CChannelEditor::RepairNumbering() {
  if (CheckNumbering()) return false;
  ShowInfoText(GetText(kTextRearrangeNecessary));
  Renumber();
  return true;
}

void CChannelEditor::ShowSelectedTreeItem() { m_members.Fill(m_tree.SelectedGroup()); }

bool CChannelEditor::ValidContextRow() const {
  return m_contextRow >= 0 && static_cast<std::size_t>(m_contextRow) < m_channels.RowCount();
}

void CChannelEditor::ClickRow(std::size_t row) {
  if (m_numbering) {
    NumberClick(row);
    return;
  }
  if (row < m_channels.RowCount()) m_searchPosition = static_cast<long long>(row);
}

void CChannelEditor::HeaderClick(int column) {
  const Service* current =
      m_searchPosition >= 0 ? m_channels.ServiceAt(static_cast<std::size_t>(m_searchPosition)) : nullptr;
  m_channels.HeaderClick(column);
  if (current != nullptr) m_searchPosition = m_channels.RowOf(current);
}

bool CChannelEditor::SearchChannel(const std::string& keyword) {
  if (CharacterCount(keyword) < 3) {
    ShowInfoText(kTextKeywordTooShort);
    return false;
  }
  const std::string wanted = LowerText(keyword);
  const long long n = static_cast<long long>(m_channels.RowCount());
  const long long pos = m_searchPosition;
  const int shownStart = pos >= 0 && pos < n ? static_cast<int>(pos) : 0;
  LogMessage("input ChannelName=%s", keyword.c_str());
  LogMessage("Search start index=%d", shownStart);
  const auto matches = [&](long long row) {
    return LowerText(m_channels.ServiceAt(static_cast<std::size_t>(row))->Name).find(wanted) != std::string::npos;
  };
  long long found = -1;
  for (long long r = pos + 1; r < n && found < 0; ++r) {
    if (r >= 0 && matches(r)) found = r;
  }
  if (found < 0) {
    LogMessage("Search start index=%d", shownStart);
    const long long last = std::min(pos, n - 1);
    for (long long r = 0; r <= last && found < 0; ++r) {
      if (matches(r)) found = r;
    }
  }
  if (found < 0) {
    ShowInfoText(kTextNotFound);
    return false;
  }
  LogMessage("Find ChannelName=%s", m_channels.ServiceAt(static_cast<std::size_t>(found))->Name.c_str());
  m_channels.SelectOnly(static_cast<std::size_t>(found));
  m_searchPosition = found;
  return true;
}

bool CChannelEditor::ToggleTvRadio() {
  if (m_numbering) {
    if (!AskConfirmText(GetText(kTextStopNumbering))) return false;
    CancelNumbering();
  }
  const ServiceKind next = CurrentKind() == ServiceKind::Tv ? ServiceKind::Radio : ServiceKind::Tv;
  m_channels.Fill(next);
  m_channels.SortByNumber();
  // Row positions of the other kind mean nothing here.
  m_contextRow = -1;
  m_searchPosition = -1;
  return true;
}

bool CChannelEditor::SortByNumberAndCheck() {
  m_channels.SortByNumber();
  return CheckNumbering();
}

namespace {

// The groups in tree order; a group of the list that the tree does not show
// (a tree never built) follows, so a save never drops a group.
std::vector<const FavoriteGroup*> NodeGroupsWithRest(const std::vector<FavoriteGroup*>& shown,
                                                     const ChannelList::Owned<FavoriteGroup>& all) {
  std::vector<const FavoriteGroup*> out(shown.begin(), shown.end());
  if (out.size() == all.size()) return out;
  const std::unordered_set<const FavoriteGroup*> inTree(out.begin(), out.end());
  for (const auto& g : all) {
    if (inTree.count(g.get()) == 0) out.push_back(g.get());
  }
  return out;
}

}  // namespace

std::vector<const FavoriteGroup*> CChannelEditor::TvNodeGroups(const ChannelList& list) const {
  return NodeGroupsWithRest(m_tree.Groups(ServiceKind::Tv), list.TvFavorites());
}

std::vector<const FavoriteGroup*> CChannelEditor::RadioNodeGroups(const ChannelList& list) const {
  return NodeGroupsWithRest(m_tree.Groups(ServiceKind::Radio), list.RadioFavorites());
}

}  // namespace vantrel::channels
