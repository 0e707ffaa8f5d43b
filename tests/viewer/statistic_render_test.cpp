#include <gtest/gtest.h>

#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "viewer/KIVNavStatisticRender.h"

namespace {
std::vector<float> Grid(int n) {
  std::vector<float> v;
  for (int i = 0; i < n; ++i) v.insert(v.end(), {static_cast<float>(i % 4), static_cast<float>(i / 4), 0.0f});
  return v;
}
}  // namespace

TEST(StatisticRender, CountsTrianglesStripsAndFansOfFacesOnly) {
  const std::vector<float> v = Grid(16);
  std::vector<int> t;
  for (int i = 0; i < 5; ++i) t.insert(t.end(), {0, 1, 4});
  auto* face = new KIV3DFaceGP(v.data(), static_cast<int>(v.size()), nullptr, t.data(), 5);
  const int strip4[4] = {0, 1, 4, 5}, strip6[6] = {1, 2, 5, 6, 9, 10}, fan5[5] = {5, 4, 8, 9, 10}, strip2[2] = {0, 1};
  ASSERT_EQ(face->AddStrip(strip4, 4), 1);
  ASSERT_EQ(face->AddStrip(strip6, 6), 1);
  ASSERT_EQ(face->AddFan(fan5, 5), 1);
  face->AddStrip(strip2, 2);  // adds nothing, whether kept or refused

  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(face);
  leaf->AddGP(new KIV3DMarkerGP(v.data(), 6));
  leaf->AddGP(new KIV3DLineGP(v.data(), 6));
  const int planar[3] = {0, 1, 4};
  leaf->AddGP(new KIV3DPlanarFaceGP(v.data(), 48, planar, 1, KIVMathDirectionf(0, 0, 1)));
  // A coarser level is never counted: the statistic takes the finest.
  const int one[3] = {0, 1, 2};
  leaf->AddGP(new KIV3DFaceGP(v.data(), 9, nullptr, one, 1), 1);
  leaf->SetLODSag(1, 100.0f);

  auto* root = new KIV3DBagRep;
  auto* far = new KIV3DBagRep;  // behind the camera and tiny: a base render would cull it
  KIV4x4Matrix away;
  away.Set(3, 0, 0.0f), away.Set(3, 1, -1e6f);
  far->SetMatrix(away);
  auto* cylinderLeaf = new KIV3DCustomRep;
  auto* cylinder = new KIV3DCylinderGP;
  cylinderLeaf->AddGP(cylinder);
  far->AddChild(cylinderLeaf);
  root->AddChild(leaf);
  root->AddChild(far);

  KIV3DViewpoint camera;
  camera.SetPosition(KIVMathPointf(0, -10, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  KIVNavStatisticRender render(KIVSupport(100, 100));
  render.SetCamera(&camera);
  root->DrawShading(render, 1);
  EXPECT_EQ(render.GetSceneSize(), 5 + 2 + 4 + 3 + 1 + cylinder->GetTriangleCount(0));
  // It keeps counting until it is made anew.
  root->DrawShading(render, 1);
  EXPECT_EQ(render.GetSceneSize(), 2 * (15 + cylinder->GetTriangleCount(0)));
  root->Destroy();
}

TEST(StatisticRender, APlanarFaceGoesThroughTheRendersOwnDraw3DFace) {
  // A render built on this one, that follows the faces it is given.
  struct Watching : KIVNavStatisticRender {
    using KIVNavStatisticRender::KIVNavStatisticRender;
    void Draw3DFace(KIV3DFaceGP& face) override {
      ++faces;
      KIVNavStatisticRender::Draw3DFace(face);
    }
    int faces = 0;
  };
  const std::vector<float> v = Grid(4);
  const int planar[6] = {0, 1, 2, 1, 3, 2};
  KIV3DPlanarFaceGP face(v.data(), 12, planar, 2, KIVMathDirectionf(0, 0, 1));
  Watching render(KIVSupport(100, 100));
  face.Draw(render);
  EXPECT_EQ(render.faces, 1);
  EXPECT_EQ(render.GetSceneSize(), 2);  // counted once
}
