#pragma once
// A number field with up and down arrows. A typed value keeps what the format shows; the
// arrows move by one step.

#include "host/dialog/KIVDlgValueControl.h"

class KIVDlgSpinner : public KIVDlgValueControl {
  KIV_DECLARE_METAOBJECT(KIVDlgSpinner)
 public:
  KIVDlgSpinner(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgSpinner() override;

  KIVDlgSpinModifyNotification* GetSpinModifyNotification() const { return &mModify; }
  /// As a person clicking the up (direction > 0) or down (< 0) arrow: one step (1 when the
  /// range is continuous), clamped and rounded, then the modify notification.
  int UserSpin(int direction);
  /// How the last change came: 1 up arrow, -1 down arrow, 0 typed or set by program.
  int GetSpinDirection() const { return mDirection; }

 protected:
  KIVNotification* ModifyNotification() const override { return &mModify; }

 private:
  mutable KIVDlgSpinModifyNotification mModify;
};
