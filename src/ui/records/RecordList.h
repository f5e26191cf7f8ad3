#pragma once
// The report lists of the recordings window: three columns, a row icon,
// several rows selectable, names editable in place. The receiver list starts
// drags of its rows; the PC list takes drops that come from it.
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <functional>

#include "records/Recordings.h"

namespace vantrel::ui::records {

// The window layer reaches the headless recordings rules under the same name.
using namespace vantrel::records;

// The in-place name editor. Nothing is written into the row by the editor
// itself: the owner hears of a confirmed edit (Enter, or the focus leaving)
// with the text typed, and decides; Escape cancels the edit.
class CNameDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit CNameDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 Q_SIGNALS:
  void editingStarted(int row) const;
  void editingEnded(int row, const QString& text) const;
  void editingCancelled(int row) const;
};

class CRecordList : public QTreeWidget {
  Q_OBJECT
 public:
  static constexpr const char* kDragFormat = "application/x-vantrel-recordings";

  CRecordList(QWidget* parent, int id);

  // Asked when a drag would start; false keeps it from starting.
  std::function<bool()> m_canDrag;
  // Called for a drop of rows dragged from the list with that id.
  std::function<void(int sourceId)> m_onDrop;

  CNameDelegate* NameDelegate() const { return m_delegate; }
  int Id() const { return m_id; }
  std::vector<int> SelectedRows() const;

 protected:
  void startDrag(Qt::DropActions actions) override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  QStringList mimeTypes() const override { return {kDragFormat}; }
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool AcceptsDrop(const QMimeData* mime) const;

  int m_id;
  CNameDelegate* m_delegate;
};

}  // namespace vantrel::ui::records
