#pragma once
// A menu item of an exclusive group: the radio items that share a dialog parent.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgRadioItem : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgRadioItem)
 public:
  using KIVDialog::KIVDialog;
  /// 0x40000 checks this item and clears its checked sibling, 0x80000 clears it; with
  /// notify = 1 each item whose state changes sends its modify notification, the cleared
  /// one first, as a toolkit does.
  void SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgRadIModifyNotification* GetRadIModifyNotification() { return &mModify; }
  /// As a person choosing the item; a person cannot clear a radio item. Returns 1 when acted.
  int UserSetState(int state);

 private:
  int mState = 0x80000;
  KIVDlgRadIModifyNotification mModify;
};
