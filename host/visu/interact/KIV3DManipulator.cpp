#include "host/visu/interact/KIV3DManipulator.h"

#include <cmath>

#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/math/KIVRay.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DManipulator, KIVManipulator)

namespace {
float Dot(const KIVMathVectorf& a, const KIVMathVectorf& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

int Unit(const KIVMathVectorf& v, KIVMathVectorf& unit) {
  const float n = v.Norm();
  if (!(n > 0.0f) || !std::isfinite(n)) return 0;
  unit = v / n;
  return 1;
}

// Where the ray meets the plane through p of normal n; 0 when it runs along the plane.
int MeetPlane(const KIVRay& ray, const KIVMathPointf& p, const KIVMathVectorf& n, KIVMathPointf& at) {
  const float d = Dot(ray.direction, n);
  if (std::fabs(d) < 1e-12f) return 0;
  at = ray.PointAt(Dot(p - ray.origin, n) / d);
  return 1;
}

// The parameter along the line (p, unit u) of its point nearest the ray; 0 when parallel.
int NearestOnLine(const KIVRay& ray, const KIVMathPointf& p, const KIVMathVectorf& u, float& t) {
  const KIVMathVectorf w = p - ray.origin;
  const float a = Dot(u, u), b = Dot(u, ray.direction), c = Dot(ray.direction, ray.direction);
  const float d = Dot(u, w), e = Dot(ray.direction, w);
  const float den = a * c - b * b;
  if (std::fabs(den) < 1e-12f * a * c) return 0;
  t = (b * e - c * d) / den;
  return 1;
}

// Rodrigues: v turned by angle about the unit axis.
KIVMathVectorf Turn(const KIVMathVectorf& v, const KIVMathVectorf& axis, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return v * c + (axis ^ v) * s + axis * (Dot(axis, v) * (1.0f - c));
}

KIV4x4Matrix Rotate(const KIV4x4Matrix& m, const KIVMathPointf& centre, const KIVMathVectorf& axis, float angle) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return KIV4x4Matrix(Turn(d1, axis, angle), Turn(d2, axis, angle), Turn(d3, axis, angle),
                      centre + Turn(o - centre, axis, angle));
}

KIV4x4Matrix Translate(const KIV4x4Matrix& m, const KIVMathVectorf& delta) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return KIV4x4Matrix(d1, d2, d3, o + delta);
}
}  // namespace

KIV3DManipulator::KIV3DManipulator(KIVCommand* father, const char* name, KIV3DRep* rep, ManipulationStyle first,
                                   ManipulationStyle second)
    : KIVManipulator(father, name, rep), mStyles{Valid(first), Valid(second)} {}

KIV3DManipulator::~KIV3DManipulator() = default;

KIV3DManipulator::ManipulationStyle KIV3DManipulator::Valid(ManipulationStyle style) {
  const int s = static_cast<int>(style);
  return s >= NoManipulation && s <= RotateAroundPoint ? style : NoManipulation;
}

KIV3DManipulator::ManipulationStyle KIV3DManipulator::GetManipulationStyle(int which) const {
  return which == 0 || which == 1 ? mStyles[which] : NoManipulation;
}

int KIV3DManipulator::SetTranslationDirection(const KIVMathVectorf& direction) {
  if (!Unit(direction, mTranslation)) return 0;
  mHasTranslation = 1;
  return 1;
}

int KIV3DManipulator::SetTranslationPlane(const KIVMathVectorf& normal) {
  if (!Unit(normal, mPlaneNormal)) return 0;
  mHasPlane = 1;
  return 1;
}

int KIV3DManipulator::SetRotationLine(const KIVMathPointf& point, const KIVMathVectorf& direction) {
  if (!Unit(direction, mLineDirection)) return 0;
  mLinePoint = point;
  mHasLine = 1;
  return 1;
}

void KIV3DManipulator::SetRotationPoint(const KIVMathPointf& point) {
  mRotationPoint = point;
  mHasPoint = 1;
}

void KIV3DManipulator::ClearConstraints() { mHasTranslation = mHasPlane = mHasLine = mHasPoint = 0; }

int KIV3DManipulator::Ray(KIVNotification* event, KIVRay& ray) {
  auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(event);
  auto* viewer = viewerEvent ? dynamic_cast<KIV3DViewer*>(viewerEvent->GetViewer()) : nullptr;
  const KIVMouseEvent* mouse = GetMouseEvent(event);
  if (!viewer || !mouse) return 0;
  ray = viewer->ComputeRay(static_cast<float>(mouse->GetX()), static_cast<float>(mouse->GetY()));
  return 1;
}

int KIV3DManipulator::Preactivate(KIVNotification* event, KIVManipulator* from) {
  const KIVMouseEvent* mouse = GetMouseEvent(event);
  const int modified = mouse && (mouse->GetModifiers() & (KIVMouseEvent::ModShift | KIVMouseEvent::ModControl));
  mCurrentStyle = mStyles[modified ? 1 : 0];
  mStart = mPosition;
  KIVMathVectorf d1, d2, d3;
  mPosition.GetComponents(d1, d2, d3, mAnchor);
  auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(event);
  if (viewerEvent && viewerEvent->GetPickPath()) mAnchor = viewerEvent->GetPickPath()->GetGlobalIntersection();
  KIVRay ray;
  mDragging = Ray(event, ray);
  mPressOrigin = ray.origin;
  mPressDirection = ray.direction;
  return KIVManipulator::Preactivate(event, from);
}

int KIV3DManipulator::Edit(KIVNotification* event, KIVManipulator* from) {
  KIVRay ray;
  if (mDragging && Ray(event, ray))
    mPosition = Drag(mCurrentStyle, mStart, mAnchor, KIVRay(mPressOrigin, mPressDirection), ray);
  return KIVManipulator::Edit(event, from);
}

int KIV3DManipulator::Activate(KIVNotification* event, KIVManipulator* from) {
  mDragging = 0;
  if (!mInhibited && GetRep()) GetRep()->SetHighlightMode(GetRep()->GetHighlightMode() ? 0 : 1, 1);
  return KIVManipulator::Activate(event, from);
}

KIV4x4Matrix KIV3DManipulator::Drag(ManipulationStyle style, const KIV4x4Matrix& start, const KIVMathPointf& anchor,
                                    const KIVRay& pressRay, const KIVRay& ray) const {
  KIVMathVectorf d1, d2, d3, u;
  KIVMathPointf origin, p0, p1;
  start.GetComponents(d1, d2, d3, origin);
  switch (style) {
    case TranslateAlongDirection: {
      if (!(mHasTranslation ? (u = mTranslation, 1) : Unit(d1, u))) return start;
      float t0 = 0.0f, t1 = 0.0f;
      if (!NearestOnLine(pressRay, anchor, u, t0) || !NearestOnLine(ray, anchor, u, t1)) return start;
      return Translate(start, u * (t1 - t0));
    }
    case TranslateInPlane:
    case TranslateFree: {
      if (style == TranslateFree)
        u = pressRay.direction;
      else if (mHasPlane)
        u = mPlaneNormal;
      else
        u = d3;
      if (!MeetPlane(pressRay, anchor, u, p0) || !MeetPlane(ray, anchor, u, p1)) return start;
      return Translate(start, p1 - p0);
    }
    case RotateAroundLine: {
      const KIVMathPointf c = mHasLine ? mLinePoint : origin;
      if (!(mHasLine ? (u = mLineDirection, 1) : Unit(d1, u))) return start;
      if (!MeetPlane(pressRay, c, u, p0) || !MeetPlane(ray, c, u, p1)) return start;
      const KIVMathVectorf a = p0 - c, b = p1 - c;
      if (a.Norm() == 0.0f || b.Norm() == 0.0f) return start;
      return Rotate(start, c, u, std::atan2(Dot(a ^ b, u), Dot(a, b)));
    }
    case RotateAroundPoint: {
      const KIVMathPointf c = mHasPoint ? mRotationPoint : origin;
      if (!MeetPlane(pressRay, c, pressRay.direction, p0) || !MeetPlane(ray, c, pressRay.direction, p1)) return start;
      const KIVMathVectorf a = p0 - c, b = p1 - c;
      if (!Unit(a ^ b, u)) return start;
      return Rotate(start, c, u, std::atan2((a ^ b).Norm(), Dot(a, b)));
    }
    default:
      return start;
  }
}
