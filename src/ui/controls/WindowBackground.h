#pragma once
// The plain background shared by the launcher and the manager windows.
#include <QPainter>
#include <QRect>

namespace vantrel::ui {

// Fills the area with the windows' background: plain white.
void PaintWindowBackground(QPainter& painter, const QRect& area);

}  // namespace vantrel::ui
