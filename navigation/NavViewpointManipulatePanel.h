#pragma once
// The "Viewpoint Palette": the dialog through which the user drives the current viewpoint
// object with buttons and number fields: steps along and about the camera's own axes that
// speed up while a button is held, standard views, exact eye and target coordinates,
// viewing distance and view angle, and the object's switches. It follows the object's
// state and its camera, and keeps its own steps and switches in a NavPaletteViewerSetting.

#include <memory>
#include <vector>

#include "foundation/NavPaletteViewerSetting.h"
#include "foundation/NavPanelShowNotification.h"
#include "host/dialog/KIVDlgDialog.h"

class KIVDlgCheckButton;
class KIVDlgCheckItem;
class KIVDlgFrame;
class KIVDlgPushButton;
class KIVDlgSpinner;
class NavSimpleViewer3DSetting;
class NavViewerExtand;
class NavViewpointManipulate;

class NavViewpointManipulatePanel : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "NavViewpointPanel";
  static constexpr const char* PanelIdTitle = "Viewpoint Palette";
  static constexpr const char* NoReferenceTag = "NoReferenceTag";

  static constexpr const char* ViewpointInteractifButtonTag = "ViewpointInteractifButton";
  static constexpr const char* ViewpointInteractifButtonTitle = "Interactif";
  static constexpr const char* OpenViewerButtonTag = "OpenViewerButton";
  static constexpr const char* OpenViewerButtonTitle = "Open Viewer";
  static constexpr const char* OpenViewerButtonIconName = "cbviewer";

  static constexpr const char* TranslationFrameTag = "TranslationFrame";
  static constexpr const char* TranslationFrameTitle = "Translate";
  static constexpr const char* ChangeViewButtonTag = "ChangeViewButton";
  static constexpr const char* ChangeViewButtonTitle = "Standard View";
  static constexpr const char* ChangeViewButtonIconName = "cbchgvue";
  static constexpr const char* TranslationFactSpinnerTag = "TranslationFactSpinner";

  static constexpr const char* RotationFrameTag = "RotationFrame";
  static constexpr const char* RotationFrameTitle = "Rotate";
  static constexpr const char* TargetFixeButtonTag = "TargetFixeButton";
  static constexpr const char* TargetFixeButtonTitle = "Fixe Target";
  static constexpr const char* TargetFixeButtonIconName = "cbeye";
  static constexpr const char* TargetFixeButtonSetIconName = "cbtargmv";
  static constexpr const char* AnimateContextTag = "AnimateContext";
  static constexpr const char* AnimateContextTitle = "Animate";
  static constexpr const char* RotateFactSpinnerTag = "RotateFactSpinner";

  /// Index of a step button in the tables below, for both frames.
  enum Arrow { ArrowLeft, ArrowRight, ArrowTop, ArrowBottom, ArrowFront, ArrowBack, ArrowCount };
  static constexpr const char* ArrowButtonTitle[ArrowCount] = {"Left", "Right", "Top", "Bottom", "Front", "Back"};
  static constexpr const char* TranslationButtonTag[ArrowCount] = {
      "LeftTranslationButton",   "RightTranslationButton", "TopTranslationButton",
      "BottomTranslationButton", "FrontTranslationButton", "BackTranslationButton"};
  static constexpr const char* TranslationButtonIconName[ArrowCount] = {"cbleftmv", "cbrghtmv", "cbupmv",
                                                                        "cbdownmv", "cbfwdmv",  "cbbwdmv"};
  static constexpr const char* RotationButtonTag[ArrowCount] = {"LeftRotateButton",   "RightRotateButton",
                                                                "TopRotateButton",    "BottomRotateButton",
                                                                "FrontRotateButton",  "BackRotateButton"};
  static constexpr const char* RotationButtonIconName[ArrowCount] = {"cbyawn",   "cbyawp",  "cbpitchn",
                                                                     "cbpitchp", "cbrollp", "cbrolln"};
  /// View code of each translation button while "Standard View" is set.
  static constexpr int kStandardViewCode[ArrowCount] = {3, 4, 5, 6, 2, 1};

  static constexpr const char* EyePositionLabelTag = "EyePositionLabel";
  static constexpr const char* EyePositionLabelTitle = "Eye";
  static constexpr const char* TargetPositionLabelTag = "TargetPositionLabel";
  static constexpr const char* TargetPositionLabelTitle = "Target";
  static constexpr const char* TargetDistButtonTag = "TargetDistButton";
  static constexpr const char* TargetDistButtonTitle = "Viewing Distance";
  static constexpr const char* ViewAngleLabelTag = "ViewAngleLabel";
  static constexpr const char* ViewAngleLabelTitle = "View Angle";
  static constexpr const char* EyeSpinnerTag[3] = {"EyeXSpinner", "EyeYSpinner", "EyeZSpinner"};
  static constexpr const char* TargetSpinnerTag[3] = {"TargetXSpinner", "TargetYSpinner", "TargetZSpinner"};
  static constexpr const char* TargetDistSpinnerTag = "TargetDistSpinner";
  static constexpr const char* ViewAngleSpinnerTag = "ViewAngleSpinner";

  static constexpr float kAngleMin = 2.0f, kAngleMax = 90.0f, kDistanceMin = 0.1f, kStepMin = 0.1f,
                         kTranslationMax = 1.0e6f, kRotationMax = 180.0f;

  /// parent receives the show and close notifications; dialogParent holds the window;
  /// viewer gives the reference axes of the standard views (may be null).
  NavViewpointManipulatePanel(KIVCommand* parent, KIVDialog* dialogParent, NavViewerExtand* viewer);
  ~NavViewpointManipulatePanel() override;
  NavViewpointManipulatePanel(const NavViewpointManipulatePanel&) = delete;
  NavViewpointManipulatePanel& operator=(const NavViewpointManipulatePanel&) = delete;

  /// 1 shows and refreshes, telling the parent; 0 tells the parent it closes and hides.
  void AffichePanel(int show);
  /// 1 while the window is not shown.
  int GetPaletteStatusHide() const;
  NavPanelShowNotification* GetWindShowNotification() { return &mShow; }

  /// The object being edited (null: none; the fields keep their last values).
  void SetCurrentManadgeObject(NavViewpointManipulate* object);
  NavViewpointManipulate* GetCurrentManadgeObject() const;
  void ViewpointModifiedCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  /// Copies the object's camera into the fields and its switches into the buttons.
  void UpdatePalette();

  void GetCurrentSetting(NavPaletteViewerSetting& setting);
  void SetCurrentSetting(const NavPaletteViewerSetting& setting);
  /// Range, step count and format of a number field after the magnitude of value (see
  /// NavSpinnerFormat); 0 for a null spinner or a non-finite number.
  static int FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue, int precision);
  /// The multiplier that the held step buttons have reached: 1, 2, 5 or 10.
  int GetRepeatFactor() const;

  void TranslationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void RotationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void CoordonneEditCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void SwitchCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void AnimateCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  template <class W>
  W* Make(KIVDialog* parent, const char* tag, const char* title, const char* icon, int row, int column,
          int columnSpan = 1);
  void Listen(KIVCommand* sender, KIVNotification* notification,
              void (NavViewpointManipulatePanel::*method)(KIVCommand*, KIVNotification*, void*));
  /// The button a sender is among `buttons`, -1 when none; counts the repeats of a hold.
  int ArrowOf(KIVCommand* sender, KIVNotification* notification, KIVDlgPushButton* const* buttons);
  void Unsubscribe();
  void SetCheck(KIVDlgCheckButton* button, int on);
  void UpdateTargetIcon();

  KIVCommand* mParentCommand;
  std::weak_ptr<int> mParentLife;
  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  NavPanelShowNotification mShow;
  NavPaletteViewerSetting mSetting;
  float mCoordinateBound = 10000000.0f;
  NavViewpointManipulate* mObject = nullptr;
  std::weak_ptr<int> mObjectLife;
  KIVCallback mObjectCB = 0, mCameraCB = 0;
  int mRepeat = 0;
  int mUpdating = 0;  // the fields are being filled: their notifications are not edits
  std::vector<KIVCallback> mCallbacks;

  KIVDlgCheckButton* mInteractive = nullptr;
  KIVDlgCheckButton* mOpenViewer = nullptr;
  KIVDlgCheckButton* mChangeView = nullptr;
  KIVDlgCheckButton* mTargetFixed = nullptr;
  KIVDlgPushButton* mTranslation[ArrowCount] = {};
  KIVDlgPushButton* mRotation[ArrowCount] = {};
  KIVDlgCheckItem* mAnimate[ArrowCount] = {};
  KIVDlgSpinner* mTranslationStep = nullptr;
  KIVDlgSpinner* mRotationStep = nullptr;
  KIVDlgSpinner* mEye[3] = {};
  KIVDlgSpinner* mTarget[3] = {};
  KIVDlgSpinner* mDistance = nullptr;
  KIVDlgSpinner* mAngle = nullptr;
};
