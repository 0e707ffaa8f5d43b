#include "navigation/NavViewpointManipulate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "foundation/NavMenuGeneric.h"
#include "foundation/NavViewpointAnimation.h"
#include "foundation/TableauMenu.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/interact/KIV3DManipulator.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewpointManipulatePanel.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

const char* NavViewpointManipulate::VIEWPOINT_STATE_MODIFIED() {
  return NavViewpointManipulateVIEWPOINT_STATE_MODIFIEDEvt::ClassName();
}

namespace {
constexpr double kDegree = 0.017453292519943295;
constexpr int kPointSymbol = 6;
constexpr float kPointPixels = 7.0f;
// Colour index of each colour option 15 to 20.
constexpr int kColours[6] = {248, 247, 245, 246, 250, 249};

bool Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The elements that carry a handle; the others are drawing only and never hide a handle
// from the pointer.
bool CarriesHandle(int element) {
  for (int e : NavViewpointManipulate::kHandleElement)
    if (e == element) return true;
  return false;
}
}  // namespace

NavViewpointManipulate::NavViewpointManipulate(NavViewerExtand* viewer, KIV3DBagRep* container, KIV3DBagRep* root,
                                               KIVUnicodeString name, int options)
    : KIVCommand(viewer, "NavViewpointManipulate"),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()),
      mContainer(container),
      mSceneRoot(root),
      mName(name),
      mOptions(options),
      mCamera(std::make_unique<KIV3DViewpoint>()),
      mEndNotification(std::make_unique<KIVEndManipulateNotification>()) {
  if (!mContainer) {
    mContainer = new KIV3DBagRep;
    mOwnContainer = 1;
    mContainer->SetColorInheritanceMode(1);
    if (mViewer) mViewer->AddRep(mContainer, NavViewerExtand::kTemporyRoot);
  }
  if (!mSceneRoot && mViewer) mSceneRoot = dynamic_cast<KIV3DBagRep*>(mViewer->GetRootRep(NavViewerExtand::kOfficialRoot));
  mCamera->SetFocusDistance(kInitialFocus);
  // The wire frame follows every change of the camera, whoever makes it.
  mCameraCB = AddCallback(mCamera.get(), KIVViewpoint::VIEWPOINT_MODIFIED, &NavViewpointManipulate::CameraModifiedCB,
                          nullptr);
  CreateCameraRep();
  if (mOptions & kOptionActivate) SetActivateManipulator(1, 0);
  if (mOwnContainer) SetColorViewpoint(kDefaultColor);

  mMenu = new NavMenuGeneric(this, mViewer ? mViewer->GetParent() : nullptr, ContextMenuName, -1, nullptr, 0);
  mMenuCB = AddAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(),
                                     &NavViewpointManipulate::UpdateContextualMenuCB, nullptr);
  if (mViewer) mMenu->SetRacineMenu(mViewer->GetContextualMenu());
}

NavViewpointManipulate::~NavViewpointManipulate() {
  mInDelete = 1;
  SetAnimationViewpointState(0, nullptr);
  if (mSecondary) DereferenceViewer(mSecondary);
  SetStatusViewer(0);
  SetCameraInteractif(0);
  EraseManipulator();
  EraseCameraRep();
  if (mCameraCB) RemoveCallback(mCamera.get(), mCameraCB);
  if (mMenuCB) RemoveAnalyseNotificationCB(mMenuCB);
  delete mMenu;
  mMenu = nullptr;
  if (mOwnContainer) {
    if (NavViewerExtand* viewer = GetViewer()) viewer->RemoveRep(mContainer, NavViewerExtand::kTemporyRoot);
    delete mContainer;
  }
  mContainer = nullptr;
  Publish();
}

NavViewerExtand* NavViewpointManipulate::GetViewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void NavViewpointManipulate::Publish() { GetCallbackManager()->DispatchCallbacks(VIEWPOINT_STATE_MODIFIED(), nullptr, this); }

void NavViewpointManipulate::Redraw() {
  if (NavViewerExtand* viewer = GetViewer()) viewer->Draw();
}

void NavViewpointManipulate::SetNameObject(const KIVUnicodeString& name) {
  mName = name;
  Publish();
}

// ---------------------------------------------------------------------------------------
// The wire frame

int NavViewpointManipulate::ComputeGeometry(Geometry& g) {
  const KIVMathPointf o = mCamera->GetOrigin();
  const KIVMathDirectionf s = mCamera->GetSightDirection(), u = mCamera->GetUpDirection();
  const KIVMathDirectionf r(s ^ u);
  const float f = mCamera->GetFocusDistance();
  if (r.IsNull() || !Finite(o) || !(f > 0.0f) || !std::isfinite(f)) return 0;
  const KIVMathPointf t = o + s * f;
  const float h = f / mSightDivisor;
  if (mRatio == -1.0f) {
    int w = 1, hp = 1;
    if (NavViewerExtand* viewer = GetViewer()) viewer->GetGraphicSize(&w, &hp);
    mRatio = (static_cast<float>(w) + 0.1f) / (static_cast<float>(hp) + 0.1f);
  }
  const float hw = static_cast<float>(f * mRatio * std::tan(mCamera->GetAngle() * kDegree));
  const float hh = hw / mRatio;
  // An angle that leaves no frame (90 degrees and beyond) draws nothing new.
  if (!(hw > 0.0f) || !std::isfinite(hw) || !std::isfinite(hh)) return 0;
  const bool fixed = mCamera->IsFixedFocus() != 0;
  const KIVMathPointf m = fixed ? t : o + (t - o) * 0.5f;
  auto point = [&g](int e, const KIVMathPointf& p) {
    g.from[e] = g.to[e] = p;
    g.point[e] = true;
  };
  auto line = [&g](int e, const KIVMathPointf& a, const KIVMathPointf& b) {
    g.from[e] = a;
    g.to[e] = b;
    g.point[e] = false;
  };
  point(0, o);
  point(1, t);
  line(3, o, o + s * h);
  line(2, o + s * h, t - s * h);
  line(4, t - s * h, t);
  const KIVMathPointf c[4] = {m + u * hh + r * hw, m + u * hh - r * hw, m - u * hh - r * hw, m - u * hh + r * hw};
  // A rectangle's edges in three pieces, leaving room for the corner points.
  auto rectangle = [&](int first, const KIVMathPointf* k) {
    for (int i = 0; i < 4; ++i) {
      const KIVMathPointf& a = k[i];
      const KIVMathPointf& b = k[(i + 1) % 4];
      const KIVMathDirectionf d(a - b);
      line(first + 3 * i, a - d * h, b + d * h);
      line(first + 1 + 3 * i, a, a - d * h);
      line(first + 2 + 3 * i, b, b + d * h);
    }
  };
  for (int i = 0; i < 4; ++i) point(5 + i, c[i]);
  rectangle(9, c);
  if (fixed) {
    for (int i = 0; i < 4; ++i) {
      const KIVMathDirectionf d(o - c[i]);
      line(21 + 3 * i, c[i] + d * h, o - d * h);
      line(22 + 3 * i, c[i], c[i] + d * h);
      line(23 + 3 * i, o, o - d * h);
    }
  } else {
    // The near frame: half the size of the far one, about the same centre.
    const KIVMathPointf inner[4] = {m + u * (hh / 2) + r * (hw / 2), m + u * (hh / 2) - r * (hw / 2),
                                    m - u * (hh / 2) - r * (hw / 2), m - u * (hh / 2) + r * (hw / 2)};
    rectangle(21, inner);
  }
  // Aiming marks: a cross at the centre, four ticks pointing inwards from the edge
  // middles, a roof over the top edge that tells up from down, and the centre point.
  const float q = std::min(hw, hh) / 4.0f;
  line(33, m - r * q, m + r * q);
  line(34, m - u * q, m + u * q);
  const KIVMathPointf mids[4] = {m + u * hh, m - r * hw, m - u * hh, m + r * hw};
  for (int i = 0; i < 4; ++i) line(35 + i, mids[i], mids[i] + (m - mids[i]) * 0.1f);
  line(39, mids[0] - r * q, mids[0] + u * q);
  line(40, mids[0] + r * q, mids[0] + u * q);
  point(41, m);
  for (int e = 0; e < kElementCount; ++e)
    if (!Finite(g.from[e]) || !Finite(g.to[e])) return 0;
  return 1;
}

void NavViewpointManipulate::CreateCameraRep() {
  if (mElements[0]) return;
  Geometry g;
  if (!ComputeGeometry(g)) return;
  for (int e = 0; e < kElementCount; ++e) {
    KIV3DRep* rep = g.point[e] ? static_cast<KIV3DRep*>(new KIV3DPointRep(g.from[e], kPointSymbol, kPointPixels))
                               : static_cast<KIV3DRep*>(new KIV3DLineRep(g.from[e], g.to[e]));
    KIVGraphicAttributeSet look = rep->GetGraphicAttributeSet();
    look.SetColorIndex(mColor);
    look.SetFlag(KIVGraphicAttributeSet::Hidden, mShown != 1);
    if (!CarriesHandle(e)) look.SetFlag(KIVGraphicAttributeSet::NotPickable, 1);
    rep->SetGraphicAttributeSet(look);
    mElements[e] = rep;
    if (mContainer) mContainer->AddChild(rep);
  }
}

void NavViewpointManipulate::EraseCameraRep() {
  for (KIV3DRep*& rep : mElements) {
    if (!rep) continue;
    if (mContainer) mContainer->RemoveChild(rep);
    delete rep;
    rep = nullptr;
  }
}

void NavViewpointManipulate::UpdateCameraRep() {
  if (!mElements[0]) {
    CreateCameraRep();
    return;
  }
  Geometry g;
  if (!ComputeGeometry(g)) return;
  for (int e = 0; e < kElementCount; ++e) {
    if (g.point[e]) {
      if (auto* p = dynamic_cast<KIV3DPointRep*>(mElements[e])) p->SetPoint(g.from[e]);
    } else if (auto* l = dynamic_cast<KIV3DLineRep*>(mElements[e])) {
      l->SetPoints(g.from[e], g.to[e]);
    }
  }
}

// ---------------------------------------------------------------------------------------
// Handles

void NavViewpointManipulate::CreateManipulatorOnRep() {
  if (mHandles[0] || !mElements[0]) return;
  static constexpr const char* kNames[kHandleCount] = {
      EyeManipulatorName,  TargetManipulatorName, FocusManipulatorName, MireManipulatorName,
      MireManipulatorName, MireManipulatorName,   MireManipulatorName,  VertManipulatorName,
      VertManipulatorName, HoriManipulatorName,   HoriManipulatorName};
  for (int i = 0; i < kHandleCount; ++i) {
    const auto style = static_cast<KIV3DManipulator::ManipulationStyle>(kHandleStyle[i]);
    mHandles[i] = new KIV3DManipulator(this, kNames[i], mElements[kHandleElement[i]], style, style);
    mHandles[i]->InhibAutomaticActivation();
    mHandleCBs[i][0] = AddAnalyseNotificationCB(mHandles[i], KIVManipulator::GetKIVManipulate(),
                                                &NavViewpointManipulate::UpdateCameraPositionCB, nullptr);
    if (mOptions & kOptionListen) {
      mHandleCBs[i][1] = AddAnalyseNotificationCB(mHandles[i], KIVManipulator::GetKIVEndManipulate(),
                                                  &NavViewpointManipulate::ManipulatorNotificationCB, nullptr);
      mHandleCBs[i][2] = AddAnalyseNotificationCB(mHandles[i], KIVManipulator::GetKIVBeginManipulate(),
                                                  &NavViewpointManipulate::ManipulatorNotificationCB, nullptr);
    }
    mHandleCBs[i][3] = AddAnalyseNotificationCB(mHandles[i], KIVManipulator::GetKIVContext(),
                                                &NavViewpointManipulate::ManipulatorNotificationCB, nullptr);
  }
  UpdatePositionOnManipulator();
}

void NavViewpointManipulate::EraseManipulator() {
  for (int i = 0; i < kHandleCount; ++i) {
    if (!mHandles[i]) continue;
    for (KIVCallback& id : mHandleCBs[i]) {
      if (id) RemoveAnalyseNotificationCB(id);
      id = 0;
    }
    delete mHandles[i];
    mHandles[i] = nullptr;
  }
}

// Every handle carries the camera's frame (sight, up, right at the eye), so that whatever
// motion its style allows, the frame it ends with is the new camera. The constraints make
// each handle move the camera the way its place on the drawing suggests: the eye orbits
// about the target, the target swings about the eye, the sight line dollies, the corners
// roll, the vertical edges truck sideways and the horizontal edges raise and lower.
void NavViewpointManipulate::UpdatePositionOnManipulator() {
  if (!mHandles[0]) return;
  const KIVMathPointf o = mCamera->GetOrigin();
  const KIVMathDirectionf s = mCamera->GetSightDirection(), u = mCamera->GetUpDirection();
  const KIVMathDirectionf r(s ^ u);
  const KIV4x4Matrix frame(s, u, r, o);
  for (int i = 0; i < kHandleCount; ++i) {
    KIV3DManipulator* handle = mHandles[i];
    // The handle being dragged computes its own frame from the press.
    if (handle->GetCurrentStyle() != KIV3DManipulator::NoManipulation) continue;
    handle->SetPosition(frame);
    if (i == 0)
      handle->SetRotationPoint(mCamera->GetTarget());
    else if (i == 1)
      handle->SetRotationPoint(o);
    else if (i == 2)
      handle->SetTranslationDirection(s);
    else if (i <= 6)
      handle->SetRotationLine(o, s);
    else if (i <= 8)
      handle->SetTranslationDirection(r);
    else
      handle->SetTranslationDirection(u);
  }
}

int NavViewpointManipulate::SetActivateManipulator(int on, int redraw) {
  if (on == 1 && !mHandles[0]) {
    CreateManipulatorOnRep();
    Publish();
  } else if (on == 0 && mHandles[0]) {
    EraseManipulator();
    Publish();
  }
  if (on != -1 && redraw == 1) Redraw();
  return mHandles[0] ? 1 : 0;
}

void NavViewpointManipulate::UpdateCameraPositionCB(KIVCommand* sender, KIVNotification*, void*) {
  auto* handle = dynamic_cast<KIV3DManipulator*>(sender);
  if (!handle) return;
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  handle->GetPosition().GetComponents(d1, d2, d3, o);
  const KIVMathDirectionf sight(d1), up(d2);
  if (sight.IsNull() || up.IsNull() || !Finite(o)) return;
  mCamera->BeginModification();
  mCamera->SetPosition(o, sight, up);
  mCamera->EndModification(1);
  Redraw();
}

void NavViewpointManipulate::ManipulatorNotificationCB(KIVCommand*, KIVNotification* notification, void*) {
  if (auto* context = dynamic_cast<KIVContextNotification*>(notification)) {
    KIVDlgContextualMenu* menu = context->GetContextualMenu();
    if (menu && menu->GetVisibility() == KIVDialog::VisibilityShown) BuildContextMenu();
    return;
  }
  if (dynamic_cast<KIVEndManipulateNotification*>(notification)) {
    UpdatePositionOnManipulator();
    if (KIVCommand* receiver = GetRecepteurNotif()) SendNotification(receiver, mEndNotification.get());
  }
}

void NavViewpointManipulate::CameraModifiedCB(const char*, void*, KIVNotification*, void*, long) {
  UpdateCameraRep();
  UpdatePositionOnManipulator();
  if (mFollowing) return;
  // Interactive: the main viewer shows what the camera sees as it moves; a referenced
  // secondary viewer always does. Their echoes are not copied back.
  if (mInteractive == 1) PlayIntoMain();
  if (mSecondary) {
    ++mFollowing;
    mSecondary->SetViewpoint(mCamera.get(), 1);
    --mFollowing;
  }
}

// ---------------------------------------------------------------------------------------
// States

float NavViewpointManipulate::SetRatioPlane(float ratio) {
  if (ratio != -1.0f && (!(ratio > 0.0f) || !std::isfinite(ratio))) return mRatio;
  const float previous = mRatio;
  mRatio = ratio;
  Geometry probe;
  if (!ComputeGeometry(probe)) {  // the camera cannot be drawn with it: keep the old one
    mRatio = previous;
    return mRatio;
  }
  const int handles = mHandles[0] ? 1 : 0;
  EraseManipulator();
  EraseCameraRep();
  CreateCameraRep();
  if (handles) CreateManipulatorOnRep();
  Publish();
  Redraw();
  return mRatio;
}

int NavViewpointManipulate::SetCameraShow(int show) {
  if ((show == 0 || show == 1) && show != mShown) {
    mShown = show;
    for (KIV3DRep* rep : mElements)
      if (rep) rep->SetShowMode(show == 1 ? 0 : 1, 0);
    if (mOwnContainer) mContainer->SetShowMode(show == 1 ? 0 : 1, 0);
    Publish();
    Redraw();
  }
  return mShown;
}

int NavViewpointManipulate::SetCameraInteractif(int on) {
  if ((on == 0 || on == 1) && on != mInteractive) {
    mInteractive = on;
    NavViewerExtand* viewer = GetViewer();
    KIV3DViewpoint* main = viewer ? viewer->GetMain3DViewpoint() : nullptr;
    if (main && on == 1)
      SubscribeFollowed(main, mMainCBs);
    else if (main)
      UnsubscribeFollowed(main, mMainCBs);
    if (on == 1) PlayIntoMain();
    if (!mInDelete) Publish();
  }
  return mInteractive;
}

int NavViewpointManipulate::SetColorViewpoint(int colour) {
  if (colour < 0 || colour > 255) return mColor;
  mColor = colour;
  for (KIV3DRep* rep : mElements) {
    if (!rep) continue;
    KIVGraphicAttributeSet look = rep->GetGraphicAttributeSet();
    look.SetColorIndex(colour);
    rep->SetGraphicAttributeSet(look);
  }
  Publish();
  Redraw();
  return mColor;
}

int NavViewpointManipulate::SetCameraVP(const KIV3DViewpoint& vp, int notify) {
  const KIVMathPointf o = vp.GetOrigin();
  const KIVMathDirectionf s = vp.GetSightDirection(), u = vp.GetUpDirection();
  const float f = vp.GetFocusDistance(), angle = vp.GetAngle();
  if (!Finite(o) || !Finite(s) || !Finite(u) || s.IsNull() || u.IsNull() || KIVMathDirectionf(s ^ u).IsNull())
    return 0;
  if (!(f > 0.0f) || !std::isfinite(f) || !(angle > 0.0f) || !(angle < 90.0f)) return 0;
  mCamera->BeginModification();
  mCamera->SetPosition(o, s, u);
  mCamera->SetFocusDistance(f);
  mCamera->SetAngle(angle);
  mCamera->SetFixedFocus(vp.IsFixedFocus());
  mCamera->EndModification(notify == 1 ? 1 : 0);
  if (notify != 1) {
    UpdateCameraRep();
    UpdatePositionOnManipulator();
  }
  Publish();
  Redraw();
  return 1;
}

void NavViewpointManipulate::ChangeView(int view, int viewerAxes) {
  NavViewerExtand* viewer = GetViewer();
  if (viewerAxes == 1 && viewer)
    NavToolsVisu::ViewpointGetOtherView(mCamera.get(), viewer->GetNorth(), viewer->GetVertical(), view, 1, 1);
  else
    NavToolsVisu::ViewpointGetOtherView(mCamera.get(), mCamera->GetSightDirection(), mCamera->GetUpDirection(), view,
                                        mKeepTarget, 1);
  Redraw();
}

void NavViewpointManipulate::PlayIntoMain() {
  NavViewerExtand* viewer = GetViewer();
  if (!viewer) return;
  ++mFollowing;  // the main viewpoint's echo is not copied back
  viewer->SetViewpoint(mCamera.get(), 1);
  --mFollowing;
}

int NavViewpointManipulate::SetPaletteNavigation(int show) {
  NavViewerExtand* viewer = GetViewer();
  if (!viewer) return 0;
  if (show == 1) {
    viewer->SetNavigationPaletteState(1);
    if (NavViewpointManipulatePanel* palette = viewer->GetNavigationPalette()) {
      palette->SetCurrentManadgeObject(this);
      palette->AffichePanel(1);
    }
    Publish();
  } else if (show == 0) {
    NavViewpointManipulatePanel* palette = viewer->GetNavigationPalette();
    if (palette && palette->GetCurrentManadgeObject() == this) {
      viewer->SetNavigationPaletteState(0);
      Publish();
    }
  }
  NavViewpointManipulatePanel* palette = viewer->GetNavigationPalette();
  return palette && palette->GetCurrentManadgeObject() == this && !palette->GetPaletteStatusHide() ? 1 : 0;
}

void NavViewpointManipulate::SetRecepteurNotif(KIVCommand* receiver) {
  mReceiver = receiver;
  mReceiverLife = receiver ? receiver->GetLifeToken() : std::weak_ptr<int>();
}

KIVCommand* NavViewpointManipulate::GetRecepteurNotif() const { return mReceiverLife.expired() ? nullptr : mReceiver; }

// ---------------------------------------------------------------------------------------
// Followed viewpoints and secondary viewers

void NavViewpointManipulate::SubscribeFollowed(KIV3DViewpoint* vp, KIVCallback* ids) {
  if (!vp || ids[0]) return;
  ids[0] = AddCallback(vp, KIVViewpoint::VIEWPOINT_MODIFIED, &NavViewpointManipulate::ViewpointModifiedCB, vp);
  ids[1] =
      AddCallback(vp, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED, &NavViewpointManipulate::ViewpointModifiedCB, vp);
  ids[2] = AddCallback(vp, KIVViewpoint::VIEWPOINT_ANIMATION_STOPED, &NavViewpointManipulate::ViewpointModifiedCB, vp);
}

void NavViewpointManipulate::UnsubscribeFollowed(KIV3DViewpoint* vp, KIVCallback* ids) {
  for (int i = 0; i < 3; ++i) {
    if (vp && ids[i]) RemoveCallback(vp, ids[i]);
    ids[i] = 0;
  }
}

// Viewpoints publish without naming themselves: the subscription's data tells which one.
void NavViewpointManipulate::ViewpointModifiedCB(const char* event, void*, KIVNotification*, void* followed, long) {
  if (mFollowing || !event || !followed) return;
  NavViewerExtand* viewer = GetViewer();
  KIV3DViewpoint* main = viewer ? viewer->GetMain3DViewpoint() : nullptr;
  KIV3DViewpoint* vp = nullptr;
  if (mSecondaryVP && followed == static_cast<void*>(mSecondaryVP))
    vp = mSecondaryVP;
  else if (mMainCBs[0] && main && followed == static_cast<void*>(main))
    vp = main;
  if (!vp) return;
  ++mFollowing;
  if (std::strcmp(event, KIVViewpoint::VIEWPOINT_MODIFIED) == 0) {
    mCamera->BeginModification();
    mCamera->SetPosition(vp->GetOrigin(), vp->GetSightDirection(), vp->GetUpDirection());
    mCamera->SetFocusDistance(vp->GetFocusDistance());
    mCamera->EndModification(1);
    UpdatePositionOnManipulator();
    if (KIVCommand* receiver = GetRecepteurNotif()) SendNotification(receiver, mEndNotification.get());
  } else if (std::strcmp(event, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED) == 0) {
    mCamera->BeginAnimation(this);
  } else if (std::strcmp(event, KIVViewpoint::VIEWPOINT_ANIMATION_STOPED) == 0) {
    mCamera->EndAnimation(this);
  }
  --mFollowing;
}

void NavViewpointManipulate::ReferenceViewer(NavSimpleViewer3D* v) {
  if (mSecondary && mSecondary != v) DereferenceViewer(mSecondary);
  SetStatusViewer(0);
  if (mFree && v) {
    v->SetViewpoint(mCamera.get(), 0);
    v->SetRootBagRepViewer(mSceneRoot);
    if (v->GetStyleViewer() & 1) {
      mSecondaryVP = v->GetViewerViewpoint();
      SubscribeFollowed(mSecondaryVP, mSecondaryCBs);
    }
    mSecondary = v;
    mFree = 0;
    Publish();
  }
}

void NavViewpointManipulate::DereferenceViewer(NavSimpleViewer3D* v) {
  if (!v || v != mSecondary) return;
  UnsubscribeFollowed(mSecondaryVP, mSecondaryCBs);
  mSecondaryVP = nullptr;
  v->SetRootBagRepViewer(nullptr);
  mSecondary = nullptr;
  mFree = 1;
  if (!mInDelete) Publish();
}

int NavViewpointManipulate::SetStatusViewer(int open) {
  if (open == 1 && !mOwnViewer) {
    NavViewerExtand* viewer = GetViewer();
    if (mSecondary) DereferenceViewer(mSecondary);
    mOwnViewer = new NavSimpleViewer3D(this, viewer ? viewer->GetParent() : nullptr, mSceneRoot, 400, 250, 0,
                                       NavSimpleViewer3D::kOptionMaster);
    mOwnViewer->ReferenceViewpoint(mCamera.get());
    mOwnViewer->AffichePanel(1);
    mSecondaryVP = mOwnViewer->GetViewerViewpoint();
    SubscribeFollowed(mSecondaryVP, mSecondaryCBs);
    mOwnViewerCloseCB = AddAnalyseNotificationCB(mOwnViewer, mOwnViewer->GetWindCloseNotification(),
                                                 &NavViewpointManipulate::OwnViewerCloseCB, nullptr);
    mFree = 0;
    Publish();
  } else if (open == 0 && mOwnViewer) {
    NavSimpleViewer3D* own = mOwnViewer;
    mOwnViewer = nullptr;
    RemoveAnalyseNotificationCB(mOwnViewerCloseCB);
    mOwnViewerCloseCB = 0;
    UnsubscribeFollowed(mSecondaryVP, mSecondaryCBs);
    mSecondaryVP = nullptr;
    own->ReferenceViewpoint(nullptr);
    own->SetFather(nullptr);  // it goes later: it must not call back into this object
    SendNotification(own, own->GetWindCloseNotification());
    own->RequestDelayedDestruction();
    mFree = 1;
    if (!mInDelete) Publish();
  }
  return mOwnViewer ? 1 : 0;
}

void NavViewpointManipulate::OwnViewerCloseCB(KIVCommand* sender, KIVNotification*, void*) {
  if (sender == mOwnViewer) SetStatusViewer(0);
}

// ---------------------------------------------------------------------------------------
// Animation

int NavViewpointManipulate::SetAnimationKind(int kind) {
  if (kind >= 2 && kind <= 4 && kind != mAnimationKind) {
    mAnimationKind = kind;
    Publish();
  }
  return mAnimationKind;
}

int NavViewpointManipulate::SetAnimationViewpointState(int on, NavViewpointAnimation* animation) {
  if (on == 1 && !mAnimation) {
    mAnimation.reset(animation ? new (std::nothrow) NavViewpointAnimation(*animation)
                               : new (std::nothrow) NavViewpointAnimation);
    if (!mAnimation) return 0;
    if (!animation) {
      mAnimation->kind = 20;
      mAnimation->direction = 1;
      mAnimation->stepsPerTurn = 50;
      mAnimation->axis = 1;
    }
    mCamera->BeginAnimation(this);
    Publish();
    AnimationViewpoint();
  } else if (on == 0 && mAnimation) {
    KIVApplication::MainApplication()->RemoveSubscribe(2, this);
    mCamera->EndAnimation(this);
    mAnimation.reset();
    if (!mInDelete) Publish();
  } else if (on == 1 && animation) {
    *mAnimation = *animation;
  }
  return mAnimation ? 1 : 0;
}

void NavViewpointManipulate::SetAnimationViewpointState(int step) {
  if (step == 1) {
    KIVApplication::MainApplication()->Subscribe(2, this, nullptr, &NavViewpointManipulate::GlobalUpdateDiffered);
  } else if (step == 0) {
    KIVApplication::MainApplication()->RemoveSubscribe(2, this);
    AnimationViewpoint();
  }
}

void NavViewpointManipulate::GlobalUpdateDiffered(KIVCommand* object, int, void*) {
  if (auto* self = dynamic_cast<NavViewpointManipulate*>(object)) self->AnimationViewpoint();
}

// One step of 2π / steps: an orbit about the target (20), a roll (18), or a turn in place
// about the up direction (axis 1) or the right direction.
void NavViewpointManipulate::AnimationViewpoint() {
  if (!mAnimation) return;
  const int steps = mAnimation->stepsPerTurn > 0 ? mAnimation->stepsPerTurn : 50;
  double angle = 2.0 * 3.14159265358979323846 / steps;
  if (mAnimation->direction == 0) angle = -angle;
  const KIVMathPointf o = mCamera->GetOrigin();
  const KIVMathDirectionf s = mCamera->GetSightDirection(), u = mCamera->GetUpDirection();
  const KIVMathDirectionf r = mCamera->GetRightDirection();
  KIVMathPointf pivot = o;
  KIVMathVectorf axis = mAnimation->kind == 18 ? KIVMathVectorf(s) : mAnimation->axis == 1 ? KIVMathVectorf(u)
                                                                                            : KIVMathVectorf(r);
  if (mAnimation->kind == 20) pivot = mCamera->GetTarget();
  const KIVMathTransformation turn(KIVMathAxis(KIVMathPoint(pivot), KIVMathDirection(axis)), angle);
  mCamera->BeginModification();
  mCamera->SetPosition(turn.Apply(o), KIVMathDirectionf(turn.Apply(KIVMathVectorf(s))),
                       KIVMathDirectionf(turn.Apply(KIVMathVectorf(u))));
  mCamera->EndModification(1);
  Redraw();
  SetAnimationViewpointState(1);
}

// ---------------------------------------------------------------------------------------
// Contextual menu

void NavViewpointManipulate::BuildContextMenu() {
  if (!mMenu || !mMenu->GetRacineMenu()) return;
  // The items of the last right click go at once, so that the menu never shows them twice
  // (looked up by tag: the host may have emptied the menu since).
  mMenu->SupprimeMenu(0);
  static constexpr const char* kTopTags[] = {"ViewpointAnimateItem", "ViewpointLockItem",   "Separator",
                                             "ViewpointPaletteItem", "ViewpointChangeItem", "ViewpointStdViewItem",
                                             "ViewpointColorItem",   "ViewpointPlayItem",   "ViewpointInterItem",
                                             "ViewpointViewerItem"};
  for (const char* tag : kTopTags)
    while (KIVDialog* old = mMenu->GetRacineMenu()->LookupChild(tag, 0)) delete old;
  auto state = [](int checked) { return 1 | (checked ? 4 : 0); };
  const int kindLock = GetLockValue(mAnimationKind);
  TableauMenu lock[3] = {
      {24, 4, "ViewpointLockHoriItem", "Lock Horizontal", 0, 0, nullptr, 0, state(kindLock == 1)},
      {25, 4, "ViewpointLockVertItem", "Lock Vertical", 0, 0, nullptr, 0, state(kindLock == 0)},
      {23, 4, "ViewpointLockNoneItem", "Mouvement free", 0, 0, nullptr, 0, state(kindLock == -1)},
  };
  TableauMenu change[7] = {
      {22, 2, "FixeTargetItem", "Fixe Target", 0, 0, nullptr, 0, state(mKeepTarget == 1)},
      {9, 3, "StdV2PushItem", "Front", 0, 0, nullptr, 0, 1},
      {10, 3, "StdV3PushItem", "Back", 0, 0, nullptr, 0, 1},
      {11, 3, "StdV4PushItem", "Left", 0, 0, nullptr, 0, 1},
      {12, 3, "StdV5PushItem", "Right", 0, 0, nullptr, 0, 1},
      {13, 3, "Std6VPushItem", "Top", 0, 0, nullptr, 0, 1},
      {14, 3, "StdV7PushItem", "Bottom", 0, 0, nullptr, 0, 1},
  };
  TableauMenu standard[8] = {
      {7, 3, "StdV1PushItem", "Isometric", 0, 0, nullptr, 0, 1},
      {1, 3, "StdV2PushItem", "Front", 0, 0, nullptr, 0, 1},
      {2, 3, "StdV3PushItem", "Back", 0, 0, nullptr, 0, 1},
      {3, 3, "StdV4PushItem", "Left", 0, 0, nullptr, 0, 1},
      {4, 3, "StdV5PushItem", "Right", 0, 0, nullptr, 0, 1},
      {5, 3, "Std6VPushItem", "Top", 0, 0, nullptr, 0, 1},
      {6, 3, "StdV7PushItem", "Bottom", 0, 0, nullptr, 0, 1},
      {8, 3, "StdV8PushItem", "Horizontal", 0, 0, nullptr, 0, 1},
  };
  TableauMenu colour[6] = {
      {15, 4, "ColorRedItem", "Red", 0, 0, nullptr, 0, state(mColor == 248)},
      {16, 4, "ColorGreenItem", "Green", 0, 0, nullptr, 0, state(mColor == 247)},
      {17, 4, "ColorYellowItem", "Yellow", 0, 0, nullptr, 0, state(mColor == 245)},
      {18, 4, "ColorBlueItem", "Blue", 0, 0, nullptr, 0, state(mColor == 246)},
      {19, 4, "ColorBlackItem", "Black", 0, 0, nullptr, 0, state(mColor == 250)},
      {20, 4, "ColorWhiteItem", "White", 0, 0, nullptr, 0, state(mColor == 249)},
  };
  TableauMenu* lockTable[3] = {&lock[0], &lock[1], &lock[2]};
  TableauMenu* changeTable[7];
  for (int i = 0; i < 7; ++i) changeTable[i] = &change[i];
  TableauMenu* standardTable[8];
  for (int i = 0; i < 8; ++i) standardTable[i] = &standard[i];
  TableauMenu* colourTable[6];
  for (int i = 0; i < 6; ++i) colourTable[i] = &colour[i];
  const bool animateOffered =
      (mOptions & kOptionAnimateMenu) && (mAnimation || (mAnimationKind >= 2 && mAnimationKind <= 4));
  const bool lockOffered = (mOptions & kOptionLockMenu) && (mAnimationKind == 2 || mAnimationKind == 3);
  NavViewerExtand* viewer = GetViewer();
  NavViewpointManipulatePanel* palette = viewer ? viewer->GetNavigationPalette() : nullptr;
  const int paletteShown = palette && palette->GetCurrentManadgeObject() == this && !palette->GetPaletteStatusHide();
  TableauMenu rows[11] = {
      {26, 2, "ViewpointAnimateItem", "Animate", 0, 0, nullptr, 0, animateOffered ? state(mAnimation != nullptr) : 0},
      {-1, 1, "ViewpointLockItem", "Lock Mouvement", 0, 0, lockTable, 3, lockOffered ? 1 : 0},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {29, 2, "ViewpointPaletteItem", "Show Palette", 0, 0, nullptr, 0, state(paletteShown)},
      {-1, 1, "ViewpointChangeItem", "Change View", 0, 0, changeTable, 7, 1},
      {-1, 1, "ViewpointStdViewItem", "Standard View", 0, 0, standardTable, 8, 1},
      {-1, 1, "ViewpointColorItem", "Change Color", 0, 0, colourTable, 6, 1},
      {21, 3, "ViewpointPlayItem", "Play Viewpoint", 0, 0, nullptr, 0, 1},
      {28, 2, "ViewpointInterItem", "Interactive", 0, 0, nullptr, 0, state(mInteractive == 1)},
      {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
      {27, 2, "ViewpointViewerItem", "Open Viewer", 0, 0, nullptr, 0, state(mOwnViewer != nullptr)},
  };
  TableauMenu* table[11];
  for (int i = 0; i < 11; ++i) table[i] = &rows[i];
  mMenu->BuildMenuRecurcif(mMenu->GetRacineMenu(), table, 11);
}

void NavViewpointManipulate::UpdateContextualMenuCB(KIVCommand*, KIVNotification*, void*) {
  if (mMenu) ActiveOption(mMenu->GetLastOptionChoose(), -1);
}

void NavViewpointManipulate::ActiveOption(int option, int state) {
  if (option >= 1 && option <= 6) {
    ChangeView(option, 1);
  } else if (option == 7) {
    ChangeView(0, 1);
  } else if (option == 8) {
    ChangeView(7, 1);
  } else if (option >= 9 && option <= 14) {
    ChangeView(option - 8, 0);
  } else if (option >= 15 && option <= 20) {
    SetColorViewpoint(kColours[option - 15]);
  } else if (option == 21) {
    if (NavViewerExtand* viewer = GetViewer()) viewer->SetViewpoint(mCamera.get(), 1);
  } else if (option == 22) {
    const int checked = state == -1 ? (mMenu && mMenu->GetState(22) == KIVDialog::StateSet) : state == 1;
    mKeepTarget = checked ? 1 : 0;
    Publish();
  } else if (option >= 23 && option <= 25) {
    mLock[mAnimationKind == 2 ? 0 : 1] = option == 23 ? -1 : option == 24 ? 1 : 0;
    Publish();
  } else if (option == 26) {
    if (mAnimation) {
      SetAnimationViewpointState(0, nullptr);
    } else if (mAnimationKind >= 2 && mAnimationKind <= 4) {
      NavViewpointAnimation animation;
      animation.kind = mAnimationKind == 2 ? 20 : mAnimationKind == 3 ? 19 : 18;
      animation.direction = 1;
      animation.stepsPerTurn = 50;
      animation.axis = mAnimationKind == 4 ? 0 : GetLockValue(mAnimationKind) == 1 ? 1 : 0;
      SetAnimationViewpointState(1, &animation);
    }
  } else if (option == 27) {
    SetStatusViewer(mOwnViewer ? 0 : 1);
  } else if (option == 28) {
    SetCameraInteractif(mInteractive == 1 ? 0 : 1);
  } else if (option == 29) {
    SetPaletteNavigation(SetPaletteNavigation(-1) ? 0 : 1);
  }
}
