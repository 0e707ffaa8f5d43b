#include "host/dialog/KIVDlgValueControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

KIV_IMPLEMENT_METAOBJECT(KIVDlgValueControl, KIVDlgControl)

KIVDlgValueControl::KIVDlgValueControl(KIVDialog* parent, const char* tag, int style)
    : KIVDlgControl(parent, tag, style) {}

KIVDlgValueControl::~KIVDlgValueControl() { Retire(); }

int KIVDlgValueControl::SetRange(float min, float max, float steps) {
  if (!std::isfinite(min) || !std::isfinite(max) || std::isnan(steps)) return 0;
  if (min > max) std::swap(min, max);
  mMin = min;
  mMax = max;
  mSteps = steps > 0.0f ? steps : 0.0f;
  mValue = std::clamp(mValue, mMin, mMax);
  Changed(KIVDlgProperty::Range);
  return 1;
}

void KIVDlgValueControl::GetRange(float& min, float& max, float& steps) const {
  min = mMin;
  max = mMax;
  steps = mSteps;
}

float KIVDlgValueControl::GetStep() const {
  return mSteps > 0.0f ? static_cast<float>((static_cast<double>(mMax) - mMin) / mSteps) : 0.0f;
}

int KIVDlgValueControl::SetCurrentValue(float value, int notify) {
  if (std::isnan(value)) return 0;
  value = std::clamp(value, mMin, mMax);
  mDirection = 0;
  if (value == mValue) return 0;
  mValue = value;
  Changed(KIVDlgProperty::Value);
  if (notify) Notify(ModifyNotification());
  return 1;
}

int KIVDlgValueControl::SetFormat(const char* format) {
  KIVUnicodeString probe;
  if (!format || !probe.BuildFromNum(1.0f, format)) return 0;
  if (mFormat.str() != format) {
    mFormat = format;
    Changed(KIVDlgProperty::Format);
  }
  return 1;
}

int KIVDlgValueControl::GetDecimals() const {
  const std::string& f = mFormat.str();
  std::string::size_type i = 0;
  while ((i = f.find('%', i)) != std::string::npos && i + 1 < f.size() && f[i + 1] == '%') i += 2;
  if (i == std::string::npos) return -1;
  ++i;
  while (i < f.size() && std::strchr("-+ #0", f[i])) ++i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  int precision = -1;
  if (i < f.size() && f[i] == '.') {
    precision = 0;
    for (++i; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i) precision = std::min(precision * 10 + (f[i] - '0'), 99);
  }
  while (i < f.size() && std::strchr("hlLqjzt", f[i])) ++i;
  if (i >= f.size()) return -1;
  if (f[i] == 'f' || f[i] == 'F') return precision < 0 ? 6 : precision;
  if (std::strchr("diouxXc", f[i])) return 0;
  return -1;
}

KIVUnicodeString KIVDlgValueControl::GetValueText() const {
  KIVUnicodeString text;
  text.BuildFromNum(mValue, mFormat.CastToCharPtr());
  return text;
}

float KIVDlgValueControl::Normalize(float value, bool snap) const {
  double v = value;
  if (snap && mSteps > 0.0f && mMax > mMin) {
    const double step = (static_cast<double>(mMax) - mMin) / mSteps;
    v = mMin + std::round((v - mMin) / step) * step;
  }
  const int decimals = GetDecimals();
  if (decimals >= 0 && decimals <= 9 && std::isfinite(v)) {
    const double scale = std::pow(10.0, decimals);
    v = std::round(v * scale) / scale;
  }
  return std::clamp(static_cast<float>(v), mMin, mMax);
}

int KIVDlgValueControl::UserSetValue(float value) {
  if (!IsUsable() || std::isnan(value)) return 0;
  UserChange(Normalize(value, SnapsToSteps()), ModifyNotification(), 0);
  return 1;
}

void KIVDlgValueControl::UserChange(float value, KIVNotification* notification, int direction) {
  mDirection = direction;
  if (value != mValue) {
    mValue = value;
    Changed(KIVDlgProperty::Value);
  }
  Notify(notification);
}
