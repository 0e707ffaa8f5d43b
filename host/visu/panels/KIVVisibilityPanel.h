#pragma once
// Edits the clipping of a viewer's main viewpoint: a combo for the mode (automatic, the
// planes follow the scene, or manual) and spinners for the near and far distances. Each
// edit applies at once and redraws; typing a distance switches to manual clipping; a pair
// with near >= far is refused and the spinner shows the viewpoint's value again. CANCEL
// puts back what the viewpoint had when the panel opened. OK, Cancel and the close box
// reach the father as any window's.
#include <memory>
#include "host/dialog/KIVDlgDialog.h"
class KIV3DViewer;
class KIVDlgCombo;
class KIVDlgSpinner;
class KIVVisibilityPanel : public KIVDlgDialog {
  KIV_DECLARE_METAOBJECT(KIVVisibilityPanel)
 public:
  static constexpr const char* ModeTag = "ClippingMode";
  static constexpr const char* NearTag = "NearPlane";
  static constexpr const char* FarTag = "FarPlane";
  /// A null viewer gives a panel that edits nothing.
  KIVVisibilityPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer);
  ~KIVVisibilityPanel() override;
  /// Restores the mode and the distances of the opening, shows them and redraws.
  void CANCEL();
  KIVDlgCombo* GetModeCombo() const { return mMode; }
  KIVDlgSpinner* GetNearSpinner() const { return mNear; }
  KIVDlgSpinner* GetFarSpinner() const { return mFar; }
 private:
  KIV3DViewer* Viewer() const;
  void ShowViewpoint();
  void ModeCB();
  void DistanceCB();
  KIV3DViewer* mViewer;
  std::weak_ptr<int> mViewerLife;
  int mOpenMode = 0;
  float mOpenNear = 0.01f, mOpenFar = 10000.0f;
  KIVDlgCombo* mMode = nullptr;  // dialog children: the panel deletes them
  KIVDlgSpinner* mNear = nullptr;
  KIVDlgSpinner* mFar = nullptr;
};
