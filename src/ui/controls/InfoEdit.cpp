#include "ui/controls/InfoEdit.h"

#include <QKeyEvent>

namespace vantrel::ui {

void CInfoEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->ignore(); break;
    default: event->accept(); break;
  }
}

}  // namespace vantrel::ui
