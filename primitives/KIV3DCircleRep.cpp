#include "primitives/KIV3DCircleRep.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DCircleRep, KIV3DCustomRep)

KIV3DCircleRep::KIV3DCircleRep(const KIVMathPointf& centre, const KIVMathVectorf& radius,
                               const KIVMathDirectionf& axis, const int& segments) {
  const int n = std::clamp(segments, 0, kMaxSegments);
  mSegments = n - n % 2;
  BuildCircle(centre, radius, axis);
}

KIV3DCircleRep::~KIV3DCircleRep() = default;  // the custom rep destroys the polyline

void KIV3DCircleRep::BuildCircle(const KIVMathPointf& centre, const KIVMathVectorf& radius,
                                 const KIVMathDirectionf& axis) {
  if (mPolyline) {
    RemoveGP(mPolyline);
    mPolyline->Destroy();
    mPolyline = nullptr;
  }
  const float r = radius.Norm();
  KIVMathVectorf v = KIVMathVectorf(axis.x, axis.y, axis.z) ^ radius;
  const float length = v.Norm();
  v = length > 0.0f ? v * (r / length) : KIVMathVectorf(0.0f, 0.0f, 0.0f);
  const int n = mSegments;
  std::vector<float> points(3 * static_cast<size_t>(n));
  const double step = n > 0 ? 2.0 * 3.141592653589793 / n : 0.0;
  auto put = [&](int index, const KIVMathPointf& p) {
    points[3 * index] = p.x, points[3 * index + 1] = p.y, points[3 * index + 2] = p.z;
  };
  for (int i = 0; i < n / 2; ++i) {
    const float c = static_cast<float>(std::cos(i * step)), s = static_cast<float>(std::sin(i * step));
    put(i, centre + radius * c + v * s);
    put(n - 1 - i, centre + radius * c - v * s);
  }
  mPolyline = new KIV3DPolylineGP(points.data(), static_cast<int>(points.size()), 1);
  AddGP(mPolyline);
  SetBoundingElement(KIV3DBoundingSphere(centre, r));
  for (KIVRep* parent : GetParents())
    if (auto* bag = dynamic_cast<KIV3DRep*>(parent)) bag->ComputeBoundingElement();
}

void KIV3DCircleRep::Modify(const KIVMathPointf& centre, const KIVMathVectorf& radius, const KIVMathDirectionf& axis) {
  BuildCircle(centre, radius, axis);
}

void KIV3DCircleRep::DrawShading(KIVRender& render, int) {
  if (!mPolyline || !render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(), *this, nullptr)) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mPolyline->Draw(render);
}
