// The splitter bars: the layout arithmetic of both window forms, the drag
// limits, dragging with the mouse on a shown window, the paint, and the
// refusal of a missing pane.
#include <gtest/gtest.h>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/controls/SplitterBar.h"

using vantrel::ui::CSplitterBar;
using vantrel::ui::EightPaneRects;
using vantrel::ui::SixPaneRects;
using vantrel::ui::SplitterDragRange;
using vantrel::ui::SplitterOrientation;

namespace {

vantrel::test::IsolatedSettings g_isolated;

constexpr int kStrip = 16;
constexpr SplitterOrientation kVertical = SplitterOrientation::Vertical;
constexpr SplitterOrientation kHorizontal = SplitterOrientation::Horizontal;

// A 1000 x 700 client: usable area (4, 50) 992 x 630.
const QRect kClient(0, 0, 1000, 700);
const QRect kUsable(4, 50, 992, 630);

TEST(SplitterArithmetic, UsableAreaAndDefaultPositions) {
  EXPECT_EQ(CSplitterBar::UsableArea(kClient), kUsable);
  EXPECT_EQ(CSplitterBar::UsableArea(QRect(0, 0, 5, 30)), QRect(4, 50, 0, 0)) << "never negative";
  EXPECT_EQ(CSplitterBar::DefaultPosition(kVertical, kUsable, 4), 4 + 992 / 3);
  EXPECT_EQ(CSplitterBar::DefaultPosition(kHorizontal, kUsable, 4), 50 + (630 - 4) / 2);
  EXPECT_EQ(CSplitterBar::DefaultPosition(kVertical, QRect(4, 50, 100, 10), 4), 4 + 33) << "integer division";
  EXPECT_EQ(CSplitterBar::BarRect(kVertical, kUsable, 334, 4), QRect(334, 50, 4, 630));
  EXPECT_EQ(CSplitterBar::BarRect(kHorizontal, kUsable, 363, 4), QRect(4, 363, 992, 4));
  EXPECT_GE(CSplitterBar::BarThickness(QApplication::style()), 4);
  EXPECT_EQ(CSplitterBar::BarThickness(nullptr), 4);
}

TEST(SplitterArithmetic, DragLimitsAndClamp) {
  const SplitterDragRange vertical = CSplitterBar::DragLimits(kVertical, kUsable, kStrip, kStrip);
  EXPECT_EQ(vertical, (SplitterDragRange{4, 996}));
  const SplitterDragRange horizontal = CSplitterBar::DragLimits(kHorizontal, kUsable, kStrip, 20);
  EXPECT_EQ(horizontal, (SplitterDragRange{50 + kStrip, 680 - 20}));

  EXPECT_EQ(CSplitterBar::ClampPosition(5000, horizontal), 660);
  EXPECT_EQ(CSplitterBar::ClampPosition(-5, horizontal), 66);
  EXPECT_EQ(CSplitterBar::ClampPosition(300, horizontal), 300);
  EXPECT_EQ(CSplitterBar::ClampPosition(660, horizontal), 660);
  EXPECT_EQ(CSplitterBar::ClampPosition(50, SplitterDragRange{60, 40}), 60) << "window smaller than the strips";
}

TEST(SplitterArithmetic, EightPaneLayout) {
  const EightPaneRects r = CSplitterBar::LayEightPanes(kUsable, 334, 363, 4, kStrip, 20);
  EXPECT_EQ(r.strip1, QRect(4, 50, 992, 16));
  EXPECT_EQ(r.tree1, QRect(4, 66, 330, 363 - 66));
  EXPECT_EQ(r.list1, QRect(338, 66, 996 - 338, 363 - 66));
  EXPECT_EQ(r.strip2, QRect(4, 367, 992, 20));
  EXPECT_EQ(r.tree2, QRect(4, 387, 330, 680 - 387));
  EXPECT_EQ(r.list2, QRect(338, 387, 658, 680 - 387));
}

TEST(SplitterArithmetic, EightPaneLayoutAtTheLimitsHasNoNegativeSizes) {
  const EightPaneRects r = CSplitterBar::LayEightPanes(kUsable, 996, 680 - kStrip, 4, kStrip, kStrip);
  for (const QRect& pane : {r.tree1, r.list1, r.tree2, r.list2}) {
    EXPECT_GE(pane.width(), 0);
    EXPECT_GE(pane.height(), 0);
  }
  EXPECT_EQ(r.list1.width(), 0);
  EXPECT_EQ(r.tree2.height(), 0);
}

TEST(SplitterArithmetic, SixPaneLayoutWithAndWithoutViewers) {
  SixPaneRects r = CSplitterBar::LaySixPanes(kUsable, 363, 4, kStrip, kStrip, false);
  EXPECT_EQ(r.strip1, QRect(4, 50, 992, 16));
  EXPECT_EQ(r.viewer1, QRect(4, 66, 246, 297));
  EXPECT_EQ(r.list1, QRect(250, 66, 746, 297));
  EXPECT_EQ(r.strip2, QRect(4, 367, 992, 16));
  EXPECT_EQ(r.viewer2, QRect(4, 383, 246, 297));
  EXPECT_EQ(r.list2, QRect(250, 383, 746, 297));

  r = CSplitterBar::LaySixPanes(kUsable, 363, 4, kStrip, kStrip, true);
  EXPECT_TRUE(r.viewer1.isNull());
  EXPECT_TRUE(r.viewer2.isNull());
  EXPECT_EQ(r.list1, QRect(4, 66, 992, 297));
  EXPECT_EQ(r.list2, QRect(4, 383, 992, 297));
}

// A shown 1000 x 700 window with the eight panes of the file manager and its
// two bars, or the six panes of the recordings window and its one bar.
class SplitterWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    vantrel::SelectTextTable(vantrel::LANG_ENGLISH);
    window.resize(1000, 700);
    for (QWidget*& pane : panes) {
      pane = new QWidget(&window);
      pane->resize(100, kStrip);
    }
  }

  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  void MakeEightPaneWindow() {
    vertical = new CSplitterBar(&window, kVertical, 998);
    horizontal = new CSplitterBar(&window, kHorizontal, 999);
    for (CSplitterBar* bar : {vertical, horizontal}) {
      ASSERT_TRUE(bar->SetPanes8(panes[0], panes[1], panes[2], panes[3], panes[4], panes[5], panes[6], panes[7]));
    }
    vertical->Layout();
    horizontal->Layout();
  }

  EightPaneRects Placed() const {
    return {panes[0]->geometry(), panes[1]->geometry(), panes[2]->geometry(),
            panes[4]->geometry(), panes[5]->geometry(), panes[6]->geometry()};
  }

  // Drags a bar by its middle to a point along its axis (parent coordinates).
  static void Drag(CSplitterBar* bar, int to) {
    const QPoint grab(bar->width() / 2, bar->height() / 2);
    const bool isVertical = bar->Orientation() == kVertical;
    const QPoint grabInParent = bar->mapToParent(grab);
    const QPoint target = isVertical ? QPoint(to, grabInParent.y()) : QPoint(grabInParent.x(), to);
    const QPoint local = bar->mapFromParent(target);
    QTest::mousePress(bar, Qt::LeftButton, {}, grab);
    QTest::mouseMove(bar, local);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, local);
  }

  QWidget window;
  QWidget* panes[8] = {};
  CSplitterBar* vertical = nullptr;
  CSplitterBar* horizontal = nullptr;
};

TEST_F(SplitterWindow, EightPaneWindowGetsTheFileManagerLayout) {
  MakeEightPaneWindow();
  EXPECT_EQ(vertical->objectName(), "998");
  EXPECT_EQ(horizontal->objectName(), "999");
  EXPECT_EQ(vertical->cursor().shape(), Qt::SplitHCursor);
  EXPECT_EQ(horizontal->cursor().shape(), Qt::SplitVCursor);
  EXPECT_EQ(vertical->PartnerBar(), horizontal);
  EXPECT_EQ(horizontal->PartnerBar(), vertical);

  const int t = vertical->Thickness();
  const int x = 4 + 992 / 3;
  const int y = 50 + (630 - t) / 2;
  EXPECT_EQ(vertical->geometry(), QRect(x, 50, t, 630));
  EXPECT_EQ(horizontal->geometry(), QRect(4, y, 992, t));
  const EightPaneRects expected = CSplitterBar::LayEightPanes(kUsable, x, y, t, kStrip, kStrip);
  const EightPaneRects placed = Placed();
  EXPECT_EQ(placed.strip1, expected.strip1);
  EXPECT_EQ(placed.tree1, expected.tree1);
  EXPECT_EQ(placed.list1, expected.list1);
  EXPECT_EQ(placed.strip2, expected.strip2);
  EXPECT_EQ(placed.tree2, expected.tree2);
  EXPECT_EQ(placed.list2, expected.list2);
  EXPECT_EQ(placed.tree1.right() + 1, x) << "tree up to the vertical bar";
  EXPECT_EQ(placed.list1.left(), x + t) << "list right of it";

  // A resize lays out again at the default places.
  window.resize(1300, 900);
  vertical->Layout();
  horizontal->Layout();
  EXPECT_EQ(vertical->x(), 4 + 1292 / 3);
  EXPECT_EQ(horizontal->y(), 50 + (830 - t) / 2);
  EXPECT_EQ(panes[2]->geometry().right(), 1295);
}

TEST_F(SplitterWindow, DraggingHorizontalBarPastItsLowerLimitLeavesItAtTheLimit) {
  MakeEightPaneWindow();
  Show();
  QSignalSpy moved(horizontal, &CSplitterBar::moved);
  const int limit = 680 - kStrip;
  ASSERT_EQ(horizontal->DragRange(), (SplitterDragRange{50 + kStrip, limit}));

  const QPoint grab(100, horizontal->height() / 2);
  QTest::mousePress(horizontal, Qt::LeftButton, {}, grab);
  EXPECT_TRUE(horizontal->IsDragging());
  QTest::mouseMove(horizontal, grab + QPoint(0, 2000));
  EXPECT_EQ(horizontal->DragRect().top(), limit) << "the drag rectangle stays within the limits";
  EXPECT_EQ(horizontal->y(), 50 + (630 - horizontal->Thickness()) / 2) << "the bar moves only on release";
  QTest::mouseRelease(horizontal, Qt::LeftButton, {}, grab + QPoint(0, 2000));

  EXPECT_FALSE(horizontal->IsDragging());
  EXPECT_EQ(horizontal->y(), limit);
  EXPECT_EQ(moved.count(), 1);
  const EightPaneRects placed = Placed();
  EXPECT_EQ(placed.strip2.top(), limit + horizontal->Thickness()) << "panes follow the bar";
  EXPECT_EQ(placed.tree1.bottom() + 1, limit);
  EXPECT_EQ(placed.tree2.height(), 0);

  Drag(horizontal, -300);
  EXPECT_EQ(horizontal->y(), 50 + kStrip) << "upper limit: the bottom of the upper strip";
  EXPECT_EQ(Placed().tree1.height(), 0);
  EXPECT_EQ(moved.count(), 2);
}

TEST_F(SplitterWindow, DraggingWithinTheLimitsMovesTheBarThereAndBothHalvesFollow) {
  MakeEightPaneWindow();
  Show();
  const int t = vertical->Thickness();
  Drag(vertical, 500 + t / 2);
  EXPECT_EQ(vertical->x(), 500);
  EXPECT_EQ(panes[1]->geometry(), QRect(4, 66, 496, horizontal->y() - 66)) << "upper tree";
  EXPECT_EQ(panes[5]->geometry().width(), 496) << "lower tree";
  EXPECT_EQ(panes[2]->geometry().left(), 500 + t) << "upper list";
  EXPECT_EQ(panes[6]->geometry().left(), 500 + t) << "lower list";

  Drag(horizontal, 200 + t / 2);
  EXPECT_EQ(horizontal->y(), 200);
  EXPECT_EQ(vertical->x(), 500) << "the other bar keeps its place";
  EXPECT_EQ(panes[1]->geometry(), QRect(4, 66, 496, 200 - 66));
  EXPECT_EQ(panes[4]->geometry().top(), 200 + t);

  Drag(vertical, 5000);
  EXPECT_EQ(vertical->x(), 996) << "right limit";
}

TEST_F(SplitterWindow, SixPaneWindowHidesItsViewersWhenAsked) {
  auto* bar = new CSplitterBar(&window, kHorizontal, 997);
  ASSERT_TRUE(bar->SetPanes6(panes[0], panes[1], panes[2], panes[3], panes[4], panes[5]));
  EXPECT_EQ(bar->Mode(), CSplitterBar::kSixPanes);
  Show();
  bar->Layout();
  const int y = bar->y();
  EXPECT_EQ(panes[1]->geometry(), QRect(4, 66, 246, y - 66));
  EXPECT_EQ(panes[2]->geometry(), QRect(250, 66, 746, y - 66));
  EXPECT_TRUE(panes[1]->isVisible());

  bar->SetHideViewers(true);
  bar->Layout();
  EXPECT_FALSE(panes[1]->isVisible());
  EXPECT_FALSE(panes[4]->isVisible());
  EXPECT_EQ(panes[2]->geometry(), QRect(4, 66, 992, y - 66));
  EXPECT_EQ(panes[5]->geometry(), QRect(4, y + bar->Thickness() + kStrip, 992, 680 - (y + bar->Thickness() + kStrip)));

  Drag(bar, 300);
  EXPECT_FALSE(panes[1]->isVisible()) << "the flag holds after a drag";
  EXPECT_EQ(panes[5]->geometry().top(), bar->y() + bar->Thickness() + kStrip);
}

TEST_F(SplitterWindow, BarPaintsItsColourAndLeavesTheStripsCrossingAVerticalBar) {
  const QColor stripColour(0, 160, 0);
  for (QWidget* strip : {panes[0], panes[4]}) {
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, stripColour);
    strip->setPalette(pal);
  }
  MakeEightPaneWindow();
  vertical->raise();  // above the strips, as when it is created after them
  Show();
  const QImage image = window.grab().toImage();
  const int x = vertical->x() + 1;
  EXPECT_EQ(image.pixelColor(x, panes[0]->y() + kStrip / 2), stripColour) << "upper strip shows through";
  EXPECT_EQ(image.pixelColor(x, panes[4]->y() + kStrip / 2), stripColour) << "lower strip shows through";
  EXPECT_EQ(image.pixelColor(x, panes[1]->y() + 20), CSplitterBar::FillColor()) << "beside the trees";
  EXPECT_EQ(image.pixelColor(500, horizontal->y() + 1), CSplitterBar::FillColor());
}

TEST_F(SplitterWindow, MissingPaneIsReportedAndNothingChanges) {
  vantrel::test::ScriptedPrompt prompt;
  auto* bar = new CSplitterBar(&window, kHorizontal, 999);
  panes[1]->setGeometry(7, 8, 9, 10);
  EXPECT_FALSE(bar->SetPanes8(panes[0], nullptr, panes[2], panes[3], panes[4], panes[5], panes[6], panes[7]));
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, "Assert Error");
  EXPECT_EQ(prompt.Records()[0].caption, "ERROR");
  EXPECT_EQ(prompt.Records()[0].icon, vantrel::PromptIcon::Error);
  EXPECT_EQ(bar->Mode(), CSplitterBar::kNoPanes);

  EXPECT_FALSE(bar->SetPanes6(panes[0], panes[1], panes[2], panes[3], panes[4], nullptr));
  EXPECT_EQ(prompt.Records().size(), 2u);
  bar->Layout();
  EXPECT_EQ(panes[1]->geometry(), QRect(7, 8, 9, 10)) << "no pane was taken over";

  // Panes handed over earlier stay when a later hand-over is refused.
  ASSERT_TRUE(bar->SetPanes6(panes[0], panes[1], panes[2], panes[3], panes[4], panes[5]));
  EXPECT_FALSE(bar->SetPanes8(nullptr, panes[1], panes[2], panes[3], panes[4], panes[5], panes[6], panes[7]));
  EXPECT_EQ(bar->Mode(), CSplitterBar::kSixPanes);
}

TEST_F(SplitterWindow, PaneDeletedByItsWindowIsSkipped) {
  MakeEightPaneWindow();
  delete panes[2];
  panes[2] = nullptr;
  vertical->Layout();
  horizontal->Layout();
  EXPECT_EQ(panes[1]->geometry().right() + 1, vertical->x());
}

}  // namespace
