#include <gtest/gtest.h>

#include "host/visu/scene/KIV3DBagRep.h"

namespace {

TEST(RepTree, SharedChildrenKeepBothListsInStepAndDestructionUnlinks) {
  KIV3DBagRep root, a, b;
  auto* shared = new KIV3DRep;
  EXPECT_EQ(root.AddChild(&a), 1);
  EXPECT_EQ(root.AddChild(&b), 1);
  EXPECT_EQ(a.AddChild(shared), 1);
  EXPECT_EQ(b.AddChild(shared), 1);
  EXPECT_EQ(shared->GetParents().size(), 2u);
  EXPECT_EQ(a.AddChild(&root), 0);  // a cycle
  EXPECT_EQ(root.AddChild(&root), 0);
  EXPECT_EQ(root.AddChild(nullptr), 0);
  delete shared;
  EXPECT_TRUE(a.GetChildren().empty());
  EXPECT_TRUE(b.GetChildren().empty());
  {
    KIV3DBagRep temporary;
    temporary.AddChild(&a);
    EXPECT_EQ(a.GetParents().size(), 2u);
  }
  EXPECT_EQ(a.GetParents().size(), 1u);
  EXPECT_EQ(root.RemoveChild(&a), 1);
  EXPECT_EQ(root.RemoveChild(&a), 0);
}

TEST(RepTree, HostRepClassesNameTheirAncestry) {
  KIV3DBagRep bag;
  EXPECT_STREQ(bag.IsA(), "KIV3DBagRep");
  EXPECT_EQ(bag.IsAKindOf("KIV3DRep"), 1);
  EXPECT_EQ(bag.IsAKindOf("KIVRep"), 1);
  EXPECT_EQ(bag.IsAKindOf("KIVCommand"), 0);
  EXPECT_EQ(KIV3DBagRep::MetaObject()->GetParent(), KIV3DRep::MetaObject());
  EXPECT_EQ(bag.GetGraphicAttribute() >> 24, 253u);  // the colour index is the high byte
}

}  // namespace
