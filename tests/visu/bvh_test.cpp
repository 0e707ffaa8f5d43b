#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <random>
#include <vector>

#include "host/visu/pick/KIVSceneBVH.h"
#include "host/visu/pick/KIVTriangleBVH.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

struct Soup {
  std::vector<float> vertices;
  std::vector<int> indices;
  int VertexCount() const { return static_cast<int>(vertices.size() / 3); }
  int TriangleCount() const { return static_cast<int>(indices.size() / 3); }
};

// Random triangles of varied sizes, a few of them degenerate (repeated or collinear).
Soup RandomSoup(std::mt19937& rng, int triangles) {
  std::uniform_real_distribution<float> pos(-10.0f, 10.0f), size(0.05f, 3.0f);
  Soup s;
  for (int t = 0; t < triangles; ++t) {
    const float c[3] = {pos(rng), pos(rng), pos(rng)}, r = size(rng);
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a) s.vertices.push_back(c[a] + r * (pos(rng) / 10.0f));
    const int base = 3 * t;
    if (t % 17 == 5) s.vertices[3 * (base + 2)] = s.vertices[3 * (base + 1)],
                     s.vertices[3 * (base + 2) + 1] = s.vertices[3 * (base + 1) + 1],
                     s.vertices[3 * (base + 2) + 2] = s.vertices[3 * (base + 1) + 2];
    s.indices.insert(s.indices.end(), {base, base + 1, base + 2});
  }
  return s;
}

struct RefHit {
  double t = kInf;
  int triangle = -1;
};

// Double-precision reference against every triangle.
// `slack` widens each triangle by that much barycentric margin, so that a ray through a
// shared edge meets both neighbours despite rounding in the reference itself.
RefHit BruteForce(const Soup& s, const double o[3], const double d[3], double tMax, double slack = 0.0) {
  RefHit best;
  for (int t = 0; t < s.TriangleCount(); ++t) {
    double p[3][3];
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a) p[k][a] = s.vertices[3 * s.indices[3 * t + k] + a];
    const double e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const double e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double dn = d[0] * n[0] + d[1] * n[1] + d[2] * n[2];
    if (std::fabs(dn) < 1e-12) continue;
    const double w[3] = {p[0][0] - o[0], p[0][1] - o[1], p[0][2] - o[2]};
    const double tt = (w[0] * n[0] + w[1] * n[1] + w[2] * n[2]) / dn;
    if (tt < 0 || tt > tMax || tt >= best.t) continue;
    const double q[3] = {o[0] + tt * d[0] - p[0][0], o[1] + tt * d[1] - p[0][1], o[2] + tt * d[2] - p[0][2]};
    // Barycentrics by solving in the triangle's plane.
    const double a11 = e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2];
    const double a12 = e1[0] * e2[0] + e1[1] * e2[1] + e1[2] * e2[2];
    const double a22 = e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2];
    const double b1 = q[0] * e1[0] + q[1] * e1[1] + q[2] * e1[2], b2 = q[0] * e2[0] + q[1] * e2[1] + q[2] * e2[2];
    const double det = a11 * a22 - a12 * a12;
    const double u = (b1 * a22 - b2 * a12) / det, v = (a11 * b2 - a12 * b1) / det;
    if (u < -slack || v < -slack || u + v > 1 + slack) continue;
    best = {tt, t};
  }
  return best;
}

// Hits near an edge may flip between neighbours under rounding: only a clear mismatch fails.
void ExpectSameHit(int got, float t, int triangle, const RefHit& ref) {
  if (ref.triangle < 0) {
    EXPECT_EQ(got, 0);
    return;
  }
  ASSERT_EQ(got, 1) << "missed triangle " << ref.triangle << " at t " << ref.t;
  EXPECT_NEAR(t, ref.t, 1e-3 * (1.0 + ref.t));
  if (std::fabs(t - ref.t) > 1e-5 * (1.0 + ref.t)) {
    EXPECT_EQ(triangle, ref.triangle);
  }
}

KIV4x4Matrix RandomPlacement(std::mt19937& rng) {
  std::uniform_real_distribution<float> u(-1.0f, 1.0f), s(0.3f, 3.0f);
  KIVMathVectorf a(u(rng), u(rng), u(rng)), b(u(rng), u(rng), u(rng));
  a.Normalize();
  KIVMathVectorf c = a ^ b;
  c.Normalize();
  b = c ^ a;
  // A rotation, then a non-uniform scale along the rotated axes.
  return KIV4x4Matrix(a * s(rng), b * s(rng), c * s(rng), KIVMathPointf(u(rng) * 30, u(rng) * 30, u(rng) * 30));
}

// A closed mesh: an octahedron subdivided `levels` times onto a sphere, every edge shared
// by exactly two triangles through shared vertex indices, then placed by the matrix.
Soup ClosedSphere(int levels, const KIV4x4Matrix& placement) {
  Soup s;
  s.vertices = {1, 0, 0, -1, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 1, 0, 0, -1};
  s.indices = {0, 2, 4, 2, 1, 4, 1, 3, 4, 3, 0, 4, 2, 0, 5, 1, 2, 5, 3, 1, 5, 0, 3, 5};
  for (int level = 0; level < levels; ++level) {
    std::vector<int> next;
    std::map<std::pair<int, int>, int> middles;
    auto middle = [&](int a, int b) {
      const auto key = std::minmax(a, b);
      auto it = middles.find(key);
      if (it != middles.end()) return it->second;
      double m[3], n = 0;
      for (int k = 0; k < 3; ++k) m[k] = 0.5 * (s.vertices[3 * a + k] + s.vertices[3 * b + k]), n += m[k] * m[k];
      for (int k = 0; k < 3; ++k) s.vertices.push_back(static_cast<float>(m[k] / std::sqrt(n)));
      return middles[key] = s.VertexCount() - 1;
    };
    for (int t = 0; t < s.TriangleCount(); ++t) {
      const int a = s.indices[3 * t], b = s.indices[3 * t + 1], c = s.indices[3 * t + 2];
      const int ab = middle(a, b), bc = middle(b, c), ca = middle(c, a);
      next.insert(next.end(), {a, ab, ca, ab, b, bc, ca, bc, c, ab, bc, ca});
    }
    s.indices = next;
  }
  for (int v = 0; v < s.VertexCount(); ++v) {
    const KIVMathPointf p = placement.TransformPoint(KIVMathPointf(&s.vertices[3 * v]));
    s.vertices[3 * v] = p.x, s.vertices[3 * v + 1] = p.y, s.vertices[3 * v + 2] = p.z;
  }
  return s;
}

}  // namespace

TEST(TriangleBVH, MatchesBruteForceOnRandomSoups) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  for (int triangles : {1, 3, 50, 2000}) {
    const Soup soup = RandomSoup(rng, triangles);
    KIVTriangleBVH bvh;
    ASSERT_TRUE(bvh.Build(soup.vertices.data(), soup.VertexCount(), soup.indices.data(), soup.TriangleCount()));
    EXPECT_LE(bvh.GetTriangleCount(), triangles);
    for (int r = 0; r < 400; ++r) {
      // Half the rays start inside the cloud, half outside aimed at it.
      const KIVMathPointf o = r % 2 ? KIVMathPointf(u(rng) * 8, u(rng) * 8, u(rng) * 8)
                                    : KIVMathPointf(u(rng) * 40, u(rng) * 40, 30.0f);
      KIVMathVectorf d = r % 2 ? KIVMathVectorf(u(rng), u(rng), u(rng))
                               : KIVMathPointf(u(rng) * 6, u(rng) * 6, u(rng) * 6) - o;
      if (r % 3 == 0) d.Normalize();
      const float tMax = r % 5 == 0 ? 0.5f : kInf;
      const double od[3] = {o.x, o.y, o.z}, dd[3] = {d.x, d.y, d.z};
      const RefHit ref = BruteForce(soup, od, dd, tMax);
      KIVTriangleBVH::Hit hit;
      const int got = bvh.Intersect(o, d, tMax, hit);
      ExpectSameHit(got, hit.t, hit.triangle, ref);
      if (got) {
        // The barycentrics name the hit point.
        const int* tri = &soup.indices[3 * hit.triangle];
        const KIVMathPointf p0(&soup.vertices[3 * tri[0]]), p1(&soup.vertices[3 * tri[1]]),
            p2(&soup.vertices[3 * tri[2]]);
        const KIVMathPointf q = p0 + (p1 - p0) * hit.u + (p2 - p0) * hit.v, expected = o + d * hit.t;
        EXPECT_LT(q.DistanceTo(expected), 1e-3f * (1.0f + expected.AsVector().Norm()));
      }
      if (ref.triangle < 0 || std::fabs(ref.t - tMax) > 1e-3) {
        EXPECT_EQ(bvh.Occluded(o, d, tMax), got);
      }
    }
  }
}

TEST(TriangleBVH, BothFacesHitDegeneratesDroppedAndBadInputEmpty) {
  // A unit triangle in z = 0, a collinear one, and one with a NaN vertex.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 0, 3, 0, 0, nan, 0, 0};
  const int idx[] = {0, 1, 2, 0, 1, 3, 0, 1, 5, 4, 3, 1};
  KIVTriangleBVH bvh;
  ASSERT_TRUE(bvh.Build(v, 6, idx, 4));
  EXPECT_EQ(bvh.GetTriangleCount(), 1);
  KIVTriangleBVH::Hit hit;
  ASSERT_TRUE(bvh.Intersect({0.2f, 0.2f, 5}, {0, 0, -1}, kInf, hit));
  EXPECT_EQ(hit.triangle, 0);
  EXPECT_FLOAT_EQ(hit.t, 5.0f);
  EXPECT_TRUE(bvh.Intersect({0.2f, 0.2f, -5}, {0, 0, 2}, kInf, hit));  // back face
  EXPECT_FLOAT_EQ(hit.t, 2.5f);
  EXPECT_FALSE(bvh.Intersect({0.2f, 0.2f, -5}, {0, 0, 1}, 4.9f, hit));
  EXPECT_FALSE(bvh.Intersect({0.2f, 0.2f, 5}, {0, 0, 1}, kInf, hit));  // behind the origin

  const int outOfRange[] = {0, 1, 6};
  const int negative[] = {0, -1, 2};
  for (int k = 0; k < 6; ++k) {
    KIVTriangleBVH bad;
    bad.Build(v, 6, idx, 1);
    const int built = k == 0   ? bad.Build(nullptr, 6, idx, 1)
                      : k == 1 ? bad.Build(v, 6, nullptr, 1)
                      : k == 2 ? bad.Build(v, -1, idx, 1)
                      : k == 3 ? bad.Build(v, 6, idx, -2)
                      : k == 4 ? bad.Build(v, 6, outOfRange, 1)
                               : bad.Build(v, 6, negative, 1);
    EXPECT_FALSE(built) << k;
    EXPECT_FALSE(bad.IsBuilt()) << k;
    EXPECT_FALSE(bad.Intersect({0.2f, 0.2f, 5}, {0, 0, -1}, kInf, hit)) << k;
  }
  KIVTriangleBVH none;
  EXPECT_TRUE(none.Build(v, 6, idx, 0));
  EXPECT_FALSE(none.Intersect({0.2f, 0.2f, 5}, {0, 0, -1}, kInf, hit));
}

TEST(TriangleBVH, PathologicalLayoutsStayCorrect) {
  // Identical triangles (no centroid spread) and triangles spaced geometrically, which
  // drive the SAH into one-sided splits and a deep tree.
  Soup s;
  for (int k = 0; k < 300; ++k) {
    const float x = k < 100 ? 0.0f : std::pow(1.3f, static_cast<float>(k - 100)) * 1e-6f;
    const int b = s.VertexCount();
    s.vertices.insert(s.vertices.end(), {x, -1, -1, x, 1, -1, x, 0, 1});
    s.indices.insert(s.indices.end(), {b, b + 1, b + 2});
  }
  KIVTriangleBVH bvh;
  ASSERT_TRUE(bvh.Build(s.vertices.data(), s.VertexCount(), s.indices.data(), s.TriangleCount()));
  for (int k : {150, 220, 299}) {
    // From halfway between the previous triangle and this one, towards +x.
    const double o[3] = {0.5 * (s.vertices[9 * (k - 1)] + s.vertices[9 * k]), 0.0, 0.0}, d[3] = {1, 0, 0};
    const RefHit ref = BruteForce(s, o, d, kInf);
    ASSERT_EQ(ref.triangle, k);
    KIVTriangleBVH::Hit hit;
    const int got = bvh.Intersect({static_cast<float>(o[0]), 0, 0}, {1, 0, 0}, kInf, hit);
    ExpectSameHit(got, hit.t, hit.triangle, ref);
  }
}

TEST(TriangleBVH, RaysThroughSharedEdgesAndVerticesNeverLeak) {
  // Rays from inside closed meshes through points on their edges and through their
  // vertices, and rays from outside through the same points towards the inside: each must
  // hit, at the depth that a double-precision reference finds for the nearest triangle.
  std::mt19937 rng(21);
  std::uniform_real_distribution<float> along(0.0f, 1.0f), jitter(-0.3f, 0.3f);
  int rays = 0;
  for (int mesh = 0; mesh < 4; ++mesh) {
    const KIV4x4Matrix placement = RandomPlacement(rng);
    const Soup s = ClosedSphere(3, placement);
    KIVTriangleBVH bvh;
    ASSERT_TRUE(bvh.Build(s.vertices.data(), s.VertexCount(), s.indices.data(), s.TriangleCount()));
    ASSERT_EQ(bvh.GetTriangleCount(), s.TriangleCount());
    // Inside points near the centre, not only the centre itself.
    const KIVMathPointf centre = placement.TransformPoint(KIVMathPointf(jitter(rng), jitter(rng), jitter(rng)));
    std::vector<KIVMathPointf> targets;
    for (int t = 0; t < s.TriangleCount(); ++t)
      for (int e = 0; e < 3; ++e) {
        const KIVMathPointf a(&s.vertices[3 * s.indices[3 * t + e]]);
        const KIVMathPointf b(&s.vertices[3 * s.indices[3 * t + (e + 1) % 3]]);
        targets.push_back(a + (b - a) * along(rng));
        if (e == t % 3) targets.push_back(a);
      }
    for (const KIVMathPointf& p : targets) {
      for (int outside = 0; outside < 2; ++outside) {
        const KIVMathPointf o = outside ? centre + (p - centre) * 3.0f : centre;
        const KIVMathVectorf d = outside ? centre - o : p - centre;
        const double od[3] = {o.x, o.y, o.z}, dd[3] = {d.x, d.y, d.z};
        const RefHit ref = BruteForce(s, od, dd, kInf, 1e-6);
        ASSERT_GE(ref.triangle, 0);
        KIVTriangleBVH::Hit hit;
        ASSERT_TRUE(bvh.Intersect(o, d, kInf, hit)) << "leaked through " << p.x << " " << p.y << " " << p.z;
        EXPECT_NEAR(hit.t, ref.t, 1e-4 * (1.0 + ref.t));
        // No false hit: the triangle named lies at that depth along the ray.
        const double alone = BruteForce(Soup{s.vertices, {s.indices.begin() + 3 * hit.triangle,
                                                          s.indices.begin() + 3 * hit.triangle + 3}},
                                        od, dd, kInf, 1e-4).t;
        EXPECT_NEAR(alone, ref.t, 1e-4 * (1.0 + ref.t));
        EXPECT_TRUE(bvh.Occluded(o, d, kInf));
        ++rays;
      }
    }
  }
  EXPECT_GT(rays, 15000);
}

TEST(TriangleBVH, UnusableRaysHitNothing) {
  const float v[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  const int idx[] = {0, 1, 2};
  KIVTriangleBVH bvh;
  ASSERT_TRUE(bvh.Build(v, 3, idx, 1));
  KIVSceneBVH scene;
  scene.SetGeometryBuilder([&](int, KIVTriangleBVH& b) { b.Build(v, 3, idx, 1); });
  scene.AddInstance(0, {-1, -1, 0}, {1, 1, 0}, KIV4x4Matrix());
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const KIVRay bad[] = {KIVRay({0, 0, 5}, {0, 0, 0}),   KIVRay({0, 0, 5}, {nan, 0, -1}),
                        KIVRay({nan, 0, 5}, {0, 0, -1}), KIVRay({0, 0, kInf}, {0, 0, -1}),
                        KIVRay({0, 0, 5}, {0, 0, -kInf}), KIVRay({0, 0, 5}, {0, 0, -1}, nan)};
  for (const KIVRay& r : bad) {
    KIVTriangleBVH::Hit h;
    EXPECT_FALSE(bvh.Intersect(r.origin, r.direction, r.tMax, h));
    EXPECT_FALSE(bvh.Occluded(r.origin, r.direction, r.tMax));
    KIVSceneBVH::Hit sh;
    EXPECT_FALSE(scene.Intersect(r, sh));
  }
  // A usable ray hits, even one lying in a box face (a 0 x infinity slab) through an edge.
  KIVSceneBVH::Hit sh;
  EXPECT_TRUE(scene.Intersect(KIVRay({0, 0, 5}, {0, 0, -1}), sh));
  ASSERT_TRUE(scene.Intersect(KIVRay({0, -1, 5}, {0, 0, -1}), sh));
  EXPECT_FLOAT_EQ(sh.t, 5.0f);
  KIVTriangleBVH::Hit h;
  ASSERT_TRUE(bvh.Intersect({0, -1, 5}, {0, 0, -1}, kInf, h));
  EXPECT_FLOAT_EQ(h.t, 5.0f);
}

namespace {

struct SceneFixture {
  std::vector<Soup> geometries;
  std::vector<KIV4x4Matrix> matrices;
  std::vector<int> geometryOf;
  std::vector<bool> visible;

  void Populate(KIVSceneBVH& scene) const {
    scene.SetGeometryBuilder([this](int g, KIVTriangleBVH& bvh) {
      const Soup& s = geometries[g];
      bvh.Build(s.vertices.data(), s.VertexCount(), s.indices.data(), s.TriangleCount());
    });
    for (size_t i = 0; i < matrices.size(); ++i) {
      const int id = scene.AddInstance(geometryOf[i], {-13, -13, -13}, {13, 13, 13}, matrices[i]);
      ASSERT_EQ(id, static_cast<int>(i));
      scene.SetVisible(id, visible[i]);
    }
  }
  // Each visible instance tested in its frame, in double.
  KIVSceneBVH::Hit BruteForce(const KIVRay& ray) const {
    KIVSceneBVH::Hit best;
    best.t = kInf;
    for (size_t i = 0; i < matrices.size(); ++i) {
      if (!visible[i]) continue;
      const KIV4x4Matrix inv = matrices[i].Inverse();
      const KIVMathPointf lo = inv.TransformPoint(ray.origin);
      const KIVMathVectorf ld = inv.TransformVector(ray.direction);
      const double o[3] = {lo.x, lo.y, lo.z}, d[3] = {ld.x, ld.y, ld.z};
      const RefHit h = ::BruteForce(geometries[geometryOf[i]], o, d, best.t);
      if (h.triangle < 0) continue;
      best.t = static_cast<float>(h.t);
      best.triangle = h.triangle;
      best.instance = static_cast<int>(i);
    }
    return best;
  }
};

SceneFixture RandomScene(std::mt19937& rng, int instances) {
  SceneFixture f;
  for (int g = 0; g < 4; ++g) f.geometries.push_back(RandomSoup(rng, 60 + 40 * g));
  for (int i = 0; i < instances; ++i) {
    f.matrices.push_back(RandomPlacement(rng));
    f.geometryOf.push_back(i % 4);
    f.visible.push_back(i % 7 != 3);
  }
  return f;
}

void ExpectSameSceneHit(KIVSceneBVH& scene, const SceneFixture& f, const KIVRay& ray) {
  KIVSceneBVH::Hit hit;
  const int got = scene.Intersect(ray, hit);
  const KIVSceneBVH::Hit ref = f.BruteForce(ray);
  if (ref.instance < 0) {
    EXPECT_EQ(got, 0);
    return;
  }
  ASSERT_EQ(got, 1);
  EXPECT_NEAR(hit.t, ref.t, 2e-3 * (1.0 + ref.t));
  if (std::fabs(hit.t - ref.t) > 1e-4 * (1.0 + ref.t)) {
    EXPECT_EQ(hit.instance, ref.instance);
    EXPECT_EQ(hit.triangle, ref.triangle);
  }
  EXPECT_TRUE(f.visible[hit.instance]);
  // The world point is the local hit carried by the placement.
  const Soup& s = f.geometries[f.geometryOf[hit.instance]];
  const int* tri = &s.indices[3 * hit.triangle];
  const KIVMathPointf p0(&s.vertices[3 * tri[0]]), p1(&s.vertices[3 * tri[1]]), p2(&s.vertices[3 * tri[2]]);
  const KIVMathPointf local = p0 + (p1 - p0) * hit.u + (p2 - p0) * hit.v;
  EXPECT_LT(f.matrices[hit.instance].TransformPoint(local).DistanceTo(hit.point), 2e-3f * (1.0f + hit.t));
}

std::vector<KIVRay> RandomRays(std::mt19937& rng, int count) {
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<KIVRay> rays;
  for (int r = 0; r < count; ++r) {
    const KIVMathPointf o(u(rng) * 60, u(rng) * 60, 70.0f);
    rays.emplace_back(o, KIVMathPointf(u(rng) * 30, u(rng) * 30, u(rng) * 30) - o);
  }
  return rays;
}

}  // namespace

TEST(SceneBVH, PlacedScaledAndHiddenInstancesMatchBruteForce) {
  std::mt19937 rng(5);
  const SceneFixture f = RandomScene(rng, 40);
  KIVSceneBVH scene;
  f.Populate(scene);
  for (const KIVRay& ray : RandomRays(rng, 300)) ExpectSameSceneHit(scene, f, ray);
}

TEST(SceneBVH, RefitAfterMovesAnswersLikeARebuild) {
  std::mt19937 rng(9);
  SceneFixture f = RandomScene(rng, 40);
  KIVSceneBVH scene;
  f.Populate(scene);
  const std::vector<KIVRay> rays = RandomRays(rng, 200);
  KIVSceneBVH::Hit hit;
  for (const KIVRay& ray : rays) scene.Intersect(ray, hit);  // tree built, geometries built
  for (int round = 0; round < 3; ++round) {
    for (int i = round; i < 40; i += 5) {
      f.matrices[i] = RandomPlacement(rng);
      ASSERT_TRUE(scene.SetMatrix(i, f.matrices[i]));
    }
    KIVSceneBVH fresh;
    f.Populate(fresh);
    for (const KIVRay& ray : rays) {
      KIVSceneBVH::Hit a, b;
      const int ga = scene.Intersect(ray, a), gb = fresh.Intersect(ray, b);
      ASSERT_EQ(ga, gb);
      if (ga) {
        EXPECT_EQ(a.instance, b.instance);
        EXPECT_FLOAT_EQ(a.t, b.t);
      }
      ExpectSameSceneHit(scene, f, ray);
    }
  }
  // Moved far away, an instance is found there and no longer where it was.
  const KIVMathPointf target(1000, 0, 0);
  f.matrices[0] = KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, target);
  scene.SetMatrix(0, f.matrices[0]);
  f.visible[0] = true;
  scene.SetVisible(0, 1);
  ExpectSameSceneHit(scene, f, KIVRay({1000, 0, 100}, {0.01f, 0.02f, -1}));
}

TEST(SceneBVH, BuildsOnlyReachedGeometriesAndOnce) {
  // A row of unit triangles, one geometry each, along x.
  const float v[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  const int idx[] = {0, 1, 2};
  int calls = 0;
  KIVSceneBVH scene;
  scene.SetGeometryBuilder([&](int g, KIVTriangleBVH& bvh) {
    ++calls;
    if (g != 7) bvh.Build(v, 3, idx, 1);  // geometry 7 fails to build
  });
  for (int i = 0; i < 50; ++i)
    scene.AddInstance(i, {-1, -1, 0}, {1, 1, 0}, KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {10.0f * i, 0, 0}));
  KIVSceneBVH::Hit hit;
  ASSERT_TRUE(scene.Intersect(KIVRay({30, 0, 5}, {0, 0, -1}), hit));
  EXPECT_EQ(hit.instance, 3);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(scene.IsGeometryBuilt(3));
  EXPECT_FALSE(scene.IsGeometryBuilt(4));
  scene.Intersect(KIVRay({30, 0.5f, 5}, {0, 0, -1}), hit);
  EXPECT_FALSE(scene.Intersect(KIVRay({70, 0, 5}, {0, 0, -1}), hit));
  EXPECT_FALSE(scene.Intersect(KIVRay({70, 0, 5}, {0, 0, -1}), hit));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(scene.GetBuiltGeometryCount(), 1);
  scene.InvalidateGeometry(3);
  EXPECT_TRUE(scene.Intersect(KIVRay({30, 0, 5}, {0, 0, -1}), hit));
  EXPECT_EQ(calls, 3);
}

TEST(SceneBVH, AddRemoveHideAndBadIds) {
  const float v[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  const int idx[] = {0, 1, 2};
  KIVSceneBVH scene;
  scene.SetGeometryBuilder([&](int, KIVTriangleBVH& bvh) { bvh.Build(v, 3, idx, 1); });
  const KIV4x4Matrix up({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 2});
  const int low = scene.AddInstance(0, {-1, -1, 0}, {1, 1, 0}, KIV4x4Matrix());
  const int high = scene.AddInstance(1, {-1, -1, 0}, {1, 1, 0}, up);
  EXPECT_EQ(scene.AddInstance(-1, {-1, -1, 0}, {1, 1, 0}, up), -1);
  EXPECT_EQ(scene.AddInstance(0, {1, 1, 0}, {-1, -1, 0}, up), -1);
  const KIVRay down({0, 0, 10}, {0, 0, -1});
  KIVSceneBVH::Hit hit;
  ASSERT_TRUE(scene.Intersect(down, hit));
  EXPECT_EQ(hit.instance, high);
  EXPECT_FLOAT_EQ(hit.point.z, 2.0f);
  scene.SetVisible(high, 0);
  ASSERT_TRUE(scene.Intersect(down, hit));
  EXPECT_EQ(hit.instance, low);
  scene.SetVisible(high, 1);
  EXPECT_TRUE(scene.RemoveInstance(high));
  EXPECT_FALSE(scene.RemoveInstance(high));
  ASSERT_TRUE(scene.Intersect(down, hit));
  EXPECT_EQ(hit.instance, low);
  // A flattening matrix makes the instance unpickable, not a crash.
  EXPECT_TRUE(scene.SetMatrix(low, KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {})));
  EXPECT_FALSE(scene.Intersect(down, hit));
  EXPECT_EQ(scene.AddInstance(2, {-1, -1, 0}, {1, 1, 0}, up), high);  // slot reused
  ASSERT_TRUE(scene.Intersect(down, hit));
  EXPECT_EQ(hit.geometry, 2);
  EXPECT_FALSE(scene.SetMatrix(99, up));
  EXPECT_FALSE(scene.SetVisible(-1, 1));
  EXPECT_EQ(scene.GetMatrix(99), nullptr);
  EXPECT_EQ(scene.GetInstanceCount(), 2);
}
