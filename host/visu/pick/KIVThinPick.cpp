#include "host/visu/pick/KIVThinPick.h"

#include <algorithm>
#include <cmath>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIVSceneChangeLog.h"

namespace {
bool Blocks(const KIVRep* rep) {
  const KIVGraphicAttributeSet& a = rep->GetGraphicAttributeSet();
  return a.GetFlag(KIVGraphicAttributeSet::Hidden) || a.GetFlag(KIVGraphicAttributeSet::NotPickable);
}

bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void Append(std::vector<float>& out, const KIVMathPointf& p) { out.insert(out.end(), {p.x, p.y, p.z}); }

// Points nearer the eye than this fraction of the farther end are cut off: in front of
// the eye, yet still projected to finite pixels.
constexpr float kNearFraction = 1e-5f;

// Within a pixel two thin hits are as near on screen (a click lands on a pixel centre,
// which is up to half a pixel from either), and the depth decides.
constexpr float kPixelTie = 1.0f;

// The thin kinds of primitive. Primitives that draw triangles are faces, whatever else
// they hold, and are skipped at the cost of one virtual call: a layout asks every leaf.
bool IsThin(const KIVGraphicPrimitive* gp) {
  std::vector<float> points, segments;
  return gp && gp->GetTriangleCount() == 0 && gp->GetPickThinElements(points, segments);
}

// a better than b.
bool Better(const KIVThinPick::Hit& a, const KIVThinPick::Hit& b) {
  if (std::fabs(a.pixels - b.pixels) > kPixelTie) return a.pixels < b.pixels;
  const float slack = 1e-3f * std::max(a.t, b.t);
  if (std::fabs(a.t - b.t) > slack) return a.t < b.t;
  // A corner point at the end of a line is grabbed as the point.
  if (a.marker != b.marker) return a.marker;
  return a.pixels < b.pixels;
}
}  // namespace

void KIVThinPick::Clear() {
  mOccurrences.clear();
  mUnder.clear();
  mStale = false;
}

bool KIVThinPick::HoldsThin(const KIVRep* rep) {
  auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep);
  if (!leaf) return false;
  for (int i = 0; i < leaf->GetGPCount(0); ++i)
    if (IsThin(leaf->GetGP(i, 0))) return true;
  return false;
}

void KIVThinPick::Add(const KIV3DCustomRep* leaf, const std::vector<KIVRep*>& path) {
  if (!leaf || path.empty() || path.back() != leaf || !HoldsThin(leaf)) return;
  const int index = static_cast<int>(mOccurrences.size());
  Occurrence o;
  o.path = path;
  o.leaf = leaf;
  mOccurrences.push_back(std::move(o));
  for (const KIVRep* r : path) mUnder[r].push_back(index);
  mStale = true;
}

void KIVThinPick::SceneChanged(const KIVRep* rep, int kind) {
  if (mUnder.empty() || kind == KIVSceneChangeLog::Children) return;
  const auto it = mUnder.find(rep);
  if (it == mUnder.end()) return;
  for (int o : it->second) mOccurrences[o].stale = true;
  mStale = true;
}

bool KIVThinPick::IsLeaf(const KIVRep* rep) const {
  const auto it = mUnder.find(rep);
  return it != mUnder.end() && !it->second.empty() && mOccurrences[it->second.front()].leaf == rep;
}

void KIVThinPick::Refresh(Occurrence& o) const {
  o.stale = false;
  o.markers.clear();
  o.segments.clear();
  o.radius = -1.0f;
  o.visible = true;
  // The deepest bag's matrix applies first (row vectors).
  KIV4x4Matrix m;
  for (auto it = o.path.rbegin(); it != o.path.rend(); ++it) {
    if (Blocks(*it)) o.visible = false;
    if (auto* bag = dynamic_cast<const KIV3DBagRep*>(*it); bag && bag->GetMatrix()) m = m * *bag->GetMatrix();
  }
  if (!o.visible) return;  // showing it again marks it stale
  std::vector<float> points, segments;
  for (int i = 0; i < o.leaf->GetGPCount(0); ++i) {
    const KIVGraphicPrimitive* gp = o.leaf->GetGP(i, 0);
    if (gp && gp->GetTriangleCount() == 0) gp->GetPickThinElements(points, segments);
  }
  for (std::size_t k = 0; k + 2 < points.size(); k += 3) {
    const KIVMathPointf w = m.TransformPoint(KIVMathPointf(points[k], points[k + 1], points[k + 2]));
    if (Finite(w)) Append(o.markers, w);
  }
  for (std::size_t k = 0; k + 5 < segments.size(); k += 6) {
    const KIVMathPointf a = m.TransformPoint(KIVMathPointf(segments[k], segments[k + 1], segments[k + 2]));
    const KIVMathPointf b = m.TransformPoint(KIVMathPointf(segments[k + 3], segments[k + 4], segments[k + 5]));
    if (Finite(a) && Finite(b)) Append(o.segments, a), Append(o.segments, b);
  }
  // A sphere about the box's centre holding every point.
  KIVMathPointf lo(INFINITY, INFINITY, INFINITY), hi(-INFINITY, -INFINITY, -INFINITY);
  auto grow = [&](const std::vector<float>& v) {
    for (std::size_t k = 0; k + 2 < v.size(); k += 3)
      for (int c = 0; c < 3; ++c) lo[c] = std::min(lo[c], v[k + c]), hi[c] = std::max(hi[c], v[k + c]);
  };
  grow(o.markers);
  grow(o.segments);
  if (o.markers.empty() && o.segments.empty()) return;
  o.centre = KIVMathPointf(0.5f * (lo.x + hi.x), 0.5f * (lo.y + hi.y), 0.5f * (lo.z + hi.z));
  float r2 = 0.0f;
  auto reach = [&](const std::vector<float>& v) {
    for (std::size_t k = 0; k + 2 < v.size(); k += 3)
      r2 = std::max(r2, o.centre.SquareDistanceTo(KIVMathPointf(v[k], v[k + 1], v[k + 2])));
  };
  reach(o.markers);
  reach(o.segments);
  o.radius = std::sqrt(r2) * 1.0001f + 1e-6f;
}

int KIVThinPick::Intersect(const Camera& camera, float x, float y, float tolerance, const KIVRay& ray, Hit& hit) {
  if (mOccurrences.empty() || !(tolerance >= 0.0f) || camera.width <= 0 || camera.height <= 0) return 0;
  if (mStale) {
    for (Occurrence& o : mOccurrences)
      if (o.stale) Refresh(o);
    mStale = false;
  }
  bool found = false;
  for (int i = 0; i < static_cast<int>(mOccurrences.size()); ++i) Consider(camera, x, y, tolerance, ray, i, hit, found);
  return found ? 1 : 0;
}

void KIVThinPick::Consider(const Camera& camera, float x, float y, float tolerance, const KIVRay& ray,
                           int index, Hit& best, bool& found) const {
  const Occurrence& o = mOccurrences[index];
  if (!o.visible || o.radius < 0.0f) return;
  // Sphere test: a point within `tolerance` pixels of the pixel is seen within this angle
  // of the ray (a pixel spans the widest angle at the centre of the picture).
  const KIVMathVectorf toCentre = o.centre - camera.eye;
  const float distance = toCentre.Norm();
  if (distance > o.radius) {
    const float spread = tolerance * 2.0f * camera.tanY / static_cast<float>(camera.height);
    if (spread < 0.5f) {
      const float along = toCentre * ray.direction / ray.direction.Norm();
      const float angle = std::atan2(std::sqrt(std::max(0.0f, distance * distance - along * along)), along);
      if (angle > 1.01f * (std::asin(spread) + std::asin(o.radius / distance)) + 1e-6f) return;
    }
  }
  const float sx = 0.5f * camera.width / camera.tanX, sy = 0.5f * camera.height / camera.tanY;
  auto depth = [&](const KIVMathPointf& p) { return (p - camera.eye) * camera.sight; };
  auto project = [&](const KIVMathPointf& p, float z, float& px, float& py) {
    const KIVMathVectorf rel = p - camera.eye;
    px = 0.5f * camera.width + sx * (rel * camera.right) / z - 0.5f;
    py = 0.5f * camera.height - sy * (rel * camera.up) / z - 0.5f;
  };
  auto offer = [&](const Hit& h) {
    if (!found || Better(h, best)) best = h, found = true;
  };

  for (std::size_t k = 0; k + 2 < o.markers.size(); k += 3) {
    const KIVMathPointf p(o.markers[k], o.markers[k + 1], o.markers[k + 2]);
    const float z = depth(p);
    if (!(z > 0.0f)) continue;
    float px, py;
    project(p, z, px, py);
    const float d = std::hypot(px - x, py - y);
    if (!(d <= tolerance)) continue;
    offer({index, d, ((p - ray.origin) * ray.direction) / (ray.direction * ray.direction), p, true});
  }

  for (std::size_t k = 0; k + 5 < o.segments.size(); k += 6) {
    KIVMathPointf a(o.segments[k], o.segments[k + 1], o.segments[k + 2]);
    KIVMathPointf b(o.segments[k + 3], o.segments[k + 4], o.segments[k + 5]);
    float za = depth(a), zb = depth(b);
    const float nearest = kNearFraction * std::max(za, zb);
    if (!(nearest > 0.0f)) continue;  // wholly behind the eye
    // Keep the part in front of the eye.
    if (za < nearest) a = a + (b - a) * ((nearest - za) / (zb - za)), za = nearest;
    if (zb < nearest) b = b + (a - b) * ((nearest - zb) / (za - zb)), zb = nearest;
    float ax, ay, bx, by;
    project(a, za, ax, ay);
    project(b, zb, bx, by);
    const float ex = bx - ax, ey = by - ay, length2 = ex * ex + ey * ey;
    const float s2 = length2 > 0.0f ? std::clamp(((x - ax) * ex + (y - ay) * ey) / length2, 0.0f, 1.0f) : 0.0f;
    const float d = std::hypot(ax + s2 * ex - x, ay + s2 * ey - y);
    if (!(d <= tolerance)) continue;
    // The point of the segment nearest the ray's line; a segment along the ray gives its
    // end nearer the eye.
    const KIVMathVectorf u = b - a, w = a - ray.origin;
    const float uu = u * u, ud = u * ray.direction, dd = ray.direction * ray.direction;
    const float uw = u * w, dw = ray.direction * w;
    const float denominator = uu * dd - ud * ud;
    float s;
    if (denominator > 1e-6f * uu * dd)
      s = std::clamp((ud * dw - dd * uw) / denominator, 0.0f, 1.0f);
    else
      s = ud > 0.0f ? 0.0f : 1.0f;
    const KIVMathPointf q = a + u * s;
    offer({index, d, ((q - ray.origin) * ray.direction) / dd, q, false});
  }
}
