#pragma once
// The number fields of the palettes show as many decimals as the magnitude of their value
// deserves and step by a tenth of that magnitude, so that the arrows always move the
// leading digits: "%.f" above 10000, then one decimal more per decade down to "%.5f" at 1
// and below.

class KIVDlgSpinner;

class NavSpinnerFormat {
 public:
  /// Range (min, max), step count and format of the spinner after the magnitude of value;
  /// a range wider than 10 never steps below units. decimals 0 to 4 caps the decimals,
  /// -1 leaves them to the magnitude. setValue 1 also sets the value (without
  /// notification). Returns 0, changing nothing, for a null spinner or a value or bound
  /// that is not finite.
  static int Apply(KIVDlgSpinner* spinner, float value, float min, float max, int setValue, int decimals = -1);
};
