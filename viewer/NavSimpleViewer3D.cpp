#include "viewer/NavSimpleViewer3D.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "foundation/NavMenuGeneric.h"
#include "foundation/NavPaletteViewerSetting.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/interact/KIVActivateNotification.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/interact/KIVViewpointEditor.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "navigation/Nav3DViewpointLight.h"
#include "navigation/NavToolsVisu.h"
#include "primitives/KIV3DTextRep.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
const char* const kListError = "ERROR - NavSimpleViewer3D: Enable to allocate list";
constexpr int kViewerOptions = NavViewerExtand::kOptionHistory | NavViewerExtand::kOptionEditor |
                               NavViewerExtand::kOptionQuality | NavViewerExtand::kOptionSelectOfficial |
                               NavViewerExtand::kOptionAnnotation;
constexpr int kSubMenu = -1, kCheck = 2, kPush = 3, kRadio = 4, kSeparator = 5;
constexpr int kPresent = 1, kChecked = 4;
const char* const kViewTags[6] = {"StdV2PushItem", "StdV3PushItem", "StdV4PushItem",
                                  "StdV5PushItem", "Std6VPushItem", "StdV7PushItem"};
const char* const kViewTitles[6] = {"Front", "Back", "Left", "Right", "Top", "Bottom"};
constexpr int kLabelAnchor = 3;
// Viewpoints publish without naming themselves: the subscription's data tells which one spoke.
int kFromReferenced = 1, kFromOwn = 2;
constexpr int kPinnedColour = 247;

bool IsView(int view) { return view >= NavSimpleViewer3D::kViewUser && view <= NavSimpleViewer3D::kViewBottom; }

// A menu table under construction: the rows and sub-tables it made are freed with it; the
// host's rows are only pointed at.
class MenuTable {
 public:
  TableauMenu* Row(int option, int kind, const char* name, const char* title, bool present) {
    auto* row = new TableauMenu{option, kind, name, title, KIVUnicodeChar(), 0, nullptr, 0, present ? kPresent : 0};
    mRows.emplace_back(row);
    return row;
  }
  TableauMenu* Sub(const char* name, const char* title, bool present, std::vector<TableauMenu*> rows) {
    TableauMenu* row = Row(-1, kSubMenu, name, title, present);
    auto table = std::make_unique<TableauMenu*[]>(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) table[i] = rows[i];
    row->subTable = table.get();
    row->subCount = static_cast<int>(rows.size());
    mTables.push_back(std::move(table));
    return row;
  }

 private:
  std::vector<std::unique_ptr<TableauMenu>> mRows;
  std::vector<std::unique_ptr<TableauMenu*[]>> mTables;
};

// The input behind a manipulator's or an indicator's notification.
KIVNotification* InputOf(KIVNotification* n) {
  if (auto* move = dynamic_cast<KIVMoveNotification*>(n)) return move->GetViewerEvent();
  if (auto* activate = dynamic_cast<KIVActivateNotification*>(n)) return activate->GetViewerEvent();
  if (auto* begin = dynamic_cast<KIVBeginManipulateNotification*>(n)) return begin->GetViewerEvent();
  if (auto* drag = dynamic_cast<KIVManipulateNotification*>(n)) return drag->GetViewerEvent();
  if (auto* end = dynamic_cast<KIVEndManipulateNotification*>(n)) return end->GetViewerEvent();
  return n;
}

bool Close(float a, float b) { return std::fabs(a - b) <= 1e-6f * std::max({1.0f, std::fabs(a), std::fabs(b)}); }
bool Close(const KIVMathVectorf& a, const KIVMathVectorf& b) {
  return Close(a.x, b.x) && Close(a.y, b.y) && Close(a.z, b.z);
}
bool SameView(const Nav3DViewpointLight& a, const KIV3DViewpoint& b) {
  return Close(a.origin - KIVMathPointf(), b.GetOrigin() - KIVMathPointf()) && Close(a.sight, b.GetSightDirection()) &&
         Close(a.up, b.GetUpDirection()) && Close(a.angle, b.GetAngle()) && Close(a.focus, b.GetFocusDistance());
}

KIVMathVectorf Unit(const KIVMathVectorf& v) {
  KIVMathVectorf u = v;
  u.Normalize();
  return u;
}
}  // namespace

NavSimpleViewer3D::NavSimpleViewer3D(KIVCommand* father, KIVDialog* parent, KIV3DBagRep* root, int width,
                                     int height, int kind, int options)
    : KIVDlgDialog(parent, PanelIdTag, kPanelStyle),
      mRoot(root),
      mDisplayOptions(options),
      mKind(kind) {
  if (father) SetFather(father);
  SetRectDimensions(80, 80, width, height);
  mViewer = new NavViewerExtand(this, KIVString(ViewerName), kViewerOptions, kViewerStyle, width, height);
  mViewer->EnableSpaceBall(0);
  if (mRoot) mViewer->AddRep(mRoot, NavViewerExtand::kOfficialRoot);
  mDerived = new Nav3DViewpointLight;

  mViewers = new (std::nothrow) NavSimpleViewer3D*[5]();
  mViewerCloseCBs = new (std::nothrow) KIVCallback[5]();
  if (mViewers && mViewerCloseCBs) {
    mViewerCapacity = 5;
  } else {
    std::cerr << kListError << std::endl;
    delete[] mViewers;
    delete[] mViewerCloseCBs;
    mViewers = nullptr;
    mViewerCloseCBs = nullptr;
  }
  mHostRows = new (std::nothrow) TableauMenu*[10]();
  if (mHostRows)
    mHostCapacity = 10;
  else
    std::cerr << kListError << std::endl;

  mMenu = new NavMenuGeneric(this, nullptr, "SimpleViewerContextMenu", -1, nullptr, 0);
  mMenu->SetRacineMenu(mViewer->GetContextualMenu());
  mPanelCBs[0] =
      AddAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(), &NavSimpleViewer3D::ActionPanelCB, nullptr);
  // Our own close box reaches the father command: listen there.
  if ((mCloseListener = GetFather())) {
    mCloseListenerLife = mCloseListener->GetLifeToken();
    mPanelCBs[1] = mCloseListener->AddAnalyseNotificationCB(
        this, GetWindCloseNotification(), nullptr,
        [this](KIVCommand* s, KIVNotification* n, void* d) { ActionPanelCB(s, n, d); }, nullptr);
  }
  // A right click where no indicator takes it still brings the menu.
  mContextMenuCB = AddCallback(mViewer, KIVViewer::VIEWER_CONTEXT_MENU,
                               KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) {
                                 if (mClosing || !mMenu->GetRacineMenu()) return;
                                 if (mMenu->GetRacineMenu()->GetVisibility() == VisibilityShown) BuildContextMenu();
                               }),
                               nullptr);
  if (mDisplayOptions & kOptionMaster) {
    mContextIndicator = new KIV3DIndicator(this, ContextIndicatorName, mViewer);
    mPanelCBs[2] = AddAnalyseNotificationCB(
        mContextIndicator, nullptr, nullptr,
        [this](KIVCommand* s, KIVNotification* n, void* d) { ActionPanelCB(s, n, d); }, nullptr);
  }
  UpdateTitle();
  if (mKind == 1 || mKind == 3) AffichePanel(1);
}

NavSimpleViewer3D::~NavSimpleViewer3D() {
  mClosing = 1;
  UnsubscribeReferenced();
  UnsubscribeOwn();
  SetShortHelpMask(0);
  SetDispatchSubscription(0);
  if (mCloseListener && !mCloseListenerLife.expired()) mCloseListener->RemoveAnalyseNotificationCB(mPanelCBs[1]);
  mPanelCBs[1] = 0;
  if (NavSimpleViewer3D* master = Master()) master->ForgetClosedViewer(this);
  // The windows opened from here follow our viewer's viewpoint: they go while it is whole.
  while (mViewerCount > 0) {
    NavSimpleViewer3D* v = mViewers[mViewerCount - 1];
    RemoveAnalyseNotificationCB(mViewerCloseCBs[mViewerCount - 1]);
    --mViewerCount;
    v->mMaster = nullptr;
    delete v;
  }
  if (mContextMenuCB) RemoveCallback(mViewer, mContextMenuCB);
  for (KIVCallback& id : mPanelCBs)
    if (id) RemoveAnalyseNotificationCB(id), id = 0;
  if (mContextIndicator) {
    mViewer->UnsetForegroundIndicator(mContextIndicator);
    delete mContextIndicator;
    mContextIndicator = nullptr;
  }
  delete mMenu;
  mMenu = nullptr;
  if (mShortHelpLabel) {
    mViewer->RemoveRep(mShortHelpLabel, NavViewerExtand::kTemporyRoot);
    if (mShortHelpLabel->GetParents().empty()) delete mShortHelpLabel;
    mShortHelpLabel = nullptr;
  }
  // The scene is not ours: it must not go with the viewer's roots.
  if (mRoot) mViewer->RemoveRep(mRoot, NavViewerExtand::kOfficialRoot);
  Retire();
  mViewer = nullptr;
  delete mDerived;
  delete[] mViewers;
  delete[] mViewerCloseCBs;
  for (int i = 0; i < mHostCount; ++i) delete mHostRows[i];
  delete[] mHostRows;
}

// ---------------------------------------------------------------------------------------
// Accessors and small operations

KIV3DViewpoint* NavSimpleViewer3D::GetViewerViewpoint() const {
  return mViewer ? mViewer->GetMain3DViewpoint() : nullptr;
}

int NavSimpleViewer3D::GetPaletteStatusHide() const { return GetVisibility() == VisibilityShown ? 0 : 1; }

NavSimpleViewer3D* NavSimpleViewer3D::GetReferencedViewer(int index) const {
  return index >= 0 && index < mViewerCount ? mViewers[index] : nullptr;
}

void NavSimpleViewer3D::SetRootBagRepViewer(KIV3DBagRep* root) {
  if (root != mRoot) {
    if (mRoot) mViewer->RemoveRep(mRoot, NavViewerExtand::kOfficialRoot);
    mRoot = root;
    if (mRoot) mViewer->AddRep(mRoot, NavViewerExtand::kOfficialRoot);
    mViewer->Draw();
  }
  for (int i = 0; i < mViewerCount; ++i) mViewers[i]->SetRootBagRepViewer(root);
}

void NavSimpleViewer3D::ActivateForeGroundOnViewer() {
  if (!mContextIndicator) {
    mContextIndicator = new KIV3DIndicator(this, ContextIndicatorName, mViewer);
    mPanelCBs[2] = AddAnalyseNotificationCB(
        mContextIndicator, nullptr, nullptr,
        [this](KIVCommand* s, KIVNotification* n, void* d) { ActionPanelCB(s, n, d); }, nullptr);
  }
  mViewer->SetForegroundIndicator(mContextIndicator);
}

void NavSimpleViewer3D::UpdateView() {
  if (mClosing) return;
  mViewer->Draw();
  for (int i = 0; i < mViewerCount; ++i) mViewers[i]->UpdateView();
}

void NavSimpleViewer3D::UpdateTitle() {
  std::string title = PanelIdTitle;
  if (IsView(mLogicalView)) title += ViewTitleSuffix[mLogicalView - kViewUser];
  if (!Master()) title += MasterTitleSuffix;
  SetTitle(KIVUnicodeString(title.c_str()));
}

// ---------------------------------------------------------------------------------------
// Showing and hiding

void NavSimpleViewer3D::AffichePanel(int show) {
  if (mClosing) return;
  if (show == 1 && GetVisibility() == VisibilityHidden) {
    if (mLogicalView == kViewNone) SetLogicalView(kViewFront);
    if (Referenced()) {
      SubscribeReferenced();
      SetViewpoint(Referenced(), 1);
    }
    if (mDisplayOptions & kOptionMaster) SubscribeOwn();
    mViewer->SetCurrentSetting(mSetting.viewer);
    SetVisibility(VisibilityShown);
    for (int i = 0; i < mViewerCount; ++i) mViewers[i]->AffichePanel(1);
    mViewer->Draw();
    Notify(&mShowNotification);
  } else if (show == 0 && GetVisibility() == VisibilityShown) {
    UnsubscribeReferenced();
    UnsubscribeOwn();
    if (mKind == 1 || mKind == 2) {
      // Nothing reaches a window waiting for its destruction.
      mClosing = 1;
      RequestDelayedDestruction();
    } else {
      mViewer->SetGroundState(0);
      mViewer->SetPerfoState(0);
      mViewer->SetAxisState(0);
      mViewer->SetClippingEditorState(0);
      mViewer->SetLightEditorState(0);
      mViewer->SetStereoEditorState(0);
      mViewer->SetQualityLodEditorState(0);
      mViewer->SetReferenceEditorState(0);
      mViewer->SetExportToVRMLFile(0);
      mViewer->SetCaptureEditorState(0);
      mViewer->SetDistanceEditorState(0);
      mViewer->SetAnnotationEditorState(0);
      mViewer->SetToolsBarreState(0, -1);
      mViewer->GetCurrentSetting(mSetting.viewer, -1);
      for (int i = 0; i < mViewerCount; ++i) mViewers[i]->AffichePanel(0);
    }
    SetVisibility(VisibilityHidden);
    Notify(GetWindCloseNotification());
  }
}

// ---------------------------------------------------------------------------------------
// Following viewpoints

void NavSimpleViewer3D::SubscribeReferenced() {
  KIV3DViewpoint* ref = Referenced();
  if (!ref || mReferencedCBs[0]) return;
  const char* const events[3] = {KIVViewpoint::VIEWPOINT_MODIFIED, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED,
                                 KIVViewpoint::VIEWPOINT_ANIMATION_STOPED};
  for (int i = 0; i < 3; ++i)
    mReferencedCBs[i] = AddCallback(ref, events[i], &NavSimpleViewer3D::ViewpointModifiedCB, &kFromReferenced);
}

void NavSimpleViewer3D::UnsubscribeReferenced() {
  KIV3DViewpoint* ref = Referenced();
  for (KIVCallback& id : mReferencedCBs) {
    if (id && ref) RemoveCallback(ref, id);
    id = 0;
  }
}

void NavSimpleViewer3D::SubscribeOwn() {
  KIV3DViewpoint* own = GetViewerViewpoint();
  if (!own || mOwnCBs[0]) return;
  const char* const events[3] = {KIVViewpoint::VIEWPOINT_MODIFIED, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED,
                                 KIVViewpoint::VIEWPOINT_ANIMATION_STOPED};
  for (int i = 0; i < 3; ++i)
    mOwnCBs[i] = AddCallback(own, events[i], &NavSimpleViewer3D::ViewpointModifiedCB, &kFromOwn);
}

void NavSimpleViewer3D::UnsubscribeOwn() {
  KIV3DViewpoint* own = GetViewerViewpoint();
  for (KIVCallback& id : mOwnCBs) {
    if (id && own) RemoveCallback(own, id);
    id = 0;
  }
}

void NavSimpleViewer3D::ReferenceViewpoint(KIV3DViewpoint* vp) {
  if (vp == Referenced() && vp) return;
  const bool subscribed = mReferencedCBs[0] != 0;
  UnsubscribeReferenced();
  mReferenced = vp;
  mReferencedLife = vp ? vp->GetLifeToken() : std::weak_ptr<int>();
  if (subscribed || (vp && GetVisibility() == VisibilityShown && !mClosing)) SubscribeReferenced();
}

void NavSimpleViewer3D::ReferenceViewerMaster(NavSimpleViewer3D* master) {
  if (master == this) return;
  mMaster = master;
  mMasterLife = master ? master->GetLifeToken() : std::weak_ptr<int>();
  mDispatch = 0;
  SetDispatchSubscription(0);
  UpdateTitle();
}

Nav3DViewpointLight* NavSimpleViewer3D::TransformViewpoint(KIV3DViewpoint* master) {
  if (!master) return mDerived;
  const KIVMathPointf o = master->GetOrigin();
  const KIVMathVectorf s = master->GetSightDirection(), u = master->GetUpDirection();
  const float angle = master->GetAngle(), f = master->GetFocusDistance();
  mDerived->SetValue(o, s, u, angle, f);
  if (mLogicalView < kViewBack || mLogicalView > kViewBottom) return mDerived;
  KIVMathVectorf d, n;
  switch (mLogicalView) {
    case kViewBack: d = -s, n = u; break;
    case kViewLeft: d = Unit(-(s ^ u)), n = u; break;
    case kViewRight: d = Unit(s ^ u), n = u; break;
    case kViewTop: d = u, n = s; break;
    default: d = -u, n = -s; break;
  }
  d = Unit(d);
  // A degenerate master (sight along up) has no side: it is shown as it is.
  if (d.SquareNorm() < 0.5f) return mDerived;
  const KIVMathVectorf r = Unit(d ^ n);
  if (r.x + r.y + r.z > 0.0f) n = Unit(r ^ d);
  if (!mTargetFixed) {
    mDerived->SetValue(o, d, n, angle, f);
  } else if (mLogicalView == kViewBack) {
    mDerived->SetValue(o + s * (2.0f * f), d, n, angle, f);
  } else {
    const KIVMathPointf target = o + s * f;
    mDerived->SetValue(target + d * f, -d, n, angle, f);
  }
  return mDerived;
}

void NavSimpleViewer3D::SetViewpoint(KIV3DViewpoint* vp, int mode) {
  if (!vp || mClosing) return;
  const Nav3DViewpointLight wanted =
      mLogicalView == kViewFront || mLogicalView == kViewNone ? Nav3DViewpointLight(*vp) : *TransformViewpoint(vp);
  KIV3DViewpoint* own = GetViewerViewpoint();
  // A follower tracks every move, however small (the viewer's own comparison lets moves
  // under a unit pass as equal); only an identical view is not drawn again.
  if (mode != 0 && SameView(wanted, *own)) return;
  // Subscribers hear of the move before the frame, so that it is drawn once: the viewer's
  // own application then only records it and draws.
  own->BeginModification();
  own->SetAngle(wanted.angle);
  own->SetFocusDistance(wanted.focus);
  own->SetPosition(wanted.origin, wanted.sight, wanted.up);
  own->EndModification(mode == 1 ? 1 : 0);
  Nav3DViewpointLight applied = wanted;
  mViewer->SetViewpoint(&applied, 0);
}

void NavSimpleViewer3D::ApplyLogicalView() {
  if (GetVisibility() == VisibilityShown && Referenced()) SetViewpoint(Referenced(), 1);
}

void NavSimpleViewer3D::ViewpointModifiedCB(const char* event, void*, KIVNotification*, void* data, long) {
  if (mReentrance || mClosing) return;
  KIV3DViewpoint* ref = Referenced();
  KIV3DViewpoint* own = GetViewerViewpoint();
  const std::string ev = event ? event : "";
  if (data == &kFromReferenced) {
    if (!ref) return;
    mReentrance = 1;
    if (ev == KIVViewpoint::VIEWPOINT_MODIFIED)
      SetViewpoint(ref, 1);
    else if (ev == KIVViewpoint::VIEWPOINT_ANIMATION_STARTED)
      own->BeginAnimation(this);
    else if (ev == KIVViewpoint::VIEWPOINT_ANIMATION_STOPED)
      own->EndAnimation(this);
    mReentrance = 0;
    return;
  }
  if (data != &kFromOwn) return;
  // Our own navigation drives the viewpoint we reference.
  if (ev == KIVViewpoint::VIEWPOINT_MODIFIED) {
    if (!ref) {
      mViewer->Draw();
      return;
    }
    ref->BeginModification();
    ref->SetPosition(own->GetOrigin(), own->GetSightDirection(), own->GetUpDirection());
    ref->SetAngle(own->GetAngle());
    ref->SetFocusDistance(own->GetFocusDistance());
    mReentrance = 1;
    ref->EndModification(1);
    mReentrance = 0;
  } else if (ref) {
    mReentrance = 1;
    if (ev == KIVViewpoint::VIEWPOINT_ANIMATION_STARTED)
      ref->BeginAnimation(this);
    else if (ev == KIVViewpoint::VIEWPOINT_ANIMATION_STOPED)
      ref->EndAnimation(this);
    mReentrance = 0;
  }
}

// ---------------------------------------------------------------------------------------
// Logical views and the windows opened from here

void NavSimpleViewer3D::SetLogicalView(int view) {
  if (view != kViewNone && !IsView(view)) return;
  if (view != mLogicalView) {
    mLogicalView = view;
    ApplyLogicalView();
  }
  UpdateTitle();
}

NavSimpleViewer3D* NavSimpleViewer3D::TopMaster() {
  NavSimpleViewer3D* top = this;
  // Bounded: a host could record masters in a ring.
  for (int depth = 0; depth < 64 && top->Master(); ++depth) top = top->Master();
  return top;
}

const NavSimpleViewer3D* NavSimpleViewer3D::TopMaster() const {
  return const_cast<NavSimpleViewer3D*>(this)->TopMaster();
}

int NavSimpleViewer3D::ShowsView(int view) const {
  if (mLogicalView == view && !mClosing) return 1;
  for (int i = 0; i < mViewerCount; ++i)
    if (mViewers[i]->ShowsView(view)) return 1;
  return 0;
}

int NavSimpleViewer3D::IsViewNotReferenced(int view) const { return TopMaster()->ShowsView(view) ? 0 : 1; }

int NavSimpleViewer3D::GetIndiceViewer(int view) const {
  for (int i = 0; i < mViewerCount; ++i)
    if (mViewers[i]->mLogicalView == view) return i;
  return -1;
}

int NavSimpleViewer3D::OpenViewer(int view) {
  if (!IsView(view) || mClosing) return 0;
  if (mViewerCount >= mViewerCapacity) {
    const int capacity = mViewerCapacity > 0 ? 2 * mViewerCapacity : 5;
    auto** viewers = new (std::nothrow) NavSimpleViewer3D*[capacity]();
    auto* callbacks = new (std::nothrow) KIVCallback[capacity]();
    if (!viewers || !callbacks) {
      std::cerr << kListError << std::endl;
      delete[] viewers;
      delete[] callbacks;
      return 0;
    }
    for (int i = 0; i < mViewerCount; ++i) viewers[i] = mViewers[i], callbacks[i] = mViewerCloseCBs[i];
    delete[] mViewers;
    delete[] mViewerCloseCBs;
    mViewers = viewers;
    mViewerCloseCBs = callbacks;
    mViewerCapacity = capacity;
  }
  auto* v = new NavSimpleViewer3D(this, this, mRoot, 400, 250, -1, kOptionOtherViews);
  const int index = mViewerCount;
  mViewerCloseCBs[index] =
      AddAnalyseNotificationCB(v, v->GetWindCloseNotification(), &NavSimpleViewer3D::ActionPanelCB, nullptr);
  v->ReferenceViewerMaster(this);
  v->SetTargetFixe(mTargetFixed);
  KIV3DViewpoint* followed = (mDisplayOptions & kOptionMaster) || !Referenced() ? GetViewerViewpoint() : Referenced();
  v->ReferenceViewpoint(followed);
  v->AffichePanel(1);
  v->SetLogicalView(kViewNone);
  v->SetLogicalView(view);
  mViewers[index] = v;
  mViewerCount = index + 1;
  SetDispatchConfig(-1, -1, index);
  return 1;
}

void NavSimpleViewer3D::RemoveReferencedViewer(int index) {
  if (index < 0 || index >= mViewerCount) return;
  for (int i = index; i + 1 < mViewerCount; ++i) {
    mViewers[i] = mViewers[i + 1];
    mViewerCloseCBs[i] = mViewerCloseCBs[i + 1];
  }
  --mViewerCount;
  mViewers[mViewerCount] = nullptr;
  mViewerCloseCBs[mViewerCount] = 0;
}

int NavSimpleViewer3D::CloseViewer(int view) {
  const int index = GetIndiceViewer(view);
  if (index < 0) return 0;
  CloseViewerAt(index);
  return 1;
}

void NavSimpleViewer3D::CloseViewerAt(int index) {
  if (index < 0 || index >= mViewerCount) return;
  NavSimpleViewer3D* v = mViewers[index];
  RemoveAnalyseNotificationCB(mViewerCloseCBs[index]);
  RemoveReferencedViewer(index);
  // Nothing reaches a window waiting for its destruction.
  v->UnsubscribeReferenced();
  v->UnsubscribeOwn();
  v->mClosing = 1;
  v->SetVisibility(VisibilityHidden);
  v->RequestDelayedDestruction();
}

void NavSimpleViewer3D::ForgetClosedViewer(NavSimpleViewer3D* viewer) {
  for (int i = 0; i < mViewerCount; ++i)
    if (mViewers[i] == viewer) {
      RemoveAnalyseNotificationCB(mViewerCloseCBs[i]);
      RemoveReferencedViewer(i);
      return;
    }
}

// ---------------------------------------------------------------------------------------
// Settings

void NavSimpleViewer3D::SetDispatchSubscription(int on) {
  if (on && !mSettingModifiedCB && mViewer) {
    mSettingModifiedCB = AddCallback(mViewer, NavViewerExtand::VIEWER_SETTING_MODIFIED(),
                                     &NavSimpleViewer3D::ActionViewerExtandCB, nullptr);
  } else if (!on && mSettingModifiedCB) {
    if (mViewer) RemoveCallback(mViewer, mSettingModifiedCB);
    mSettingModifiedCB = 0;
  }
}

void NavSimpleViewer3D::SetDispatchConfig(int dispatch, int mask, int index) {
  if (dispatch != -1 && dispatch != mDispatch) mDispatch = dispatch == 1 ? 1 : 0;
  if (mDispatch != 1 || Master() || mViewerCount == 0) return;
  NavViewerSetting setting;
  mViewer->GetCurrentSetting(setting, mask);
  // The viewpoint palette belongs to each window.
  setting.sectionMask &= ~NavViewerSetting::kPalette;
  delete setting.palette;
  setting.palette = nullptr;
  if (index >= 0 && index < mViewerCount) {
    mViewers[index]->GetSpecificViewer()->SetCurrentSetting(setting);
  } else {
    for (int i = 0; i < mViewerCount; ++i) mViewers[i]->GetSpecificViewer()->SetCurrentSetting(setting);
  }
}

void NavSimpleViewer3D::ActionViewerExtandCB(const char*, void*, KIVNotification*, void*, long) {
  if (mDispatch == 1 && !mClosing) SetDispatchConfig(-1, mViewer->GetLastViewerSettingAction(), -1);
}

void NavSimpleViewer3D::SetTargetFixe(int fixed) {
  if (fixed != 0 && fixed != 1) return;
  if (fixed != mTargetFixed) {
    mTargetFixed = fixed;
    ApplyLogicalView();
  }
  for (int i = 0; i < mViewerCount; ++i) mViewers[i]->SetTargetFixe(fixed);
}

void NavSimpleViewer3D::SetRatioSizeView(float ratio) {
  if (!std::isfinite(ratio) || ratio <= 0.0f) return;
  if (ratio == mSetting.sizeRatio || mSetting.sizeRatio != -1.0f) return;
  mSetting.sizeRatio = ratio;
  int x = 0, y = 0;
  GetRectPosition(x, y);
  if (x < 1) x = 350, y = 420;
  mViewer->SetRectDimensions(x, y, static_cast<int>(360.0 / ratio), 360);
  for (int i = 0; i < mViewerCount; ++i) mViewers[i]->SetRatioSizeView(ratio);
}

void NavSimpleViewer3D::GetCurrentSetting(NavSimpleViewer3DSetting& setting) {
  mViewer->GetCurrentSetting(mSetting.viewer, -1);
  mSetting.dispatch = mDispatch;
  mSetting.targetFixed = mTargetFixed;
  mSetting.logicalView = mLogicalView;
  mSetting.label = mShortHelpMask;
  setting = mSetting;
}

void NavSimpleViewer3D::SetCurrentSetting(const NavSimpleViewer3DSetting& s) {
  if (mClosing) return;
  if (s.logicalView != -1 && s.logicalView != mLogicalView) SetLogicalView(s.logicalView);
  if (s.targetFixed != -1 && s.targetFixed != mTargetFixed) SetTargetFixe(s.targetFixed);
  if (s.dispatch != -1 && s.dispatch != mDispatch) {
    SetDispatchConfig(s.dispatch, -1, -1);
    SetDispatchSubscription(mDispatch == 1);
  }
  if (s.label != -1 && s.label != mShortHelpMask) SetShortHelpMask(s.label);
  if (s.sizeRatio != -1.0f) SetRatioSizeView(s.sizeRatio);
  mSetting.viewer = s.viewer;
  mViewer->SetCurrentSetting(s.viewer);
}

// ---------------------------------------------------------------------------------------
// Contextual menu

void NavSimpleViewer3D::AddItemInMenuContext(TableauMenu** rows, int count, int reset, int position) {
  if (reset == 1) {
    for (int i = 0; i < mHostCount; ++i) delete mHostRows[i];
    mHostCount = 0;
  }
  if (rows && count > 0) {
    if (mHostCount + count >= mHostCapacity) {
      const int capacity = 2 * (mHostCount + count);
      auto** grown = new (std::nothrow) TableauMenu*[capacity]();
      if (!grown) {
        std::cerr << kListError << std::endl;
      } else {
        for (int i = 0; i < mHostCount; ++i) grown[i] = mHostRows[i];
        delete[] mHostRows;
        mHostRows = grown;
        mHostCapacity = capacity;
      }
    }
    for (int i = 0; i < count && mHostCount < mHostCapacity; ++i) {
      if (!rows[i]) continue;
      auto* copy = new TableauMenu(*rows[i]);
      copy->mnemonic = rows[i]->mnemonic;
      mHostRows[mHostCount++] = copy;
    }
  }
  if (position != -1) mHostPosition = position;
}

void NavSimpleViewer3D::BuildContextMenu() {
  KIVDlgMenu* root = mMenu ? mMenu->GetRacineMenu() : nullptr;
  if (!root || mClosing) return;
  mMenu->SupprimeMenu(0);
  // The rows of the last pop-up go at once, so that the menu never shows them twice.
  const std::vector<KIVDialog*> old = root->GetDialogChildren();
  for (KIVDialog* item : old) delete item;

  const bool master = (mDisplayOptions & kOptionMaster) != 0;
  const bool recorded = Master() != nullptr;
  const bool hostFirst = mHostPosition == 1;
  MenuTable t;
  std::vector<TableauMenu*> otherViews, openViews;
  for (int i = 0; i < 6; ++i) {
    otherViews.push_back(t.Row(kOptOtherViewFirst + i, kCheck, kViewTags[i], kViewTitles[i], true));
    openViews.push_back(t.Row(kOptOpenViewerFirst + i, kCheck, kViewTags[i], kViewTitles[i], true));
  }
  const bool named = mViewer->GetInterfaceInfoRep() != nullptr;
  TableauMenu* own[20] = {
      t.Row(-1, kSeparator, "Separator", nullptr, mHostCount > 0 && hostFirst),
      t.Row(kOptExamine, kRadio, "ManipTurnAroundRadioItem", "Examine", master),
      t.Row(kOptWalk, kRadio, "ManipWalkRadioItem", "Walk", master),
      t.Row(kOptFly, kRadio, "ManipFlyRadioItem", "Fly", master),
      t.Row(-1, kSeparator, "Separator", nullptr, master),
      t.Row(kOptReframe, kPush, "ReframePushItem", "Reframe", master),
      t.Row(kOptFixedTarget, kCheck, "FixeTargetItem", "Fixed Target",
            (mDisplayOptions & (kOptionOtherViews | kOptionOpenViewer)) != 0),
      t.Sub("OtherViewSubMenu", "Other Views", (mDisplayOptions & kOptionOtherViews) && !master, otherViews),
      t.Sub("OtherViewerItem", "Open viewer", (mDisplayOptions & kOptionOpenViewer) && !recorded, openViews),
      t.Row(-1, kSeparator, "Separator", nullptr, true),
      t.Sub("ViewerSetSubMenu", "Settings", true,
            {t.Row(kOptQualitySpeed, kCheck, "QualitySpeedItem", "Quality & Speed", true),
             t.Row(kOptVisibility, kCheck, "VisibilityItem", "Visibility Setting", true),
             t.Row(-1, kSeparator, "Separator", nullptr, true),
             t.Row(kOptReferenceView, kCheck, "ViewSettingItem", "Reference & Background", true),
             t.Row(kOptLight, kCheck, "LightCheckItem", "Light Editor", true),
             t.Row(kOptStereo, kCheck, "StereoCheckItem", "Stereoscopy", true),
             t.Row(-1, kSeparator, "Separator", nullptr, true),
             t.Row(kOptGround, kCheck, "GroundCheckItem", "Ground", true),
             t.Row(kOptPerfo, kCheck, "PerfoCheckItem", "Performance", true),
             t.Row(kOptDashboard, kCheck, "DashCheckItem", "Dashboard", master),
             t.Row(kOptAxis, kCheck, "AxisCheckItem", "Show Axis", true),
             t.Row(-1, kSeparator, "Separator", nullptr, !recorded),
             t.Row(kOptDispatch, kCheck, "DispatchConfItem", "Dispatch Config", !recorded)}),
      t.Row(kOptDistance, kCheck, "ViewerDistanceCheck", "Check Distance", true),
      t.Row(kOptAnnotation, kCheck, "ViewerAnnotationCheck", "Annotation", true),
      t.Sub("ShortHelpSubMenu", "Short Help", true,
            {t.Row(kOptShortHelpName, kCheck, "ShortHelpNameItem", "Name", named),
             t.Row(kOptShortHelpCoordinate, kCheck, "ShortHelpCoordinateItem", "Coordinate", true)}),
      t.Row(-1, kSeparator, "Separator", nullptr, true),
      t.Sub("ViewerExportItem", "Export Screen", true,
            {t.Row(kOptCapture, kPush, "CapturePushItem", "Capture Screen...", true),
             t.Row(kOptSaveVrml, kPush, "SaveVrmlPushItem", "Export Vrml File", true)}),
      t.Row(-1, kSeparator, "Separator", nullptr, true),
      t.Row(-1, kSeparator, "Separator", nullptr, mHostCount > 0 && !hostFirst),
      t.Row(kOptClose, kPush, "ClosePushItem", "Close", true),
      t.Row(kOptGraphicDebug, kCheck, "DebugViewerItem", "Grahic Debug", std::getenv("KIVT3X_DEBUG_OPTION") != nullptr),
  };
  std::vector<TableauMenu*> table;
  if (hostFirst) {
    table.insert(table.end(), mHostRows, mHostRows + mHostCount);
    table.insert(table.end(), own, own + 20);
  } else {
    table.insert(table.end(), own, own + 17);
    table.insert(table.end(), mHostRows, mHostRows + mHostCount);
    table.insert(table.end(), own + 17, own + 20);
  }
  mMenu->BuildMenuRecurcif(root, table.data(), static_cast<int>(table.size()));

  auto state = [this](int option, bool on) { mMenu->SetState(option, on ? StateSet : StateCleared, 0); };
  NavViewerExtand* v = mViewer;
  state(kOptQualitySpeed, v->SetQualityLodEditorState(-1) != 0);
  state(kOptVisibility, v->SetClippingEditorState(-1) != 0);
  state(kOptLight, v->SetLightEditorState(-1) != 0);
  state(kOptReferenceView, v->SetReferenceEditorState(-1) != 0);
  state(kOptGround, v->SetGroundState(-1) != 0);
  state(kOptPerfo, v->SetPerfoState(-1) != 0);
  state(kOptAxis, v->SetAxisState(-1) != 0);
  state(kOptDashboard, v->SetDashboardState(-1) != 0);
  state(kOptCapture, v->SetCaptureEditorState(-1) != 0);
  state(kOptSaveVrml, v->SetExportToVRMLFile(-1) != 0);
  state(kOptDistance, v->SetDistanceEditorState(-1) != 0);
  state(kOptAnnotation, v->SetAnnotationEditorState(-1) != 0);
  state(kOptStereo, v->IsStereoActivate() == 1);
  state(kOptShortHelpName, (mShortHelpMask & kShortHelpName) != 0);
  state(kOptShortHelpCoordinate, (mShortHelpMask & kShortHelpCoordinate) != 0);
  state(kOptFixedTarget, mTargetFixed == 1);
  state(kOptDispatch, mDispatch == 1);
  for (int i = 0; i < 6; ++i) {
    const int view = kViewFront + i;
    const int index = GetIndiceViewer(view);
    state(kOptOpenViewerFirst + i, index >= 0 && mViewers[index]->GetPaletteStatusHide() == 0);
    state(kOptOtherViewFirst + i, mLogicalView == view);
    mMenu->SetSensitivity(kOptOtherViewFirst + i, IsViewNotReferenced(view) ? SensitivityOn : SensitivityOff);
    mMenu->SetSensitivity(kOptOpenViewerFirst + i, mLogicalView != view ? SensitivityOn : SensitivityOff);
  }
  if (master) {
    const int style = v->SetNavigationStyle(-1);
    if (style == 7) state(kOptExamine, true);
    if (style == 8) state(kOptWalk, true);
    if (style == 9) state(kOptFly, true);
  }
  state(kOptGraphicDebug, v->SetGraphicRepTreeState(-1) != 0);
}

int NavSimpleViewer3D::HostRowOption(int option) {
  for (int i = 0; i < mHostCount; ++i)
    if (mHostRows[i]->option == option) return i;
  return -1;
}

void NavSimpleViewer3D::ActiveOption(int option) {
  if (mClosing) return;
  NavViewerExtand* v = mViewer;
  auto toggle = [v](int (NavViewerExtand::*state)(int)) { (v->*state)((v->*state)(-1) == 1 ? 0 : 1); };
  switch (option) {
    case kOptQualitySpeed: toggle(&NavViewerExtand::SetQualityLodEditorState); break;
    case kOptVisibility: toggle(&NavViewerExtand::SetClippingEditorState); break;
    case kOptReferenceView: toggle(&NavViewerExtand::SetReferenceEditorState); break;
    case kOptLight: toggle(&NavViewerExtand::SetLightEditorState); break;
    case kOptGround: toggle(&NavViewerExtand::SetGroundState); break;
    case kOptStereo: toggle(&NavViewerExtand::SetStereoEditorState); break;
    case kOptPerfo: toggle(&NavViewerExtand::SetPerfoState); break;
    case kOptCapture: toggle(&NavViewerExtand::SetCaptureEditorState); break;
    case kOptSaveVrml: toggle(&NavViewerExtand::SetExportToVRMLFile); break;
    case kOptFixedTarget: SetTargetFixe(mTargetFixed == 0 ? 1 : 0); break;
    case kOptClose: AffichePanel(0); break;
    case kOptDispatch:
      SetDispatchConfig(mDispatch == 0 ? 1 : 0, -1, -1);
      SetDispatchSubscription(mDispatch == 1);
      break;
    case kOptReframe: v->Reframe(NavViewerExtand::kOfficialRoot); break;
    case kOptFly: v->SetNavigationStyle(9); break;
    case kOptWalk: v->SetNavigationStyle(8); break;
    case kOptExamine: v->SetNavigationStyle(7); break;
    case kOptDistance: toggle(&NavViewerExtand::SetDistanceEditorState); break;
    case kOptAnnotation: toggle(&NavViewerExtand::SetAnnotationEditorState); break;
    case kOptDashboard: toggle(&NavViewerExtand::SetDashboardState); break;
    case kOptAxis: toggle(&NavViewerExtand::SetAxisState); break;
    case kOptShortHelpName: SetShortHelpMask(mShortHelpMask ^ kShortHelpName); break;
    case kOptShortHelpCoordinate: SetShortHelpMask(mShortHelpMask ^ kShortHelpCoordinate); break;
    case kOptGraphicDebug: toggle(&NavViewerExtand::SetGraphicRepTreeState); break;
    default:
      if (option >= kOptOtherViewFirst && option < kOptOtherViewFirst + 6) {
        SetLogicalView(kViewFront + option - kOptOtherViewFirst);
      } else if (option >= kOptOpenViewerFirst && option < kOptOpenViewerFirst + 6) {
        const int view = kViewFront + option - kOptOpenViewerFirst;
        if (GetIndiceViewer(view) != -1)
          CloseViewer(view);
        else
          OpenViewer(view);
      } else {
        // A host row: its checked bit follows the item, and the host hears of the choice.
        const int row = HostRowOption(option);
        if (row >= 0) {
          const int checked = mMenu->GetState(option) == StateSet;
          if (checked && !(mHostRows[row]->state & kChecked))
            mHostRows[row]->state |= kChecked;
          else if (!checked && (mHostRows[row]->state & kChecked))
            mHostRows[row]->state &= ~kChecked;
        }
        SendNotification(GetFather(), mMenu->GetActionMenuNotification());
      }
      break;
  }
}

void NavSimpleViewer3D::ForwardToEditor(KIVNotification* notification) {
  KIVViewpointEditor* editor = mViewer->GetViewpointEditor();
  const KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(InputOf(notification));
  if (auto* begin = dynamic_cast<KIVBeginManipulateNotification*>(notification)) {
    KIVViewerEvent* event = begin->GetViewerEvent();
    // The right button is the menu's: it does not navigate here.
    const int buttons = mouse ? mouse->GetButtons() : 0;
    mEditorForwarding = editor && event && (buttons & (KIVMouseEvent::ButtonLeft | KIVMouseEvent::ButtonMiddle));
    if (mEditorForwarding) editor->BeginManipulate(event);
  } else if (auto* drag = dynamic_cast<KIVManipulateNotification*>(notification)) {
    if (mEditorForwarding && editor && drag->GetViewerEvent()) editor->Manipulate(drag->GetViewerEvent());
  } else if (auto* end = dynamic_cast<KIVEndManipulateNotification*>(notification)) {
    if (mEditorForwarding && editor && end->GetViewerEvent()) editor->EndManipulate(end->GetViewerEvent());
    mEditorForwarding = 0;
  }
}

void NavSimpleViewer3D::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!notification) return;
  if (sender == this && notification == GetWindCloseNotification()) {
    AffichePanel(0);
    return;
  }
  // A window opened from here dies by its close box.
  for (int i = 0; i < mViewerCount; ++i)
    if (sender == mViewers[i] && notification == mViewers[i]->GetWindCloseNotification()) {
      CloseViewerAt(i);
      return;
    }
  if (mClosing) return;
  if (sender == mMenu && notification == mMenu->GetActionMenuNotification()) {
    ActiveOption(mMenu->GetLastOptionChoose());
    return;
  }
  if (sender && sender == mContextIndicator) {
    if (auto* context = dynamic_cast<KIVContextNotification*>(notification)) {
      KIVDlgContextualMenu* menu = context->GetContextualMenu();
      if (menu && menu->GetVisibility() == VisibilityShown) BuildContextMenu();
      return;
    }
    if (mShortHelpMask && notification->IsAKindOf(KIVManipulator::GetKIVMove())) {
      ShortHelpCB(sender, notification, nullptr);
      return;
    }
    ForwardToEditor(notification);
  }
}

// ---------------------------------------------------------------------------------------
// Short help

void NavSimpleViewer3D::SetShortHelpMask(int mask) {
  mask &= kShortHelpName | kShortHelpCoordinate;
  const int old = mShortHelpMask;
  mShortHelpMask = mask;
  if (!mViewer) return;
  if (old == 0 && mask != 0) {
    if (!mShortHelpLabel) {
      mShortHelpLabel = new KIV3DTextRep(KIVMathPointf(0.0f, 0.0f, 0.0f), "",
                                         static_cast<KIV3DTextRep::AnchorPoint>(kLabelAnchor));
      mViewer->AddRep(mShortHelpLabel, NavViewerExtand::kTemporyRoot);
    }
    mShortHelpLabel->Modify(KIVMathPointf(0.0f, 0.0f, 0.0f), "");
    KIVGraphicAttributeSet attributes = mShortHelpLabel->GetGraphicAttributeSet();
    attributes.SetFlag(KIVGraphicAttributeSet::Hidden, 0);
    mShortHelpLabel->SetGraphicAttributeSet(attributes);
    // The manipulators of the viewer's scene tell the viewer first; our indicator tells us.
    auto cb = [this](KIVCommand* s, KIVNotification* n, void* d) { ShortHelpCB(s, n, d); };
    mShortHelpCBs[0] = mViewer->AddAnalyseNotificationCB(nullptr, nullptr, KIVManipulator::GetKIVMove(), cb, nullptr);
    mShortHelpCBs[1] =
        mViewer->AddAnalyseNotificationCB(nullptr, nullptr, KIVManipulator::GetKIVActivate(), cb, nullptr);
  } else if (old != 0 && mask == 0) {
    if (mShortHelpLabel) {
      KIVGraphicAttributeSet attributes = mShortHelpLabel->GetGraphicAttributeSet();
      attributes.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
      mShortHelpLabel->SetGraphicAttributeSet(attributes);
    }
    for (int i = 0; i < 2; ++i) {
      if (mShortHelpCBs[i]) mViewer->RemoveAnalyseNotificationCB(mShortHelpCBs[i]);
      mShortHelpCBs[i] = 0;
    }
  }
}

void NavSimpleViewer3D::ShortHelpCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!notification || !mShortHelpMask || !mShortHelpLabel || mClosing) return;
  if (notification->IsAKindOf(KIVManipulator::GetKIVMove())) {
    KIVPickPath path;
    if (NavToolsVisu::DecodePickPath(dynamic_cast<KIVManipulator*>(sender), InputOf(notification), mViewer, path) != 1)
      return;
    std::string text;
    if (mShortHelpMask & kShortHelpName) {
      NavInterfaceInfoRep* info = mViewer->GetInterfaceInfoRep();
      const char* name = info ? info->GetNameOfRep(static_cast<KIVRepPath*>(&path)) : nullptr;
      if (name) text = name;
      for (size_t at = text.find("  "); at != std::string::npos; at = text.find("  ")) text.erase(at, 1);
    }
    const KIVMathPointf p = path.GetGlobalIntersection();
    if (mShortHelpMask & kShortHelpCoordinate) {
      char buffer[160];
      std::snprintf(buffer, sizeof buffer, "%sX:%g - Y:%g - Z:%g", text.empty() ? "" : " - ",
                    static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z));
      text += buffer;
    }
    mShortHelpLabel->Modify(p, text.c_str());
    mViewer->Draw();
  } else if (notification->IsAKindOf(KIVManipulator::GetKIVActivate())) {
    const KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(InputOf(notification));
    const char* text = mShortHelpLabel->GetText();
    if (!mouse || !(mouse->GetButtons() & KIVMouseEvent::ButtonLeft) || !text || !*text) return;
    auto* pinned = new KIV3DTextRep(mShortHelpLabel->GetCurrentPosition(), text,
                                    static_cast<KIV3DTextRep::AnchorPoint>(kLabelAnchor));
    KIVGraphicAttributeSet attributes = pinned->GetGraphicAttributeSet();
    attributes.SetColorIndex(kPinnedColour);
    pinned->SetGraphicAttributeSet(attributes);
    mViewer->AddRep(pinned, NavViewerExtand::kAnnotationRoot);
    mViewer->Draw();
  }
}
