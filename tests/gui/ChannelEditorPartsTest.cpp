// The channel editor's small parts: the auto-scroll arithmetic of drags, the
// splitter bar's drag range and the pane captions.
#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

#include "ui/channel/DragAutoScroll.h"
#include "ui/channel/SplitterBarChannel.h"
#include "ui/channel/ViewerStatus.h"

using namespace vantrel::ui;

TEST(DragAutoScroll, JumpGrowsByRowCountUpToItsCap) {
  EXPECT_EQ(GrowJump(1.0, 150), 0.0);
  EXPECT_DOUBLE_EQ(GrowJump(1.0, 151), 1.02);
  EXPECT_DOUBLE_EQ(GrowJump(1.0, 3000), 1.02);
  EXPECT_DOUBLE_EQ(GrowJump(1.0, 3001), 1.05);
  EXPECT_DOUBLE_EQ(GrowJump(1.0, 6001), 1.08);
  double j = 1.0;
  for (int i = 0; i < 1000; ++i) j = GrowJump(j, 2000);
  EXPECT_EQ(j, 43.0);
  j = 1.0;
  for (int i = 0; i < 1000; ++i) j = GrowJump(j, 5000);
  EXPECT_EQ(j, 45.0);
  j = 1.0;
  for (int i = 0; i < 1000; ++i) j = GrowJump(j, 10000);
  EXPECT_EQ(j, 55.0);
}

TEST(DragAutoScroll, StepsIgnoreTheJumpNearTheEnds) {
  // Up: near the top one row at a time, never above row 0.
  EXPECT_EQ(UpStepRow(49, 10.0, kChannelListScroll), 48);
  EXPECT_EQ(UpStepRow(50, 10.0, kChannelListScroll), 39);
  EXPECT_EQ(UpStepRow(0, 10.0, kChannelListScroll), 0);
  EXPECT_EQ(UpStepRow(40, 10.0, kServiceListScroll), 29);
  // Down: the row below the page plus the jump; near the end only the next row.
  EXPECT_EQ(DownStepRow(100, 30, 10.0, 1000, kChannelListScroll), 141);
  EXPECT_EQ(DownStepRow(900, 30, 10.0, 1000, kChannelListScroll), 931);
  EXPECT_EQ(DownStepRow(899, 30, 10.0, 1000, kChannelListScroll), 940);
  // A big page widens the end zone.
  EXPECT_EQ(DownStepRow(851, 60, 10.0, 1000, kChannelListScroll), 912);
  EXPECT_EQ(DownStepRow(80, 30, 10.0, 200, kServiceListScroll), 121);
  EXPECT_EQ(DownStepRow(150, 30, 0.0, 170, kChannelListScroll), -1) << "past the last row";
}

TEST(SplitterBarChannel, DragStaysInItsRange) {
  QWidget parent;
  parent.resize(800, 600);
  CSplitterBarChannel bar(Qt::Vertical, 10118, &parent);
  bar.setGeometry(300, 50, 5, 500);
  bar.SetRange(200, 500);
  parent.show();
  EXPECT_EQ(bar.objectName(), "10118");
  EXPECT_EQ(bar.cursor().shape(), Qt::SizeHorCursor);
  QSignalSpy moved(&bar, &CSplitterBarChannel::moved);
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(2, 100));
  EXPECT_TRUE(bar.IsDragging());
  QTest::mouseMove(&bar, QPoint(-400, 100));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-400, 100));
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(moved.at(0).at(0).toInt(), 200);
  EXPECT_FALSE(bar.IsDragging());
  EXPECT_EQ(CSplitterBarChannel::Clamp(900, 200, 500), 500);
  EXPECT_EQ(CSplitterBarChannel::FillColor(), QColor(212, 206, 222));
}

TEST(ViewerStatus, HoldsTitleCounterAndIcon) {
  CViewerStatus status(10115);
  EXPECT_EQ(status.objectName(), "10115");
  status.Set("Service Channels", "0/12", QIcon());
  EXPECT_EQ(status.Title(), "Service Channels");
  EXPECT_EQ(status.Counter(), "0/12");
  EXPECT_FALSE(status.HasIcon());
}
