#include "ui/controls/GradientProgress.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Format.h"
#include "ui/controls/MyDC.h"

namespace vantrel::ui {
namespace {

// The colour of band k of b: each component start + (end - start) * k / b,
// truncated.
QColor BandColor(const QColor& start, const QColor& end, int k, int b) {
  auto mix = [k, b](int from, int to) { return static_cast<int>(from + (to - from) * static_cast<double>(k) / b); };
  return {mix(start.red(), end.red()), mix(start.green(), end.green()), mix(start.blue(), end.blue())};
}

}  // namespace

CGradientProgress::CGradientProgress(QWidget* parent) : QWidget(parent) {
  m_bkColor = palette().color(QPalette::Button);
  // The whole area is painted each time; nothing needs erasing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientProgress::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
  update();
}

int CGradientProgress::SetPos(int position) {
  const int previous = m_pos;
  m_pos = position;
  if (previous != position) update();
  return previous;
}

void CGradientProgress::SetStartColor(const QColor& color) {
  m_startColor = color;
  update();
}

void CGradientProgress::SetEndColor(const QColor& color) {
  m_endColor = color;
  update();
}

void CGradientProgress::SetBkColor(const QColor& color) {
  m_bkColor = color;
  update();
}

void CGradientProgress::SetTextColor(const QColor& color) {
  m_textColor = color;
  update();
}

void CGradientProgress::ShowPercent(bool show) {
  m_showPercent = show;
  update();
}

std::string CGradientProgress::PercentText(int position, int lower, int upper) {
  const double span = static_cast<double>(upper) - lower;
  const double percent = span == 0 ? 0.0 : (static_cast<double>(position) - lower) * 100.0 / span;
  return Format("%5.2f %%", percent);
}

std::string CGradientProgress::PercentText() const { return PercentText(m_pos, m_lower, std::max(m_upper, 1)); }

void CGradientProgress::Draw(QPainter& painter, const QRect& area) const {
  if (m_pos <= m_lower || m_pos > m_upper) {
    painter.fillRect(area, m_bkColor);
    // Position 0 still shows its first band and its percentage; any other
    // position outside the range shows nothing.
    if (m_pos != 0) return;
  }
  const int upper = std::max(m_upper, 1);
  const double width = area.width();
  const double end = static_cast<double>(m_pos) / upper * width;

  const int bands =
      std::max({std::abs(m_endColor.red() - m_startColor.red()), std::abs(m_endColor.green() - m_startColor.green()),
                std::abs(m_endColor.blue() - m_startColor.blue())});
  if (bands == 0) {
    // One colour: a plain bar up to the position.
    const int right = area.left() + static_cast<int>(std::clamp(end, 0.0, width));
    painter.fillRect(QRect(QPoint(area.left(), area.top()), QPoint(right - 1, area.bottom())), m_startColor);
    painter.fillRect(QRect(QPoint(right, area.top()), area.bottomRight()), m_bkColor);
  } else {
    const double bandWidth = width / bands;
    for (int k = 0; k < bands; ++k) {
      const int left = area.left() + static_cast<int>(k * bandWidth);
      const double rightEdge = (k + 1) * bandWidth;
      const int right = area.left() + static_cast<int>(rightEdge);
      if (right > left)
        painter.fillRect(QRect(left, area.top(), right - left, area.height()),
                         BandColor(m_startColor, m_endColor, k, bands));
      if (rightEdge > end) {
        painter.fillRect(QRect(QPoint(right, area.top()), area.bottomRight()), m_bkColor);
        break;
      }
    }
  }

  if (m_showPercent) {
    painter.setPen(m_textColor);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(PercentText()));
  }
}

void CGradientProgress::paintEvent(QPaintEvent*) {
  QPainter target(this);
  CMyDC dc(target, rect());
  dc.Painter().setFont(font());
  Draw(dc.Painter(), rect());
}

}  // namespace vantrel::ui
