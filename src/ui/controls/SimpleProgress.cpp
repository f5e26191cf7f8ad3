#include "ui/controls/SimpleProgress.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "core/TextTable.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/GradientProgress.h"
#include "ui/controls/MultiColorStatic.h"

namespace vantrel::ui {
namespace {

constexpr int kTextUsed = 266;
constexpr int kTextTotal = 267;
constexpr int kTextCancel = 272;

QWidget* MakeSwatch(QWidget* parent, int id, const QColor& color) {
  auto* swatch = new QWidget(parent);
  swatch->setObjectName(QString::number(id));
  swatch->setAutoFillBackground(true);
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, color);
  swatch->setPalette(palette);
  return swatch;
}

QLabel* MakeFigureLabel(QWidget* parent, int id) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::number(id));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

CSimpleProgress::CSimpleProgress(QWidget* owner) : QWidget(owner) {
  setObjectName(QString::number(IDD));

  m_iconButton = new CButtonST(this);
  m_iconButton->setObjectName(QString::number(IDC_ICON));
  m_iconButton->SetShowCaption(false);
  m_iconButton->SetColor(CButtonST::BTNST_COLOR_BK_IN, Qt::white, false);
  m_iconButton->SetColor(CButtonST::BTNST_COLOR_BK_OUT, Qt::white, false);
  m_iconButton->setFocusPolicy(Qt::NoFocus);

  m_path = new CMultiColorStatic(this);
  m_path->setObjectName(QString::number(IDC_PATH));
  m_path->SetBackgroundColor(Qt::white);
  m_path->RemoveAll();

  m_usedLabel = MakeFigureLabel(this, IDC_USED);
  m_totalLabel = MakeFigureLabel(this, IDC_TOTAL);
  m_usedSwatch = MakeSwatch(this, IDC_USED_SWATCH, QColor(0, 200, 0));
  m_totalSwatch = MakeSwatch(this, IDC_TOTAL_SWATCH, QColor(0, 0, 255));

  m_status = new QLabel(this);
  m_status->setObjectName(QString::number(IDC_STATUS));
  m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_status->setStyleSheet(QStringLiteral("color: rgb(0,0,255)"));
  m_status->hide();

  m_bar = new CGradientProgress(this);
  m_bar->setObjectName(QString::number(IDC_PROGRESS_BAR));
  m_bar->SetStartColor(QColor(231, 226, 252));
  m_bar->SetEndColor(QColor(58, 54, 209));
  m_bar->SetBkColor(QColor(254, 254, 254));
  m_bar->SetTextColor(Qt::black);
  m_bar->ShowPercent(true);
  m_bar->hide();

  m_cancel = new QPushButton(QString::fromUtf8(GetText(kTextCancel)), this);
  m_cancel->setObjectName(QString::number(IDCANCEL));
  m_cancel->hide();

  resize(sizeHint());
  Relayout();
}

CSimpleProgress::~CSimpleProgress() = default;

void CSimpleProgress::SetPath(const QString& text) {
  m_path->RemoveAll();
  // An empty text adds nothing, which leaves the label clear.
  m_path->AddSegment(text, ColorSegment::MakeStyle(QColor(0, 0, 255)));
}

void CSimpleProgress::SetIcon(const QIcon& icon) {
  m_icon = icon;
  Relayout();
}

void CSimpleProgress::SetUnit(int unit) {
  m_unit = unit == kGigabytes ? kGigabytes : kMegabytes;
  Relayout();
}

void CSimpleProgress::SetFigures(int totalMiB, int usedMiB) {
  m_total = totalMiB;
  m_used = usedMiB;
  Relayout();
}

QString CSimpleProgress::FigureText(int unit, int valueMiB) {
  if (unit == kGigabytes) return QString::asprintf(" : %.2fGB", static_cast<double>(valueMiB) / 1024.0);
  return QString::asprintf(" : %dMB", valueMiB);
}

void CSimpleProgress::Relayout() {
  const int w = width();
  const int t = 0;
  m_status->hide();

  // Each figure keeps its 120 pixels unless its text needs more (a longer
  // translation, a large disk), so nothing is cut at the right edge.
  m_totalLabel->setText(QString::fromUtf8(GetText(kTextTotal)) + FigureText(m_unit, m_total));
  m_usedLabel->setText(QString::fromUtf8(GetText(kTextUsed)) + FigureText(m_unit, m_used));
  const auto labelWidth = [](const QLabel* label) {
    return std::max(120, label->fontMetrics().horizontalAdvance(label->text()) + 4);
  };
  const int totalX = w - labelWidth(m_totalLabel);
  m_totalLabel->setGeometry(totalX, t + 1, w - totalX, 16);
  m_totalSwatch->setGeometry(totalX - 20, t + 3, 20, 12);
  const int usedX = totalX - 20 - labelWidth(m_usedLabel);
  m_usedLabel->setGeometry(usedX, t + 1, totalX - 20 - usedX, 16);
  m_usedSwatch->setGeometry(usedX - 20, t + 3, 20, 12);
  const int figuresX = usedX - 20;
  for (QWidget* shown :
       {static_cast<QWidget*>(m_totalLabel), static_cast<QWidget*>(m_usedLabel), m_totalSwatch, m_usedSwatch})
    shown->show();

  m_iconButton->setGeometry(0, t + 1, 25, 16);
  m_iconButton->SetIcon(m_icon, QSize(16, 16));

  // Narrower than the figures and the icon: the path gets no width at all.
  m_path->setGeometry(25, t + 1, std::max(0, figuresX - 25), 16);
}

void CSimpleProgress::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

void CSimpleProgress::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
}

}  // namespace vantrel::ui
