#include "ui/controls/ManagerWindow.h"

#include <QCloseEvent>
#include <QPainter>

#include "ui/controls/WindowBackground.h"

namespace vantrel::ui {

CManagerWindow::CManagerWindow(QWidget* parent) : QDialog(parent) {
  setModal(false);
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
}

void CManagerWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  Q_EMIT closed();
}

void CManagerWindow::reject() {
  hide();
  Q_EMIT closed();
}

void CManagerWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintWindowBackground(painter, rect());
}

}  // namespace vantrel::ui
