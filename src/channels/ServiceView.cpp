#include "channels/ServiceView.h"

#include <algorithm>
#include <numeric>

#include "channels/ChannelColumns.h"
#include "channels/SortCompare.h"

namespace vantrel::channels {

void CServiceView::Fill(FavoriteGroup* group) {
  m_group = group;
  m_rows.clear();
  if (group == nullptr) return;
  m_rows.reserve(group->MemberCount());
  for (std::size_t i = 0; i < group->MemberCount(); ++i) m_rows.push_back(MemberRow{group->Member(i), i, false});
}

std::string CServiceView::CellText(std::size_t row, int column) const {
  return MemberCellText(m_list, *m_group, *m_rows.at(row).member, column);
}

void CServiceView::SetSelected(std::size_t row, bool selected) {
  if (row < m_rows.size()) m_rows[row].selected = selected;
}

void CServiceView::SelectOnly(std::size_t row) {
  for (std::size_t i = 0; i < m_rows.size(); ++i) m_rows[i].selected = i == row;
}

void CServiceView::ClearSelection() {
  for (auto& r : m_rows) r.selected = false;
}

std::size_t CServiceView::SelectedCount() const {
  return static_cast<std::size_t>(
      std::count_if(m_rows.begin(), m_rows.end(), [](const auto& r) { return r.selected; }));
}

std::vector<std::size_t> CServiceView::SelectedRows() const {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (m_rows[i].selected) out.push_back(i);
  }
  return out;
}

void CServiceView::SortByFirstColumn() {
  if (m_group == nullptr) return;
  std::vector<std::string> keys(m_rows.size());
  for (std::size_t i = 0; i < m_rows.size(); ++i) keys[i] = CellText(i, kMemberColNumber);
  std::vector<std::size_t> order(m_rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
    return CompareByRule(kServiceListRule, keys[a], keys[b]) < 0;
  });
  std::vector<MemberRow> sorted;
  sorted.reserve(m_rows.size());
  for (const std::size_t i : order) sorted.push_back(m_rows[i]);
  m_rows = std::move(sorted);
}

}  // namespace vantrel::channels
