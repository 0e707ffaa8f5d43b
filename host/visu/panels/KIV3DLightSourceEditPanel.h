#pragma once
// Edits a viewer's model-window lights: one or two, the direction of each as azimuth and
// elevation (degrees; the light comes from that direction of the world frame, azimuth from
// +x towards +y, elevation above the xy plane), and the global ambient intensity. Each edit
// applies at once and redraws. It sits in an edit panel popup (KIVEditPanelPopup), whose
// Cancel runs CANCEL.
#include <memory>
#include "host/dialog/KIVDlgFrame.h"
#include "host/visu/view/KIVLightSourceSet.h"
class KIV3DViewer;
class KIVDlgCombo;
class KIVDlgSpinner;
class KIVDlgSlider;
class KIV3DLightSourceEditPanel : public KIVDlgFrame {
  KIV_DECLARE_METAOBJECT(KIV3DLightSourceEditPanel)
 public:
  static constexpr const char* CountTag = "LightCount";
  static constexpr const char* AmbientTag = "Ambient";
  /// Tags of the spinners: "Azimuth1", "Elevation1", "Azimuth2", "Elevation2".
  static const char* AzimuthTag(int light);
  static const char* ElevationTag(int light);
  /// A null viewer gives a panel that edits nothing.
  KIV3DLightSourceEditPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer);
  ~KIV3DLightSourceEditPanel() override;
  /// Restores the lights and the ambient light of the opening and shows them.
  void CANCEL();
  /// The direction a light travels along for an azimuth and elevation it comes from.
  static KIVMathDirectionf DirectionFrom(float azimuthDegrees, float elevationDegrees);
  /// The azimuth and elevation a direction comes from (degrees).
  static void AnglesOf(const KIVMathDirectionf& direction, float& azimuthDegrees, float& elevationDegrees);
  KIVDlgCombo* GetCountCombo() const { return mCount; }
  KIVDlgSpinner* GetAzimuthSpinner(int light) const { return light == 0 || light == 1 ? mAzimuth[light] : nullptr; }
  KIVDlgSpinner* GetElevationSpinner(int light) const { return light == 0 || light == 1 ? mElevation[light] : nullptr; }
  KIVDlgSlider* GetAmbientSlider() const { return mAmbient; }
 private:
  KIV3DViewer* Viewer() const;
  void ShowViewer();
  void Apply();
  KIV3DViewer* mViewer;
  std::weak_ptr<int> mViewerLife;
  KIVLightSourceSet mOpenLights;
  float mOpenAmbient[3] = {0.2f, 0.2f, 0.2f};
  KIVDlgCombo* mCount = nullptr;  // dialog children: the panel deletes them
  KIVDlgSpinner* mAzimuth[2] = {nullptr, nullptr};
  KIVDlgSpinner* mElevation[2] = {nullptr, nullptr};
  KIVDlgSlider* mAmbient = nullptr;
  std::weak_ptr<int> mPopupLife;  // the popup whose Cancel runs CANCEL
};
