#pragma once
// The bars between the channel editor's panes: painted in a light violet grey,
// with the sizing cursor of their direction. Dragging shows a rectangle that
// follows the mouse inside the allowed range; releasing moves the bar there
// and reports the new position so the window lays the panes out again.
#include <QPointer>
#include <QRubberBand>
#include <QWidget>

namespace vantrel::ui {

class CSplitterBarChannel : public QWidget {
  Q_OBJECT
 public:
  // A vertical bar moves left and right (position = x), a horizontal one up
  // and down (position = y), in the parent's coordinates.
  CSplitterBarChannel(Qt::Orientation orientation, int id, QWidget* parent);

  static QColor FillColor() { return {212, 206, 222}; }
  Qt::Orientation Orientation() const { return m_orientation; }
  // The range the bar's position may take (inclusive), set by the window.
  void SetRange(int minimum, int maximum);
  static int Clamp(int position, int minimum, int maximum);
  bool IsDragging() const { return m_dragging; }
  QRect DragRect() const { return m_dragRect; }

 Q_SIGNALS:
  void moved(int position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int PositionAt(const QPoint& local) const;
  QRect RectAt(int position) const;

  Qt::Orientation m_orientation;
  int m_minimum = 0;
  int m_maximum = 0;
  bool m_dragging = false;
  int m_grabOffset = 0;
  QRect m_dragRect;
  QPointer<QRubberBand> m_band;
};

}  // namespace vantrel::ui
