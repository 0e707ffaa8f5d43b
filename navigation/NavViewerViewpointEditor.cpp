#include "navigation/NavViewerViewpointEditor.h"

#include <cmath>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/math/KIVMathAxis.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/pick/KIVPickScene.h"
#include "host/visu/math/KIVRay.h"
#include "navigation/Nav3DAxisRep.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"

KIV_IMPLEMENT_METAOBJECT(NavViewerViewpointEditor, KIVBasic3DViewpointEditor)

namespace {
using Base = KIVBasic3DViewpointEditor;

KIVMathVectorf Unit(const KIVMathVectorf& v) {
  const float n = v.Norm();
  return n > 0.0f ? v * (1.0f / n) : v;
}

// World placement of the frame a bag's matrix lives in: the matrices of the bags above it
// on the path, the innermost applied first (row vectors: A * B applies A, then B).
KIV4x4Matrix ParentFrame(KIVRepPath& path, const KIVRep* bag) {
  KIV4x4Matrix m;
  path.InitToTopRep();
  while (KIVRep* rep = path.NextChildRep()) {
    if (rep == bag) break;
    if (rep->IsAKindOf(KIV3DBagRep::ClassName()))
      if (const KIV4x4Matrix* own = static_cast<KIV3DBagRep*>(rep)->GetMatrix()) m = *own * m;
  }
  return m;
}
}  // namespace

NavViewerViewpointEditor::NavViewerViewpointEditor(const KIVString& name, KIV3DViewpoint& viewpoint,
                                                   const KIVBasic3DViewpointEditorMode mode, NavViewerExtand* viewer)
    : KIVBasic3DViewpointEditor(name, viewpoint, mode), mNavViewer(viewer) {
  if (viewer) {
    mAxisRep = new Nav3DAxisRep;
    KIVGraphicAttributeSet look = mAxisRep->GetGraphicAttributeSet();
    look.SetColorIndex(246);  // blue
    mAxisRep->SetGraphicAttributeSet(look);
    viewer->AddRep(mAxisRep, NavViewerExtand::kTemporyRoot);
    SetViewer(viewer);
  }
  // The base constructor ran its own table: fill ours.
  SetMode(mode);
}

NavViewerViewpointEditor::~NavViewerViewpointEditor() {
  if (mDragMoving)
    if (KIV3DViewpoint* vp = Get3DViewpoint()) vp->EndAnimation(this);
  delete mAxisRep;  // leaves the tempory root on the way
}

int NavViewerViewpointEditor::SetAnimateObjectMode(int mode) {
  if (mode == 1)
    mOptionFlags |= kAnimateObject;
  else if (mode != -1)
    mOptionFlags &= ~kAnimateObject;
  return (mOptionFlags & kAnimateObject) ? 1 : 0;
}

float NavViewerViewpointEditor::SetAccelerationPonderation(float p) {
  if (p != -1.0f && p >= 0.0f && p < 1.0f) mAccelerationPonderation = p;
  return mAccelerationPonderation;
}

int NavViewerViewpointEditor::SetCollisionState(int state) {
  if (state != -1) mCollisionState = state;
  return mCollisionState;
}

float NavViewerViewpointEditor::SetCollisionDistanceValue(float distance) {
  if (distance != -1.0f) mCollisionDistance = distance;
  return mCollisionDistance;
}

int NavViewerViewpointEditor::SetFocusPointRepState(int state) {
  if (state == 1 && !mFocusPointShown) {
    ShowFocusPoint(nullptr);
    mFocusPointShown = 1;
  } else if (state == 0 && mFocusPointShown) {
    HideFocusPoint();
    mFocusPointShown = 0;
  }
  return mFocusPointShown;
}

void NavViewerViewpointEditor::SetMode(KIVBasic3DViewpointEditorMode mode) {
  mMode = mode;
  InitActionPointers();
  mCurrentAction = 3;
  mOptionFlags &= ~kObjectMoveArmed;
  const char* walkLabel = mode == KIVBasic3DModeWalk ? "walk   PgUp to increase speed" : "fly   PgUp to increase speed";
  switch (static_cast<int>(mode)) {
    case 0: SetAction(1, "rotate", 10, &Base::KeyRotate, &Base::StartRotate, &Base::DriveRotate, &Base::StopRotate); break;
    case 1:
      SetAction(1, "zoom", 6, &Base::KeyZoom, &Base::StartAndDisplayTarget, &Base::DriveZoom, &Base::StopAndHideTarget);
      break;
    case 2:
      SetAction(1, "look at", 7, nullptr, &Base::StartViewpointDefinition, &Base::DriveViewpointDefinition,
                &Base::StopViewpointDefinition);
      break;
    case 3:
      SetAction(1, "translate", 5, &Base::KeyboardTranslate, &Base::StartAndDisplayTarget, &Base::MouseTranslate,
                &Base::StopAndHideTarget);
      break;
    case 4:
      SetAction(1, "turn head", 10, nullptr, &Base::StartAndDisplayTarget, &Base::DriveTilt,
                &Base::StopAndHideAndPickTarget);
      break;
    case 7:
      SetAction(1, "translate", 5, nullptr, &Base::StartAndDisplayTarget, &Base::MouseTranslate,
                &Base::StopAndHideTarget);
      SetAction(3, "zoom", 6, nullptr, &Base::StartAndDisplayTarget, &Base::DriveZoom, &Base::StopAndHideTarget);
      break;
    case 8:
      SetAction(0, "seek", 7, nullptr, &Base::Seek, nullptr, nullptr);
      SetAction(7, "step back", 7, nullptr, &Base::StepBack, nullptr, nullptr);
      SetAction(1, "rotate", 10, &Base::KeyRotate, &Base::StartRotate, &Base::DriveRotate, &Base::StopRotate);
      SetAction(3, "zoom", 6, &Base::KeyZoom, &Base::StartAndDisplayTarget, &Base::DriveZoomAndTurn,
                &Base::StopAndHideTarget);
      SetAction(4, "rotate", 10, &Base::KeyRotate, &Base::StartRotate, &Base::DriveRotate, &Base::StopRotate);
      SetAction(5, "translate", 5, &Base::KeyboardTranslate, &Base::StartAndDisplayTarget, &Base::MouseTranslate,
                &Base::StopAndHideTarget);
      SetAction(8, "look at", 7, nullptr, &Base::StartViewpointDefinition, &Base::DriveViewpointDefinition,
                &Base::StopViewpointDefinition);
      mOptionFlags |= kObjectMoveArmed;
      break;
    case 9:
    case 10:
      SetAction(1, "turn head", 10, &Base::KeyTilt, &Base::StartThisTilt, &Base::DriveTilt,
                &Base::StopAndHideAndPickTarget);
      SetAction(2, walkLabel, 8, &Base::KeyFly, &Base::StartAnimation, nullptr, nullptr);
      SetAction(3, "zoom", 6, &Base::KeyZoom, &Base::StartAndDisplayTarget, &Base::DriveZoomAndTurn,
                &Base::StopAndHideTarget);
      SetAction(4, mode == KIVBasic3DModeWalk ? "walk" : "fly", 5, &Base::KeyFly, &Base::StartAndDisplayTarget,
                &Base::MouseTranslate, &Base::StopAndHideTarget);
      SetAction(8, "look at", 7, nullptr, &Base::StartViewpointDefinition, &Base::DriveViewpointDefinition,
                &Base::StopViewpointDefinition);
      SetAction(0, "seek", 7, nullptr, &Base::Seek, nullptr, nullptr);
      SetAction(7, "step back", 7, nullptr, &Base::StepBack, nullptr, nullptr);
      break;
    default: break;
  }
  if (mode == KIVBasic3DModeWalk)
    LockHorizontal();
  else
    UnlockHorizontal();
  // A walk or flight under way ends with its style, as the host editor's does.
  StopMotion(0);
}

void NavViewerViewpointEditor::DrawViewer() {
  if (mNavViewer) mNavViewer->Draw();
}

// ---- Steps ----------------------------------------------------------------------------------

void NavViewerViewpointEditor::UpdateAnimation(unsigned long time) { Base::UpdateAnimation(time); }

void NavViewerViewpointEditor::ComputeNextStep(const char*, void*, KIVNotification* notification, void*, long) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  KIVViewer* viewer = mNavViewer ? static_cast<KIVViewer*>(mNavViewer) : GetViewer();
  if (!vp || !viewer) return;
  const KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(notification);
  const unsigned long now = mouse ? mouse->GetTime() : GetInputTime(viewer);
  float dt;
  if (mLastStepTime == 0) {
    float durations[3] = {0.0f, 0.0f, 0.0f};
    viewer->GetLastUpdateDuration(durations);
    dt = durations[0];
  } else {
    dt = static_cast<float>(static_cast<std::uint32_t>(now - mLastStepTime)) / 1000.0f;
  }
  mLastStepTime = now ? now : 1;
  const KIVMathDirectionf V = vp->GetVerticalReference();
  const KIVMathVectorf w = vp->GetPlacementMatrix().TransformVector(mRotationSpeed);
  KIVMathVectorf c = w ^ KIVMathVectorf(vp->GetSightDirection());
  if (mTranslationSpeed.z < 0.0f) c = c * -1.0f;
  c = c * (1.0f / 5.0f);
  if (c.Norm() > 0.5f) c = c * (0.5f / c.Norm());
  const KIVMathVectorf T = mTranslationSpeed * dt, R = mRotationSpeed * dt;
  if (mHorizontalLock) {
    Jump(T, R, mStep);
    return;
  }
  // Banking: the vertical leans into the turn for the length of the step.
  vp->SetVerticalReference(KIVMathDirectionf(Unit(KIVMathVectorf(V) + c)));
  Jump(T, R, mStep);
  vp->SetVerticalReference(V);
}

void NavViewerViewpointEditor::Jump(const KIVMathVectorf& T0, const KIVMathVectorf& R, int step) {
  if (ObjectMoveActive()) return;
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  auto turnOf = [&](const KIVMathVectorf& r) {
    // Walking turns about the vertical, so the horizon stays level.
    if (mHorizontalLock)
      return KIVMathVectorf(vp->GetRightDirection()) * r.x + KIVMathVectorf(mLockVertical) * r.y -
             KIVMathVectorf(vp->GetSightDirection()) * r.z;
    return vp->GetPlacementMatrix().TransformVector(r);
  };
  if (mCollisionState && step == 1) {
    const KIVMathPointf origin0 = vp->GetOrigin();
    const KIVMathDirectionf sight0 = vp->GetSightDirection(), up0 = vp->GetUpDirection();
    vp->BeginModification();
    KIVMathVectorf T = T0;
    const float room = mObstacleDistance - mCollisionDistance;
    if (T.Norm() > room && mObstacleDistance != -1.0f && T.Norm() > 0.0f) T = T * (room * 0.8f / T.Norm());
    vp->SetOrigin(vp->GetOrigin() + vp->GetPlacementMatrix().TransformVector(T));
    const float r = R.Norm(), p = mAccelerationPonderation;
    if (r > 0.0f && r > mSmoothedTurn) {
      mSmoothedTurn = (1.0f - p) * r + p * mSmoothedTurn;
      vp->RotateAboutPoint(turnOf(R * (mSmoothedTurn / r)), vp->GetOrigin());
    } else {
      mSmoothedTurn = r;
      if (r > 0.0f) vp->RotateAboutPoint(turnOf(R), vp->GetOrigin());
    }
    if (mHorizontalLock) ApplyHorizontalLock(*vp);
    KIVPickPathList paths;
    if (KIVViewer* viewer = mNavViewer ? static_cast<KIVViewer*>(mNavViewer) : GetViewer()) {
      viewer->Pick(mPressPosition[0], mPressPosition[1], paths);
      for (int i = 0; i < paths.GetSize(); ++i) {
        KIVPickPath* path = paths.GetPath(i);
        if (path->GetViewpoint() != vp) continue;
        const float d = path->GetGlobalIntersection().DistanceTo(vp->GetOrigin());
        if (d < mCollisionDistance) {
          mObstacleDistance *= 0.7f;
          vp->SetPosition(origin0, sight0, up0);
        } else {
          mObstacleDistance = d;
        }
        break;
      }
    }
    ApplyGravity(*vp);
    vp->EndModification(1);
    return;
  }
  mObstacleDistance = -1.0f;
  vp->BeginModification();
  vp->SetOrigin(vp->GetOrigin() + vp->GetPlacementMatrix().TransformVector(T0));
  if (!vp->IsFixedFocus() && vp->GetFocusDistance() + T0.z > 0.0f) vp->SetFocusDistance(vp->GetFocusDistance() + T0.z);
  if (!R.IsNull()) vp->RotateAboutPoint(turnOf(R), vp->GetOrigin());
  if (mHorizontalLock) ApplyHorizontalLock(*vp);
  ApplyGravity(*vp);
  vp->EndModification(1);
}

// Walking with gravity keeps the eye at the height it had above the floor when the walk
// started: "Down" lets it fall when the floor drops away, "Up or Down" also climbs.
void NavViewerViewpointEditor::ApplyGravity(KIV3DViewpoint& vp) {
  if (GetMode() != KIVBasic3DModeWalk || vp.GetGravity() <= 0 || !mNavViewer) {
    mWalkHeight = -1.0f;
    return;
  }
  KIVRay ray;
  ray.origin = vp.GetOrigin();
  ray.direction = KIVMathVectorf(vp.GetVerticalReference()) * -1.0f;
  KIVPickScene& scene = mNavViewer->GetPickScene();
  scene.SetRoots(vp.GetReps());
  KIVPickScene::Result hit;
  if (!scene.Intersect(ray, hit) || !(hit.t > 0.0f)) return;  // nothing below: the height stays
  if (mWalkHeight <= 0.0f) {
    mWalkHeight = hit.t;
    return;
  }
  const float drop = hit.t - mWalkHeight;
  if (drop > 0.0f || vp.GetGravity() == 2) vp.SetOrigin(vp.GetOrigin() + ray.direction * drop);
}

void NavViewerViewpointEditor::JumpAround(const KIVMathVectorf& T, const KIVMathVectorf& R) {
  if (ObjectMoveActive()) return;
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  vp->BeginModification();
  if (T.Norm() != 0.0f) {
    const KIV4x4Matrix before = vp->GetPlacementMatrix();
    vp->SetOrigin(vp->GetOrigin() + before.TransformVector(T));
    if (vp->GetFocusDistance() + T.z > 0.0f) vp->SetFocusDistance(vp->GetFocusDistance() + T.z);
  }
  RotateAround(vp, R, vp->GetVerticalReference());
  if (mHorizontalLock) ApplyHorizontalLock(*vp);
  vp->EndModification(1);
}

void NavViewerViewpointEditor::StartFly(KIVMouseEvent& event) {
  mObstacleDistance = -1.0f;
  mWalkHeight = -1.0f;
  mSmoothedTurn = 0.0f;
  if (KIV3DViewpoint* vp = Get3DViewpoint())
    if (2.1f * vp->GetSize() > mCollisionDistance) mCollisionDistance = 2.1f * vp->GetSize();
  Base::StartFly(event);
}

void NavViewerViewpointEditor::StopFly(KIVMouseEvent& event) { Base::StopFly(event); }

// ---- Object move ----------------------------------------------------------------------------

bool NavViewerViewpointEditor::PickObject(int x, int y, bool firstPathOnly) {
  NavInterfaceInfoRep* info = mNavViewer ? mNavViewer->GetInterfaceInfoRep() : nullptr;
  if (!mNavViewer || !info || !mAxisRep) return false;
  KIVPickPathList paths;
  mNavViewer->Pick(x, y, paths);
  // Overlays (2D markers, dashboards) may come first: the move is for the scene's objects.
  KIVPickPath* path = nullptr;
  for (int i = 0; i < (firstPathOnly ? 1 : paths.GetSize()); ++i)
    if (KIVPickPath* p = paths.GetPath(i); p && p->GetViewpoint() == mNavViewer->GetMain3DViewpoint()) {
      path = p;
      break;
    }
  if (!path) return false;
  KIV3DBagRep* rep = info->GetCurrentObjectMoveRep(path);
  void* object = info->GetCurrentObjectMoveObject(path);
  if (!rep) return false;
  mMovedRep = rep;
  mMovedObject = object;
  mParentFrame = ParentFrame(*path, rep);
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf origin;
  const KIV4x4Matrix own = rep->GetMatrix() ? *rep->GetMatrix() : KIV4x4Matrix();
  // The marker's axes are the bag's own, seen in the world: its matrix first, then its parents'.
  (own * mParentFrame).GetComponents(d1, d2, d3, origin);
  if (mPickAtIntersection) origin = path->GetGlobalIntersection();
  KIV4x4Matrix frame;
  frame.SetComponents(Unit(d1), Unit(d2), Unit(d3), origin);
  mAxisRep->Modify(frame, 30, 5);
  mAxisRep->SetShowMode(0, 0);
  DrawViewer();
  return true;
}

void NavViewerViewpointEditor::BeginManipulate(KIVNotification* event) {
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  if ((mOptionFlags & kAnimateObject) && (mOptionFlags & kObjectMoveArmed) && mouse && mNavViewer && mAxisRep) {
    mMoveState = 0;
    mDragCount = 0;
    mMovedRep = nullptr;
    mMovedObject = nullptr;
    mAxisRep->SetHighlightAxe(0);
    if (PickObject(mouse->GetX(), mouse->GetY(), false)) mMoveState |= kMoveActive;
  }
  Base::BeginManipulate(event);
}

void NavViewerViewpointEditor::Manipulate(KIVNotification* event) {
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  if (!ObjectMoveActive()) {
    // While the view is dragged, viewers draw with their moving precisions.
    if (!mDragMoving && mouse)
      if (KIV3DViewpoint* vp = Get3DViewpoint()) {
        mDragMoving = 1;
        vp->BeginAnimation(this);
      }
    Base::Manipulate(event);
    return;
  }
  if (!mouse) return;
  if (mouse->GetModifiers() & 2) {
    RecordPress(*mouse);
    const unsigned int next = Constraint() == 0           ? kFirstAxis
                              : Constraint() == kFirstAxis  ? kSecondAxis
                              : Constraint() == kSecondAxis ? kThirdAxis
                                                            : 0u;
    mMoveState = (mMoveState & ~(kFirstAxis | kSecondAxis | kThirdAxis)) | next;
    mAxisRep->SetHighlightAxe(static_cast<int>(next));
    DrawViewer();
  } else if (!Constraint()) {
    RecordPress(*mouse);
    PickObject(mouse->GetX(), mouse->GetY(), true);
  } else {
    Base::Manipulate(event);
  }
}

void NavViewerViewpointEditor::EndManipulate(KIVNotification* event) {
  if (ObjectMoveActive()) {
    NavInterfaceInfoRep* info = mNavViewer ? mNavViewer->GetInterfaceInfoRep() : nullptr;
    if (info && mMovedObject && mDragCount >= 1) info->ApplyRepMatrixObject(mMovedRep, mMovedObject);
    if (mAxisRep) mAxisRep->SetShowMode(1, 0);
    DrawViewer();
  }
  Base::EndManipulate(event);
  if (mDragMoving) {
    mDragMoving = 0;
    if (KIV3DViewpoint* vp = Get3DViewpoint()) vp->EndAnimation(this);
  }
}

void NavViewerViewpointEditor::StartAndDisplayTarget(KIVMouseEvent& event) {
  if (ObjectMoveActive())
    RecordPress(event);
  else
    Base::StartAndDisplayTarget(event);
}

void NavViewerViewpointEditor::StopAndHideTarget(KIVMouseEvent& event) {
  if (!ObjectMoveActive()) Base::StopAndHideTarget(event);
}

void NavViewerViewpointEditor::StartRotate(KIVMouseEvent& event) {
  if (ObjectMoveActive())
    RecordPress(event);
  else
    Base::StartRotate(event);
}

void NavViewerViewpointEditor::StopRotate(KIVMouseEvent& event) {
  if (!ObjectMoveActive()) Base::StopRotate(event);
}

void NavViewerViewpointEditor::Deltas(const KIVMouseEvent& event, float& dx, float& dy) const {
  dx = static_cast<float>(event.GetX() - mLastPosition[0]);
  dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  // A hand is never still: small wanderings near the press do not move the object.
  if (std::abs(event.GetX() - mPressPosition[0]) < 5) dx = 0.0f;
  if (std::abs(event.GetY() - mPressPosition[1]) < 5) dy = 0.0f;
}

namespace {
struct Axes {
  KIVMathVectorf a[3];
  KIVMathPointf origin;
};
Axes AxesOf(const KIV4x4Matrix& m) {
  Axes x;
  m.GetComponents(x.a[0], x.a[1], x.a[2], x.origin);
  return x;
}
int AxisIndex(unsigned int constraint) {
  return constraint == NavViewerViewpointEditor::kFirstAxis ? 0 : constraint == NavViewerViewpointEditor::kSecondAxis ? 1 : 2;
}
}  // namespace

KIV4x4Matrix NavViewerViewpointEditor::RotatedFrame(float dx) const {
  const Axes axes = AxesOf(mAxisRep->GetCurrentMatrix());
  const KIVMathVectorf A = axes.a[AxisIndex(Constraint())];
  const float s = A * KIVMathVectorf(Get3DViewpoint()->GetSightDirection()) < 0.0f ? 1.0f : -1.0f;
  const KIVMathAxis line(KIVMathPoint(axes.origin.x, axes.origin.y, axes.origin.z), KIVMathDirection(A));
  return KIVMathTransformation(line, s * mObjectTurnFactor * dx).GetMatrix();
}

void NavViewerViewpointEditor::ApplyFrame(const KIV4x4Matrix& worldMove, const KIVMouseEvent& event) {
  if (mDragCount > 1) {
    // Row vectors: A * B applies A first. The marker's placement, then the move.
    mAxisRep->Modify(mAxisRep->GetCurrentMatrix() * worldMove, 30, 5);
    // The bag's content goes through its own matrix and its parents' to the world, then
    // moves; its new matrix is that, brought back out of the parents' frame.
    const KIV4x4Matrix own = mMovedRep->GetMatrix() ? *mMovedRep->GetMatrix() : KIV4x4Matrix();
    mMovedRep->SetMatrix(own * mParentFrame * worldMove * mParentFrame.Inverse());
  }
  ++mDragCount;
  mLastPosition[0] = event.GetX();
  mLastPosition[1] = event.GetY();
  DrawViewer();
}

void NavViewerViewpointEditor::DriveRotate(KIVMouseEvent& event) {
  if (!ObjectMoveActive()) {
    Base::DriveRotate(event);
    return;
  }
  if (!Constraint() || !mMovedRep) return;
  float dx, dy;
  Deltas(event, dx, dy);
  ApplyFrame(RotatedFrame(dx), event);
}

void NavViewerViewpointEditor::DriveZoomAndTurn(KIVMouseEvent& event) {
  if (!ObjectMoveActive()) {
    Base::DriveZoomAndTurn(event);
    return;
  }
  if (!Constraint() || !mMovedRep) return;
  float dx, dy;
  Deltas(event, dx, dy);
  const Axes axes = AxesOf(mAxisRep->GetCurrentMatrix());
  const KIVMathVectorf A = axes.a[AxisIndex(Constraint())];
  const float R = mMovedRep->GetBoundingElement().GetRadius();
  KIV4x4Matrix slide;
  slide.SetComponents(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                      KIVMathPointf() + A * (R * dy * -0.01f));
  // The turn, then the slide along the axis.
  ApplyFrame(RotatedFrame(dx) * slide, event);
}

void NavViewerViewpointEditor::MouseTranslate(KIVMouseEvent& event) {
  if (!ObjectMoveActive()) {
    Base::MouseTranslate(event);
    return;
  }
  if (!Constraint() || !mMovedRep) return;
  float dx, dy;
  Deltas(event, dx, dy);
  int w = 1, h = 1;
  GetInputSize(w, h);
  dx /= 0.1f * static_cast<float>(w);
  dy /= 0.1f * static_cast<float>(h);
  const Axes axes = AxesOf(mAxisRep->GetCurrentMatrix());
  const KIV3DViewpoint* vp = Get3DViewpoint();
  const KIVMathVectorf right(vp->GetRightDirection()), up(vp->GetUpDirection());
  const float f = mObjectTurnFactor;
  KIVMathVectorf local;
  switch (Constraint()) {
    case kFirstAxis: {
      const float t = axes.a[1] * right > 0.0f ? 1.0f : -1.0f, u = axes.a[2] * up > 0.0f ? -1.0f : 1.0f;
      local = KIVMathVectorf(0.0f, t * f * dx, u * f * dy);
      break;
    }
    case kSecondAxis: {
      const float t = axes.a[0] * right > 0.0f ? 1.0f : -1.0f;
      local = KIVMathVectorf(t * f * dx, 0.0f, f * dy);
      break;
    }
    default: local = KIVMathVectorf(f * dx, f * dy, 0.0f); break;
  }
  const float R = mMovedRep->GetBoundingElement().GetRadius();
  const KIVMathVectorf move = (axes.a[0] * local.x + axes.a[1] * local.y + axes.a[2] * local.z) * R;
  KIV4x4Matrix slide;
  slide.SetComponents(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf() + move);
  ApplyFrame(slide, event);
}
