// A leaf whose geometry changes is only marked: its sphere and box are read from the
// points when next asked for, its parents are told once while it stays stale, and what
// they compute is what a tree built fresh with the final geometry gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "tests/support/TestBox.h"

namespace {

void Resize(KIV3DCustomRep* leaf, float h) {
  std::vector<float> v;
  for (int i = 0; i < 8; ++i) v.insert(v.end(), {i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
  ASSERT_EQ(dynamic_cast<KIV3DFaceGP*>(leaf->GetGP(0))->SetVertices(v.data(), 24), 1);
}

// One leaf of half size h shared by two placed bags, under a root with enough siblings for
// the root's tree of unions.
struct Tree {
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DCustomRep* leaf;
  KIV3DBagRep* bags[2] = {new KIV3DBagRep, new KIV3DBagRep};
  explicit Tree(float h) : leaf(Box(h)) {
    for (int k = 0; k < 2; ++k) {
      bags[k]->SetMatrix(KIV4x4Matrix({2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {k ? 100.0f : -100.0f, 0, 0}));
      bags[k]->AddChild(leaf);
      root->AddChild(bags[k]);
    }
    for (int k = 0; k < 40; ++k) root->AddChild(Box(KIVMathPointf(0, static_cast<float>(k), 0), 0.5f));
  }
  ~Tree() { root->Destroy(); }
};

void ExpectSameSphere(const KIV3DBoundingSphere& a, const KIV3DBoundingSphere& b) {
  EXPECT_NEAR(a.GetRadius(), b.GetRadius(), 1e-4f * b.GetRadius());
  EXPECT_LT(a.GetCenter().DistanceTo(b.GetCenter()), 1e-4f * b.GetRadius());
}

}  // namespace

TEST(BoundsMarking, StaleLeavesRefreshWhenAskedAndEveryParentSeesThem) {
  Tree tree(1.0f);
  tree.root->GetBoundingElement();  // every cache clean

  // Changed twice before anyone looks: the last geometry counts, asked box first.
  Resize(tree.leaf, 3.0f);
  Resize(tree.leaf, 5.0f);
  KIVMathPointf lo, hi;
  ASSERT_TRUE(tree.leaf->GetLocalBox(lo, hi));
  EXPECT_FLOAT_EQ(hi.x, 5.0f);
  {
    Tree fresh(5.0f);
    ExpectSameSphere(tree.root->GetBoundingElement(), fresh.root->GetBoundingElement());
    for (int k = 0; k < 2; ++k)
      ExpectSameSphere(tree.bags[k]->GetBoundingElement(), fresh.bags[k]->GetBoundingElement());
  }

  // A sphere set by hand after a change stands; the box still follows the points.
  Resize(tree.leaf, 1.0f);
  tree.leaf->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 7.0f));
  ASSERT_TRUE(tree.leaf->GetLocalBox(lo, hi));
  EXPECT_FLOAT_EQ(hi.x, 1.0f);
  EXPECT_FLOAT_EQ(tree.leaf->GetBoundingElement().GetRadius(), 7.0f);
  EXPECT_NEAR(tree.bags[1]->GetBoundingElement().GetRadius(), 14.0f, 1e-3f);

  // Changed while hidden (its parents skip it), then shown: they catch up.
  tree.leaf->SetShowMode(1, 0);
  tree.root->GetBoundingElement();
  Resize(tree.leaf, 4.0f);
  tree.root->GetBoundingElement();
  tree.leaf->SetShowMode(0, 0);
  Tree fresh(4.0f);
  ExpectSameSphere(tree.root->GetBoundingElement(), fresh.root->GetBoundingElement());
}

// Parents hear of a change only when some bound is next read: whatever happens to the
// changed leaf before then (moved to another bag, destroyed, one of many), every bound
// read afterwards is the fresh one.
TEST(BoundsMarking, ParentsHearOfChangesBeforeAnyBoundIsRead) {
  KIV3DBagRep root;
  std::vector<KIV3DBagRep*> bags;
  for (int k = 0; k < 100; ++k) {
    bags.push_back(new KIV3DBagRep);
    bags.back()->SetMatrix(KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {static_cast<float>(10 * k), 0, 0}));
    bags.back()->AddChild(Box(1.0f));
    root.AddChild(bags.back());
  }
  root.GetBoundingElement();
  // Many leaves changed, then one bag read first: each bag and the root see the change.
  for (int k = 0; k < 100; ++k) Resize(static_cast<KIV3DCustomRep*>(bags[k]->GetChildren().front()), 2.0f);
  EXPECT_NEAR(bags[50]->GetBoundingElement().GetRadius(), 2.0f * std::sqrt(3.0f), 1e-4f);
  for (int k = 0; k < 100; k += 9) {
    const KIV3DBoundingSphere& s = bags[k]->GetBoundingElement();
    EXPECT_NEAR(s.GetRadius(), 2.0f * std::sqrt(3.0f), 1e-4f) << k;
    EXPECT_LT(s.GetCenter().DistanceTo(KIVMathPointf(static_cast<float>(10 * k), 0, 0)), 1e-4f);
  }
  // Changed, then moved to another bag before anyone looked.
  auto* moved = static_cast<KIV3DCustomRep*>(bags[99]->GetChildren().front());
  Resize(moved, 30.0f);
  bags[99]->RemoveChild(moved);
  bags[0]->AddChild(moved);
  EXPECT_TRUE(bags[99]->GetBoundingElement().IsEmpty());
  EXPECT_GT(bags[0]->GetBoundingElement().GetRadius(), 30.0f);
  // Changed, then destroyed before anyone looked: its bag forgets it.
  auto* gone = static_cast<KIV3DCustomRep*>(bags[98]->GetChildren().front());
  Resize(gone, 40.0f);
  delete gone;
  EXPECT_TRUE(bags[98]->GetBoundingElement().IsEmpty());
  EXPECT_LT(root.GetBoundingElement().GetRadius(), 1000.0f);
  root.DestroyChildren();
}

// The leaf reads its points four at a time: every count (the remainders included) and
// every position of the extremes must give the box of a plain pass, exactly, and a sphere
// around every point that is no more than a few roundings wider than the farthest.
TEST(BoundsMarking, ALeafBoundEqualsAPlainPassOverItsPoints) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
  // Ordinary sizes, then sizes whose squares leave float's range either way.
  const float scales[3] = {1.0f, 1e-30f, 1e20f};
  for (int n = 3; n <= 41; ++n)
    for (int round = 0; round < 6; ++round) {
      std::vector<float> v(3 * static_cast<size_t>(n));
      for (float& x : v) x = coordinate(rng) * scales[round % 3];
      const int t[3] = {0, 1, 2};
      KIV3DCustomRep leaf;
      leaf.AddGP(new KIV3DFaceGP(v.data(), 3 * n, nullptr, t, 1));
      float lo[3] = {v[0], v[1], v[2]}, hi[3] = {v[0], v[1], v[2]};
      for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[3 * i + k]), hi[k] = std::max(hi[k], v[3 * i + k]);
      KIVMathPointf min, max;
      ASSERT_TRUE(leaf.GetLocalBox(min, max));
      EXPECT_EQ(min.x, lo[0]);
      EXPECT_EQ(min.y, lo[1]);
      EXPECT_EQ(min.z, lo[2]);
      EXPECT_EQ(max.x, hi[0]);
      EXPECT_EQ(max.y, hi[1]);
      EXPECT_EQ(max.z, hi[2]) << n << " points";
      // Centred on the box; the radius reaches every point from the centre as stored,
      // and is the farthest distance widened by a few float roundings at most.
      const KIV3DBoundingSphere& sphere = leaf.GetBoundingElement();
      const KIVMathPointf& c = sphere.GetCenter();
      EXPECT_EQ(c.x, static_cast<float>(0.5 * (double(lo[0]) + hi[0])));
      EXPECT_EQ(c.y, static_cast<float>(0.5 * (double(lo[1]) + hi[1])));
      EXPECT_EQ(c.z, static_cast<float>(0.5 * (double(lo[2]) + hi[2])));
      double far = 0.0;
      for (int i = 0; i < n; ++i) {
        const double dx = v[3 * i] - double(c.x), dy = v[3 * i + 1] - double(c.y), dz = v[3 * i + 2] - double(c.z);
        far = std::max(far, std::sqrt(dx * dx + dy * dy + dz * dz));
      }
      EXPECT_GE(sphere.GetRadius(), far) << n << " points";
      EXPECT_LE(sphere.GetRadius(), far * (1.0 + 12.0 * 0x1p-24)) << n << " points";
    }
}
