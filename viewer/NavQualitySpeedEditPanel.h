#pragma once
// The "Quality & Speed" dialog of an extended viewer: level-of-detail use, the view-mode
// boxes, and the sag and pixel-culling precisions for a still and a moving view, with
// presets that tie the pixel values to the sag values. Values reach the viewer on Apply;
// Cancel gives the viewer back what it had when the dialog opened.
#include <memory>
#include <vector>

#include "foundation/NavQualitySpeedSetting.h"
#include "host/dialog/KIVDlgDialog.h"

class KIVDlgCheckButton;
class KIVDlgFrame;
class KIVDlgRadioButton;
class KIVDlgSlider;
class KIVDlgTabContainer;
class KIVDlgTabPage;
class NavViewerExtand;

class NavQualitySpeedEditPanel : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "QualityAndSpeedPanel";
  static constexpr const char* PanelIdTitle = "Quality & Speed";
  static constexpr const char* GraphicFrameTag = "ViewerGraphicSetting";
  static constexpr const char* GraphicFrameTitle = "Define Graphic Setting";
  /// The view-mode boxes: "Use LOD", texture, edge, then the newer release's five.
  static constexpr int kBoxCount = 8;
  static constexpr const char* BoxTag[kBoxCount] = {"ViewerLODButton", "ViewerTextureButton", "ViewerEdgeButton",
                                                    "OclusionVisuButton", "MeshVisuButton", "OutlineVisuButton",
                                                    "HLRVisuButton", "HRDVisuButton"};
  static constexpr const char* BoxTitle[kBoxCount] = {"Use LOD", "Display Texture", "Display Edge", "Oclusion",
                                                      "Mesh", "Outline", "HLR", "HRD"};
  static constexpr int BoxBit[kBoxCount] = {1, 4, 2, 128, 8, 16, 32, 64};
  static constexpr const char* TabTag = "NoReferenceTag";
  static constexpr const char* LodPageTag = "QualityLODPage";
  static constexpr const char* LodPageTitle = "Level of Detail";
  static constexpr const char* PixelPageTag = "QualityPixelPage";
  static constexpr const char* PixelPageTitle = "Size of Pixel";
  static constexpr const char* StaticLabelTag = "LodStaticLab";
  static constexpr const char* StaticLabelTitle = "Static";
  static constexpr const char* DynamicLabelTag = "LodDynamicLab";
  static constexpr const char* DynamicLabelTitle = "Dynamic";
  static constexpr const char* SagStaticTag = "LodStaticSlider";
  static constexpr const char* SagDynamicTag = "LodDynamicSlider";
  static constexpr const char* PixelStaticTag = "PixelStaticLab";
  static constexpr const char* PixelDynamicTag = "PixelDynamicLab";
  static constexpr float kSagMin = 0.1f, kSagMax = 40.0f, kSagSteps = 400.0f;
  static constexpr float kPixelMin = 0.0f, kPixelMax = 100.0f, kPixelSteps = 1000.0f;
  static constexpr const char* RuleFrameTag = "PreSetFrame";
  static constexpr const char* RuleFrameTitle = "Rules";
  /// The presets, in the order of the Rule enumeration.
  enum Rule { RuleMechanical, RuleAEC, RuleHigh, RuleUser, RuleCount };
  static constexpr const char* RuleTag[RuleCount] = {"MecaPreSetButton", "AECPreSetButton", "HighPreSetButton",
                                                     "UserPreSetButton"};
  static constexpr const char* RuleTitle[RuleCount] = {"Mechanical", "AEC", "High Precision", "User Define"};

  explicit NavQualitySpeedEditPanel(NavViewerExtand* viewer);
  ~NavQualitySpeedEditPanel() override;

  /// The four slider values and the bits of the checked boxes.
  NavQualitySpeedSetting GetCurrentSetting() const;
  /// Shows the defined fields of s (sliders, and the boxes when the mode bits are given).
  void SetCurrentSetting(NavQualitySpeedSetting& s);
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);

  /// The setting of the viewer when the dialog opened.
  const NavQualitySpeedSetting& GetOpeningSetting() const { return mOpening; }
  /// The preset checked now.
  Rule GetRule() const;
  KIVDlgCheckButton* GetBox(int index) const { return index >= 0 && index < kBoxCount ? mBoxes[index] : nullptr; }
  KIVDlgRadioButton* GetRuleButton(Rule rule) const { return mRules[rule]; }
  /// Sag sliders (pixel = 0) or pixel sliders (1); still (0) or moving (1).
  KIVDlgSlider* GetSlider(int pixel, int moving) const { return mSliders[pixel ? 1 : 0][moving ? 1 : 0]; }
  KIVDlgTabContainer* GetTabs() const { return mTabs; }
  KIVDlgTabPage* GetPage(int pixel) const { return mPages[pixel ? 1 : 0]; }

 private:
  NavViewerExtand* Viewer() const;
  void ApplyRule();
  void Listen(KIVCommand* sender, KIVNotification* notification);
  void Close(int restore);

  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  std::unique_ptr<KIVCommand> mRelay;  // stands in as father so that the dialog hears its own buttons
  NavQualitySpeedSetting mOpening;
  KIVDlgCheckButton* mBoxes[kBoxCount] = {};
  KIVDlgTabContainer* mTabs = nullptr;
  KIVDlgTabPage* mPages[2] = {};
  KIVDlgSlider* mSliders[2][2] = {};
  KIVDlgRadioButton* mRules[RuleCount] = {};
  std::vector<KIVCallback> mCallbacks;
  int mApplyingRule = 0;
};
