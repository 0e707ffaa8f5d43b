#pragma once
// A menu item with an on/off tick.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgCheckItem : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgCheckItem)
 public:
  using KIVDialog::KIVDialog;
  /// 0x40000 checked, 0x80000 cleared (other values ignored); notify = 1 sends the modify
  /// notification when the state changes.
  void SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgChkIModifyNotification* GetChkIModifyNotification() { return &mModify; }
  /// As a person ticking the item. 0 when insensitive, hidden, or already in that state.
  int UserSetState(int state);

 private:
  int mState = 0x80000;
  KIVDlgChkIModifyNotification mModify;
};
