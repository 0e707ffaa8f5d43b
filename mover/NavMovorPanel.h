#pragma once
// The "Mover Palette": the one window, shared by every mover, through which the user drives
// the current mover with buttons and number fields instead of dragging its handles. A tool
// row (reset, undo, redo, plane handles, next rotation centre, shape kind), a "Translate"
// and a "Rotate" cross of arrow buttons that step along the mover's own axes and speed up
// while held, and an "Edit coordinates" frame for the origin and one chosen direction.
// Without a registered mover everything but the window itself is insensitive.

#include <memory>
#include <vector>

#include "foundation/NavPanelShowNotification.h"
#include "host/dialog/KIVDlgDialog.h"

class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgFrame;
class KIVDlgPushButton;
class KIVDlgSpinner;
class NavMovorObject;

class NavMovorPanel : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "NavMovorPanel";
  static constexpr const char* PanelIdTitle = "Mover Palette";

  // Tool row.
  static constexpr const char* MovorResetPositionButtonTag = "MovorResetPositionButton";
  static constexpr const char* MovorResetPositionButtonTitle = "Reset Position";
  static constexpr const char* MovorResetPositionButtonIconName = "cbmvrese";
  static constexpr const char* MovorUndoPositionButtonTag = "MovorUndoPositionButton";
  static constexpr const char* MovorUndoPositionButtonTitle = "Undo Position";
  static constexpr const char* MovorUndoPositionButtonIconName = "cbundo";
  static constexpr const char* MovorRedoPositionButtonTag = "MovorRedoPositionButton";
  static constexpr const char* MovorRedoPositionButtonTitle = "Redo Position";
  static constexpr const char* MovorRedoPositionButtonIconName = "cbredo";
  static constexpr const char* MovorActivePlanButtonTag = "MovorActivePlanButton";
  static constexpr const char* MovorActivePlanButtonTitle = "Active Plane";
  static constexpr const char* MovorActivePlanButtonIconName = "cbshplan";
  static constexpr const char* MovorRotateNextPointButtonTag = "MovorRotateNextPointButton";
  static constexpr const char* MovorRotateNextPointButtonTitle = "Choose Next Center";
  static constexpr const char* MovorRotateNextPointButtonIconName = "cbrotnxt";
  static constexpr const char* MovorChooseRepComboTag = "MovorChooseRepCombo";
  /// The kind combo's lines: cube, trihedral, sphere.
  static constexpr const char* MovorChooseRepComboLine[3] = {"  Cube   ", "Trihedral", " Sphere  "};

  // The two arrow crosses. Both frames hold an "Object" button at the centre (same tag).
  static constexpr const char* MovorTranslationFrameTag = "MovorTranslationFrame";
  static constexpr const char* MovorTranslationFrameTitle = "Translate";
  static constexpr const char* MovorRotationFrameTag = "MovorRotationFrame";
  static constexpr const char* MovorRotationFrameTitle = "Rotate";
  static constexpr const char* MovorObjectButtonTag = "MovorObjectButton";
  static constexpr const char* MovorObjectButtonTitle = "Object";
  static constexpr const char* MovorObjectButtonIconName = "cbobject";
  /// Index of an arrow in the tables below, for both crosses.
  enum Arrow { ArrowRight, ArrowLeft, ArrowTop, ArrowBottom, ArrowFront, ArrowBack, ArrowCount };
  static constexpr const char* ArrowButtonTitle[ArrowCount] = {"Right", "Left", "Top", "Bottom", "Front", "Back"};
  static constexpr const char* TranslationButtonTag[ArrowCount] = {"MovorRightTransButton", "MovorLeftTransButton",
                                                                   "MovorTopTransButton",   "MovorBottomTransButton",
                                                                   "MovorFrontTransButton", "MovorBackTransButton"};
  static constexpr const char* TranslationButtonIconName[ArrowCount] = {"cbrghtmv", "cbleftmv", "cbupmv",
                                                                        "cbdownmv", "cbfwdmv",  "cbbwdmv"};
  static constexpr const char* RotationButtonTag[ArrowCount] = {"MovorRightRotateButton", "MovorLeftRotateButton",
                                                                "MovorTopRotateButton",   "MovorBottomRotateButton",
                                                                "MovorFrontRotateButton", "MovorBackRotateButton"};
  static constexpr const char* RotationButtonIconName[ArrowCount] = {"cbyawp",   "cbyawn",  "cbpitchn",
                                                                     "cbpitchp", "cbrollp", "cbrolln"};
  static constexpr const char* MovorTransFactSpinnerTag = "MovorTransFactSpinner";
  static constexpr const char* MovorRotateFactSpinnerTag = "MovorRotateFactSpinner";

  // Coordinates. The two rows of editors bear the same tags, each row in its own frame.
  static constexpr const char* MovorEditOrigineFrameTag = "MovorEditOrigineFrame";
  static constexpr const char* MovorEditOrigineFrameTitle = "Edit coordinates";
  static constexpr const char* MovorOrigineRowFrameTag = "MovorOrigineRowFrame";
  static constexpr const char* MovorAxisRowFrameTag = "MovorAxisRowFrame";
  static constexpr const char* MovorOrigineLabelTag = "MovorOrigineLabel";
  static constexpr const char* MovorOrigineLabelTitle = "Origine";
  static constexpr const char* MovorCoordEditorTag[3] = {"MovorCoordXEditor", "MovorCoordYEditor", "MovorCoordZEditor"};
  static constexpr const char* MovorChooseAxeComboTag = "MovorChooseAxeCombo";
  static constexpr const char* MovorChooseAxeComboLine[3] = {"Axis X", "Axis Y", "Axis Z"};

  /// father receives the show and close notifications; parent is the dialog parent.
  NavMovorPanel(KIVCommand* father, KIVDialog* parent);
  ~NavMovorPanel() override;
  NavMovorPanel(const NavMovorPanel&) = delete;
  NavMovorPanel& operator=(const NavMovorPanel&) = delete;

  /// Registers the mover the palette drives (null: none) and makes the palette sensitive
  /// or not accordingly.
  void SetCurrentMovorObject(NavMovorObject* mover);
  /// The registered mover; null when none or when it has been destroyed since.
  NavMovorObject* GetRegisterMovor() const { return Mover(); }
  /// 1 shows, refreshes and tells the father; 0 tells the father it closes and hides;
  /// other values are ignored.
  void AffichePanel(int show);
  /// 1 while the window is not shown.
  int GetPaletteStatusHide() const;
  NavPanelShowNotification* GetWindShowNotification() { return &mShow; }
  /// 0 suspends the refreshes (a mover giving the token away); a change to 1 refreshes.
  void ActivateUpdate(int on);
  int GetActivateUpdate() const { return mActiveUpdate; }
  /// Shows the registered mover: title, undo/redo, plane, kind, coordinates. Only while a
  /// mover is registered, the refreshes are active and the window is shown.
  void UpdatePalette();
  /// Shows the mover's origin and the chosen direction (zeros without a mover).
  void UpdatePaletteCoordonneEdit();
  /// Range, step count and format of a spinner after the magnitude of value: decimals 0 to
  /// 4 forces that many at most, -1 leaves them to the magnitude. setValue 1 also sets the
  /// value (without notification). Returns 0, changing nothing, for a null spinner or a
  /// value or bound that is not finite.
  static int FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue, int decimals);
  /// The multiplier that the held arrow buttons have reached.
  int GetRepeatFactor() const;

  void ToolsBarreCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void TranslationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void RotationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void CoordonneEditCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  template <class W>
  W* Make(KIVDialog* parent, const char* tag, const char* title, const char* icon, int row, int column,
          int columnSpan = 1);
  void Listen(KIVCommand* sender, KIVNotification* notification,
              void (NavMovorPanel::*method)(KIVCommand*, KIVNotification*, void*));
  KIVDlgFrame* MakeCross(int column, const char* tag, const char* title, const char* const* tags,
                         const char* const* icons, KIVDlgPushButton** buttons, KIVDlgSpinner*& step,
                         const char* stepTag, float value, float max,
                         void (NavMovorPanel::*method)(KIVCommand*, KIVNotification*, void*));
  /// The arrow a button is among `buttons`, -1 when none; counts the repeats of a hold.
  int ArrowOf(KIVCommand* sender, KIVNotification* notification, KIVDlgPushButton* const* buttons);
  void SetSensitive(int on);
  /// The registered mover while it lives.
  NavMovorObject* Mover() const;
  int ChosenAxis() const;

  KIVCommand* mFatherCommand;
  std::weak_ptr<int> mFatherLife;
  std::unique_ptr<KIVCommand> mRelay;  // receives the window's own notifications (its close box)
  NavPanelShowNotification mShow;
  NavMovorObject* mMover = nullptr;
  std::weak_ptr<int> mMoverLife;
  int mRepeat = 0;
  int mActiveUpdate = 1;
  float mCoordinateBound = 1.0e8f;
  std::vector<KIVCallback> mCallbacks;

  KIVDlgPushButton* mReset = nullptr;
  KIVDlgPushButton* mUndo = nullptr;
  KIVDlgPushButton* mRedo = nullptr;
  KIVDlgCheckButton* mPlane = nullptr;
  KIVDlgPushButton* mNextCenter = nullptr;
  KIVDlgCombo* mKind = nullptr;
  KIVDlgFrame* mTranslationFrame = nullptr;
  KIVDlgFrame* mRotationFrame = nullptr;
  KIVDlgFrame* mEditFrame = nullptr;
  KIVDlgPushButton* mTranslation[ArrowCount] = {};
  KIVDlgPushButton* mRotation[ArrowCount] = {};
  KIVDlgSpinner* mTranslationStep = nullptr;
  KIVDlgSpinner* mRotationStep = nullptr;
  KIVDlgSpinner* mOrigine[3] = {};
  KIVDlgCombo* mAxis = nullptr;
  KIVDlgSpinner* mDirection[3] = {};
};
