#include "host/dialog/KIVDlgSpinner.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgSpinner, KIVDlgValueControl)

KIVDlgSpinner::KIVDlgSpinner(KIVDialog* parent, const char* tag, int style)
    : KIVDlgValueControl(parent, tag, style) {}

KIVDlgSpinner::~KIVDlgSpinner() { Retire(); }

int KIVDlgSpinner::UserSpin(int direction) {
  if (!IsUsable() || direction == 0) return 0;
  const float step = GetStep() > 0.0f ? GetStep() : 1.0f;
  const int sign = direction > 0 ? 1 : -1;
  UserChange(Normalize(GetCurrentValue() + sign * step, false), &mModify, sign);
  return 1;
}
