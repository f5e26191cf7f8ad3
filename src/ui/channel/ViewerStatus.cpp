#include "ui/channel/ViewerStatus.h"

#include <QPainter>

namespace vantrel::ui {
namespace {
const QColor kTitleColor(0x1f, 0x4e, 0x8c);
const QColor kFrameColor(0xb8, 0xc4, 0xd4);
constexpr int kIconSize = 16;
}  // namespace

CViewerStatus::CViewerStatus(int id, QWidget* parent) : QWidget(parent) {
  setObjectName(QString::number(id));
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont f = font();
  f.setBold(true);
  setFont(f);
}

void CViewerStatus::SetTitle(const QString& title) {
  m_title = title;
  update();
}

void CViewerStatus::SetCounter(const QString& counter) {
  m_counter = counter;
  update();
}

void CViewerStatus::SetIcon(const QIcon& icon) {
  m_icon = icon;
  update();
}

void CViewerStatus::Set(const QString& title, const QString& counter, const QIcon& icon) {
  m_title = title;
  m_counter = counter;
  m_icon = icon;
  update();
}

QSize CViewerStatus::sizeHint() const { return {200, fontMetrics().height() + 8}; }

void CViewerStatus::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, Qt::white);
  painter.setPen(kFrameColor);
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  int x = 5;
  if (!m_icon.isNull()) {
    const int y = (area.height() - kIconSize) / 2;
    m_icon.paint(&painter, QRect(x, y, kIconSize, kIconSize));
    x += kIconSize + 5;
  }
  painter.setPen(kTitleColor);
  const int counterWidth = m_counter.isEmpty() ? 0 : fontMetrics().horizontalAdvance(m_counter) + 10;
  const QRect counterRect(area.right() - counterWidth - 3, 0, counterWidth, area.height());
  painter.drawText(counterRect, Qt::AlignRight | Qt::AlignVCenter, m_counter);
  const QRect titleRect(x, 0, std::max(0, counterRect.left() - x - 4), area.height());
  painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(m_title, Qt::ElideRight, titleRect.width()));
}

}  // namespace vantrel::ui
