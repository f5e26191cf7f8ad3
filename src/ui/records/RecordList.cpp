#include "ui/records/RecordList.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>

#include "ui/controls/Resources.h"

namespace vantrel::ui::records {
namespace {

constexpr int kMultiDragIcon = 20135;

}  // namespace

QWidget* CNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                     const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  const int row = index.row();
  Q_EMIT editingStarted(row);
  // Both a confirmed and a cancelled edit end here; Escape reverts.
  connect(this, &QAbstractItemDelegate::closeEditor, editor,
          [this, editor, row](QWidget* closed, QAbstractItemDelegate::EndEditHint hint) {
            // Enter or Escape followed by the focus leaving may close the same editor twice.
            if (closed != editor || editor->property("ended").toBool()) return;
            editor->setProperty("ended", true);
            if (hint == QAbstractItemDelegate::RevertModelCache) {
              Q_EMIT editingCancelled(row);
            } else {
              Q_EMIT editingEnded(row, editor->text());
            }
          });
  return editor;
}

CRecordList::CRecordList(QWidget* parent, int id) : QTreeWidget(parent), m_id(id), m_delegate(new CNameDelegate(this)) {
  setObjectName(QString::number(id));
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setItemDelegateForColumn(0, m_delegate);
  setIconSize(QSize(16, 16));
  setAllColumnsShowFocus(true);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  setStyleSheet(QStringLiteral("QTreeWidget { background: white; }"));
}

std::vector<int> CRecordList::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->isSelected()) rows.push_back(i);
  return rows;
}

QMimeData* CRecordList::mimeData(const QList<QTreeWidgetItem*>& /*items*/) const {
  auto* mime = new QMimeData;
  mime->setData(kDragFormat, QByteArray::number(m_id));
  return mime;
}

void CRecordList::startDrag(Qt::DropActions /*actions*/) {
  if (m_canDrag && !m_canDrag()) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(mimeData({}));
  QPixmap image;
  if (rows.size() == 1) {
    // The row's icon and name.
    const QTreeWidgetItem* item = topLevelItem(rows.front());
    const QString text = item->text(0);
    const QFontMetrics metrics(font());
    image = QPixmap(20 + metrics.horizontalAdvance(text) + 4, std::max(16, metrics.height()));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    item->icon(0).paint(&painter, QRect(0, 0, 16, 16));
    painter.drawText(QRect(20, 0, image.width() - 20, image.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
  } else {
    image = LoadSvgIcon(kMultiDragIcon, QSize(16, 16)).pixmap(16, 16);
  }
  if (!image.isNull()) drag->setPixmap(image);
  drag->setHotSpot(QPoint(16, 8));
  drag->exec(Qt::CopyAction);
}

bool CRecordList::AcceptsDrop(const QMimeData* mime) const {
  return m_onDrop && mime != nullptr && mime->hasFormat(kDragFormat);
}

void CRecordList::dragEnterEvent(QDragEnterEvent* event) {
  if (AcceptsDrop(event->mimeData())) {
    event->acceptProposedAction();
    return;
  }
  event->ignore();
}

void CRecordList::dragMoveEvent(QDragMoveEvent* event) {
  if (AcceptsDrop(event->mimeData())) {
    event->acceptProposedAction();
    return;
  }
  event->ignore();
}

void CRecordList::dropEvent(QDropEvent* event) {
  if (!AcceptsDrop(event->mimeData())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  m_onDrop(event->mimeData()->data(kDragFormat).toInt());
}

}  // namespace vantrel::ui::records
