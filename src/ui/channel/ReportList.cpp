#include "ui/channel/ReportList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace vantrel::ui {

CReportList::CReportList(int id, const std::vector<Column>& columns, QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QString::number(id));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(false);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  setPalette(colours);

  QStringList titles;
  for (const Column& column : columns) {
    titles << column.title;
    m_percents.push_back(column.percent);
  }
  setColumnCount(static_cast<int>(columns.size()));
  setHeaderLabels(titles);
  header()->setSectionsClickable(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  FitColumns();
}

std::vector<int> CReportList::SelectedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < topLevelItemCount(); ++row)
    if (topLevelItem(row)->isSelected()) rows.push_back(row);
  return rows;
}

int CReportList::FirstSelectedRow() const {
  for (int row = 0; row < topLevelItemCount(); ++row)
    if (topLevelItem(row)->isSelected()) return row;
  return -1;
}

void CReportList::SelectOnly(int row) {
  clearSelection();
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr) return;
  setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollToItem(item);
}

void CReportList::SortRows(int column, const Less& less) {
  // Taking the rows out drops their selection and the current row; the same
  // rows stay selected and current in their new places.
  const QList<QTreeWidgetItem*> selected = selectedItems();
  QTreeWidgetItem* current = currentItem();
  QList<QTreeWidgetItem*> rows;
  while (topLevelItemCount() > 0) rows.push_back(takeTopLevelItem(0));
  std::stable_sort(rows.begin(), rows.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return less(a->text(column), b->text(column));
  });
  addTopLevelItems(rows);
  if (current != nullptr) setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
  for (QTreeWidgetItem* item : selected) item->setSelected(true);
}

void CReportList::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  Q_EMIT rowClicked(item ? indexOfTopLevelItem(item) : -1);
}

void CReportList::keyReleaseEvent(QKeyEvent* event) {
  QTreeWidget::keyReleaseEvent(event);
  if (event->isAutoRepeat()) return;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: Q_EMIT navigationReleased(); break;
    case Qt::Key_Delete: Q_EMIT deleteReleased(); break;
    default: break;
  }
}

void CReportList::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  FitColumns();
}

void CReportList::FitColumns() {
  const int width = viewport()->width();
  for (std::size_t i = 0; i < m_percents.size(); ++i) setColumnWidth(static_cast<int>(i), width * m_percents[i] / 100);
}

}  // namespace vantrel::ui
