#pragma once
// A menu item of an exclusive group: the radio items that share a dialog parent.

#include "host/dialog/KIVDlgMenuItem.h"

class KIVDlgRadioItem : public KIVDlgMenuItem {
  KIV_DECLARE_METAOBJECT(KIVDlgRadioItem)
 public:
  KIVDlgRadioItem(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgRadioItem() override;

  /// StateSet (0x40000) sets it and first clears the set sibling of the group (the objects
  /// of this class under the same dialog parent); StateCleared (0x80000) clears it; other
  /// values are ignored. With notify = 1 each object whose state changes sends its modify
  /// notification, the cleared one first, as a toolkit does. Returns 1 when changed.
  int SetState(int state, int notify = 1);
  int GetState() const { return mState; }
  KIVDlgRadIModifyNotification* GetRadIModifyNotification() const { return &mModify; }
  /// As a person choosing it (a person cannot clear a radio): 1 when it was not set yet.
  int UserSetState(int state);

 protected:
  void ClearAsRadio(int notify) override;

 private:
  int mState = StateCleared;
  mutable KIVDlgRadIModifyNotification mModify;
};
