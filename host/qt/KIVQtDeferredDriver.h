#pragma once
// Runs the application's deferred cycle from Qt's event loop: through a zero-delay timer
// whenever subscriptions or destructions are pending (so timed steps, walks, flights and
// animations go on frame after frame) and before the loop goes to sleep. New dialog
// objects are announced to the presenter at the same moments.
#include <QObject>
#include <QTimer>

class KIVQtDeferredDriver : public QObject {
 public:
  KIVQtDeferredDriver();
  /// Runs a cycle as soon as the loop is free.
  void Kick();
  /// Deferred cycles run so far.
  long long GetCycleCount() const { return mCycles; }

 private:
  void Cycle();
  QTimer mTimer;
  long long mCycles = 0;
};
