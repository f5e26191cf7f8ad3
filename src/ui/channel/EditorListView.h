#pragma once
// The report view of the channel editor's channel list and service list: full
// rows, multiple selection, no in-place editing, header clicks reported for
// the window's own sorting. A drag is the window's own: when the mouse moves
// far enough from a press on a selected row the view asks the window whether
// it may start, then reports every move and the release in global
// coordinates while the mouse stays grabbed by the press.
#include <QTreeView>
#include <functional>

namespace vantrel::ui {

class CEditorListView : public QTreeView {
  Q_OBJECT
 public:
  CEditorListView(int id, QWidget* parent = nullptr);

  // Asked when a drag would begin; false keeps the press a plain selection.
  void SetDragStartCheck(std::function<bool()> check) { m_canStartDrag = std::move(check); }
  bool IsDragging() const { return m_dragging; }
  // Ends a drag without a drop (the window went busy, the view was refilled).
  void CancelDrag() { m_dragging = false; }

  int FirstVisibleRow() const;
  int RowsPerPage() const;
  int RowAt(const QPoint& viewportPos) const;

  // Widths and alignment of the header sections.
  void SetColumnWidths(const std::vector<int>& widths);

 Q_SIGNALS:
  void rowClicked(int row);  // -1 outside every row
  void rowDoubleClicked(int row);
  void rowRightClicked(int row, QPoint globalPos);
  void dragStarted();
  void dragMoved(QPoint globalPos);
  void dragReleased(QPoint globalPos);
  void gotFocus();

 protected:
  void startDrag(Qt::DropActions supportedActions) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  std::function<bool()> m_canStartDrag;
  bool m_dragging = false;
  bool m_afterDoubleClick = false;
  bool m_pressPending = false;  // a press not yet released
};

}  // namespace vantrel::ui
