#include "host/gl/KIVGLSimplifier.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <unordered_set>

int KIVGLSimplifier::Cluster(const float* positions, const float* normals, int vertexCount,
                             const unsigned int* indices, int indexCount, float cell, Mesh& out) {
  out = Mesh();
  if (!positions || !normals || !indices || vertexCount <= 0 || indexCount < 0 || !(cell > 0.0f) ||
      !std::isfinite(cell))
    return 0;
  for (int i = 0; i < indexCount; ++i)
    if (indices[i] >= static_cast<unsigned int>(vertexCount)) return 0;
  float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                 std::numeric_limits<float>::max()};
  for (int v = 0; v < vertexCount; ++v)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], positions[3 * v + k]);
  // 21 bits a coordinate: a cell key in one 64-bit word.
  auto key = [&](const float* p) {
    std::uint64_t k = 0;
    for (int a = 0; a < 3; ++a) {
      const double c = std::floor((static_cast<double>(p[a]) - lo[a]) / cell);
      k |= static_cast<std::uint64_t>(std::clamp(c, 0.0, 2097151.0)) << (21 * a);
    }
    return k;
  };
  // Each cell keeps its vertex farthest from the box's centre: averaging would pull
  // the outline of a convex shape inwards by up to a cell; an outer vertex keeps it on
  // the surface, where only the chords between kept vertices cut in.
  float hi[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                 -std::numeric_limits<float>::max()};
  for (int v = 0; v < vertexCount; ++v)
    for (int k = 0; k < 3; ++k) hi[k] = std::max(hi[k], positions[3 * v + k]);
  const double centre[3] = {0.5 * (lo[0] + hi[0]), 0.5 * (lo[1] + hi[1]), 0.5 * (lo[2] + hi[2])};
  auto reach = [&](int v) {
    double d = 0.0;
    for (int k = 0; k < 3; ++k) d += (positions[3 * v + k] - centre[k]) * (positions[3 * v + k] - centre[k]);
    return d;
  };
  std::unordered_map<std::uint64_t, unsigned int> cells;
  cells.reserve(static_cast<size_t>(vertexCount));
  std::vector<unsigned int> map(static_cast<size_t>(vertexCount));
  std::vector<int> chosen;       // the kept vertex per cluster
  std::vector<double> normalSums;  // per cluster
  for (int v = 0; v < vertexCount; ++v) {
    auto [it, added] = cells.try_emplace(key(&positions[3 * v]), static_cast<unsigned int>(chosen.size()));
    if (added) chosen.push_back(v), normalSums.resize(normalSums.size() + 3, 0.0);
    const unsigned int c = it->second;
    map[static_cast<size_t>(v)] = c;
    if (reach(v) > reach(chosen[c])) chosen[c] = v;
    for (int k = 0; k < 3; ++k) normalSums[3 * c + k] += normals[3 * v + k];
  }
  const size_t clusters = chosen.size();
  out.positions.resize(3 * clusters);
  out.normals.resize(3 * clusters);
  for (size_t c = 0; c < clusters; ++c) {
    const double* n = &normalSums[3 * c];
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int k = 0; k < 3; ++k) {
      out.positions[3 * c + k] = positions[3 * chosen[c] + k];
      out.normals[3 * c + k] = length > 0.0 ? static_cast<float>(n[k] / length) : (k == 2 ? 1.0f : 0.0f);
    }
  }
  // Triangles that keep three clusters, once each whatever their first corner.
  std::unordered_set<std::uint64_t> kept;
  for (int i = 0; i + 2 < indexCount; i += 3) {
    unsigned int a = map[indices[i]], b = map[indices[i + 1]], c = map[indices[i + 2]];
    if (a == b || b == c || a == c) continue;
    // Rotated so that the smallest comes first: the same triangle gives the same key.
    while (a > b || a > c) std::swap(a, b), std::swap(b, c);
    const std::uint64_t id = (static_cast<std::uint64_t>(a) << 42) ^ (static_cast<std::uint64_t>(b) << 21) ^ c;
    if (clusters < (1u << 21) && !kept.insert(id).second) continue;
    out.indices.insert(out.indices.end(), {a, b, c});
  }
  return 1;
}
