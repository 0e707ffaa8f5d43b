#include "host/visu/reps/KIVGroundRep.h"

#include <cmath>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"

KIV_IMPLEMENT_METAOBJECT(KIVGroundRep, KIV3DCustomRep)

namespace {
bool Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The square as two triangles for picking; it draws nothing, so that the ground looks like
// its lines but can still be grabbed anywhere inside.
class PickSurface : public KIVGraphicPrimitive {
 public:
  void Set(const KIVMathPointf* corners) {
    for (int i = 0; i < 4; ++i) mCorners[i] = corners[i];
    GeometryChanged();
  }
  void Draw(KIVRender&) override {}
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const override {
    const int base = static_cast<int>(vertices.size() / 3);
    for (const KIVMathPointf& c : mCorners) vertices.insert(vertices.end(), {c.x, c.y, c.z});
    indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    return 2;
  }
  void GetBoundingPoints(std::vector<float>& points) const override {
    for (const KIVMathPointf& c : mCorners) points.insert(points.end(), {c.x, c.y, c.z});
  }
 private:
  KIVMathPointf mCorners[4];
};
}  // namespace

KIVGroundRep::KIVGroundRep(const KIVMathPointf& origin, const KIVMathDirectionf& vertical, float radius, int grid,
                           int remembered, int, int, int outline)
    : mCentre(Finite(origin) ? origin : KIVMathPointf()),
      mRadius(radius > 0.0f && std::isfinite(radius) ? radius : 1.0f),
      mGrid(grid == 1 ? 1 : 0),
      mOutline(outline == 1 ? 1 : 0),
      mAtBottom(remembered == 1 ? 0 : 1) {
  if (!vertical.IsNull() && Finite(vertical)) mVertical = vertical;
  mOrigin = mAtBottom ? mCentre - mVertical * mRadius : mCentre;
  mLines = new KIV3DLineGP;
  mBorder = new KIV3DPolylineGP;
  mBorder->SetClosed(1);
  mSurface = new PickSurface;
  AddGP(mLines);
  AddGP(mBorder);
  AddGP(mSurface);
  SetPickable(0);
  Rebuild();
}

KIVGroundRep::~KIVGroundRep() = default;

void KIVGroundRep::SetVertical(const KIVMathDirectionf& vertical) {
  if (vertical.IsNull() || !Finite(vertical)) return;
  mVertical = vertical;
  if (mAtBottom) mOrigin = mCentre - mVertical * mRadius;
  Rebuild();
}

int KIVGroundRep::SetBottomHeight(float height) {
  if (!mAtBottom || !std::isfinite(height)) return 0;
  const KIVMathVectorf n(mVertical.x, mVertical.y, mVertical.z);
  mOrigin = mCentre - n * ((mCentre.AsVector() * n) - height);
  Rebuild();
  return 1;
}

namespace {
void Lowest(const KIVRep* rep, const KIV4x4Matrix& matrix, const KIVMathVectorf& up, float& lowest, int& found,
            int depth) {
  // As deep as the other walks of the tree go; a deeper one is not a real scene.
  if (!rep || depth > 1000 || rep->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) return;
  if (auto* bag = dynamic_cast<const KIV3DBagRep*>(rep)) {
    const KIV4x4Matrix inner = bag->GetMatrix() ? *bag->GetMatrix() * matrix : matrix;
    for (const KIVRep* child : bag->GetChildren()) Lowest(child, inner, up, lowest, found, depth + 1);
    return;
  }
  if (auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep)) {
    KIVMathPointf lo, hi;
    if (!leaf->GetLocalBox(lo, hi)) return;
    for (int corner = 0; corner < 8; ++corner) {
      const KIVMathPointf p(corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z);
      const float h = matrix.TransformPoint(p).AsVector() * up;
      if (!std::isfinite(h)) continue;
      if (!found || h < lowest) lowest = h;
      found = 1;
    }
    return;
  }
  for (const KIVRep* child : rep->GetChildren()) Lowest(child, matrix, up, lowest, found, depth + 1);
}
}  // namespace

int KIVGroundRep::LowestHeight(const KIVRep* root, const KIVMathDirectionf& vertical, float& height) {
  if (!root || vertical.IsNull() || !Finite(vertical)) return 0;
  KIVMathVectorf up(vertical.x, vertical.y, vertical.z);
  up.Normalize();
  float lowest = 0.0f;
  int found = 0;
  Lowest(root, KIV4x4Matrix(), up, lowest, found, 0);
  if (found) height = lowest;
  return found;
}

void KIVGroundRep::SetOrigin(const KIVMathPointf& origin) {
  if (!Finite(origin)) return;
  mOrigin = origin;
  mAtBottom = 0;  // placed: it no longer follows the sphere's bottom
  Rebuild();
}

void KIVGroundRep::GetPlaneAxes(KIVMathVectorf& first, KIVMathVectorf& second) const {
  // The world axis least along the vertical, made perpendicular to it: x for a z-up scene.
  const KIVMathVectorf ref = std::fabs(mVertical.x) < 0.9f ? KIVMathVectorf(1, 0, 0) : KIVMathVectorf(0, 1, 0);
  first = ref - mVertical * (ref * mVertical);
  first.Normalize();
  second = mVertical ^ first;
}

void KIVGroundRep::SetPickable(int on) {
  KIVGraphicAttributeSet attributes = GetGraphicAttributeSet();
  attributes.SetFlag(KIVGraphicAttributeSet::NotPickable, on ? 0 : 1);
  SetGraphicAttributeSet(attributes);
}

void KIVGroundRep::Rebuild() {
  KIVMathVectorf u, w;
  GetPlaneAxes(u, w);
  const float half = 0.5f * GetSide();
  std::vector<float> segments;
  if (mGrid) {
    segments.reserve(6 * 2 * (kCells + 1));
    for (int i = 0; i <= kCells; ++i) {
      const float t = -half + GetSide() * static_cast<float>(i) / kCells;
      for (int k = 0; k < 2; ++k) {
        const KIVMathVectorf across = k ? w : u, along = k ? u : w;
        const KIVMathPointf a = mOrigin + across * t - along * half, b = mOrigin + across * t + along * half;
        segments.insert(segments.end(), {a.x, a.y, a.z, b.x, b.y, b.z});
      }
    }
  }
  mLines->SetPoints(segments.data(), static_cast<int>(segments.size()));
  const KIVMathPointf corners[4] = {mOrigin - u * half - w * half, mOrigin + u * half - w * half,
                                    mOrigin + u * half + w * half, mOrigin - u * half + w * half};
  std::vector<float> border;
  if (mOutline)
    for (const KIVMathPointf& c : corners) border.insert(border.end(), {c.x, c.y, c.z});
  mBorder->SetVertices(border.data(), static_cast<int>(border.size()));
  static_cast<PickSurface*>(mSurface)->Set(corners);
  GeometryModified();
}
