#pragma once
// Edits a viewer's stereo: on or off, its kind, and the distance between the eyes. Edits
// apply at once; OK keeps them, Cancel puts back the state of the opening. The panel hears
// its own OK and Cancel first (through a relay command between it and its father), then
// they go on to the father as any window's, the panel still being their sender.
#include <memory>
#include "host/dialog/KIVDlgDialog.h"
class KIV3DViewer;
class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgSpinner;
class KIVStereoEditPanel : public KIVDlgDialog {
  KIV_DECLARE_METAOBJECT(KIVStereoEditPanel)
 public:
  static constexpr const char* StereoTag = "StereoOn";
  static constexpr const char* KindTag = "StereoKind";
  static constexpr const char* EyeTag = "EyeDistance";
  /// A null viewer gives a panel that edits nothing.
  KIVStereoEditPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer);
  ~KIVStereoEditPanel() override;
  /// Applies what the widgets show.
  void OK();
  /// Restores the stereo state of the opening and shows it.
  void CANCEL();
  KIVDlgCheckButton* GetStereoButton() const { return mOn; }
  KIVDlgCombo* GetKindCombo() const { return mKind; }
  KIVDlgSpinner* GetEyeSpinner() const { return mEye; }
 private:
  KIV3DViewer* Viewer() const;
  void ShowViewer();
  KIV3DViewer* mViewer;
  std::weak_ptr<int> mViewerLife;
  int mOpenOn = 0, mOpenMode = 0;
  float mOpenEye = 0.065f;
  KIVDlgCheckButton* mOn = nullptr;  // dialog children: the panel deletes them
  KIVDlgCombo* mKind = nullptr;
  KIVDlgSpinner* mEye = nullptr;
  std::unique_ptr<KIVCommand> mRelay;
};
