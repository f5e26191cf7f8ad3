// The read-only info field, the picture check button and the off-screen
// drawing surface.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/controls/CheckST.h"
#include "ui/controls/InfoEdit.h"
#include "ui/controls/MyDC.h"
#include "ui/controls/QtPrompt.h"

using vantrel::ui::CCheckST;
using vantrel::ui::CInfoEdit;
using vantrel::ui::CMyDC;

namespace {

// A parent that notes the keys reaching it.
class KeyRecorder : public QWidget {
 public:
  QList<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

TEST(InfoEdit, TypingChangesNothing) {
  KeyRecorder parent;
  auto* edit = new CInfoEdit(&parent);
  edit->setText("abc");
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  edit->setFocus();
  edit->setCursorPosition(3);

  QTest::keyClicks(edit, "xyz");
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClick(edit, Qt::Key_Delete);
  QApplication::clipboard()->setText("pasted");
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "abc");
  EXPECT_TRUE(parent.keys.isEmpty()) << "swallowed, not passed on";

  // The dialog keys still reach the window around the field.
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(parent.keys, (QList<int>{Qt::Key_Return, Qt::Key_Escape}));

  // Everything else is an ordinary line edit.
  edit->setText("new");
  EXPECT_EQ(edit->text(), "new");
  edit->selectAll();
  EXPECT_EQ(edit->selectedText(), "new");
}

QPixmap Solid(QColor color) {
  QPixmap pixmap(10, 10);
  pixmap.fill(color);
  return pixmap;
}

TEST(CheckST, PictureFollowsTheStateWithSunkenEdgeWhenOn) {
  QWidget window;
  auto* check = new CCheckST(&window);
  check->setGeometry(10, 10, 30, 30);
  check->SetBitmaps(Solid(Qt::red), Solid(Qt::blue), Solid(Qt::green));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto role = [check](QPalette::ColorRole r) { return QColor(check->palette().color(r).rgb()); };
  QSignalSpy toggled(check, &QAbstractButton::toggled);

  EXPECT_FALSE(check->GetCheck());
  QImage image = check->grab().toImage();
  EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::blue)) << "off picture, centred";
  EXPECT_EQ(check->CurrentEdge(), CCheckST::Edge::None);

  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(15, 15));
  EXPECT_TRUE(check->GetCheck());
  EXPECT_EQ(toggled.count(), 1);
  image = check->grab().toImage();
  EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(15, 0), role(QPalette::Dark)) << "sunken: dark top";
  EXPECT_EQ(image.pixelColor(15, 29), role(QPalette::Light)) << "sunken: light bottom";

  check->SetCheck(false);
  check->SetRaisedEdge(true);
  image = check->grab().toImage();
  EXPECT_EQ(image.pixelColor(15, 0), role(QPalette::Light)) << "raised: light top";
  EXPECT_EQ(image.pixelColor(15, 29), role(QPalette::Dark));

  check->SetUseStateBitmaps(false);
  image = check->grab().toImage();
  EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::green)) << "plain picture";
  EXPECT_EQ(check->CurrentEdge(), CCheckST::Edge::None);
}

TEST(CheckST, HoverTrackingAsTheImageButton) {
  QWidget window;
  auto* check = new CCheckST(&window);
  check->setGeometry(10, 10, 30, 30);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), check->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(check, &enter);
  EXPECT_TRUE(check->IsMouseOver());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(check, &leave);
  EXPECT_FALSE(check->IsMouseOver());
}

TEST(MyDC, DrawingAppearsOnTheTargetOnlyWhenReleased) {
  QImage target(60, 60, QImage::Format_ARGB32);
  target.fill(Qt::green);
  QPainter painter(&target);
  painter.setBackground(Qt::white);
  {
    CMyDC dc(painter, QRect(10, 10, 30, 30));
    ASSERT_TRUE(dc.IsOffscreen());
    dc->fillRect(QRect(12, 12, 5, 5), Qt::red);  // the target's coordinates
    EXPECT_EQ(target.pixelColor(13, 13), QColor(Qt::green)) << "not yet on the target";
    EXPECT_EQ(dc.Picture().toImage().pixelColor(3, 3), QColor(Qt::red));
  }
  EXPECT_EQ(target.pixelColor(13, 13), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(30, 30), QColor(Qt::white)) << "filled with the background colour";
  EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::green)) << "outside the area untouched";
  EXPECT_EQ(target.pixelColor(40, 40), QColor(Qt::green));
}

TEST(MyDC, ExplicitReleaseOnceAndClipBoxByDefault) {
  QImage target(40, 40, QImage::Format_ARGB32);
  target.fill(Qt::black);
  QPainter painter(&target);
  painter.setBackground(Qt::blue);
  painter.setClipRect(QRect(5, 5, 10, 10));
  CMyDC dc(painter);
  EXPECT_EQ(dc.Area(), QRect(5, 5, 10, 10));
  dc.Release();
  EXPECT_TRUE(dc.IsReleased());
  EXPECT_EQ(target.pixelColor(8, 8), QColor(Qt::blue));
  target.setPixelColor(8, 8, Qt::black);
  dc.Release();
  EXPECT_EQ(target.pixelColor(8, 8), QColor(Qt::black)) << "a second release draws nothing";
  EXPECT_EQ(&dc.Painter(), &painter) << "after release drawing goes to the target";
}

// A widget that paints through the off-screen surface.
class BufferedWidget : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    CMyDC dc(painter, rect());
    dc->fillRect(QRect(0, 0, 10, 10), Qt::magenta);
  }
};

TEST(MyDC, WidgetTargetGetsItsPaletteBackground) {
  BufferedWidget widget;
  QPalette pal = widget.palette();
  pal.setColor(QPalette::Window, QColor(1, 2, 3));
  widget.setPalette(pal);
  widget.resize(40, 40);
  const QImage image = widget.grab().toImage();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::magenta));
  EXPECT_EQ(image.pixelColor(30, 30), QColor(1, 2, 3));
}

TEST(MyDC, PrintTargetIsDrawnDirectly) {
  QTemporaryDir dir;
  QPdfWriter pdf(dir.filePath("out.pdf"));
  QPainter painter(&pdf);
  CMyDC dc(painter);
  EXPECT_FALSE(dc.IsOffscreen());
  EXPECT_EQ(&dc.Painter(), &painter);
}

}  // namespace

namespace {

// Runs a prompt and notes the width of the box it shows before closing it.
int WidthOfShownBox(const std::function<void()>& ask) {
  int width = 0;
  QTimer::singleShot(0, [&width] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    width = box->width();
    box->close();
  });
  ask();
  return width;
}

}  // namespace

TEST(QtPrompt, ShortMessagesKeepTheirWholeCaption) {
  // The connection failure box: a long caption over a two-word message.
  vantrel::ui::CQtPrompt prompt;
  const std::string caption = "ОШИБКА ПОДКЛЮЧЕНИЯ К РЕСИВЕРУ";
  const int needed = vantrel::ui::CaptionWidth(QString::fromStdString(caption));
  EXPECT_GE(WidthOfShownBox([&] { prompt.Show("Connect fail", caption, vantrel::PromptIcon::Error); }), needed);
  EXPECT_GE(WidthOfShownBox([&] { (void)prompt.AskYesNo("Delete?", caption); }), needed);
}
