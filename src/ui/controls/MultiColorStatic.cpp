#include "ui/controls/MultiColorStatic.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vantrel::ui {

// ---- ColorSegment -----------------------------------------------------------

std::uint32_t ColorSegment::ColorValue(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8) |
         (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

QColor ColorSegment::FromColorValue(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                static_cast<int>((value >> 16) & 0xFFu));
}

std::uint32_t ColorSegment::MakeStyle(const QColor& textColor, bool bold, bool underline, bool italic) {
  return ColorValue(textColor) | (bold ? kBold : 0u) | (underline ? kUnderline : 0u) | (italic ? kItalic : 0u);
}

// ---- CMultiColorStatic ------------------------------------------------------

CMultiColorStatic::CMultiColorStatic(QWidget* parent)
    : QWidget(parent), m_background(palette().color(QPalette::Button)) {}

bool CMultiColorStatic::SetSegment(int index, const ColorSegment& segment) {
  if (index < 0 || index > SegmentCount() || segment.text.isEmpty()) return false;
  if (index == SegmentCount()) {
    m_segments.push_back(segment);
  } else {
    m_segments[index] = segment;
  }
  updateGeometry();
  update();
  return true;
}

ColorSegment CMultiColorStatic::GetSegment(int index) const {
  if (index < 0 || index >= SegmentCount()) return {};
  return m_segments[index];
}

bool CMultiColorStatic::AddSegment(const QString& text, std::uint32_t style, std::int32_t background) {
  return AddSegment(ColorSegment{text, style, background});
}

bool CMultiColorStatic::AddSegment(const ColorSegment& segment) { return SetSegment(SegmentCount(), segment); }

bool CMultiColorStatic::RemoveSegment(int index) {
  if (index < 0 || index >= SegmentCount()) return false;
  m_segments.remove(index);
  updateGeometry();
  update();
  return true;
}

void CMultiColorStatic::RemoveAll() {
  m_segments.clear();
  updateGeometry();
  update();
}

void CMultiColorStatic::SetBackgroundColor(const QColor& color) {
  m_background = color;
  update();
}

void CMultiColorStatic::SetFitHeight(bool fit) {
  m_fitHeight = fit;
  updateGeometry();
  update();
}

QFont CMultiColorStatic::SegmentFont(std::uint32_t style) const {
  QFont segmentFont = font();
  if (m_fitHeight) {
    // The font's line (ascent plus descent) fills the label's height, so
    // descenders are not cut off.
    const int height = std::max(1, this->height());
    segmentFont.setPixelSize(height);
    const int line = QFontMetrics(segmentFont, this).height();
    if (line > height) segmentFont.setPixelSize(std::max(1, height * height / line));
  }
  segmentFont.setWeight((style & ColorSegment::kBold) ? QFont::Black : QFont::Normal);
  segmentFont.setItalic((style & ColorSegment::kItalic) != 0);
  segmentFont.setUnderline((style & ColorSegment::kUnderline) != 0);
  segmentFont.setStyleStrategy(QFont::PreferQuality);
  return segmentFont;
}

QRect CMultiColorStatic::SegmentRect(int index) const {
  if (index < 0 || index >= SegmentCount()) return {};
  int x = 0;
  for (int i = 0;; ++i) {
    const ColorSegment& segment = m_segments[i];
    const QFontMetrics metrics(SegmentFont(segment.style), this);
    const int width = metrics.horizontalAdvance(segment.text);
    if (i == index) return {x, 0, width, metrics.height()};
    x += width;
  }
}

QSize CMultiColorStatic::sizeHint() const {
  int width = 0;
  int height = fontMetrics().height();
  for (const ColorSegment& segment : m_segments) {
    QFont segmentFont = font();
    segmentFont.setWeight(segment.Bold() ? QFont::Black : QFont::Normal);
    segmentFont.setItalic(segment.Italic());
    const QFontMetrics metrics(segmentFont, this);
    width += metrics.horizontalAdvance(segment.text);
    height = std::max(height, metrics.height());
  }
  return {width, height};
}

void CMultiColorStatic::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), m_background);
  int x = 0;
  for (const ColorSegment& segment : m_segments) {
    if (x >= width()) break;
    const QFont segmentFont = SegmentFont(segment.style);
    const QFontMetrics metrics(segmentFont, this);
    const int advance = metrics.horizontalAdvance(segment.text);
    if (segment.background != ColorSegment::kLabelBackground) {
      painter.fillRect(QRect(x, 0, advance, metrics.height()),
                       ColorSegment::FromColorValue(static_cast<std::uint32_t>(segment.background)));
    }
    painter.setFont(segmentFont);
    painter.setPen(segment.TextColor());
    painter.drawText(QPoint(x, metrics.ascent()), segment.text);
    x += advance;
  }
}

void CMultiColorStatic::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT clicked(mapToParent(event->position().toPoint()));
  // Not handled here: the toolkit hands the press on to the parent, at the
  // same place in the parent's coordinates.
  event->ignore();
}

}  // namespace vantrel::ui
