#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewOptions.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "host/io/KIVPngImage.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "navigation/NavToolsVisu.h"
#include "viewer/NavViewerExtand.h"

namespace {

std::string RunScript(NavviewScript& script, const std::string& text, int* failures = nullptr) {
  std::istringstream in(text);
  std::ostringstream out;
  const int failed = script.Run(in, out);
  if (failures) *failures = failed;
  return out.str();
}

float Distance(const KIVMathPointf& a, const KIVMathPointf& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Distance from p to the line through o along unit d.
float LineDistance(const KIVMathPointf& o, const KIVMathDirectionf& d, const KIVMathPointf& p) {
  const float vx = p.x - o.x, vy = p.y - o.y, vz = p.z - o.z;
  const float t = vx * d.x + vy * d.y + vz * d.z;
  return std::sqrt(std::max(0.0f, vx * vx + vy * vy + vz * vz - t * t));
}

}  // namespace

TEST(NavviewOptions, ParsesTheCommandLineAndRefusesNonsense) {
  NavviewOptions options;
  std::string error;
  const char* good[] = {"navview", "--script", "s.nav", "--size", "640x480", "--units", "3", "a.obj", "b.glb"};
  ASSERT_EQ(options.Parse(9, good, &error), 1) << error;
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.script, "s.nav");
  EXPECT_EQ(options.width, 640);
  EXPECT_EQ(options.height, 480);
  EXPECT_EQ(options.units, 3);
  EXPECT_EQ(options.files, (std::vector<std::string>{"a.obj", "b.glb"}));
  EXPECT_EQ(options.up, 0);
  for (const char* axis : {"y", "Y"}) {
    NavviewOptions o;
    const char* up[] = {"navview", "--up", axis};
    ASSERT_EQ(o.Parse(3, up, &error), 1) << error;
    EXPECT_EQ(o.up, 'y');
  }
  for (std::vector<const char*> bad : {std::vector<const char*>{"navview", "--size", "640"},
                                       {"navview", "--size", "0x10"}, {"navview", "--size", "10x10x"},
                                       {"navview", "--units", "0"}, {"navview", "--units", "7z"},
                                       {"navview", "--script"}, {"navview", "--frobnicate"},
                                       {"navview", "--up"}, {"navview", "--up", "w"}, {"navview", "--up", "xy"}}) {
    NavviewOptions o;
    EXPECT_EQ(o.Parse(static_cast<int>(bad.size()), bad.data(), &error), 0) << bad[1];
    EXPECT_FALSE(error.empty());
  }
}

TEST(NavviewPlant, EveryModelIsNamedOnceAndFacesPointTheWayTheirNormalsDo) {
  NavviewScene scene;
  const int models = BuiltinPlant::Build(scene, 2);
  EXPECT_EQ(models, 4 * BuiltinPlant::ModelsPerUnit());
  EXPECT_EQ(scene.GetModelCount(), models);
  std::set<std::string> names;
  long long triangles = 0;
  int wrongWinding = 0;
  for (KIVRep* unit : scene.GetRoot()->GetChildren())
    for (KIVRep* model : unit->GetChildren()) {
      ASSERT_TRUE(scene.IsModel(model));
      ASSERT_NE(scene.GetName(model), nullptr);
      names.insert(scene.GetName(model));
      for (KIVRep* leaf : model->GetChildren()) {
        auto* custom = dynamic_cast<KIV3DCustomRep*>(leaf);
        ASSERT_NE(custom, nullptr);
        triangles += custom->GetTriangleCount(0);
        auto* face = dynamic_cast<KIV3DFaceGP*>(custom->GetGP(0));
        ASSERT_NE(face, nullptr);
        const auto& v = face->GetVertices();
        const auto& n = face->GetNormals();
        const auto& t = face->GetTriangles();
        ASSERT_EQ(n.size(), v.size());
        // Shading and back-face culling need the winding to agree with the normals.
        for (size_t i = 0; i + 2 < t.size(); i += 3) {
          const float* a = &v[3 * t[i]];
          const float* b = &v[3 * t[i + 1]];
          const float* c = &v[3 * t[i + 2]];
          const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
          const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                  e1[0] * e2[1] - e1[1] * e2[0]};
          const float* na = &n[3 * t[i]];
          if (cross[0] * na[0] + cross[1] * na[1] + cross[2] * na[2] <= 0.0f) ++wrongWinding;
        }
      }
    }
  EXPECT_EQ(static_cast<int>(names.size()), models);
  EXPECT_EQ(wrongWinding, 0);
  EXPECT_EQ(scene.CountTriangles(), triangles);
  EXPECT_GT(triangles, 0);
}

class NavviewSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    session.StartGraphics(&error);  // without a device the capture test says so and skips
    session.LoadBuiltin(2);
    session.Show();
  }
  NavviewSession session{320, 200};
  NavviewScript script{session};
};

TEST_F(NavviewSessionTest, ScriptEchoesEveryCommandAndGoesOnAfterABadOne) {
  int failures = 0;
  const std::string out = RunScript(script, "# comment\n\nbogus\nview sideways\nmouse press 1\nstats\nquit\nstats\n", &failures);
  EXPECT_EQ(failures, 3);
  EXPECT_NE(out.find("> bogus\nerror: unknown command"), std::string::npos) << out;
  EXPECT_NE(out.find("> view sideways\nerror: unknown view 'sideways'"), std::string::npos) << out;
  EXPECT_NE(out.find("error: usage: mouse"), std::string::npos) << out;
  EXPECT_NE(out.find("> stats\nmodels " + std::to_string(4 * BuiltinPlant::ModelsPerUnit())), std::string::npos)
      << out;
  // Nothing runs after quit.
  EXPECT_EQ(out.find("> stats", out.find("> quit")), std::string::npos) << out;
  EXPECT_EQ(out.find("comment"), std::string::npos);
}

TEST_F(NavviewSessionTest, StandardViewsLookAtTheShownSceneFromTheirSide) {
  NavViewerExtand& viewer = session.GetViewer();
  KIVRepPath path;
  int found = 0;
  const KIV3DBoundingSphere sphere = NavToolsVisu::GetBoundingSphereShow(
      static_cast<KIV3DRep*>(viewer.GetRootRep(NavViewerExtand::kOfficialRoot)), path, found);
  ASSERT_EQ(found, 1);
  const KIVMathPointf centre = sphere.GetCenter();
  struct Case {
    const char* name;
    KIVMathDirectionf sight;
  } cases[] = {{"top", {0, 0, -1}}, {"front", {0, 1, 0}}, {"left", {1, 0, 0}}, {"iso", {-1, 1, -1}}};
  for (const Case& c : cases) {
    RunScript(script, std::string("view ") + c.name + "\n");
    const KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    const KIVMathDirectionf sight = vp->GetSightDirection();
    EXPECT_NEAR(sight.x * c.sight.x + sight.y * c.sight.y + sight.z * c.sight.z, 1.0f, 1e-4f) << c.name;
    EXPECT_LT(LineDistance(vp->GetOrigin(), sight, centre), 1e-3f * sphere.GetRadius()) << c.name;
    EXPECT_LT(Distance(vp->GetTarget(), centre), 1e-3f * sphere.GetRadius()) << c.name;
    EXPECT_GT(Distance(vp->GetOrigin(), centre), sphere.GetRadius()) << c.name;  // outside the scene
  }
}

TEST_F(NavviewSessionTest, PickNamesTheModelAndMovesItsBag) {
  RunScript(script, "view top\n");
  NavViewerExtand& viewer = session.GetViewer();
  KIVPickPathList paths;
  int found = 0;
  // Somewhere on a grid over the view there are models.
  for (int y = 20; y < 200 && !found; y += 20)
    for (int x = 20; x < 320 && !found; x += 20) found = viewer.Pick(x, y, paths);
  ASSERT_GT(found, 0);
  KIVRepPath* path = paths.GetPath(0);
  NavInterfaceInfoRep* info = viewer.GetInterfaceInfoRep();
  ASSERT_NE(info, nullptr);
  KIVRep* model = info->GetRepOfModel(path);
  ASSERT_TRUE(session.GetScene().IsModel(model));
  EXPECT_EQ(std::string(info->GetNameOfRep(path)).rfind("U0", 0), 0u);
  EXPECT_EQ(info->GetCurrentObjectMoveRep(path), model);
  EXPECT_STREQ(info->GetNameOfRep(static_cast<KIVRep*>(nullptr)), nullptr);
}

TEST_F(NavviewSessionTest, ExamineDragTurnsAboutTheTarget) {
  RunScript(script, "view iso\nstyle examine\n");
  const KIV3DViewpoint* vp = session.GetViewer().GetMain3DViewpoint();
  const KIVMathPointf target = vp->GetTarget(), eye = vp->GetOrigin();
  int failures = 0;
  RunScript(script, "mouse press 160 100 1\nmouse move 200 100 1\nmouse move 240 110 1\nmouse release 240 110 1\n", &failures);
  EXPECT_EQ(failures, 0);
  EXPECT_GT(Distance(vp->GetOrigin(), eye), 1.0f);
  EXPECT_LT(Distance(vp->GetTarget(), target), 1e-2f * Distance(eye, target));
  EXPECT_NEAR(Distance(vp->GetOrigin(), target), Distance(eye, target), 1e-3f * Distance(eye, target));
}

TEST_F(NavviewSessionTest, CaptureWritesTheAskedSizeOrSaysWhy) {
  const std::string path = (std::filesystem::temp_directory_path() / "navview_capture_test.png").string();
  std::filesystem::remove(path);
  bool quit = false, failed = false;
  const std::string bad = script.Execute("capture /nonexistent-dir/x.png 64 48", quit, failed);
  EXPECT_TRUE(failed);
  EXPECT_NE(bad.find("x.png"), std::string::npos);
  const std::string result = script.Execute("capture " + path + " 96 64", quit, failed);
  if (!session.GetGraphics().IsStarted()) {
    EXPECT_TRUE(failed);
    EXPECT_FALSE(std::filesystem::exists(path));
    GTEST_SKIP() << "no OpenGL here: " << result;
  }
  ASSERT_FALSE(failed) << result;
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
  std::string error;
  ASSERT_EQ(KIVPngImage::Read(path.c_str(), w, h, rgba, &error), 1) << error;
  EXPECT_EQ(w, 96);
  EXPECT_EQ(h, 64);
  // The plant fills part of the view: not every pixel is the background.
  std::set<unsigned> colours;
  for (size_t i = 0; i < rgba.size(); i += 4) colours.insert(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
  EXPECT_GT(colours.size(), 4u);
  std::filesystem::remove(path);
}
