#include "ui/controls/CheckST.h"

#include <QPainter>

namespace vantrel::ui {

CCheckST::CCheckST(QWidget* parent) : CButtonST(parent) {
  setCheckable(true);
  setChecked(false);
}

void CCheckST::SetBitmaps(const QPixmap& on, const QPixmap& off, const QPixmap& plain) {
  m_onBitmap = on;
  m_offBitmap = off;
  m_plainBitmap = plain;
  updateGeometry();
  update();
}

void CCheckST::SetUseStateBitmaps(bool use) {
  m_useStateBitmaps = use;
  updateGeometry();
  update();
}

void CCheckST::SetRaisedEdge(bool raised) {
  m_raisedEdge = raised;
  update();
}

CCheckST::Edge CCheckST::CurrentEdge() const {
  if (!m_useStateBitmaps) return Edge::None;
  if (isDown() || isChecked()) return Edge::Sunken;
  return m_raisedEdge ? Edge::Raised : Edge::None;
}

const QPixmap& CCheckST::CurrentBitmap() const {
  if (!m_useStateBitmaps) return m_plainBitmap;
  return isChecked() ? m_onBitmap : m_offBitmap;
}

QSize CCheckST::sizeHint() const {
  const QPixmap& bitmap = CurrentBitmap();
  if (bitmap.isNull()) return CButtonST::sizeHint();
  const QSize size = bitmap.deviceIndependentSize().toSize();
  return {size.width() + 4, size.height() + 4};
}

void CCheckST::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap& bitmap = CurrentBitmap();
  if (!bitmap.isNull()) {
    const QSize size = bitmap.deviceIndependentSize().toSize();
    const QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
    if (isEnabled()) {
      painter.drawPixmap(at, bitmap);
    } else {
      DrawEmbossedPixmap(painter, at, bitmap, palette());
    }
  }
  const QPalette& pal = palette();
  switch (CurrentEdge()) {
    case Edge::Sunken:
      DrawThinEdge(painter, rect(), pal.color(QPalette::Dark), pal.color(QPalette::Light), false);
      break;
    case Edge::Raised:
      DrawThinEdge(painter, rect(), pal.color(QPalette::Light), pal.color(QPalette::Dark), false);
      break;
    case Edge::None: break;
  }
}

}  // namespace vantrel::ui
