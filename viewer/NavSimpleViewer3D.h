#pragma once
// The "Current View" window: a small dialog that embeds its own extended viewer over a
// given scene bag. A window without master can open further windows that look at the
// same scene from fixed logical directions (front, back, left, right, top, bottom) derived
// from the viewpoint it references, or freely (user), and that follow that viewpoint as it
// moves; a master window also drives its referenced viewpoint when the user navigates in
// it. Everything the user does with it goes through one contextual menu.

#include <memory>

#include "foundation/NavPanelShowNotification.h"
#include "foundation/NavSimpleViewer3DSetting.h"
#include "foundation/TableauMenu.h"
#include "host/dialog/KIVDlgDialog.h"

class KIV3DBagRep;
class KIV3DIndicator;
class KIV3DTextRep;
class KIV3DViewpoint;
class KIVManipulator;
class KIVNotification;
class Nav3DViewpointLight;
class NavMenuGeneric;
class NavViewerExtand;

class NavSimpleViewer3D : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "MultiViewer3DPanel";
  static constexpr const char* PanelIdTitle = "Current View";
  static constexpr const char* MasterTitleSuffix = " - Master";
  static constexpr const char* ContextIndicatorName = "SimpleViewerContext";
  static constexpr const char* ViewerName = "SimpleViewer3D";
  /// Window style of the dialog and of its embedded viewer.
  static constexpr int kPanelStyle = 0x404000;
  static constexpr unsigned long kViewerStyle = 0xC0000;
  /// Display options: master window, the "Other Views" sub-menu, the "Open viewer" sub-menu.
  static constexpr int kOptionMaster = 1, kOptionOtherViews = 2, kOptionOpenViewer = 4;
  /// Logical views.
  static constexpr int kViewNone = -1, kViewUser = 300, kViewFront = 301, kViewBack = 302, kViewLeft = 303,
                       kViewRight = 304, kViewTop = 305, kViewBottom = 306;
  /// Title suffix of views 300 to 306.
  static constexpr const char* ViewTitleSuffix[7] = {" : User", " : Front", " : Back", " : Left",
                                                     " : Right", " : Top", " : Bottom"};
  /// Short-help mask bits: the picked object's name, the picked point's coordinates.
  static constexpr int kShortHelpName = 1, kShortHelpCoordinate = 2;

  /// Contextual menu options.
  static constexpr int kOptQualitySpeed = 307, kOptVisibility = 308, kOptReferenceView = 309, kOptLight = 310,
                       kOptGround = 311, kOptStereo = 312, kOptPerfo = 313, kOptCapture = 314, kOptSaveVrml = 315,
                       kOptFixedTarget = 316, kOptClose = 317, kOptOtherViewFirst = 318, kOptOpenViewerFirst = 324,
                       kOptDispatch = 330, kOptReframe = 331, kOptFly = 332, kOptWalk = 333, kOptExamine = 334,
                       kOptDistance = 335, kOptAnnotation = 336, kOptDashboard = 337, kOptAxis = 338,
                       kOptShortHelpName = 339, kOptShortHelpCoordinate = 340, kOptGraphicDebug = 341;

  /// Dialog "MultiViewer3DPanel" at (80, 80) with the two size values, embedding an
  /// extended viewer of that size (space-ball focus off) whose official root holds `root`
  /// (may be null). `father` receives the notifications (the parent dialog when null).
  /// Kinds 1 and 3 show the window at once; kinds 1 and 2 are destroyed when hidden.
  /// `options`: display option bits above.
  NavSimpleViewer3D(KIVCommand* father, KIVDialog* parent, KIV3DBagRep* root, int width, int height, int kind,
                    int options);
  ~NavSimpleViewer3D() override;
  NavSimpleViewer3D(const NavSimpleViewer3D&) = delete;
  NavSimpleViewer3D& operator=(const NavSimpleViewer3D&) = delete;

  /// Replaces the shown bag (null shows nothing), here and in every referenced viewer.
  void SetRootBagRepViewer(KIV3DBagRep* root);
  KIV3DBagRep* GetRootBagRepViewer() const { return mRoot; }
  /// Makes the "SimpleViewerContext" indicator (once) the embedded viewer's foreground one.
  void ActivateForeGroundOnViewer();
  KIV3DIndicator* GetContextIndicator() const { return mContextIndicator; }

  NavViewerExtand* GetSpecificViewer() const { return mViewer; }
  /// The embedded viewer's main viewpoint.
  KIV3DViewpoint* GetViewerViewpoint() const;
  NavPanelShowNotification* GetWindShowNotification() const { return &mShowNotification; }
  NavMenuGeneric* GetContextMenu() const { return mMenu; }
  int GetLogicalView() const { return mLogicalView; }
  /// The display options.
  int GetStyleViewer() const { return mDisplayOptions; }
  int GetKind() const { return mKind; }
  /// 0 while the window is shown, else 1.
  int GetPaletteStatusHide() const;

  /// 1 shows a hidden window (following its referenced viewpoint, restoring its stored
  /// setting, showing its referenced viewers, telling the father); 0 hides a shown one
  /// (kinds 1 and 2 are then destroyed later; other kinds keep their setting with every
  /// tool switched off). Other values and no change are ignored.
  void AffichePanel(int show);

  /// Follows `vp` (null: none) from now on; not owned, it must outlive the reference.
  void ReferenceViewpoint(KIV3DViewpoint* vp);
  KIV3DViewpoint* GetReferencedViewpoint() const { return Referenced(); }
  /// Records the window that opened this one; dispatch stops here.
  void ReferenceViewerMaster(NavSimpleViewer3D* master);
  NavSimpleViewer3D* GetMaster() const { return Master(); }

  /// -1 or 300 to 306; others are refused. Re-applies the view when shown and following.
  void SetLogicalView(int view);
  /// 1 when no window of the family, from the top master down, shows `view`.
  int IsViewNotReferenced(int view) const;
  /// Index of the referenced viewer showing `view`, or -1.
  int GetIndiceViewer(int view) const;
  int GetReferencedViewerCount() const { return mViewerCount; }
  int GetReferencedViewerCapacity() const { return mViewerCapacity; }
  /// Referenced viewer at index, or null.
  NavSimpleViewer3D* GetReferencedViewer(int index) const;

  /// Opens a window looking along `view` (301 to 306, or 300) that follows this one; 1
  /// when opened.
  int OpenViewer(int view);
  /// Closes the referenced window showing `view`; 1 when there was one.
  int CloseViewer(int view);

  /// Stores `dispatch` (unless -1 or unchanged); in dispatch mode, in a window without
  /// master, copies the viewer setting's sections of `mask` (-1: all; never the palette
  /// section) to the referenced viewer at `index`, or to all of them for -1 or out of range.
  void SetDispatchConfig(int dispatch, int mask, int index);
  int GetDispatch() const { return mDispatch; }
  /// Derived views turn around the master's target point (1) or in place (0).
  void SetTargetFixe(int fixed);
  int GetTargetFixe() const { return mTargetFixed; }
  /// Sizes the embedded viewer 360 high and 360 / ratio wide, once; here and below.
  void SetRatioSizeView(float ratio);
  /// Draws this window and every referenced one.
  void UpdateView();

  /// The derived viewpoint of the logical view from `master` (null is refused: the
  /// derived viewpoint is left as it was and returned).
  Nav3DViewpointLight* TransformViewpoint(KIV3DViewpoint* master);
  Nav3DViewpointLight* GetDerivedViewpoint() const { return mDerived; }
  /// Shows `vp` in the embedded viewer as the logical view sees it (301 and none: as it
  /// is; other views: derived), and draws. Mode 0 always applies it; other modes only a
  /// view that differs, however little, and mode 1 also tells the subscribers of the
  /// embedded viewer's viewpoint. `vp` is not referenced by this; null is refused.
  void SetViewpoint(KIV3DViewpoint* vp, int mode);
  /// The referenced viewpoint's and, in a master window, the own viewpoint's events.
  void ViewpointModifiedCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);

  /// Refreshes the embedded viewer's part and copies the whole setting.
  void GetCurrentSetting(NavSimpleViewer3DSetting& setting);
  /// Applies the defined fields that differ: view, target, dispatch, label, ratio, then
  /// the embedded viewer's setting.
  void SetCurrentSetting(const NavSimpleViewer3DSetting& setting);

  /// The window's close, the embedded viewer's context, the menu's action and the closes
  /// of referenced windows.
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// Acts as the contextual menu's option (see the k…Opt constants); any other option is a
  /// host row added with AddItemInMenuContext.
  void ActiveOption(int option);
  /// Keeps `count` copies of host rows for the contextual menu (reset 1 drops those held);
  /// position 1 puts them first, another value between the own rows; -1 keeps it.
  void AddItemInMenuContext(TableauMenu** rows, int count, int reset, int position);
  int GetHostItemCount() const { return mHostCount; }
  int GetHostItemPosition() const { return mHostPosition; }
  /// Rebuilds the contextual menu under its root and sets states and sensitivities.
  void BuildContextMenu();
  /// The embedded viewer's VIEWER_SETTING_MODIFIED (dispatch mode).
  void ActionViewerExtandCB(const char* event, void* publisher, KIVNotification* notification, void* data, long id);

  /// Short help: mask bits (kShortHelp…), its label, and the host manipulators' move and
  /// activate notifications that feed it.
  int GetShortHelpMask() const { return mShortHelpMask; }
  KIV3DTextRep* GetShortHelpLabel() const { return mShortHelpLabel; }
  void ShortHelpCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  void ApplyLogicalView();
  void UpdateTitle();
  void SubscribeReferenced();
  void UnsubscribeReferenced();
  void SubscribeOwn();
  void UnsubscribeOwn();
  void SetShortHelpMask(int mask);
  void SetDispatchSubscription(int on);
  NavSimpleViewer3D* TopMaster();
  const NavSimpleViewer3D* TopMaster() const;
  int ShowsView(int view) const;
  void RemoveReferencedViewer(int index);
  void CloseViewerAt(int index);
  int HostRowOption(int option);
  void ForgetClosedViewer(NavSimpleViewer3D* viewer);
  KIV3DViewpoint* Referenced() const { return mReferencedLife.expired() ? nullptr : mReferenced; }
  NavSimpleViewer3D* Master() const { return mMasterLife.expired() ? nullptr : mMaster; }
  /// The context indicator's gestures other than the right click still navigate.
  void ForwardToEditor(KIVNotification* notification);

  KIV3DBagRep* mRoot = nullptr;
  NavViewerExtand* mViewer = nullptr;
  KIV3DIndicator* mContextIndicator = nullptr;
  int mDisplayOptions;
  int mKind;
  NavMenuGeneric* mMenu = nullptr;
  KIVCallback mSettingModifiedCB = 0;
  NavSimpleViewer3DSetting mSetting;
  int mDispatch = 0;
  int mTargetFixed = 0;
  int mLogicalView = -1;
  int mShortHelpMask = 0;
  NavSimpleViewer3D* mMaster = nullptr;
  std::weak_ptr<int> mMasterLife;
  NavSimpleViewer3D** mViewers = nullptr;
  int mViewerCount = 0;
  int mViewerCapacity = 0;
  KIVCallback* mViewerCloseCBs = nullptr;
  mutable NavPanelShowNotification mShowNotification;
  Nav3DViewpointLight* mDerived = nullptr;
  KIV3DViewpoint* mReferenced = nullptr;
  std::weak_ptr<int> mReferencedLife;
  KIV3DTextRep* mShortHelpLabel = nullptr;
  KIVCallback mReferencedCBs[3] = {0, 0, 0};
  KIVCallback mOwnCBs[3] = {0, 0, 0};
  KIVCommand* mCloseListener = nullptr;  // where the own close callback is registered
  std::weak_ptr<int> mCloseListenerLife;
  KIVCallback mShortHelpCBs[4] = {0, 0, 0, 0};  // move and activate, on the viewer and here
  KIVCallback mPanelCBs[4] = {0, 0, 0, 0};      // menu, own close (on the father), indicator
  KIVCallback mContextMenuCB = 0;                // the viewer's right click outside any indicator
  int mEditorForwarding = 0;
  int mReentrance = 0;
  int mClosing = 0;
  TableauMenu** mHostRows = nullptr;
  int mHostCount = 0;
  int mHostCapacity = 0;
  int mHostPosition = 1;
};
