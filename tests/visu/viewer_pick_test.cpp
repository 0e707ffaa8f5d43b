#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/view/KIVRender.h"

namespace {

KIV4x4Matrix RandomPlacement(std::mt19937& rng) {
  std::uniform_real_distribution<float> pos(-8.0f, 8.0f), ang(-3.0f, 3.0f);
  const KIV4x4Matrix rotation = KIVMathTransformation(KIVMathVectorf(ang(rng), ang(rng), ang(rng))).GetMatrix();
  return rotation * KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                 KIVMathPointf(pos(rng), pos(rng), pos(rng)));
}

KIV3DCustomRep* RandomLeaf(std::mt19937& rng, int triangles) {
  std::uniform_real_distribution<float> c(-1.5f, 1.5f), e(-0.7f, 0.7f);
  std::vector<float> v;
  std::vector<int> idx;
  for (int t = 0; t < triangles; ++t) {
    const float cx = c(rng), cy = c(rng), cz = c(rng);
    for (int k = 0; k < 3; ++k) {
      v.insert(v.end(), {cx + e(rng), cy + e(rng), cz + e(rng)});
      idx.push_back(3 * t + k);
    }
  }
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(new KIV3DFaceGP(v.data(), static_cast<int>(v.size()), nullptr, idx.data(), triangles));
  return leaf;
}

// Nearest hit by testing every triangle of every shown, pickable occurrence, in double.
struct Reference {
  double t = -1.0;
  const KIVRep* leaf = nullptr;
};

bool Blocked(const KIVRep* r) {
  const auto& a = r->GetGraphicAttributeSet();
  return a.GetFlag(KIVGraphicAttributeSet::Hidden) || a.GetFlag(KIVGraphicAttributeSet::NotPickable);
}

void BruteForce(const KIVRep* rep, const KIV4x4Matrix& m, const KIVRay& ray, Reference& best) {
  if (Blocked(rep)) return;
  if (auto* bag = dynamic_cast<const KIV3DBagRep*>(rep)) {
    const KIV4x4Matrix inner = bag->GetMatrix() ? *bag->GetMatrix() * m : m;
    for (const KIVRep* c : bag->GetChildren()) BruteForce(c, inner, ray, best);
    return;
  }
  auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep);
  if (!leaf) return;
  std::vector<float> v;
  std::vector<int> idx;
  leaf->GetPickTriangles(v, idx);
  for (size_t t = 0; t + 2 < idx.size(); t += 3) {
    KIVMathPointf p[3];
    for (int k = 0; k < 3; ++k) p[k] = m.TransformPoint(KIVMathPointf(&v[3 * idx[t + k]]));
    const double o[3] = {ray.origin.x, ray.origin.y, ray.origin.z}, d[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    const double e1[3] = {p[1].x - double(p[0].x), p[1].y - double(p[0].y), p[1].z - double(p[0].z)};
    const double e2[3] = {p[2].x - double(p[0].x), p[2].y - double(p[0].y), p[2].z - double(p[0].z)};
    const double q[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
    const double det = e1[0] * q[0] + e1[1] * q[1] + e1[2] * q[2];
    if (std::fabs(det) < 1e-12) continue;
    const double s[3] = {o[0] - p[0].x, o[1] - p[0].y, o[2] - p[0].z};
    const double u = (s[0] * q[0] + s[1] * q[1] + s[2] * q[2]) / det;
    const double r[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
    const double w = (d[0] * r[0] + d[1] * r[1] + d[2] * r[2]) / det;
    const double tt = (e2[0] * r[0] + e2[1] * r[1] + e2[2] * r[2]) / det;
    if (u < 0 || w < 0 || u + w > 1 || tt < 0) continue;
    if (best.t < 0 || tt < best.t) best = {tt, leaf};
  }
}

struct RandomScene {
  KIV3DViewer viewer{160, 120};
  KIV3DBagRep* root = new KIV3DBagRep;
  std::vector<KIV3DBagRep*> bags;
  std::vector<KIV3DCustomRep*> leaves;
  explicit RandomScene(std::mt19937& rng, int models = 40) {
    for (int i = 0; i < models; ++i) {
      auto* bag = new KIV3DBagRep;
      bag->SetMatrix(RandomPlacement(rng));
      root->AddChild(bag);
      bags.push_back(bag);
      // Every fifth model shares the previous one's leaf (one geometry, two places).
      if (i % 5 == 4) {
        bag->AddChild(leaves.back());
      } else {
        leaves.push_back(RandomLeaf(rng, 30));
        bag->AddChild(leaves.back());
      }
    }
    viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -30, 4), KIVMathDirectionf(0, 1, -0.1f),
                                             KIVMathDirectionf(0, 0, 1));
    viewer.GetMain3DViewpoint()->AddRep(root);
  }
  ~RandomScene() {
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
  }
  // Picks every few pixels and compares with the reference; returns the hits seen.
  int Compare(int step) {
    int hits = 0;
    for (int y = 0; y < 120; y += step)
      for (int x = 0; x < 160; x += step) {
        KIVPickPathList list;
        const int n = viewer.Pick(x, y, list);
        Reference ref;
        const KIVRay ray = viewer.ComputeRay(float(x), float(y));
        BruteForce(root, KIV4x4Matrix(), ray, ref);
        EXPECT_EQ(n, ref.t >= 0 ? 1 : 0) << x << "," << y;
        if (n != 1 || ref.t < 0) continue;
        ++hits;
        EXPECT_NEAR(list[0]->GetDistance(), ref.t, 1e-3 * (1 + ref.t)) << x << "," << y;
        KIVMathPointf p;
        list[0]->GetGlobalIntersection(p);
        EXPECT_NEAR((p - ray.PointAt(float(ref.t))).Norm(), 0.0f, 1e-2f);
        EXPECT_EQ(list[0]->GetViewpoint(), viewer.GetMain3DViewpoint());
        EXPECT_EQ(list[0]->GetTopRep(), root);
      }
    return hits;
  }
};

TEST(ViewerPick, MatchesBruteForceThroughMovesHidingAndGeometryChanges) {
  std::mt19937 rng(7);
  RandomScene scene(rng);
  EXPECT_GT(scene.Compare(4), 50);
  const int layouts = scene.viewer.GetPickScene().GetLayoutCount();

  // Moving and hiding refit the hierarchy instead of laying it out again.
  for (int i = 0; i < 10; ++i) scene.bags[rng() % scene.bags.size()]->SetMatrix(RandomPlacement(rng));
  scene.bags[3]->SetShowMode(1, 0);
  scene.leaves[5]->SetGraphicAttributeSet([&] {
    KIVGraphicAttributeSet a = scene.leaves[5]->GetGraphicAttributeSet();
    a.SetFlag(KIVGraphicAttributeSet::NotPickable, true);
    return a;
  }());
  scene.Compare(4);
  EXPECT_EQ(scene.viewer.GetPickScene().GetLayoutCount(), layouts);

  // New geometry for a shared leaf, and a leaf removed from the tree.
  auto* face = static_cast<KIV3DFaceGP*>(scene.leaves[3]->GetGP(0));
  std::vector<float> moved = face->GetVertices();
  for (float& f : moved) f *= 1.5f;
  face->SetVertices(moved.data(), static_cast<int>(moved.size()));
  scene.leaves[3]->GeometryModified();
  KIVRep* removed = scene.bags[10]->GetChildren().front();
  scene.bags[10]->RemoveChild(removed);
  scene.Compare(4);
  if (removed->GetParents().empty()) delete removed;
}

TEST(ViewerPick, RectanglePickKeepsObjectsWhollyInside) {
  KIV3DViewer viewer(200, 200);
  KIV3DBagRep root;
  std::unique_ptr<KIV3DCustomRep> left(RandomLeaf(*std::make_unique<std::mt19937>(1), 40));
  std::unique_ptr<KIV3DCustomRep> right(RandomLeaf(*std::make_unique<std::mt19937>(2), 40));
  KIV3DBagRep placeLeft, placeRight;
  placeLeft.SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                   KIVMathPointf(-6, 0, 0)));
  placeRight.SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                    KIVMathPointf(6, 0, 0)));
  placeLeft.AddChild(left.get());
  placeRight.AddChild(right.get());
  root.AddChild(&placeLeft);
  root.AddChild(&placeRight);
  viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -40, 0), KIVMathDirectionf(0, 1, 0),
                                           KIVMathDirectionf(0, 0, 1));
  viewer.GetMain3DViewpoint()->AddRep(&root);
  KIVPickPathList list;
  // The left half holds the left object whole.
  EXPECT_EQ(viewer.PickNoOutside(0, 0, 99, 199, list), 1);
  EXPECT_EQ(list[0]->GetLeafRep(), left.get());
  // A rectangle cutting through both keeps neither.
  EXPECT_EQ(viewer.PickNoOutside(50, 90, 150, 110, list), 0);
  EXPECT_EQ(viewer.PickNoOutside(0, 0, 199, 199, list), 2);
  viewer.GetMain3DViewpoint()->RemoveRep(&root);
  root.RemoveChild(&placeLeft);
  root.RemoveChild(&placeRight);
  placeLeft.RemoveChild(left.get());
  placeRight.RemoveChild(right.get());
}

// Counts leaves and the level drawn.
class CountingRender : public KIVRender {
 public:
  using KIVRender::KIVRender;
  void Draw3DFace(KIV3DFaceGP& gp) override { triangles += gp.GetTriangleCount(); }
  int triangles = 0;
};

TEST(ViewerRender, CullsOutsideAndTinyObjectsAndChoosesLevels) {
  KIV3DViewpoint camera;
  camera.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  KIVSupport support(100, 100);
  support.SetCullingPrecision(0.5f);
  CountingRender render(support);
  render.SetCamera(&camera);

  std::mt19937 rng(3);
  auto* root = new KIV3DBagRep;
  KIV3DCustomRep* ahead = RandomLeaf(rng, 10);    // in view
  KIV3DCustomRep* behind = RandomLeaf(rng, 10);   // behind the eye
  KIV3DCustomRep* faraway = RandomLeaf(rng, 10);  // a speck far away
  auto *a = new KIV3DBagRep, *b = new KIV3DBagRep, *c = new KIV3DBagRep;
  auto place = [](KIV3DBagRep& bag, float y) {
    bag.SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                               KIVMathPointf(0, y, 0)));
  };
  place(*a, 20);
  place(*b, -20);
  place(*c, 1e5f);
  a->AddChild(ahead);
  b->AddChild(behind);
  c->AddChild(faraway);
  for (auto* bag : {a, b, c}) root->AddChild(bag);
  // A coarse level for the near leaf, with a sag that only a far view allows.
  auto* fine = static_cast<KIV3DFaceGP*>(ahead->GetGP(0));
  ahead->AddGP(new KIV3DFaceGP(fine->GetVertices().data(), 9, nullptr, fine->GetTriangles().data(), 1), 1);
  ahead->SetLODSag(1, 0.5f);
  render.Traverse(*root);
  EXPECT_EQ(render.GetDrawnLeafCount(), 1);
  EXPECT_EQ(render.GetCulledCount(), 2);
  EXPECT_EQ(render.triangles, 10);
  EXPECT_EQ(render.GetLastLOD(), 0);  // at 20 units a pixel is ~0.17: the 0.5 sag is too coarse

  // From 220 units a pixel is ~1.8: the one-triangle level is drawn.
  camera.SetOrigin(KIVMathPointf(0, -200, 0));
  render.SetCamera(&camera);
  render.ResetCounts();
  render.Traverse(*root);
  EXPECT_EQ(render.GetCulledCount(), 1);
  EXPECT_EQ(render.GetDrawnLeafCount(), 2);  // the one behind is now in front
  EXPECT_EQ(render.triangles, 10 + 1 + 10);
  root->Destroy();
}

TEST(ViewerModel, SizeColoursSphereAndUpdateEvents) {
  KIV3DViewer viewer(640, 480);
  int w = 0, h = 0;
  viewer.GetGraphicSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  viewer.SetGraphicSize(0, 10);
  viewer.GetGraphicSize(&w, nullptr);
  EXPECT_EQ(w, 1);
  float rgb[3];
  EXPECT_EQ(viewer.SetColor(256, 1, 1, 1), 0);
  EXPECT_EQ(viewer.SetColor(12, 0.5f, 2.0f, -1.0f), 1);
  viewer.GetColor(12, rgb);
  EXPECT_EQ(rgb[1], 1.0f);
  EXPECT_EQ(rgb[2], 0.0f);
  EXPECT_TRUE(viewer.GetGlobalBoundingSphere().IsEmpty());

  KIV3DBagRep root;
  KIV3DCustomRep leaf;
  std::vector<float> v = {0, 0, 0, 2, 0, 0, 0, 2, 0};
  const int tri[3] = {0, 1, 2};
  auto* face = new KIV3DFaceGP(v.data(), 9, nullptr, tri, 1);
  leaf.AddGP(face);
  root.AddChild(&leaf);
  viewer.GetMain3DViewpoint()->AddRep(&root);
  EXPECT_TRUE(viewer.GetGlobalBoundingSphere().IsInside(KIVMathPointf(2, 0, 0)));
  // The sphere follows new geometry once the rep is told.
  v[3] = 50;
  face->SetVertices(v.data(), 9);
  leaf.GeometryModified();
  EXPECT_TRUE(viewer.GetGlobalBoundingSphere().IsInside(KIVMathPointf(50, 0, 0)));
  // ...and a moved bag.
  root.SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                              KIVMathPointf(0, 0, 100)));
  EXPECT_TRUE(viewer.GetGlobalBoundingSphere().IsInside(KIVMathPointf(50, 0, 100)));
  EXPECT_FALSE(viewer.GetGlobalBoundingSphere().IsInside(KIVMathPointf(0, 0, 0)));

  KIVEventSubscriber listener;
  int updates = 0;
  listener.AddCallback(&viewer, KIVViewer::VIEWER_UPDATE,
                       [&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++updates; }, nullptr);
  viewer.Draw();
  viewer.Draw();
  EXPECT_EQ(updates, 2);
  float durations[3];
  viewer.GetLastUpdateDuration(durations);
  EXPECT_GE(durations[0], 0.0f);
  EXPECT_GT(durations[2], 0.0f);
  viewer.GetMain3DViewpoint()->RemoveRep(&root);
  root.RemoveChild(&leaf);
}

}  // namespace

namespace {

// A group's sphere computed the plain way: centred on the box around the shown children's
// spheres, reaching the farthest of them.
KIV3DBoundingSphere ReferenceGroupSphere(const std::vector<KIV3DCustomRep*>& leaves) {
  double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (auto* leaf : leaves) {
    if (leaf->GetShowMode()) continue;
    const KIV3DBoundingSphere& s = leaf->GetBoundingElement();
    const double c[3] = {s.GetCenter().x, s.GetCenter().y, s.GetCenter().z};
    for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], c[a] - s.GetRadius()), hi[a] = std::max(hi[a], c[a] + s.GetRadius());
  }
  if (lo[0] > hi[0]) return {};
  const KIVMathPointf c(float(0.5 * (lo[0] + hi[0])), float(0.5 * (lo[1] + hi[1])), float(0.5 * (lo[2] + hi[2])));
  double reach = 0.0;
  for (auto* leaf : leaves) {
    if (leaf->GetShowMode()) continue;
    const KIV3DBoundingSphere& s = leaf->GetBoundingElement();
    const double dx = double(s.GetCenter().x) - c.x, dy = double(s.GetCenter().y) - c.y, dz = double(s.GetCenter().z) - c.z;
    reach = std::max(reach, std::sqrt(dx * dx + dy * dy + dz * dz) + s.GetRadius());
  }
  return KIV3DBoundingSphere(c, std::nextafter(float(reach), INFINITY));
}

// A wide bag keeps partial boxes and unions; every change of a child, or of many at once,
// must still reach its sphere, which stays exactly the one a plain pass over the children
// gives.
TEST(ViewerModel, WideBagSphereFollowsEveryChildChange) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<float> pos(-50.0f, 50.0f);
  KIV3DBagRep* root = new KIV3DBagRep;
  std::vector<KIV3DCustomRep*> leaves;
  for (int i = 0; i < 300; ++i) {
    auto* leaf = new KIV3DCustomRep;
    leaf->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(pos(rng), pos(rng), pos(rng)), 1.0f));
    root->AddChild(leaf);
    leaves.push_back(leaf);
  }
  auto encloses = [&] {
    const KIV3DBoundingSphere& s = root->GetBoundingElement();
    for (auto* leaf : leaves)
      if (!leaf->GetShowMode() && !s.IsInside(leaf->GetBoundingElement())) return false;
    const KIV3DBoundingSphere expected = ReferenceGroupSphere(leaves);
    return s.GetCenter() == expected.GetCenter() && s.GetRadius() == expected.GetRadius();
  };
  EXPECT_TRUE(encloses());
  for (int round = 0; round < 200; ++round) {
    KIV3DCustomRep* leaf = leaves[rng() % leaves.size()];
    switch (round % 4) {
      case 0: leaf->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(pos(rng) * 4, pos(rng), pos(rng)), 2.0f)); break;
      case 1: leaf->SetShowMode(leaf->GetShowMode() ? 0 : 1, 0); break;
      case 2: root->RemoveChild(leaf); root->AddChild(leaf); break;
      default:  // many at once, as a whole model moved: the next single change follows it
        for (auto* other : leaves)
          if (rng() % 5 < 2) other->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(pos(rng), pos(rng) * 3, pos(rng)), 1.5f));
        break;
    }
    ASSERT_TRUE(encloses()) << "round " << round;
  }
  // Shrinking back: moving every far child home lets the sphere shrink too.
  for (auto* leaf : leaves) {
    leaf->SetShowMode(0, 0);
    leaf->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 1.0f));
  }
  EXPECT_LE(root->GetBoundingElement().GetRadius(), 1.01f);
  root->Destroy();
}

}  // namespace
