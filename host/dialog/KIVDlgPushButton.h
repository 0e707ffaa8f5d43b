#pragma once
// A push button. Held down, a repeating button also sends its repetitive notification at each tick.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgPushButton : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgPushButton)
 public:
  KIVDlgPushButton(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgPushButton() override;

  KIVDlgPushBActivateNotification* GetPushBActivateNotification() const { return &mActivate; }
  /// As a person pressing the button: sends the activate notification. 1 when sent, 0 when not usable.
  int UserActivate();
  KIVDlgPushBRepetitiveNotification* GetPushBRepetitiveNotification() const { return &mRepeat; }
  /// One tick of a button held down: sends the repetitive notification. 1 when sent.
  int UserRepeat();

 private:
  mutable KIVDlgPushBActivateNotification mActivate;
  mutable KIVDlgPushBRepetitiveNotification mRepeat;
};
