#pragma once
// The "Attributes" frame: edits the graphic attributes of a set of reps (transparency,
// show, low-light, high-light, pickability, colour, line thickness and type, object type),
// applying them itself or leaving them to its owner, with an undo ring of 20 steps and the
// bounding sphere of the edited set. Owners embed it in a panel of their own and hear of
// every change through the modify notification.

#include <memory>
#include <vector>

#include "foundation/NavPanelShowNotification.h"
#include "foundation/NavRepChangeNotification.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/scene/KIVGraphicAttributeSet.h"

class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgLabel;
class KIVDlgPushButton;
class KIVDlgSpinner;
class KIVRep;
class NavSimpleColorChooser;

class NavGraphicAttribut : public KIVDlgFrame {
 public:
  static constexpr const char* PanelIdTag = "GraphicAttributEditor";
  static constexpr const char* PanelIdTitle = "Attributes";
  static constexpr const char* NoReferenceTag = "NoReferenceTag";

  static constexpr const char* SwapTranparencyButtonTag = "SwapTranparencyButton";
  static constexpr const char* SwapTranparencyButtonTitle = "Transparent";
  static constexpr const char* SwapShowButtonTag = "SwapShowButton";
  static constexpr const char* SwapShowButtonTitle = "Show";
  static constexpr const char* SwapLowLightButtonTag = "SwapLowLightButton";
  static constexpr const char* SwapLowLightButtonTitle = "Lowlighted";
  static constexpr const char* SwapHighLightButtonTag = "SwapHighLightButton";
  static constexpr const char* SwapHighLightButtonTitle = "Highlighted";
  static constexpr const char* PickFrameTitle = "Pick / No Pick";
  static constexpr const char* PickableButtonTag = "Pickable";
  static constexpr const char* PickableButtonTitle = "Pickable";
  static constexpr const char* EditColorButtonTag = "EditColorButton";
  static constexpr const char* EditColorButtonTitle = "Set Color";
  static constexpr const char* ThicknessLabelTag = "ThicknessLabel";
  static constexpr const char* ThicknessLabelTitle = "Thickness (pixels) :";
  static constexpr const char* ThicknessSpinnerTag = "ThicknessSpinner";
  static constexpr const char* LineTypeLabelTag = "LineTypeLabel";
  static constexpr const char* LineTypeLabelTitle = "Line Type :";
  static constexpr const char* LineTypeComboTag = "LineTypeCombo";
  static constexpr const char* LineTypeTitle[5] = {"Solid   ", "Dotted  ", "Dashed  ", "Dot-Dash", "Phantom "};
  static constexpr const char* NoReferenceFrameTag = "NoReferenceFrame";
  static constexpr const char* GraphicalTypeLabelTag = "GraphicalTypeLabel";
  static constexpr const char* GraphicalTypeLabelTitle = "Object Type :";
  static constexpr const char* GraphicalTypeComboTag = "GraphicalTypeCombo";
  static constexpr const char* GraphicalTypeTitle[4] = {"None  ", "Edge  ", "Skin ", "Volume"};
  static constexpr const char* GraphicUndoButtonTag = "GraphicUndoButton";
  static constexpr const char* GraphicUndoButtonTitle = "Undo";
  /// The bounding sphere labels: title, "Center :", x, y, z, "Radius :", R.
  static constexpr int kBoundLabelCount = 7;
  static constexpr const char* BoundLabelTag[kBoundLabelCount] = {
      "GraphicBoundLabel", "CenterBoundLabel", "CenterXBoundLabel", "CenterYBoundLabel",
      "CenterZBoundLabel", "RadiusBoundLabel", "RadiusRBoundLabel"};
  static constexpr const char* BoundLabelTitle[kBoundLabelCount] = {
      "Englobing sphere :       ", "Center :", " x =       ", " y =       ", " z =       ", "Radius :", " R =       "};
  /// Prepared for a propagation choice that no widget offers.
  static constexpr const char* PropagationTitle[2] = {"with propagation   ", "without propagation"};

  /// Style bits: the widgets present, and the action words' feature bits.
  static constexpr int kColor = 0x8000, kThickness = 0x10000, kObjectType = 0x20000, kTransparency = 0x40000,
                       kShow = 0x80000, kLowLight = 0x100000, kHighLight = 0x200000, kPick = 0x400000,
                       kUndo = 0x800000, kBound = 0x20000000;
  static constexpr int kStyleMask = 0x3F7F8000;
  static constexpr int kDefaultStyle = 0x203C8000;
  /// Action words beyond the style bits: line type and thickness changes.
  static constexpr int kLineTypeAction = 0x1000000, kThicknessAction = 0x2000000;
  /// Application modes (UpdateAttribut): write the attribute sets, call the reps' setters,
  /// or leave the change to the owner (its action word then carries this bit too).
  static constexpr int kModeDirect = 0x4000000, kModeSetter = 0x8000000, kModeOwner = 0x10000000;
  /// The colour value of an action that makes the reps inherit their colour.
  static constexpr int kInheritedColor = -2;
  static constexpr int kUndoDepth = 20;

  /// father receives the notifications; parent holds the frame; style picks the widgets
  /// (none of the bits of kStyleMask: kDefaultStyle).
  NavGraphicAttribut(KIVCommand* father, KIVDialog* parent, int style);
  ~NavGraphicAttribut() override;
  NavGraphicAttribut(const NavGraphicAttribut&) = delete;
  NavGraphicAttribut& operator=(const NavGraphicAttribut&) = delete;

  /// Takes the non-null reps of the array as the edited set, copies the sphere (null or an
  /// empty set: empty), keeps the application mode, clears the undo ring when resetUndo is
  /// 1, and refreshes the panel.
  void UpdateAttribut(int n, KIVRep** reps, KIV3DBoundingSphere* sphere, int mode, int resetUndo);
  /// The last action word (with kModeOwner in owner mode) and its value.
  void GetLastAction(int& action, int& value) const;
  /// Sent to the father after every change and every undo.
  NavRepChangeNotification* GetModifyAttrNotification() { return &mModify; }
  /// Sent to the father when the colour chooser closes.
  NavPanelShowNotification* GetShowColorChoserNotification() { return &mShowColor; }

  /// Shows the first edited rep's attributes (everything insensitive without one).
  void ResetPanel(int);
  /// 1 makes the controls sensitive (when there is a rep to edit), 0 insensitive.
  void UpdateSensitivity(int on);
  /// The "Show" button's change: shows or hides the edited reps, then notifies.
  void Show();
  /// Writes the hidden flag of rep and of every rep below it (on = 1 hides).
  static void Show_Low(KIVRep* rep, int on);
  /// SetShowMode(mode, 0) on rep and on every rep below it.
  static void Show_High(KIVRep* rep, int mode);
  /// The transparent flag of rep and of every rep below it: written with kModeDirect, set
  /// through the rep with kModeSetter.
  static void SetTransparency(KIVRep* rep, int on, int mode);
  /// Applies one action word's change (feature bits as above, the owner bit ignored) to
  /// one rep through its setters; for owners that apply owner-mode actions themselves.
  /// 0 for a null rep or an unknown action.
  static int ApplyAction(KIVRep* rep, int action, int value);

  /// Pushes the edited reps' attribute sets and colour inheritance onto the undo ring.
  void StoreUndo();
  /// Restores the last pushed step (nothing at index -1), refreshes and notifies.
  void Undo();
  /// -1 when there is nothing to undo.
  int GetUndoIndex() const { return mUndoIndex; }

  /// The edited reps (reps destroyed meanwhile are dropped first), their attribute sets
  /// and their colour inheritance modes, with their count in n. The arrays stay valid
  /// until the next call that changes the set.
  KIVRep** GetCurrentRep(int& n);
  KIVGraphicAttributeSet* GetCurrentAttribut(int& n);
  int* GetCurrentColorInheritance(int& n);
  /// The colour last chosen (0, 0, 0, 255 at first), each component 0 to 255.
  void GetRGBColor(int& r, int& g, int& b, int& a) const;
  const KIV3DBoundingSphere& GetBoundingSphere() const { return mSphere; }
  int GetApplyMode() const { return mMode; }

  /// 1 opens the colour chooser on the first rep's colour, 0 closes it.
  void AfficheColorChooser(int show, int, int);
  NavSimpleColorChooser* GetColorChooser() const { return mColorChooser; }

  /// Every widget's callback, and the colour chooser's.
  void ActionCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  struct Edited {
    KIVRep* rep;
    std::weak_ptr<int> life;
  };
  struct UndoEntry {
    KIVRep* rep;
    std::weak_ptr<int> life;
    KIVGraphicAttributeSet set;
    int inheritance;
  };
  void Listen(KIVCommand* sender, KIVNotification* notification);
  void PruneDead();
  /// Applies an action word to the edited set in the current mode, records it and notifies.
  void Apply(int action, int value);
  void ApplyOne(KIVRep* rep, int action, int value) const;
  void Report(int action, int value);
  void ColorChosen();
  void CloseColorChooser(int later);
  void SetCheck(KIVDlgCheckButton* button, int on);

  KIVCommand* mFatherCommand;
  std::weak_ptr<int> mFatherLife;
  std::vector<Edited> mReps;
  std::vector<KIVRep*> mRepArray;                  // handed out by GetCurrentRep
  std::vector<KIVGraphicAttributeSet> mAttrArray;  // handed out by GetCurrentAttribut
  std::vector<int> mInheritArray;                  // handed out by GetCurrentColorInheritance
  KIV3DBoundingSphere mSphere;
  int mMode = kModeSetter;
  int mLastAction = 0, mLastValue = 0;
  std::vector<UndoEntry> mUndo[kUndoDepth];
  int mUndoIndex = -1;
  int mUndoCount = 0;  // steps held, at most kUndoDepth
  int mRGBA[4] = {0, 0, 0, 255};
  int mRefreshing = 0;  // the panel is being filled: its notifications are not edits

  NavSimpleColorChooser* mColorChooser = nullptr;
  std::vector<KIVCallback> mCallbacks;
  std::vector<KIVCallback> mChooserCBs;
  NavRepChangeNotification mModify;
  NavPanelShowNotification mShowColor;

  KIVDlgCheckButton* mTransparent = nullptr;
  KIVDlgCheckButton* mShowButton = nullptr;
  KIVDlgCheckButton* mLowLight = nullptr;
  KIVDlgCheckButton* mHighLight = nullptr;
  KIVDlgCheckButton* mPickable = nullptr;
  KIVDlgCheckButton* mEditColor = nullptr;
  KIVDlgSpinner* mThicknessSpinner = nullptr;
  KIVDlgCombo* mLineType = nullptr;
  KIVDlgCombo* mObjectType = nullptr;
  KIVDlgPushButton* mUndoButton = nullptr;
  KIVDlgLabel* mBoundLabels[kBoundLabelCount] = {};
};
