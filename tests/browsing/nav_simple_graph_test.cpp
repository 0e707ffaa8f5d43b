// NavSimpleGraph as its users drive it: sessions, ">>>" markers, clicks through the graph
// viewer, context menus chosen through their items, the settings dialog, and bad trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "browsing/NavSimpleGraph.h"
#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"

namespace {

using Rec = KIVNavArbreElement;

Rec* Make(const char* name, std::vector<Rec*> kids = {}, void* object = nullptr) {
  auto* r = new Rec;
  r->name = name;
  r->object = object ? object : r;
  for (Rec* k : kids) NavSimpleGraph::AddFeuille(r, k);
  return r;
}

// root{a{a1{a11}, a2}, b{b1}, c}
Rec* Sample() {
  return Make("root", {Make("a", {Make("a1", {Make("a11")}), Make("a2")}), Make("b", {Make("b1")}), Make("c")});
}

std::vector<std::string> Names(Rec* const* list, int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(list[i]->name.CastToCharPtr());
  return out;
}

Rec* Child(Rec* r, int i) { return r->children[i]; }
bool HasMarker(const Rec* r) {
  return r->childCount > 0 && (r->children[r->childCount - 1]->state & Rec::StateMarker) &&
         r->children[r->childCount - 1]->name == KIVUnicodeString(">>>");
}

struct Host {
  KIVCommand father;
  KIVDlgDialog* window;
  NavSimpleGraph* graph;
  std::vector<std::string> heard;
  Host(int style = 0x1 | 0x8 | 0x80 | 0x100 | 0x200 | 0x800) {
    window = new KIVDlgDialog(nullptr, "Window");
    window->SetFather(&father);
    graph = new NavSimpleGraph(&father, window, 0, style);
    window->SetVisibility(KIVDialog::VisibilityShown);
    father.AddAnalyseNotificationCB(nullptr, nullptr, nullptr,
                                    [this](KIVCommand*, KIVNotification* n, void*) { heard.push_back(n->IsA()); },
                                    nullptr);
  }
  ~Host() {
    Rec* root = graph->GetRoot();
    delete window;
    NavSimpleGraph::DeleteRecords(root);
  }
  KIVGraphViewer* Viewer() { return graph->GetGraphViewer(); }
  KIVDlgContextualMenu* Menu() { return Viewer()->GetContextualMenu(); }
  std::vector<std::string> MenuTitles() {
    std::vector<std::string> t;
    for (KIVDialog* d : Menu()->GetDialogChildren()) t.push_back(d->GetTitle().CastToCharPtr());
    return t;
  }
  KIVDialog* MenuItem(const char* tag) { return Menu()->LookupChild(tag); }
  void Choose(const char* tag) {
    auto* item = dynamic_cast<KIVDlgPushItem*>(MenuItem(tag));
    ASSERT_NE(item, nullptr) << tag;
    ASSERT_EQ(item->UserActivate(), 1) << tag;
  }
};

TEST(NavSimpleGraph, ExtensionShowsLevelsBehindMarkers) {
  Host h;
  Rec* root = Sample();
  h.graph->ReferenceSession(root, 0);
  // Only the root and one marker.
  EXPECT_EQ(h.graph->GetTotalNode(), 2);
  ASSERT_TRUE(HasMarker(root));
  Rec* marker = root->children[root->childCount - 1];
  EXPECT_EQ(marker->state, 36);
  EXPECT_EQ(marker->object, nullptr);
  EXPECT_EQ(marker->graphNode->getColor(), 16);
  EXPECT_EQ(root->graphNode->getColor(), 45);
  EXPECT_EQ(root->graphNode->getChildArcs().front()->getColor(), 46);
  EXPECT_EQ(Child(root, 0)->graphNode, nullptr);

  // Clicking the marker with extension level 1: the children, each with a marker when it has children.
  ASSERT_EQ(h.Viewer()->UserSelect(marker->graphNode), 1);
  EXPECT_EQ(h.heard.back(), "NavExtendTreeNotification");
  EXPECT_EQ(root->childCount, 3);
  EXPECT_FALSE(HasMarker(root));
  EXPECT_TRUE(HasMarker(Child(root, 0)));
  EXPECT_TRUE(HasMarker(Child(root, 1)));
  EXPECT_FALSE(HasMarker(Child(root, 2)));
  EXPECT_EQ(h.graph->GetTotalNode(), 1 + 3 + 2);
  EXPECT_EQ(h.graph->GetContextNode(), root);
  // Laid out: every graph node placed.
  for (KIVGraphNode* n : h.Viewer()->getGraph()->getNodes()) EXPECT_TRUE(n->isPlaced());

  // "Extend  2  levels" on a's marker: a1, a11, a2 shown, no marker left below a.
  Rec* a = Child(root, 0);
  Rec* aMarker = a->children[a->childCount - 1];
  ASSERT_EQ(h.Viewer()->UserContextNode(aMarker->graphNode), 1);
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Extend all levels", "Extend  1  level", "Extend  2  levels",
                                                      "Extend  3  levels", ""}));
  h.Choose("Extend2Item");
  EXPECT_FALSE(HasMarker(a));
  EXPECT_FALSE(HasMarker(Child(a, 0)));
  EXPECT_NE(Child(Child(a, 0), 0)->graphNode, nullptr);
  EXPECT_EQ(h.graph->GetContextNode(), a);

  // Collapse sub tree on a; the node menu knows a is collapsed then.
  ASSERT_EQ(h.Viewer()->UserContextNode(a->graphNode), 1);
  h.Choose("CollapseItem");
  EXPECT_TRUE(HasMarker(a));
  EXPECT_EQ(Child(a, 0)->graphNode, nullptr);
  h.Viewer()->UserContextNode(a->graphNode);
  EXPECT_EQ(h.MenuItem("CollapseItem")->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(h.MenuItem("ExtendItem")->GetSensitivity(), KIVDialog::SensitivityOn);
  // Extend sub tree (level 1, keeping what is displayed).
  h.Choose("ExtendItem");
  EXPECT_FALSE(HasMarker(a));
  EXPECT_NE(Child(a, 0)->graphNode, nullptr);
  EXPECT_TRUE(HasMarker(Child(a, 0)));
  // All levels from the root through UpdateExtendNode(-2).
  EXPECT_EQ(h.graph->UpdateExtendNode(nullptr, -2, 0), 1);
  h.graph->UpdateGraph(0, nullptr, 1, 0);
  EXPECT_EQ(h.graph->GetTotalNode(), 8);
  EXPECT_EQ(h.graph->UpdateExtendNode(nullptr, -2, 0), 0);
}

TEST(NavSimpleGraph, ClicksSelectToggleAndForward) {
  Host h;
  Rec* root = Sample();
  Child(root, 2)->state &= ~Rec::StateSelectable;
  h.graph->ReferenceSession(root, -1);
  EXPECT_EQ(h.graph->GetTotalNode(), 8);
  Rec* a = Child(root, 0);
  Rec* b = Child(root, 1);
  h.Viewer()->UserSelect(a->graphNode);
  EXPECT_EQ(h.heard.back(), "KIVNodeSelectNotification");
  h.Viewer()->UserSelect(b->graphNode, 1);
  EXPECT_EQ(h.heard.back(), "KIVNodeExtSelectNotification");
  EXPECT_EQ(Names(h.graph->getSelection(), h.graph->getSelectionNumber()), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(b->graphNode->isShadowIn());
  EXPECT_TRUE(b->graphNode->isSelected());
  // The same record twice with extended select: unselected.
  h.Viewer()->UserSelect(b->graphNode, 1);
  EXPECT_FALSE(h.graph->IsNoeudSelected(b));
  EXPECT_FALSE(b->graphNode->isShadowIn());
  EXPECT_EQ(h.graph->GetLastSelected(), a);
  // Select alone replaces; again changes nothing and forwards nothing.
  const std::size_t before = h.heard.size();
  h.Viewer()->UserSelect(a->graphNode);
  EXPECT_EQ(h.heard.size(), before);
  // Not selectable: ignored.
  h.Viewer()->UserSelect(Child(root, 2)->graphNode);
  EXPECT_EQ(h.heard.size(), before);
  // Not highlighted when 0x10.
  Child(root, 1)->state |= Rec::StateNoHighlight;
  h.Viewer()->UserSelect(b->graphNode);
  EXPECT_TRUE(h.graph->IsNoeudSelected(b));
  EXPECT_FALSE(b->graphNode->isShadowIn());
  // Icon clicks on records with 0x80 and 0x40 send the icon selection notification.
  a->state |= Rec::StateIconClick | Rec::StatePixmap;
  h.Viewer()->UserSelect(a->graphNode, 0, 1);
  EXPECT_EQ(h.heard.back(), "NavIconSelectionNotification");
  EXPECT_EQ(h.graph->GetContextNode(), a);
  // Double click: edit forwarded.
  h.Viewer()->UserEdit(a->graphNode);
  EXPECT_EQ(h.heard.back(), "KIVNodeEditNotification");
  // Selection survives a rebuild, in tree order.
  h.graph->UpdateGraph(0, nullptr, 1, 0);
  EXPECT_EQ(Names(h.graph->getSelection(), h.graph->getSelectionNumber()), (std::vector<std::string>{"b"}));
}

TEST(NavSimpleGraph, MenusFollowTheStyleAndActOnSelections) {
  Host h;
  Rec* root = Sample();
  h.graph->ReferenceSession(root, -1);
  Rec* a = Child(root, 0);
  h.Viewer()->UserContextNode(a->graphNode);
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Extend   sub tree", "Collapse sub tree", "", "Select sub tree",
                                                      "Unselect sub tree", ""}));
  EXPECT_EQ(h.Menu()->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(h.heard.back(), "KIVNodeContextNotification");  // forwarded with 0x80
  h.Choose("SelectySubTreeItem");
  EXPECT_EQ(h.heard.back(), "KIVNodeSelectNotification");
  EXPECT_EQ(Names(h.graph->getSelection(), h.graph->getSelectionNumber()),
            (std::vector<std::string>{"a", "a1", "a11", "a2"}));
  EXPECT_EQ(h.graph->GetContextNode(), nullptr);
  h.Viewer()->UserContextNode(Child(a, 0)->graphNode);
  h.Choose("UnselectSubTreeItem");
  EXPECT_EQ(Names(h.graph->getSelection(), h.graph->getSelectionNumber()), (std::vector<std::string>{"a", "a2"}));

  // Background menu: settings item, selection items, extension items.
  h.Viewer()->UserContextGraph();
  EXPECT_EQ(h.heard.back(), "KIVGraphContextNotification");
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Tree settings", "", "Extend   selection", "Collapse selection",
                                                      "", "Select all", "Unselect all", ""}));
  h.Choose("CollapseSelectItem");
  EXPECT_TRUE(HasMarker(a));
  EXPECT_EQ(h.heard.back(), "NavExtendTreeNotification");
  h.Viewer()->UserContextGraph();
  h.Choose("ExtendSelectItem");
  EXPECT_FALSE(HasMarker(a));
  h.Viewer()->UserContextGraph();
  h.Choose("SelectyAllItem");
  EXPECT_EQ(h.graph->getSelectionNumber(), 8);
  h.Viewer()->UserContextGraph();
  h.Choose("UnselectAllItem");
  EXPECT_EQ(h.graph->getSelectionNumber(), 0);
  h.Viewer()->UserContextGraph();
  EXPECT_EQ(h.MenuItem("ExtendSelectItem")->GetSensitivity(), KIVDialog::SensitivityOff);
  // The settings check item opens the dialog through the Settings button.
  auto* settings = dynamic_cast<KIVDlgCheckItem*>(h.MenuItem("SettingItem"));
  ASSERT_NE(settings, nullptr);
  // Arc: the menu empties.
  h.Viewer()->UserContextArc(a->graphNode->getParentArcs().front());
  EXPECT_TRUE(h.Menu()->GetDialogChildren().empty());
}

TEST(NavSimpleGraph, MenusWithoutOptionalStylesAndForwarding) {
  Host h(0x1 | 0x200);  // menus and extension only
  Rec* root = Sample();
  h.graph->ReferenceSession(root, -1);
  h.Viewer()->UserContextNode(Child(root, 2)->graphNode);
  // Leaf: extension items insensitive; the last row (the selection's separator) dropped
  // without 0x100, the extension's separator kept.
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Extend   sub tree", "Collapse sub tree", ""}));
  EXPECT_EQ(h.MenuItem("ExtendItem")->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_TRUE(h.heard.empty());  // nothing forwarded without 0x80
  h.Viewer()->UserContextGraph();
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Extend   selection", "Collapse selection", ""}));
  EXPECT_EQ(h.graph->GetSelectNotification(), nullptr);
  // Hidden frame: no menu is built.
  h.graph->SetVisibility(KIVDialog::VisibilityHidden);
  h.Viewer()->UserContextNode(root->graphNode);
  EXPECT_EQ(h.MenuTitles(), (std::vector<std::string>{"Extend   selection", "Collapse selection", ""}));
}

TEST(NavSimpleGraph, SettingsDialogRoundTrip) {
  Host h(0x1 | 0x8 | 0x20 | 0x200);
  int events = 0;
  KIVCommand listener;
  listener.AddCallback(h.graph, NavSimpleGraph::EDIT_GRAPH_SETTING(),
                       [&events](const char*, void*, KIVNotification*, void*, KIVCallback) { ++events; }, nullptr);
  EXPECT_STREQ(NavSimpleGraph::EDIT_GRAPH_SETTING(), "NavSimpleGraphEDIT_GRAPH_SETTINGEvt");
  h.graph->ReferenceSession(Sample(), -1);
  NavSimpleGraphSetting s;
  h.graph->GetCurrentSetting(s);
  EXPECT_EQ(s.layoutStyle, 8);
  EXPECT_EQ(s.extensionLevel, 1);
  EXPECT_EQ(s.widthMargin, 5);
  EXPECT_EQ(s.depthMargin, 10);

  // The Settings button opens the dialog.
  KIVDlgCheckButton* button = h.graph->GetSettingButton();
  ASSERT_NE(button, nullptr);
  EXPECT_STREQ(button->GetTag().CastToCharPtr(), "TreeSettingButton");
  EXPECT_STREQ(button->GetIconName().CastToCharPtr(), "cbseting");
  ASSERT_EQ(button->UserSetState(KIVDialog::StateSet), 1);
  KIVDlgDialog* dialog = h.graph->GetSettingDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(dialog->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(dialog->GetTitle(), KIVUnicodeString("Tree Settings"));
  EXPECT_EQ(dialog->GetCancelTitle(), KIVUnicodeString("Close"));
  std::vector<KIVDlgCombo*> combos;
  std::vector<KIVDlgSpinner*> spinners;
  std::vector<KIVDlgCheckButton*> checks;
  std::vector<KIVDialog*> stack{dialog};
  while (!stack.empty()) {
    KIVDialog* d = stack.back();
    stack.pop_back();
    if (auto* c = dynamic_cast<KIVDlgCombo*>(d)) combos.push_back(c);
    if (auto* c = dynamic_cast<KIVDlgSpinner*>(d)) spinners.push_back(c);
    if (auto* c = dynamic_cast<KIVDlgCheckButton*>(d)) checks.push_back(c);
    for (auto it = d->GetDialogChildren().rbegin(); it != d->GetDialogChildren().rend(); ++it) stack.push_back(*it);
  }
  ASSERT_EQ(combos.size(), 3u);
  ASSERT_EQ(spinners.size(), 2u);
  ASSERT_EQ(checks.size(), 3u);
  KIVDlgCombo *tree = combos[0], *align = combos[1], *extend = combos[2];
  EXPECT_EQ(tree->GetSelect(), 0);
  EXPECT_EQ(align->GetSelect(), 1);  // Centered
  EXPECT_EQ(spinners[0]->GetCurrentValue(), 10);
  EXPECT_EQ(extend->GetSelect(), 1);
  EXPECT_EQ(checks[1]->GetTitle(), KIVUnicodeString("Square Arcs"));
  EXPECT_EQ(checks[1]->GetSensitivity(), KIVDialog::SensitivityOn);

  // Indented disappears for a vertical tree, the selection moving to Aligned; comes back.
  align->UserSelect(2);
  EXPECT_EQ(checks[1]->GetSensitivity(), KIVDialog::SensitivityOff);
  tree->UserSelect(1);
  EXPECT_EQ(align->GetLineCount(), 2);
  EXPECT_EQ(align->GetSelect(), 0);
  tree->UserSelect(0);
  EXPECT_EQ(align->GetLineCount(), 3);
  EXPECT_EQ(align->GetLine(2), KIVUnicodeString("Indented"));
  EXPECT_EQ(align->GetSelect(), 0);

  // Apply: the setting built from the widgets.
  tree->UserSelect(1);
  align->UserSelect(1);
  checks[0]->UserSetState(KIVDialog::StateSet);
  checks[1]->UserSetState(KIVDialog::StateSet);
  checks[2]->UserSetState(KIVDialog::StateSet);
  spinners[0]->UserSetValue(22);
  spinners[1]->UserSetValue(7);
  extend->UserSelect(0);
  ASSERT_EQ(dialog->UserApply(), 1);
  EXPECT_EQ(h.heard.back(), "KIVDlgDiaAPPLYNotification");
  h.graph->GetCurrentSetting(s);
  EXPECT_EQ(s.layoutStyle, 0x1 | 0x8 | 0x10 | 0x20 | 0x40);
  EXPECT_EQ(s.depthMargin, 22);
  EXPECT_EQ(s.widthMargin, 7);
  EXPECT_EQ(s.extensionLevel, -2);
  KIVGraph* graph = h.graph->GetGraphViewer()->getGraph();
  EXPECT_EQ(graph->getLayout(), KIVGraph::VerticalCentered);
  EXPECT_EQ(graph->getGravity(), 1);
  EXPECT_EQ(graph->getPacked(), 1);
  EXPECT_EQ(graph->getSquareArcs(), 1);
  EXPECT_EQ(graph->getDepthMargin(), 22);

  // Set from code: margins clamped, the dialog follows; -1 fields change nothing.
  NavSimpleGraphSetting next;
  next.layoutStyle = 0x4;  // horizontal indented
  next.depthMargin = 55;
  next.widthMargin = -3;
  h.graph->SetCurrentSetting(next);
  h.graph->GetCurrentSetting(s);
  EXPECT_EQ(s.depthMargin, 40);
  EXPECT_EQ(s.widthMargin, 0);
  EXPECT_EQ(s.extensionLevel, -2);
  EXPECT_EQ(graph->getLayout(), KIVGraph::HorizontalIndented);
  EXPECT_EQ(align->GetSelect(), 2);
  EXPECT_EQ(tree->GetSelect(), 0);
  EXPECT_EQ(spinners[0]->GetCurrentValue(), 40);
  EXPECT_EQ(extend->GetSelect(), 0);
  // Indented asked of a vertical tree: the graph keeps its layout.
  next = NavSimpleGraphSetting();
  next.layoutStyle = 0x4 | 0x1;
  h.graph->SetCurrentSetting(next);
  EXPECT_EQ(graph->getLayout(), KIVGraph::HorizontalIndented);

  // Close unchecks the button and hides the dialog.
  ASSERT_EQ(dialog->UserCancel(), 1);
  EXPECT_EQ(button->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(dialog->GetVisibility(), KIVDialog::VisibilityHidden);
  // Extra frames: the title becomes "Settings".
  h.graph->AddSettingFrame(new KIVDlgFrame(dialog, "Extra1"));
  EXPECT_EQ(h.graph->AddSettingFrame(new KIVDlgFrame(dialog, "Extra2")), 2);
  EXPECT_EQ(h.graph->AddSettingFrame(new KIVDlgFrame(dialog, "Extra3")), 3);  // grown by doubling
  h.graph->AfficheSetting(1, 0);
  EXPECT_EQ(dialog->GetTitle(), KIVUnicodeString("Settings"));
  EXPECT_EQ(events, 2);
}

TEST(NavSimpleGraph, TreeEditingAndSearch) {
  Rec* root = Sample();
  Rec* a = Child(root, 0);
  Rec* extra = Make("extra");
  NavSimpleGraph::AddFeuille(root, extra);
  EXPECT_EQ(root->childCount, 4);
  int pos = 0;
  EXPECT_EQ(NavSimpleGraph::SetFeuillePosition(root, extra, pos), 0);
  EXPECT_EQ(Child(root, 0), extra);
  EXPECT_EQ(Child(root, 1), a);
  pos = 9;  // out of range: the current index
  EXPECT_EQ(NavSimpleGraph::SetFeuillePosition(root, extra, pos), 0);
  pos = 3;
  NavSimpleGraph::SetFeuillePosition(root, extra, pos);
  EXPECT_EQ(Child(root, 3), extra);
  EXPECT_EQ(Child(root, 0), a);
  pos = 1;
  Rec* stranger = Make("stranger");
  EXPECT_EQ(NavSimpleGraph::SetFeuillePosition(root, stranger, pos), -1);
  NavSimpleGraph::DeleteRecords(stranger);
  NavSimpleGraph::AddFeuille(root, extra);
  NavSimpleGraph::RemoveFeuille(root, extra);  // every occurrence
  EXPECT_EQ(root->childCount, 3);
  NavSimpleGraph::DeleteRecords(extra);

  Host h;
  h.graph->ReferenceSession(root, 1);  // a and b collapsed
  Rec* a11 = Child(Child(a, 0), 0);
  EXPECT_EQ(h.graph->RechercheNoeud(static_cast<void*>(a11), nullptr, 0, -1), a11);
  EXPECT_EQ(h.graph->RechercheNoeud(static_cast<void*>(a11), nullptr, 0, 2), nullptr);  // too deep
  EXPECT_EQ(h.graph->RechercheNoeud(static_cast<KIVCommand*>(a->graphNode), nullptr, 1, -1), a);
  EXPECT_EQ(h.graph->RechercheFather(a, 0), root);
  EXPECT_EQ(h.graph->RechercheFather(a11, 0), nullptr);  // hidden: only with searchHidden
  EXPECT_EQ(h.graph->RechercheFather(a11, 1), Child(a, 0));
  // Several records of one object.
  Child(root, 1)->object = a->object;
  int count = 0, capacity = 0;
  Rec** list = nullptr;
  EXPECT_EQ(h.graph->RechercheNoeud(a->object, nullptr, count, capacity, &list, 0, -1), 2);
  EXPECT_EQ(list[1], Child(root, 1));
  delete[] list;
  Child(root, 1)->object = Child(root, 1);

  // UpdateTree: names and states copied, new children copied in place, missing ones deleted.
  Rec* fresh = Make("ROOT", {Make("A", {}, a->object), Make("new", {Make("new1")}), Make("C", {}, Child(root, 2)->object)},
                    root->object);
  h.graph->UpdateSession(fresh, -1);
  EXPECT_EQ(root->name, KIVUnicodeString("ROOT"));
  EXPECT_EQ(root->graphNode->getLabel(), KIVUnicodeString("ROOT"));
  ASSERT_EQ(root->childCount, 3);
  EXPECT_EQ(Child(root, 0), a);
  EXPECT_EQ(Child(root, 1)->name, KIVUnicodeString("new"));
  EXPECT_NE(Child(root, 1), fresh->children[1]);  // a copy
  EXPECT_EQ(Child(root, 1)->childCount, 1);
  EXPECT_EQ(Child(root, 2)->name, KIVUnicodeString("C"));
  EXPECT_TRUE(HasMarker(a));  // its collapse kept
  NavSimpleGraph::DeleteRecords(fresh);
}

// The hashed selection against a plain transcription of the rules, on random lists.
void PlainSelect(std::vector<Rec*>& selection, std::vector<Rec*>& nodes, int toggle) {
  for (std::size_t i = 0; i < selection.size();) {
    Rec* r = selection[i];
    const bool in = std::find(nodes.begin(), nodes.end(), r) != nodes.end();
    if (toggle ? in : !in) {
      r->state &= ~Rec::StateSelected;
      selection.erase(selection.begin() + static_cast<std::ptrdiff_t>(i));
      if (toggle)
        for (auto& n : nodes)
          if (n == r) n = nullptr;
    } else {
      ++i;
    }
  }
  for (Rec* r : nodes)
    if (r && (r->state & Rec::StateSelectable) && !(r->state & Rec::StateSelected)) {
      r->state |= Rec::StateSelected;
      selection.push_back(r);
    }
}

TEST(NavSimpleGraph, SelectionMatchesAPlainTranscription) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    Host h;
    std::vector<Rec*> kids;
    const int n = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) kids.push_back(Make(("k" + std::to_string(i)).c_str()));
    Rec* root = Make("root", kids);
    for (Rec* k : kids)
      if (rng() % 4 == 0) k->state &= ~Rec::StateSelectable;
    h.graph->ReferenceSession(root, -1);
    std::vector<Rec*> plain;
    std::vector<int> plainStates(n);
    for (int step = 0; step < 6; ++step) {
      std::vector<Rec*> pick;
      const int m = static_cast<int>(rng() % 8);
      for (int i = 0; i < m; ++i) pick.push_back(kids[rng() % n]);
      const int toggle = static_cast<int>(rng() % 2);
      // The plain rules on copies of the states.
      std::vector<int> saved;
      for (Rec* k : kids) saved.push_back(k->state);
      std::vector<Rec*> plainNodes = pick;
      PlainSelect(plain, plainNodes, toggle);
      for (int i = 0; i < n; ++i) plainStates[i] = kids[i]->state;
      for (int i = 0; i < n; ++i) kids[i]->state = saved[i];
      std::vector<Rec*> nodes = pick;
      h.graph->SelectNoeudGraph(nodes.data(), static_cast<int>(nodes.size()), toggle);
      ASSERT_EQ(std::vector<Rec*>(h.graph->getSelection(), h.graph->getSelection() + h.graph->getSelectionNumber()),
                plain);
      for (int i = 0; i < n; ++i) ASSERT_EQ(kids[i]->state, plainStates[i]);
      // The nodes left in the array: the same, compacted.
      std::vector<Rec*> left;
      for (Rec* r : plainNodes)
        if (r) left.push_back(r);
      left.resize(nodes.size(), nullptr);
      ASSERT_EQ(nodes, left);
    }
  }
}

TEST(NavSimpleGraph, BadTreesGiveClearResults) {
  Host h;
  h.graph->ReferenceSession(nullptr, 0);  // null root
  EXPECT_EQ(h.graph->GetTotalNode(), 0);
  EXPECT_EQ(h.graph->UpdateExtendNode(nullptr, 1, 0), 0);
  h.graph->UpdateGraph(0, nullptr, 1, 1);
  h.graph->Reframe();
  h.Viewer()->UserContextGraph();
  h.graph->ActiveOption(-20);
  h.graph->ActiveOption(-12);
  h.graph->ActiveOption(-16);
  EXPECT_EQ(h.graph->getSelectionNumber(), 0);
  Rec* lone = Make("lone");  // an empty tree: one record without children
  h.graph->ReferenceSession(lone, 0);
  EXPECT_EQ(h.graph->GetTotalNode(), 1);
  EXPECT_EQ(h.graph->UpdateExtendNode(lone, 0, 0), 0);

  // A cycle handed in by mistake: each record once, no hang.
  Rec* root = Make("root", {Make("x", {Make("y")})});
  Rec* y = Child(Child(root, 0), 0);
  NavSimpleGraph::AddFeuille(y, root);
  h.graph->ReferenceSession(root, -1);  // deletes "lone"
  EXPECT_EQ(h.graph->GetTotalNode(), 3);
  EXPECT_EQ(h.graph->RechercheNoeud(static_cast<void*>(nullptr), nullptr, 0, -1), nullptr);
  h.graph->SelectAllNoeud(root, 1, 1, 0);
  EXPECT_EQ(h.graph->getSelectionNumber(), 3);
  EXPECT_EQ(h.graph->UpdateExtendNode(root, -2, 0), 0);
  h.graph->UpdateExtendNode(root, 1, 0);
  h.graph->UpdateGraph(0, nullptr, 1, 1);
  NavSimpleGraph::RemoveFeuille(y, root);  // so that the fixture's deletion ends
}

}  // namespace
