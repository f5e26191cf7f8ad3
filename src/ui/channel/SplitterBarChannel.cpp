#include "ui/channel/SplitterBarChannel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vantrel::ui {

CSplitterBarChannel::CSplitterBarChannel(Qt::Orientation orientation, int id, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
  setObjectName(QString::number(id));
  setCursor(orientation == Qt::Vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
}

void CSplitterBarChannel::SetRange(int minimum, int maximum) {
  m_minimum = minimum;
  m_maximum = std::max(minimum, maximum);
}

int CSplitterBarChannel::Clamp(int position, int minimum, int maximum) {
  return std::clamp(position, minimum, std::max(minimum, maximum));
}

void CSplitterBarChannel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), FillColor());
}

int CSplitterBarChannel::PositionAt(const QPoint& local) const {
  const QPoint inParent = mapToParent(local);
  const int axis = m_orientation == Qt::Vertical ? inParent.x() : inParent.y();
  return Clamp(axis - m_grabOffset, m_minimum, m_maximum);
}

QRect CSplitterBarChannel::RectAt(int position) const {
  const QRect g = geometry();
  return m_orientation == Qt::Vertical ? QRect(position, g.top(), g.width(), g.height())
                                       : QRect(g.left(), position, g.width(), g.height());
}

void CSplitterBarChannel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_dragging = true;
  m_grabOffset = m_orientation == Qt::Vertical ? event->position().toPoint().x() : event->position().toPoint().y();
  const int start = m_orientation == Qt::Vertical ? x() : y();
  m_dragRect = RectAt(start);
  if (!m_band) m_band = new QRubberBand(QRubberBand::Rectangle, parentWidget());  // owned by the parent
  m_band->setGeometry(m_dragRect);
  m_band->show();
  grabMouse();
}

void CSplitterBarChannel::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) return;
  m_dragRect = RectAt(PositionAt(event->position().toPoint()));
  if (m_band) m_band->setGeometry(m_dragRect);
}

void CSplitterBarChannel::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_dragging || event->button() != Qt::LeftButton) return;
  m_dragging = false;
  releaseMouse();
  if (m_band) m_band->hide();
  const int position = PositionAt(event->position().toPoint());
  emit moved(position);
}

}  // namespace vantrel::ui
