#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/scene/KIVRepPath.h"
#include "tests/support/TestBox.h"

namespace {

TEST(SceneModel, BagBoundsFollowChildrenMatricesAndVisibility) {
  KIV3DBagRep root, placed;
  KIV3DRep a, b;
  a.SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 1.0f));
  b.SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 1.0f));
  root.AddChild(&a);
  root.AddChild(&placed);
  placed.AddChild(&b);
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), 1.0f, 1e-5f);
  // Moving the inner bag reaches the root without anyone asking it to recompute.
  placed.SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                KIVMathPointf(10, 0, 0)));
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), 6.0f, 1e-4f);
  EXPECT_NEAR(root.GetBoundingElement().GetCenter().x, 5.0f, 1e-4f);
  // A geometry change deep down, then a hidden child.
  b.SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 3.0f));
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), 7.0f, 1e-4f);
  placed.SetShowMode(1, 0);
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), 1.0f, 1e-5f);
  EXPECT_EQ(placed.GetInvertedMatrix().TransformPoint(KIVMathPointf(10, 0, 0)), KIVMathPointf(0, 0, 0));
}

TEST(SceneModel, DestroyKeepsSharedChildren) {
  auto* top = new KIV3DBagRep;
  auto* inner = new KIV3DBagRep;
  KIV3DBagRep keeper;
  auto* shared = new KIV3DRep;
  top->AddChild(inner);
  inner->AddChild(shared);
  keeper.AddChild(shared);
  EXPECT_EQ(top->AddChild(top), 0);
  EXPECT_EQ(shared->GetParents().size(), 2u);
  top->Destroy();  // inner goes; shared stays with its other parent (ASan checks the rest)
  ASSERT_EQ(keeper.GetChildren().size(), 1u);
  EXPECT_EQ(shared->GetParents().size(), 1u);
  keeper.RemoveChild(shared);
  delete shared;
}

TEST(SceneModel, PathCursorWalksBothWays) {
  KIV3DBagRep r0, r1;
  KIV3DRep leaf;
  KIVRepPath path;
  EXPECT_EQ(path.AddRep(nullptr), 0);
  path.AddRep(&r0);
  path.AddRep(&r1);
  path.AddRep(&leaf);
  path.InitToLeafRep();
  EXPECT_EQ(path.NextFatherRep(), &leaf);
  EXPECT_EQ(path.NextFatherRep(), &r1);
  path.InitToTopRep();
  EXPECT_EQ(path.NextChildRep(), &r0);
  EXPECT_EQ(path.NextChildRep(), &r1);
  EXPECT_EQ(path.GetCursorPosition(), 2);
  EXPECT_EQ(path.NextFatherRep(), &r1);
  path.InitToLeafRep();
  EXPECT_EQ(path.RemoveRep(&leaf), 1);
  EXPECT_EQ(path.GetCursorPosition(), 2);  // clamped to the shorter path
  EXPECT_EQ(path.NextChildRep(), nullptr);
}

TEST(SceneModel, ViewpointBracketsPublishOnceAtTheOutermostEnd) {
  KIV3DViewpoint vp;
  KIVEventSubscriber listener;
  std::vector<std::string> heard;
  for (const char* e : {KIVViewpoint::VIEWPOINT_MODIFIED, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED,
                        KIVViewpoint::VIEWPOINT_ANIMATION_STOPED})
    listener.AddCallback(&vp, e, [&heard](const char* ev, void*, KIVNotification*, void*, KIVCallback) { heard.push_back(ev); },
                         nullptr);
  vp.SetOrigin(KIVMathPointf(1, 2, 3));  // outside a bracket: silent
  vp.BeginModification();
  vp.BeginModification();
  vp.SetFocusDistance(5.0f);
  vp.EndModification(1);
  EXPECT_TRUE(heard.empty());
  vp.EndModification(0);  // the inner request carries to the outer end
  vp.EndModification(1);  // unmatched: ignored
  vp.BeginAnimation();
  vp.BeginAnimation();
  vp.EndAnimation();
  vp.EndAnimation();
  EXPECT_EQ(heard, (std::vector<std::string>{"VIEWPOINT_MODIFIED", "VIEWPOINT_ANIMATION_STARTED", "VIEWPOINT_ANIMATION_STOPED"}));
}

TEST(SceneModel, ViewpointKeepsAnOrthonormalFrame) {
  KIV3DViewpoint vp;
  vp.SetSightDirection(KIVMathDirectionf(0, 0, 1));  // along the old up: up is rebuilt
  EXPECT_NEAR(vp.GetSightDirection() * vp.GetUpDirection(), 0.0f, 1e-6f);
  EXPECT_FALSE(vp.GetUpDirection().IsNull());
  vp.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(1, 0, 0));  // parallel: refused
  EXPECT_EQ(vp.GetSightDirection(), KIVMathDirectionf(0, 0, 1));
  vp.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(1, 0, 1));
  EXPECT_NEAR(vp.GetUpDirection().z, 1.0f, 1e-6f);  // projected
  // A quarter turn about the vertical through the target keeps the target.
  vp.SetFocusDistance(10.0f);
  const KIVMathPointf target = vp.GetTarget();
  vp.RotateAboutPoint(KIVMathVectorf(0, 0, 1.5707963f), target);
  EXPECT_NEAR(vp.GetTarget().DistanceTo(target), 0.0f, 1e-4f);
  EXPECT_NEAR(vp.GetSightDirection().y, 1.0f, 1e-5f);
  vp.SetFocusDistance(-1.0f);
  vp.SetAngle(0.0f);
  EXPECT_EQ(vp.GetFocusDistance(), 10.0f);
  EXPECT_EQ(vp.GetAngle(), 45.0f);
}

}  // namespace

namespace {
// A bag of many children moved one at a time, as a drag does, keeps the bound a full
// computation gives: the centre of the children's box, reaching the farthest of them.
TEST(SceneModel, ABagOfManyChildrenBoundsLikeAFullComputationAsChildrenMove) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> at(-50.0f, 50.0f), size(0.1f, 3.0f);
  KIV3DBagRep root;
  std::vector<KIV3DBagRep*> models;
  for (int i = 0; i < 200; ++i) {
    auto* model = new KIV3DBagRep;
    model->AddChild(Box(KIVMathPointf(0, 0, 0), size(random)));
    model->SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                  KIVMathPointf(at(random), at(random), at(random))));
    root.AddChild(model);
    models.push_back(model);
  }
  auto full = [&]() {
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
    for (KIV3DBagRep* m : models) {
      const KIV3DBoundingSphere s = m->GetBoundingElement();
      for (int a = 0; a < 3; ++a)
        lo[a] = std::min(lo[a], double(s.GetCenter()[a]) - s.GetRadius()),
        hi[a] = std::max(hi[a], double(s.GetCenter()[a]) + s.GetRadius());
    }
    const KIVMathPointf c(float(0.5 * (lo[0] + hi[0])), float(0.5 * (lo[1] + hi[1])), float(0.5 * (lo[2] + hi[2])));
    double reach = 0.0;
    for (KIV3DBagRep* m : models) {
      const KIV3DBoundingSphere s = m->GetBoundingElement();
      reach = std::max(reach, double(s.GetCenter().DistanceTo(c)) + s.GetRadius());
    }
    return std::make_pair(c, reach);
  };
  auto place = [](KIV3DBagRep* m, KIVMathPointf o) {
    m->SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), o));
  };
  // The farthest child inside the box (not on it) moved inward: the reach shrinks while
  // the box, and so the centre, stay.
  for (int a = 0; a < 6; ++a) {
    KIVMathPointf p(0, 0, 0);
    p[a / 2] = a % 2 ? -200.0f : 200.0f;
    place(models[a], p);
  }
  place(models[6], KIVMathPointf(180, 180, 0));
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), full().second, 1e-3);
  place(models[6], KIVMathPointf(20, 20, 0));
  EXPECT_NEAR(root.GetBoundingElement().GetRadius(), full().second, 1e-3);
  std::uniform_int_distribution<size_t> pick(0, models.size() - 1);
  for (int step = 0; step < 2000; ++step) {
    // Mostly small moves of one model; now and then the farthest one or a far jump.
    KIV3DBagRep* m = models[pick(random)];
    KIVMathVectorf d1, d2, d3;
    KIVMathPointf o;
    m->GetMatrix()->GetComponents(d1, d2, d3, o);
    const float scale = step % 50 == 0 ? 40.0f : 1.0f;
    o += KIVMathVectorf(at(random), at(random), at(random)) * (scale / 50.0f);
    m->SetMatrix(KIV4x4Matrix(d1, d2, d3, o));
    const KIV3DBoundingSphere bound = root.GetBoundingElement();
    const auto [c, reach] = full();
    ASSERT_LT(bound.GetCenter().DistanceTo(c), 1e-3f) << step;
    ASSERT_NEAR(bound.GetRadius(), reach, 1e-3 * reach) << step;
  }
  root.DestroyChildren();
}
}  // namespace
