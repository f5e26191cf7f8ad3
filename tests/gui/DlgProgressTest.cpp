// The progress window: its bar set-up, Cancel with and without a handler,
// Reset, and updates from a worker that never wait for the window.
#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <future>

#include "support/TempDir.h"
#include "ui/channel/DlgProgress.h"
#include "ui/controls/GradientProgress.h"

using vantrel::ui::CDlgProgress;

namespace {

vantrel::test::IsolatedSettings g_isolated;

struct CancelRecord {
  int calls = 0;
  void* context = nullptr;
  int value = 0;
};

CancelRecord g_cancel;

void RecordCancel(void* context, int value) {
  ++g_cancel.calls;
  g_cancel.context = context;
  g_cancel.value = value;
}

class DlgProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_cancel = {};
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  }
  QWidget owner;
  CDlgProgress dlg{&owner};
};

TEST(DlgProgressSetUp, CreatedHiddenWithTheWindowsControlsAndColours) {
  QWidget owner;
  CDlgProgress dlg(&owner);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.windowTitle(), "Progress");
  EXPECT_EQ(dlg.findChild<QLabel*>("10201"), dlg.NameLabel());
  EXPECT_EQ(dlg.NameLabel()->text(), "NAME ");
  EXPECT_EQ(dlg.findChild<vantrel::ui::CGradientProgress*>("10202"), dlg.Bar());
  EXPECT_EQ(dlg.findChild<QPushButton*>("2"), dlg.CancelButton());
  EXPECT_EQ(dlg.CancelButton()->text(), "Cancel");
  const auto* bar = dlg.Bar();
  EXPECT_EQ(bar->GetStartColor(), QColor(231, 226, 252));
  EXPECT_EQ(bar->GetEndColor(), QColor(58, 54, 209));
  EXPECT_EQ(bar->GetBkColor(), QColor(254, 254, 254));
  EXPECT_EQ(bar->GetTextColor(), QColor(Qt::black));
  EXPECT_TRUE(bar->GetShowPercent());
}

TEST_F(DlgProgressTest, CancelWithAHandlerDisablesItselfAndKeepsTheWindow) {
  int context = 0;
  dlg.Reset();
  dlg.SetCancelHandler(&RecordCancel, &context);
  QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
  EXPECT_EQ(g_cancel.calls, 1);
  EXPECT_EQ(g_cancel.context, &context);
  EXPECT_EQ(g_cancel.value, -1);
  EXPECT_FALSE(dlg.CancelButton()->isEnabled());
  EXPECT_TRUE(dlg.isVisible()) << "the owner hides it when its operation ends";

  // Escape is Cancel too.
  dlg.Reset();
  dlg.SetCancelHandler(&RecordCancel, &context);
  EXPECT_TRUE(dlg.CancelButton()->isEnabled());
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_EQ(g_cancel.calls, 2);
  EXPECT_FALSE(dlg.CancelButton()->isEnabled());
  EXPECT_TRUE(dlg.isVisible());
}

TEST_F(DlgProgressTest, CancelWithoutAHandlerOnlyHides) {
  QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(dlg.CancelButton()->isEnabled()) << "stays disabled until the next Reset";
  EXPECT_EQ(g_cancel.calls, 0);
}

TEST_F(DlgProgressTest, ResetForgetsTheHandlerAndEmptiesTheBar) {
  int context = 0;
  dlg.SetCancelHandler(&RecordCancel, &context);
  dlg.SetRange(0, 10);
  dlg.SetPos(7);
  EXPECT_EQ(dlg.Bar()->GetPos(), 7) << "on the window's thread at once";
  QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
  ASSERT_EQ(g_cancel.calls, 1);

  dlg.Reset();
  EXPECT_EQ(dlg.Bar()->GetPos(), 0);
  EXPECT_TRUE(dlg.CancelButton()->isEnabled());
  QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
  EXPECT_EQ(g_cancel.calls, 1) << "the handler went with the Reset";
  EXPECT_FALSE(dlg.isVisible());
}

TEST_F(DlgProgressTest, WorkerUpdatesNeverWaitForTheWindow) {
  dlg.SetRange(0, 100);
  // A transfer's worth of chunk updates while this thread runs no events: a
  // worker that waited for the window once per update would never finish.
  auto worker = std::async(std::launch::async, [this] {
    dlg.Reset();
    dlg.SetName("recording.ts");
    dlg.SetRange(0, 50);
    for (int i = 0; i < 200000; ++i) dlg.SetPos(i % 50);
    dlg.SetPos(37);
    dlg.EnableCancel(false);
    dlg.Flush();
  });
  ASSERT_EQ(worker.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  worker.get();
  // Until the window's thread runs, no control was touched from the worker.
  EXPECT_EQ(dlg.NameLabel()->text(), "NAME ");
  EXPECT_EQ(dlg.Bar()->GetUpper(), 100);
  EXPECT_EQ(dlg.PublishedPos(), 37);
  EXPECT_EQ(dlg.PublishedName(), "recording.ts");

  EXPECT_TRUE(QTest::qWaitFor([this] { return dlg.Bar()->GetPos() == 37; }, 2000));
  EXPECT_EQ(dlg.NameLabel()->text(), "recording.ts");
  EXPECT_EQ(dlg.Bar()->GetUpper(), 50);
  EXPECT_FALSE(dlg.CancelButton()->isEnabled());
}

TEST_F(DlgProgressTest, TheTimerShowsAWorkersLastValueWithoutAFlush) {
  std::async(std::launch::async, [this] {
    dlg.SetRange(0, 2);
    dlg.SetPos(1);
  }).get();
  // One timer period or so; the bound only keeps a broken timer from hanging.
  EXPECT_TRUE(QTest::qWaitFor([this] { return dlg.Bar()->GetPos() == 1; }, 3000));
  EXPECT_EQ(dlg.Bar()->PercentText(), "50.00 %");
}

TEST(DlgProgressHidden, ValuesSetWhileHiddenAppearWhenShown) {
  CDlgProgress dlg;
  std::async(std::launch::async, [&dlg] {
    dlg.SetName("channel.xml");
    dlg.SetPos(20);
  }).get();
  dlg.show();
  EXPECT_EQ(dlg.NameLabel()->text(), "channel.xml");
  EXPECT_EQ(dlg.Bar()->GetPos(), 20);
}

}  // namespace
