#pragma once
// The "Check Distance" dialog of an extended viewer: the user picks a first and a second
// point on the displayed objects (or types their coordinates), reads and edits the
// distance between them, nudges either point along the measuring line, asks for the
// minimal distance between the picked elements or models (or along the horizontal or the
// vertical of a section), keeps a copy of the measurement as an annotation and reframes
// the view on it. The measurement is one gauge in the viewer's tempory root; picks go
// through an indicator that the point buttons make the viewer's foreground indicator.
#include <memory>
#include <vector>

#include "foundation/NavDistanceSetting.h"
#include "foundation/NavPanelShowNotification.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/pick/KIVPickPath.h"

class KIV3DIndicator;
class KIVDlgCheckButton;
class KIVDlgFrame;
class KIVDlgLabel;
class KIVDlgPushButton;
class KIVDlgSpinner;
class KIVNavMarker3DGageRep;
class NavSimpleColorChooser;
class NavViewerExtand;

class NavDistanceViewerUI : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "NavDistanceUI";
  static constexpr const char* PanelIdTitle = "Check Distance";

  static constexpr const char* DistanceFrameTag = "DistanceFrame";
  static constexpr const char* DistanceFrameTitle = "Distance";
  static constexpr const char* PickButtonTag = "PickButton";
  static constexpr const char* PickButtonTitle = "Select";
  static constexpr const char* PickButtonIconName = "cbpick";
  static constexpr const char* AnnotationButtonTag = "AnnotationPaletTextButton";
  static constexpr const char* AnnotationButtonTitle = "Annotation";
  static constexpr const char* AnnotationButtonIconName = "cbtext";
  static constexpr const char* ReframeButtonTag = "ReframeDistanceButton";
  static constexpr const char* ReframeButtonTitle = "Reframe";
  static constexpr const char* ReframeButtonIconName = "cbrefram";
  static constexpr const char* DistanceEditorTag = "DistanceEditor";
  static constexpr const char* DistMiniButtonTag = "DistMiniButton";
  static constexpr const char* DistMiniButtonTitle = "Minimal";
  static constexpr const char* DistInfoLabelTag = "DistInfoLabel";
  static constexpr const char* DistMiniHoriButtonTag = "DistMiniHoriButton";
  static constexpr const char* DistMiniHoriButtonTitle = "Horizontal";
  static constexpr const char* DistMiniVertButtonTag = "DistMiniVertButton";
  static constexpr const char* DistMiniVertButtonTitle = "Vertical";
  /// The label's texts: the three element modes, then a directional request without answer.
  static constexpr const char* ElementModeTitle[3] = {"Point / Point", "Element / Element", "Model / Model"};
  static constexpr const char* ImpossibleTitle = "Impossible.";

  static constexpr const char* PointPosFrameTag = "PointPosFrame";
  static constexpr const char* PointPosFrameTitle = "Choose Point";
  /// Both points have a "Less" and a "More" button bearing the same tags.
  static constexpr const char* PointLessButtonTag = "PointLessButton";
  static constexpr const char* PointLessButtonTitle = "Less";
  static constexpr const char* PointLessButtonIconName = "cbless";
  static constexpr const char* PointMoreButtonTag = "PointMoreButton";
  static constexpr const char* PointMoreButtonTitle = "More";
  static constexpr const char* PointMoreButtonIconName = "cbmore";
  static constexpr const char* PointSetTag[2] = {"Point1Set", "Point2Set"};
  static constexpr const char* PointSetTitle[2] = {"First Point", "Second Point"};
  static constexpr const char* PointSetIconName[2] = {"cbptgree", "cbptyell"};
  static constexpr const char* PointEditorTag[2][3] = {{"Point1XEditor", "Point1YEditor", "Point1ZEditor"},
                                                       {"Point2XEditor", "Point2YEditor", "Point2ZEditor"}};

  static constexpr const char* SettingGageFrameTag = "SettingGageFrame";
  static constexpr const char* SettingGageFrameTitle = "Setting";
  static constexpr const char* ColorGageTag = "ColorGage";
  static constexpr const char* ColorGageTitle = "Color";
  static constexpr const char* ColorGageIconName = "cbcolor";
  static constexpr const char* ShowTextTag = "GageNoShowText";
  static constexpr const char* ShowTextTitle = "Show Text";
  static constexpr const char* WidthLabelTag = "GageWidthLabel";
  static constexpr const char* WidthLabelTitle = "Width";
  static constexpr const char* WidthValueTag = "GageWitdthValue";

  static constexpr const char* GaugeName = "Distance";
  static constexpr const char* IndicatorName = "Distance3DIndicator";

  /// Builds the widgets, puts a hidden, unpickable gauge in the viewer's tempory root and
  /// makes the picking indicator. The dialog starts hidden. A null viewer makes a dialog
  /// whose scene operations do nothing.
  explicit NavDistanceViewerUI(NavViewerExtand* viewer);
  ~NavDistanceViewerUI() override;
  NavDistanceViewerUI(const NavDistanceViewerUI&) = delete;
  NavDistanceViewerUI& operator=(const NavDistanceViewerUI&) = delete;

  /// 2 shows the window and the gauge, listens to the indicator and to the viewer's
  /// foreground changes and tells the viewer; 4 closes the colour chooser, leaves picking,
  /// tells the viewer that the window closes and hides window and gauge. Other values are
  /// ignored.
  void SetVisibility(unsigned long visibility);
  NavPanelShowNotification* GetWindShowNotification() { return &mShow; }
  /// Shows the gauge's points, distance and look in the widgets; only while shown.
  void UpdatePalette();
  /// Every widget notification, the colour chooser's and the window's close.
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// Begin, drag and end of a press on the indicator: the gauge follows the pick.
  void MouseMoveCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// The viewer's foreground indicator changed: the point buttons follow it.
  void ForegroundIndicatorChangeCB(const char* event, void* publisher, KIVNotification* notification, void* data,
                                   long id);
  /// Takes the path as the pick of the current point (the first for 1, else the second)
  /// and moves that point to its intersection. A null path is refused.
  void SetGraphicPicking(KIVPickPath* path);
  /// Moves the first (which 1) or second point; refresh 1 also refreshes the palette. A
  /// point that is not finite is refused (0); 1 when moved.
  int SetPointCoordonne(KIVMathPointf& p, int which, int refresh);
  /// Applies the defined fields (colour, show text, width) to the gauge and refreshes.
  void SetCurrentSetting(const NavDistanceSetting& setting);
  void GetCurrentSetting(NavDistanceSetting& setting) const { setting = mSetting; }
  /// Decimals, range and step count after the magnitude of the value; see NavSpinnerFormat.
  static int FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue);

  KIVNavMarker3DGageRep* GetGaugeRep() const { return mGauge; }
  KIV3DIndicator* GetIndicator() const { return mIndicator.get(); }
  NavSimpleColorChooser* GetColorChooser() const { return mColorChooser; }
  /// 0 "Point / Point", 1 "Element / Element", 2 "Model / Model".
  int GetElementMode() const { return mElementMode; }
  /// Bit 0: the first point was picked on the scene, bit 1: the second.
  int GetPickedFlags() const { return mPicked; }
  /// 0 none, 1 first, 2 second: the point that the next pick sets.
  int GetCurrentPoint() const { return mCurrentPoint; }
  const KIVPickPath& GetPick(int which) const { return which == 1 ? mFirstPick : mSecondPick; }

  // The widgets, for the host's layout and for scripts (null when not built).
  KIVDlgCheckButton* GetPickButton() const { return mPickButton; }
  KIVDlgPushButton* GetAnnotationButton() const { return mAnnotationButton; }
  KIVDlgPushButton* GetReframeButton() const { return mReframeButton; }
  KIVDlgSpinner* GetDistanceEditor() const { return mDistanceEditor; }
  KIVDlgPushButton* GetMinimalButton(int kind) const { return kind >= 0 && kind < 3 ? mMinimal[kind] : nullptr; }
  KIVDlgLabel* GetInfoLabel() const { return mInfoLabel; }
  KIVDlgFrame* GetPointFrame() const { return mPointFrame; }
  /// which 1 or 2.
  KIVDlgPushButton* GetLessButton(int which) const { return Point(which) ? mLess[which - 1] : nullptr; }
  KIVDlgPushButton* GetMoreButton(int which) const { return Point(which) ? mMore[which - 1] : nullptr; }
  KIVDlgCheckButton* GetPointButton(int which) const { return Point(which) ? mPointSet[which - 1] : nullptr; }
  KIVDlgSpinner* GetPointEditor(int which, int axis) const {
    return Point(which) && axis >= 0 && axis < 3 ? mPointEditor[which - 1][axis] : nullptr;
  }
  KIVDlgCheckButton* GetColorButton() const { return mColorButton; }
  KIVDlgCheckButton* GetShowTextButton() const { return mShowTextButton; }
  KIVDlgSpinner* GetWidthEditor() const { return mWidthEditor; }

 private:
  /// Kinds of minimal distance request.
  enum Minimal { kMinimal = 0, kHorizontal = 1, kVertical = 2 };
  static bool Point(int which) { return which == 1 || which == 2; }
  /// The viewer while it lives.
  NavViewerExtand* Viewer() const;
  void Listen(KIVCommand* sender, KIVNotification* notification);
  void SetLabel(const char* text);
  /// Leaves point picking: no current point, the indicator off the viewer, the point
  /// buttons cleared.
  void StopPicking();
  void PointButtonChanged(int which);
  /// Back to measuring between points: the picks no longer stand for the points.
  void ForgetPicks();
  /// Moves the first (which 1) or second point so that the distance becomes d along the
  /// current line; 0 when the points coincide (no line) or d is not finite.
  int SetDistance(float d, int which);
  /// 1 when the pick's leaf and the leaf's parent still lie under the viewer's scene root.
  bool InScene(const KIVPickPath& pick) const;
  void ComputeMinimal(int kind);
  void OpenColorChooser();
  /// Closes the chooser: destroyed at once, or later when called from its own callback.
  void CloseColorChooser(int later);
  void Annotate();
  void Reframe();

  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  std::unique_ptr<KIVCommand> mRelay;  // stands in as the window's father, so it hears its close box first
  NavSimpleColorChooser* mColorChooser = nullptr;
  std::vector<KIVCallback> mChooserCBs;
  KIVNavMarker3DGageRep* mGauge = nullptr;
  std::weak_ptr<int> mGaugeLife;
  int mElementMode = 0;
  NavDistanceSetting mSetting;
  NavPanelShowNotification mShow;
  int mPicked = 0;
  int mCurrentPoint = 0;
  std::unique_ptr<KIV3DIndicator> mIndicator;
  std::vector<KIVCallback> mIndicatorCBs;
  KIVCallback mForegroundCB = 0;
  float mCoordinateBound = 10000000.0f;
  int mDragging = 0;   // a press on the indicator is under way
  int mDragFound = -1; // 1 once that press has met the scene
  KIVPickPath mFirstPick, mSecondPick, mDragPick;
  std::vector<KIVCallback> mCallbacks;

  KIVDlgCheckButton* mPickButton = nullptr;
  KIVDlgPushButton* mAnnotationButton = nullptr;
  KIVDlgPushButton* mReframeButton = nullptr;
  KIVDlgSpinner* mDistanceEditor = nullptr;
  KIVDlgPushButton* mMinimal[3] = {};
  KIVDlgLabel* mInfoLabel = nullptr;
  KIVDlgFrame* mPointFrame = nullptr;
  KIVDlgPushButton* mLess[2] = {};
  KIVDlgPushButton* mMore[2] = {};
  KIVDlgCheckButton* mPointSet[2] = {};
  KIVDlgSpinner* mPointEditor[2][3] = {};
  KIVDlgCheckButton* mColorButton = nullptr;
  KIVDlgCheckButton* mShowTextButton = nullptr;
  KIVDlgSpinner* mWidthEditor = nullptr;
};
