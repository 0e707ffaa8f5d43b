// The FCL engine behind the interference model: distances, clashes, clearance and contact
// on boxes, spheres and wires whose answers are known, and refusals of bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "host/interfere/KIVFclInterfereEngine.h"
#include "tests/interfere/InterfereScene.h"

using namespace interfere_test;
using Model = KIVSiInInterfereModel;

namespace {

class Interfere : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_shared<KIVFclInterfereEngine>();
    Model::SetEngine(engine);
  }
  void TearDown() override { Model::SetEngine(nullptr); }
  std::shared_ptr<KIVFclInterfereEngine> engine;
  Scene scene;
};

TEST_F(Interfere, TwoBoxesAtAKnownGapGiveTheGapAndPointsOnTheFacingFaces) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(1.5f, 0.2f, 0.3f, 2.5f, 0.8f, 0.7f));
  const Answer r = Nearest({a}, {b}, Model::kMinimalDistance);
  ASSERT_EQ(r.computed, 1);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, 0.5, 1e-6);
  ASSERT_EQ(r.points.size(), 2u);
  EXPECT_NEAR(r.points[0].x, 1.0f, 1e-6);
  EXPECT_NEAR(r.points[1].x, 1.5f, 1e-6);
  EXPECT_NEAR(r.points[0].DistanceTo(r.points[1]), 0.5f, 1e-6);
  // Surfaces apart: neither a clash nor, below the gap, a clearance or a contact.
  EXPECT_EQ(Clashes({a}, {b}, Model::kClash).count, 0);
  EXPECT_EQ(Clashes({a}, {b}, Model::kContact).count, 0);
}

TEST_F(Interfere, ClearanceReportsPairsCloserThanTheValueOnly) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(1.5f, 0, 0, 2.5f, 1, 1));
  const Answer below = Clashes({a}, {b}, Model::kClearance, 0.5001);
  ASSERT_EQ(below.count, 1);
  EXPECT_EQ(below.kinds[0], Model::kClearance);
  EXPECT_EQ(below.pairs[0], std::make_pair(a, b));
  EXPECT_EQ(below.points.size(), 2u);
  EXPECT_EQ(Clashes({a}, {b}, Model::kClearance, 0.4999).count, 0);
  // A clash found by a clearance check is reported as a clash.
  KIVRepPath* c = scene.Add(Box(0.5f, 0.5f, 0.5f, 1.5f, 1.5f, 1.5f));
  const Answer crossing = Clashes({a}, {c}, Model::kClearance, 0.1);
  ASSERT_EQ(crossing.count, 1);
  EXPECT_EQ(crossing.kinds[0], Model::kClash);
}

TEST_F(Interfere, CrossingBoxesClashWithTheirCrossingSegments) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(0.5f, 0.5f, 0.5f, 1.5f, 1.5f, 1.5f));
  const Answer r = Clashes({a}, {b}, Model::kClash);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.kinds[0], Model::kClash);
  EXPECT_GT(r.lines, 0);
  ASSERT_EQ(r.points.size(), 2u);
  // The crossing lies on both surfaces: inside the overlap of the two boxes.
  for (const KIVMathPointf& p : r.points)
    for (int d = 0; d < 3; ++d) {
      EXPECT_GE(p[d], 0.5f - 1e-5f);
      EXPECT_LE(p[d], 1.0f + 1e-5f);
    }
  EXPECT_NEAR(Nearest({a}, {b}, Model::kMinimalDistance).distance, 0.0, 1e-9);
  EXPECT_EQ(Clashes({a}, {b}, Model::kContact).kinds, std::vector<int>{Model::kClash});
  // As a yes-or-no test: the same clash, one crossing.
  engine->SetClashCurves(false);
  const Answer first = Clashes({a}, {b}, Model::kClash);
  EXPECT_EQ(first.count, 1);
  EXPECT_EQ(first.lines, 1);
  engine->SetClashCurves(true);
}

TEST_F(Interfere, ASphereInsideABoxIsNoClashButHasADistance) {
  // Surfaces are what is compared: the sphere's never meets the box's.
  KIVRepPath* box = scene.Add(Box(0, 0, 0, 4, 4, 4));
  KIVRepPath* ball = scene.Add(Sphere(2, 2, 2, 1));
  EXPECT_EQ(Clashes({box}, {ball}, Model::kClash).count, 0);
  const Answer d = Nearest({box}, {ball}, Model::kMinimalDistance);
  ASSERT_EQ(d.count, 1);
  EXPECT_NEAR(d.distance, 1.0, 1e-5);
}

TEST_F(Interfere, TouchingFacesAreAContactNotAClash) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(0.25f, 0.5f, 1, 2, 2, 2));
  EXPECT_EQ(Clashes({a}, {b}, Model::kClash).count, 0);
  const Answer r = Clashes({a}, {b}, Model::kContact);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.kinds[0], Model::kContact);
  EXPECT_NEAR(Nearest({a}, {b}, Model::kMinimalDistance).distance, 0.0, 1e-7);
  // Slightly apart is no contact; a given tolerance widens it.
  KIVRepPath* c = scene.Add(Box(0, 0, 1.001f, 1, 1, 2));
  EXPECT_EQ(Clashes({a}, {c}, Model::kContact).count, 0);
  EXPECT_EQ(Clashes({a}, {c}, Model::kContact, 0.01).count, 1);
}

TEST_F(Interfere, BagMatricesPlaceInstancesAndSharedGeometryHasOneTree) {
  KIV3DCustomRep* unit = Box(0, 0, 0, 1, 1, 1);
  const KIV4x4Matrix m1 = Translation(10, 0, 0), m2 = Translation(13, 0, 0);
  KIVRepPath* a = scene.Add(unit, &m1);
  KIVRepPath* b = scene.Add(unit, &m2);
  Answer r = Nearest({a}, {b}, Model::kMinimalDistance);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, 2.0, 1e-6);
  EXPECT_NEAR(r.points[0].x, 11.0f, 1e-5);
  EXPECT_NEAR(r.points[1].x, 13.0f, 1e-5);
  EXPECT_EQ(engine->GetCachedGeometryCount(), 1);
  EXPECT_EQ(engine->GetBuiltTreeCount(), 1);

  // Moving a bag moves its instance; a rotation (90 degrees about z, then +13 in x) too.
  auto* bagB = static_cast<KIV3DBagRep*>(b->GetRep(1));
  bagB->SetMatrix(KIV4x4Matrix({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {13, 0, 0}));  // x in [12, 13]
  r = Nearest({a}, {b}, Model::kMinimalDistance);
  EXPECT_NEAR(r.distance, 1.0, 1e-6);
  // Scaled placements (lengths not kept) on either side, or both.
  const KIV4x4Matrix twice({2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {20, 0, 0});  // x in [20, 22]
  const KIV4x4Matrix thrice({3, 0, 0}, {0, 3, 0}, {0, 0, 3}, {25, 0, 0});  // x in [25, 28]
  KIVRepPath* big = scene.Add(Box(0, 0, 0, 1, 1, 1), &twice);
  KIVRepPath* bigger = scene.Add(Box(0, 0, 0, 1, 1, 1), &thrice);
  EXPECT_NEAR(Nearest({big}, {b}, Model::kMinimalDistance).distance, 7.0, 1e-5);
  EXPECT_NEAR(Nearest({b}, {big}, Model::kMinimalDistance).distance, 7.0, 1e-5);
  r = Nearest({big}, {bigger}, Model::kMinimalDistance);
  EXPECT_NEAR(r.distance, 3.0, 1e-5);
  EXPECT_NEAR(r.points[0].x, 22.0f, 1e-4);
  EXPECT_NEAR(r.points[1].x, 25.0f, 1e-4);
  const double px[3] = {1, 0, 0};
  EXPECT_NEAR(Nearest({big}, {bigger}, Model::kDirectional, 0, px).distance, 3.0, 1e-5);
  // A path that stops at the root stands for everything under it, each with its matrix.
  KIVRepPath* far = scene.Add(Box(0, 0, 0, 1, 1, 1));
  r = Nearest({far}, {scene.Path({scene.root})}, Model::kMinimalDistance);
  EXPECT_NEAR(r.distance, 9.0, 1e-6);
  EXPECT_EQ(engine->GetCachedGeometryCount(), 4);

  // A change of the geometry rebuilds its tree.
  std::vector<float> v = {0, 0, 0, 3, 0, 0, 0, 3, 0};
  const int t[3] = {0, 1, 2};
  unit->ClearGPs();
  unit->AddGP(new KIV3DFaceGP(v.data(), 9, nullptr, t, 1));
  r = Nearest({a}, {b}, Model::kMinimalDistance);
  EXPECT_LT(r.distance, 1e-6);  // the triangles reach each other now
}

TEST_F(Interfere, WiresMeasureAsSegments) {
  KIVRepPath* w1 = scene.Add(Wire({0, 0, 0, 1, 0, 0}));
  KIVRepPath* w2 = scene.Add(Wire({0.5f, -1, 2, 0.5f, 1, 2, 5, 5, 5, 6, 6, 6}));
  Answer r = Nearest({w1}, {w2}, Model::kMinimalDistance, Model::kWire);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, 2.0, 1e-6);
  EXPECT_NEAR(r.points[0].x, 0.5f, 1e-6);
  EXPECT_NEAR(r.points[1].z, 2.0f, 1e-6);
  // Against a surface, and with the surface flag: a leaf without triangles counts by its lines.
  KIVRepPath* box = scene.Add(Box(0, 0, 3, 1, 1, 4));
  EXPECT_NEAR(Nearest({w1}, {box}, Model::kMinimalDistance, Model::kSurface).distance, 3.0, 1e-6);
  EXPECT_NEAR(Nearest({w2}, {box}, Model::kMinimalDistance, Model::kWire).distance, 1.0, 1e-6);
  // A wire through a face crosses it.
  KIVRepPath* through = scene.Add(Wire({0.5f, 0.5f, 2, 0.5f, 0.5f, 5}));
  EXPECT_EQ(Clashes({through}, {box}, Model::kClash, 0.0, Model::kWire).count, 1);
}

TEST_F(Interfere, DirectionalDistanceIsTheFirstContactAlongTheDirection) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(3, 0.5f, 0.5f, 4, 2, 2));
  const double px[3] = {1, 0, 0}, nx[3] = {-2, 0, 0}, py[3] = {0, 1, 0}, diag[3] = {2, 1, 0};
  Answer r = Nearest({a}, {b}, Model::kDirectional, 0, px);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, 2.0, 1e-6);
  ASSERT_EQ(r.points.size(), 2u);
  EXPECT_NEAR(r.points[1].x - r.points[0].x, 2.0f, 1e-5);
  EXPECT_NEAR(r.points[1].x, 3.0f, 1e-5);
  // Away from b, or beside it: no contact, a negative distance.
  r = Nearest({a}, {b}, Model::kDirectional, 0, nx);
  ASSERT_EQ(r.count, 1);
  EXPECT_LT(r.distance, 0.0);
  EXPECT_LT(Nearest({a}, {b}, Model::kDirectional, 0, py).distance, 0.0);
  // Obliquely, (2, 1, 0) normalised: a's face x = 1 reaches x = 3 after sqrt(5), a being
  // then 1 higher in y, still facing b.
  r = Nearest({a}, {b}, Model::kDirectional, 0, diag);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, std::sqrt(5.0), 1e-5);
  // Reached from b towards a the same way backwards; rotated instances too.
  EXPECT_NEAR(Nearest({b}, {a}, Model::kDirectional, 0, nx).distance, 2.0, 1e-6);
  const KIV4x4Matrix turn({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, 0});
  KIVRepPath* c = scene.Add(Box(0, -4, 0, 1, -3, 1), &turn);  // x in [3, 4], y in [0, 1]
  EXPECT_NEAR(Nearest({a}, {c}, Model::kDirectional, 0, px).distance, 2.0, 1e-5);
  // Already crossing: zero.
  KIVRepPath* d = scene.Add(Box(0.5f, 0.5f, 0.5f, 2, 2, 2));
  EXPECT_NEAR(Nearest({a}, {d}, Model::kDirectional, 0, px).distance, 0.0, 1e-9);
}

// Exact reference distances, written independently of the engine.
using P3 = std::array<double, 3>;
P3 Sub(const P3& a, const P3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const P3& a, const P3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
P3 Cross(const P3& a, const P3& b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
P3 Along(const P3& a, const P3& d, double t) { return {a[0] + t * d[0], a[1] + t * d[1], a[2] + t * d[2]}; }
double Norm(const P3& a) { return std::sqrt(Dot(a, a)); }
double PointSegment(const P3& p, const P3& a, const P3& b) {
  const P3 d = Sub(b, a);
  const double l = Dot(d, d);
  const double t = l > 0 ? std::clamp(Dot(Sub(p, a), d) / l, 0.0, 1.0) : 0.0;
  return Norm(Sub(p, Along(a, d, t)));
}
double PointTriangle(const P3& p, const P3* t) {
  double best = std::min({PointSegment(p, t[0], t[1]), PointSegment(p, t[1], t[2]), PointSegment(p, t[2], t[0])});
  const P3 n = Cross(Sub(t[1], t[0]), Sub(t[2], t[0]));
  const double nn = Dot(n, n);
  if (nn > 1e-20) {
    const double h = Dot(Sub(p, t[0]), n) / nn;
    const P3 q = Along(p, n, -h);
    bool inside = true;
    for (int k = 0; k < 3; ++k) inside = inside && Dot(Cross(Sub(t[(k + 1) % 3], t[k]), Sub(q, t[k])), n) >= 0;
    if (inside) best = std::min(best, std::abs(h) * std::sqrt(nn));
  }
  return best;
}
double SegmentSegment(const P3& a, const P3& b, const P3& c, const P3& d) {
  double best = std::min({PointSegment(a, c, d), PointSegment(b, c, d), PointSegment(c, a, b), PointSegment(d, a, b)});
  const P3 u = Sub(b, a), v = Sub(d, c), w = Sub(a, c);
  const double A = Dot(u, u), B = Dot(u, v), C = Dot(v, v), D = Dot(u, w), E = Dot(v, w), den = A * C - B * B;
  if (den > 1e-14 * A * C) {
    const double s = (B * E - C * D) / den, t = (A * E - B * D) / den;
    if (s > 0 && s < 1 && t > 0 && t < 1) best = std::min(best, Norm(Sub(Along(a, u, s), Along(c, v, t))));
  }
  return best;
}
// Apart triangles: the nearest of vertex–triangle and edge–edge distances.
double TriangleTriangle(const P3* p, const P3* q) {
  double best = 1e300;
  for (int k = 0; k < 3; ++k) best = std::min({best, PointTriangle(p[k], q), PointTriangle(q[k], p)});
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) best = std::min(best, SegmentSegment(p[i], p[(i + 1) % 3], q[j], q[(j + 1) % 3]));
  return best;
}

TEST_F(Interfere, MinimalDistanceMatchesABruteForceOverTrianglePairs) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  auto randomMesh = [&](float ox, std::vector<P3>& tris) {
    std::vector<float> v;
    std::vector<int> t;
    for (int k = 0; k < 60; ++k) v.insert(v.end(), {ox + u(rng), u(rng), u(rng)});
    for (int k = 0; k < 40; ++k)
      for (int c = 0; c < 3; ++c) t.push_back(static_cast<int>(rng() % 60));
    for (int i : t) tris.push_back({v[3 * i], v[3 * i + 1], v[3 * i + 2]});
    auto* rep = new KIV3DCustomRep;
    rep->AddGP(new KIV3DFaceGP(v.data(), 180, nullptr, t.data(), 40));
    return rep;
  };
  for (int trial = 0; trial < 6; ++trial) {
    Scene s;
    std::vector<P3> ta, tb;
    // Apart along x (so that no triangles cross), placed by a matrix on one side.
    KIVRepPath* a = s.Add(randomMesh(0.0f, ta));
    const float shift = 0.05f + 0.1f * trial;
    const KIV4x4Matrix m = Translation(shift, 0.3f, -0.2f);
    KIVRepPath* b = s.Add(randomMesh(2.0f, tb), &m);
    for (P3& p : tb) p = {p[0] + shift, p[1] + 0.3, p[2] - 0.2};
    double reference = 1e300;
    for (size_t i = 0; i < ta.size(); i += 3)
      for (size_t j = 0; j < tb.size(); j += 3) reference = std::min(reference, TriangleTriangle(&ta[i], &tb[j]));
    const Answer r = Nearest({a}, {b}, Model::kMinimalDistance);
    ASSERT_EQ(r.count, 1);
    EXPECT_NEAR(r.distance, reference, 1e-5 * reference) << "trial " << trial;
    EXPECT_NEAR(r.points[0].DistanceTo(r.points[1]), r.distance, 1e-5);
  }
}

TEST_F(Interfere, BadInputGivesAClearAnswerAndNoCrash) {
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* empty = scene.Add(new KIV3DCustomRep);
  // A path with no geometry, an empty path, the same object on both sides: no result.
  Answer r = Nearest({a}, {empty}, Model::kMinimalDistance);
  EXPECT_EQ(r.computed, 1);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.distance, 1234.5);
  KIVRepPath* none = scene.Path({});
  EXPECT_EQ(Nearest({a}, {none}, Model::kMinimalDistance).count, 0);
  EXPECT_EQ(Nearest({a}, {a}, Model::kMinimalDistance).count, 0);
  KIVRepPath* again = scene.Path(std::vector<KIVRep*>(a->GetReps().begin(), a->GetReps().end()));
  EXPECT_EQ(Clashes({a}, {again}, Model::kClash).count, 0);

  // A degenerate triangle and one with a NaN coordinate are skipped, the rest measured.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float v[18] = {0, 0, 5, 1, 0, 5, 2, 0, 5, 0, 0, 3, 1, 0, 3, 0, nan, 3};
  const int t[6] = {0, 1, 2, 3, 4, 5};
  KIVRepPath* odd = scene.Add([&] {
    auto* rep = new KIV3DCustomRep;
    rep->AddGP(new KIV3DFaceGP(v, 18, nullptr, t, 2));
    return rep;
  }());
  r = Nearest({a}, {odd}, Model::kMinimalDistance);
  ASSERT_EQ(r.count, 1);
  EXPECT_NEAR(r.distance, 4.0, 1e-6);  // the segment-like triangle at z = 5
  EXPECT_EQ(Clashes({a}, {odd}, Model::kClash).count, 0);
  // A NaN matrix leaves its instance out.
  const float bad[16] = {nan, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const KIV4x4Matrix badMatrix(bad);
  KIVRepPath* lost = scene.Add(Box(0, 0, 0, 1, 1, 1), &badMatrix);
  EXPECT_EQ(Nearest({a}, {lost}, Model::kMinimalDistance).count, 0);

  // Refused queries.
  Model model;
  KIVRepPath* list[1] = {a};
  KIVRepPath* nulls[1] = {nullptr};
  EXPECT_EQ(model.AddSpec(nullptr, 1, list, 1, 0, Model::kClash, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 0, list, 1, 0, Model::kClash, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, nulls, 1, 0, Model::kClash, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 0, 5, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 1, Model::kClash, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 0, Model::kClearance, std::nan("")), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, Model::kDirectional, std::nan(""), 0, 0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, Model::kDirectional, 0, 0, 0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, Model::kMinimalDistance, 1, 0, 0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 0, Model::kDirectional, 0.0), -1);
  EXPECT_EQ(model.Compute(), 1);
}

TEST_F(Interfere, SelfClashOfASelectionReportsEachCrossingCoupleOnce) {
  // A row of boxes overlapping their neighbours (staggered, so that their faces cross
  // rather than lie flush), plus one apart: n - 1 couples.
  std::vector<KIVRepPath*> a, b;
  for (int i = 0; i < 6; ++i) {
    const float o = 0.1f * (i % 2);
    KIVRepPath* p = scene.Add(Box(1.5f * i, o, o, 1.5f * i + 2, 1 + o, 1 + o));
    a.push_back(p);
    b.push_back(scene.Path(std::vector<KIVRep*>(p->GetReps().begin(), p->GetReps().end())));
  }
  a.push_back(scene.Add(Box(50, 50, 50, 51, 51, 51)));
  b.push_back(a.back());
  const Answer r = Clashes(a, b, Model::kClash);
  ASSERT_EQ(r.count, 5);
  for (const auto& [pa, pb] : r.pairs) EXPECT_NE(pa->GetLeafRep(), pb->GetLeafRep());
}

TEST(InterfereInstall, InstallPutsTheEngineInTheModel) {
  KIVFclInterfereEngine::Install();
  EXPECT_NE(dynamic_cast<KIVFclInterfereEngine*>(KIVSiInInterfereModel::GetEngine().get()), nullptr);
  KIVSiInInterfereModel::SetEngine(nullptr);
}

}  // namespace
