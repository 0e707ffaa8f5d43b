#pragma once
// What a GUI back end implements to mirror the dialog model. The model calls it only for
// whole objects: after the most derived constructor has returned and before the first
// destructor body has finished, so the back end may read any accessor.

class KIVDialog;

/// Which part of a dialog object changed.
enum class KIVDlgProperty {
  Title,
  IconName,
  Visibility,
  Sensitivity,
  Mnemonic,
  AcceleratorKey,
  Rect,
  Grid,
  TextSize,   // visible text width or height
  State,      // check and radio buttons and items
  Lines,      // lines and columns of combos, multi-lists and editors
  Selection,  // combo and multi-list selection, selected column, selected tab page
  Scroll,     // first visible line and column of a multi-list
  Value,      // spinner and slider value
  Range,
  Format,
  Text,       // editor text, notice text, file dialog directory, filter and selection
  Buttons,    // window button titles and default button
};

class KIVDlgPresenter {
 public:
  virtual ~KIVDlgPresenter() = default;
  /// A new object, announced after its dialog parent.
  virtual void Created(KIVDialog* object) = 0;
  /// The object is going away; its dialog children have already been reported.
  virtual void Destroyed(KIVDialog* object) = 0;
  virtual void PropertyChanged(KIVDialog* object, KIVDlgProperty which) = 0;
};
