#include "viewer/KIVNavStatisticRender.h"

#include "host/visu/scene/KIV3DCylinderGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"

KIVNavStatisticRender::~KIVNavStatisticRender() = default;

float KIVNavStatisticRender::Get3DModelCulling(const KIV3DBoundingSphere& sphere) const {
  return KIVRender::Get3DModelCulling(sphere);
}

float KIVNavStatisticRender::Get3DModelSag(const KIV3DBoundingSphere& sphere) const {
  return KIVRender::Get3DModelSag(sphere);
}

void KIVNavStatisticRender::Add(int triangles, const int* stripCounts, int strips, const int* fanCounts, int fans) {
  long long total = mTriangles + static_cast<long long>(triangles);
  for (int i = 0; stripCounts && i < strips; ++i)
    if (stripCounts[i] > 2) total += stripCounts[i] - 2;
  for (int i = 0; fanCounts && i < fans; ++i)
    if (fanCounts[i] > 2) total += fanCounts[i] - 2;
  // An int count, as read by the performance panel; it stops at the largest int.
  mTriangles = total > 2147483647LL ? 2147483647 : static_cast<int>(total);
}

// Faces and cylinders give their triangles through the same Get.
template <class Primitive>
void KIVNavStatisticRender::Count(Primitive& gp) {
  const float *vertices = nullptr, *normals = nullptr;
  const int *triangles = nullptr, *strips = nullptr, *stripCounts = nullptr, *fans = nullptr, *fanCounts = nullptr;
  int vertexFloats = 0, triangleCount = 0, stripNumber = 0, fanNumber = 0;
  gp.Get(vertices, vertexFloats, normals, triangles, triangleCount, strips, stripCounts, stripNumber, fans, fanCounts,
         fanNumber);
  Add(triangleCount, stripCounts, stripNumber, fanCounts, fanNumber);
}

void KIVNavStatisticRender::Draw3DFace(KIV3DFaceGP& face) { Count(face); }

// Through the virtual Draw3DFace, so that a render derived from this one sees planar faces too.
void KIVNavStatisticRender::Draw3DPlanarFace(KIV3DPlanarFaceGP& face) { Draw3DFace(face); }

void KIVNavStatisticRender::Draw3DCylinder(KIV3DCylinderGP& cylinder, const int) { Count(cylinder); }
