#include "host/gl/KIVGLSimplifier.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace {
// Arrays given, counts that make sense, every index within the vertices.
bool ValidMesh(const float* positions, const float* normals, int vertexCount, const unsigned int* indices,
               int indexCount) {
  if (!positions || !normals || !indices || vertexCount <= 0 || indexCount < 0) return false;
  for (int i = 0; i < indexCount; ++i)
    if (indices[i] >= static_cast<unsigned int>(vertexCount)) return false;
  return true;
}
}  // namespace

int KIVGLSimplifier::Cluster(const float* positions, const float* normals, int vertexCount,
                             const unsigned int* indices, int indexCount, float cell, Mesh& out) {
  out = Mesh();
  if (!(cell > 0.0f) || !std::isfinite(cell) || !ValidMesh(positions, normals, vertexCount, indices, indexCount))
    return 0;
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

namespace {
// The outer product of a plane (a, b, c, d) with itself, upper triangle: the squared
// distance of a point to the plane is its quadratic form.
struct Quadric {
  double q[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  void AddPlane(const double* n, double d) {
    const double p[4] = {n[0], n[1], n[2], d};
    int k = 0;
    for (int i = 0; i < 4; ++i)
      for (int j = i; j < 4; ++j) q[k++] += p[i] * p[j];
  }
  void Add(const Quadric& o) {
    for (int k = 0; k < 10; ++k) q[k] += o.q[k];
  }
  double Error(const float* v) const {
    const double p[4] = {v[0], v[1], v[2], 1.0};
    double e = 0.0;
    int k = 0;
    for (int i = 0; i < 4; ++i)
      for (int j = i; j < 4; ++j, ++k) e += (i == j ? 1.0 : 2.0) * q[k] * p[i] * p[j];
    return e;
  }
};

void Cross(const float* a, const float* b, const float* c, double* n) {
  const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
  const double v[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
  n[0] = u[1] * v[2] - u[2] * v[1];
  n[1] = u[2] * v[0] - u[0] * v[2];
  n[2] = u[0] * v[1] - u[1] * v[0];
}
// The weights of p in triangle t (p taken onto its plane); false when p lies outside it
// (beyond a rounding margin) or the triangle has no area.
bool Barycentric(const float* const* t, const float* p, double* w) {
  double e0[3], e1[3], e2[3];
  for (int k = 0; k < 3; ++k) {
    e0[k] = double(t[1][k]) - t[0][k];
    e1[k] = double(t[2][k]) - t[0][k];
    e2[k] = double(p[k]) - t[0][k];
  }
  auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  const double d00 = dot(e0, e0), d01 = dot(e0, e1), d11 = dot(e1, e1), d20 = dot(e2, e0), d21 = dot(e2, e1);
  const double det = d00 * d11 - d01 * d01;
  if (!(det > 1e-30 * (d00 * d11))) return false;
  w[1] = (d11 * d20 - d01 * d21) / det;
  w[2] = (d00 * d21 - d01 * d20) / det;
  w[0] = 1.0 - w[1] - w[2];
  constexpr double kMargin = -1e-6;
  return w[0] >= kMargin && w[1] >= kMargin && w[2] >= kMargin;
}
}  // namespace

int KIVGLSimplifier::Collapse(const float* positions, const float* normals, int vertexCount,
                              const unsigned int* indices, int indexCount, float tolerance, Mesh& out) {
  out = Mesh();
  if (!(tolerance >= 0.0f) || !std::isfinite(tolerance) ||
      !ValidMesh(positions, normals, vertexCount, indices, indexCount))
    return 0;
  const size_t n = static_cast<size_t>(vertexCount);
  const int faceCount = indexCount / 3;
  std::vector<unsigned int> face(indices, indices + 3 * static_cast<size_t>(faceCount));
  // Corners split only to give each face its own copy of the same point and normal (a
  // flat-shaded import) are joined first, so that a flat region is one surface; corners
  // whose normals differ stay apart, and the crease between them is a border.
  {
    // Each vertex's point as bits (−0 taken as 0) with its index, sorted: equal points meet.
    std::vector<std::pair<std::array<std::uint32_t, 3>, unsigned int>> order(n);
    for (unsigned int v = 0; v < n; ++v) {
      for (int k = 0; k < 3; ++k) {
        const float c = positions[3 * static_cast<size_t>(v) + k] + 0.0f;
        std::memcpy(&order[v].first[k], &c, sizeof c);
      }
      order[v].second = v;
    }
    std::sort(order.begin(), order.end());
    std::vector<unsigned int> joined(n), kept;
    for (size_t i = 0, j; i < n; i = j) {
      kept.clear();
      for (j = i; j < n && order[j].first == order[i].first; ++j) {
        const unsigned int v = order[j].second;
        const float* nv = &normals[3 * static_cast<size_t>(v)];
        joined[v] = v;
        for (unsigned int k : kept) {
          const float* nk = &normals[3 * static_cast<size_t>(k)];
          if (nv[0] * nk[0] + nv[1] * nk[1] + nv[2] * nk[2] >= 0.99999f) {
            joined[v] = k;
            break;
          }
        }
        if (joined[v] == v) kept.push_back(v);
      }
    }
    for (unsigned int& v : face) v = joined[v];
  }
  std::vector<char> faceAlive(static_cast<size_t>(faceCount), 1);
  // Faces around each vertex, as offsets into one array per vertex.
  std::vector<std::vector<int>> around(n);
  {
    // Room for each vertex's faces at once (and a few that collapses bring), rather than
    // growing every list in steps.
    std::vector<int> degree(n, 0);
    for (unsigned int v : face) ++degree[v];
    for (size_t v = 0; v < n; ++v)
      if (degree[v]) around[v].reserve(static_cast<size_t>(degree[v]) + 4);
  }
  std::vector<Quadric> quadrics(n);
  for (int f = 0; f < faceCount; ++f) {
    const unsigned int* t = &face[3 * static_cast<size_t>(f)];
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) {
      faceAlive[static_cast<size_t>(f)] = 0;
      continue;
    }
    double nrm[3];
    Cross(&positions[3 * t[0]], &positions[3 * t[1]], &positions[3 * t[2]], nrm);
    const double length = std::sqrt(nrm[0] * nrm[0] + nrm[1] * nrm[1] + nrm[2] * nrm[2]);
    for (int k = 0; k < 3; ++k) around[t[k]].push_back(f);
    if (length <= 0.0) continue;
    for (double& c : nrm) c /= length;
    const double d = -(nrm[0] * positions[3 * t[0]] + nrm[1] * positions[3 * t[0] + 1] + nrm[2] * positions[3 * t[0] + 2]);
    for (int k = 0; k < 3; ++k) quadrics[t[k]].AddPlane(nrm, d);
  }
  // A vertex on an edge that is not shared by exactly two faces (a border, a fold of
  // three) stays where it is.
  std::vector<char> locked(n, 0);
  {
    std::vector<std::uint64_t> edges;
    edges.reserve(static_cast<size_t>(indexCount));
    for (int f = 0; f < faceCount; ++f) {
      if (!faceAlive[static_cast<size_t>(f)]) continue;
      for (int k = 0; k < 3; ++k) {
        std::uint64_t a = face[3 * static_cast<size_t>(f) + k], b = face[3 * static_cast<size_t>(f) + (k + 1) % 3];
        if (a > b) std::swap(a, b);
        edges.push_back(a << 32 | b);
      }
    }
    std::sort(edges.begin(), edges.end());
    for (size_t i = 0, j; i < edges.size(); i = j) {
      for (j = i + 1; j < edges.size() && edges[j] == edges[i];) ++j;
      if (j - i != 2) locked[edges[i] >> 32] = locked[edges[i] & 0xffffffffu] = 1;
    }
  }
  const double limit = static_cast<double>(tolerance) * tolerance;
  // Normals within about two degrees shade alike.
  constexpr double kSameNormal = 0.9994;
  std::vector<unsigned int> ring, common, candidates, shared, opposite;
  auto neighbours = [&](unsigned int v, std::vector<unsigned int>& list) {
    list.clear();
    for (int f : around[v])
      for (int k = 0; k < 3; ++k) {
        const unsigned int w = face[3 * static_cast<size_t>(f) + k];
        if (w != v && std::find(list.begin(), list.end(), w) == list.end()) list.push_back(w);
      }
  };
  // Whether u may move onto v.
  auto allowed = [&](unsigned int u, unsigned int v) {
    const float* nu = &normals[3 * static_cast<size_t>(u)];
    const float* nv = &normals[3 * static_cast<size_t>(v)];
    // Written so that a point or normal that is not finite refuses the move.
    if (!(nu[0] * nv[0] + nu[1] * nv[1] + nu[2] * nv[2] >= kSameNormal)) return false;
    Quadric joined = quadrics[u];
    joined.Add(quadrics[v]);
    if (!(joined.Error(&positions[3 * static_cast<size_t>(v)]) <= limit)) return false;
    // The neighbours both share are exactly the far corners of the faces on the edge, or
    // the surface would pinch.
    neighbours(v, common);
    shared.clear();
    opposite.clear();
    for (unsigned int w : ring)
      if (std::find(common.begin(), common.end(), w) != common.end()) shared.push_back(w);
    for (int f : around[u]) {
      const unsigned int* t = &face[3 * static_cast<size_t>(f)];
      if (t[0] != v && t[1] != v && t[2] != v) {
        // A face that stays must not turn over.
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = &positions[3 * static_cast<size_t>(t[k])];
        double before[3], after[3];
        Cross(p[0], p[1], p[2], before);
        for (int k = 0; k < 3; ++k)
          if (t[k] == u) p[k] = &positions[3 * static_cast<size_t>(v)];
        Cross(p[0], p[1], p[2], after);
        if (!(before[0] * after[0] + before[1] * after[1] + before[2] * after[2] > 0.0)) return false;
        // Where u was, the face now shades from its corners: that must still be u's normal.
        double weights[3];
        if (!Barycentric(p, &positions[3 * static_cast<size_t>(u)], weights)) continue;
        double shade[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
          const float* nk = &normals[3 * static_cast<size_t>(t[k] == u ? v : t[k])];
          for (int c = 0; c < 3; ++c) shade[c] += weights[k] * nk[c];
        }
        const double length = std::sqrt(shade[0] * shade[0] + shade[1] * shade[1] + shade[2] * shade[2]);
        if (!(length > 0.0) || !((shade[0] * nu[0] + shade[1] * nu[1] + shade[2] * nu[2]) / length >= kSameNormal))
          return false;
        continue;
      }
      for (int k = 0; k < 3; ++k)
        if (t[k] != u && t[k] != v) opposite.push_back(t[k]);
    }
    std::sort(shared.begin(), shared.end());
    std::sort(opposite.begin(), opposite.end());
    return shared == opposite;
  };
  // Passes over the vertices until none moves: enough for what is exactly redundant,
  // which no order changes much.
  // A vertex that could not move is tried again only once something around it moved.
  std::vector<char> dirty(n, 1);
  for (int pass = 0; pass < 16; ++pass) {
    bool moved = false;
    for (unsigned int u = 0; u < n; ++u) {
      if (locked[u] || !dirty[u] || around[u].empty()) continue;
      dirty[u] = 0;
      neighbours(u, ring);
      candidates = ring;
      for (unsigned int v : candidates) {
        if (!allowed(u, v)) continue;
        for (unsigned int w : candidates) dirty[w] = 1;
        for (int f : around[u]) {
          unsigned int* t = &face[3 * static_cast<size_t>(f)];
          if (t[0] == v || t[1] == v || t[2] == v) {
            faceAlive[static_cast<size_t>(f)] = 0;
            for (int k = 0; k < 3; ++k) {
              auto& list = around[t[k]];
              if (t[k] != u) list.erase(std::remove(list.begin(), list.end(), f), list.end());
            }
          } else {
            for (int k = 0; k < 3; ++k)
              if (t[k] == u) t[k] = v;
            around[v].push_back(f);
          }
        }
        around[u].clear();
        quadrics[v].Add(quadrics[u]);
        moved = true;
        break;
      }
    }
    if (!moved) break;
  }
  std::vector<unsigned int> map(n, ~0u);
  for (int f = 0; f < faceCount; ++f) {
    if (!faceAlive[static_cast<size_t>(f)]) continue;
    for (int k = 0; k < 3; ++k) {
      const unsigned int v = face[3 * static_cast<size_t>(f) + k];
      if (map[v] == ~0u) {
        map[v] = static_cast<unsigned int>(out.positions.size() / 3);
        out.positions.insert(out.positions.end(), &positions[3 * static_cast<size_t>(v)],
                             &positions[3 * static_cast<size_t>(v)] + 3);
        out.normals.insert(out.normals.end(), &normals[3 * static_cast<size_t>(v)],
                           &normals[3 * static_cast<size_t>(v)] + 3);
      }
      out.indices.push_back(map[v]);
    }
  }
  return 1;
}
