#pragma once
// A circle of the scene drawn as one closed polyline of an even number of points, the
// second half mirroring the first about the radius vector (so that the circle is exactly
// symmetric whatever the rounding of the sines).
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/scene/KIV3DCustomRep.h"
class KIV3DPolylineGP;
class KIVRender;

class KIV3DCircleRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DCircleRep)
 public:
  /// radius: from the centre to the first point (its length is the radius); axis: the
  /// circle's normal. The segment count is rounded toward zero to an even number; below
  /// 2 the circle has no points. Counts above kMaxSegments are taken as kMaxSegments.
  KIV3DCircleRep(const KIVMathPointf& centre, const KIVMathVectorf& radius, const KIVMathDirectionf& axis,
                 const int& segments);
  ~KIV3DCircleRep() override;
  /// Replaces the polyline by the circle through these values.
  void BuildCircle(const KIVMathPointf& centre, const KIVMathVectorf& radius, const KIVMathDirectionf& axis);
  void Modify(const KIVMathPointf& centre, const KIVMathVectorf& radius, const KIVMathDirectionf& axis);
  int GetSegmentCount() const { return mSegments; }
  /// The polyline (null before the first build); the rep owns it.
  KIV3DPolylineGP* GetPolyline() const { return mPolyline; }
  void DrawShading(KIVRender& render, int mode) override;
  static constexpr int kMaxSegments = 1 << 20;

 private:
  int mSegments = 0;
  KIV3DPolylineGP* mPolyline = nullptr;
};
