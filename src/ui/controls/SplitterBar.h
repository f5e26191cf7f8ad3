#pragma once
// A draggable bar between the panes of a manager window. The bar places the
// panes of its window around itself, in one of two arrangements:
//
// - eight panes (the file manager): for each half a status strip, a tree, a
//   list and a viewer panel. Two bars share the same eight panes: a vertical
//   bar between trees and lists and a horizontal bar between the upper and
//   the lower half. Each finds the other among its parent's children, so
//   whichever is dragged, the panes are placed around both. The viewer panels
//   are left as the window keeps them.
// - six panes (the recordings window): for each half a status strip, a viewer
//   panel and a list, split by one horizontal bar. The viewer panels can be
//   hidden so that the lists take the full width.
//
// The arithmetic lives in static functions so that it can be checked without
// a screen.
#include <QColor>
#include <QPointer>
#include <QRect>
#include <QRubberBand>
#include <QWidget>

class QStyle;

namespace vantrel::ui {

// A vertical bar moves left and right, a horizontal bar up and down.
enum class SplitterOrientation { Vertical, Horizontal };

// The allowed positions of a bar (x of a vertical bar, y of a horizontal
// one, in the parent's coordinates), both inclusive.
struct SplitterDragRange {
  int minimum = 0;
  int maximum = 0;
  bool operator==(const SplitterDragRange&) const = default;
};

// Pane rectangles of the eight-pane arrangement ("1" = upper half).
struct EightPaneRects {
  QRect strip1, tree1, list1;
  QRect strip2, tree2, list2;
};

// Pane rectangles of the six-pane arrangement; the viewer rectangles are
// empty when the viewers are hidden.
struct SixPaneRects {
  QRect strip1, viewer1, list1;
  QRect strip2, viewer2, list2;
};

class CSplitterBar : public QWidget {
  Q_OBJECT
 public:
  enum LayoutMode { kNoPanes = -1, kEightPanes = 0, kSixPanes = 1 };

  // Margins of the usable area inside the parent: the button row on top.
  static constexpr int kMarginLeft = 4;
  static constexpr int kMarginRight = 4;
  static constexpr int kMarginTop = 50;
  static constexpr int kMarginBottom = 20;
  // Six-pane arrangement: viewer panels end and lists start at this x.
  static constexpr int kSixPaneDivider = 250;
  static constexpr int kMinimumThickness = 4;
  static QColor FillColor();

  // A visible child of the parent; the id becomes its object name.
  CSplitterBar(QWidget* parent, SplitterOrientation orientation, int id);
  ~CSplitterBar() override;

  // Hands over the panes. When any is missing the user is told ("Assert
  // Error") and nothing changes. False in that case.
  bool SetPanes8(QWidget* strip1, QWidget* tree1, QWidget* list1, QWidget* viewer1, QWidget* strip2, QWidget* tree2,
                 QWidget* list2, QWidget* viewer2);
  bool SetPanes6(QWidget* strip1, QWidget* viewer1, QWidget* list1, QWidget* strip2, QWidget* viewer2, QWidget* list2);

  // Six-pane arrangement: hide the viewer panels (applied by the next layout).
  void SetHideViewers(bool hide) { m_hideViewers = hide; }
  bool GetHideViewers() const { return m_hideViewers; }

  // Puts the bar at its default place in the parent's present usable area and
  // places the panes around it.
  void Layout();
  // Places the panes around the bars where they are now.
  void PlacePanes();

  SplitterOrientation Orientation() const { return m_orientation; }
  LayoutMode Mode() const { return m_mode; }
  int Position() const;
  int Thickness() const { return m_thickness; }
  QRect UsableRect() const;
  SplitterDragRange DragRange() const;
  bool IsDragging() const { return m_dragging; }
  // The last drag rectangle, in the parent's coordinates.
  QRect DragRect() const { return m_dragRect; }
  // The other bar of an eight-pane window, if there is one.
  CSplitterBar* PartnerBar() const;

  // ---- the arithmetic ----
  static QRect UsableArea(const QRect& client);
  static int BarThickness(const QStyle* style);
  static int DefaultPosition(SplitterOrientation orientation, const QRect& usable, int thickness);
  static QRect BarRect(SplitterOrientation orientation, const QRect& usable, int position, int thickness);
  // Vertical bar: the usable left and right edges. Horizontal bar: from the
  // bottom of the upper strip to the usable bottom less the lower strip.
  static SplitterDragRange DragLimits(SplitterOrientation orientation, const QRect& usable, int strip1Height,
                                      int strip2Height);
  static int ClampPosition(int position, const SplitterDragRange& range);
  static EightPaneRects LayEightPanes(const QRect& usable, int verticalX, int horizontalY, int thickness,
                                      int strip1Height, int strip2Height);
  static SixPaneRects LaySixPanes(const QRect& usable, int horizontalY, int thickness, int strip1Height,
                                  int strip2Height, bool hideViewers);

 Q_SIGNALS:
  // The user dragged the bar to a new place and the panes were placed again.
  void moved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Panes {
    QPointer<QWidget> strip1, tree1, list1, viewer1;
    QPointer<QWidget> strip2, tree2, list2, viewer2;
  };

  int AxisCoordinate(const QPoint& inParent) const;
  int PositionFor(SplitterOrientation orientation, const QRect& usable) const;
  int DragPositionAt(const QPoint& local) const;
  QRect RectAt(int position) const;
  void StopDragging();
  static int HeightOf(const QWidget* widget);

  SplitterOrientation m_orientation;
  LayoutMode m_mode = kNoPanes;
  Panes m_panes;
  bool m_hideViewers = false;
  int m_thickness;
  bool m_dragging = false;
  int m_grabOffset = 0;
  QRect m_dragRect;
  // A child of the parent, like the bar; it may go before the bar does.
  QPointer<QRubberBand> m_dragBand;
};

}  // namespace vantrel::ui
