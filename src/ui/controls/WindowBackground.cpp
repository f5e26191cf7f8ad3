#include "ui/controls/WindowBackground.h"

namespace vantrel::ui {

void PaintWindowBackground(QPainter& painter, const QRect& area) { painter.fillRect(area, Qt::white); }

}  // namespace vantrel::ui
