// The gradient bar: its percentage text, and bands whose colour depends on
// where they sit along the bar, not on how far the bar has come.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include "support/TempDir.h"
#include "ui/controls/GradientProgress.h"

using vantrel::ui::CGradientProgress;

namespace {

vantrel::test::IsolatedSettings g_isolated;

constexpr QSize kSize{300, 20};
const QColor kBackground(254, 254, 254);

// A bar with the progress window's colours and no text unless asked for.
void Prepare(CGradientProgress& bar, bool percent = false) {
  bar.SetStartColor(QColor(231, 226, 252));
  bar.SetEndColor(QColor(58, 54, 209));
  bar.SetBkColor(kBackground);
  bar.SetTextColor(Qt::black);
  bar.ShowPercent(percent);
  bar.resize(kSize);
}

QImage Render(const CGradientProgress& bar) {
  QImage image(kSize, QImage::Format_RGB32);
  image.fill(Qt::green);  // anything left unpainted shows up
  QPainter painter(&image);
  bar.Draw(painter, QRect(QPoint(0, 0), kSize));
  return image;
}

QColor At(const QImage& image, int x, int y = 2) { return image.pixelColor(x, y); }

TEST(GradientProgress, PercentTextForBlocksOfAFile) {
  // A 3000-byte file in blocks of 2048 bytes: range 0..2.
  EXPECT_EQ(CGradientProgress::PercentText(1, 0, 2), "50.00 %");
  EXPECT_EQ(CGradientProgress::PercentText(2, 0, 2), "100.00 %");
  EXPECT_EQ(CGradientProgress::PercentText(0, 0, 2), " 0.00 %");
  EXPECT_EQ(CGradientProgress::PercentText(1, 0, 3), "33.33 %");
  // An empty range reads 0 instead of dividing by zero.
  EXPECT_EQ(CGradientProgress::PercentText(5, 5, 5), " 0.00 %");
  // The bar's own text uses its fields; a maximum below 1 counts as 1.
  CGradientProgress bar;
  bar.SetRange(0, 0);
  bar.SetPos(0);
  EXPECT_EQ(bar.PercentText(), " 0.00 %");
  bar.SetRange(0, 2);
  bar.SetPos(1);
  EXPECT_EQ(bar.PercentText(), "50.00 %");
}

TEST(GradientProgress, BandsRunFromStartToEndColourAcrossTheWholeBar) {
  CGradientProgress bar;
  Prepare(bar);
  bar.SetRange(0, 2);
  bar.SetPos(2);
  const QImage full = Render(bar);
  // 173 bands (the largest component difference, red 231 -> 58).
  EXPECT_EQ(At(full, 0), QColor(231, 226, 252));
  const QColor last = At(full, kSize.width() - 1);
  // start + (end - start) * 172 / 173 per component, truncated: 59, 54.99, 209.25.
  EXPECT_EQ(last, QColor(59, 54, 209)) << "band 172 of 173";
  EXPECT_NE(At(full, 150), kBackground);

  // Half way: the left half is the same picture, the right half background.
  bar.SetPos(1);
  const QImage half = Render(bar);
  for (int x : {0, 40, 100, 140}) EXPECT_EQ(At(half, x), At(full, x)) << x;
  for (int x : {160, 220, 299}) EXPECT_EQ(At(half, x), kBackground) << x;
  // The bar ends at a band edge just past the middle.
  int end = 0;
  while (end < kSize.width() && At(half, end) != kBackground) ++end;
  EXPECT_GE(end, 150);
  EXPECT_LE(end, 150 + 3);
  // Nothing is left unpainted, top to bottom.
  for (int y : {0, kSize.height() - 1}) {
    for (int x = 0; x < kSize.width(); ++x) ASSERT_NE(At(half, x, y), QColor(Qt::green)) << x << "," << y;
  }
}

TEST(GradientProgress, PositionOutsideTheRangeShowsOnlyBackground) {
  CGradientProgress bar;
  Prepare(bar, true);
  bar.SetRange(0, 10);
  for (int position : {11, -3}) {
    bar.SetPos(position);
    const QImage image = Render(bar);
    for (int x = 0; x < kSize.width(); x += 7) EXPECT_EQ(At(image, x, 10), kBackground) << position << " " << x;
  }
  // Position 0 still shows the first band and the text.
  bar.SetPos(0);
  const QImage zero = Render(bar);
  EXPECT_EQ(At(zero, 0), QColor(231, 226, 252));
  EXPECT_EQ(At(zero, 20), kBackground);
}

TEST(GradientProgress, PercentageIsDrawnOnlyWhenAskedFor) {
  CGradientProgress bar;
  Prepare(bar, false);
  bar.SetRange(0, 2);
  bar.SetPos(1);
  auto blackPixels = [](const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y).lightness() < 60 ? 1 : 0;
    return count;
  };
  EXPECT_EQ(blackPixels(Render(bar)), 0);
  bar.ShowPercent(true);
  EXPECT_GT(blackPixels(Render(bar)), 20) << "the text in black";
}

TEST(GradientProgress, EqualColoursDrawAPlainBarToThePosition) {
  CGradientProgress bar;
  Prepare(bar);
  bar.SetStartColor(QColor(10, 20, 30));
  bar.SetEndColor(QColor(10, 20, 30));
  bar.SetRange(0, 4);
  bar.SetPos(1);
  const QImage image = Render(bar);
  EXPECT_EQ(At(image, 0), QColor(10, 20, 30));
  EXPECT_EQ(At(image, 74), QColor(10, 20, 30));
  EXPECT_EQ(At(image, 75), kBackground);
}

TEST(GradientProgress, WidgetPaintsThroughTheOffscreenSurface) {
  CGradientProgress bar;
  Prepare(bar);
  bar.SetRange(0, 2);
  bar.SetPos(1);
  const QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), kSize);
  EXPECT_EQ(At(shown, 0), QColor(231, 226, 252));
  EXPECT_EQ(At(shown, 299), kBackground);
}

}  // namespace
