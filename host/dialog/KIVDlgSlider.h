#pragma once
// A slider: its value sits on one of the steps of its range and shows a fixed number of
// decimals. Dragging sends drag notifications; letting go, the modify notification.

#include "host/dialog/KIVDlgValueControl.h"

class KIVDlgSlider : public KIVDlgValueControl {
  KIV_DECLARE_METAOBJECT(KIVDlgSlider)
 public:
  KIVDlgSlider(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgSlider() override;

  /// Shows 0 to 9 decimals (the format becomes "%.<n>f"); other values are refused.
  int SetDecimals(int decimals);

  KIVDlgSliderModifyNotification* GetSliderModifyNotification() const { return &mModify; }
  KIVDlgSliderDragNotification* GetSliderDragNotification() const { return &mDrag; }
  /// As a person dragging the thumb to a value: placed as UserSetValue, then the drag
  /// notification.
  int UserDragValue(float value);

 protected:
  KIVNotification* ModifyNotification() const override { return &mModify; }
  bool SnapsToSteps() const override { return true; }

 private:
  mutable KIVDlgSliderModifyNotification mModify;
  mutable KIVDlgSliderDragNotification mDrag;
};
