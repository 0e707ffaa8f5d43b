#include "bench/EmbreePlant.h"

#include <cstring>
#include <limits>

EmbreePlant::EmbreePlant(const PlantScene& plant) {
  mDevice = rtcNewDevice("threads=1");
  mTop = rtcNewScene(mDevice);
  rtcSetSceneFlags(mTop, RTC_SCENE_FLAG_NONE);
  rtcSetSceneBuildQuality(mTop, RTC_BUILD_QUALITY_HIGH);
  const int vertices = plant.GetVertexCount(), triangles = plant.GetTrianglesPerModel();
  for (int i = 0; i < plant.GetModelCount(); ++i) {
    const PlantScene::Model& m = plant.GetModel(i);
    RTCGeometry mesh = rtcNewGeometry(mDevice, RTC_GEOMETRY_TYPE_TRIANGLE);
    rtcSetGeometryBuildQuality(mesh, RTC_BUILD_QUALITY_HIGH);
    // Embree's own buffers: it pads them for its vector loads.
    auto* v = static_cast<float*>(
        rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), vertices));
    std::memcpy(v, m.vertices.data(), 3 * sizeof(float) * vertices);
    auto* idx = static_cast<unsigned*>(
        rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), triangles));
    std::memcpy(idx, plant.GetIndices().data(), 3 * sizeof(unsigned) * triangles);
    rtcCommitGeometry(mesh);
    RTCScene model = rtcNewScene(mDevice);
    rtcSetSceneFlags(model, RTC_SCENE_FLAG_NONE);
    rtcSetSceneBuildQuality(model, RTC_BUILD_QUALITY_HIGH);
    rtcAttachGeometry(model, mesh);
    rtcReleaseGeometry(mesh);
    rtcCommitScene(model);

    RTCGeometry instance = rtcNewGeometry(mDevice, RTC_GEOMETRY_TYPE_INSTANCE);
    rtcSetGeometryInstancedScene(instance, model);
    // Our matrices act on row vectors, so their rows in order are the columns Embree wants.
    float xfm[16];
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) xfm[4 * r + c] = m.matrix.Get(r, c);
    rtcSetGeometryTransform(instance, 0, RTC_FORMAT_FLOAT4X4_COLUMN_MAJOR, xfm);
    rtcCommitGeometry(instance);
    rtcAttachGeometryByID(mTop, instance, static_cast<unsigned>(i));
    rtcReleaseGeometry(instance);
    rtcReleaseScene(model);  // the instance holds it
  }
  rtcCommitScene(mTop);
}

EmbreePlant::~EmbreePlant() {
  rtcReleaseScene(mTop);
  rtcReleaseDevice(mDevice);
}

int EmbreePlant::Intersect(const KIVRay& ray, Hit& hit) const {
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRayHit rh;
  rh.ray.org_x = ray.origin.x, rh.ray.org_y = ray.origin.y, rh.ray.org_z = ray.origin.z;
  rh.ray.dir_x = ray.direction.x, rh.ray.dir_y = ray.direction.y, rh.ray.dir_z = ray.direction.z;
  rh.ray.tnear = 0.0f;
  rh.ray.tfar = ray.tMax;
  rh.ray.time = 0.0f;
  rh.ray.mask = ~0u;
  rh.ray.id = 0;
  rh.ray.flags = 0;
  rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
  rh.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
  rtcIntersect1(mTop, &context, &rh);
  if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return 0;
  hit.t = rh.ray.tfar;
  hit.instance = static_cast<int>(rh.hit.instID[0]);
  hit.triangle = static_cast<int>(rh.hit.primID);
  return 1;
}
