#include "foundation/NavSpinnerFormat.h"

#include <algorithm>
#include <cmath>

#include "host/dialog/KIVDlgSpinner.h"

int NavSpinnerFormat::Apply(KIVDlgSpinner* spinner, float value, float min, float max, int setValue, int decimals) {
  if (!spinner || !std::isfinite(value) || !std::isfinite(min) || !std::isfinite(max)) return 0;
  const double v = std::fabs(static_cast<double>(value));
  const double floor = std::fabs(static_cast<double>(min)) + std::fabs(static_cast<double>(max)) > 10.0 ? 1.0 : 0.1;
  const double scale = std::pow(10.0, std::trunc(std::log10(std::max(v, floor))));
  spinner->SetRange(min, max, static_cast<float>((static_cast<double>(max) - min) * 10.0 / scale));
  const char* format = "%.5f";
  if (v > 10000.0 || decimals == 0)
    format = "%.f";
  else if (v > 1000.0 || decimals == 1)
    format = "%.1f";
  else if (v > 100.0 || decimals == 2)
    format = "%.2f";
  else if (v > 10.0 || decimals == 3)
    format = "%.3f";
  else if (v > 1.0 || decimals == 4)
    format = "%.4f";
  spinner->SetFormat(format);
  if (setValue == 1) spinner->SetCurrentValue(value, 0);
  return 1;
}
