#pragma once
// An off-screen drawing surface for flicker-free painting. Bound to a painter
// that is painting a screen widget, it hands out a painter on an off-screen
// copy of the area, filled with the target's background colour and with the
// same coordinates as the target; releasing it (explicitly or at the end of
// its scope) puts the copy on the target in one go. Bound to a printer or a
// PDF writer, drawing goes straight to the target.
//
//   void CBar::paintEvent(QPaintEvent*) {
//     QPainter target(this);
//     CMyDC dc(target, rect());
//     dc.Painter().fillRect(...);
//   }  // the picture appears here
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <memory>

namespace vantrel::ui {

class CMyDC {
 public:
  // The area is in the target's device coordinates; by default the target's
  // clip box, or the whole device when it does not clip.
  explicit CMyDC(QPainter& target);
  CMyDC(QPainter& target, const QRect& area);
  ~CMyDC();
  CMyDC(const CMyDC&) = delete;
  CMyDC& operator=(const CMyDC&) = delete;

  // The painter to draw with: the off-screen one, or the target itself for
  // printing. Valid until Release.
  QPainter& Painter();
  QPainter* operator->() { return &Painter(); }

  // Puts the off-screen picture on the target; later calls do nothing.
  void Release();

  bool IsOffscreen() const { return m_offscreen != nullptr; }
  bool IsReleased() const { return m_released; }
  QRect Area() const { return m_area; }
  // The off-screen picture (null when drawing goes to the target directly).
  const QPixmap& Picture() const { return m_picture; }

 private:
  void Bind(const QRect& area);

  QPainter& m_target;
  QRect m_area;
  QPixmap m_picture;
  std::unique_ptr<QPainter> m_offscreen;
  bool m_released = false;
};

}  // namespace vantrel::ui
