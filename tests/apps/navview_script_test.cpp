// navview's script commands end to end on a small plant, headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  std::string text;
  bool failed = false;
};

class NavviewScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    session.StartGraphics(&error);
    session.LoadBuiltin(1);
    session.Show();
    dir = fs::temp_directory_path() / ("navview_script_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  Result Do(const std::string& line) {
    Result r;
    bool quit = false;
    r.text = script.Execute(line, quit, r.failed);
    return r;
  }
  // The models under the plant, in the order list prints them.
  std::vector<KIVRep*> Models() {
    std::vector<KIVRep*> models;
    for (KIVRep* unit : session.GetScene().GetRoot()->GetChildren())
      for (KIVRep* model : unit->GetChildren())
        if (session.GetScene().IsModel(model)) models.push_back(model);
    return models;
  }
  std::string Name(KIVRep* rep) { return session.GetScene().GetName(rep); }

  NavviewSession session{320, 200};
  NavviewScript script{session};
  fs::path dir;
};

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(NavviewScriptTest, WordsACommandDoesNotTakeAreRefusedAndTheScriptGoesOn) {
  for (const char* line : {"reframe now", "stats please", "list all", "draw 1", "help me", "view top now",
                           "edges on off", "export vrml a.wrl b", "camera 1 2 3 4 5 6 7 8 9 10",
                           "pump 1 2", "state axis on now", "open a.obj b.obj", "quit now"}) {
    const Result r = Do(line);
    EXPECT_TRUE(r.failed) << line;
    EXPECT_NE(r.text.find("unexpected"), std::string::npos) << line << ": " << r.text;
    EXPECT_NE(r.text.find("usage: "), std::string::npos) << line << ": " << r.text;
  }
  // Too few or wrong words say the usage too.
  for (const char* line : {"camera 1 2", "export obj a.wrl", "hide", "edges maybe", "mouse press 1 2"}) {
    const Result r = Do(line);
    EXPECT_TRUE(r.failed) << line;
    EXPECT_EQ(r.text.rfind("usage: ", 0), 0u) << line << ": " << r.text;
  }
  std::istringstream in("quit now\nreframe\nquit\nstats\n");
  std::ostringstream out;
  EXPECT_EQ(script.Run(in, out), 1);
  EXPECT_NE(out.str().find("> reframe\nok"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().find("> stats"), std::string::npos) << out.str();

  const std::string help = Do("help").text;
  for (const char* command : {"open FILE", "list", "select", "hide NAME", "show NAME|all", "isolate NAME",
                              "edges on|off", "export vrml FILE", "camera [X Y Z TX TY TZ [UPX UPY UPZ]]"})
    EXPECT_NE(help.find(std::string("\n") + command), std::string::npos) << command;
}

TEST_F(NavviewScriptTest, CameraPutsEyeTargetAndUpOrRefusesAndKeepsIt) {
  const KIV3DViewpoint* vp = session.GetViewer().GetMain3DViewpoint();
  Result r = Do("camera 10 0 5 0 0 5");
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text, "eye 10.000 0.000 5.000 target 0.000 0.000 5.000 up 0.000 0.000 1.000");
  EXPECT_NEAR(vp->GetTarget().x, 0.0f, 1e-4f);
  EXPECT_NEAR(vp->GetFocusDistance(), 10.0f, 1e-4f);

  // Looking straight down, the default up cannot be the vertical.
  r = Do("camera 0 0 20 0 0 0");
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_NEAR(vp->GetSightDirection().z, -1.0f, 1e-5f);
  EXPECT_NEAR(vp->GetUpDirection() * vp->GetSightDirection(), 0.0f, 1e-5f);

  r = Do("camera 0 -8 0 0 0 0 1 0 0");
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_NEAR(vp->GetUpDirection().x, 1.0f, 1e-5f);
  EXPECT_EQ(Do("camera").text, r.text);

  for (const char* bad : {"camera 1 1 1 1 1 1", "camera 0 -8 0 0 0 0 0 1 0", "camera 0 -8 0 0 0 0 0 0 0",
                          "camera 0 -8 zero 0 0 0", "camera 0 -8 0 0 0 nan"}) {
    r = Do(bad);
    EXPECT_TRUE(r.failed) << bad;
    EXPECT_NE(r.text.find("camera"), std::string::npos) << bad << ": " << r.text;
    EXPECT_NEAR(vp->GetUpDirection().x, 1.0f, 1e-5f) << bad;
    EXPECT_NEAR(vp->GetOrigin().y, -8.0f, 1e-5f) << bad;
  }
}

TEST_F(NavviewScriptTest, MousePressAndReleaseSayWhatIsUnderThePointer) {
  Do("view top");
  NavViewerExtand& viewer = session.GetViewer();
  KIVPickPathList paths;
  int x = -1, y = -1;
  for (int py = 10; py < 200 && x < 0; py += 10)
    for (int px = 10; px < 320 && x < 0; px += 10)
      if (viewer.Pick(px, py, paths)) x = px, y = py;
  ASSERT_GE(x, 0);
  const std::string name = Name(viewer.GetInterfaceInfoRep()->GetRepOfModel(paths.GetPath(0)));
  const KIVMathPointf p = paths.GetPath(0)->GetGlobalIntersection();

  const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + " 1";
  Result r = Do("mouse press" + at);
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text.rfind("picked " + name + " at ", 0), 0u) << r.text;
  std::istringstream point(r.text.substr(r.text.find(" at ") + 4));
  float px = 0, py = 0, pz = 0;
  point >> px >> py >> pz;
  EXPECT_NEAR(px, p.x, 2e-3f);
  EXPECT_NEAR(py, p.y, 2e-3f);
  EXPECT_NEAR(pz, p.z, 2e-3f);
  r = Do("mouse release" + at);
  EXPECT_EQ(r.text.rfind("picked " + name + " at ", 0), 0u) << r.text;

  // Far away from the plant there is only the background.
  Do("camera 0 0 1000 0 0 2000");
  EXPECT_EQ(Do("mouse press 160 100 1").text, "nothing picked");
  EXPECT_EQ(Do("mouse release 160 100 1").text, "nothing picked");
}

TEST_F(NavviewScriptTest, ListSelectHideShowIsolateActOnTheNamedModels) {
  const std::vector<KIVRep*> models = Models();
  ASSERT_EQ(static_cast<int>(models.size()), BuiltinPlant::ModelsPerUnit());
  const std::string list = Do("list").text;
  EXPECT_EQ(list.rfind(std::to_string(models.size()) + " models, " +
                           std::to_string(session.GetScene().CountTriangles()) + " triangles\n",
                       0),
            0u)
      << list;
  for (KIVRep* model : models) EXPECT_NE(list.find("\n  " + Name(model) + "  "), std::string::npos) << Name(model);

  KIVRep* a = models[0];
  KIVRep* b = models[1];
  EXPECT_FALSE(Do("select " + Name(a)).failed);
  EXPECT_EQ(a->GetHighlightMode(), 1);
  EXPECT_FALSE(Do("select " + Name(b)).failed);
  EXPECT_EQ(a->GetHighlightMode(), 0);  // a selection replaces the last one
  EXPECT_EQ(b->GetHighlightMode(), 1);
  const std::string listed = Do("list").text;
  const size_t line = listed.find("\n  " + Name(b) + "  ");
  ASSERT_NE(line, std::string::npos);
  const size_t end = listed.find('\n', line + 1);
  const std::string row = listed.substr(line + 1, end == std::string::npos ? end : end - line - 1);
  EXPECT_TRUE(row.ends_with("  selected")) << row;
  EXPECT_EQ(Do("select").text, "selection cleared");
  EXPECT_EQ(b->GetHighlightMode(), 0);

  EXPECT_FALSE(Do("hide " + Name(a)).failed);
  EXPECT_EQ(a->GetShowMode(), 1);
  EXPECT_NE(Do("list").text.find("  hidden"), std::string::npos);
  EXPECT_FALSE(Do("show " + Name(a)).failed);
  EXPECT_EQ(a->GetShowMode(), 0);

  const Result isolated = Do("isolate " + Name(b));
  ASSERT_FALSE(isolated.failed) << isolated.text;
  EXPECT_NE(isolated.text.find(std::to_string(models.size() - 1) + " other models hidden"), std::string::npos)
      << isolated.text;
  for (KIVRep* model : models) EXPECT_EQ(model->GetShowMode(), model == b ? 0 : 1) << Name(model);
  for (KIVRep* up = b; up != session.GetScene().GetRoot(); up = up->GetParents()[0]) EXPECT_EQ(up->GetShowMode(), 0);
  // Showing one model of a hidden group opens the way to it, and show all undoes everything.
  Do("hide " + Name(b->GetParents()[0]));
  Do("show " + Name(a));
  EXPECT_EQ(a->GetShowMode(), 0);
  EXPECT_EQ(b->GetParents()[0]->GetShowMode(), 0);
  EXPECT_FALSE(Do("show all").failed);
  for (KIVRep* model : models) EXPECT_EQ(model->GetShowMode(), 0) << Name(model);

  for (const char* command : {"select", "hide", "show", "isolate"}) {
    const Result r = Do(std::string(command) + " no-such-model");
    EXPECT_TRUE(r.failed) << command;
    EXPECT_NE(r.text.find("'no-such-model'"), std::string::npos) << r.text;
  }
}

TEST_F(NavviewScriptTest, OpenAndExportSayWhatWentWrongAndLoseNothing) {
  const fs::path obj = dir / "tri.obj";
  std::ofstream(obj) << "o Tri\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const int before = session.GetScene().GetModelCount();
  Result r = Do("open \"" + obj.string() + "\"");
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text, "opened " + obj.string() + ": 1 model");
  EXPECT_EQ(session.GetScene().GetModelCount(), before + 1);

  for (const fs::path& bad : {dir / "missing.obj", dir}) {
    r = Do("open " + bad.string());
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(Occurrences(r.text, bad.string()), 1u) << r.text;
  }
  EXPECT_NE(Do("open " + dir.string()).text.find("is a directory"), std::string::npos);
  EXPECT_EQ(session.GetScene().GetModelCount(), before + 1);

  const fs::path wrl = dir / "out.wrl";
  r = Do("export vrml " + wrl.string());
  ASSERT_FALSE(r.failed) << r.text;
  std::ifstream in(wrl);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first.rfind("#VRML V2.0", 0), 0u) << first;
  r = Do("export vrml " + (dir / "no-dir" / "out.wrl").string());
  EXPECT_TRUE(r.failed);
  EXPECT_NE(r.text.find("out.wrl"), std::string::npos) << r.text;
  EXPECT_FALSE(fs::exists(dir / "no-dir"));
}

TEST_F(NavviewScriptTest, CaptureIsPngOnlyAndNamesTheFileOnce) {
  const fs::path jpg = dir / "out.jpg";
  Result r = Do("capture " + jpg.string());
  EXPECT_TRUE(r.failed);
  EXPECT_NE(r.text.find("PNG"), std::string::npos) << r.text;
  EXPECT_FALSE(fs::exists(jpg));
  r = Do("capture /proc/navview-no/x.png 32 32");
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(Occurrences(r.text, "x.png"), 1u) << r.text;
}

TEST_F(NavviewScriptTest, StatesAndEdgesSayWhyWhenTheyCannot) {
  Result r = Do("state axis on");
  EXPECT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text, "axis on");
  // The rep tree state opens the representation tree browser.
  r = Do("state tree on");
  EXPECT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text, "tree on");
  EXPECT_NE(session.GetViewer().GetGraphicRepTree(), nullptr);
  EXPECT_FALSE(Do("state tree off").failed);
  EXPECT_EQ(session.GetViewer().GetGraphicRepTree(), nullptr);

  NavViewerExtand& viewer = session.GetViewer();
  r = Do("edges on");
  ASSERT_FALSE(r.failed) << r.text;
  EXPECT_EQ(r.text, "edges on");
  EXPECT_EQ(viewer.ViewMode(2), 1);
  EXPECT_EQ(Do("edges off").text, "edges off");
  EXPECT_EQ(viewer.ViewMode(2), 0);
}
