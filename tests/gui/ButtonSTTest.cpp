// The image button: hover colours and borders as the user sees them (pixels
// of a grab), disabled and pressed looks, clicks, icons and their placement.
#include <gtest/gtest.h>
#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/ButtonST.h"
#include "ui/controls/Resources.h"

using vantrel::ui::CButtonST;

namespace {

const QColor kNormalBack(0, 0, 200);
const QColor kHoverBack(200, 0, 0);
const QColor kNormalText(0, 200, 0);
const QColor kHoverText(250, 250, 0);

QPixmap Solid(QColor color, QSize size = {16, 16}) {
  QPixmap pixmap(size);
  pixmap.fill(color);
  return pixmap;
}

void SendEnter(QWidget& widget) {
  const QPointF local(widget.width() / 2.0, widget.height() / 2.0);
  QEnterEvent enter(local, widget.mapTo(widget.window(), local), widget.mapToGlobal(local));
  QApplication::sendEvent(&widget, &enter);
}

void SendLeave(QWidget& widget) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&widget, &leave);
}

bool HasPixel(const QImage& image, const QRect& area, const QColor& color) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == color) return true;
  return false;
}

// A shown, active window with one flat button without caption.
class ButtonST : public ::testing::Test {
 protected:
  void SetUp() override {
    vantrel::ui::InitResources();
    window.resize(300, 200);
    button = new CButtonST(&window);
    button->setGeometry(20, 20, 120, 40);
    button->SetColor(CButtonST::BTNST_COLOR_BK_OUT, kNormalBack);
    button->SetColor(CButtonST::BTNST_COLOR_BK_IN, kHoverBack);
    button->SetColor(CButtonST::BTNST_COLOR_FG_OUT, kNormalText);
    button->SetColor(CButtonST::BTNST_COLOR_FG_IN, kHoverText);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // Activation hands the focus to the button; the tests give it explicitly.
    button->clearFocus();
  }

  QImage Grab() const { return button->grab().toImage(); }
  // Palette colours as they land in 8-bit pixels.
  QColor Role(QPalette::ColorRole role) const { return QColor(button->palette().color(role).rgb()); }
  QColor Light() const { return Role(QPalette::Light); }
  QColor Dark() const { return Role(QPalette::Dark); }
  int W() const { return button->width(); }
  int H() const { return button->height(); }

  QWidget window;
  CButtonST* button = nullptr;
};

TEST_F(ButtonST, FlatButtonShowsHoverColoursAndThinRaisedBorderOnlyWhileHovered) {
  QImage image = Grab();
  EXPECT_EQ(image.pixelColor(5, 5), kNormalBack);
  EXPECT_EQ(image.pixelColor(W() / 2, 0), kNormalBack) << "no border on a flat button at rest";
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 1), kNormalBack);

  SendEnter(*button);
  ASSERT_TRUE(button->IsMouseOver());
  image = Grab();
  EXPECT_EQ(image.pixelColor(5, 5), kHoverBack);
  EXPECT_EQ(image.pixelColor(W() / 2, 0), Light()) << "top edge raised";
  EXPECT_EQ(image.pixelColor(0, H() / 2), Light()) << "left edge raised";
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 1), Dark()) << "bottom edge in shadow";
  EXPECT_EQ(image.pixelColor(W() - 1, H() / 2), Dark()) << "right edge in shadow";

  SendLeave(*button);
  EXPECT_FALSE(button->IsMouseOver());
  image = Grab();
  EXPECT_EQ(image.pixelColor(5, 5), kNormalBack);
  EXPECT_EQ(image.pixelColor(W() / 2, 0), kNormalBack);
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 1), kNormalBack);
}

TEST_F(ButtonST, CaptionTakesTheColourOfTheState) {
  QFont big = button->font();
  big.setPixelSize(24);
  big.setBold(true);
  button->setFont(big);
  button->setText("HH");
  const QRect caption = button->CaptionRect();
  EXPECT_TRUE(HasPixel(Grab(), caption, kNormalText));
  SendEnter(*button);
  const QImage hovered = Grab();
  EXPECT_TRUE(HasPixel(hovered, caption, kHoverText));
  EXPECT_FALSE(HasPixel(hovered, caption, kNormalText));
}

TEST_F(ButtonST, RealMouseMoveOverAndOffTheButton) {
  QTest::mouseMove(&window, QPoint(250, 150));
  QTest::mouseMove(button, QPoint(60, 20));
  EXPECT_TRUE(button->IsMouseOver());
  QTest::mouseMove(&window, QPoint(250, 150));
  EXPECT_FALSE(button->IsMouseOver());
}

TEST_F(ButtonST, NoHoverWhileItsWindowIsInactive) {
  QWidget other;
  other.resize(50, 50);
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  SendEnter(*button);
  EXPECT_FALSE(button->IsMouseOver());
}

TEST_F(ButtonST, HoverEndsWhenTheWindowIsDeactivatedOrFocusLeaves) {
  QWidget* next = new QWidget(&window);
  next->setFocusPolicy(Qt::StrongFocus);
  next->setGeometry(200, 100, 20, 20);
  next->show();
  button->setFocus();
  SendEnter(*button);
  ASSERT_TRUE(button->IsMouseOver());
  next->setFocus();
  EXPECT_FALSE(button->IsMouseOver()) << "focus loss";

  SendEnter(*button);
  ASSERT_TRUE(button->IsMouseOver());
  QWidget other;
  other.resize(50, 50);
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(button->IsMouseOver()) << "window deactivated";
}

TEST_F(ButtonST, DisabledButtonIgnoresTheMouseAndEmbossesItsCaption) {
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  QFont big = button->font();
  big.setPixelSize(24);
  big.setBold(true);
  button->setFont(big);
  button->setText("HH");
  button->setEnabled(false);

  SendEnter(*button);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(60, 20));
  EXPECT_FALSE(button->IsMouseOver());
  EXPECT_EQ(clicks.count(), 0);

  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(5, 5), kNormalBack) << "no hover colours";
  EXPECT_EQ(image.pixelColor(W() / 2, 0), kNormalBack) << "no hover border";
  const QRect caption = button->CaptionRect();
  EXPECT_FALSE(HasPixel(image, caption, kNormalText)) << "caption not in its enabled colour";
  EXPECT_TRUE(HasPixel(image, caption, Dark())) << "dark copy";
  EXPECT_TRUE(HasPixel(image, caption, Light())) << "light copy";

  // Disabling a hovered button ends the hover.
  button->setEnabled(true);
  SendEnter(*button);
  ASSERT_TRUE(button->IsMouseOver());
  button->setEnabled(false);
  EXPECT_FALSE(button->IsMouseOver());
}

TEST_F(ButtonST, PressedFlatButtonIsSunkenAndClicksOnRelease) {
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(60, 20));
  EXPECT_EQ(button->CurrentBorder(), CButtonST::Border::SunkenThin);
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(5, 5), kHoverBack) << "pressed uses the hover colours";
  EXPECT_EQ(image.pixelColor(W() / 2, 0), Dark());
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 1), Light());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 20));
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtonST, PressedButtonDrawsItsIconOnePixelRightAndDown) {
  button->SetIcon(QIcon(Solid(Qt::magenta)), QSize(16, 16));
  const QRect icon = button->IconRect();
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(60, 20));
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(icon.right() + 1, icon.bottom() + 1), QColor(Qt::magenta));
  EXPECT_NE(image.pixelColor(icon.left(), icon.top()), QColor(Qt::magenta));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 20));
}

TEST_F(ButtonST, DoubleClickCountsAsASecondClick) {
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  const QPointF at(60, 20);
  const QPointF global = button->mapToGlobal(at);
  auto send = [&](QEvent::Type type) {
    QMouseEvent event(type, at, global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &event);
  };
  send(QEvent::MouseButtonPress);
  send(QEvent::MouseButtonRelease);
  send(QEvent::MouseButtonDblClick);
  send(QEvent::MouseButtonRelease);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonST, ThreeDimensionalDefaultButtonHasBlackFrameAndRaisedBorderInside) {
  button->SetFlat(false);
  button->SetDefault(true);
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(W() / 2, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 1), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(W() / 2, 1), Light());
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 2), Role(QPalette::Shadow));
  EXPECT_EQ(image.pixelColor(W() / 2, 2), Role(QPalette::Midlight));
  EXPECT_EQ(image.pixelColor(W() / 2, H() - 3), Dark());
  EXPECT_EQ(image.pixelColor(5, 5), kNormalBack);

  button->SetDefault(false);
  EXPECT_EQ(Grab().pixelColor(W() / 2, 0), Light()) << "frame only for the default button";
}

TEST_F(ButtonST, CutCornersLeaveTheCornerPixels) {
  button->SetCutCorners(true);
  SendEnter(*button);
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(0, 0), kHoverBack);
  EXPECT_EQ(image.pixelColor(W() - 1, H() - 1), kHoverBack);
  EXPECT_EQ(image.pixelColor(1, 0), Light());
  EXPECT_EQ(image.pixelColor(W() - 1, H() - 2), Dark());
}

TEST_F(ButtonST, FocusRectangleOnFlatButtonOnlyWhenAskedFor) {
  button->setFocus();
  ASSERT_TRUE(button->hasFocus());
  EXPECT_FALSE(button->DrawsFocusRect());
  button->SetFocusRectWhenFlat(true);
  EXPECT_TRUE(button->DrawsFocusRect());
  const QImage image = Grab();
  // A dotted line three pixels inside the edge: some of its dots are drawn.
  bool dotted = false;
  for (int x = 3; x < W() - 3; ++x) dotted = dotted || image.pixelColor(x, 3) != kNormalBack;
  EXPECT_TRUE(dotted);
  EXPECT_EQ(image.pixelColor(W() / 2, 2), kNormalBack);
}

TEST_F(ButtonST, TransparentButtonShowsTheParentBackground) {
  window.setAutoFillBackground(true);
  QPalette pal = window.palette();
  pal.setColor(QPalette::Window, QColor(10, 120, 10));
  window.setPalette(pal);
  button->SetTransparent(true);
  EXPECT_FALSE(button->CurrentBackgroundColor().isValid());
  const QImage image = window.grab(button->geometry()).toImage();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(10, 120, 10));
}

TEST_F(ButtonST, HoverIconWhileHoveredAndEmbossedWhenDisabled) {
  button->SetIcons(QIcon(Solid(Qt::cyan)), QIcon(Solid(Qt::magenta)), QSize(16, 16));
  const QRect icon = button->IconRect();
  const QPoint middle = icon.center();
  EXPECT_EQ(Grab().pixelColor(middle), QColor(Qt::magenta));
  SendEnter(*button);
  EXPECT_EQ(Grab().pixelColor(middle), QColor(Qt::cyan));
  SendLeave(*button);

  button->setEnabled(false);
  const QImage image = Grab();
  EXPECT_EQ(image.pixelColor(middle), Dark());
  EXPECT_EQ(image.pixelColor(icon.bottomRight() + QPoint(1, 1)), Light());
}

TEST_F(ButtonST, IconPlacement) {
  button->SetIcon(QIcon(Solid(Qt::magenta)), QSize(16, 16));
  // No caption: centred.
  EXPECT_EQ(button->IconRect(), QRect((120 - 16) / 2, (40 - 16) / 2, 16, 16));
  // Caption: icon three pixels from the left, caption in what is left.
  button->setText("Go");
  EXPECT_EQ(button->IconRect(), QRect(3, 12, 16, 16));
  EXPECT_EQ(button->CaptionRect(), QRect(19, 0, 101, 40));
  // Hidden caption counts as none.
  button->SetShowCaption(false);
  EXPECT_EQ(button->IconRect().left(), (120 - 16) / 2);
  EXPECT_TRUE(button->CaptionRect().isNull());
  // Above the caption: centred horizontally, caption right below.
  button->SetShowCaption(true);
  button->SetIconPosition(CButtonST::ICON_ABOVE);
  const QRect icon = button->IconRect();
  EXPECT_EQ(icon.left(), (120 - 16) / 2);
  EXPECT_EQ(button->CaptionRect().top(), icon.bottom() + 1);
  EXPECT_EQ(button->CaptionRect().width(), 120);
  button->SetIconPosition(7);
  EXPECT_EQ(button->GetIconPosition(), CButtonST::ICON_ABOVE) << "unknown positions are ignored";
}

TEST_F(ButtonST, IconsFromResources) {
  EXPECT_TRUE(button->SetIcon(20001, 20001, QSize(32, 32)));
  EXPECT_TRUE(button->HasIcon());
  EXPECT_EQ(button->GetIconSize(), QSize(32, 32));
  EXPECT_FALSE(button->SetIcon(20001, 999999, QSize(32, 32))) << "a missing resource is reported";
  EXPECT_TRUE(button->SetIcon(0, 0, QSize(32, 32)));
  EXPECT_FALSE(button->HasIcon());
  EXPECT_TRUE(button->IconRect().isNull());
}

}  // namespace

TEST(ButtonSTCaption, ALongCaptionGetsASmallerFontThatFitsAndAShortOneKeepsItsOwn) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(9);
  const QString longCaption = QString::fromUtf8("&Файловый менеджер");
  const int width = QFontMetrics(font).horizontalAdvance(QString::fromUtf8("Файловый менеджер")) * 3 / 4;
  const QFont fitted = vantrel::ui::FittingCaptionFont(font, longCaption, width);
  EXPECT_LT(fitted.pointSizeF(), font.pointSizeF());
  EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(QString::fromUtf8("Файловый менеджер")), width);
  EXPECT_EQ(fitted.family(), font.family());

  EXPECT_EQ(vantrel::ui::FittingCaptionFont(font, QStringLiteral("&Help"), width).pointSizeF(), 9.0);
  // Nothing fits in 3 pixels: the font stops at 6 points.
  EXPECT_EQ(vantrel::ui::FittingCaptionFont(font, longCaption, 3).pointSizeF(), 6.0);
}
