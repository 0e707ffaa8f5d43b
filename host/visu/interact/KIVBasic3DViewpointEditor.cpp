#include "host/visu/interact/KIVBasic3DViewpointEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIVBasic3DViewpointEditor, KIV3DViewpointEditor)

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kKeyAngle = 5.0f * kPi / 180.0f;  // one arrow press turns this much
constexpr float kMaxElevation = 89.0f * kPi / 180.0f;
constexpr float kMaxStep = 0.5f;       // seconds: a stalled viewer does not make the eye leap
constexpr float kTurnSpeed = 1.0f;     // radians per second at a full offset of the pointer
constexpr int kDeadZone = 3;           // pixels around the press where walking stands still
constexpr size_t kSeekHistory = 32;

bool Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

KIVKeyEvent* KeyOf(KIVNotification* notification) {
  if (auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(notification))
    return dynamic_cast<KIVKeyEvent*>(viewerEvent->GetDeviceEvent());
  return dynamic_cast<KIVKeyEvent*>(notification);
}

// The first pick path of that viewpoint under a pixel.
bool PickPoint(KIVViewer* viewer, const KIV3DViewpoint* viewpoint, int x, int y, KIVMathPointf& point) {
  if (!viewer || !viewpoint) return false;
  KIVPickPathList paths;
  viewer->Pick(x, y, paths);
  for (int i = 0; i < paths.GetSize(); ++i)
    if (paths[i]->GetViewpoint() == viewpoint) {
      point = paths[i]->GetGlobalIntersection();
      return true;
    }
  return false;
}

}  // namespace

KIVBasic3DViewpointEditor::KIVBasic3DViewpointEditor(const KIVString& name, KIV3DViewpoint& viewpoint,
                                                     KIVBasic3DViewpointEditorMode mode)
    : KIVBasic3DViewpointEditor(name, &viewpoint, mode) {}

KIVBasic3DViewpointEditor::KIVBasic3DViewpointEditor(const KIVString& name, KIV3DViewpoint* viewpoint,
                                                     KIVBasic3DViewpointEditorMode mode)
    : KIV3DViewpointEditor(name, viewpoint) {
  SetMode(mode);
}

KIVBasic3DViewpointEditor::~KIVBasic3DViewpointEditor() {
  HideFocusPoint();
  if (mUpdateCallback) {
    if (!mUpdateViewerLife.expired()) RemoveCallback(mUpdateViewer, mUpdateCallback);
    mUpdateCallback = 0;
    // The viewpoint's animation count must come back down, or its viewer stays "moving".
    if (KIV3DViewpoint* vp = Get3DViewpoint()) vp->EndAnimation();
  }
}

// ---- Action entries ---------------------------------------------------------------------

void KIVBasic3DViewpointEditor::InitActionPointers() {
  for (Action& a : mActions) a = Action();
}

void KIVBasic3DViewpointEditor::SetAction(int index, const char* label, int code, KeyHandler key,
                                          MouseHandler start, MouseHandler drive, MouseHandler stop) {
  if (index < 0 || index >= ActionCount) return;
  mActions[index] = Action{KIVString(label), code, key, start, drive, stop};
}

const KIVBasic3DViewpointEditor::Action* KIVBasic3DViewpointEditor::GetAction(int index) const {
  return index >= 0 && index < ActionCount ? &mActions[index] : nullptr;
}

void KIVBasic3DViewpointEditor::SetMode(KIVBasic3DViewpointEditorMode mode) {
  if (static_cast<int>(mode) < 0) return;
  using B = KIVBasic3DViewpointEditor;
  mMode = mode;
  InitActionPointers();
  mCurrentAction = 3;
  const MouseHandler showTarget = &B::StartAndDisplayTarget, hideTarget = &B::StopAndHideTarget;
  switch (static_cast<int>(mode)) {
    case KIVBasic3DModeRotate:
      SetAction(1, "rotate", 10, &B::KeyRotate, &B::StartRotate, &B::DriveRotate, &B::StopRotate);
      break;
    case KIVBasic3DModeZoom:
      SetAction(1, "zoom", 6, &B::KeyZoom, showTarget, &B::DriveZoom, hideTarget);
      break;
    case KIVBasic3DModeLookAt:
      SetAction(1, "look at", 7, nullptr, &B::StartViewpointDefinition, &B::DriveViewpointDefinition,
                &B::StopViewpointDefinition);
      break;
    case KIVBasic3DModeTranslate:
      SetAction(1, "translate", 5, &B::KeyboardTranslate, showTarget, &B::MouseTranslate, hideTarget);
      break;
    case KIVBasic3DModeTurnHead:
      SetAction(1, "turn head", 10, &B::KeyTilt, &B::StartThisTilt, &B::DriveTilt, &B::StopAndHideAndPickTarget);
      break;
    case KIVBasic3DModeTranslateZoom:
      SetAction(1, "translate", 5, &B::KeyboardTranslate, showTarget, &B::MouseTranslate, hideTarget);
      SetAction(3, "zoom", 6, &B::KeyZoom, showTarget, &B::DriveZoom, hideTarget);
      break;
    case KIVBasic3DModeExamine:
      SetAction(0, "seek", 7, nullptr, &B::Seek, nullptr, nullptr);
      SetAction(1, "rotate", 10, &B::KeyRotate, &B::StartRotate, &B::DriveRotate, &B::StopRotate);
      SetAction(3, "zoom", 6, &B::KeyZoom, showTarget, &B::DriveZoomAndTurn, hideTarget);
      mActions[4] = mActions[1];
      SetAction(5, "translate", 5, &B::KeyboardTranslate, showTarget, &B::MouseTranslate, hideTarget);
      SetAction(7, "step back", 7, nullptr, &B::StepBack, nullptr, nullptr);
      SetAction(8, "look at", 7, nullptr, &B::StartViewpointDefinition, &B::DriveViewpointDefinition,
                &B::StopViewpointDefinition);
      break;
    case KIVBasic3DModeWalk:
    case KIVBasic3DModeFly: {
      const bool walk = mode == KIVBasic3DModeWalk;
      SetAction(0, "seek", 7, nullptr, &B::Seek, nullptr, nullptr);
      SetAction(1, walk ? "walk" : "fly", 8, &B::KeyFly, &B::StartFly, &B::DriveFly, &B::StopFly);
      SetAction(2, walk ? "walk   PgUp to increase speed" : "fly   PgUp to increase speed", 8, &B::KeyFly,
                &B::StartAnimation, nullptr, nullptr);
      SetAction(3, "zoom", 6, &B::KeyZoom, showTarget, &B::DriveZoomAndTurn, hideTarget);
      SetAction(4, "turn head", 10, &B::KeyTilt, &B::StartThisTilt, &B::DriveTilt, &B::StopAndHideAndPickTarget);
      SetAction(5, walk ? "walk" : "fly", 5, &B::KeyboardTranslate, showTarget, &B::MouseTranslate, hideTarget);
      SetAction(7, "step back", 7, nullptr, &B::StepBack, nullptr, nullptr);
      SetAction(8, "look at", 7, nullptr, &B::StartViewpointDefinition, &B::DriveViewpointDefinition,
                &B::StopViewpointDefinition);
      break;
    }
    default:
      break;  // no navigation: every entry stays empty
  }
  if (mode == KIVBasic3DModeWalk)
    LockHorizontal();
  else
    UnlockHorizontal();
  StopMotion(0);
}

int KIVBasic3DViewpointEditor::GetActionIndex(const KIVMouseEvent& event) const {
  const int b = event.GetButtons(), m = event.GetModifiers();
  const bool shift = m & KIVMouseEvent::ModShift, ctrl = m & KIVMouseEvent::ModControl,
             alt = m & KIVMouseEvent::ModAlt;
  const bool left = b & KIVMouseEvent::ButtonLeft, middle = b & KIVMouseEvent::ButtonMiddle,
             right = b & KIVMouseEvent::ButtonRight;
  if (event.GetKind() == KIVMouseEvent::DoubleClick) return left || b == 0 ? 0 : -1;
  if (left && middle) return 3;
  if (left) {
    if (ctrl && shift) return 2;
    if (ctrl) return 8;
    if (shift) return 5;
    if (alt) return 4;
    return 1;
  }
  if (middle) {
    if (shift) return 5;
    if (alt) return 6;
    return 3;
  }
  if (right) return 7;
  return -1;
}

// ---- Input ------------------------------------------------------------------------------

void KIVBasic3DViewpointEditor::RecordPress(const KIVMouseEvent& event) {
  mPressPosition[0] = mLastPosition[0] = event.GetX();
  mPressPosition[1] = mLastPosition[1] = event.GetY();
}

void KIVBasic3DViewpointEditor::BeginManipulate(KIVNotification* event) {
  NoteEvent(event);
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  mActiveAction = -1;
  if (!mouse) return;
  RefreshHorizontalLock();
  const int index = GetActionIndex(*mouse);
  if (index < 0 || index >= ActionCount) return;
  const Action& action = mActions[index];
  if (!action.key && !action.start && !action.drive && !action.stop) return;
  mActiveAction = index;
  mCurrentAction = index;
  RecordPress(*mouse);
  if (const MouseHandler start = action.start) (this->*start)(*mouse);
}

void KIVBasic3DViewpointEditor::Manipulate(KIVNotification* event) {
  NoteEvent(event);
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  if (!mouse || mActiveAction < 0) return;
  if (const MouseHandler drive = mActions[mActiveAction].drive) (this->*drive)(*mouse);
}

void KIVBasic3DViewpointEditor::EndManipulate(KIVNotification* event) {
  NoteEvent(event);
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  const int index = mActiveAction;
  mActiveAction = -1;
  if (!mouse || index < 0) return;
  if (const MouseHandler stop = mActions[index].stop) (this->*stop)(*mouse);
}

void KIVBasic3DViewpointEditor::Wheel(KIVNotification* event) {
  NoteEvent(event);
  KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(event);
  if (!mouse || mouse->GetWheelSteps() == 0 || mMode > KIVBasic3DModeFly || mMode == KIVBasic3DModeNone5 ||
      mMode == KIVBasic3DModeNone6)
    return;
  const float steps = static_cast<float>(std::clamp(mouse->GetWheelSteps(), -100, 100));
  if (IsWalking()) {
    RefreshHorizontalLock();
    Walk(0.1f * steps * StepLength());
  } else {
    Zoom(std::pow(0.85f, steps));
  }
}

int KIVBasic3DViewpointEditor::Key(KIVNotification* event) {
  NoteEvent(event);
  KIVKeyEvent* key = KeyOf(event);
  if (!key || key->IsRelease()) return 0;
  RefreshHorizontalLock();
  const std::weak_ptr<int> self = GetLifeToken();
  // The current action first, then the others in order.
  int order[ActionCount + 1];
  int n = 0;
  if (mCurrentAction >= 0 && mCurrentAction < ActionCount) order[n++] = mCurrentAction;
  for (int i = 0; i < ActionCount; ++i)
    if (i != mCurrentAction) order[n++] = i;
  for (int k = 0; k < n; ++k) {
    const KeyHandler handler = mActions[order[k]].key;
    if (!handler) continue;
    const int used = (this->*handler)(*key);
    if (self.expired() || used) return used ? 1 : 0;
  }
  if (key->GetKey() == KIVKeyEvent::KeyEscape && IsAnimating()) {
    StopMotion(key->GetTime());
    return 1;
  }
  return 0;
}

void KIVBasic3DViewpointEditor::GetInputSize(int& width, int& height) const {
  width = height = 1;
  if (KIVViewer* viewer = GetInputViewer()) viewer->GetGraphicSize(&width, &height);
  width = std::max(width, 1);
  height = std::max(height, 1);
}

float KIVBasic3DViewpointEditor::StepLength() const {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  return vp ? vp->GetSize() : 1.0f;
}

void KIVBasic3DViewpointEditor::SetWalkSpeed(float sizesPerSecond) {
  if (sizesPerSecond > 0.0f && std::isfinite(sizesPerSecond)) mWalkSpeed = std::clamp(sizesPerSecond, 1e-4f, 1e4f);
}

// ---- Horizontal lock and focus point ------------------------------------------------------

void KIVBasic3DViewpointEditor::LockHorizontal() {
  mHorizontalLock = 1;
  RefreshHorizontalLock();
}

void KIVBasic3DViewpointEditor::UnlockHorizontal() { mHorizontalLock = 0; }

void KIVBasic3DViewpointEditor::RefreshHorizontalLock() {
  // The level is the eye's height when a gesture begins, so a viewpoint placed by someone
  // else in between (a reframe, a history step) is walked from where it is.
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!mHorizontalLock || !vp) return;
  mLockVertical = vp->GetVerticalReference();
  mLockPoint = vp->GetOrigin();
}

void KIVBasic3DViewpointEditor::ApplyHorizontalLock(KIV3DViewpoint& viewpoint) const {
  if (!mHorizontalLock) return;
  const KIVMathPointf origin = viewpoint.GetOrigin();
  viewpoint.SetOrigin(origin + mLockVertical * ((mLockPoint - origin) * mLockVertical));
}

KIVRep* KIVBasic3DViewpointEditor::GetFocusPoint() const {
  return mFocusPoint && !mFocusPointLife.expired() ? mFocusPoint : nullptr;
}

void KIVBasic3DViewpointEditor::ShowFocusPoint(KIVRep* rep) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  KIVRep* marker = rep;
  if (!marker) {
    if (!mOwnFocusPoint) {
      mOwnFocusPoint = std::make_unique<KIV3DPointRep>(vp->GetTarget(), KIV3DMarkerGP::Cross, 9.0f);
      KIVGraphicAttributeSet look = mOwnFocusPoint->GetGraphicAttributeSet();
      look.SetColorIndex(245);  // yellow
      look.SetFlag(KIVGraphicAttributeSet::NotPickable, 1);
      mOwnFocusPoint->SetGraphicAttributeSet(look);
    }
    marker = mOwnFocusPoint.get();
  }
  mFocusPointForDrag = 0;
  if (GetFocusPoint() == marker) {
    PlaceFocusPoint();
    return;
  }
  HideFocusPoint();
  mFocusPoint = marker;
  mFocusPointLife = marker->GetLifeToken();
  vp->AddRep(marker, FocusPointKind);
  mFocusCallback = AddCallback(vp, KIVViewpoint::VIEWPOINT_MODIFIED, &KIVBasic3DViewpointEditor::FocusFollow, nullptr);
  PlaceFocusPoint();
}

void KIVBasic3DViewpointEditor::HideFocusPoint() {
  mFocusPointForDrag = 0;
  if (!mFocusPoint) return;
  if (KIV3DViewpoint* vp = Get3DViewpoint()) {
    vp->RemoveRep(mFocusPoint, FocusPointKind);  // compares pointers only
    RemoveCallback(vp, mFocusCallback);
  }
  mFocusPoint = nullptr;
  mFocusPointLife.reset();
  mFocusCallback = 0;
}

void KIVBasic3DViewpointEditor::FocusFollow(const char*, void*, KIVNotification*, void*, KIVCallback) {
  PlaceFocusPoint();
}

void KIVBasic3DViewpointEditor::PlaceFocusPoint() {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (auto* point = dynamic_cast<KIV3DPointRep*>(GetFocusPoint()); point && vp) point->SetPoint(vp->GetTarget());
}

// ---- Motion -------------------------------------------------------------------------------

void KIVBasic3DViewpointEditor::RotateAround(KIV3DViewpoint* viewpoint, const KIVMathVectorf& R,
                                             const KIVMathDirectionf& vertical) {
  if (!viewpoint || !Finite(R) || R.IsNull()) return;
  KIVMathDirectionf axis(vertical);
  if (axis.IsNull()) axis = viewpoint->GetUpDirection();
  const KIVMathPointf target = viewpoint->GetTarget();
  if (R.y != 0.0f) viewpoint->RotateAboutPoint(axis * R.y, target);
  if (R.x != 0.0f) viewpoint->RotateAboutPoint(viewpoint->GetRightDirection() * R.x, target);
  if (R.z != 0.0f) viewpoint->RotateAboutPoint(-viewpoint->GetSightDirection() * R.z, target);
}

void KIVBasic3DViewpointEditor::JumpAround(const KIVMathVectorf& T, const KIVMathVectorf& R) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp || !Finite(T) || !Finite(R)) return;
  vp->BeginModification();
  if (!T.IsNull()) {
    KIVMathVectorf move = T;
    // The eye never reaches the target: the part of the move along the sight stops short.
    const float focus = vp->GetFocusDistance(), least = 1e-4f * std::max(focus, StepLength());
    if (focus + move.z < least) move.z = least - focus;
    vp->SetOrigin(vp->GetOrigin() + vp->GetPlacementMatrix().TransformVector(move));
    vp->SetFocusDistance(focus + move.z);
  }
  RotateAround(vp, R, vp->GetVerticalReference());
  ApplyHorizontalLock(*vp);
  vp->EndModification(1);
}

void KIVBasic3DViewpointEditor::Jump(const KIVMathVectorf& T, const KIVMathVectorf& R) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp || !Finite(T) || !Finite(R)) return;
  vp->BeginModification();
  const KIV4x4Matrix frame = vp->GetPlacementMatrix();
  KIVMathVectorf move = frame.TransformVector(T);
  KIVMathVectorf turn = frame.TransformVector(R);
  if (mHorizontalLock) {
    // Walking goes where the eye looks, on the level and at the speed asked, and turns
    // about the vertical so that the horizon stays level.
    const KIVMathVectorf level = move - mLockVertical * (move * mLockVertical);
    const float length = move.Norm(), levelLength = level.Norm();
    move = levelLength > 1e-3f * length ? level * (length / levelLength) : level;
    turn = vp->GetRightDirection() * R.x + mLockVertical * R.y - vp->GetSightDirection() * R.z;
  }
  vp->SetOrigin(vp->GetOrigin() + move);
  if (!turn.IsNull()) vp->RotateAboutPoint(turn, vp->GetOrigin());
  ApplyHorizontalLock(*vp);
  vp->EndModification(1);
}

void KIVBasic3DViewpointEditor::Zoom(float factor) {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp || !(factor > 0.0f) || !std::isfinite(factor)) return;
  const float focus = vp->GetFocusDistance();
  JumpAround(KIVMathVectorf(0.0f, 0.0f, focus * factor - focus), KIVMathVectorf());
}

void KIVBasic3DViewpointEditor::Walk(float distance) { Jump(KIVMathVectorf(0.0f, 0.0f, -distance), KIVMathVectorf()); }

void KIVBasic3DViewpointEditor::TurnHead(float yaw, float pitch) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp || !std::isfinite(yaw) || !std::isfinite(pitch)) return;
  const KIVMathDirectionf vertical = vp->GetVerticalReference();
  vp->BeginModification();
  if (yaw != 0.0f) vp->RotateAboutPoint(vertical * yaw, vp->GetOrigin());
  if (pitch != 0.0f) {
    const float elevation = std::asin(std::clamp(vp->GetSightDirection() * vertical, -1.0f, 1.0f));
    const float wanted = std::clamp(elevation + pitch, -kMaxElevation, kMaxElevation);
    vp->RotateAboutPoint(vp->GetRightDirection() * (wanted - elevation), vp->GetOrigin());
  }
  vp->EndModification(1);
}

void KIVBasic3DViewpointEditor::AimAt(const KIVMathPointf& origin, const KIVMathPointf& target) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  const KIVMathVectorf sight = target - origin;
  const float distance = sight.Norm();
  if (!vp || !(distance > 0.0f) || !std::isfinite(distance)) return;
  // Level with the vertical reference when it can be, else keep the present up (or, when
  // the new sight runs along that too, the present sight, which is across it).
  const KIVMathDirectionf direction(sight);
  KIVMathDirectionf up = vp->GetVerticalReference();
  if (std::fabs(direction * up) > 0.9999f) up = vp->GetUpDirection();
  if (std::fabs(direction * up) > 0.9999f) up = vp->GetSightDirection();
  vp->BeginModification();
  vp->SetPosition(origin, direction, up);
  vp->SetFocusDistance(distance);
  vp->EndModification(1);
}

void KIVBasic3DViewpointEditor::StopMotion(unsigned long time) {
  mRotationSpeed = KIVMathVectorf();
  mTranslationSpeed = KIVMathVectorf();
  UpdateAnimation(time);
}

void KIVBasic3DViewpointEditor::UpdateAnimation(unsigned long time) {
  (void)time;  // steps are timed by the viewer's updates
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (mUpdateCallback && mUpdateViewerLife.expired()) {
    // The viewer went away with the loop's callback.
    mUpdateCallback = 0;
    if (vp) vp->EndAnimation();
  }
  const bool moving = mRotationSpeed.Norm() + mTranslationSpeed.Norm() > 1e-15f;
  if (moving && !mUpdateCallback) {
    KIVViewer* viewer = GetInputViewer();
    if (!viewer || !vp) return;
    const std::weak_ptr<int> self = GetLifeToken();
    mUpdateViewer = viewer;
    mUpdateViewerLife = viewer->GetLifeToken();
    mUpdateCallback = AddCallback(viewer, KIVViewer::VIEWER_UPDATE, &KIVBasic3DViewpointEditor::ComputeNextStep, nullptr);
    mLastStepTime = 0;
    vp->BeginAnimation();
    if (self.expired() || mUpdateViewerLife.expired()) return;
    viewer->GenerateUpdateEvent();
  } else if (!moving && mUpdateCallback) {
    const KIVCallback id = mUpdateCallback;
    mUpdateCallback = 0;
    if (!mUpdateViewerLife.expired()) RemoveCallback(mUpdateViewer, id);
    mUpdateViewer = nullptr;
    if (vp) vp->EndAnimation();
  }
}

void KIVBasic3DViewpointEditor::ComputeNextStep(const char*, void*, KIVNotification* notification, void*, long) {
  KIVViewer* viewer = mUpdateViewerLife.expired() ? nullptr : mUpdateViewer;
  if (!viewer || !Get3DViewpoint()) return;
  unsigned long now;
  if (KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(notification))
    now = mouse->GetTime();
  else if (KIVKeyEvent* key = KeyOf(notification))
    now = key->GetTime();
  else
    now = GetInputTime(viewer);
  float dt;
  if (mLastStepTime == 0) {
    float durations[3] = {0.0f, 0.0f, 0.0f};
    viewer->GetLastUpdateDuration(durations);
    dt = durations[0];
  } else {
    // Unsigned 32-bit difference: a wrapped counter still gives the time elapsed.
    dt = static_cast<float>(static_cast<std::uint32_t>(now - mLastStepTime)) / 1000.0f;
  }
  mLastStepTime = now ? now : 1;
  dt = std::clamp(dt, 0.0f, kMaxStep);
  if (!(dt > 0.0f)) return;
  Jump(mTranslationSpeed * dt, mRotationSpeed * dt);
}

// ---- Handlers -------------------------------------------------------------------------------

int KIVBasic3DViewpointEditor::KeyRotate(KIVKeyEvent& event) {
  KIVMathVectorf R;
  switch (event.GetKey()) {
    case KIVKeyEvent::KeyLeft: R.y = kKeyAngle; break;
    case KIVKeyEvent::KeyRight: R.y = -kKeyAngle; break;
    case KIVKeyEvent::KeyUp: R.x = kKeyAngle; break;
    case KIVKeyEvent::KeyDown: R.x = -kKeyAngle; break;
    default: return 0;
  }
  JumpAround(KIVMathVectorf(), R);
  return 1;
}

void KIVBasic3DViewpointEditor::StartRotate(KIVMouseEvent& event) { RecordPress(event); }

void KIVBasic3DViewpointEditor::DriveRotate(KIVMouseEvent& event) {
  int w, h;
  GetInputSize(w, h);
  const float dx = static_cast<float>(event.GetX() - mLastPosition[0]);
  const float dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  // Dragging right turns the scene to the right (the eye goes left about the target).
  const float k = kPi / static_cast<float>(h);
  JumpAround(KIVMathVectorf(), KIVMathVectorf(-dy * k, -dx * k, 0.0f));
}

void KIVBasic3DViewpointEditor::StopRotate(KIVMouseEvent& event) {
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
}

int KIVBasic3DViewpointEditor::KeyZoom(KIVKeyEvent& event) {
  switch (event.GetKey()) {
    case '+':
    case '=': Zoom(0.8f); return 1;
    case '-': Zoom(1.25f); return 1;
    default: return 0;
  }
}

void KIVBasic3DViewpointEditor::DriveZoom(KIVMouseEvent& event) {
  int w, h;
  GetInputSize(w, h);
  const float dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  Zoom(std::exp(3.0f * dy / static_cast<float>(h)));
}

void KIVBasic3DViewpointEditor::DriveZoomAndTurn(KIVMouseEvent& event) {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  int w, h;
  GetInputSize(w, h);
  const float dx = static_cast<float>(event.GetX() - mLastPosition[0]);
  const float dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  const float turn = -dx * kPi / static_cast<float>(w);
  if (IsWalking()) {
    Jump(KIVMathVectorf(0.0f, 0.0f, 4.0f * dy * StepLength() / static_cast<float>(h)),
         KIVMathVectorf(0.0f, turn, 0.0f));
  } else {
    const float focus = vp->GetFocusDistance();
    JumpAround(KIVMathVectorf(0.0f, 0.0f, focus * std::exp(3.0f * dy / static_cast<float>(h)) - focus),
               KIVMathVectorf(0.0f, turn, 0.0f));
  }
}

void KIVBasic3DViewpointEditor::StartAndDisplayTarget(KIVMouseEvent& event) {
  RecordPress(event);
  if (!GetFocusPoint()) {
    ShowFocusPoint(nullptr);
    mFocusPointForDrag = GetFocusPoint() ? 1 : 0;
  }
}

void KIVBasic3DViewpointEditor::StopAndHideTarget(KIVMouseEvent& event) {
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  if (mFocusPointForDrag) HideFocusPoint();
}

void KIVBasic3DViewpointEditor::StopAndHideAndPickTarget(KIVMouseEvent& event) {
  StopAndHideTarget(event);
  KIV3DViewpoint* vp = Get3DViewpoint();
  int w, h;
  GetInputSize(w, h);
  KIVMathPointf point;
  if (!PickPoint(GetInputViewer(), vp, w / 2, h / 2, point)) return;
  const float distance = (point - vp->GetOrigin()) * vp->GetSightDirection();
  if (!(distance > 0.0f)) return;
  vp->BeginModification();
  vp->SetFocusDistance(distance);
  vp->EndModification(1);
}

int KIVBasic3DViewpointEditor::KeyboardTranslate(KIVKeyEvent& event) {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return 0;
  const bool shift = event.GetModifiers() & KIVMouseEvent::ModShift;
  // A twentieth of the view's height at the target (walking: of the viewpoint size).
  const float s = IsWalking() ? 0.1f * StepLength()
                              : 0.1f * vp->GetFocusDistance() * std::tan(0.5f * vp->GetAngle() * kPi / 180.0f);
  KIVMathVectorf T;
  switch (event.GetKey()) {
    case KIVKeyEvent::KeyLeft: T.x = -s; break;
    case KIVKeyEvent::KeyRight: T.x = s; break;
    case KIVKeyEvent::KeyUp: (shift || IsWalking() ? T.z : T.y) = shift || IsWalking() ? -s : s; break;
    case KIVKeyEvent::KeyDown: (shift || IsWalking() ? T.z : T.y) = shift || IsWalking() ? s : -s; break;
    default: return 0;
  }
  if (IsWalking())
    Jump(T, KIVMathVectorf());
  else
    JumpAround(T, KIVMathVectorf());
  return 1;
}

void KIVBasic3DViewpointEditor::MouseTranslate(KIVMouseEvent& event) {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  int w, h;
  GetInputSize(w, h);
  const float dx = static_cast<float>(event.GetX() - mLastPosition[0]);
  const float dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  if (IsWalking()) {
    const float k = 4.0f * StepLength() / static_cast<float>(h);
    Jump(KIVMathVectorf(dx * k, 0.0f, dy * k), KIVMathVectorf());
    return;
  }
  // The point under the pointer, in the target's plane, stays under it.
  const float perPixel =
      2.0f * vp->GetFocusDistance() * std::tan(0.5f * vp->GetAngle() * kPi / 180.0f) / static_cast<float>(h);
  JumpAround(KIVMathVectorf(-dx * perPixel, dy * perPixel, 0.0f), KIVMathVectorf());
}

void KIVBasic3DViewpointEditor::StartViewpointDefinition(KIVMouseEvent& event) {
  RecordPress(event);
  mDefining = 1;
}

void KIVBasic3DViewpointEditor::DriveViewpointDefinition(KIVMouseEvent& event) {
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
}

int KIVBasic3DViewpointEditor::GetDefinitionRectangle(int& x1, int& y1, int& x2, int& y2) const {
  if (!mDefining) return 0;
  x1 = std::min(mPressPosition[0], mLastPosition[0]), x2 = std::max(mPressPosition[0], mLastPosition[0]);
  y1 = std::min(mPressPosition[1], mLastPosition[1]), y2 = std::max(mPressPosition[1], mLastPosition[1]);
  return 1;
}

void KIVBasic3DViewpointEditor::StopViewpointDefinition(KIVMouseEvent& event) {
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  GetDefinitionRectangle(x1, y1, x2, y2);
  mDefining = 0;
  KIV3DViewpoint* vp = Get3DViewpoint();
  KIVViewer* viewer = GetInputViewer();
  if (!vp || !viewer) return;
  if (x2 - x1 <= kDeadZone && y2 - y1 <= kDeadZone) {
    // A click: the eye stays and looks at the object under the pointer.
    KIVMathPointf point;
    if (PickPoint(viewer, vp, event.GetX(), event.GetY(), point)) AimAt(vp->GetOrigin(), point);
    return;
  }
  // A rectangle: its centre becomes the target and it then fills the view.
  KIV3DViewer* viewer3D = GetInput3DViewer();
  if (!viewer3D || viewer3D->GetMain3DViewpoint() != vp) return;
  int w, h;
  GetInputSize(w, h);
  const int cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  const KIVRay ray = viewer3D->ComputeRay(static_cast<float>(cx), static_cast<float>(cy));
  KIVMathPointf target;
  if (!PickPoint(viewer, vp, cx, cy, target)) target = ray.PointAt(vp->GetFocusDistance());
  const float fraction = std::clamp(std::max(float(x2 - x1) / float(w), float(y2 - y1) / float(h)), 0.01f, 1.0f);
  const float distance = target.DistanceTo(vp->GetOrigin()) * fraction;
  AimAt(target - KIVMathDirectionf(ray.direction) * distance, target);
}

void KIVBasic3DViewpointEditor::DriveTilt(KIVMouseEvent& event) {
  const KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  int w, h;
  GetInputSize(w, h);
  const float dx = static_cast<float>(event.GetX() - mLastPosition[0]);
  const float dy = static_cast<float>(event.GetY() - mLastPosition[1]);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  // The window's height turns the head by one field of view; dragging right looks right.
  const float k = vp->GetAngle() * kPi / 180.0f / static_cast<float>(h);
  TurnHead(-dx * k, -dy * k);
}

int KIVBasic3DViewpointEditor::KeyTilt(KIVKeyEvent& event) {
  switch (event.GetKey()) {
    case KIVKeyEvent::KeyLeft: TurnHead(kKeyAngle, 0.0f); return 1;
    case KIVKeyEvent::KeyRight: TurnHead(-kKeyAngle, 0.0f); return 1;
    case KIVKeyEvent::KeyUp: TurnHead(0.0f, kKeyAngle); return 1;
    case KIVKeyEvent::KeyDown: TurnHead(0.0f, -kKeyAngle); return 1;
    default: return 0;
  }
}

void KIVBasic3DViewpointEditor::StartThisTilt(KIVMouseEvent& event) { RecordPress(event); }

void KIVBasic3DViewpointEditor::Seek(KIVMouseEvent& event) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  KIVMathPointf point;
  if (!vp || !PickPoint(GetInputViewer(), vp, event.GetX(), event.GetY(), point)) return;
  if (mSeekHistory.size() >= kSeekHistory) mSeekHistory.erase(mSeekHistory.begin());
  mSeekHistory.push_back(Saved{vp->GetOrigin(), vp->GetSightDirection(), vp->GetUpDirection(), vp->GetFocusDistance()});
  KIVMathPointf origin = vp->GetOrigin() + (point - vp->GetOrigin()) * 0.5f;
  if (mHorizontalLock) origin = origin + mLockVertical * ((mLockPoint - origin) * mLockVertical);
  AimAt(origin, point);
}

void KIVBasic3DViewpointEditor::StepBack(KIVMouseEvent&) {
  KIV3DViewpoint* vp = Get3DViewpoint();
  if (!vp) return;
  if (mSeekHistory.empty()) {
    if (IsWalking())
      Walk(-StepLength());
    else
      Zoom(2.0f);
    return;
  }
  const Saved saved = mSeekHistory.back();
  mSeekHistory.pop_back();
  vp->BeginModification();
  vp->SetPosition(saved.origin, saved.sight, saved.up);
  vp->SetFocusDistance(saved.focus);
  vp->EndModification(1);
}

void KIVBasic3DViewpointEditor::StartAnimation(KIVMouseEvent& event) {
  if (IsAnimating()) {
    StopMotion(event.GetTime());
    return;
  }
  mRotationSpeed = KIVMathVectorf();
  mTranslationSpeed = KIVMathVectorf(0.0f, 0.0f, -mWalkSpeed * StepLength());
  UpdateAnimation(event.GetTime());
}

int KIVBasic3DViewpointEditor::KeyFly(KIVKeyEvent& event) {
  const float speed = mWalkSpeed * StepLength();
  switch (event.GetKey()) {
    case KIVKeyEvent::KeyPageUp:
      SetWalkSpeed(mWalkSpeed * 1.5f);
      if (mTranslationSpeed.IsNull())
        mTranslationSpeed = KIVMathVectorf(0.0f, 0.0f, -mWalkSpeed * StepLength());
      else
        mTranslationSpeed *= 1.5f;
      break;
    case KIVKeyEvent::KeyPageDown:
      SetWalkSpeed(mWalkSpeed / 1.5f);
      mTranslationSpeed *= 1.0f / 1.5f;
      if (mTranslationSpeed.Norm() < 0.01f * StepLength()) mTranslationSpeed = KIVMathVectorf();
      break;
    case KIVKeyEvent::KeyUp: mTranslationSpeed.z -= 0.5f * speed; break;
    case KIVKeyEvent::KeyDown: mTranslationSpeed.z += 0.5f * speed; break;
    case KIVKeyEvent::KeyLeft: mRotationSpeed.y += 0.25f * kTurnSpeed; break;
    case KIVKeyEvent::KeyRight: mRotationSpeed.y -= 0.25f * kTurnSpeed; break;
    case ' ':
      mTranslationSpeed = KIVMathVectorf();
      mRotationSpeed = KIVMathVectorf();
      break;
    default: return 0;
  }
  // Steps of a half or a quarter add up to exactly nothing again, but floats may not.
  if (std::fabs(mTranslationSpeed.z) < 1e-6f * speed) mTranslationSpeed.z = 0.0f;
  if (std::fabs(mRotationSpeed.y) < 1e-6f) mRotationSpeed.y = 0.0f;
  UpdateAnimation(event.GetTime());
  return 1;
}

void KIVBasic3DViewpointEditor::StartFly(KIVMouseEvent& event) {
  RecordPress(event);
  mRotationSpeed = KIVMathVectorf();
  mTranslationSpeed = KIVMathVectorf();
}

void KIVBasic3DViewpointEditor::DriveFly(KIVMouseEvent& event) {
  int w, h;
  GetInputSize(w, h);
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  const int ox = event.GetX() - mPressPosition[0], oy = event.GetY() - mPressPosition[1];
  const float fx = std::abs(ox) <= kDeadZone ? 0.0f : std::clamp(2.0f * float(ox) / float(w), -1.0f, 1.0f);
  const float fy = std::abs(oy) <= kDeadZone ? 0.0f : std::clamp(2.0f * float(oy) / float(h), -1.0f, 1.0f);
  // Up walks forward (−z), right turns right.
  mTranslationSpeed = KIVMathVectorf(0.0f, 0.0f, 2.0f * fy * mWalkSpeed * StepLength());
  mRotationSpeed = KIVMathVectorf(0.0f, -fx * kTurnSpeed, 0.0f);
  UpdateAnimation(event.GetTime());
}

void KIVBasic3DViewpointEditor::StopFly(KIVMouseEvent& event) {
  mLastPosition[0] = event.GetX(), mLastPosition[1] = event.GetY();
  StopMotion(event.GetTime());
}
