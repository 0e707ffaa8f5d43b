#pragma once
// Static viewpoint and bounding-sphere utilities; never instantiated for state. This file
// holds the vertex-array spheres; the reframing and tree operations join it as the
// viewer classes they work on land.

#include "host/visu/KIV3DBoundingSphere.h"

class NavToolsVisu {
 public:
  NavToolsVisu() = default;
  ~NavToolsVisu() = default;

  /// An approximate minimal sphere of x, y, z triples (`length` counts floats): the
  /// widest pair among the six axis extremes, then a growing pass. A zero length (or a
  /// null array) gives the origin, radius 0 and a message on the standard error stream.
  static void CreateBoundingSphere(float* centre, float& radius, const float* vertices, int length);
  /// Grows the sphere until it holds every vertex, visiting them from the last one.
  static void UpdateBoundingSphere(float* centre, float& radius, const float* vertices, int length);
  /// The sphere of CreateBoundingSphere, with a millimetre radius of 0.
  static KIV3DBoundingSphere GetBoundingSphere(const float* vertices, int length);
};
