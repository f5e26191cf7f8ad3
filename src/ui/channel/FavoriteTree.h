#pragma once
// The favourites tree of the channel editor: the TV and radio nodes with one
// item per group. Only group labels can be edited; the edited text is not
// written into the item but handed to the window, which renames the group
// (or refuses and starts the editing again). While channels are dragged over
// it the window highlights the group under the cursor.
#include <QTreeWidget>

namespace vantrel::channels {
class FavoriteGroup;
}

namespace vantrel::ui {

class CFavoriteTree : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CFavoriteTree(int id, QWidget* parent = nullptr);

  static channels::FavoriteGroup* GroupOf(const QTreeWidgetItem* item);
  static void SetGroup(QTreeWidgetItem* item, channels::FavoriteGroup* group);
  QTreeWidgetItem* ItemOf(const channels::FavoriteGroup* group) const;

  // Starts editing a group's label (nodes are refused).
  bool StartEditing(QTreeWidgetItem* item);
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

  void SetDropHighlight(QTreeWidgetItem* item);
  QTreeWidgetItem* DropHighlight() const { return m_highlight; }

 Q_SIGNALS:
  void labelEditStarted(QTreeWidgetItem* item);
  void renameRequested(QTreeWidgetItem* item, QString text);
  void rightClicked(QTreeWidgetItem* item, QPoint globalPos);
  void gotFocus();

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  QTreeWidgetItem* m_highlight = nullptr;
};

}  // namespace vantrel::ui
