#pragma once
// A key pressed in a viewer window. Printable keys carry their character code (letters in
// lower case); the others the codes below.
#include "host/core/KIVNotification.h"
class KIVKeyEvent : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVKeyEvent)
 public:
  enum Key {
    KeyEscape = 0x1000, KeyReturn, KeyTab, KeyBackspace, KeyDelete, KeyHome, KeyEnd, KeyPageUp, KeyPageDown,
    KeyLeft, KeyRight, KeyUp, KeyDown, KeyF1 = 0x1100  // F2… follow
  };
  KIVKeyEvent(int key = 0, int modifiers = 0, unsigned long time = 0, int release = 0)
      : mKey(key), mModifiers(modifiers), mTime(time), mRelease(release) {}
  int GetKey() const { return mKey; }
  /// KIVMouseEvent's modifier bits.
  int GetModifiers() const { return mModifiers; }
  unsigned long GetTime() const { return mTime; }
  /// 1 for the release of the key, 0 for its press (and repeats).
  int IsRelease() const { return mRelease; }
 private:
  int mKey, mModifiers;
  unsigned long mTime;
  int mRelease;
};
