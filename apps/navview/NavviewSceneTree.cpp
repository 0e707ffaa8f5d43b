#include "apps/navview/NavviewSceneTree.h"

#include <algorithm>
#include <unordered_set>

#include "apps/navview/NavviewSession.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "viewer/NavViewerExtand.h"

namespace {
using Rec = KIVNavArbreElement;
constexpr int kFullTreeUpTo = 400;  // records shown whole at first; bigger trees open two levels
}  // namespace

NavviewSceneTree::NavviewSceneTree(NavviewSession& session) : KIVCommand(nullptr, "NavviewSceneTree"), mSession(session) {}

NavviewSceneTree::~NavviewSceneTree() {
  if (mWindow) {
    Rec* root = mGraph->GetRoot();
    delete mWindow;  // the graph goes with it; the records are ours
    NavSimpleGraph::DeleteRecords(root);
  }
}

void NavviewSceneTree::Build() {
  mWindow = new KIVDlgDialog(nullptr, "NavviewSceneTreeWindow", KIVDlgWindow::StyleNoButtons);
  mWindow->SetTitle(KIVUnicodeString("Scene Tree"));
  mWindow->SetRectDimensions(0, 0, 640, 520);
  mGraph = new NavSimpleGraph(this, mWindow, 0, kGraphStyle);
  mGraph->SetGridConstraints(0, 0, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop |
                                             KIVDialog::AttachBottom);
  AddAnalyseNotificationCB(mGraph, static_cast<KIVNotification*>(nullptr), &NavviewSceneTree::GraphCB, nullptr);
}

KIVNavArbreElement* NavviewSceneTree::Records(KIVRep* top, int& count) const {
  // Breadth first, each representation once (a rep shared by two bags is shown once).
  count = 0;
  if (!top) return nullptr;
  std::unordered_set<const KIVRep*> seen{top};
  std::vector<std::pair<KIVRep*, Rec*>> queue;
  auto make = [&](KIVRep* rep) {
    auto* r = new Rec;
    r->object = rep;
    const char* name = mSession.GetScene().GetName(rep);
    r->name = name && *name ? name : rep == top ? "Official" : rep->IsA();
    ++count;
    return r;
  };
  Rec* root = make(top);
  queue.emplace_back(top, root);
  for (std::size_t q = 0; q < queue.size(); ++q) {
    auto [rep, rec] = queue[q];
    std::vector<KIVRep*> kids;
    for (KIVRep* c : rep->GetChildren())
      if (c && seen.insert(c).second) kids.push_back(c);
    if (kids.empty()) continue;
    rec->children = new Rec*[kids.size()];
    rec->childCount = static_cast<int>(kids.size());
    for (std::size_t i = 0; i < kids.size(); ++i) {
      rec->children[i] = make(kids[i]);
      queue.emplace_back(kids[i], rec->children[i]);
    }
  }
  return root;
}

void NavviewSceneTree::Show() {
  if (!mWindow) Build();
  KIVRep* official = mSession.GetViewer().GetRootRep(NavViewerExtand::kOfficialRoot);
  int count = 0;
  Rec* root = Records(official, count);
  mRecordCount = count;
  mGraph->ReferenceSession(root, count <= kFullTreeUpTo ? -1 : 2);
  Highlight();
  mWindow->SetVisibility(KIVDialog::VisibilityShown);
  mGraph->Reframe();
}

KIVNavArbreElement* NavviewSceneTree::Find(const std::string& name) const {
  const KIVUnicodeString wanted(name);
  std::vector<Rec*> stack{mGraph->GetRoot()};
  std::unordered_set<const Rec*> seen;
  while (!stack.empty()) {
    Rec* r = stack.back();
    stack.pop_back();
    if (!r || !seen.insert(r).second) continue;
    if (r->object && r->name == wanted) return r;
    for (int i = r->childCount - 1; i >= 0; --i) stack.push_back(r->children[i]);
  }
  return nullptr;
}

void NavviewSceneTree::Reveal(KIVNavArbreElement* record) {
  // Extends one level at each collapsed ancestor, from the top, until the record shows.
  std::vector<Rec*> path;
  for (Rec* r = mGraph->RechercheFather(record, 1); r; r = mGraph->RechercheFather(r, 1)) {
    if (std::find(path.begin(), path.end(), r) != path.end()) break;
    path.push_back(r);
  }
  bool changed = false;
  for (auto it = path.rbegin(); it != path.rend(); ++it)
    if (mGraph->UpdateExtendNode(*it, 1, 1)) changed = true;
  if (changed) mGraph->UpdateGraph(0, nullptr, 1, 0);
}

void NavviewSceneTree::Highlight() {
  // The viewer's highlights follow the graph's selection.
  std::unordered_set<const void*> selected;
  for (int i = 0; i < mGraph->getSelectionNumber(); ++i) selected.insert(mGraph->getSelection()[i]->object);
  std::vector<Rec*> stack{mGraph->GetRoot()};
  std::unordered_set<const Rec*> seen;
  bool changed = false;
  while (!stack.empty()) {
    Rec* r = stack.back();
    stack.pop_back();
    if (!r || !seen.insert(r).second) continue;
    if (auto* rep = static_cast<KIVRep*>(r->object)) {
      const int on = selected.count(rep) ? 1 : 0;
      if (rep->GetHighlightMode() != on) {
        rep->SetHighlightMode(on, 1);
        changed = true;
      }
    }
    for (int i = r->childCount - 1; i >= 0; --i) stack.push_back(r->children[i]);
  }
  if (changed) mSession.GetViewer().RequestRedraw();
}

void NavviewSceneTree::GraphCB(KIVCommand*, KIVNotification* notification, void*) {
  if (!notification || !mGraph) return;
  if (notification == mGraph->GetSelectNotification() ||
      notification->IsAKindOf(KIVNodeSelectNotification::ClassName()) ||
      notification->IsAKindOf(KIVNodeExtSelectNotification::ClassName()))
    Highlight();
}

std::string NavviewSceneTree::Summary() const {
  return std::to_string(mGraph->GetTotalNode()) + " of " + std::to_string(mRecordCount) + " nodes shown, " +
         std::to_string(mGraph->getSelectionNumber()) + " selected";
}

std::string NavviewSceneTree::Command(const std::vector<std::string>& words, bool& failed) {
  if (!mWindow || words.empty()) Show();
  if (words.empty()) return Summary();
  const std::string& verb = words[0];
  std::string rest;
  for (std::size_t i = 1; i < words.size(); ++i) rest += (i > 1 ? " " : "") + words[i];
  if (verb == "reframe" && words.size() == 1) {
    mGraph->Reframe();
    return Summary();
  }
  if (verb == "layout" && words.size() > 1) {
    NavSimpleGraphSetting s;
    mGraph->GetCurrentSetting(s);
    int style = s.layoutStyle & NavSimpleGraph::LayoutVertical;
    int align = NavSimpleGraph::LayoutCentered;
    for (std::size_t i = 1; i < words.size(); ++i) {
      const std::string& w = words[i];
      if (w == "vertical") style |= NavSimpleGraph::LayoutVertical;
      else if (w == "horizontal") style &= ~NavSimpleGraph::LayoutVertical;
      else if (w == "centered") align = NavSimpleGraph::LayoutCentered;
      else if (w == "aligned") align = NavSimpleGraph::LayoutAligned;
      else if (w == "indented") align = NavSimpleGraph::LayoutIndented;
      else if (w == "packed") style |= NavSimpleGraph::LayoutPacked;
      else if (w == "reversed") style |= NavSimpleGraph::LayoutReversed;
      else if (w == "square") style |= NavSimpleGraph::LayoutSquareArcs;
      else {
        failed = true;
        return "unknown layout word '" + w + "'";
      }
    }
    NavSimpleGraphSetting next;
    next.layoutStyle = style | align;
    mGraph->SetCurrentSetting(next);
    return "layout " + std::to_string(next.layoutStyle) + ": " + Summary();
  }
  if ((verb == "select" || verb == "collapse" || verb == "extend") && !rest.empty()) {
    Rec* r = Find(rest);
    if (!r) {
      failed = true;
      return "no node named '" + rest + "' in the scene tree";
    }
    if (verb == "select") {
      Reveal(r);
      if (!r->graphNode || !mGraph->GetGraphViewer()->UserSelect(r->graphNode)) {
        failed = true;
        return "'" + rest + "' cannot be selected";
      }
      return "selected " + rest + ": " + Summary();
    }
    if (r->childCount == 0) {
      failed = true;
      return "'" + rest + "' has no children";
    }
    Reveal(r);
    if (verb == "collapse") mGraph->UpdateExtendNode(r, 0, 0);
    else mGraph->UpdateExtendNode(r, -2, 0);
    mGraph->UpdateGraph(1, &r, 1, 0);
    return (verb == "collapse" ? "collapsed " : "extended ") + rest + ": " + Summary();
  }
  failed = true;
  return {};
}
