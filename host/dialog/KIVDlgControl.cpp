#include "host/dialog/KIVDlgControl.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgControl, KIVDialog)

KIVDlgControl::KIVDlgControl(KIVDialog* parent, const char* tag, int style) : KIVDialog(parent, tag, style) {}

KIVDlgControl::~KIVDlgControl() { Retire(); }

int KIVDlgControl::SetVisibleTextWidth(int characters) {
  if (characters < 0) return 0;
  if (characters != mTextWidth) {
    mTextWidth = characters;
    Changed(KIVDlgProperty::TextSize);
  }
  return 1;
}

int KIVDlgControl::SetVisibleTextHeight(int lines) {
  if (lines < 0) return 0;
  if (lines != mTextHeight) {
    mTextHeight = lines;
    Changed(KIVDlgProperty::TextSize);
  }
  return 1;
}
