#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DFixedArrowGP.h"
#include "host/visu/math/KIVRay.h"
#include "host/visu/view/KIVRender.h"
#include "navigation/Nav3DAxisRep.h"
#include "navigation/Nav3DManipulator.h"
#include "navigation/Nav3DSimpleSphereRep.h"

namespace {

// Records what reaches the back end: each arrow with the attributes current at that time,
// and each face.
class RecordingRender : public KIVRender {
 public:
  RecordingRender() : KIVRender(KIVSupport(100, 100)) {}
  struct Arrow {
    std::string text;
    float length;
    int selected;
  };
  std::vector<Arrow> arrows;
  int faces = 0;
  void Draw3DFixedArrow(KIV3DFixedArrowGP& gp) override {
    arrows.push_back({gp.GetText(), gp.GetLength(), GetCurrentAttributes().GetFlag(KIVGraphicAttributeSet::Selected)});
  }
  void Draw3DFace(KIV3DFaceGP&) override { ++faces; }
};

std::vector<int> SelectedArrows(Nav3DAxisRep& axis) {
  RecordingRender render;
  KIV3DBagRep root;
  root.AddChild(&axis);
  render.Traverse(root);
  root.RemoveChild(&axis);
  std::vector<int> selected;
  for (const auto& a : render.arrows) selected.push_back(a.selected);
  return selected;
}

TEST(AxisRep, ModifyBuildsLabelledArrowsBoundedOnScreen) {
  Nav3DAxisRep axis;
  EXPECT_TRUE(SelectedArrows(axis).empty());  // nothing before the first Modify
  const KIV4x4Matrix frame(KIVMathVectorf(0, 2, 0), KIVMathVectorf(-1, 0, 0), KIVMathVectorf(0, 0, 1),
                           KIVMathPointf(5, 6, 7));
  axis.Modify(frame, -3, 5);
  EXPECT_EQ(axis.GetCurrentMatrix(), frame);
  const KIV3DBoundingSphere& s = axis.GetBoundingElement();
  EXPECT_EQ(s.GetCenter(), KIVMathPointf(5, 6, 7));
  EXPECT_EQ(s.GetRadius(), 0.0f);
  EXPECT_EQ(s.GetRadiusMM(), 10.0f);  // a negative length means 10
  ASSERT_NE(axis.GetArrow(0), nullptr);
  EXPECT_EQ(axis.GetArrow(0)->GetDirection(), KIVMathVectorf(0, 1, 0));
  EXPECT_EQ(axis.GetArrow(1)->GetOrigin(), KIVMathPointf(5, 6, 7));
  EXPECT_EQ(axis.GetArrow(2)->GetStyle(), 5);

  RecordingRender render;
  axis.DrawShading(render, 1);
  ASSERT_EQ(render.arrows.size(), 3u);
  EXPECT_EQ(render.arrows[0].text, "x");
  EXPECT_EQ(render.arrows[1].text, "y");
  EXPECT_EQ(render.arrows[2].text, "z");
  EXPECT_EQ(render.arrows[2].length, 10.0f);

  axis.Modify(KIV4x4Matrix(), 30, 5);  // a second frame replaces the first sphere
  EXPECT_EQ(axis.GetBoundingElement().GetCenter(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(axis.GetBoundingElement().GetRadiusMM(), 30.0f);
}

TEST(AxisRep, HighlightShowsOnTheChosenArrowOnly) {
  Nav3DAxisRep axis;
  axis.Modify(KIV4x4Matrix(), 30, 5);
  EXPECT_EQ(axis.SetHighlightAxe(-1), 0);
  EXPECT_EQ(SelectedArrows(axis), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(axis.SetHighlightAxe(4), 5);
  EXPECT_EQ(axis.SetHighlightAxe(-1), 5);
  EXPECT_EQ(SelectedArrows(axis), (std::vector<int>{0, 1, 0}));
  axis.KIVRep::SetHighlightMode(1, 0);  // the whole marker selected: active highlighting still picks
  EXPECT_EQ(SelectedArrows(axis), (std::vector<int>{0, 1, 0}));
  axis.SetHighlightMode(1, 0);  // ends axis highlighting: every arrow in the rep's look
  EXPECT_EQ(axis.SetHighlightAxe(-1), 4);
  EXPECT_EQ(SelectedArrows(axis), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(axis.SetHighlightAxe(0), 1);  // active, no arrow
  EXPECT_EQ(SelectedArrows(axis), (std::vector<int>{0, 0, 0}));
  axis.SetShowMode(1, 0);
  EXPECT_TRUE(SelectedArrows(axis).empty());  // culled
}

TEST(SphereRep, TessellationCountsAndPoles) {
  Nav3DSimpleSphereRep sphere(KIVMathPointf(1, 2, 3), 2.0f, 4);
  KIV3DFaceGP* face = sphere.GetFace();
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->GetVertexCount(), 25);
  EXPECT_EQ(face->GetStripCounts(), (std::vector<int>(4, 8)));
  EXPECT_EQ(face->GetTriangleCount(), 4 * 6);
  const std::vector<float>& v = face->GetVertices();
  const std::vector<int>& strips = face->GetStripIndices();
  for (int s = 0; s < 4; ++s) {  // every strip runs from the north pole to the south pole
    const int first = strips[8 * s], last = strips[8 * s + 7];
    EXPECT_FLOAT_EQ(v[3 * first + 2], 5.0f);
    EXPECT_FLOAT_EQ(v[3 * last + 2], 1.0f);
  }
  for (int i = 0; i < 25; ++i) {
    const float dx = v[3 * i] - 1, dy = v[3 * i + 1] - 2, dz = v[3 * i + 2] - 3;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 2.0f, 1e-5f);
  }
  EXPECT_EQ(sphere.GetBoundingElement().GetCenter(), KIVMathPointf(1, 2, 3));
  EXPECT_EQ(sphere.GetBoundingElement().GetRadius(), 2.0f);
  EXPECT_EQ(sphere.GetGPCount(), 1);

  sphere.Modify(5.0f);
  EXPECT_EQ(sphere.GetGPCount(), 1);  // the old face went
  EXPECT_EQ(sphere.GetCenter(), KIVMathPointf(1, 2, 3));
  EXPECT_EQ(sphere.GetBoundingElement().GetRadius(), 5.0f);
  sphere.Modify(KIVMathPointf(0, 0, 0), 1.0f);
  EXPECT_EQ(sphere.GetBoundingElement().GetCenter(), KIVMathPointf(0, 0, 0));

  Nav3DSimpleSphereRep none(KIVMathPointf(0, 0, 0), 1.0f, 0);
  EXPECT_EQ(none.GetFace(), nullptr);
  EXPECT_EQ(none.GetGPCount(), 0);
  EXPECT_EQ(none.GetBoundingElement().GetRadius(), 1.0f);
}

TEST(SphereRep, HidingRefreshesTheParentsAndStopsDrawing) {
  auto* sphere = new Nav3DSimpleSphereRep(KIVMathPointf(10, 0, 0), 1.0f, 6);
  auto* other = new Nav3DSimpleSphereRep(KIVMathPointf(0, 0, 0), 1.0f, 6);
  KIV3DBagRep parent;
  parent.AddChild(sphere);
  parent.AddChild(other);
  KIV3DBagRep top;
  top.AddChild(&parent);
  EXPECT_GT(top.GetBoundingElement().GetRadius(), 5.0f);
  RecordingRender render;
  render.Traverse(top);
  EXPECT_EQ(render.faces, 2);

  sphere->SetShowMode(3);  // bit 1 hides
  EXPECT_EQ(sphere->GetShowMode(), 1);
  EXPECT_NEAR(parent.GetBoundingElement().GetRadius(), 1.0f, 1e-4f);
  EXPECT_NEAR(top.GetBoundingElement().GetRadius(), 1.0f, 1e-4f);
  render.faces = 0;
  render.Traverse(top);
  EXPECT_EQ(render.faces, 1);
  sphere->SetShowMode(0);
  EXPECT_GT(top.GetBoundingElement().GetRadius(), 5.0f);

  render.faces = 0;
  render.ResetCounts();
  render.SetViewModeBits(0);  // not shaded: the sphere draws nothing
  render.Traverse(top);
  EXPECT_EQ(render.faces, 0);
  EXPECT_EQ(render.GetDrawnLeafCount(), 2);  // yet both passed the culling test
  parent.RemoveChild(sphere);
  parent.RemoveChild(other);
  delete sphere;
  delete other;
}

TEST(Manipulator, StylesAndDrags) {
  KIVCommand father;
  Nav3DManipulator m(&father, KIVString("handle"), nullptr, KIV3DManipulator::TranslateFree,
                     KIV3DManipulator::TranslateInPlane);
  EXPECT_EQ(m.GetManipulatorStype(0), KIV3DManipulator::TranslateInPlane);
  EXPECT_EQ(m.GetManipulatorStype(1), KIV3DManipulator::TranslateFree);
  EXPECT_EQ(m.GetManipulatorStype(7), KIV3DManipulator::TranslateFree);
  EXPECT_EQ(m.GetDragMode(), 1);
  EXPECT_EQ(m.GetName(), KIVString("handle"));
  EXPECT_EQ(m.GetCurrentStyle(), KIV3DManipulator::NoManipulation);

  // Rays from (0, 0, 10) looking down -z, towards x = 0 then x = 3 on the plane z = 0.
  const KIVRay press(KIVMathPointf(0, 0, 10), KIVMathVectorf(0, 0, -1));
  const KIVRay now(KIVMathPointf(0, 0, 10), KIVMathVectorf(0.3f, 0, -1));
  const KIV4x4Matrix start;
  const KIVMathPointf anchor(0, 0, 0);
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.Drag(KIV3DManipulator::TranslateFree, start, anchor, press, now).GetComponents(d1, d2, d3, o);
  EXPECT_NEAR(o.x, 3.0f, 1e-5f);
  EXPECT_NEAR(o.z, 0.0f, 1e-5f);
  ASSERT_EQ(m.SetTranslationDirection(KIVMathVectorf(0, 1, 0)), 1);  // across the motion
  m.Drag(KIV3DManipulator::TranslateAlongDirection, start, anchor, press, now).GetComponents(d1, d2, d3, o);
  EXPECT_NEAR(o.x, 0.0f, 1e-5f);
  EXPECT_NEAR(o.y, 0.0f, 1e-5f);
  ASSERT_EQ(m.SetRotationLine(KIVMathPointf(0, 0, 0), KIVMathVectorf(0, 0, 1)), 1);
  const KIVRay from(KIVMathPointf(0, 0, 10), KIVMathVectorf(0.1f, 0, -1));
  const KIVRay to(KIVMathPointf(0, 0, 10), KIVMathVectorf(0, 0.1f, -1));
  m.Drag(KIV3DManipulator::RotateAroundLine, start, anchor, from, to).GetComponents(d1, d2, d3, o);
  EXPECT_NEAR(d1.y, 1.0f, 1e-5f);  // a quarter turn about z
  EXPECT_EQ(m.SetTranslationPlane(KIVMathVectorf(0, 0, 0)), 0);
  EXPECT_EQ(m.Drag(KIV3DManipulator::NoManipulation, start, anchor, press, now), start);
}

}  // namespace
