#pragma once
#include <memory>
#include <vector>
// The extended navigation viewer: a 3D viewer that owns fixed scene roots (master 13,
// official 14, tempory 15, annotation 16, 2D 17), keeps every live instance in a class-wide
// registry so that colours, drawing locks and redraws reach all viewers, keeps a stack of
// foreground indicators tied to the tool bar's navigation buttons, can draw only what is
// visible (occlusion drawing), and holds the viewpoint given before its window exists.
#include "foundation/NavViewerExtandEvents.h"
#include "foundation/NavViewerSetting.h"
#include "foundation/NavViewpointAnimation.h"
#include "host/core/KIVString.h"
#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVIndicator.h"
#include "navigation/Nav3DViewpointLight.h"
class KIVDlgDialog;
class KIVDlgFrame;
class KIVDlgToolBar;
class KIVViewpointIndicator;
class KIVGroundRep;
class KIV3DGroundTranslator;
class KIV3DAxisRep;
class KIVGaugeRep;
class KIV2DDashboardRep;
class KIVVisibilityPanel;
class KIVEditPanelPopup;
class KIV3DLightSourceEditPanel;
class KIVStereoEditPanel;
class KIVDlgFile;
class KIVPrintCaptureDialog;
class NavDistanceViewerUI;
class NavGraphicRepTree;
class NavQualitySpeedEditPanel;
class NavReferenceViewUI;
class NavAnnotationViewerUI;
class NavInterfaceInfoRep;
class NavMenuGeneric;
class NavSelectManipulator;
class NavViewerViewpointEditor;
class NavViewpointManipulate;
class NavViewpointManipulatePanel;
// No metaobject of its own: it answers IsA, IsAKindOf and GetMetaObject as its host viewer.
class NavViewerExtand : public KIV3DViewer {
 public:
  /// Root kinds.
  static constexpr int kMasterRoot = 13, kOfficialRoot = 14, kTemporyRoot = 15, kAnnotationRoot = 16,
                       kTwoDRoot = 17;
  /// Creation options.
  static constexpr int kOptionHistory = 1, kOptionEditor = 2, kOptionQuality = 4, kOptionSelectOfficial = 8,
                       kOptionSelectTempory = 16, kOptionAnnotation = 32;
  /// Quality mode bit: draw only the objects found visible.
  static constexpr int kQualityOcclusion = 128;

  NAV_EVENT_ACCESSOR(VIEWER_SETTING_MODIFIED)
  NAV_EVENT_ACCESSOR(VIEWER_FOREGROUND_CHANGE)
  NAV_EVENT_ACCESSOR(NAVIGATION_GLOBAL_MODE_CHANGE)
  NAV_EVENT_ACCESSOR(NAVIGATION_SPECIAL_MODE_CHANGE)
  NAV_EVENT_ACCESSOR(NAVIGATION_TOOLS_BARRE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_GROUND_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_PERFO_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_AXIS_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_DASHBOARD_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_LIGHT_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_STEREO_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_CLIP_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_QUALITY_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_REP_TREE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_REFERENCE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_SAVE_VRML_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_CAPTURE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_DISTANCE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_ANNOTATION_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_PALETTE_STATE)
  NAV_EVENT_ACCESSOR(NAVIGATION_EXTERNAL_STATE)

  /// Tool bar item bits: the 21 items of BuildToolsBarreIcone, all of them together.
  static constexpr int kToolBarItemCount = 21, kToolBarAllItems = 0x1FFFFF;

  NavViewerExtand(KIVDialog* parent, const KIVString& name, int options, unsigned long style, const int width,
                  const int height);
  ~NavViewerExtand() override;

  // The registry of live viewers, in creation order.
  static NavViewerExtand** saInstanceReferenced;
  static int snbInstanceReferenced;
  static int snbInstanceReferencedMax;
  /// Mode 1 asks whether `viewer` is registered; any other mode toggles it (1, or 0 when
  /// it could not be added).
  static int ReferenceInstance(NavViewerExtand* viewer, int mode);
  /// LockDraw on every viewer; returns how many there are.
  static int SetLockUpdateAllViewer(int lock);
  static void UpdateAllViewer();
  static void SetColorMap(const int index, const float r, const float g, const float b);
  /// The application's deferred callback of the viewpoint animation.
  static void GlobalUpdateDiffered(KIVCommand* viewer, int type, void* data);

  int GetOptions() const { return mOptions; }
  KIVDialog* GetParent() const { return mParentDialog; }
  /// Stores the lock unless it is -1 or unchanged; returns the lock.
  int LockDraw(int lock);
  /// The host draw, or with occlusion drawing on, first the visible objects cloned into
  /// the occlusion bag; nothing while locked or while the window is not shown.
  void Draw() override;
  /// Children of the root of that kind (14, 15, 16 with option 32, 17); others ignored.
  void AddRep(KIVRep* rep, int kind);
  void RemoveRep(KIVRep* rep, int kind);
  /// Roots 13 to 17 (16 may be null), else null.
  KIVRep* GetRootRep(int kind) const;
  KIV3DBagRep* GetOcclusionBag() const { return mOcclusionBag; }
  /// Removes every annotation and deletes those left without a parent.
  void EraseAnnotationBag();
  NavSelectManipulator* GetSelectGraphicManager(int kind) const;
  /// -1: the official root when "Only Official" is checked, else the master root.
  virtual void Reframe(int kind);
  /// Mode 0 always applies and redraws; any other mode only a different viewpoint, and
  /// mode 1 also tells the main viewpoint's subscribers.
  void SetViewpoint(KIV3DViewpoint* viewpoint, int mode);
  void SetViewpoint(Nav3DViewpointLight* record, int mode);
  /// The viewpoint recorded until the window exists; null afterwards.
  const Nav3DViewpointLight* GetPendingViewpoint() const { return mPendingViewpoint; }
  /// all = 1: every registered viewer gets it too.
  void SetInterfaceInfoRep(NavInterfaceInfoRep* info, int all);
  NavInterfaceInfoRep* GetInterfaceInfoRep() const { return mInterfaceInfo; }
  void EnableSpaceBall(int on) { EnableSpaceFocus(on); }
  KIV2DViewpoint* GetForeGroundViewpoint() const { return mForeground2D; }
  /// Pushes the indicator on the stack (once, at the top) and makes it the viewer's.
  void SetForegroundIndicator(KIVIndicator* indicator);
  void UnsetForegroundIndicator(KIVIndicator* indicator);
  void ResetAllForegroundIndicator();
  /// Index in the stack, or -1.
  int IsForegroundIndicatorReferenced(KIVIndicator* indicator) const;
  int GetForegroundIndicatorCount() const { return mIndicatorCount; }
  int GetForegroundIndicatorCapacity() const { return mIndicatorCapacity; }

  /// The viewer's settings record.
  const NavViewerSetting& GetCurrentSetting() const { return mCurrentSetting; }
  /// Copies of the quality/speed and reference-view parts.
  void GetCurrentSetting(NavQualitySpeedSetting& s) const { s = mCurrentSetting.qualitySpeed; }
  void GetCurrentSetting(NavReferenceViewSetting& s) const { s = mCurrentSetting.referenceView; }
  /// Applies the given fields (option 4 for the precisions, occlusion and level-of-detail
  /// bits; the six view modes always, as far as the host accepts them), then redraws;
  /// publishes VIEWER_SETTING_MODIFIED (action 16) when something changed. `origin` is
  /// the object on whose behalf it is done.
  void SetCurrentSetting(const NavQualitySpeedSetting& s, void* origin);
  /// Ground frame, gravity, background, collision check and distance (raised to 2.1 ×
  /// the viewpoint's size); publishes action 4 and redraws when something changed.
  void SetCurrentSetting(const NavReferenceViewSetting& s, void* origin);
  /// Fills the sections of mask (-1: all) from the viewer, its viewpoint and its tools.
  /// Before the window exists only the pending setting is given (section mask 0 without one).
  void GetCurrentSetting(NavViewerSetting& s, int mask);
  /// Applies the sections of s in their order, then the navigation style, then draws.
  /// Before the window exists the whole record waits for it.
  void SetCurrentSetting(const NavViewerSetting& s);
  const NavViewerSetting* GetPendingSetting() const { return mPendingSetting; }
  /// The code of the change while VIEWER_SETTING_MODIFIED is published, else -1.
  int GetLastViewerSettingAction() const { return mLastSettingAction; }
  /// The quality mode bits of the current setting (level of detail 1, view modes 2 to 64,
  /// occlusion 128).
  int GetQualityModes() const { return mCurrentSetting.qualitySpeed.modeBits; }
  void SetQualityModes(int modes) { mCurrentSetting.qualitySpeed.modeBits = modes; }
  /// Number of kept paths of the last occlusion drawing.
  int GetLastVisibleCount() const { return mLastVisible; }

  // Tool states that the destructor closes; each returns 1 while its object exists.
  virtual int SetDashboardState(int state);
  virtual int SetGroundState(int state);
  virtual int SetPerfoState(int state);
  virtual int SetClippingEditorState(int state);
  virtual int SetLightEditorState(int state);
  virtual int SetStereoEditorState(int state);
  virtual int SetQualityLodEditorState(int state);
  virtual int SetGraphicRepTreeState(int state);
  virtual int SetReferenceEditorState(int state);
  virtual int SetExportToVRMLFile(int state);
  virtual int SetCaptureEditorState(int state);
  virtual int SetDistanceEditorState(int state);
  virtual int SetAnnotationEditorState(int state);
  virtual int SetAxisState(int state);
  /// The tool bar window: on 1 builds the items of the mask (-1: all 21), 0 removes it.
  virtual int SetToolsBarreState(int state, int items);
  /// Starts (on 1), stops (0) or retunes a running animation; null uses kind 20,
  /// direction 1, 50 steps, axis 1. 1 while an animation is current afterwards.
  virtual int SetAnimationViewpointState(int on, NavViewpointAnimation* animation);
  /// 1 queues the next step in the deferred cycle; 0 takes it out and steps once now.
  void SetAnimationViewpointState(int step);
  NavViewpointAnimation* GetCurrentAnimationViewpoint() const { return mAnimation; }
  /// One animation step: orbit, roll or turn by 2π / steps, then draw and queue the next.
  void AnimationViewpoint();
  /// The viewpoint palette; it edits the external viewpoint object while there is one.
  virtual int SetNavigationPaletteState(int state);
  /// A camera object "User View" placed where the main viewpoint is; switched off, the
  /// main viewpoint takes the camera's place.
  virtual int SetViewpointExternalState(int state);
  NavViewpointManipulatePanel* GetNavigationPalette() const { return mPalette; }
  NavViewpointManipulate* GetViewpointExternal() const { return mExternal; }
  /// A special navigation through its own indicator and editor: mode 2 look at, 3 zoom,
  /// 4 rotate, 5 translate, 6 turn head; on 0 ends it; a one-shot navigation ends with its
  /// first manipulation. Returns the special mode (-1 when off); mode -1 only asks.
  virtual int SetSpecialNavigation(int mode, int on, int oneShot);
  void EndManipulateOnSpecialNavigatorCB(KIVCommand* sender, KIVNotification* notification, void* data);
  int GetSpecialOneShot() const { return mSpecialOneShot; }
  /// Shortcuts of desktop 3D viewers: Escape leaves a special navigation, F reframes,
  /// Home puts the camera back on the standard oblique view of the whole scene.
  int KeyNotTaken(int key, int modifiers) override;
  /// 7 examine, 8 walk, 9 fly (option 2); -1 asks. Returns the style.
  int SetNavigationStyle(int style);
  /// Builds the items of the mask under the parent (a frame also lays them out); a null
  /// parent forgets every item and its subscriptions.
  void BuildToolsBarreIcone(KIVDlgFrame* parent, int items);
  void BuildToolsBarreIcone(KIVDlgToolBar* parent, int items);
  /// The tool bar item of a bit index (0 to 20), null when not built or since destroyed
  /// by its host parent.
  KIVDialog* GetToolBarItem(int index) const {
    return index >= 0 && index < kToolBarItemCount && !mToolItemLife[index].expired() ? mToolItems[index] : nullptr;
  }
  /// The navigation editor made when the window exists (option 2), owned.
  NavViewerViewpointEditor* GetNavigationEditor() const { return mNavigationEditor; }
  /// The tool bar window, when built.
  KIVDlgDialog* GetToolBar() const { return mToolBar; }

  // Viewpoint history (option 1): a ring of 50 rest positions of the main viewpoint.
  /// Records the main viewpoint unless it equals the newest entry.
  void SaveViewpointPosition();
  /// 1 when a step is possible: previous 1 asks for "Previous", 0 for "Next".
  int IsUndoRedoPossible(int previous) const;
  /// Steps back (1) or forth (other values); whether the step was possible.
  int UndoRedoChangePosition(int previous);
  int GetHistoryCapacity() const { return mHistoryCapacity; }
  int GetHistoryPosition() const { return mHistoryPosition; }
  int GetHistoryForwardCount() const { return mHistoryForward; }
  /// Viewpoint animations in progress (the moving precisions apply while non-zero).
  int GetMovingCounter() const { return mMovingCounter; }
  /// Gives the support the moving or the still precisions (quality bit 1), then draws.
  void ComputeCulling();

  void CreateViewerCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ViewpointChangedCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// Host events of the ground, performance and dashboard states.
  void ViewerUpdateCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  /// The light popup was closed by its own buttons.
  void PanelCloseCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);
  /// Writes the official root as VRML, scaled from the session unit to metres; 1 when written.
  int ExportVrml(const char* path);
  KIVGroundRep* GetGroundRep() const { return mGround; }
  KIV3DGroundTranslator* GetGroundTranslator() const { return mGroundTranslator; }
  KIVGaugeRep* GetGaugeRep() const { return mGauge; }
  KIVDlgFile* GetVrmlDialog() const { return mVrmlDialog; }
  /// The distance tool while its state is on, else null.
  NavDistanceViewerUI* GetDistanceTool() const { return mDistanceTool; }
  /// The annotation tool while its state is on, else null.
  NavAnnotationViewerUI* GetAnnotationTool() const { return mAnnotationTool; }
  /// The representation tree browser while its state is on, else null.
  NavGraphicRepTree* GetGraphicRepTree() const { return mRepTree; }
  /// The quality and the reference panels while their states are on, else null.
  NavQualitySpeedEditPanel* GetQualityPanel() const { return mQualityPanel; }
  NavReferenceViewUI* GetReferencePanel() const { return mReferencePanel; }

 protected:
  /// Checks the tool bar's six navigation radio buttons for the indicator now on top.
  void UpdateNavigationButtons(KIVIndicator* top);
  KIVIndicator* mSpecialIndicator = nullptr;  // the special navigations' indicator
  int mSpecialMode = -1;
  int mSpecialOneShot = -1;
  NavViewerViewpointEditor* mSpecialEditor = nullptr;
  KIVCallback mSpecialEndCB = 0;
  int mInSpecialEnd = 0;  // the indicator that ends a one-shot navigation is still running
  KIVDlgDialog* mToolBar = nullptr;
  KIVCallback mToolBarCloseCB = 0;
  KIVDialog* mToolItems[kToolBarItemCount] = {};
  std::weak_ptr<int> mToolItemLife[kToolBarItemCount];  // expired once the host destroys the item
  KIVDialog* mOneShotItems[5] = {};       // "Lock Option" of LookAt … TurnHead, children of their buttons
  KIVDialog* mReframeOfficialItem = nullptr;  // "Only Official", a child of the Reframe button
  /// "Only Official" while its Reframe button lives, else null.
  KIVDialog* GetReframeOfficialItem() const;
  std::vector<KIVCallback> mToolItemCBs;
  int mPanelClosing = 0;
  KIVGroundRep* mGround = nullptr;
  KIV3DGroundTranslator* mGroundTranslator = nullptr;
  KIVMathPointf* mGroundOrigin = nullptr;  // survives switching the ground off
  KIV3DAxisRep* mAxis = nullptr;
  KIVGaugeRep* mGauge = nullptr;
  KIVCallback mGaugeUpdateCB = 0;
  KIV2DDashboardRep* mDashboard = nullptr;
  KIVCallback mDashboardResizeCB = 0, mDashboardViewpointCB = 0;
  KIVVisibilityPanel* mVisibilityPanel = nullptr;
  KIVEditPanelPopup* mLightPopup = nullptr;
  KIV3DLightSourceEditPanel* mLightPanel = nullptr;
  KIVCallback mLightPopupCB = 0;
  KIVStereoEditPanel* mStereoPanel = nullptr;
  KIVDlgFile* mVrmlDialog = nullptr;
  KIVUnicodeString mVrmlDirectory;
  KIVPrintCaptureDialog* mCaptureDialog = nullptr;
  KIVCallback mPanelCBs[10] = {};
  NavDistanceViewerUI* mDistanceTool = nullptr;
  NavAnnotationViewerUI* mAnnotationTool = nullptr;
  NavGraphicRepTree* mRepTree = nullptr;
  NavQualitySpeedEditPanel* mQualityPanel = nullptr;
  NavReferenceViewUI* mReferencePanel = nullptr;
  NavViewpointManipulatePanel* mPalette = nullptr;
  KIVCallback mPaletteCloseCB = 0;
  NavViewpointManipulate* mExternal = nullptr;
  void Publish(const char* event);
  /// The panels' own notifications; 1 when the sender was one of them.
  int PanelActionCB(KIVCommand* sender, KIVNotification* notification);
  /// Checks or clears the check button of a tool state (bit index), when built.
  void SetToolCheck(int index, int on);
  /// The state operation behind a check button (bit index 10 to 20).
  int ToolState(int index, int on);
  void BuildToolItems(KIVDialog* parent, int items, bool layout);
  void ForgetToolItems();
  void UpdateStyleCombo();
  /// The annotation menu: rebuilt at each context notification, acting on the picked one.
  void BuildAnnotationMenu();
  void ActOnAnnotation();

 private:
  void DrawOcclusion();
  /// Frees the clones of the last occlusion drawing and shows the official root again.
  void ClearOcclusion();
  /// Puts the main viewpoint there, records it while the window is pending, and draws.
  void ApplyViewpoint(const Nav3DViewpointLight& viewpoint, int mode);
  void PublishForeground();
  KIVDialog* mParentDialog;
  int mOptions;
  KIV2DViewpoint* mForeground2D = nullptr;
  KIV3DBagRep* mMasterRoot = nullptr;
  KIV3DBagRep* mOcclusionBag = nullptr;
  KIV3DBagRep* mTemporyRoot = nullptr;
  KIV3DBagRep* mOfficialRoot = nullptr;
  KIV3DBagRep* mAnnotationRoot = nullptr;
  KIV2DBagRep* mTwoDRoot = nullptr;
  int mViewpointReentrance = 0;
  Nav3DViewpointLight* mPendingViewpoint = nullptr;
  int mDrawLock = 0;
  KIVIndicator** mIndicators = nullptr;
  int mIndicatorCapacity = 0;
  int mIndicatorCount = 0;
  int mIndicatorEventSuppression = 0;
  NavSelectManipulator* mSelectOfficial = nullptr;
  NavSelectManipulator* mSelectTempory = nullptr;
  NavSelectManipulator* mSelectAnnotation = nullptr;
  NavMenuGeneric* mContextMenu = nullptr;
  NavInterfaceInfoRep* mInterfaceInfo = nullptr;
  NavViewerViewpointEditor* mNavigationEditor = nullptr;
  NavViewerSetting mCurrentSetting;
  int mLastVisible = 0;
  KIVCallback mCreateCB = 0;
  KIVCallback mModifiedCB = 0, mAnimationStartedCB = 0, mAnimationStoppedCB = 0, mGroundCB = 0;
  KIVCallback mContextCB = 0, mMenuCB = 0;
  int mHistoryCapacity = 0;
  Nav3DViewpointLight* mHistory[50] = {};
  int mHistoryPosition = -1, mHistoryNewest = -1, mHistoryForward = 0, mHistoryRestoring = 0;
  int mMovingCounter = 0;
  int mLastSettingAction = -1;
  NavViewerSetting* mPendingSetting = nullptr;
  int mOwnSections = 0;  // bits 64 (a palette record is held) and 128 (a distance was applied)
  void PublishSettingModified(int action);
  NavViewpointAnimation* mAnimation = nullptr;
  /// Bit indexes of the history buttons of the tool bar.
  static constexpr int kPreviousItem = 7, kNextItem = 8;
  void UpdateHistoryButtons();
};
