#include "ui/channel/FavoriteTree.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace vantrel::ui {
namespace {

constexpr int kGroupRole = Qt::UserRole + 1;

// Hands the edited text to the tree instead of writing it into the item.
class CRenameDelegate : public QStyledItemDelegate {
 public:
  explicit CRenameDelegate(CFavoriteTree* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidgetItem* item = m_tree->itemFromIndex(index);
    if (line != nullptr && item != nullptr) emit m_tree->renameRequested(item, line->text());
  }

 private:
  CFavoriteTree* m_tree;
};

}  // namespace

CFavoriteTree::CFavoriteTree(int id, QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QString::number(id));
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  setItemDelegate(new CRenameDelegate(this));  // owned by the tree
  setIconSize(QSize(16, 16));
  setContextMenuPolicy(Qt::NoContextMenu);
}

channels::FavoriteGroup* CFavoriteTree::GroupOf(const QTreeWidgetItem* item) {
  return item ? reinterpret_cast<channels::FavoriteGroup*>(item->data(0, kGroupRole).value<quintptr>()) : nullptr;
}

void CFavoriteTree::SetGroup(QTreeWidgetItem* item, channels::FavoriteGroup* group) {
  item->setData(0, kGroupRole, QVariant::fromValue(reinterpret_cast<quintptr>(group)));
}

QTreeWidgetItem* CFavoriteTree::ItemOf(const channels::FavoriteGroup* group) const {
  for (int n = 0; n < topLevelItemCount(); ++n) {
    QTreeWidgetItem* node = topLevelItem(n);
    for (int c = 0; c < node->childCount(); ++c) {
      if (GroupOf(node->child(c)) == group) return node->child(c);
    }
  }
  return nullptr;
}

bool CFavoriteTree::StartEditing(QTreeWidgetItem* item) {
  if (item == nullptr || GroupOf(item) == nullptr) return false;
  scrollToItem(item);
  editItem(item, 0);
  return IsEditing();
}

bool CFavoriteTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  QTreeWidgetItem* item = itemFromIndex(index);
  if (GroupOf(item) == nullptr) return false;  // the two nodes keep their names
  const bool started = QTreeWidget::edit(index, trigger, event);
  if (started && GroupOf(item) != nullptr) emit labelEditStarted(item);
  return started;
}

void CFavoriteTree::SetDropHighlight(QTreeWidgetItem* item) {
  if (m_highlight == item) return;
  if (m_highlight != nullptr) m_highlight->setBackground(0, QBrush());
  m_highlight = item;
  if (m_highlight != nullptr) m_highlight->setBackground(0, palette().highlight().color().lighter(160));
}

void CFavoriteTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit rightClicked(itemAt(event->position().toPoint()), event->globalPosition().toPoint());
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

void CFavoriteTree::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  emit gotFocus();
}

}  // namespace vantrel::ui
