#pragma once
// The channel list of the channel editor below its widget: the services of
// the current kind in display order, which of them are selected, the marks
// of the numbering mode and the sort state. The window shows these rows as
// they stand; every editing operation changes them together with the list.
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

struct ChannelRow {
  Service* service = nullptr;
  int mark = 0;  // provisional number of the numbering mode; 0 = unmarked
  bool selected = false;
};

class CChannelView {
 public:
  explicit CChannelView(ChannelList& list) : m_list(list) {}
  CChannelView(const CChannelView&) = delete;
  CChannelView& operator=(const CChannelView&) = delete;

  ServiceKind Kind() const { return m_kind; }
  // Shows the services of a kind in list order, nothing selected or marked.
  // The sort state stays as it is.
  void Fill(ServiceKind kind);
  void Refill() { Fill(m_kind); }
  // No rows (the kind stays).
  void Clear() { m_rows.clear(); }

  std::size_t RowCount() const { return m_rows.size(); }
  bool Empty() const { return m_rows.empty(); }
  const std::vector<ChannelRow>& Rows() const { return m_rows; }
  Service* ServiceAt(std::size_t row) const { return row < m_rows.size() ? m_rows[row].service : nullptr; }
  // Row of a service; -1 when it is not shown.
  long long RowOf(const Service* service) const;
  // What the number column shows: the mark when there is one, else ChannelNo.
  int ShownNumber(std::size_t row) const;
  std::string CellText(std::size_t row, int column) const;

  // --- selection
  bool IsSelected(std::size_t row) const { return row < m_rows.size() && m_rows[row].selected; }
  void SetSelected(std::size_t row, bool selected);
  void SelectOnly(std::size_t row);
  void SelectAll();
  void ClearSelection();
  std::size_t SelectedCount() const;
  std::vector<std::size_t> SelectedRows() const;   // ascending
  std::vector<Service*> SelectedServices() const;  // in row order

  // --- numbering marks
  int Mark(std::size_t row) const { return row < m_rows.size() ? m_rows[row].mark : 0; }
  void SetMark(std::size_t row, int number);
  void ClearMarks();
  bool HasMarks() const;

  // --- sorting (rows keep their services, marks and selection)
  // Stable: rows that compare equal keep their order.
  void SortByColumn(int column, bool ascending);
  // A header click: sorts in the current direction, then flips it, whichever
  // column was clicked before.
  void HeaderClick(int column);
  // The program's sort by the number column, ascending; the next header click
  // sorts descending.
  void SortByNumber();
  int SortColumn() const { return m_sortColumn; }  // -1 before the first sort
  bool SortedAscending() const { return m_sortedAscending; }
  bool NextHeaderAscending() const { return m_nextAscending; }
  // Puts back a sort state read from the three functions above (undo).
  void SetSortState(int column, bool ascending, bool nextAscending) {
    m_sortColumn = column;
    m_sortedAscending = ascending;
    m_nextAscending = nextAscending;
  }

  // True when the number column reads 1, 2, ..., n from the top (an empty
  // view passes).
  bool CheckNumbering() const;

  // --- changes made by the editing operations
  void InsertRow(std::size_t position, Service* service);
  // Drops the rows of these services.
  void RemoveRows(const std::unordered_set<const Service*>& services);
  // Replaces the rows; the caller keeps them to the services of the kind.
  void SetRows(std::vector<ChannelRow> rows) { m_rows = std::move(rows); }

 private:
  ChannelList& m_list;
  ServiceKind m_kind = ServiceKind::Tv;
  std::vector<ChannelRow> m_rows;
  int m_sortColumn = -1;
  bool m_sortedAscending = true;
  bool m_nextAscending = true;
};

}  // namespace vantrel::channels
