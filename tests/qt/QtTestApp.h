#pragma once
// The one QApplication of the Qt tests, on the offscreen platform unless QT_QPA_PLATFORM
// says otherwise: widgets work there, GL views stay blank and the model behind them runs.
#include <QApplication>
#include <cstdlib>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDialog.h"
#include "host/qt/KIVQtGLView.h"

inline QApplication* QtTestApp() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    KIVQtGLView::ShareBetweenWindows();  // as navview: viewer windows share their GL buffers
    return new QApplication(argc, argv);
  }();
  return app;
}

/// Lets the model and Qt catch up: announcements, one deferred cycle, pending Qt events.
inline void QtPump() {
  KIVDialog::FlushPresenter();
  KIVApplication::MainApplication()->ProcessDeferred();
  QCoreApplication::processEvents();
}
