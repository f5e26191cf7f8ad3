#include "channels/ChannelView.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "channels/ChannelColumns.h"
#include "channels/SortCompare.h"

namespace vantrel::channels {

void CChannelView::Fill(ServiceKind kind) {
  m_kind = kind;
  m_list.ForgetRecentSatellite();
  const auto& services = m_list.Services(kind);
  m_rows.clear();
  m_rows.reserve(services.size());
  for (const auto& s : services) m_rows.push_back(ChannelRow{s.get(), 0, false});
}

long long CChannelView::RowOf(const Service* service) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (m_rows[i].service == service) return static_cast<long long>(i);
  }
  return -1;
}

int CChannelView::ShownNumber(std::size_t row) const {
  const ChannelRow& r = m_rows.at(row);
  return r.mark != 0 ? r.mark : r.service->ChannelNo;
}

std::string CChannelView::CellText(std::size_t row, int column) const {
  return ChannelCellText(m_list, *m_rows.at(row).service, column, ShownNumber(row));
}

void CChannelView::SetSelected(std::size_t row, bool selected) {
  if (row < m_rows.size()) m_rows[row].selected = selected;
}

void CChannelView::SelectOnly(std::size_t row) {
  for (std::size_t i = 0; i < m_rows.size(); ++i) m_rows[i].selected = i == row;
}

void CChannelView::SelectAll() {
  for (auto& r : m_rows) r.selected = true;
}

void CChannelView::ClearSelection() {
  for (auto& r : m_rows) r.selected = false;
}

std::size_t CChannelView::SelectedCount() const {
  return static_cast<std::size_t>(
      std::count_if(m_rows.begin(), m_rows.end(), [](const auto& r) { return r.selected; }));
}

std::vector<std::size_t> CChannelView::SelectedRows() const {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (m_rows[i].selected) out.push_back(i);
  }
  return out;
}

std::vector<Service*> CChannelView::SelectedServices() const {
  std::vector<Service*> out;
  for (const auto& r : m_rows) {
    if (r.selected) out.push_back(r.service);
  }
  return out;
}

void CChannelView::SetMark(std::size_t row, int number) {
  if (row < m_rows.size()) m_rows[row].mark = number;
}

void CChannelView::ClearMarks() {
  for (auto& r : m_rows) r.mark = 0;
}

bool CChannelView::HasMarks() const {
  return std::any_of(m_rows.begin(), m_rows.end(), [](const auto& r) { return r.mark != 0; });
}

void CChannelView::SortByColumn(int column, bool ascending) {
  // Each row's text is made once; the satellite lookup once per longitude.
  std::vector<std::string> keys(m_rows.size());
  std::unordered_map<int, std::string> satelliteNames;
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (column == kColSatelliteName) {
      const int longitude = m_rows[i].service->Carrier.Longitude;
      auto it = satelliteNames.find(longitude);
      if (it == satelliteNames.end()) {
        it = satelliteNames.emplace(longitude, m_list.GetSatelliteNameByLongitude(longitude)).first;
      }
      keys[i] = it->second;
    } else {
      keys[i] = CellText(i, column);
    }
  }
  std::vector<std::size_t> order(m_rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const CompareRule rule = ChannelColumnRule(column);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = CompareByRule(rule, keys[a], keys[b]);
    return ascending ? c < 0 : c > 0;
  });
  std::vector<ChannelRow> sorted;
  sorted.reserve(m_rows.size());
  for (const std::size_t i : order) sorted.push_back(m_rows[i]);
  m_rows = std::move(sorted);
  m_sortColumn = column;
  m_sortedAscending = ascending;
}

void CChannelView::HeaderClick(int column) {
  SortByColumn(column, m_nextAscending);
  m_nextAscending = !m_nextAscending;
}

void CChannelView::SortByNumber() {
  SortByColumn(kColChannelNo, true);
  m_nextAscending = false;
}

bool CChannelView::CheckNumbering() const {
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (static_cast<long long>(ShownNumber(i)) != static_cast<long long>(i) + 1) return false;
  }
  return true;
}

void CChannelView::InsertRow(std::size_t position, Service* service) {
  position = std::min(position, m_rows.size());
  m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(position), ChannelRow{service, 0, false});
}

void CChannelView::RemoveRows(const std::unordered_set<const Service*>& services) {
  std::erase_if(m_rows, [&services](const ChannelRow& r) { return services.count(r.service) != 0; });
}

}  // namespace vantrel::channels
