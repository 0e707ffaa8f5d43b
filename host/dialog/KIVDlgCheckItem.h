#pragma once
// A menu item with an on/off tick.

#include "host/dialog/KIVDlgMenuItem.h"

class KIVDlgCheckItem : public KIVDlgMenuItem {
  KIV_DECLARE_METAOBJECT(KIVDlgCheckItem)
 public:
  KIVDlgCheckItem(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgCheckItem() override;

  /// StateSet (0x40000) or StateCleared (0x80000); other values are ignored. With
  /// notify = 1 a change sends the modify notification. Returns 1 when changed.
  int SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgChkIModifyNotification* GetChkIModifyNotification() const { return &mModify; }
  /// As a person ticking or unticking it: 1 when the state changed.
  int UserSetState(int state);

 private:
  int mState = StateCleared;
  mutable KIVDlgChkIModifyNotification mModify;
};
