// navview's "Scene Tree" window through the script: the official root's tree in the
// graph, selection highlighting models in the viewer, collapse, extend and layout.
#include <gtest/gtest.h>

#include <string>

#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "viewer/NavViewerExtand.h"

namespace {

class NavviewSceneTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    session.StartGraphics(&error);
    session.LoadBuiltin(1);
    session.Show();
  }
  std::string Do(const std::string& line, bool expectFailure = false) {
    bool quit = false, failed = false;
    std::string text = script.Execute(line, quit, failed);
    EXPECT_EQ(failed, expectFailure) << line << ": " << text;
    return text;
  }
  KIVRep* FirstModel() {
    for (KIVRep* unit : session.GetScene().GetRoot()->GetChildren())
      for (KIVRep* model : unit->GetChildren())
        if (session.GetScene().IsModel(model)) return model;
    return nullptr;
  }
  NavviewSession session{320, 240};
  NavviewScript script{session};
};

TEST_F(NavviewSceneTreeTest, TreeShowsTheOfficialRootAndSelectsModels) {
  const std::string shown = Do("tree");
  EXPECT_NE(shown.find("nodes shown"), std::string::npos) << shown;
  NavviewSceneTree& tree = script.GetSceneTree();
  ASSERT_NE(tree.GetWindow(), nullptr);
  EXPECT_EQ(tree.GetWindow()->GetTitle(), KIVUnicodeString("Scene Tree"));
  EXPECT_EQ(tree.GetWindow()->GetVisibility(), KIVDialog::VisibilityShown);
  NavSimpleGraph* graph = tree.GetGraph();
  ASSERT_NE(graph->GetRoot(), nullptr);
  EXPECT_EQ(graph->GetRoot()->object, session.GetViewer().GetRootRep(NavViewerExtand::kOfficialRoot));
  EXPECT_GT(graph->GetTotalNode(), 3);

  KIVRep* model = FirstModel();
  ASSERT_NE(model, nullptr);
  const std::string name = session.GetScene().GetName(model);
  EXPECT_EQ(model->GetHighlightMode(), 0);
  Do("tree select " + name);
  EXPECT_EQ(model->GetHighlightMode(), 1);
  EXPECT_EQ(graph->getSelectionNumber(), 1);
  // A click on another node moves the highlight, as a person's click would.
  KIVNavArbreElement* root = graph->GetRoot();
  ASSERT_NE(root->graphNode, nullptr);
  graph->GetGraphViewer()->UserSelect(root->graphNode);
  EXPECT_EQ(model->GetHighlightMode(), 0);

  Do("tree select no such model", true);
  Do("tree frobnicate", true);
}

TEST_F(NavviewSceneTreeTest, CollapseExtendAndLayout) {
  Do("tree");
  NavSimpleGraph* graph = script.GetSceneTree().GetGraph();
  const int all = graph->GetTotalNode();
  KIVRep* unit = session.GetScene().GetRoot();
  const std::string name = session.GetScene().GetName(unit) ? session.GetScene().GetName(unit) : "";
  ASSERT_FALSE(name.empty());
  Do("tree collapse " + name);
  EXPECT_LT(graph->GetTotalNode(), all);
  Do("tree extend " + name);
  EXPECT_EQ(graph->GetTotalNode(), all);
  Do("tree layout horizontal indented");
  EXPECT_EQ(graph->GetGraphViewer()->getGraph()->getLayout(), KIVGraph::HorizontalIndented);
  Do("tree layout vertical packed square");
  EXPECT_EQ(graph->GetGraphViewer()->getGraph()->getLayout(), KIVGraph::VerticalCentered);
  EXPECT_EQ(graph->GetGraphViewer()->getGraph()->getPacked(), 1);
  Do("tree layout diagonal", true);
  Do("tree reframe");
}

}  // namespace
