#include "ui/controls/MyDC.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QTransform>
#include <algorithm>

namespace vantrel::ui {
namespace {

QRect DeviceRect(const QPaintDevice* device) {
  if (device == nullptr) return {};
  return {0, 0, device->width(), device->height()};
}

bool IsPrintTarget(const QPainter& target) {
  const QPaintDevice* device = target.device();
  if (device != nullptr && device->devType() == QInternal::Printer) return true;
  const QPaintEngine* engine = target.paintEngine();
  return engine != nullptr && engine->type() == QPaintEngine::Pdf;
}

// The target's clip box in device coordinates.
QRect ClipBox(const QPainter& target) {
  const QRect whole = DeviceRect(target.device());
  if (!target.hasClipping()) return whole;
  const QRect clip = target.deviceTransform().mapRect(target.clipBoundingRect()).toAlignedRect();
  return clip.intersected(whole);
}

}  // namespace

CMyDC::CMyDC(QPainter& target) : m_target(target) { Bind(ClipBox(target)); }

CMyDC::CMyDC(QPainter& target, const QRect& area) : m_target(target) { Bind(area); }

CMyDC::~CMyDC() { Release(); }

void CMyDC::Bind(const QRect& area) {
  m_area = area.normalized();
  QPaintDevice* device = m_target.device();
  if (!m_target.isActive() || IsPrintTarget(m_target) || m_area.isEmpty()) return;

  const qreal ratio = std::max<qreal>(1, device->devicePixelRatioF());
  m_picture = QPixmap(m_area.size() * ratio);
  m_picture.setDevicePixelRatio(ratio);
  // The painter's background is the target's background colour (for a
  // widget, its palette's background role).
  m_picture.fill(m_target.background().color());

  m_offscreen = std::make_unique<QPainter>(&m_picture);
  m_offscreen->setFont(m_target.font());
  m_offscreen->setPen(m_target.pen());
  m_offscreen->setBrush(m_target.brush());
  m_offscreen->setBackground(m_target.background());
  m_offscreen->setRenderHints(m_target.renderHints());
  // Same coordinates as on the target: the area's corner is the origin of the
  // off-screen picture.
  m_offscreen->setTransform(m_target.transform() * QTransform::fromTranslate(-m_area.x(), -m_area.y()));
}

QPainter& CMyDC::Painter() { return m_offscreen ? *m_offscreen : m_target; }

void CMyDC::Release() {
  if (m_released) return;
  m_released = true;
  if (!m_offscreen) return;
  m_offscreen->end();
  m_offscreen.reset();
  if (!m_target.isActive()) return;
  m_target.save();
  m_target.resetTransform();
  m_target.setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_target.setOpacity(1);
  m_target.drawPixmap(m_area.topLeft(), m_picture);
  m_target.restore();
}

}  // namespace vantrel::ui
