// The multi-colour label: segments side by side in their colours, the style
// bits, the refused and out-of-range operations, and clicks handed to the
// parent.
#include <gtest/gtest.h>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/MultiColorStatic.h"

using vantrel::ui::CMultiColorStatic;
using vantrel::ui::ColorSegment;

namespace {

constexpr std::uint32_t kRed = 0x0000FF;  // 0x00BBGGRR
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kYellow = 0x00FFFF;

// Columns holding at least one pixel of a strongly red / blue colour.
struct Columns {
  int first = -1;
  int last = -1;
};
template <typename Pred>
Columns ColumnsWhere(const QImage& image, Pred pred) {
  Columns columns;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (pred(image.pixelColor(x, y))) {
        if (columns.first < 0) columns.first = x;
        columns.last = x;
        break;
      }
    }
  }
  return columns;
}
bool Reddish(const QColor& c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; }
bool Bluish(const QColor& c) { return c.blue() > 150 && c.red() < 110 && c.green() < 110; }

TEST(MultiColorStatic, SegmentsAreDrawnSideBySideInTheirColours) {
  CMultiColorStatic label;
  label.resize(200, 24);
  label.SetBackgroundColor(Qt::white);
  ASSERT_TRUE(label.AddSegment("a", kRed));
  ASSERT_TRUE(label.AddSegment("b", kBlue));
  const QImage image = label.grab().toImage();

  const Columns red = ColumnsWhere(image, Reddish);
  const Columns blue = ColumnsWhere(image, Bluish);
  ASSERT_GE(red.first, 0) << "red text drawn";
  ASSERT_GE(blue.first, 0) << "blue text drawn";
  EXPECT_LT(red.last, blue.first) << "a before b";
  EXPECT_LT(red.first, label.SegmentRect(0).right() + 1);
  EXPECT_GE(blue.first, label.SegmentRect(1).left());
  EXPECT_EQ(label.SegmentRect(1).left(), label.SegmentRect(0).right() + 1) << "advance by the text width";
  EXPECT_EQ(image.pixelColor(199, 12), QColor(Qt::white)) << "the rest is the label's background";
}

TEST(MultiColorStatic, SegmentBackgroundsAndTheLabelBackground) {
  CMultiColorStatic label;
  label.resize(200, 20);
  label.SetBackgroundColor(QColor(10, 20, 30));
  label.AddSegment("    ", kRed, static_cast<std::int32_t>(kYellow));
  label.AddSegment("    ", kRed);  // the label's own background
  const QImage image = label.grab().toImage();
  const QRect first = label.SegmentRect(0);
  const QRect second = label.SegmentRect(1);
  ASSERT_GT(first.width(), 0);
  EXPECT_EQ(image.pixelColor(first.center().x(), 5), QColor(255, 255, 0));
  EXPECT_EQ(image.pixelColor(second.center().x(), 5), QColor(10, 20, 30));
}

TEST(MultiColorStatic, StyleBitsAndByteOrder) {
  EXPECT_EQ(ColorSegment::FromColorValue(kRed), QColor(255, 0, 0));
  EXPECT_EQ(ColorSegment::FromColorValue(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(ColorSegment::ColorValue(QColor(0x56, 0x34, 0x12)), 0x123456u);
  const std::uint32_t style = ColorSegment::MakeStyle(Qt::blue, true, true, true);
  EXPECT_EQ(style, kBlue | (1u << 24) | (1u << 25) | (1u << 26));

  CMultiColorStatic label;
  label.resize(100, 18);
  const QFont bold = label.SegmentFont(ColorSegment::kBold | ColorSegment::kItalic);
  EXPECT_EQ(bold.weight(), QFont::Black);
  EXPECT_TRUE(bold.italic());
  EXPECT_FALSE(bold.underline());
  const QFont plain = label.SegmentFont(ColorSegment::kUnderline | 0xFFFFFF);
  EXPECT_EQ(plain.weight(), QFont::Normal);
  EXPECT_FALSE(plain.italic());
  EXPECT_TRUE(plain.underline());
}

TEST(MultiColorStatic, FontFitsTheLabelHeightUnlessSwitchedOff) {
  CMultiColorStatic label;
  QFont small = label.font();
  small.setPixelSize(9);
  label.setFont(small);
  label.resize(300, 40);
  const QFont fitted = label.SegmentFont(0);
  EXPECT_LE(QFontMetrics(fitted).height(), 40);
  EXPECT_GE(fitted.pixelSize(), 28);
  label.SetFitHeight(false);
  EXPECT_EQ(label.SegmentFont(0).pixelSize(), 9);
}

TEST(MultiColorStatic, SetSegmentRefusesBadIndexesAndEmptyText) {
  CMultiColorStatic label;
  EXPECT_FALSE(label.SetSegment(0, {"", kRed, -1})) << "empty text";
  EXPECT_FALSE(label.SetSegment(-1, {"x", kRed, -1})) << "negative index";
  EXPECT_FALSE(label.SetSegment(1, {"x", kRed, -1})) << "beyond the count";
  EXPECT_FALSE(label.AddSegment("", kRed));
  EXPECT_EQ(label.SegmentCount(), 0);

  EXPECT_TRUE(label.SetSegment(0, {"one", kRed, -1})) << "index == count appends";
  EXPECT_TRUE(label.AddSegment(ColorSegment{"two", kBlue, 0x00FF00}));
  EXPECT_TRUE(label.SetSegment(0, {"uno", kBlue, -1})) << "replaces";
  ASSERT_EQ(label.SegmentCount(), 2);
  EXPECT_EQ(label.GetSegment(0), (ColorSegment{"uno", kBlue, -1}));
  EXPECT_EQ(label.GetSegment(1), (ColorSegment{"two", kBlue, 0x00FF00}));
  EXPECT_FALSE(label.SetSegment(1, {"", kRed, -1}));
  EXPECT_EQ(label.GetSegment(1).text, "two") << "a refused replace leaves the segment";
}

TEST(MultiColorStatic, OutOfRangeGetAndRemove) {
  CMultiColorStatic label;
  label.AddSegment("a", kRed, 0x00FF00);
  for (int index : {-1, 1, 100}) {
    const ColorSegment empty = label.GetSegment(index);
    EXPECT_TRUE(empty.text.isEmpty()) << index;
    EXPECT_EQ(empty.style, 0u) << "text colour 0";
    EXPECT_EQ(empty.background, ColorSegment::kLabelBackground);
    EXPECT_FALSE(label.RemoveSegment(index)) << index;
    EXPECT_TRUE(label.SegmentRect(index).isNull());
  }
  EXPECT_EQ(label.SegmentCount(), 1);
  label.AddSegment("b", kRed);
  label.AddSegment("c", kRed);
  EXPECT_TRUE(label.RemoveSegment(1));
  EXPECT_EQ(label.GetSegment(1).text, "c");
  label.RemoveAll();
  EXPECT_EQ(label.SegmentCount(), 0);
}

// A parent that notes where it was pressed.
class PressRecorder : public QWidget {
 public:
  QPoint lastPress{-1, -1};
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    ++presses;
    lastPress = event->position().toPoint();
  }
};

TEST(MultiColorStatic, LeftClickIsHandedToTheParentInItsCoordinates) {
  PressRecorder parent;
  parent.resize(300, 100);
  auto* label = new CMultiColorStatic(&parent);
  label->setGeometry(30, 40, 100, 16);
  label->AddSegment("path", kBlue);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  QSignalSpy clicked(label, &CMultiColorStatic::clicked);

  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 6));
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.at(0).at(0).toPoint(), QPoint(35, 46));
  EXPECT_EQ(parent.presses, 1);
  EXPECT_EQ(parent.lastPress, QPoint(35, 46));

  QTest::mouseClick(label, Qt::RightButton, {}, QPoint(5, 6));
  EXPECT_EQ(clicked.count(), 1) << "only the left button";
}

}  // namespace
