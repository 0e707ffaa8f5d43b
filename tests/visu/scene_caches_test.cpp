// Caches over the scene keep themselves right: an edit of a primitive reaches bounds and
// picking with no second call, a change in another scene costs a pick setup nothing, and
// emptying a bag is one change however many children it had.
#include <gtest/gtest.h>

#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "tests/support/TestBox.h"

namespace {

// The default camera at (0, −10, 0) looks along +y.
struct Scene {
  KIV3DViewer viewer{200, 150};
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DCustomRep* box = Box(1.0f);
  Scene() {
    root->AddChild(box);
    viewer.GetMain3DViewpoint()->AddRep(root);
  }
  ~Scene() {
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
  }
  int PickCentre(float* y = nullptr) {
    KIVPickPathList paths;
    const int n = viewer.Pick(100, 75, paths);
    if (n && y) *y = paths[0]->GetGlobalIntersection().y;
    return n;
  }
};

}  // namespace

TEST(SceneCaches, AnEditedPrimitiveIsSeenByBoundsAndPickingAtOnce) {
  Scene s;
  float y = 0.0f;
  ASSERT_EQ(s.PickCentre(&y), 1);
  EXPECT_NEAR(y, -1.0f, 1e-4f);
  EXPECT_NEAR(s.box->GetBoundingElement().GetRadius(), std::sqrt(3.0f), 1e-3f);
  const int layouts = s.viewer.GetPickScene().GetLayoutCount();

  // Twice as large, through the primitive alone.
  auto* face = dynamic_cast<KIV3DFaceGP*>(s.box->GetGP(0));
  ASSERT_NE(face, nullptr);
  std::vector<float> v;
  for (int i = 0; i < 8; ++i) v.insert(v.end(), {i & 1 ? 2.0f : -2.0f, i & 2 ? 2.0f : -2.0f, i & 4 ? 2.0f : -2.0f});
  ASSERT_EQ(face->SetVertices(v.data(), 24), 1);
  EXPECT_NEAR(s.box->GetBoundingElement().GetRadius(), 2.0f * std::sqrt(3.0f), 1e-3f);
  EXPECT_NEAR(s.root->GetBoundingElement().GetRadius(), 2.0f * std::sqrt(3.0f), 1e-3f);
  ASSERT_EQ(s.PickCentre(&y), 1);
  EXPECT_NEAR(y, -2.0f, 1e-4f);
  // Followed in place: the instances were refitted, not laid out again.
  EXPECT_EQ(s.viewer.GetPickScene().GetLayoutCount(), layouts);

  // A primitive given back is no longer followed.
  ASSERT_EQ(s.box->RemoveGP(face), 1);
  EXPECT_EQ(s.PickCentre(), 0);
  face->SetVertices(v.data(), 24);
  EXPECT_EQ(s.PickCentre(), 0);
  face->Destroy();
}

TEST(SceneCaches, ChangesElsewhereCostAPickSetupNothing) {
  Scene a, b;
  ASSERT_EQ(a.PickCentre(), 1);
  const int layouts = a.viewer.GetPickScene().GetLayoutCount();
  // Another scene's tree changes shape; a tree seen by nobody too.
  b.root->AddChild(Box(KIVMathPointf(3, 0, 0), 0.5f));
  auto* loose = new KIV3DBagRep;
  loose->AddChild(Box(0.5f));
  ASSERT_EQ(a.PickCentre(), 1);
  EXPECT_EQ(a.viewer.GetPickScene().GetLayoutCount(), layouts);
  // Its own tree changing shape does lay it out, and the new part is found.
  auto* front = Box(KIVMathPointf(0, -4, 0), 0.5f);
  a.root->AddChild(front);
  float y = 0.0f;
  ASSERT_EQ(a.PickCentre(&y), 1);
  EXPECT_NEAR(y, -4.5f, 1e-4f);
  EXPECT_EQ(a.viewer.GetPickScene().GetLayoutCount(), layouts + 1);
  loose->Destroy();
}

TEST(SceneCaches, EmptyingABagIsOneChange) {
  KIV3DBagRep bag;
  std::vector<KIV3DBagRep*> children;
  for (int i = 0; i < 2000; ++i) {
    children.push_back(new KIV3DBagRep);
    bag.AddChild(children.back());
  }
  KIV3DBagRep other;
  other.AddChild(children[7]);  // shared: it keeps its other parent
  const unsigned long version = KIVRep::GetSceneVersion();
  EXPECT_EQ(bag.RemoveAllChildren(), 2000);
  EXPECT_EQ(KIVRep::GetSceneVersion(), version + 1);
  EXPECT_TRUE(bag.GetChildren().empty());
  for (KIV3DBagRep* child : children) EXPECT_EQ(child->GetParents().size(), child == children[7] ? 1u : 0u);
  EXPECT_EQ(bag.RemoveAllChildren(), 0);
  other.RemoveAllChildren();
  for (KIV3DBagRep* child : children) child->Destroy();
}
