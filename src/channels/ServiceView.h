#pragma once
// The service list of the channel editor below its widget: the members of
// the favourite group selected in the tree, in display order, with their
// selection. Each row knows the member's index in its group, so duplicates
// of one service in a group stay distinct rows.
#include <cstddef>
#include <string>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

struct MemberRow {
  Service* member = nullptr;
  std::size_t memberIndex = 0;  // index in the group's members
  bool selected = false;
};

class CServiceView {
 public:
  explicit CServiceView(ChannelList& list) : m_list(list) {}
  CServiceView(const CServiceView&) = delete;
  CServiceView& operator=(const CServiceView&) = delete;

  // Shows a group's members in member order (none for null).
  void Fill(FavoriteGroup* group);
  void Refill() { Fill(m_group); }
  void Clear() { Fill(nullptr); }
  FavoriteGroup* Group() const { return m_group; }

  std::size_t RowCount() const { return m_rows.size(); }
  bool Empty() const { return m_rows.empty(); }
  const std::vector<MemberRow>& Rows() const { return m_rows; }
  Service* MemberAt(std::size_t row) const { return row < m_rows.size() ? m_rows[row].member : nullptr; }
  std::string CellText(std::size_t row, int column) const;

  bool IsSelected(std::size_t row) const { return row < m_rows.size() && m_rows[row].selected; }
  void SetSelected(std::size_t row, bool selected);
  void SelectOnly(std::size_t row);
  void ClearSelection();
  std::size_t SelectedCount() const;
  std::vector<std::size_t> SelectedRows() const;  // ascending

  // The program's only sort: by the number column, ascending, stable.
  void SortByFirstColumn();

  // Replaces the rows (after members were reordered).
  void SetRows(std::vector<MemberRow> rows) { m_rows = std::move(rows); }

 private:
  ChannelList& m_list;
  FavoriteGroup* m_group = nullptr;
  std::vector<MemberRow> m_rows;
};

}  // namespace vantrel::channels
