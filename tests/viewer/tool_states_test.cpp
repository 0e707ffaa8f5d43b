#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgFile.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/reps/KIVGroundRep.h"
#include "host/visu/panels/KIVNavElement.h"
#include "tests/viewer/ShownViewer.h"
#include "viewer/NavViewerExtand.h"

namespace {

// An extended viewer with every option, shown, over one triangle 4 m by 2 m (in millimetres).
struct Shown : ShownViewer {
  Shown() {
    const float v[9] = {0, 0, 0, 4000, 0, 0, 0, 0, 2000};
    const int t[3] = {0, 1, 2};
    model = new KIV3DCustomRep;
    model->AddGP(new KIV3DFaceGP(v, 9, nullptr, t, 1));
    viewer->AddRep(model, NavViewerExtand::kOfficialRoot);
  }
  ~Shown() {
    viewer->RemoveRep(model, NavViewerExtand::kOfficialRoot);  // the viewer frees what its roots keep
    delete model;
  }
  KIV3DCustomRep* model;
};

// The largest coordinate written in a VRML file's point lists, after the scale of its
// top transform: enough to tell millimetres from metres.
float LargestWrittenCoordinate(const std::string& path, float& scale) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  scale = 1.0f;
  const auto at = s.find("scale ");
  if (at != std::string::npos) scale = std::stof(s.substr(at + 6));
  float largest = 0.0f;
  for (size_t p = s.find("point ["); p != std::string::npos; p = s.find("point [", p + 1)) {
    std::istringstream values(s.substr(p + 7, s.find(']', p) - p - 7));
    for (std::string token; values >> token;) {
      if (!token.empty() && token.back() == ',') token.pop_back();
      if (!token.empty()) largest = std::max(largest, std::fabs(std::stof(token)));
    }
  }
  return largest;
}

}  // namespace

TEST(ToolStates, GroundComesBackWhereItWasMovedAndAxisPublishesOnce) {
  Shown s;
  NavViewerExtand& viewer = *s.viewer;
  viewer.SetToolsBarreState(1, -1);
  EventCounter ground(viewer, NavViewerExtand::NAVIGATION_GROUND_STATE());
  ASSERT_EQ(viewer.SetGroundState(1), 1);
  EXPECT_EQ(static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(12))->GetState(), KIVDialog::StateSet);
  EXPECT_EQ(viewer.GetCurrentSetting().groundState, 1);
  KIVMathPointf moved = viewer.GetGroundRep()->GetOrigin();
  moved.z -= 300.0f;
  viewer.GetGroundRep()->SetOrigin(moved);  // what a drag of its translator does
  EXPECT_EQ(viewer.SetGroundState(0), 0);
  EXPECT_EQ(viewer.SetGroundState(0), 0);  // twice: nothing more
  EXPECT_EQ(ground.count, 2);
  EXPECT_EQ(static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(12))->GetState(), KIVDialog::StateCleared);
  ASSERT_EQ(viewer.SetGroundState(1), 1);
  EXPECT_EQ(viewer.GetGroundRep()->GetOrigin(), moved);
  // The tool bar's button switches it off like the operation.
  static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(12))->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(viewer.SetGroundState(-1), 0);

  EventCounter axis(viewer, NavViewerExtand::NAVIGATION_AXIS_STATE());
  const size_t tempory = viewer.GetRootRep(NavViewerExtand::kTemporyRoot)->GetChildren().size();
  EXPECT_EQ(viewer.SetAxisState(1), 1);
  EXPECT_EQ(viewer.SetAxisState(1), 1);
  EXPECT_EQ(axis.count, 1);
  EXPECT_EQ(viewer.GetRootRep(NavViewerExtand::kTemporyRoot)->GetChildren().size(), tempory + 1);
  EXPECT_EQ(viewer.SetAxisState(0), 0);
  EXPECT_EQ(viewer.GetRootRep(NavViewerExtand::kTemporyRoot)->GetChildren().size(), tempory);
}

TEST(ToolStates, PerformancePrintsTheTriangleCountOnceThenFeedsTheGauge) {
  Shown s;
  NavViewerExtand& viewer = *s.viewer;
  testing::internal::CaptureStdout();
  ASSERT_EQ(viewer.SetPerfoState(1), 1);
  viewer.Draw();
  viewer.Draw();
  EXPECT_EQ(viewer.SetPerfoState(1), 1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, " --- Number of Triangles : 1\n");
  ASSERT_NE(viewer.GetGaugeRep(), nullptr);
  EXPECT_EQ(viewer.SetPerfoState(0), 0);
  EXPECT_EQ(viewer.GetGaugeRep(), nullptr);
}

TEST(ToolStates, VrmlExportScalesFromTheSessionUnitAndRemembersTheDirectory) {
  Shown s;
  NavViewerExtand& viewer = *s.viewer;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "navtools_vrml_export";
  std::filesystem::create_directories(dir);
  const float unit = KIVNavElement::GetSessionUnit();
  for (float session : {1000.0f, 1.0f}) {
    KIVNavElement::SetSessionUnit(session);
    ASSERT_EQ(viewer.SetExportToVRMLFile(1), 1);
    KIVDlgFile* dialog = viewer.GetVrmlDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetFilter(), KIVUnicodeString("*.wrl"));
    const std::string path = (dir / "plant.wrl").string();
    std::filesystem::remove(path);
    dialog->SetDirectory(KIVUnicodeString(dir.string()));
    dialog->SetSelection(KIVUnicodeString(path));
    ASSERT_EQ(dialog->UserOK(), 1);
    KIVApplication::MainApplication()->ProcessDeferred();  // the dialog goes after its callback
    EXPECT_EQ(viewer.GetVrmlDialog(), nullptr);
    ASSERT_TRUE(std::filesystem::exists(path));
    float scale = 1.0f;
    const float largest = LargestWrittenCoordinate(path, scale);
    EXPECT_NEAR(largest * scale, 4000.0f * session / 1000.0f, 1e-2f * session) << session;
    // The official root is left without a matrix.
    EXPECT_EQ(static_cast<KIV3DBagRep*>(viewer.GetRootRep(NavViewerExtand::kOfficialRoot))->GetMatrix(), nullptr);
  }
  // A directory browsed to and then cancelled, or closed, is not the next one offered.
  const std::string elsewhere = (dir / "elsewhere").string();
  for (int close = 0; close < 2; ++close) {
    ASSERT_EQ(viewer.SetExportToVRMLFile(1), 1);
    EXPECT_EQ(viewer.GetVrmlDialog()->GetDirectory(), KIVUnicodeString(dir.string())) << close;
    viewer.GetVrmlDialog()->SetDirectory(KIVUnicodeString(elsewhere));
    if (close)
      viewer.GetVrmlDialog()->UserClose();
    else
      viewer.GetVrmlDialog()->UserCancel();
    KIVApplication::MainApplication()->ProcessDeferred();
    EXPECT_EQ(viewer.SetExportToVRMLFile(-1), 0);
  }
  ASSERT_EQ(viewer.SetExportToVRMLFile(1), 1);
  EXPECT_EQ(viewer.GetVrmlDialog()->GetDirectory(), KIVUnicodeString(dir.string()));
  viewer.SetExportToVRMLFile(0);
  KIVNavElement::SetSessionUnit(unit);
  std::filesystem::remove_all(dir);
}

TEST(ToolStates, EveryEventNamesTheViewerThatPublishedIt) {
  Shown s;
  NavViewerExtand& viewer = *s.viewer;
  const char* events[] = {NavViewerExtand::VIEWER_SETTING_MODIFIED(),       NavViewerExtand::VIEWER_FOREGROUND_CHANGE(),
                          NavViewerExtand::NAVIGATION_GLOBAL_MODE_CHANGE(), NavViewerExtand::NAVIGATION_SPECIAL_MODE_CHANGE(),
                          NavViewerExtand::NAVIGATION_TOOLS_BARRE_STATE(),  NavViewerExtand::NAVIGATION_GROUND_STATE(),
                          NavViewerExtand::NAVIGATION_PERFO_STATE(),        NavViewerExtand::NAVIGATION_AXIS_STATE(),
                          NavViewerExtand::NAVIGATION_DASHBOARD_STATE(),    NavViewerExtand::NAVIGATION_LIGHT_STATE(),
                          NavViewerExtand::NAVIGATION_STEREO_STATE(),       NavViewerExtand::NAVIGATION_CLIP_STATE(),
                          NavViewerExtand::NAVIGATION_SAVE_VRML_STATE(),    NavViewerExtand::NAVIGATION_CAPTURE_STATE()};
  KIVEventSubscriber listener;
  std::vector<std::pair<std::string, void*>> heard;
  for (const char* event : events)
    listener.AddCallback(&viewer, event,
                         KIVEventCallback([&heard](const char* name, void* publisher, KIVNotification* n, void*,
                                                   KIVCallback) {
                           EXPECT_EQ(n, nullptr) << name;
                           heard.emplace_back(name, publisher);
                         }),
                         nullptr);
  testing::internal::CaptureStdout();  // the performance state prints its triangle count
  viewer.SetToolsBarreState(1, -1);
  viewer.SetNavigationStyle(8);
  viewer.SetSpecialNavigation(3, 1, 0);
  viewer.SetSpecialNavigation(3, 0, -1);
  for (int on : {1, 0}) {
    viewer.SetGroundState(on);
    viewer.SetPerfoState(on);
    viewer.SetAxisState(on);
    viewer.SetDashboardState(on);
    viewer.SetLightEditorState(on);
    viewer.SetStereoEditorState(on);
    viewer.SetClippingEditorState(on);
    viewer.SetExportToVRMLFile(on);
    viewer.SetCaptureEditorState(on);
  }
  viewer.SetToolsBarreState(0, -1);
  testing::internal::GetCapturedStdout();
  for (const char* event : events) {
    const auto it = std::find_if(heard.begin(), heard.end(), [event](const auto& h) { return h.first == event; });
    EXPECT_NE(it, heard.end()) << event << " never heard";
  }
  for (const auto& [event, publisher] : heard) EXPECT_EQ(publisher, static_cast<void*>(&viewer)) << event;
}
