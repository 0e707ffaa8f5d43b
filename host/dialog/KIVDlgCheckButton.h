#pragma once
// A check box.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgCheckButton : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgCheckButton)
 public:
  KIVDlgCheckButton(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgCheckButton() override;

  /// StateSet (0x40000) or StateCleared (0x80000); other values are ignored. With
  /// notify = 1 a change sends the modify notification. Returns 1 when changed.
  int SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgChkBModifyNotification* GetChkBModifyNotification() const { return &mModify; }
  /// As a person ticking or unticking it: 1 when the state changed.
  int UserSetState(int state);

 private:
  int mState = StateCleared;
  mutable KIVDlgChkBModifyNotification mModify;
};
