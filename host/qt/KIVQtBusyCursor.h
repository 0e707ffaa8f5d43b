#pragma once
// The wait cursor for the lifetime of the object (long loads, exports, captures).
#include <QApplication>
#include <QCursor>

class KIVQtBusyCursor {
 public:
  KIVQtBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~KIVQtBusyCursor() { QApplication::restoreOverrideCursor(); }
  KIVQtBusyCursor(const KIVQtBusyCursor&) = delete;
  KIVQtBusyCursor& operator=(const KIVQtBusyCursor&) = delete;
};
