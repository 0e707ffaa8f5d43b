#pragma once
// Base of the controls placed inside windows. The visible text size asks for room in
// characters and lines; 0 leaves the size to the content.

#include "host/dialog/KIVDialog.h"

class KIVDlgControl : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgControl)
 public:
  KIVDlgControl(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgControl() override;

  /// Negative values are refused (return 0).
  int SetVisibleTextWidth(int characters);
  int GetVisibleTextWidth() const { return mTextWidth; }
  int SetVisibleTextHeight(int lines);
  int GetVisibleTextHeight() const { return mTextHeight; }

 private:
  int mTextWidth = 0;
  int mTextHeight = 0;
};
