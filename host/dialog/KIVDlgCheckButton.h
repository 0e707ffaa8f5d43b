#pragma once
// A check box.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgCheckButton : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgCheckButton)
 public:
  using KIVDialog::KIVDialog;
  /// 0x40000 checked, 0x80000 cleared (other values ignored); notify = 1 sends the modify
  /// notification when the state changes.
  void SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgChkBModifyNotification* GetChkBModifyNotification() { return &mModify; }
  /// As a person ticking the box. 0 when insensitive, hidden, or already in that state.
  int UserSetState(int state);

 private:
  int mState = 0x80000;
  KIVDlgChkBModifyNotification mModify;
};
