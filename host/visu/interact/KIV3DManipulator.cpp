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
// The drag geometry runs in double: the anchor and the rays come in single precision, but
// differences of nearby points and cross products of nearly parallel directions would
// otherwise lose most of their digits far from the origin or at grazing angles.
struct V3 {
  double x = 0.0, y = 0.0, z = 0.0;
  V3() = default;
  V3(double a, double b, double c) : x(a), y(b), z(c) {}
  explicit V3(const KIVMathVectorf& v) : x(v.x), y(v.y), z(v.z) {}
  explicit V3(const KIVMathPointf& p) : x(p.x), y(p.y), z(p.z) {}
  V3 operator+(const V3& v) const { return {x + v.x, y + v.y, z + v.z}; }
  V3 operator-(const V3& v) const { return {x - v.x, y - v.y, z - v.z}; }
  V3 operator*(double k) const { return {x * k, y * k, z * k}; }
  double operator*(const V3& v) const { return x * v.x + y * v.y + z * v.z; }
  V3 operator^(const V3& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
  double Norm() const { return std::sqrt(*this * *this); }
  KIVMathVectorf Vector() const { return {float(x), float(y), float(z)}; }
  KIVMathPointf Point() const { return {float(x), float(y), float(z)}; }
};

// Below this sine the ray is taken as parallel to a plane or a line: the answer would jump
// by more than the scene is wide for a pixel of motion.
constexpr double kParallel = 1e-6;

int Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
int Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

int Unit(const V3& v, V3& unit) {
  const double n = v.Norm();
  if (!(n > 0.0) || !std::isfinite(n)) return 0;
  unit = v * (1.0 / n);
  return 1;
}

int Unit(const KIVMathVectorf& v, KIVMathVectorf& unit) {
  V3 u;
  if (!Finite(v) || !Unit(V3(v), u)) return 0;
  unit = u.Vector();
  return 1;
}

// A ray in double with a unit direction; 0 for a degenerate one.
struct Line {
  V3 o, d;
  int Set(const KIVRay& ray) {
    o = V3(ray.origin);
    return Finite(ray.origin) && Unit(V3(ray.direction), d);
  }
};

// Where the ray meets the plane through p of unit normal n, in front of the eye; 0 when it
// runs along the plane or meets it behind.
int MeetPlane(const Line& ray, const V3& p, const V3& n, V3& at) {
  const double dn = ray.d * n;
  if (std::fabs(dn) < kParallel) return 0;
  const double t = ((p - ray.o) * n) / dn;
  if (!(t > 0.0)) return 0;
  at = ray.o + ray.d * t;
  return 1;
}

// The parameter along the line (p, unit u) of its point nearest the ray, that point facing
// the eye; 0 when the line runs along the ray.
int NearestOnLine(const Line& ray, const V3& p, const V3& u, double& t) {
  const V3 w = p - ray.o;
  const double b = u * ray.d, d = u * w, e = ray.d * w;
  const double den = (u ^ ray.d) * (u ^ ray.d);  // 1 - b², without the cancellation
  if (den < kParallel * kParallel) return 0;
  t = (b * e - d) / den;
  if (!((e - b * d) / den > 0.0)) return 0;  // the ray's own parameter
  return 1;
}

// Rodrigues: v turned by angle about the unit axis.
V3 Turn(const V3& v, const V3& axis, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return v * c + (axis ^ v) * s + axis * ((axis * v) * (1.0 - c));
}

KIV4x4Matrix Rotate(const KIV4x4Matrix& m, const V3& centre, const V3& axis, double angle) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return KIV4x4Matrix(Turn(V3(d1), axis, angle).Vector(), Turn(V3(d2), axis, angle).Vector(),
                      Turn(V3(d3), axis, angle).Vector(), (centre + Turn(V3(o) - centre, axis, angle)).Point());
}

KIV4x4Matrix Translate(const KIV4x4Matrix& m, const V3& delta) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return KIV4x4Matrix(d1, d2, d3, (V3(o) + delta).Point());
}

// The angle that takes a to b about the unit axis (both across it).
double AngleAbout(const V3& a, const V3& b, const V3& axis) { return std::atan2((a ^ b) * axis, a * b); }

// The point of the sphere (c, r) under the ray: its hit on the side given (front: the one
// nearer the eye), else the point of the sphere's outline nearest the ray.
V3 OnSphere(const Line& ray, const V3& c, double r, int front) {
  const double tc = (c - ray.o) * ray.d;
  const V3 closest = ray.o + ray.d * tc;
  const V3 off = closest - c;
  const double h2 = r * r - off * off;
  if (h2 >= 0.0) return ray.o + ray.d * (front ? tc - std::sqrt(h2) : tc + std::sqrt(h2));
  V3 u;
  Unit(off, u);
  return c + u * r;
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

int KIV3DManipulator::SetPosition(const KIV4x4Matrix& position) {
  float values[16];
  position.GetValues(values);
  for (float v : values)
    if (!std::isfinite(v)) return 0;
  mPosition = position;
  return 1;
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
  KIVMathVectorf unit;
  if (!Finite(point) || !Unit(direction, unit)) return 0;
  mLineDirection = unit;
  mLinePoint = point;
  mHasLine = 1;
  return 1;
}

int KIV3DManipulator::SetRotationPoint(const KIVMathPointf& point) {
  if (!Finite(point)) return 0;
  mRotationPoint = point;
  mHasPoint = 1;
  return 1;
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

void KIV3DManipulator::Follow(KIVNotification* event) {
  KIVRay ray;
  if (mDragging && Ray(event, ray)) Drag(mCurrentStyle, mStart, mAnchor, KIVRay(mPressOrigin, mPressDirection), ray, mPosition);
}

int KIV3DManipulator::Edit(KIVNotification* event, KIVManipulator* from) {
  Follow(event);
  return KIVManipulator::Edit(event, from);
}

int KIV3DManipulator::EndEdit(KIVNotification* event, KIVManipulator* from) {
  Follow(event);
  mDragging = 0;
  return KIVManipulator::EndEdit(event, from);
}

int KIV3DManipulator::Activate(KIVNotification* event, KIVManipulator* from) {
  mDragging = 0;
  if (!mInhibited && GetRep()) GetRep()->SetHighlightMode(GetRep()->GetHighlightMode() ? 0 : 1, 1);
  return KIVManipulator::Activate(event, from);
}

KIV4x4Matrix KIV3DManipulator::Drag(ManipulationStyle style, const KIV4x4Matrix& start, const KIVMathPointf& anchor,
                                    const KIVRay& pressRay, const KIVRay& ray) const {
  KIV4x4Matrix result = start;
  Drag(style, start, anchor, pressRay, ray, result);
  return result;
}

int KIV3DManipulator::Drag(ManipulationStyle style, const KIV4x4Matrix& start, const KIVMathPointf& anchorf,
                           const KIVRay& pressRayf, const KIVRay& rayf, KIV4x4Matrix& result) const {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf originf;
  start.GetComponents(d1, d2, d3, originf);
  Line press, ray;
  if (!press.Set(pressRayf) || !ray.Set(rayf) || !Finite(anchorf)) return 0;
  const V3 anchor(anchorf), origin(originf);
  V3 u, p0, p1;
  switch (style) {
    case TranslateAlongDirection: {
      if (!Unit(V3(mHasTranslation ? mTranslation : d1), u)) return 0;
      double t0 = 0.0, t1 = 0.0;
      if (!NearestOnLine(press, anchor, u, t0) || !NearestOnLine(ray, anchor, u, t1)) return 0;
      result = Translate(start, u * (t1 - t0));
      return 1;
    }
    case TranslateInPlane:
    case TranslateFree: {
      if (!Unit(style == TranslateFree ? press.d : V3(mHasPlane ? mPlaneNormal : d3), u)) return 0;
      if (!MeetPlane(press, anchor, u, p0) || !MeetPlane(ray, anchor, u, p1)) return 0;
      const V3 delta = p1 - p0;
      result = Translate(start, delta - u * (delta * u));  // exactly in the plane
      return 1;
    }
    case RotateAroundLine: {
      if (!Unit(V3(mHasLine ? mLineDirection : d1), u)) return 0;
      const V3 c = mHasLine ? V3(mLinePoint) : origin;
      // The anchor turns in the plane across the line through it, about the line's point there.
      const V3 centre = c + u * ((anchor - c) * u);
      if (!MeetPlane(press, centre, u, p0) || !MeetPlane(ray, centre, u, p1)) return 0;
      const V3 a = p0 - centre, b = p1 - centre;
      if (!(a.Norm() > 0.0) || !(b.Norm() > 0.0)) return 0;
      result = Rotate(start, c, u, AngleAbout(a, b, u));
      return 1;
    }
    case RotateAroundPoint: {
      const V3 c = mHasPoint ? V3(mRotationPoint) : origin;
      const double r = (anchor - c).Norm();
      V3 a, b;
      if (r > 1e-6 * (std::fabs(c.x) + std::fabs(c.y) + std::fabs(c.z) + 1.0)) {
        const int front = (anchor - c) * press.d <= 0.0;
        a = OnSphere(press, c, r, front) - c;
        b = OnSphere(ray, c, r, front) - c;
      } else {
        // No lever arm: the pointer turns the frame about the sight line through the point.
        if (!MeetPlane(press, c, press.d, p0) || !MeetPlane(ray, c, press.d, p1)) return 0;
        a = p0 - c;
        b = p1 - c;
      }
      if (!Unit(a ^ b, u)) {
        // Nothing turned (or a half turn, whose axis no pointer motion can tell).
        if (a * b < 0.0) return 0;
        result = start;
        return 1;
      }
      result = Rotate(start, c, u, AngleAbout(a, b, u));
      return 1;
    }
    default:
      return 0;
  }
}
