#include "host/qt/KIVQtWindow.h"

#include <QCloseEvent>

void KIVQtWindow::closeEvent(QCloseEvent* event) {
  if (!mClose) {
    QWidget::closeEvent(event);
    return;
  }
  // The model decides; its answer comes back as a visibility change or a destruction.
  event->ignore();
  mClose();
}
