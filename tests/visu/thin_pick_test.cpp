#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIV3DViewer.h"

namespace {

KIV3DCustomRep* Face(float y, float half) {
  const float v[12] = {-half, y, -half, half, y, -half, half, y, half, -half, y, half};
  const int t[6] = {0, 1, 2, 0, 2, 3};
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(new KIV3DFaceGP(v, 12, nullptr, t, 2));
  return leaf;
}

KIV4x4Matrix Translation(float x, float y, float z) {
  return KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(x, y, z));
}

// A big face in the plane y = 0 seen from y = -20, a point and a line (in its own bag) two
// units in front of it.
struct ThinScene {
  KIV3DViewer viewer{400, 300};
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DCustomRep* face = Face(0.0f, 10.0f);
  KIV3DPointRep* point = new KIV3DPointRep(KIVMathPointf(2, -2, 1));
  KIV3DBagRep* lineBag = new KIV3DBagRep;
  KIV3DLineRep* line = new KIV3DLineRep(KIVMathPointf(-4, -2, -2), KIVMathPointf(4, -2, -2));

  ThinScene() {
    root->AddChild(face);
    root->AddChild(point);
    root->AddChild(lineBag);
    lineBag->AddChild(line);
    viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -20, 0), KIVMathDirectionf(0, 1, 0),
                                             KIVMathDirectionf(0, 0, 1));
    viewer.GetMain3DViewpoint()->AddRep(root);
  }
  ~ThinScene() {
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
  }
  // The nearest pixel to where a world point shows, by the pinhole model.
  void Pixel(const KIVMathPointf& p, int& x, int& y) const {
    const KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    int w = 0, h = 0;
    viewer.GetGraphicSize(&w, &h);
    const double ty = std::tan(0.5 * vp->GetAngle() * std::numbers::pi / 180.0), tx = ty * w / h;
    const KIVMathVectorf rel = p - vp->GetOrigin();
    const double z = rel * vp->GetSightDirection();
    x = static_cast<int>(std::lround(0.5 * w * (1.0 + (rel * vp->GetRightDirection()) / (z * tx)) - 0.5));
    y = static_cast<int>(std::lround(0.5 * h * (1.0 - (rel * vp->GetUpDirection()) / (z * ty)) - 0.5));
  }
  // The leaf picked at a pixel, or null.
  const KIVRep* Picked(int x, int y) {
    paths.Clear();
    return viewer.Pick(x, y, paths) == 1 ? paths[0]->GetLeafRep() : nullptr;
  }
  KIVPickPathList paths;
};

// What a pick at an offset from where `p` shows meets, for offsets inside and outside the
// default tolerance of 5 pixels.
void CheckAround(ThinScene& s, const KIVRep* thin, const KIVMathPointf& p, int dx, int dy) {
  int x, y;
  s.Pixel(p, x, y);
  ASSERT_EQ(s.Picked(x, y), thin);
  const KIVPickPath& hit = *s.paths[0];
  EXPECT_EQ(hit.GetTriangle(), -1);
  EXPECT_EQ(hit.GetTopRep(), s.root);
  EXPECT_EQ(hit.GetViewpoint(), s.viewer.GetMain3DViewpoint());
  // The hit lies on the thin thing, at its distance along the ray.
  const KIVRay ray = s.viewer.ComputeRay(float(x), float(y));
  const KIVMathPointf at = hit.GetGlobalIntersection();
  EXPECT_NEAR((at - ray.origin) * ray.direction, hit.GetDistance(), 1e-4f);
  EXPECT_NEAR(at.y, p.y, 1e-4f);
  EXPECT_NEAR(hit.GetDistance(), (p - ray.origin).Norm(), 0.05f);
  EXPECT_EQ(s.Picked(x + 3 * dx, y + 3 * dy), thin);
  EXPECT_EQ(s.Picked(x + 4 * dx, y + 4 * dy), thin);
  EXPECT_EQ(s.Picked(x + 7 * dx, y + 7 * dy), s.face);
  ASSERT_EQ(s.paths.GetSize(), 1);
  const KIVRay past = s.viewer.ComputeRay(float(x + 7 * dx), float(y + 7 * dy));
  EXPECT_NEAR(s.paths[0]->GetDistance(), 20.0f / past.direction.y, 1e-3f);
  EXPECT_GE(s.paths[0]->GetTriangle(), 0);
}

TEST(ThinPick, MarkersAndLinesAreHitWithinTheTolerancePixelsAtAnyZoom) {
  ThinScene s;
  for (float angle : {45.0f, 20.0f}) {
    SCOPED_TRACE(angle);
    s.viewer.GetMain3DViewpoint()->SetAngle(angle);
    CheckAround(s, s.point, KIVMathPointf(2, -2, 1), 1, 0);
    CheckAround(s, s.point, KIVMathPointf(2, -2, 1), 0, -1);
    // Across the line (which shows horizontal), and along it past its end.
    CheckAround(s, s.line, KIVMathPointf(1, -2, -2), 0, 1);
    CheckAround(s, s.line, KIVMathPointf(-4, -2, -2), -1, 0);
  }
  EXPECT_EQ(s.viewer.GetPickScene().GetThinOccurrenceCount(), 2);

  // The tolerance is the viewer's; out-of-range values are refused.
  EXPECT_EQ(s.viewer.GetPickTolerance(), 5);
  EXPECT_EQ(s.viewer.SetPickTolerance(-1), 0);
  EXPECT_EQ(s.viewer.SetPickTolerance(101), 0);
  EXPECT_EQ(s.viewer.GetPickTolerance(), 5);
  int x, y;
  s.Pixel(KIVMathPointf(2, -2, 1), x, y);
  EXPECT_EQ(s.Picked(x + 8, y), s.face);
  ASSERT_EQ(s.viewer.SetPickTolerance(10), 1);
  EXPECT_EQ(s.Picked(x + 8, y), s.point);
  ASSERT_EQ(s.viewer.SetPickTolerance(0), 1);
  EXPECT_EQ(s.Picked(x + 1, y), s.face);
}

TEST(ThinPick, HiddenUnpickableAndMovedLinesFollowWithoutALayout) {
  ThinScene s;
  int x, y;
  s.Pixel(KIVMathPointf(1, -2, -2), x, y);
  ASSERT_EQ(s.Picked(x, y), s.line);
  const int layouts = s.viewer.GetPickScene().GetLayoutCount();

  s.line->SetShowMode(1, 0);
  EXPECT_EQ(s.Picked(x, y), s.face);
  s.line->SetShowMode(0, 0);
  EXPECT_EQ(s.Picked(x, y), s.line);

  // Unpickable on the way down blocks as hidden does.
  KIVGraphicAttributeSet a = s.lineBag->GetGraphicAttributeSet();
  a.SetFlag(KIVGraphicAttributeSet::NotPickable, true);
  s.lineBag->SetGraphicAttributeSet(a);
  EXPECT_EQ(s.Picked(x, y), s.face);
  a.SetFlag(KIVGraphicAttributeSet::NotPickable, false);
  s.lineBag->SetGraphicAttributeSet(a);
  EXPECT_EQ(s.Picked(x, y), s.line);

  // Moved by its bag: found at its new place only.
  s.lineBag->SetMatrix(Translation(0, 0, 3));
  EXPECT_EQ(s.Picked(x, y), s.face);
  int mx, my;
  s.Pixel(KIVMathPointf(-1, -2, 1), mx, my);
  ASSERT_EQ(s.Picked(mx, my), s.line);
  EXPECT_NEAR(s.paths[0]->GetGlobalIntersection().z, 1.0f, 0.05f);
  ASSERT_EQ(s.paths[0]->GetSize(), 3);
  EXPECT_EQ(s.paths[0]->GetRep(1), s.lineBag);

  // New ends for the line itself.
  s.line->SetPoints(KIVMathPointf(-4, -2, -5), KIVMathPointf(4, -2, -5));
  EXPECT_EQ(s.Picked(mx, my), s.face);
  s.Pixel(KIVMathPointf(-1, -2, -2), mx, my);  // -5 moved up by 3
  EXPECT_EQ(s.Picked(mx, my), s.line);
  EXPECT_EQ(s.viewer.GetPickScene().GetLayoutCount(), layouts);
}

TEST(ThinPick, ALineOnAFaceWinsAndAFaceInFrontOfALineWins) {
  ThinScene s;
  auto* onFace = new KIV3DLineRep(KIVMathPointf(-4, 0, 5), KIVMathPointf(4, 0, 5));
  auto* behind = new KIV3DLineRep(KIVMathPointf(-4, 3, 7), KIVMathPointf(4, 3, 7));
  s.root->AddChild(onFace);
  s.root->AddChild(behind);
  int x, y;
  s.Pixel(KIVMathPointf(0.5f, 0, 5), x, y);
  EXPECT_EQ(s.Picked(x, y), onFace);
  EXPECT_NEAR(s.paths[0]->GetDistance(), 20.6f, 0.1f);
  s.Pixel(KIVMathPointf(0.5f, 3, 7), x, y);
  EXPECT_EQ(s.Picked(x, y), s.face);
  // Unless the face is transparent: what is seen through it can be grabbed.
  KIVGraphicAttributeSet glass = s.face->GetGraphicAttributeSet();
  glass.SetFlag(KIVGraphicAttributeSet::Transparent, 1);
  s.face->SetGraphicAttributeSet(glass);
  EXPECT_EQ(s.Picked(x, y), behind);
  glass.SetFlag(KIVGraphicAttributeSet::Transparent, 0);
  s.face->SetGraphicAttributeSet(glass);

  // A marker on a line is grabbed as the marker; otherwise the nearer on screen wins, and
  // at one place on screen the nearer in depth.
  auto* corner = new KIV3DPointRep(KIVMathPointf(1, 0, 5));
  auto* far = new KIV3DPointRep(KIVMathPointf(-2.375f, -1, -1.1875f));
  auto* near = new KIV3DPointRep(KIVMathPointf(-2, -4, -1));
  s.root->AddChild(corner);
  s.root->AddChild(far);
  s.root->AddChild(near);
  s.Pixel(KIVMathPointf(1, 0, 5), x, y);
  EXPECT_EQ(s.Picked(x, y), corner);
  EXPECT_EQ(s.Picked(x + 4, y + 1), onFace);
  s.Pixel(KIVMathPointf(-2, -4, -1), x, y);  // `far` shows there too
  EXPECT_EQ(s.Picked(x, y), near);
}

TEST(ThinPick, NewThinGeometryAndDegenerateOrCrossingLines) {
  ThinScene s;
  // A leaf with a face only, which then gains a polyline over the big face.
  auto* part = Face(-1.0f, 0.5f);
  s.root->AddChild(part);
  int x, y;
  s.Pixel(KIVMathPointf(0, -3, 6), x, y);
  ASSERT_EQ(s.Picked(x, y), s.face);
  const float ends[9] = {-3, -3, 6, 3, -3, 6, 3, -3, 8};
  part->AddGP(new KIV3DPolylineGP(ends, 9));
  // Degenerate primitives: one vertex, no points.
  const float lone[3] = {0, -3, 6};
  part->AddGP(new KIV3DPolylineGP(lone, 3));
  part->AddGP(new KIV3DMarkerGP(nullptr, 0));
  ASSERT_EQ(s.Picked(x, y), part);
  EXPECT_EQ(s.paths[0]->GetTriangle(), -1);
  EXPECT_NEAR(s.paths[0]->GetGlobalIntersection().z, 6.0f, 0.1f);

  // A line from behind the eye to beyond the face, passing below the eye: its front part
  // shows and is hit in front of the eye.
  auto* crossing = new KIV3DLineRep(KIVMathPointf(0.5f, -40, -1), KIVMathPointf(0.5f, 10, -1));
  s.root->AddChild(crossing);
  s.Pixel(KIVMathPointf(0.5f, -14, -1), x, y);
  ASSERT_EQ(s.Picked(x, y), crossing);
  EXPECT_GT(s.paths[0]->GetDistance(), 0.0f);
  EXPECT_LT(s.paths[0]->GetGlobalIntersection().y, 0.0f);

  // A leaf with nothing to pick that changes (a tool's marker redrawn at each step of a
  // drag) costs no new layout; one that gains a face does.
  auto* empty = new KIV3DCustomRep;
  s.root->AddChild(empty);
  s.Picked(x, y);
  const int layouts = s.viewer.GetPickScene().GetLayoutCount();
  empty->AddGP(new KIV3DPolylineGP(nullptr, 0));
  s.Picked(x, y);
  EXPECT_EQ(s.viewer.GetPickScene().GetLayoutCount(), layouts);
  empty->AddGP(new KIV3DMarkerGP(lone, 3));
  s.Picked(x, y);
  EXPECT_EQ(s.viewer.GetPickScene().GetLayoutCount(), layouts + 1);
}

}  // namespace
