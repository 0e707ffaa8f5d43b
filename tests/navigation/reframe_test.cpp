#include <gtest/gtest.h>

#include <cmath>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/scene/KIVRepPath.h"
#include "navigation/Nav3DViewpointLight.h"
#include "navigation/NavToolsVisu.h"

namespace {

// A leaf whose sphere is set by hand.
KIV3DRep* Leaf(float x, float y, float z, float r) {
  auto* rep = new KIV3DCustomRep;
  rep->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(x, y, z), r));
  return rep;
}

KIV4x4Matrix Translation(float x, float y, float z) {
  return KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(x, y, z));
}

void ExpectNear(const KIVMathVectorf& a, const KIVMathVectorf& b, float eps = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

float ExpectedDistance(int w, int h, float r, float angle) {
  const float theta = static_cast<float>(static_cast<double>(angle) * 0.017453292519943295);
  return static_cast<float>(static_cast<double>(static_cast<float>(w) / static_cast<float>(h)) * 0.9 * r / theta);
}

TEST(Reframe, DistanceFollowsRadiusWindowAndFallbacks) {
  KIV3DViewer square(100, 100), wide(200, 100);
  KIV3DViewpoint vp;
  const KIV3DBoundingSphere sphere(KIVMathPointf(1, 2, 3), 5.0f);
  NavToolsVisu::ViewpointReframeWithBounding(&square, &vp, sphere);
  const float d = ExpectedDistance(100, 100, 5.0f, vp.GetAngle());
  EXPECT_EQ(vp.GetFocusDistance(), d);
  ExpectNear(vp.GetTarget() - KIVMathPointf(0, 0, 0), KIVMathVectorf(1, 2, 3), 1e-4f);
  NavToolsVisu::ViewpointReframeWithBounding(&wide, &vp, sphere);
  EXPECT_FLOAT_EQ(vp.GetFocusDistance(), 2.0f * d);

  // A point: the millimetre radius, then 10.
  NavToolsVisu::ViewpointReframeWithBounding(&square, &vp, KIV3DBoundingSphere(KIVMathPointf(), 0.0f, 3.0f));
  EXPECT_EQ(vp.GetFocusDistance(), ExpectedDistance(100, 100, 3.0f, vp.GetAngle()));
  NavToolsVisu::ViewpointReframeWithBounding(&square, &vp, KIV3DBoundingSphere(KIVMathPointf(), 0.0f));
  EXPECT_EQ(vp.GetFocusDistance(), ExpectedDistance(100, 100, 10.0f, vp.GetAngle()));
  // Sight and up are kept.
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(0, 1, 0));
}

// root
//  ├ a: selected, shown           (0,0,0) r1
//  ├ b: selected, hidden          (100,0,0) r1
//  ├ bag (moved by +10 in z, not selected)
//  │   └ c: selected              (0,0,0) r1  -> world (0,0,10)
//  └ e: selected bag               -> taken whole, its child f not visited apart
//      └ f: selected              (0,-20,0) r1
struct Tree {
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DRep *a, *b, *c, *f;
  KIV3DBagRep *bag = new KIV3DBagRep, *e = new KIV3DBagRep;
  Tree() {
    a = Leaf(0, 0, 0, 1);
    b = Leaf(100, 0, 0, 1);
    c = Leaf(0, 0, 0, 1);
    f = Leaf(0, -20, 0, 1);
    root->AddChild(a);
    root->AddChild(b);
    root->AddChild(bag);
    root->AddChild(e);
    bag->AddChild(c);
    bag->SetMatrix(Translation(0, 0, 10));
    e->AddChild(f);
    for (KIVRep* r : {static_cast<KIVRep*>(a), static_cast<KIVRep*>(b), static_cast<KIVRep*>(c),
                      static_cast<KIVRep*>(f), static_cast<KIVRep*>(e)})
      r->SetHighlightMode(1, 0);
    b->SetShowMode(1, 0);
  }
  ~Tree() { root->Destroy(); }
};

TEST(Reframe, FilteredTreeSpheresSkipHiddenAndDoNotDescendIntoMatches) {
  Tree t;
  int found = 0;
  KIV3DBoundingSphere s = NavToolsVisu::GetBoundingSphere(t.root, found, 0, 1, 1, -1);
  EXPECT_EQ(found, 1);
  // a and e (the latter around f, whatever its own frame); b is hidden, c is not reached.
  EXPECT_TRUE(s.IsInside(KIVMathPointf(0, 0, 0)));
  EXPECT_TRUE(s.IsInside(KIVMathPointf(0, -20, 0)));
  EXPECT_FALSE(s.IsInside(KIVMathPointf(100, 0, 0)));
  EXPECT_FALSE(s.IsInside(KIVMathPointf(0, 0, 10)));

  found = 0;
  s = NavToolsVisu::GetBoundingSphere(t.root, found, 1, 1, 1, -1);
  EXPECT_TRUE(s.IsInside(KIVMathPointf(0, 0, 10)));  // c through its bag's matrix
  EXPECT_FALSE(s.IsInside(KIVMathPointf(100, 0, 0)));

  // Nothing matches a colour nobody has; found stays as it was.
  found = 0;
  NavToolsVisu::GetBoundingSphere(t.root, found, 1, -1, -1, 42);
  EXPECT_EQ(found, 0);

  KIV3DViewer viewer(100, 100);
  KIV3DViewpoint vp;
  const KIVMathPointf before = vp.GetOrigin();
  NavToolsVisu::ViewpointReframeOnGroup(&viewer, &vp, t.root, 1, -1, -1, 42);
  EXPECT_EQ(vp.GetOrigin(), before);
  NavToolsVisu::ViewpointReframeOnSelect(&viewer, &vp, t.root, 1);
  EXPECT_NE(vp.GetOrigin(), before);
}

TEST(Reframe, ShownLeavesSphereWalksThePathAndRestoresIt) {
  Tree t;
  KIVRepPath path;
  int found = 0;
  KIV3DBoundingSphere s = NavToolsVisu::GetBoundingSphereShow(t.root, path, found);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(path.GetSize(), 0);
  EXPECT_TRUE(s.IsInside(KIVMathPointf(0, 0, 10)));  // c, carried by the bag on its path
  EXPECT_TRUE(s.IsInside(KIVMathPointf(0, -20, 0)));
  EXPECT_FALSE(s.IsInside(KIVMathPointf(100, 0, 0)));

  // A hidden leaf, an empty one and one of radius 0 give nothing.
  found = 0;
  NavToolsVisu::GetBoundingSphereShow(t.b, path, found);
  EXPECT_EQ(found, 0);
  KIV3DCustomRep empty;
  NavToolsVisu::GetBoundingSphereShow(&empty, path, found);
  EXPECT_EQ(found, 0);
  std::unique_ptr<KIV3DRep> point(Leaf(1, 1, 1, 0));
  NavToolsVisu::GetBoundingSphereShow(point.get(), path, found);
  EXPECT_EQ(found, 0);
}

TEST(Reframe, TransformationMatricesAlongParentsAndPaths) {
  KIV3DBagRep top, mid;
  KIV3DCustomRep leaf;
  top.SetMatrix(Translation(1, 0, 0));
  mid.SetMatrix(Translation(0, 2, 0));
  top.AddChild(&mid);
  mid.AddChild(&leaf);
  // The leaf's chain: mid then top.
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&leaf, 0).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(1, 2, 0));
  // A bag undoes its own matrix first in mode 0, takes it in mode 1.
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&mid, 0).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(1, -2, 0));
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&mid, 1).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(1, 2, 0));

  KIVRepPath path;
  path.AddRep(&top);
  path.AddRep(&mid);
  path.AddRep(&leaf);
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&path, 0, nullptr).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(1, 2, 0));
  // Mode 1 keeps only what lies above stop; a stop off the path leaves the identity.
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&path, 1, &mid).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(1, 0, 0));
  KIV3DBagRep stranger;
  ExpectNear(NavToolsVisu::GetTransfoMatrice(&path, 1, &stranger).TransformPoint(KIVMathPointf()) - KIVMathPointf(),
             KIVMathVectorf(0, 0, 0));
  mid.RemoveChild(&leaf);
  top.RemoveChild(&mid);
}

TEST(Reframe, ObjectRepsOfPathsInTopAndLeafMode) {
  KIV3DBagRep top, mid;
  KIV3DRep* part = Leaf(5, 0, 0, 1);
  top.AddChild(&mid);
  mid.AddChild(part);
  KIVRepPath path;
  path.AddRep(&top);
  path.AddRep(&mid);
  path.AddRep(part);
  KIVRepPath* paths[2] = {&path, nullptr};
  EXPECT_EQ(NavToolsVisu::ViewpointHighlightOnDefineObjet(paths, 2, 0, 1), 1);
  EXPECT_EQ(part->GetHighlightMode(), 1);
  // Top mode picks the rep just above the first non-bag: the mid bag.
  EXPECT_EQ(NavToolsVisu::ViewpointHighlightOnDefineObjet(paths, 1, 1, 1), 1);
  EXPECT_EQ(mid.GetHighlightMode(), 1);
  EXPECT_EQ(top.GetHighlightMode(), 0);

  KIV3DViewer viewer(100, 100);
  KIV3DViewpoint vp;
  EXPECT_EQ(NavToolsVisu::ViewpointReframeOnDefineObjet(&viewer, &vp, &path, 0), 1);
  ExpectNear(vp.GetTarget() - KIVMathPointf(), KIVMathVectorf(5, 0, 0), 1e-4f);

  // A path of bags only yields nothing in top mode; the single-path form leaves the
  // viewpoint alone, the multi-path form reframes anyway on the empty union.
  KIVRepPath bags;
  bags.AddRep(&top);
  bags.AddRep(&mid);
  const KIVMathPointf before = vp.GetOrigin();
  EXPECT_EQ(NavToolsVisu::ViewpointReframeOnDefineObjet(&viewer, &vp, &bags, 1), 0);
  EXPECT_EQ(vp.GetOrigin(), before);
  KIVRepPath* only[1] = {&bags};
  EXPECT_EQ(NavToolsVisu::ViewpointReframeOnDefineObjet(&viewer, &vp, only, 1, 1), 0);
  EXPECT_EQ(vp.GetFocusDistance(), ExpectedDistance(100, 100, 10.0f, vp.GetAngle()));
  EXPECT_EQ(NavToolsVisu::ViewpointReframeOnDefineObjet(&viewer, &vp, static_cast<KIV3DRep**>(nullptr), 0), 0);
  mid.RemoveChild(part);
  top.RemoveChild(&mid);
  delete part;
}

TEST(Reframe, StandardViews) {
  const KIVMathDirectionf S(0, 1, 0), U(0, 0, 1);
  KIV3DViewpoint vp;
  vp.SetPosition(KIVMathPointf(0, -10, 0), S, U);
  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 5, 1, 0);  // top: looking down, north up
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(0, 0, -1));
  ExpectNear(vp.GetUpDirection(), KIVMathVectorf(0, 1, 0));
  ExpectNear(vp.GetOrigin() - KIVMathPointf(), KIVMathVectorf(0, 0, 10), 1e-4f);  // the target stayed

  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 3, 0, 0);  // right, origin kept
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(1, 0, 0));
  ExpectNear(vp.GetOrigin() - KIVMathPointf(), KIVMathVectorf(0, 0, 10), 1e-4f);

  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 0, 0, 0);  // iso
  const float k = 1.0f / std::sqrt(3.0f);
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(-k, k, -k));
  EXPECT_NEAR(vp.GetUpDirection() * vp.GetSightDirection(), 0.0f, 1e-5f);
  EXPECT_GT(vp.GetUpDirection().z, 0.0f);

  // Level view: a slanted sight loses its vertical part...
  vp.SetPosition(KIVMathPointf(), KIVMathDirectionf(1, 1, -1), U);
  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 7, 0, 0);
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(1, 1, 0) * (1.0f / std::sqrt(2.0f)));
  // ...and a sight along the vertical is kept, with its up.
  vp.SetPosition(KIVMathPointf(), KIVMathDirectionf(0, 0, 1), KIVMathDirectionf(0, 1, 0));
  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 7, 0, 0);
  ExpectNear(vp.GetSightDirection(), KIVMathVectorf(0, 0, 1));
  ExpectNear(vp.GetUpDirection(), KIVMathVectorf(0, 1, 0));

  const unsigned long before = vp.GetModificationCount();
  NavToolsVisu::ViewpointGetOtherView(&vp, S, U, 1, 0, 1);
  EXPECT_EQ(vp.GetModificationCount(), before + 1);
}

TEST(Reframe, ViewpointDifferenceThresholds) {
  KIV3DViewpoint a, b;
  b.SetOrigin(a.GetOrigin() + KIVMathVectorf(1.0f, 0, 0));
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&a, &b), 0);
  b.SetOrigin(a.GetOrigin() + KIVMathVectorf(1.0001f, 0, 0));
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&a, &b), 1);
  b.SetOrigin(a.GetOrigin());
  b.SetFocusDistance(500.0f);  // b's focus alone does not count
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&a, &b), 0);
  b.SetAngle(a.GetAngle() + 0.001f);
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&a, &b), 1);
  // A turn of the sight moves the target by focus × angle: 10 × 0.05 rad = 0.5 is not
  // enough, until a's focus makes the lever long.
  Nav3DViewpointLight record(a);
  b.SetAngle(a.GetAngle());
  b.SetSightDirection(KIVMathDirectionf(0.05f, 1.0f, 0.0f));
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&record, &b), 0);
  record.focus = 100.0f;
  EXPECT_EQ(NavToolsVisu::IsViewpointDifferent(&record, &b), 1);
}

TEST(Reframe, SetViewerViewpointSkipsUnchangedAndRefusesReentry) {
  KIV3DViewer viewer(100, 100);
  KIV3DViewpoint source;
  source.SetPosition(KIVMathPointf(5, 5, 5), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  KIVEventSubscriber listener;
  int heard = 0, nested = -1;
  listener.AddCallback(
      viewer.GetMain3DViewpoint(), KIVViewpoint::VIEWPOINT_MODIFIED,
      [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
        ++heard;
        KIV3DViewpoint other;
        other.SetOrigin(KIVMathPointf(-50, 0, 0));
        nested = NavToolsVisu::SetViewerViewpoint(&viewer, &other, 1);
      },
      nullptr);
  EXPECT_EQ(NavToolsVisu::SetViewerViewpoint(&viewer, &source, 1), 1);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(viewer.GetDrawCount(), 1);
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetOrigin(), KIVMathPointf(5, 5, 5));
  // Unchanged: skipped, no draw.
  EXPECT_EQ(NavToolsVisu::SetViewerViewpoint(&viewer, &source, 1), 0);
  EXPECT_EQ(viewer.GetDrawCount(), 1);
  // Mode 0 copies silently; mode 2 copies when changed without notifying.
  EXPECT_EQ(NavToolsVisu::SetViewerViewpoint(&viewer, &source, 0), 1);
  Nav3DViewpointLight record(source);
  record.origin = KIVMathPointf(9, 9, 9);
  EXPECT_EQ(NavToolsVisu::SetViewerViewpoint(&viewer, &record, 2), 1);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(viewer.GetDrawCount(), 3);
  EXPECT_EQ(NavToolsVisu::SetViewerViewpoint(&viewer, static_cast<KIV3DViewpoint*>(nullptr), 0), 0);

  KIV3DViewpoint copy;
  record.angle = 60.0f;
  NavToolsVisu::CopyVPLightToViewpoint3D(record, copy);
  EXPECT_EQ(copy.GetAngle(), 60.0f);
  EXPECT_EQ(copy.GetOrigin(), KIVMathPointf(9, 9, 9));
}

}  // namespace
