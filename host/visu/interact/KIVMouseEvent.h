#pragma once
// One mouse action in a viewer window: where (pixels, x right and y down from the top-left
// corner), which buttons are held, which modifier keys are down, and when (milliseconds of
// a counter that may wrap). A press or release includes the button that changed.
#include "host/core/KIVNotification.h"
class KIVMouseEvent : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVMouseEvent)
 public:
  enum Kind { Press = 0, Move, Release, Wheel, DoubleClick };
  static constexpr int ButtonLeft = 1, ButtonMiddle = 2, ButtonRight = 4;
  static constexpr int ModShift = 1, ModAlt = 2, ModControl = 4;
  KIVMouseEvent(int kind = Move, int x = 0, int y = 0, int buttons = 0, int modifiers = 0, unsigned long time = 0,
                int wheelSteps = 0)
      : mKind(kind), mX(x), mY(y), mButtons(buttons), mModifiers(modifiers), mTime(time), mWheel(wheelSteps) {}
  int GetKind() const { return mKind; }
  int GetX() const { return mX; }
  int GetY() const { return mY; }
  int GetButtons() const { return mButtons; }
  int GetModifiers() const { return mModifiers; }
  unsigned long GetTime() const { return mTime; }
  /// Wheel notches, positive away from the user; 0 for other kinds.
  int GetWheelSteps() const { return mWheel; }
 private:
  int mKind, mX, mY, mButtons, mModifiers;
  unsigned long mTime;
  int mWheel;
};
