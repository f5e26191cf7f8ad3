// What the recordings window shows without a receiver: the shared transfer
// observer and the status strip.
#include <gtest/gtest.h>

#include <QLabel>

#include "core/TextTable.h"
#include "support/TempDir.h"
#include "ui/controls/FTPObserver.h"
#include "ui/controls/MultiColorStatic.h"
#include "ui/controls/SimpleProgress.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace {

// A display that records what the observer sets.
struct FakeDisplay {
  std::string name;
  int lower = -1, upper = -1, pos = -1, flushes = 0;
  void SetName(const std::string& text) { name = text; }
  void SetRange(int l, int u) { lower = l, upper = u; }
  void SetPos(int p) { pos = p; }
  void Flush() { ++flushes; }
};

TEST(FTPObserver, CountsBlocksOfTheFile) {
  FakeDisplay display;
  vantrel::ui::CWindowProgressSink<FakeDisplay> sink(display);
  vantrel::CFTPObserver observer(sink);
  // No size yet: one block.
  observer.NotifyDownloadBegin("/r/x", "/pc/rec/a.tts", -1);
  EXPECT_EQ(display.name, "a.tts");
  EXPECT_EQ(display.upper, 1);
  observer.NotifyDownloadBegin("/r/x", "/pc/rec/b.tts", 3000);
  EXPECT_EQ(display.upper, 2);
  EXPECT_EQ(display.pos, 0);
  observer.NotifyChunkReceived(nullptr, 2048);
  EXPECT_EQ(display.pos, 1);
  observer.NotifyChunkReceived(nullptr, 952);
  EXPECT_EQ(display.pos, 2);
  observer.NotifyDownloadEnd("/r/x", "/pc/rec/b.tts", 3000);
  EXPECT_EQ(display.pos, 2);
  // A file without a size keeps the previous file's range.
  observer.NotifyUploadBegin("/pc/c", "/r/c", 0);
  EXPECT_EQ(display.upper, 2);
  EXPECT_EQ(vantrel::CFTPObserver::BlocksFor(1), 1);
  EXPECT_EQ(vantrel::CFTPObserver::BlocksFor(1024ll * 1024 * 1024), 524288);
  EXPECT_EQ(vantrel::CFTPObserver::PositionFor(0, 100), 0);
}

TEST(SimpleProgress, FiguresAndPlaces) {
  using vantrel::ui::CSimpleProgress;
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kGigabytes, 2048), " : 2.00GB");
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kGigabytes, 0), " : 0.00GB");
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kMegabytes, 0), " : 0MB");
  CSimpleProgress strip;
  strip.resize(600, CSimpleProgress::kHeight);
  strip.show();
  strip.SetFigures(2048, 100);
  EXPECT_EQ(strip.TotalLabel()->text(), "Total : 2048MB");
  EXPECT_EQ(strip.UsedLabel()->text(), "Used : 100MB");
  strip.SetUnit(CSimpleProgress::kGigabytes);
  EXPECT_EQ(strip.TotalLabel()->text(), "Total : 2.00GB");
  EXPECT_EQ(strip.TotalLabel()->geometry(), QRect(480, 1, 120, 16));
  EXPECT_EQ(strip.TotalSwatch()->geometry(), QRect(460, 3, 20, 12));
  EXPECT_EQ(strip.UsedLabel()->geometry(), QRect(340, 1, 120, 16));
  EXPECT_EQ(strip.PathLabel()->geometry(), QRect(25, 1, 295, 16));
  strip.SetPath("/home/user/Recordings");
  ASSERT_EQ(strip.PathLabel()->SegmentCount(), 1);
  EXPECT_EQ(strip.PathLabel()->GetSegment(0).TextColor(), QColor(0, 0, 255));
  strip.SetPath("");
  EXPECT_EQ(strip.PathLabel()->SegmentCount(), 0);
  // Narrower than the figures: the path gets no width; the figures keep to the right edge.
  strip.resize(300, CSimpleProgress::kHeight);
  EXPECT_EQ(strip.PathLabel()->width(), 0);
  EXPECT_EQ(strip.TotalLabel()->x(), 180);
}

TEST(SimpleProgress, ALongerFigureWidensItsLabelInsteadOfBeingCut) {
  using vantrel::ui::CSimpleProgress;
  vantrel::SelectTextTable(vantrel::LANG_GERMAN);
  CSimpleProgress strip;
  strip.resize(800, CSimpleProgress::kHeight);
  strip.SetFigures(258019, 178243);  // "Gesamt : 258019MB" needs more than 120 pixels
  vantrel::SelectTextTable(vantrel::LANG_ENGLISH);
  for (const QLabel* label : {strip.TotalLabel(), strip.UsedLabel()}) {
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << label->text().toStdString();
  }
  EXPECT_GT(strip.TotalLabel()->width(), 120);
  EXPECT_EQ(strip.TotalLabel()->geometry().right(), 799);
  // Right to left, nothing overlaps: total, its swatch, used, its swatch, the path.
  EXPECT_EQ(strip.TotalSwatch()->geometry().right() + 1, strip.TotalLabel()->x());
  EXPECT_LE(strip.UsedLabel()->geometry().right() + 1, strip.TotalSwatch()->x());
  EXPECT_LE(strip.PathLabel()->geometry().right() + 1 + 20, strip.UsedLabel()->x());
}

}  // namespace
