#pragma once
// Base of the number fields (spinners and sliders): a value kept inside a range that is
// cut into a number of steps, and the printf format that displays it.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgValueControl : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgValueControl)
 public:
  KIVDlgValueControl(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgValueControl() override;

  /// The range and the number of steps it is cut into (0 or less: continuous); bounds
  /// given in the wrong order are swapped; a NaN or infinite bound or a NaN step count is
  /// refused. The value is brought into the range without notification.
  int SetRange(float min, float max, float steps);
  void GetRange(float& min, float& max, float& steps) const;
  /// The length of one step, 0 when continuous.
  float GetStep() const;
  /// Clamped into the range (never rounded); NaN is refused. With notify = 1 a change
  /// sends the modify notification. Returns 1 when the value changed.
  int SetCurrentValue(float value, int notify = 1);
  float GetCurrentValue() const { return mValue; }
  /// A printf format with one numeric conversion, for example "%.2f"; refused (returns 0,
  /// keeping the previous one) when KIVUnicodeString::BuildFromNum refuses it.
  int SetFormat(const char* format);
  const KIVString& GetFormat() const { return mFormat; }
  /// Decimals shown by the format: the precision of an f conversion, 0 for an integer
  /// conversion, -1 when the format shows a varying number (e, g).
  int GetDecimals() const;
  /// The value as the field shows it.
  KIVUnicodeString GetValueText() const;

  /// As a person typing or setting a value: clamped, rounded to the decimals shown (a
  /// slider also to its steps), then the modify notification, even when unchanged.
  int UserSetValue(float value);

 protected:
  virtual KIVNotification* ModifyNotification() const = 0;
  virtual bool SnapsToSteps() const { return false; }
  /// Clamps and rounds as a person's input is.
  float Normalize(float value, bool snap) const;
  /// Stores a value (telling the presenter) and sends a notification.
  void UserChange(float value, KIVNotification* notification, int direction);
  int mDirection = 0;  // of the last change: 1 up arrow, -1 down arrow, 0 otherwise

 private:
  float mMin = 0.0f;
  float mMax = 100.0f;
  float mSteps = 100.0f;
  float mValue = 0.0f;
  KIVString mFormat = "%g";
};
