#pragma once
// A report-style list of the channel dialogs: full-row selection, columns
// sized in percent of the list's width, a header that reports clicks for the
// dialog's own sorting, and the clicks and key releases the dialogs act on
// (a click outside every row counts too).
#include <QTreeWidget>
#include <functional>
#include <vector>

namespace vantrel::ui {

class CReportList : public QTreeWidget {
  Q_OBJECT
 public:
  struct Column {
    QString title;
    int percent;
  };

  CReportList(int id, const std::vector<Column>& columns, QWidget* parent = nullptr);

  int RowCount() const { return topLevelItemCount(); }
  QTreeWidgetItem* Row(int row) const { return topLevelItem(row); }
  int RowOf(QTreeWidgetItem* item) const { return indexOfTopLevelItem(item); }
  // Selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const;
  // Selects only that row, makes it current and scrolls it into view.
  void SelectOnly(int row);

  // Puts the rows in a new order; less compares two rows' texts in a column.
  // The selected rows and the current row stay so.
  using Less = std::function<bool(const QString&, const QString&)>;
  void SortRows(int column, const Less& less);

  // The record a row stands for.
  template <typename T>
  static T* RecordOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<T*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
  }
  template <typename T>
  static void SetRecord(QTreeWidgetItem* item, T* record) {
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
  }

 Q_SIGNALS:
  // A left click: the row under the mouse, or -1 outside every row.
  void rowClicked(int row);
  // Up, Down, Page Up or Page Down released.
  void navigationReleased();
  void deleteReleased();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitColumns();

  std::vector<int> m_percents;
};

}  // namespace vantrel::ui
