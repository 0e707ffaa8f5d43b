#include "host/dialog/KIVDlgSlider.h"

#include <cmath>
#include <string>

KIV_IMPLEMENT_METAOBJECT(KIVDlgSlider, KIVDlgValueControl)

KIVDlgSlider::KIVDlgSlider(KIVDialog* parent, const char* tag, int style) : KIVDlgValueControl(parent, tag, style) {}

KIVDlgSlider::~KIVDlgSlider() { Retire(); }

int KIVDlgSlider::SetDecimals(int decimals) {
  if (decimals < 0 || decimals > 9) return 0;
  return SetFormat(("%." + std::to_string(decimals) + "f").c_str());
}

int KIVDlgSlider::UserDragValue(float value) {
  if (!IsUsable() || std::isnan(value)) return 0;
  UserChange(Normalize(value, true), &mDrag, 0);
  return 1;
}
