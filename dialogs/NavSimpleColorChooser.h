#pragma once
// The "Color Chooser" dialog: six basic colours and "None", three sliders in the RGB or
// HLS system, a colour-map index, previews of the new and the previous colour, and four
// line thicknesses. Which parts exist is the option word's choice. Every change is
// reported with one NavColorModifyNotification (in Apply mode only when "Apply" is pressed).

#include <memory>

#include "foundation/NavColorModifyNotification.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/view/KIVColorMap.h"

class KIVDlgFrame;
class KIVDlgLabel;
class KIVDlgRadioButton;
class KIVDlgSlider;
class KIVDlgSpinner;
class KIVViewer;
class KIV2DViewpoint;

class NavSimpleColorChooser : public KIVDlgDialog {
 public:
  /// Option bits.
  static constexpr int kOkCancel = 1, kPreview = 2, kThickness = 4, kFineDefine = 8, kBasic = 16, kNone = 32,
                       kIndexEditor = 128, kApplyMode = 256;
  static constexpr int kNoColor = -2;  ///< the "None" entry of the basic table

  static const char* PanelIdTag;
  static const char* PanelIdTitle;

  NavSimpleColorChooser(KIVDialog* parent, int options);
  ~NavSimpleColorChooser() override;

  NavColorModifyNotification* ColorModifyNotification() { return &mModify; }
  /// Where reports go; null (the default) sends them to the receiver (the parent).
  void SetFatherCommand(KIVCommand* father) { mFatherCommand = father; }
  /// The colours that indices address; null restores the default map.
  void SetColorMap(const KIVColorMap* map);

  void SetColorIndex(int index);
  int GetColorIndex(int useBasic) const;
  void SetColor(const float c1, const float c2, const float c3, const float alpha, int system, int switchSystem);
  void GetColor(float& c1, float& c2, float& c3, float& alpha, int system) const;
  void SetThickMode(int mode, int notify);
  void SetThickValue(const int* four);
  int GetThickCurrent() const;
  int GetThickMode() const { return mThickMode; }
  int GetBasicIndex() const { return mBasic; }
  int GetColorSystem() const { return mSystem; }
  int GetOptions() const { return mOptions; }
  /// 2 shows (saving the colour in OK/Cancel mode), 4 hides.
  void SetVisibility(unsigned long visibility);
  void UpdatePalette(int basic, int thick, int system, int index);
  void DumpColor() const;
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  KIVViewer* GetViewer(int which) const { return which == 0 ? mViewerOld : mViewerNew; }

  /// Conversions between the two systems, every value in [0, 1] (inputs are clamped).
  /// Null outputs are skipped.
  static void RGB_to_HLS(float r, float g, float b, float* h, float* l, float* s);
  static void HLS_to_RGB(float h, float l, float s, float* r, float* g, float* b);
  static float ColMax(float a, float b, float c);
  static float ColMin(float a, float b, float c);

  /// Basic colour table: White, Black, Red, Green, Blue, Yellow, None.
  static const int saBasicColor[7];

 private:
  void Report();
  void Refresh();
  void RefreshPreview();
  void ReadSliders();
  void DialogButton(KIVNotification* notification);
  int NearestIndex() const;
  void Save();
  void Restore();

  NavColorModifyNotification mModify;
  KIVDialog* mReceiver;
  KIVCommand* mFatherCommand = nullptr;
  std::unique_ptr<KIVCommand> mRelay;
  const KIVColorMap* mMap = nullptr;
  int mOptions;

  KIVDlgRadioButton* mSystemButtons[2] = {nullptr, nullptr};  // RGB, HLS
  KIVViewer* mViewerOld = nullptr;
  KIVViewer* mViewerNew = nullptr;
  KIV2DViewpoint* mViewpoints[2] = {nullptr, nullptr};
  KIVDlgFrame* mSliderFrame = nullptr;
  KIVDlgLabel* mLabels[3] = {nullptr, nullptr, nullptr};
  KIVDlgSlider* mSliders[3] = {nullptr, nullptr, nullptr};
  KIVDlgRadioButton* mBasicButtons[7] = {};
  KIVDlgSpinner* mIndexEditor = nullptr;
  KIVDlgRadioButton* mThickButtons[4] = {};
  int mRefreshing = 0;

  int mSystem = 1, mSavedSystem = 1;
  int mColorIndex = -1, mSavedColorIndex = -1;
  int mBasic = -1, mSavedBasic = -1;
  int mThick[4] = {1, 2, 4, 6};
  int mThickMode = -1, mSavedThickMode = -1;
  float mR = 0.0f, mG = 0.0f, mB = 0.0f;
  float mH = 0.0f, mL = 0.0f, mS = 0.0f;
  float mAlpha = 1.0f;
  float mSavedR = 0.0f, mSavedG = 0.0f, mSavedB = 0.0f, mSavedAlpha = 1.0f;
};
