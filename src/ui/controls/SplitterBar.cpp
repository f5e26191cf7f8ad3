#include "ui/controls/SplitterBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QRubberBand>
#include <QStyle>
#include <algorithm>

#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::ui {
namespace {

constexpr int kTextAssertError = 244;
constexpr int kTextErrorCaption = 287;

// The rectangle between two corners; never negative in size.
QRect Span(int left, int top, int right, int bottom) {
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

void Place(QWidget* pane, const QRect& rect) {
  if (pane != nullptr) pane->setGeometry(rect);
}

}  // namespace

QColor CSplitterBar::FillColor() { return {212, 206, 222}; }

CSplitterBar::CSplitterBar(QWidget* parent, SplitterOrientation orientation, int id)
    : QWidget(parent), m_orientation(orientation), m_thickness(BarThickness(style())) {
  setObjectName(QString::number(id));
  setCursor(orientation == SplitterOrientation::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
  if (parent != nullptr) setGeometry(BarRect(orientation, UsableArea(parent->rect()), 0, m_thickness));
  show();
}

CSplitterBar::~CSplitterBar() { delete m_dragBand.data(); }

// ---- the arithmetic ---------------------------------------------------------

QRect CSplitterBar::UsableArea(const QRect& client) {
  return {client.left() + kMarginLeft, client.top() + kMarginTop,
          std::max(0, client.width() - kMarginLeft - kMarginRight),
          std::max(0, client.height() - kMarginTop - kMarginBottom)};
}

int CSplitterBar::BarThickness(const QStyle* style) {
  const int frame = style != nullptr ? style->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  return std::max(kMinimumThickness, frame);
}

int CSplitterBar::DefaultPosition(SplitterOrientation orientation, const QRect& usable, int thickness) {
  if (orientation == SplitterOrientation::Vertical) return usable.left() + usable.width() / 3;
  return usable.top() + (usable.height() - thickness) / 2;
}

QRect CSplitterBar::BarRect(SplitterOrientation orientation, const QRect& usable, int position, int thickness) {
  if (orientation == SplitterOrientation::Vertical) return {position, usable.top(), thickness, usable.height()};
  return {usable.left(), position, usable.width(), thickness};
}

SplitterDragRange CSplitterBar::DragLimits(SplitterOrientation orientation, const QRect& usable, int strip1Height,
                                           int strip2Height) {
  if (orientation == SplitterOrientation::Vertical) return {usable.left(), usable.left() + usable.width()};
  return {usable.top() + strip1Height, usable.top() + usable.height() - strip2Height};
}

int CSplitterBar::ClampPosition(int position, const SplitterDragRange& range) {
  // In a window too small for both strips the lower limit wins.
  if (range.maximum < range.minimum) return range.minimum;
  return std::clamp(position, range.minimum, range.maximum);
}

EightPaneRects CSplitterBar::LayEightPanes(const QRect& usable, int verticalX, int horizontalY, int thickness,
                                           int strip1Height, int strip2Height) {
  const int left = usable.left();
  const int right = usable.left() + usable.width();
  const int top = usable.top();
  const int bottom = usable.top() + usable.height();
  const int listLeft = verticalX + thickness;
  const int upperTop = top + strip1Height;
  const int strip2Top = horizontalY + thickness;
  const int lowerTop = strip2Top + strip2Height;

  EightPaneRects rects;
  rects.strip1 = QRect(left, top, usable.width(), strip1Height);
  rects.tree1 = Span(left, upperTop, verticalX, horizontalY);
  rects.list1 = Span(listLeft, upperTop, right, horizontalY);
  rects.strip2 = QRect(left, strip2Top, usable.width(), strip2Height);
  rects.tree2 = Span(left, lowerTop, verticalX, bottom);
  rects.list2 = Span(listLeft, lowerTop, right, bottom);
  return rects;
}

SixPaneRects CSplitterBar::LaySixPanes(const QRect& usable, int horizontalY, int thickness, int strip1Height,
                                       int strip2Height, bool hideViewers) {
  const int left = usable.left();
  const int right = usable.left() + usable.width();
  const int top = usable.top();
  const int bottom = usable.top() + usable.height();
  const int upperTop = top + strip1Height;
  const int strip2Top = horizontalY + thickness;
  const int lowerTop = strip2Top + strip2Height;
  const int listLeft = hideViewers ? left : kSixPaneDivider;

  SixPaneRects rects;
  rects.strip1 = QRect(left, top, usable.width(), strip1Height);
  rects.list1 = Span(listLeft, upperTop, right, horizontalY);
  rects.strip2 = QRect(left, strip2Top, usable.width(), strip2Height);
  rects.list2 = Span(listLeft, lowerTop, right, bottom);
  if (!hideViewers) {
    rects.viewer1 = Span(left, upperTop, kSixPaneDivider, horizontalY);
    rects.viewer2 = Span(left, lowerTop, kSixPaneDivider, bottom);
  }
  return rects;
}

// ---- panes and layout -------------------------------------------------------

bool CSplitterBar::SetPanes8(QWidget* strip1, QWidget* tree1, QWidget* list1, QWidget* viewer1, QWidget* strip2,
                             QWidget* tree2, QWidget* list2, QWidget* viewer2) {
  for (const QWidget* pane : {strip1, tree1, list1, viewer1, strip2, tree2, list2, viewer2}) {
    if (pane == nullptr) {
      GetPrompt().Error(GetText(kTextAssertError), GetText(kTextErrorCaption));
      return false;
    }
  }
  m_panes = Panes{strip1, tree1, list1, viewer1, strip2, tree2, list2, viewer2};
  m_mode = kEightPanes;
  return true;
}

bool CSplitterBar::SetPanes6(QWidget* strip1, QWidget* viewer1, QWidget* list1, QWidget* strip2, QWidget* viewer2,
                             QWidget* list2) {
  for (const QWidget* pane : {strip1, viewer1, list1, strip2, viewer2, list2}) {
    if (pane == nullptr) {
      GetPrompt().Error(GetText(kTextAssertError), GetText(kTextErrorCaption));
      return false;
    }
  }
  m_panes = Panes{};
  m_panes.strip1 = strip1;
  m_panes.viewer1 = viewer1;
  m_panes.list1 = list1;
  m_panes.strip2 = strip2;
  m_panes.viewer2 = viewer2;
  m_panes.list2 = list2;
  m_mode = kSixPanes;
  return true;
}

int CSplitterBar::HeightOf(const QWidget* widget) { return widget != nullptr ? widget->height() : 0; }

QRect CSplitterBar::UsableRect() const {
  return parentWidget() != nullptr ? UsableArea(parentWidget()->rect()) : QRect();
}

int CSplitterBar::Position() const { return m_orientation == SplitterOrientation::Vertical ? x() : y(); }

SplitterDragRange CSplitterBar::DragRange() const {
  return DragLimits(m_orientation, UsableRect(), HeightOf(m_panes.strip1), HeightOf(m_panes.strip2));
}

CSplitterBar* CSplitterBar::PartnerBar() const {
  if (parentWidget() == nullptr || m_mode == kNoPanes) return nullptr;
  const auto bars = parentWidget()->findChildren<CSplitterBar*>(Qt::FindDirectChildrenOnly);
  for (CSplitterBar* bar : bars) {
    if (bar != this && bar->m_orientation != m_orientation && bar->m_mode == m_mode) return bar;
  }
  return nullptr;
}

int CSplitterBar::PositionFor(SplitterOrientation orientation, const QRect& usable) const {
  if (orientation == m_orientation) return Position();
  if (const CSplitterBar* partner = PartnerBar()) return partner->Position();
  return DefaultPosition(orientation, usable, m_thickness);
}

void CSplitterBar::Layout() {
  if (parentWidget() == nullptr) return;
  const QRect usable = UsableRect();
  setGeometry(BarRect(m_orientation, usable, DefaultPosition(m_orientation, usable, m_thickness), m_thickness));
  PlacePanes();
}

void CSplitterBar::PlacePanes() {
  if (m_mode == kNoPanes || parentWidget() == nullptr) return;
  const QRect usable = UsableRect();
  const int verticalX = PositionFor(SplitterOrientation::Vertical, usable);
  const int horizontalY = PositionFor(SplitterOrientation::Horizontal, usable);
  const int strip1Height = HeightOf(m_panes.strip1);
  const int strip2Height = HeightOf(m_panes.strip2);

  if (m_mode == kEightPanes) {
    const EightPaneRects rects = LayEightPanes(usable, verticalX, horizontalY, m_thickness, strip1Height, strip2Height);
    Place(m_panes.strip1, rects.strip1);
    Place(m_panes.tree1, rects.tree1);
    Place(m_panes.list1, rects.list1);
    Place(m_panes.strip2, rects.strip2);
    Place(m_panes.tree2, rects.tree2);
    Place(m_panes.list2, rects.list2);
  } else {
    const SixPaneRects rects = LaySixPanes(usable, horizontalY, m_thickness, strip1Height, strip2Height, m_hideViewers);
    Place(m_panes.strip1, rects.strip1);
    Place(m_panes.list1, rects.list1);
    Place(m_panes.strip2, rects.strip2);
    Place(m_panes.list2, rects.list2);
    for (QWidget* viewer : {m_panes.viewer1.data(), m_panes.viewer2.data()}) {
      if (viewer != nullptr) viewer->setVisible(!m_hideViewers);
    }
    if (!m_hideViewers) {
      Place(m_panes.viewer1, rects.viewer1);
      Place(m_panes.viewer2, rects.viewer2);
    }
  }
  // Where the strips cross a vertical bar has moved with them.
  update();
  if (CSplitterBar* partner = PartnerBar()) partner->update();
}

// ---- painting ---------------------------------------------------------------

void CSplitterBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRegion region(rect());
  if (m_orientation == SplitterOrientation::Vertical) {
    // The status strips run across a vertical bar; there the strips show.
    for (const QWidget* strip : {m_panes.strip1.data(), m_panes.strip2.data()}) {
      if (strip != nullptr && strip->isVisible() && strip->parentWidget() == parentWidget()) {
        region -= strip->geometry().translated(-pos());
      }
    }
  }
  painter.setClipRegion(region);
  painter.fillRect(rect(), FillColor());
}

// ---- dragging ---------------------------------------------------------------

int CSplitterBar::AxisCoordinate(const QPoint& inParent) const {
  return m_orientation == SplitterOrientation::Vertical ? inParent.x() : inParent.y();
}

int CSplitterBar::DragPositionAt(const QPoint& local) const {
  return ClampPosition(AxisCoordinate(mapToParent(local)) - m_grabOffset, DragRange());
}

QRect CSplitterBar::RectAt(int position) const {
  QRect rect = geometry();
  if (m_orientation == SplitterOrientation::Vertical) {
    rect.moveLeft(position);
  } else {
    rect.moveTop(position);
  }
  return rect;
}

void CSplitterBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || parentWidget() == nullptr) {
    QWidget::mousePressEvent(event);
    return;
  }
  m_dragging = true;
  // Where the bar was taken, so that it does not jump under the mouse.
  m_grabOffset = AxisCoordinate(event->position().toPoint());
  m_dragRect = geometry();
  if (m_dragBand == nullptr) m_dragBand = new QRubberBand(QRubberBand::Line, parentWidget());
  m_dragBand->setGeometry(m_dragRect);
  m_dragBand->show();
  m_dragBand->raise();
  event->accept();
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  // The drag rectangle shows where the bar will land.
  m_dragRect = RectAt(DragPositionAt(event->position().toPoint()));
  if (m_dragBand != nullptr) m_dragBand->setGeometry(m_dragRect);
  event->accept();
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_dragging || event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  const int position = DragPositionAt(event->position().toPoint());
  StopDragging();
  m_dragRect = RectAt(position);
  setGeometry(m_dragRect);
  PlacePanes();
  event->accept();
  Q_EMIT moved();
}

void CSplitterBar::hideEvent(QHideEvent* event) {
  StopDragging();
  QWidget::hideEvent(event);
}

void CSplitterBar::StopDragging() {
  m_dragging = false;
  if (m_dragBand != nullptr) m_dragBand->hide();
}

}  // namespace vantrel::ui
