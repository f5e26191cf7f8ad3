// Renumbering, the FastScan copies following it, the manual numbering mode
// and the number change of the service properties dialog.
#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "channels/ChannelEditor.h"
#include "channels/SortCompare.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextMaximumNumber = 141;
constexpr int kTextWarnCaption = 293;

const ChannelList::Owned<FavoriteGroup>& GroupsOf(const ChannelList& list, ServiceKind kind) {
  return kind == ServiceKind::Tv ? list.TvFavorites() : list.RadioFavorites();
}

}  // namespace

void CChannelEditor::FollowRenumbering(const std::vector<int>& oldNumbers, const std::vector<int>& newNumbers) {
  FollowRenumbering(CurrentKind(), oldNumbers, newNumbers);
}

void CChannelEditor::FollowRenumbering(ServiceKind kind, const std::vector<int>& oldNumbers,
                                       const std::vector<int>& newNumbers) {
  const std::size_t n = std::min(oldNumbers.size(), newNumbers.size());
  std::unordered_map<int, int> next;
  next.reserve(n);
  for (std::size_t i = 0; i < n; ++i) next.try_emplace(oldNumbers[i], newNumbers[i]);  // the first i wins
  for (const auto& group : GroupsOf(m_list, kind)) {
    if (!group->IsFastScan()) continue;
    for (std::size_t m = 0; m < group->MemberCount(); ++m) {
      // A FastScan group may hold plain references (a file whose ChannelNo
      // entries came before its ServiceType): those services were renumbered
      // with the list already, and moving them again would double a number.
      if (!group->OwnsMember(m)) continue;
      Service* copy = group->Member(m);
      const auto it = next.find(copy->ChannelNo);
      if (it != next.end()) copy->ChannelNo = it->second;
    }
  }
}

void CChannelEditor::ApplyRowOrder(std::vector<ChannelRow> rows) {
  std::vector<int> oldNumbers(rows.size());
  std::vector<int> newNumbers(rows.size());
  std::vector<Service*> order(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    Service* s = rows[i].service;
    oldNumbers[i] = s->ChannelNo;
    newNumbers[i] = static_cast<int>(i) + 1;
    s->ChannelNo = newNumbers[i];
    order[i] = s;
  }
  m_channels.SetRows(std::move(rows));
  if (!m_list.SetServiceOrder(CurrentKind(), order)) {
    LogError("channel view out of step with the list: %zu rows, %zu services", order.size(),
             m_list.Services(CurrentKind()).size());
  }
  FollowRenumbering(oldNumbers, newNumbers);
}

void CChannelEditor::Renumber() {
  ApplyRowOrder(m_channels.Rows());
  RefreshServiceView();
  MarkModified();
}

void CChannelEditor::RenumberHiddenKind(ServiceKind kind) {
  const auto& services = m_list.Services(kind);
  std::vector<Service*> order;
  order.reserve(services.size());
  for (const auto& s : services) order.push_back(s.get());
  // The order the channel list would show after a sort by number.
  std::vector<std::string> keys(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) keys[i] = std::to_string(order[i]->ChannelNo);
  std::vector<std::size_t> index(order.size());
  std::iota(index.begin(), index.end(), std::size_t{0});
  std::stable_sort(index.begin(), index.end(),
                   [&keys](std::size_t a, std::size_t b) { return CompareLengthThenText(keys[a], keys[b]) < 0; });
  std::vector<Service*> sorted(order.size());
  std::vector<int> oldNumbers(order.size());
  std::vector<int> newNumbers(order.size());
  for (std::size_t i = 0; i < index.size(); ++i) {
    sorted[i] = order[index[i]];
    oldNumbers[i] = sorted[i]->ChannelNo;
    newNumbers[i] = static_cast<int>(i) + 1;
    sorted[i]->ChannelNo = newNumbers[i];
  }
  m_list.SetServiceOrder(kind, sorted);
  FollowRenumbering(kind, oldNumbers, newNumbers);
}

void CChannelEditor::ChangeChannelNumber(Service& service, const Service& edited) {
  if (m_channels.RowOf(&service) < 0) {
    LogError("ChangeChannelNumber: service %s is not shown", service.Name.c_str());
    return;
  }
  const int oldNo = service.ChannelNo;
  const int newNo = edited.ChannelNo;
  std::vector<int> oldNumbers{oldNo};
  std::vector<int> newNumbers{newNo};
  for (const ChannelRow& row : m_channels.Rows()) {
    Service* s = row.service;
    if (s == &service) continue;
    if (newNo < oldNo && newNo <= s->ChannelNo && s->ChannelNo < oldNo) {
      oldNumbers.push_back(s->ChannelNo);
      newNumbers.push_back(++s->ChannelNo);
    } else if (newNo > oldNo && oldNo < s->ChannelNo && s->ChannelNo <= newNo) {
      oldNumbers.push_back(s->ChannelNo);
      newNumbers.push_back(--s->ChannelNo);
    }
  }
  FollowRenumbering(oldNumbers, newNumbers);
  // The list the service stands in decides its type; the dialog can not change it.
  const std::uint8_t type = service.ServiceType;
  service = edited;
  service.ServiceType = type;
  m_list.ForgetRecentSatellite();
  MarkModified();
  if (newNo != oldNo) {
    m_channels.SortByNumber();
    Renumber();
  } else {
    RefreshServiceView();
  }
}

bool CChannelEditor::StartNumbering(INumberInput& input) {
  if (m_numbering || !ValidContextRow()) return false;
  const NumberRequest request = MakeNumberRequest(NumberInputMode::Start, static_cast<int>(m_channels.RowCount()));
  const std::optional<int> start = input.AskNumber(request);
  if (!start || !CheckNumberInput(request, *start).empty()) return false;
  m_numbering = true;
  m_numberingStart = *start;
  m_nextNumber = *start;
  NumberClick(static_cast<std::size_t>(m_contextRow));
  return true;
}

void CChannelEditor::NumberClick(std::size_t row) {
  if (!m_numbering || row >= m_channels.RowCount()) return;
  const int mark = m_channels.Mark(row);
  if (mark == 0) {
    const int rows = static_cast<int>(m_channels.RowCount());
    if (m_nextNumber > rows) {
      GetPrompt().Warn(Format(GetText(kTextMaximumNumber), rows), GetText(kTextWarnCaption));
      return;
    }
    m_channels.SetMark(row, m_nextNumber++);
  } else if (mark == m_nextNumber - 1) {
    m_channels.SetMark(row, 0);
    --m_nextNumber;
  }
}

void CChannelEditor::EndNumbering() {
  if (!m_numbering) return;
  m_channels.SortByNumber();  // provisional numbers for marked rows
  std::vector<ChannelRow> marked;
  std::vector<ChannelRow> unmarked;
  for (const ChannelRow& row : m_channels.Rows()) (row.mark != 0 ? marked : unmarked).push_back(row);
  const std::size_t n = m_channels.RowCount();
  // NumberClick never gives a number above the row count, so the block fits.
  const std::size_t start = std::min(static_cast<std::size_t>(std::max(m_numberingStart, 1)), n - marked.size() + 1);
  std::vector<ChannelRow> rows;
  rows.reserve(n);
  std::size_t b = 0;
  std::size_t a = 0;
  for (std::size_t position = 1; position <= n; ++position) {
    ChannelRow row = position >= start && b < marked.size() ? marked[b++] : unmarked[a++];
    row.mark = 0;
    rows.push_back(row);
  }
  ApplyRowOrder(std::move(rows));
  m_numbering = false;
  MarkModified();
  m_channels.Refill();
  RefreshServiceView();
}

bool CChannelEditor::ReorderServices(ServiceKind kind, const std::vector<Service*>& order) {
  if (!m_list.SetServiceOrder(kind, order)) return false;
  CancelNumbering();
  std::vector<int> oldNumbers(order.size());
  std::vector<int> newNumbers(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    oldNumbers[i] = order[i]->ChannelNo;
    newNumbers[i] = static_cast<int>(i) + 1;
    order[i]->ChannelNo = newNumbers[i];
  }
  FollowRenumbering(kind, oldNumbers, newNumbers);
  return true;
}

void CChannelEditor::ShowOutsideChange(bool groupsChanged) {
  CancelNumbering();
  m_list.ForgetRecentSatellite();
  m_channels.Fill(CurrentKind());
  m_channels.SortByNumber();
  m_contextRow = -1;
  m_searchPosition = -1;
  if (groupsChanged) {
    FavoriteGroup* selected = m_tree.SelectedGroup();
    const bool tvExpanded = m_tree.IsExpanded(ServiceKind::Tv);
    const bool radioExpanded = m_tree.IsExpanded(ServiceKind::Radio);
    m_tree.Rebuild(m_list);
    m_tree.Expand(ServiceKind::Tv, tvExpanded);
    m_tree.Expand(ServiceKind::Radio, radioExpanded);
    if (selected != nullptr && m_tree.NodeOf(selected)) {
      m_tree.SelectGroup(selected);
    } else {
      m_tree.SelectFirstTvGroupOrNode();
    }
  }
  RefreshServiceView();
  MarkModified();
}

void CChannelEditor::CancelNumbering() {
  m_channels.ClearMarks();
  m_numbering = false;
}

}  // namespace vantrel::channels
