#pragma once
// A camera placed in the scene: a viewpoint of its own drawn as a wire frame (eye, target,
// sight line, frame rectangle), dragged by handles, recoloured, turned to standard views,
// played into the main viewer, animated and watched through a secondary viewer. Every
// change of its state is published as VIEWPOINT_STATE_MODIFIED on its own callback manager.
//
// Element numbering (the handles, the colour and the show state refer to it):
//   0 eye, 1 target; 2 middle, 3 eye end and 4 target end of the sight line;
//   5 to 8 frame corners; 9 + 3k, 10 + 3k, 11 + 3k middle and end pieces of frame edge k;
//   21 to 32 eye-to-corner lines (fixed focus) or an inner rectangle; 33 to 41 aiming marks.

#include <memory>

#include "foundation/NavEventMacros.h"
#include "foundation/NavViewpointManipulateEvents.h"
#include "host/core/KIVCommand.h"
#include "host/core/KIVUnicodeString.h"
#include "host/visu/math/KIVMathPointf.h"

class KIV3DBagRep;
class KIV3DManipulator;
class KIV3DRep;
class KIV3DViewpoint;
class KIVNotification;
class NavMenuGeneric;
class NavSimpleViewer3D;
class NavViewerExtand;
class NavViewpointAnimation;

class NavViewpointManipulate : public KIVCommand {
 public:
  NAV_EVENT_ACCESSOR(VIEWPOINT_STATE_MODIFIED)

  static constexpr int kElementCount = 42, kHandleCount = 11;
  /// Options: listen to the handles' notifications, offer the lock sub-menu, offer the
  /// animate item, activate the handles at once.
  static constexpr int kOptionListen = 1, kOptionLockMenu = 64, kOptionAnimateMenu = 128, kOptionActivate = 0x400;
  static constexpr int kDefaultColor = 246;
  static constexpr float kInitialFocus = 100.0f;
  static constexpr const char* ContextMenuName = "ViewpointContextMenu";
  static constexpr const char* EyeManipulatorName = "ViewpointManipulatorEye";
  static constexpr const char* TargetManipulatorName = "ViewpointManipulatorTarget";
  static constexpr const char* FocusManipulatorName = "ViewpointManipulatorFocus";
  static constexpr const char* MireManipulatorName = "ViewpointManipulatorMire";
  static constexpr const char* VertManipulatorName = "ViewpointManipulatorVert";
  static constexpr const char* HoriManipulatorName = "ViewpointManipulatorHori";
  /// Element each handle is built on, and its manipulation style.
  static constexpr int kHandleElement[kHandleCount] = {0, 1, 2, 5, 6, 7, 8, 12, 18, 9, 15};
  static constexpr int kHandleStyle[kHandleCount] = {5, 5, 1, 4, 4, 4, 4, 1, 1, 1, 1};

  /// viewer: not owned (may be null: nothing is drawn); container: the bag that holds the
  /// camera (null: an own bag in the viewer's tempory root); root: the scene a secondary
  /// viewer shows (null: the viewer's official root).
  NavViewpointManipulate(NavViewerExtand* viewer, KIV3DBagRep* container, KIV3DBagRep* root, KIVUnicodeString name,
                         int options);
  ~NavViewpointManipulate() override;
  NavViewpointManipulate(const NavViewpointManipulate&) = delete;
  NavViewpointManipulate& operator=(const NavViewpointManipulate&) = delete;

  void SetNameObject(const KIVUnicodeString& name);
  const KIVUnicodeString& GetNameObject() const { return mName; }
  int GetOptions() const { return mOptions; }
  NavViewerExtand* GetViewer() const;
  KIV3DBagRep* GetContainer() const { return mContainer; }
  KIV3DBagRep* GetSceneRoot() const { return mSceneRoot; }

  /// Width / height of the frame; -1.0 takes it once from the viewer window. Rebuilds the
  /// camera and its handles. A zero, negative (other than -1) or non-finite ratio is
  /// refused. Returns the ratio.
  float SetRatioPlane(float ratio);
  float GetRatioPlane() const { return mRatio; }
  /// Each of these: -1 only asks; returns the state.
  int SetCameraShow(int show);
  /// Creates (1) or removes (0) the handles; redraw 1 draws the viewer afterwards.
  int SetActivateManipulator(int on, int redraw);
  int SetCameraInteractif(int on);
  /// Colour index of every element; -1 asks, values outside 0 to 255 are refused.
  int SetColorViewpoint(int colour);
  /// Opens (1) or closes (0) the object's own secondary viewer.
  int SetStatusViewer(int open);
  /// Shows (1) or hides (0) the viewer's viewpoint palette on this object.
  int SetPaletteNavigation(int show);
  /// Copies a viewpoint into the camera (notify 1 tells the camera's subscribers). A
  /// viewpoint with a null sight or up, parallel ones, a non-finite value, a focus distance
  /// that is not positive or an angle outside (0, 179] is refused (0).
  int SetCameraVP(const KIV3DViewpoint& viewpoint, int notify);
  KIV3DViewpoint* GetPointerCameraVP() const { return mCamera.get(); }
  /// Standard view `view` (NavToolsVisu::ViewpointGetOtherView codes) with the viewer's
  /// axes (viewerAxes 1) or the camera's own as reference.
  void ChangeView(int view, int viewerAxes);

  void ReferenceViewer(NavSimpleViewer3D* viewer);
  void DereferenceViewer(NavSimpleViewer3D* viewer);
  NavSimpleViewer3D* GetAssociateViewer() const { return mSecondary; }
  int IsFree() const { return mFree; }

  /// Starts (1, with the given record or a default orbit) or stops (0) the camera's
  /// animation; 1 while one runs.
  int SetAnimationViewpointState(int on, NavViewpointAnimation* animation);
  /// 1 queues the next step in the deferred cycle; 0 takes it out and steps once now.
  void SetAnimationViewpointState(int step);
  NavViewpointAnimation* GetCurrentAnimationViewpoint() const { return mAnimation.get(); }
  void AnimationViewpoint();
  /// 2 orbit, 3 turn in place, 4 roll; other values refused. Returns the kind.
  int SetAnimationKind(int kind);
  int GetAnimationKind() const { return mAnimationKind; }
  /// Lock of kind 2 (first value) or of the other kinds (second): 1 horizontal, 0
  /// vertical, -1 free.
  int GetLockValue(int kind) const { return mLock[kind == 2 ? 0 : 1]; }

  void SetRecepteurNotif(KIVCommand* receiver);
  KIVCommand* GetRecepteurNotif() const;
  int IsInDelete() const { return mInDelete; }

  int GetCameraInteractif() const { return mInteractive; }
  int GetKeepTarget() const { return mKeepTarget; }
  int GetColorViewpoint() const { return mColor; }
  float GetSightDivisor() const { return mSightDivisor; }
  KIV3DRep* GetElement(int index) const { return index >= 0 && index < kElementCount ? mElements[index] : nullptr; }
  KIV3DManipulator* GetManipulator(int index) const {
    return index >= 0 && index < kHandleCount ? mHandles[index] : nullptr;
  }
  NavMenuGeneric* GetContextMenu() const { return mMenu; }
  /// The object's own secondary viewer while open.
  NavSimpleViewer3D* GetOwnViewer() const { return mOwnViewer; }

  /// Acts as the contextual menu's option; state 1 or 0 sets a check, -1 reads it from the
  /// menu. Options outside 1 to 29 are ignored.
  void ActiveOption(int option, int state);
  /// Fills the viewer's contextual menu (when shown) with the object's items.
  void BuildContextMenu();

  void CreateCameraRep();
  void EraseCameraRep();
  void UpdateCameraRep();
  void CreateManipulatorOnRep();
  void EraseManipulator();
  void UpdatePositionOnManipulator();

  void UpdateContextualMenuCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void UpdateCameraPositionCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ManipulatorNotificationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ViewpointModifiedCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  void CameraModifiedCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  void OwnViewerCloseCB(KIVCommand* sender, KIVNotification* notification, void* data);
  static void GlobalUpdateDiffered(KIVCommand* object, int type, void* data);

 private:
  /// The wire frame of a camera, element by element: each element is a point (from ==
  /// to) or a segment.
  struct Geometry {
    KIVMathPointf from[kElementCount], to[kElementCount];
    bool point[kElementCount];
  };
  int ComputeGeometry(Geometry& g);
  void Publish();
  void Redraw();
  void PlayIntoMain();
  void SubscribeFollowed(KIV3DViewpoint* vp, KIVCallback* ids);
  void UnsubscribeFollowed(KIV3DViewpoint* vp, KIVCallback* ids);

  NavViewerExtand* mViewer;
  std::weak_ptr<int> mViewerLife;
  KIV3DBagRep* mContainer = nullptr;
  int mOwnContainer = 0;
  KIV3DBagRep* mSceneRoot = nullptr;
  NavMenuGeneric* mMenu = nullptr;
  KIVCallback mMenuCB = 0;
  NavSimpleViewer3D* mSecondary = nullptr;
  NavSimpleViewer3D* mOwnViewer = nullptr;
  KIVCallback mOwnViewerCloseCB = 0;
  KIVCallback mSecondaryCBs[3] = {0, 0, 0};
  KIV3DViewpoint* mSecondaryVP = nullptr;
  KIVCallback mMainCBs[3] = {0, 0, 0};
  KIVCallback mCameraCB = 0;
  KIVUnicodeString mName;
  int mFree = 1;
  int mOptions;
  float mRatio = 1.0f;
  int mAnimationKind = -1;
  int mLock[2] = {-1, -1};
  float mSightDivisor = 20.0f;
  std::unique_ptr<KIV3DViewpoint> mCamera;
  int mKeepTarget = 1;
  int mInteractive = 0;
  int mColor = kDefaultColor;
  int mShown = 1;
  int mInDelete = 0;
  int mFollowing = 0;  // a followed viewpoint is being copied: the camera's own change is not played back
  KIV3DRep* mElements[kElementCount] = {};
  KIV3DManipulator* mHandles[kHandleCount] = {};
  KIVCallback mHandleCBs[kHandleCount][4] = {};
  std::unique_ptr<NavViewpointAnimation> mAnimation;
  KIVCommand* mReceiver = nullptr;
  std::weak_ptr<int> mReceiverLife;
  std::unique_ptr<KIVNotification> mEndNotification;
};
