#include "navigation/NavToolsVisu.h"

#include <cmath>
#include <iostream>

void NavToolsVisu::CreateBoundingSphere(float* centre, float& radius, const float* vertices, int length) {
  if (!centre) return;
  const int count = vertices && length > 0 ? length / 3 : 0;
  if (count == 0) {
    centre[0] = centre[1] = centre[2] = 0.0f;
    radius = 0.0f;
    std::cerr << "CreateBoundingSphere: ERROR: Zero vertex array length." << std::endl;
    return;
  }
  // Indices of the minimum and maximum on each axis, scanning down from the last vertex
  // with strict comparisons, so that the highest index wins a tie.
  int lo[3], hi[3];
  for (int a = 0; a < 3; ++a) lo[a] = hi[a] = count - 1;
  for (int v = count - 2; v >= 0; --v) {
    const float* p = vertices + 3 * v;
    for (int a = 2; a >= 0; --a) {
      if (p[a] < vertices[3 * lo[a] + a])
        lo[a] = v;
      else if (p[a] > vertices[3 * hi[a] + a])
        hi[a] = v;
    }
  }
  const float* extreme[6] = {vertices + 3 * lo[0], vertices + 3 * hi[0], vertices + 3 * lo[1],
                             vertices + 3 * hi[1], vertices + 3 * lo[2], vertices + 3 * hi[2]};
  float best = 0.0f;
  int bi = 0, bj = 0;
  for (int j = 5; j >= 1; --j)
    for (int i = j - 1; i >= 0; --i) {
      const float dx = extreme[j][0] - extreme[i][0];
      const float dy = extreme[j][1] - extreme[i][1];
      const float dz = extreme[j][2] - extreme[i][2];
      const float d2 = (dx * dx + dy * dy) + dz * dz;
      if (d2 > best) best = d2, bi = i, bj = j;
    }
  for (int a = 0; a < 3; ++a)
    centre[a] = static_cast<float>(static_cast<double>(extreme[bi][a] + extreme[bj][a]) * 0.5);
  if (static_cast<double>(best) < 1e-06) {
    radius = 0.0f;
    return;
  }
  radius = static_cast<float>(static_cast<double>(std::sqrt(best)) * 0.5);
  UpdateBoundingSphere(centre, radius, vertices, length);
}

void NavToolsVisu::UpdateBoundingSphere(float* centre, float& radius, const float* vertices, int length) {
  if (!centre || !vertices || length <= 1) return;
  const int count = length / 3;
  float r2 = radius * radius;
  for (int v = count - 1; v >= 0; --v) {
    const float* p = vertices + 3 * v;
    const float dz = p[2] - centre[2], dy = p[1] - centre[1], dx = p[0] - centre[0];
    const float d2 = (dz * dz + dy * dy) + dx * dx;
    if (d2 > r2) {
      const float d = std::sqrt(d2);
      radius = (radius + d) * 0.5f;
      r2 = radius * radius;
      const float k = radius / d;
      for (int a = 0; a < 3; ++a) centre[a] = k * centre[a] + (1.0f - k) * p[a];
    }
  }
}

KIV3DBoundingSphere NavToolsVisu::GetBoundingSphere(const float* vertices, int length) {
  float centre[3];
  float radius = 0.0f;
  CreateBoundingSphere(centre, radius, vertices, length);
  return KIV3DBoundingSphere(KIVMathPointf(centre), radius, 0.0f);
}
