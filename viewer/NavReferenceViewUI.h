#pragma once
// The "View Settings" dialog of an extended viewer: the ground reference plane, gravity,
// collision checking when moving forward and the background colour. Every widget applies
// its value to the viewer at once; Cancel gives the viewer back what it had when the
// dialog opened.
#include <memory>
#include <vector>

#include "foundation/NavReferenceViewSetting.h"
#include "host/dialog/KIVDlgDialog.h"

class KIVDlgCheckButton;
class KIVDlgRadioButton;
class KIVDlgSlider;
class KIVDlgSpinner;
class NavSimpleColorChooser;
class NavViewerExtand;

class NavReferenceViewUI : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "ViewSettingPanel";
  static constexpr const char* PanelIdTitle = "View Settings";
  /// Frame bits of the constructor's mask.
  static constexpr int kReferenceFrame = 1, kGravityFrame = 2, kBackgroundFrame = 4, kCollisionFrame = 8;
  static constexpr const char* RefFrameTag = "RefFrame";
  static constexpr const char* RefFrameTitle = "Reference";
  static constexpr const char* PlaneTag[3] = {"XYPlane", "XZPlane", "YZPlane"};
  static constexpr const char* PlaneTitle[3] = {"X-Y Plane", "X-Z Plane", "Y-Z Plane"};
  static constexpr int PlaneBit[3] = {1, 2, 8};
  static constexpr int kReverseBit = 16;
  static constexpr const char* ReverseTag = "ReversePlaneButton";
  static constexpr const char* ReverseTitle = "Reverse";
  static constexpr const char* GravityFrameTag = "GravityFrame";
  static constexpr const char* GravityFrameTitle = "Gravity";
  static constexpr const char* GravityTag[3] = {"NoGravity", "OneGravity", "TwoGravity"};
  static constexpr const char* GravityTitle[3] = {"None", "Down", "Up or Down"};
  static constexpr const char* CollisionFrameTag = "CollisionFrame";
  static constexpr const char* CollisionFrameTitle = "Collision when Forward";
  static constexpr const char* CollisionButtonTag = "CollisionButton";
  static constexpr const char* CollisionButtonTitle = "Check Collision";
  static constexpr const char* CollisionEditorTag = "CollisionEditor";
  static constexpr float kCollisionMin = 0.1f, kCollisionMax = 10000.0f;
  static constexpr const char* BkgFrameTag = "BkgFrame";
  static constexpr const char* BkgFrameTitle = "Background Color";
  static constexpr const char* BkgIntensTag = "BkgIntens";
  static constexpr const char* BkgIntensTitle = "Intensity";
  static constexpr const char* BkgColorTag = "BkgColor";
  static constexpr const char* BkgColorTitle = "Color Chooser";
  static constexpr const char* BkgColorIconName = "cbcolbas";
  static constexpr const char* BkgSliderTag = "BkgIntensSlider";

  NavReferenceViewUI(NavViewerExtand* viewer, int frames);
  ~NavReferenceViewUI() override;

  /// The setting the widgets show (fields of absent frames undefined).
  NavReferenceViewSetting GetCurrentSetting() const;
  /// Shows the defined fields of s.
  void SetCurrentSetting(const NavReferenceViewSetting& s);
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);

  int GetFrames() const { return mFrames; }
  const NavReferenceViewSetting& GetOpeningSetting() const { return mOpening; }
  KIVDlgRadioButton* GetPlaneButton(int index) const { return index >= 0 && index < 3 ? mPlanes[index] : nullptr; }
  KIVDlgCheckButton* GetReverseButton() const { return mReverse; }
  KIVDlgRadioButton* GetGravityButton(int g) const { return g >= 0 && g < 3 ? mGravity[g] : nullptr; }
  KIVDlgCheckButton* GetCollisionButton() const { return mCollision; }
  KIVDlgSpinner* GetCollisionEditor() const { return mCollisionEditor; }
  KIVDlgCheckButton* GetColorButton() const { return mColorButton; }
  KIVDlgSlider* GetIntensitySlider() const { return mIntensity; }
  NavSimpleColorChooser* GetColorChooser() const { return mChooser; }

 private:
  NavViewerExtand* Viewer() const;
  void Listen(KIVCommand* sender, KIVNotification* notification);
  void Apply(const NavReferenceViewSetting& s);
  void ApplyBackground(float r, float g, float b);
  void OpenColorChooser();
  /// later = 1 from the chooser's own callback: destroyed after it returns.
  void CloseColorChooser(int later);
  void Close(int restore);

  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  int mFrames;
  std::unique_ptr<KIVCommand> mRelay;  // stands in as father so that the dialog hears its own buttons
  NavReferenceViewSetting mOpening;
  NavSimpleColorChooser* mChooser = nullptr;
  KIVDlgRadioButton* mPlanes[3] = {};
  KIVDlgCheckButton* mReverse = nullptr;
  KIVDlgRadioButton* mGravity[3] = {};
  KIVDlgCheckButton* mCollision = nullptr;
  KIVDlgSpinner* mCollisionEditor = nullptr;
  KIVDlgCheckButton* mColorButton = nullptr;
  KIVDlgSlider* mIntensity = nullptr;
  std::vector<KIVCallback> mCallbacks;
  std::vector<KIVCallback> mChooserCBs;
  int mShowing = 0;  // widgets set by the program are not applied back
};
