#pragma once
// A radio button of an exclusive group: the radio buttons that share a dialog parent.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgRadioButton : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgRadioButton)
 public:
  using KIVDialog::KIVDialog;
  /// 0x40000 checks this button and clears its checked sibling, 0x80000 clears it; with
  /// notify = 1 each button whose state changes sends its modify notification, the cleared
  /// one first, as a toolkit does.
  void SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgRadBModifyNotification* GetRadBModifyNotification() { return &mModify; }
  /// As a person choosing the button; a person cannot clear a radio button. Returns 1 when acted.
  int UserSetState(int state);

 private:
  int mState = 0x80000;
  KIVDlgRadBModifyNotification mModify;
};
