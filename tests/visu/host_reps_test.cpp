// The host reps: ground grid and its translator, axis, frame-time gauge, dashboard.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/visu/reps/KIV2DDashboardRep.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/reps/KIV3DAxisRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/reps/KIV3DGroundTranslator.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/reps/KIVGaugeRep.h"
#include "host/visu/reps/KIVGroundRep.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/view/KIVRender.h"

namespace {

constexpr int L = KIVMouseEvent::ButtonLeft;

const KIV3DLineGP* GridLines(const KIVGroundRep& ground) {
  for (int i = 0; i < ground.GetGPCount(); ++i)
    if (auto* lines = dynamic_cast<const KIV3DLineGP*>(ground.GetGP(i))) return lines;
  return nullptr;
}
const KIV3DPolylineGP* Border(const KIVGroundRep& ground) {
  for (int i = 0; i < ground.GetGPCount(); ++i)
    if (auto* border = dynamic_cast<const KIV3DPolylineGP*>(ground.GetGP(i))) return border;
  return nullptr;
}

// A viewer looking down at the world origin from 50 units away.
void LookAtOrigin(KIV3DViewer& viewer) {
  const KIVMathPointf eye(0.0f, -40.0f, 30.0f);
  const KIVMathDirectionf sight = KIVMathPointf() - eye;
  viewer.GetMain3DViewpoint()->SetPosition(eye, sight, KIVMathDirectionf(0.0f, 0.0f, 1.0f));
}

TEST(HostGround, SitsAtTheSphereBottomOrWhereItWasRemembered) {
  KIVGroundRep bottom(KIVMathPointf(1, 2, 5), KIVMathDirectionf(0, 0, 1), 5.0f, 1, 0, 0, 0, 1);
  EXPECT_EQ(bottom.GetOrigin(), KIVMathPointf(1, 2, 0));
  EXPECT_FLOAT_EQ(bottom.GetSide(), 12.5f);
  ASSERT_TRUE(GridLines(bottom));
  EXPECT_EQ(GridLines(bottom)->GetSegmentCount(), 2 * (KIVGroundRep::kCells + 1));
  ASSERT_TRUE(Border(bottom));
  EXPECT_EQ(Border(bottom)->GetVertexCount(), 4);
  // The sphere holds the square's corners and no more than its half diagonal.
  const KIV3DBoundingSphere& sphere = bottom.GetBoundingElement();
  EXPECT_TRUE(sphere.IsInside(KIVMathPointf(1 - 6.25f, 2 - 6.25f, 0)));
  EXPECT_TRUE(sphere.IsInside(KIVMathPointf(1 + 6.25f, 2 + 6.25f, 0)));
  EXPECT_LE(sphere.GetRadius(), 6.25f * std::sqrt(2.0f) * 1.01f);
  // Not pickable without its translator.
  EXPECT_TRUE(bottom.GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::NotPickable));

  KIVGroundRep remembered(KIVMathPointf(1, 2, 5), KIVMathDirectionf(0, 0, 1), 5.0f, 0, 1, 0, 0, 0);
  EXPECT_EQ(remembered.GetOrigin(), KIVMathPointf(1, 2, 5));
  EXPECT_EQ(GridLines(remembered)->GetSegmentCount(), 0);  // grid off
  EXPECT_EQ(Border(remembered)->GetVertexCount(), 0);      // no outline
  EXPECT_FALSE(remembered.GetBoundingElement().IsEmpty());  // still the square's size

  // Bad input falls back to usable values.
  KIVGroundRep odd(KIVMathPointf(NAN, 0, 0), KIVMathDirectionf(), -3.0f, 1, 1, 0, 0, 1);
  EXPECT_EQ(odd.GetOrigin(), KIVMathPointf());
  EXPECT_EQ(odd.GetVertical(), KIVMathDirectionf(0, 0, 1));
  EXPECT_FLOAT_EQ(odd.GetRadius(), 1.0f);
}

TEST(HostGround, GridFollowsTheVertical) {
  KIVGroundRep ground(KIVMathPointf(0, 0, 5), KIVMathDirectionf(0, 0, 1), 5.0f, 1, 0, 0, 0, 1);
  const KIVMathDirectionf vertical(1.0f, 0.0f, 1.0f);
  ground.SetVertical(vertical);
  // At the bottom of its sphere for the new vertical.
  const KIVMathPointf origin = KIVMathPointf(0, 0, 5) - vertical * 5.0f;
  EXPECT_NEAR(ground.GetOrigin().DistanceTo(origin), 0.0f, 1e-5f);
  const std::vector<float>& points = GridLines(ground)->GetPoints();
  ASSERT_EQ(points.size(), 6u * 2 * (KIVGroundRep::kCells + 1));
  float reach = 0.0f;
  for (size_t i = 0; i < points.size(); i += 3) {
    const KIVMathVectorf d = KIVMathPointf(points[i], points[i + 1], points[i + 2]) - origin;
    EXPECT_NEAR(d * vertical, 0.0f, 1e-4f);
    reach = std::max(reach, d.Norm());
  }
  EXPECT_NEAR(reach, 6.25f * std::sqrt(2.0f), 1e-3f);
  EXPECT_TRUE(ground.GetBoundingElement().IsInside(origin));
  ground.SetVertical(KIVMathDirectionf());  // refused
  EXPECT_NEAR((KIVMathVectorf(ground.GetVertical()) - vertical).Norm(), 0.0f, 1e-6f);

  // A moved ground keeps its origin when the vertical turns.
  ground.SetOrigin(KIVMathPointf(3, 3, 3));
  ground.SetVertical(KIVMathDirectionf(0, 1, 0));
  EXPECT_EQ(ground.GetOrigin(), KIVMathPointf(3, 3, 3));
  EXPECT_NEAR(GridLines(ground)->GetPoints()[1], 3.0f, 1e-5f);
}

TEST(HostGround, TranslatorDragsTheGroundUpAndTheMovedOriginSurvivesSwitchingOff) {
  KIV3DViewer viewer(400, 300);
  LookAtOrigin(viewer);
  auto* ground = new KIVGroundRep(KIVMathPointf(0, 0, 5), KIVMathDirectionf(0, 0, 1), 5.0f, 1, 0, 0, 0, 1);
  viewer.GetMain3DViewpoint()->AddRep(ground);
  KIVPickPathList paths;
  EXPECT_EQ(viewer.Pick(200, 150, paths), 0);  // lines only: nothing to pick

  auto* translator = new KIV3DGroundTranslator(&viewer, "GroundManipulator", ground);
  EXPECT_EQ(ground->GetManipulator(), translator);
  EXPECT_EQ(translator->GetDragMode(), 1);
  ASSERT_EQ(viewer.Pick(200, 150, paths), 1);
  const float distance = paths.GetPath(0)->GetDistance();
  EXPECT_NEAR(distance, 50.0f, 0.5f);

  std::vector<std::string> heard;
  for (const char* kind : {KIVManipulator::GetKIVBeginManipulate(), KIVManipulator::GetKIVManipulate(),
                           KIVManipulator::GetKIVEndManipulate()})
    viewer.AddAnalyseNotificationCB(translator, nullptr, kind,
                                    [&heard](KIVCommand*, KIVNotification* n, void*) { heard.push_back(n->IsA()); },
                                    nullptr);

  viewer.UserMousePress(200, 150, L, 0);
  viewer.UserMouseMove(200, 140, L, 0);
  viewer.UserMouseMove(200, 130, L, 0);  // 20 pixels up
  ASSERT_TRUE(translator->GetRepFurtive());
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetReps().size(), 2u);  // the marker shows during the drag
  viewer.UserMouseRelease(200, 130, L, 0);
  EXPECT_FALSE(translator->GetRepFurtive());
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetReps().size(), 1u);
  ASSERT_GE(heard.size(), 3u);
  EXPECT_EQ(heard.front(), "KIVBeginManipulateNotification");
  EXPECT_EQ(heard.back(), "KIVEndManipulateNotification");

  const float expected = KIV3DGroundTranslator::HeightForPixels(viewer, distance, 20.0f);
  EXPECT_NEAR(expected, 20.0f * 2.0f * 50.0f * std::tan(22.5f * 0.017453292f) / 300.0f, 0.05f);
  const KIVMathPointf moved = translator->GetNewOrigin();
  EXPECT_NEAR(moved.x, 0.0f, 1e-5f);
  EXPECT_NEAR(moved.y, 0.0f, 1e-5f);
  EXPECT_NEAR(moved.z, expected, 1e-4f);
  EXPECT_EQ(ground->GetOrigin(), moved);
  EXPECT_FALSE(ground->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Selected));  // no click toggle

  // Off: remember the moved origin, then delete translator and ground.
  const KIVMathPointf remembered = translator->GetNewOrigin();
  translator->RemoveRepFurtive(&viewer);
  viewer.GetMain3DViewpoint()->RemoveRep(ground);
  delete translator;
  EXPECT_EQ(ground->GetManipulator(), nullptr);
  EXPECT_TRUE(ground->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::NotPickable));
  delete ground;

  // On again at the remembered origin.
  KIVGroundRep again(remembered, viewer.GetVertical(), 5.0f, 1, 1, 0, 0, 1);
  EXPECT_EQ(again.GetOrigin(), remembered);
}

TEST(HostGround, TranslatorOutlivingItsGroundIsHarmless) {
  KIV3DViewer viewer(200, 200);
  auto* ground = new KIVGroundRep(KIVMathPointf(0, 0, 2), KIVMathDirectionf(0, 0, 1), 2.0f, 1, 0, 0, 0, 1);
  KIV3DGroundTranslator translator(&viewer, "GroundManipulator", ground);
  const KIVMathPointf origin = ground->GetOrigin();
  delete ground;
  EXPECT_EQ(translator.GetGround(), nullptr);
  EXPECT_EQ(translator.GetNewOrigin(), origin);
  translator.RemoveRepFurtive(&viewer);
  KIV3DGroundTranslator none(nullptr, "Nothing", nullptr);
  EXPECT_EQ(none.GetNewOrigin(), KIVMathPointf());
}

TEST(HostAxis, ThreeColouredArrowsThatAnIndexOnTheAxisLeavesAlone) {
  auto* axis = new KIV3DAxisRep(KIV4x4Matrix(), 30, 5);
  KIVGraphicAttributeSet look = axis->GetGraphicAttributeSet();
  look.SetColorIndex(249);
  axis->SetGraphicAttributeSet(look);
  ASSERT_EQ(axis->GetChildren().size(), 3u);
  const char* letters[3] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) {
    KIV3DCustomRep* arrow = axis->GetArrow(i);
    ASSERT_TRUE(arrow);
    const KIVGraphicAttributeSet& a = arrow->GetGraphicAttributeSet();
    EXPECT_EQ(a.GetColorIndex(), KIVGraphicAttributeSet::ColorRGBA);
    EXPECT_GT(a.bytes[4 + i], 150);  // red, green, blue in turn
    int lines = 0, triangles = 0;
    std::string text;
    for (int k = 0; k < arrow->GetGPCount(); ++k) {
      KIVGraphicPrimitive* gp = arrow->GetGP(k);
      if (dynamic_cast<KIV3DLineGP*>(gp)) ++lines;
      triangles += gp->GetTriangleCount();
      if (auto* label = dynamic_cast<KIV3DAnnotationTextGP*>(gp)) text = label->GetText();
    }
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(triangles, 12);
    EXPECT_EQ(text, letters[i]);
    // The tip reaches the length along its own axis.
    KIVMathPointf tip;
    tip[i] = 30.0f;
    EXPECT_TRUE(arrow->GetBoundingElement().IsInside(tip));
  }
  EXPECT_EQ(axis->GetMatrix(), nullptr);
  KIV4x4Matrix placed;
  placed.Set(3, 0, 100.0f);
  axis->Modify(placed, 10, 50);  // head larger than the arrow: a fifth of it
  EXPECT_FLOAT_EQ(axis->GetHeadSize(), 2.0f);
  ASSERT_TRUE(axis->GetMatrix());
  EXPECT_NEAR(axis->GetBoundingElement().GetCenter().x, 100.0f, 10.0f);
  delete axis;  // the sanitizer build checks that the arrows went with it

  // Destroy through a parent takes the arrows first, then the axis.
  auto* root = new KIV3DBagRep;
  root->AddChild(new KIV3DAxisRep(KIV4x4Matrix(), 1, 0.2f));
  root->Destroy();
}

// Records where texts land, in the frame the render is in when it draws them.
class TextRender : public KIVRender {
 public:
  using KIVRender::KIVRender;
  void Draw3DAnnotationText(KIV3DAnnotationTextGP& gp) override {
    texts.push_back(gp.GetText());
    at.push_back(GetCurrentMatrix().TransformPoint(gp.GetAnchor()));
  }
  std::vector<std::string> texts;
  std::vector<KIVMathPointf> at;
};

TEST(HostGauge, KeepsItsDurationsAndAShortHistory) {
  KIVGaugeRep gauge;
  const float durations[3] = {0.0123f, 0.008f, 0.0166f};
  gauge.SetDuration(durations);
  float back[3];
  gauge.GetDuration(back);
  EXPECT_EQ(back[0], 0.0123f);
  EXPECT_EQ(back[1], 0.008f);
  EXPECT_EQ(back[2], 0.0166f);
  EXPECT_EQ(gauge.GetText(0), "12.3 ms  81 fps");
  EXPECT_EQ(gauge.GetText(2), "traversal 8.0  interval 16.6 ms");
  for (int i = 0; i < 100; ++i) {
    const float d[3] = {0.001f * (i % 10 + 1), 0.0f, 0.0f};
    gauge.SetDuration(d);
  }
  EXPECT_EQ(gauge.GetHistoryCount(), KIVGaugeRep::kHistory);
  float lo, avg, hi;
  ASSERT_EQ(gauge.GetStatistics(lo, avg, hi), 1);
  EXPECT_FLOAT_EQ(lo, 0.001f);
  EXPECT_FLOAT_EQ(hi, 0.010f);
  EXPECT_NEAR(avg, 0.0055f, 1e-6f);
  EXPECT_EQ(gauge.GetText(1), "min 1.0  avg 5.5  max 10.0 ms");

  const float bad[3] = {NAN, -1.0f, INFINITY};
  gauge.SetDuration(bad);
  gauge.SetDuration(nullptr);
  gauge.GetDuration(back);
  EXPECT_EQ(back[0], 0.0f);
  EXPECT_EQ(back[2], 0.0f);
  EXPECT_EQ(gauge.GetText(0), "0.0 ms");

  // Drawn as an overlay: in the top-left corner of the render's window (centre origin, y up).
  TextRender render(KIVSupport(800, 600));
  render.Traverse(gauge);
  ASSERT_EQ(render.at.size(), 3u);
  for (const KIVMathPointf& p : render.at) {
    EXPECT_LT(p.x, -400.0f + KIVGaugeRep::kMargin + KIVGaugeRep::kWidth);
    EXPECT_GT(p.x, -400.0f);
    EXPECT_GT(p.y, 300.0f - KIVGaugeRep::kMargin - KIVGaugeRep::kHeight);
    EXPECT_LT(p.y, 300.0f);
  }
}

TEST(HostDashboard, HeadingFromNorthTowardsEast) {
  KIV2DDashboardRep dash;
  dash.SetVerticalAndNorth(KIVMathDirectionf(0, 0, 1), KIVMathDirectionf(0, 1, 0));
  KIV3DViewpoint vp;
  vp.SetPosition(KIVMathPointf(0, 0, 15), KIVMathDirectionf(1, 0, -0.3f), KIVMathDirectionf(0, 0, 1));
  dash.SetViewpoint(vp);
  EXPECT_NEAR(dash.GetHeading(), 90.0f, 1e-3f);
  EXPECT_EQ(dash.GetText(0), "N 090\xC2\xB0");
  vp.SetPosition(KIVMathPointf(0, 0, 15), KIVMathDirectionf(-1, 1, 0), KIVMathDirectionf(0, 0, 1));
  dash.SetViewpoint(vp);
  EXPECT_NEAR(dash.GetHeading(), 315.0f, 1e-3f);
  vp.SetPosition(KIVMathPointf(0, 0, 15), KIVMathDirectionf(0, 0, -1), KIVMathDirectionf(0, 1, 0));
  dash.SetViewpoint(vp);
  EXPECT_EQ(dash.GetHeading(), -1.0f);  // looking straight down: no heading
  EXPECT_EQ(dash.GetText(0), "N ---");

  // Another frame: y up, north along -z; a sight along +x is then east... or west.
  dash.SetVerticalAndNorth(KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, -1));
  vp.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 1, 0));
  dash.SetViewpoint(vp);
  EXPECT_NEAR(dash.GetHeading(), 90.0f, 1e-3f);  // east = north × vertical = (1, 0, 0)

  dash.SetVerticalAndNorth(KIVMathDirectionf(0, 0, 1), KIVMathDirectionf(0, 1, 0));
  dash.SetBoundingSphere(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 10.0f));
  vp.SetPosition(KIVMathPointf(0, -5, 15), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  dash.SetViewpoint(vp);
  EXPECT_FLOAT_EQ(dash.GetAltitude(), 25.0f);
  EXPECT_EQ(dash.GetText(1), "Height 25");
  dash.SetSpeeds(KIVMathVectorf(3, 4, 0), KIVMathVectorf(0, 0, 0.5f));
  EXPECT_EQ(dash.GetText(2), "Speed 5  Turn 0.5");
  dash.SetGraphicSize(0, 300);
  int w = 0, h = 0;
  dash.GetGraphicSize(w, h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 300);

  // Bottom-right corner of the render's window.
  TextRender render(KIVSupport(800, 600));
  render.Traverse(dash);
  ASSERT_FALSE(render.at.empty());
  for (const KIVMathPointf& p : render.at) {
    EXPECT_GT(p.x, 0.0f);
    EXPECT_LT(p.x, 400.0f);
    EXPECT_LT(p.y, 0.0f);
    EXPECT_GT(p.y, -300.0f);
  }
}

}  // namespace
