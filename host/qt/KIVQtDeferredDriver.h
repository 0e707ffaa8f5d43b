#pragma once
// Runs the application's deferred cycle from Qt's event loop: a zero-delay timer starts
// when work is added and runs cycles while subscriptions or destructions are pending (so
// timed steps and animations go on cycle after cycle); an idle application sleeps. New
// dialog objects, which subscribe the model's own cycle, are announced at the same moments.
#include <QObject>
#include <QTimer>

class KIVQtDeferredDriver : public QObject {
 public:
  KIVQtDeferredDriver();
  ~KIVQtDeferredDriver() override;
  /// Runs a cycle as soon as the loop is free.
  void Kick();
  /// Deferred cycles run so far.
  long long GetCycleCount() const { return mCycles; }

 private:
  void Cycle();
  QTimer mTimer;
  long long mCycles = 0;
};
