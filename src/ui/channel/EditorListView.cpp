#include "ui/channel/EditorListView.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

namespace vantrel::ui {

CEditorListView::CEditorListView(int id, QWidget* parent) : QTreeView(parent) {
  setObjectName(QString::number(id));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Qt's drag detection keeps a multiple selection when a selected row is
  // pressed; startDrag hands the drag over to the window.
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setAutoScroll(false);
  setContextMenuPolicy(Qt::NoContextMenu);
  header()->setSectionsClickable(true);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  setIconSize(QSize(16, 16));
}

void CEditorListView::SetColumnWidths(const std::vector<int>& widths) {
  for (std::size_t i = 0; i < widths.size(); ++i) header()->resizeSection(static_cast<int>(i), widths[i]);
}

int CEditorListView::FirstVisibleRow() const {
  const QModelIndex top = indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

int CEditorListView::RowsPerPage() const {
  const int rowHeight = model() && model()->rowCount() > 0 ? sizeHintForRow(0) : 0;
  return rowHeight > 0 ? std::max(1, viewport()->height() / rowHeight) : 1;
}

int CEditorListView::RowAt(const QPoint& viewportPos) const {
  const QModelIndex index = indexAt(viewportPos);
  return index.isValid() ? index.row() : -1;
}

void CEditorListView::startDrag(Qt::DropActions) {
  if (m_canStartDrag && m_canStartDrag()) {
    m_dragging = true;
    emit dragStarted();
  }
}

void CEditorListView::mousePressEvent(QMouseEvent* event) {
  m_afterDoubleClick = false;
  m_pressPending = event->button() == Qt::LeftButton;
  if (event->button() == Qt::RightButton) {
    const int row = RowAt(event->position().toPoint());
    // The clicked row joins the selection the way a right click does in a report list.
    if (row >= 0 && !selectionModel()->isRowSelected(row, {})) QTreeView::mousePressEvent(event);
    emit rowRightClicked(row, event->globalPosition().toPoint());
    return;
  }
  QTreeView::mousePressEvent(event);
}

void CEditorListView::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging) {
    emit dragMoved(event->globalPosition().toPoint());
    return;
  }
  QTreeView::mouseMoveEvent(event);
}

void CEditorListView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_pressPending = false;
  if (m_dragging && event->button() == Qt::LeftButton) {
    m_dragging = false;
    setState(NoState);
    emit dragReleased(event->globalPosition().toPoint());
    return;
  }
  QTreeView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // The release that ends a double click is not another click.
  if (m_afterDoubleClick) {
    m_afterDoubleClick = false;
    return;
  }
  emit rowClicked(RowAt(event->position().toPoint()));
}

void CEditorListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // A double click that follows a press without its release still counts as
  // the click the user made first.
  if (m_pressPending) emit rowClicked(RowAt(event->position().toPoint()));
  m_pressPending = false;
  m_afterDoubleClick = true;
  emit rowDoubleClicked(RowAt(event->position().toPoint()));
}

void CEditorListView::focusInEvent(QFocusEvent* event) {
  QTreeView::focusInEvent(event);
  emit gotFocus();
}

}  // namespace vantrel::ui
