#pragma once
// The plant as Embree 3 sees it, for measuring our picking against it in the same binary:
// one scene per model's geometry, instanced with the model's matrix in a top scene, both
// built for the best trace speed, traced one ray at a time on one thread.

#include <embree3/rtcore.h>

#include "bench/PlantScene.h"
#include "host/visu/math/KIVRay.h"

class EmbreePlant {
 public:
  struct Hit {
    float t = 0.0f;
    int instance = -1;  // the model's index
    int triangle = -1;
  };
  explicit EmbreePlant(const PlantScene& plant);
  ~EmbreePlant();
  EmbreePlant(const EmbreePlant&) = delete;
  EmbreePlant& operator=(const EmbreePlant&) = delete;

  /// The nearest hit with t in [0, ray.tMax]. Returns 1 on a hit.
  int Intersect(const KIVRay& ray, Hit& hit) const;

 private:
  RTCDevice mDevice = nullptr;
  RTCScene mTop = nullptr;
};
