// NavGraphicRepTree driven as a person drives it: the graph's clicks and context menus,
// the browser's buttons, with a scene in a shown viewer and a scripted interference engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "browsing/NavExtendedAttribut.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/interfere/KIVInterfereEngine.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "tests/support/TestBox.h"
#include "tests/viewer/ShownViewer.h"
#include "viewer/NavSimpleViewer3D.h"

namespace {
using Rec = KIVNavArbreElement;
using Tree = NavGraphicRepTree;

class ScriptedEngine : public KIVInterfereEngine {
 public:
  int Compute(const Request& request, std::vector<Pair>& out) override {
    requests.push_back(request);
    out = pairs;
    if (request.kind == KIVSiInInterfereModel::kMinimalDistance) {
      Pair p;
      p.a = p.b = 0;
      p.distance = distance;
      out = {p};
    }
    return 1;
  }
  std::vector<Request> requests;
  std::vector<Pair> pairs;
  double distance = 5.0;
};

KIV3DBagRep* Bag(std::vector<KIVRep*> kids, float dx = 0) {
  auto* bag = new KIV3DBagRep;
  if (dx != 0) bag->SetMatrix(KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, KIVMathPointf(dx, 0, 0)));
  for (KIVRep* k : kids) bag->AddChild(k);
  return bag;
}

// official{plant(+10 in x){chain{group{box1, box2}}}, box3}
struct Scene {
  explicit Scene(int mode = 0, bool withScene = true) {
    KIVSiInInterfereModel::SetEngine(engine);
    if (withScene) {
      box1 = Box(1);
      box2 = Box(KIVMathPointf(5, 0, 0), 1);
      box3 = Box(KIVMathPointf(-10, 0, 0), 1);
      group = Bag({box1, box2});
      plant = Bag({Bag({group})}, 10);
      shown.viewer->AddRep(plant, NavViewerExtand::kOfficialRoot);
      shown.viewer->AddRep(box3, NavViewerExtand::kOfficialRoot);
    }
    tree = new Tree(shown.viewer, (Tree::kViewerStyle & ~0xD0) | mode);
    tree->AffichePanel(1);
    ExpandAll();
  }
  ~Scene() {
    delete tree;
    KIVSiInInterfereModel::SetEngine(nullptr);
  }
  void ExpandAll() {
    Rec* root = tree->GetRoot();
    tree->getGraph()->UpdateExtendNode(root, -2, 0);
    tree->getGraph()->UpdateGraph(1, &root, 1, 0);
    tree->UpdateColor(root);
  }
  Rec* Node(KIVRep* rep) {
    const std::vector<Rec*> all = tree->GetInstances(rep);
    return all.empty() ? nullptr : all.front();
  }
  std::vector<KIVRep*> Kids(Rec* r) {
    std::vector<KIVRep*> out;
    for (int i = 0; r && i < r->childCount; ++i)
      if (r->children[i]->object) out.push_back(static_cast<KIVRep*>(r->children[i]->object));
    return out;
  }
  void Click(KIVRep* rep, int extended = 0) {
    Rec* r = Node(rep);
    ASSERT_TRUE(r && r->graphNode);
    tree->getGraph()->GetGraphViewer()->UserSelect(r->graphNode, extended);
  }
  // A right click on the node, then the item of that tag.
  void Menu(KIVRep* rep, const char* tag) {
    Rec* r = Node(rep);
    ASSERT_TRUE(r && r->graphNode);
    KIVGraphViewer* gv = tree->getGraph()->GetGraphViewer();
    gv->UserContextNode(r->graphNode);
    auto* item = dynamic_cast<KIVDlgPushItem*>(gv->GetContextualMenu()->LookupChild(tag));
    ASSERT_NE(item, nullptr) << tag;
    item->UserActivate();
  }
  KIVDialog* Item(const char* tag) { return tree->getGraph()->GetGraphViewer()->GetContextualMenu()->LookupChild(tag); }
  int Color(KIVRep* rep) { return Node(rep)->graphNode->getColor(); }
  std::string Label() { return tree->GetDistanceLabel()->GetTitle().CastToCharPtr(); }

  std::shared_ptr<ScriptedEngine> engine = std::make_shared<ScriptedEngine>();
  ShownViewer shown;
  KIVRep *box1 = nullptr, *box2 = nullptr, *box3 = nullptr;
  KIV3DBagRep *group = nullptr, *plant = nullptr;
  Tree* tree = nullptr;
};

TEST(RepTreeBrowser, BuildingModesShapeTheTree) {
  {
    Scene s;  // default: single-child chains collapse into their parent
    Rec* root = s.tree->GetRoot();
    EXPECT_EQ(root->name, KIVUnicodeString("OFFICIAL ROOT"));
    EXPECT_EQ(s.Kids(root), (std::vector<KIVRep*>{s.plant, s.box3}));
    EXPECT_EQ(s.Kids(s.Node(s.plant)), (std::vector<KIVRep*>{s.box1, s.box2}));
    EXPECT_TRUE(s.tree->GetInstances(s.group).empty());
    EXPECT_EQ(s.Node(s.box1)->name, KIVUnicodeString("3D Rep     "));
    EXPECT_EQ(s.Node(s.plant)->name, KIVUnicodeString("3D Bag Rep "));
  }
  {
    Scene s(Tree::kStyleFull);
    EXPECT_EQ(s.Kids(s.Node(s.group)), (std::vector<KIVRep*>{s.box1, s.box2}));
    EXPECT_EQ(s.Kids(s.Node(s.plant)).size(), 1u);
  }
  {
    Scene s(Tree::kStyleLeaves);
    EXPECT_EQ(s.Kids(s.tree->GetRoot()), (std::vector<KIVRep*>{s.box1, s.box2, s.box3}));
  }
  {
    Scene s(Tree::kStyleFirstLevel);
    EXPECT_EQ(s.Kids(s.tree->GetRoot()), (std::vector<KIVRep*>{s.plant, s.box3}));
    EXPECT_EQ(s.Node(s.plant)->childCount, 0);
  }
}

TEST(RepTreeBrowser, SelectionBuildsPlacedBagsAndClashSensitivity) {
  Scene s;
  s.Click(s.box2);
  EXPECT_EQ(s.tree->GetClashButton()->GetSensitivity(), KIVDialog::SensitivityOff);
  ASSERT_NE(s.tree->GetSelectionBag(), nullptr);
  ASSERT_EQ(s.tree->GetSelectionBag()->GetChildren().size(), 1u);
  // The placed bag carries the plant's translation: box2 sits at x = 15 in the world.
  EXPECT_NEAR(s.tree->GetSelectionBag()->GetBoundingElement().GetCenter().x, 15.0f, 1e-3f);
  // The plant moves while box2 stays selected: the next change places box2 anew.
  s.plant->SetMatrix(KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, KIVMathPointf(20, 0, 0)));
  s.Click(s.box3, 1);
  EXPECT_EQ(s.tree->GetClashButton()->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(s.tree->GetSelectedReps().size(), 2u);
  ASSERT_EQ(s.tree->GetSelectionBag()->GetChildren().size(), 2u);
  EXPECT_NEAR(s.tree->GetSelectionBag()->GetBoundingElement().GetCenter().x, 7.5f, 1e-2f);  // -10 and 25
  s.Click(s.box3, 1);  // out again: its positioned bag leaves, box3 keeps only its scene parent
  ASSERT_EQ(s.tree->GetSelectionBag()->GetChildren().size(), 1u);
  EXPECT_EQ(s.box3->GetParents().size(), 1u);
  s.Click(s.box3, 1);
  // A rebuild drops the selection, and the scene's reps lose no parent to the old bag.
  s.tree->GetUpdateButton()->UserActivate();
  EXPECT_EQ(s.tree->getGraph()->getSelectionNumber(), 0);
  EXPECT_EQ(s.box2->GetParents().size(), 1u);
}

TEST(RepTreeBrowser, ClashColoursAndKinds) {
  Scene s;
  KIVInterfereEngine::Pair pair;
  pair.a = 0, pair.b = 1, pair.kind = 1;
  s.engine->pairs = {pair};
  s.Click(s.box1);
  s.Click(s.box3, 1);
  s.tree->GetClashButton()->UserActivate();
  ASSERT_EQ(s.engine->requests.size(), 1u);
  EXPECT_EQ(s.engine->requests[0].kind, 1);
  EXPECT_EQ(s.engine->requests[0].a.size(), 2u);
  EXPECT_EQ(s.Color(s.box1), 248);
  EXPECT_EQ(s.Color(s.box3), 248);
  EXPECT_EQ(s.Color(s.box2), 45);
  ASSERT_NE(s.tree->GetClashBag(), nullptr);

  // A node red from a clash that then meets a clearance ends mixed, and stays so.
  Rec* n = s.Node(s.box1);
  s.tree->SetClashColorToNode(n, 2);
  EXPECT_EQ(s.Color(s.box1), 16);
  s.tree->SetClashColorToNode(n, 1);
  EXPECT_EQ(s.Color(s.box1), 16);
  s.tree->SetClashColorToNode(s.Node(s.box2), 4);
  EXPECT_EQ(s.Color(s.box2), 247);

  // Clearance through the combo passes the spinner's value.
  s.tree->GetClashCombo()->UserSelect(1);
  s.tree->GetClearanceSpinner()->SetCurrentValue(2.5f);
  s.tree->GetClashButton()->UserActivate();
  ASSERT_EQ(s.engine->requests.size(), 2u);
  EXPECT_EQ(s.engine->requests[1].kind, 2);
  EXPECT_DOUBLE_EQ(s.engine->requests[1].value, 2.5);
}

TEST(RepTreeBrowser, ClashWithOneNodeOrNoEngineGivesNothing) {
  Scene s;
  s.Click(s.box1);
  EXPECT_EQ(s.tree->ComputeClash(), 0);
  EXPECT_TRUE(s.engine->requests.empty());
  EXPECT_EQ(s.tree->GetClashBag(), nullptr);
  KIVSiInInterfereModel::SetEngine(nullptr);
  s.Click(s.box3, 1);
  EXPECT_EQ(s.tree->ComputeClash(), 0);
  EXPECT_EQ(s.Color(s.box1), 45);
}

TEST(RepTreeBrowser, DistanceFromAndTo) {
  Scene s;
  s.Menu(s.box1, "DistFromItem");
  s.Menu(s.box1, "DistToItem");
  EXPECT_EQ(s.tree->GetDistanceLabel()->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_TRUE(s.engine->requests.empty());
  s.Menu(s.box3, "DistToItem");
  ASSERT_EQ(s.engine->requests.size(), 1u);
  EXPECT_EQ(s.engine->requests[0].kind, 4);
  EXPECT_EQ(s.Label(), "Minimal Distance : 5.00");
  EXPECT_EQ(s.tree->GetDistanceLabel()->GetSensitivity(), KIVDialog::SensitivityOn);
  // A rebuild (style bit 0x100) forgets both ends.
  s.tree->UpdatePalette(1);
  EXPECT_EQ(s.tree->GetDistanceFromNode(), nullptr);
  EXPECT_EQ(s.Label(), Tree::DistanceTitle);
}

TEST(RepTreeBrowser, MenusShowHideCopyPaste) {
  Scene s;
  s.tree->getGraph()->GetGraphViewer()->UserContextNode(s.Node(s.box1)->graphNode);
  EXPECT_EQ(s.Item("PasteRepItem")->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(s.Item("DistToItem")->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(s.Item("CutRepItem"), nullptr);

  s.Menu(s.box1, "ShowRepItem");
  EXPECT_EQ(s.box1->GetShowMode(), 1);
  EXPECT_EQ(s.Color(s.box1), 6);
  s.Menu(s.box1, "ShowRepItem");
  EXPECT_EQ(s.box1->GetShowMode(), 0);
  EXPECT_EQ(s.Color(s.box1), 45);

  s.Menu(s.box3, "CopyRepItem");
  EXPECT_EQ(s.tree->GetClipboardRep(), s.box3);
  s.Menu(s.plant, "PasteRepItem");  // the plant's bag takes box3 as a second parent
  EXPECT_EQ(s.plant->GetChildren().size(), 2u);
  EXPECT_EQ(s.tree->GetInstances(s.box3).size(), 2u);
  EXPECT_EQ(s.tree->GetClipboardRep(), s.box3);
  // A bag pasted under itself is refused by the scene and changes nothing.
  s.ExpandAll();
  s.Menu(s.plant, "CopyRepItem");
  s.Menu(s.plant, "PasteRepItem");
  EXPECT_EQ(s.plant->GetChildren().size(), 2u);
}

TEST(RepTreeBrowser, SelectAllDependsOnTheRootType) {
  Scene s;
  s.tree->getGraph()->GetGraphViewer()->UserContextGraph();
  ASSERT_NE(s.Item("SelectAllRepItem"), nullptr);
  s.tree->ActiveMenuOption(Tree::kOptSelectAll);
  EXPECT_EQ(s.tree->GetSelectedReps().size(), 4u);  // plant, box1, box2, box3
  s.tree->GetRootTypeCombo()->UserSelect(2);         // annotation root
  EXPECT_EQ(s.tree->GetRoot()->name, KIVUnicodeString("ANNOTATION 3D ROOT"));
  s.tree->ActiveMenuOption(Tree::kOptSelectAll);
  EXPECT_EQ(s.tree->getGraph()->getSelectionNumber(), 0);
  s.tree->GetRootTypeCombo()->UserSelect(0);
  s.ExpandAll();
  EXPECT_EQ(s.Kids(s.tree->GetRoot()).size(), 3u);
  s.tree->ActiveMenuOption(Tree::kOptSelectAll);
  EXPECT_GE(s.tree->GetSelectedReps().size(), 7u);  // the three roots and what they hold
}

TEST(RepTreeBrowser, LockDrawNeedsTheDebugVariable) {
  Scene s;
  unsetenv(Tree::DebugVariable);
  s.tree->GetLockDrawButton()->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(s.shown.viewer->LockDraw(-1), 0);
  setenv(Tree::DebugVariable, "", 1);
  s.tree->GetLockDrawButton()->UserSetState(KIVDialog::StateCleared);
  s.tree->GetLockDrawButton()->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(s.shown.viewer->LockDraw(-1), 1);
  s.tree->GetLockDrawButton()->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(s.shown.viewer->LockDraw(-1), 0);
  unsetenv(Tree::DebugVariable);
}

TEST(RepTreeBrowser, EmptySceneAndRemovedRepsAreHarmless) {
  {
    Scene s(0, false);
    EXPECT_EQ(s.tree->GetRoot()->childCount, 0);
    s.tree->ActiveMenuOption(Tree::kOptSelectAll);
    EXPECT_EQ(s.tree->ComputeClash(), 0);
    s.tree->SetCurrentNode(nullptr);
    for (int option : {1, 2, 3, 4, 6, 10, 11}) s.tree->ActiveMenuOption(option);
    EXPECT_EQ(s.tree->GetIdentifyRepPath(), nullptr);
  }
  Scene s;
  Rec* gone = s.Node(s.box2);
  s.Click(s.box1);
  s.Click(s.box2, 1);
  s.group->RemoveChild(s.box2);
  delete s.box2;
  // The record stays on screen until the next rebuild; it acts on nothing meanwhile.
  s.tree->UpdateSelection(1);
  EXPECT_EQ(s.tree->GetSelectedReps(), std::vector<KIVRep*>{s.box1});
  s.tree->SetCurrentNode(gone);
  for (int option : {1, 2, 3, 4, 10}) s.tree->ActiveMenuOption(option);
  EXPECT_EQ(s.tree->GetClipboardRep(), nullptr);
  EXPECT_EQ(s.tree->DistanceMinimum(gone, s.Node(s.box1)), 0.0f);
  EXPECT_EQ(s.tree->ComputeClash(), 0);
  s.tree->UpdatePalette(1);
  EXPECT_TRUE(s.tree->GetInstances(s.box2).empty());
}

TEST(RepTreeBrowser, ViewerStateIdentifyAndClose) {
  Scene s;
  NavViewerExtand* viewer = s.shown.viewer;
  ASSERT_EQ(viewer->SetGraphicRepTreeState(1), 1);
  Tree* own = viewer->GetGraphicRepTree();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->GetPaletteStatusHide(), 0);
  Rec* root = own->GetRoot();
  own->getGraph()->UpdateExtendNode(root, -2, 0);
  own->getGraph()->UpdateGraph(1, &root, 1, 0);
  // Identify reframes the main viewpoint on the identified rep, where it stands.
  const std::vector<Rec*> three = own->GetInstances(s.box2);
  ASSERT_TRUE(!three.empty() && three.front()->graphNode);
  KIVGraphViewer* gv = own->getGraph()->GetGraphViewer();
  gv->UserContextNode(three.front()->graphNode);
  auto* identify = dynamic_cast<KIVDlgPushItem*>(gv->GetContextualMenu()->LookupChild("IdentifyRepItem"));
  ASSERT_NE(identify, nullptr);
  identify->UserActivate();
  ASSERT_NE(own->GetIdentifyRepPath(), nullptr);
  EXPECT_EQ(own->GetIdentifyRepPath()->GetLeafRep(), s.box2);
  const KIVMathPointf target = viewer->GetMain3DViewpoint()->GetTarget();
  EXPECT_NEAR(target.x, 15.0f, 1e-2f);
  EXPECT_NEAR(target.y, 0.0f, 1e-2f);
  // The close box switches the state off; the window goes after its callback.
  own->UserClose();
  EXPECT_EQ(viewer->GetGraphicRepTree(), nullptr);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_EQ(viewer->SetGraphicRepTreeState(-1), 0);
  // On again with its analysis viewer, left on: the viewer's end takes it along.
  ASSERT_EQ(viewer->SetGraphicRepTreeState(1), 1);
  viewer->GetGraphicRepTree()->GetAnalysisButton()->UserSetState(KIVDialog::StateSet);
  EXPECT_NE(viewer->GetGraphicRepTree()->GetAnalysisViewer(), nullptr);
}

}  // namespace

namespace {
TEST(RepTreeBrowser, MarkerClickExtendsOneLevel) {
  Scene s;
  Rec* root = s.tree->GetRoot();
  s.tree->getGraph()->ReferenceSession(root, 0);
  const int before = s.tree->getGraph()->GetTotalNode();
  Rec* marker = root->children[root->childCount - 1];
  ASSERT_TRUE(marker->state & Rec::StateMarker);
  s.tree->getGraph()->GetGraphViewer()->UserSelect(marker->graphNode);
  EXPECT_GT(s.tree->getGraph()->GetTotalNode(), before);
}
}  // namespace

namespace {
// The browser's side panels and its attribute editor, through their own buttons.
TEST(RepTreeBrowser, EditorUndoExtendedPanelAndAnalysisViewer) {
  Scene s;
  s.Click(s.box1);
  s.Click(s.box2, 1);
  auto* show = dynamic_cast<KIVDlgCheckButton*>(s.tree->LookupChild("SwapShowButton"));
  auto* undo = dynamic_cast<KIVDlgPushButton*>(s.tree->LookupChild("GraphicUndoButton"));
  ASSERT_TRUE(show && undo);
  show->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(s.box1->GetShowMode(), 1);
  EXPECT_EQ(s.box2->GetShowMode(), 1);
  EXPECT_EQ(s.Color(s.box2), 6);
  // Undo shows them again and selects again every node of the editor's reps.
  undo->UserActivate();
  EXPECT_EQ(s.box1->GetShowMode(), 0);
  EXPECT_EQ(s.box2->GetShowMode(), 0);
  EXPECT_EQ(s.tree->GetSelectedReps(), (std::vector<KIVRep*>{s.box1, s.box2}));
  EXPECT_EQ(s.tree->GetSelectionBag()->GetChildren().size(), 2u);

  s.tree->GetExtendedButton()->UserSetState(KIVDialog::StateSet);
  ASSERT_NE(s.tree->GetExtendedPanel(), nullptr);
  s.Click(s.box3);
  EXPECT_EQ(s.tree->GetExtendedPanel()->GetCurrentRep(), s.box3);
  s.tree->GetExtendedButton()->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(s.tree->GetExtendedPanel(), nullptr);

  s.tree->GetAnalysisButton()->UserSetState(KIVDialog::StateSet);
  NavSimpleViewer3D* analysis = s.tree->GetAnalysisViewer();
  ASSERT_NE(analysis, nullptr);
  KIVRep* official = analysis->GetSpecificViewer()->GetRootRep(NavViewerExtand::kOfficialRoot);
  ASSERT_EQ(s.tree->GetSelectionBag()->GetParents().size(), 1u);
  EXPECT_EQ(s.tree->GetSelectionBag()->GetParents().front(), official);
  s.tree->GetAnalysisButton()->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(s.tree->GetAnalysisViewer(), nullptr);
  EXPECT_TRUE(s.tree->GetSelectionBag()->GetParents().empty());
}

TEST(RepTreeBrowser, SettingRoundTrip) {
  Scene s;
  NavGraphicRepTreeSetting wanted;
  wanted.rootType = 3;
  wanted.clearance = 2.5f;
  s.tree->SetCurrentSetting(wanted);
  EXPECT_EQ(s.tree->GetRoot()->name, KIVUnicodeString("TEMPORY 3D ROOT"));
  EXPECT_FLOAT_EQ(s.tree->GetClearanceSpinner()->GetCurrentValue(), 2.5f);
  NavGraphicRepTreeSetting back;
  s.tree->GetCurrentSetting(back);
  EXPECT_EQ(back.rootType, 3);
  EXPECT_FLOAT_EQ(back.clearance, 2.5f);
  // The side windows open with a selection and a clash bag; the browser then goes with them.
  s.tree->GetRootTypeCombo()->UserSelect(1);
  s.ExpandAll();
  s.tree->GetAnalysisButton()->UserSetState(KIVDialog::StateSet);
  s.tree->GetExtendedButton()->UserSetState(KIVDialog::StateSet);
  KIVInterfereEngine::Pair pair;
  pair.a = 0, pair.b = 1, pair.kind = 1;
  s.engine->pairs = {pair};
  s.Click(s.box1);
  s.Click(s.box3, 1);
  EXPECT_EQ(s.tree->ComputeClash(), 1);
  ASSERT_NE(s.tree->GetClashBag(), nullptr);
  EXPECT_EQ(s.tree->GetClashBag()->GetParents().size(), 1u);
}
}  // namespace
