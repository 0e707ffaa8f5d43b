// NavSimpleGraph: construction, sessions, graph nodes, tree editing, search, selection
// and extension. Every walk over the records is iterative and visits a record once, so
// a deep tree cannot exhaust the stack and a cycle handed in by mistake cannot hang.
#include "browsing/NavSimpleGraph.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVInteractiveApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"

const char* NavSimpleGraph::EDIT_GRAPH_SETTING() { return NavSimpleGraphEDIT_GRAPH_SETTINGEvt::ClassName(); }

namespace {

using Rec = KIVNavArbreElement;
constexpr int kFirstSelectionCapacity = 150;
constexpr int kNodeColor = 45, kMarkerColor = 16, kArcColor = 46;

bool IsMarker(const Rec* r) { return (r->state & Rec::StateMarker) != 0; }

// Depth first, pre-order, children in order, each record once. visit(record, depthLeft)
// returns true to go on; the walk descends into a record's children when descend(record)
// says so and depthLeft is not 0 (-1: unlimited). Returns the record where visit stopped.
template <class Visit, class Descend>
Rec* Walk(Rec* start, int depth, Visit&& visit, Descend&& descend) {
  if (!start) return nullptr;
  std::vector<std::pair<Rec*, int>> stack{{start, depth}};
  std::unordered_set<const Rec*> seen;
  while (!stack.empty()) {
    auto [r, left] = stack.back();
    stack.pop_back();
    if (!r || !seen.insert(r).second) continue;
    if (!visit(r, left)) return r;
    if (left == 0 || !descend(r)) continue;
    for (int i = r->childCount - 1; i >= 0; --i) stack.emplace_back(r->children[i], left > 0 ? left - 1 : -1);
  }
  return nullptr;
}

Rec* CopyRecords(const Rec* from) {
  // Children copied breadth first, each record once (a cycle is cut where it closes).
  std::unordered_map<const Rec*, Rec*> made;
  std::vector<const Rec*> queue{from};
  auto* root = new Rec(*from);
  root->graphNode = nullptr;
  made[from] = root;
  for (std::size_t q = 0; q < queue.size(); ++q) {
    const Rec* src = queue[q];
    Rec* dst = made[src];
    int n = 0;
    auto** kids = src->childCount > 0 ? new Rec*[src->childCount] : nullptr;
    for (int i = 0; i < src->childCount; ++i) {
      const Rec* c = src->children[i];
      if (!c || made.count(c)) continue;
      auto* copy = new Rec(*c);
      copy->graphNode = nullptr;
      copy->children = nullptr;
      copy->childCount = 0;
      made[c] = copy;
      kids[n++] = copy;
      queue.push_back(c);
    }
    dst->children = nullptr;
    dst->childCount = 0;
    if (n > 0) {
      dst->children = new Rec*[n];
      std::copy(kids, kids + n, dst->children);
      dst->childCount = n;
    }
    delete[] kids;
  }
  return root;
}

}  // namespace

NavSimpleGraph::NavSimpleGraph(KIVCommand* father, KIVDialog* parent, int, int style)
    : KIVDlgFrame(parent, GraphPanelTag, 0x404000), mFather(father ? father : parent), mStyle(style) {
  SetRectDimensions(80, 80, 500, 300);
  const int a = style & StyleViewerA, b = style & StyleViewerB;
  const int viewerStyle = (a || b) ? 0x80000 : 0x40000;
  const int graphStyle = a && b ? 262 : a ? 258 : b ? 4 : 0;
  mViewer = new KIVGraphViewer(this, GraphViewerTag, viewerStyle, graphStyle);
  mViewer->SetRectDimensions(0, 0, 500, 300);
  mViewer->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  AddAnalyseNotificationCB(mViewer, static_cast<KIVNotification*>(nullptr), &NavSimpleGraph::ActionGraphCB, nullptr);

  if (style & StyleContextMenu) {
    mMenu = new NavMenuGeneric(this, mViewer, ContextMenuName, 0, nullptr, 0);
    mMenu->SetRacineMenu(mViewer->GetContextualMenu());
    AddAnalyseNotificationCB(mMenu, mMenu->GetActionMenuNotification(), &NavSimpleGraph::ActionGraphCB, nullptr);
  }
  if (style & (StyleSettingButton | StyleIconFrame)) {
    mIconFrame = new KIVDlgFrame(this, "GraphIconFrame", 0);
    mIconFrame->SetTitle(IconFrameTitle);
    mIconFrame->SetGridConstraints(1, 0, 1, 1, AttachLeft | AttachRight);
    if (style & StyleSettingButton) {
      mSettingButton = new KIVDlgCheckButton(mIconFrame, SettingButtonTag, 0);
      mSettingButton->SetTitle(SettingButtonTitle);
      mSettingButton->SetIconName(SettingButtonIconName);
      AddAnalyseNotificationCB(mSettingButton, mSettingButton->GetChkBModifyNotification(),
                               &NavSimpleGraph::ActionGraphCB, nullptr);
    }
  }
  mSelection = new (std::nothrow) Rec*[kFirstSelectionCapacity];
  if (mSelection) mSelectionCapacity = kFirstSelectionCapacity;
  else std::fprintf(stderr, "ERROR: NavSimpleGraph - Unable to allocate list\n");
  mSettingFrames = new (std::nothrow) KIVDlgFrame*[2];
  if (mSettingFrames) mSettingFrameCapacity = 2;
  mIconFrames = new (std::nothrow) KIVDlgFrame*[2];
  if (mIconFrames) mIconFrameCapacity = 2;
  if (style & StyleExtension) mExtendNotification = new NavExtendTreeNotification;
  if (style & StyleSelection) mSelectNotification = new KIVNodeSelectNotification;
  mIconNotification = new NavIconSelectionNotification;

  NavSimpleGraphSetting defaults;
  defaults.layoutStyle = LayoutCentered;
  defaults.extensionLevel = 1;
  defaults.widthMargin = 5;
  defaults.depthMargin = 10;
  SetCurrentSetting(defaults);
}

NavSimpleGraph::~NavSimpleGraph() {
  // Children (viewer, settings dialog, menus) go first, while this object is whole; the
  // callbacks live on this command and go with it. The records stay the caller's.
  Retire();
  delete mMenu;
  delete[] mSelection;
  delete[] mSettingFrames;
  delete[] mIconFrames;
  delete mSelectNotification;
  delete mExtendNotification;
  delete mIconNotification;
}

KIVNotification* NavSimpleGraph::GetSelectNotification() const { return mSelectNotification; }

void NavSimpleGraph::Send(KIVNotification* notification) {
  if (notification && mFather) SendNotification(mFather, notification);
}

// ---------------------------------------------------------------------------------------
// Sessions and graph nodes

void NavSimpleGraph::ReferenceSession(KIVNavArbreElement* root, int level) {
  if (mRoot && mRoot != root) SuppressArbre(mRoot, 0);
  mRoot = root;
  ClearSelectionList();
  mDisplayed = 0;
  mContext = nullptr;
  if (root) {
    if ((mStyle & StyleExtension) && level >= 0) UpdateExtendNode(root, level, 0);
    BuildArbreFromRacine(nullptr, root, 0);
    if (root->graphNode) mViewer->getGraph()->addTree(root->graphNode);
  }
  Relayout(1, 0);
}

void NavSimpleGraph::UpdateSession(KIVNavArbreElement* node, int level) {
  if (!node) return;
  if (!mRoot) {
    ReferenceSession(CopyRecords(node), level >= 1 ? level : -1);
    return;
  }
  UpdateTree(mRoot, node);
  ClearSelectionList();
  mDisplayed = 0;
  if ((mStyle & StyleExtension) && level >= 1) UpdateExtendNode(mRoot, level, 0);
  BuildArbreFromRacine(nullptr, mRoot, 0);
  if (mRoot->graphNode) mViewer->getGraph()->addTree(mRoot->graphNode);
  Relayout(1, 0);
}

void NavSimpleGraph::UpdateGraph(int count, KIVNavArbreElement** nodes, int relayout, int reframe) {
  KIVInteractiveApplication* app = KIVInteractiveApplication::GetInteractiveApplication();
  app->SetBusyCursor(1);
  KIVGraph* graph = mViewer->getGraph();
  Rec* rootList[1] = {mRoot};
  if (!nodes || count <= 0) {
    nodes = rootList;
    count = 1;
  }
  std::vector<Rec*> trees(nodes, nodes + count);
  for (Rec* r : trees)
    if (r && r->graphNode) graph->removeTree(r->graphNode);
  ClearSelectionList();
  mDisplayed = 0;
  BuildArbreFromRacine(nullptr, mRoot, 0);
  for (Rec* r : trees)
    if (r && r->graphNode) graph->addTree(r->graphNode);
  if (mRoot && mRoot->graphNode) graph->addTree(mRoot->graphNode);
  Relayout(relayout, reframe);
  app->SetBusyCursor(0);
}

void NavSimpleGraph::Relayout(int relayout, int reframe) {
  if (relayout || reframe) {
    mViewer->layout();
    mViewer->redraw();
  }
  if (reframe) mViewer->reframe();
}

void NavSimpleGraph::Reframe() {
  mViewer->layout();
  mViewer->redraw();
  mViewer->reframe();
}

void NavSimpleGraph::BuildArbreFromRacine(KIVNavArbreElement* father, KIVNavArbreElement* node, int hidden) {
  struct Item {
    Rec* father;
    Rec* node;
    int hidden;
  };
  std::vector<Item> stack{{father, node, hidden}};
  std::unordered_set<const Rec*> seen;
  KIVGraph* graph = mViewer->getGraph();
  while (!stack.empty()) {
    const Item it = stack.back();
    stack.pop_back();
    Rec* r = it.node;
    if (!r || !seen.insert(r).second) continue;
    bool made = false;
    if (it.hidden != 1 && !r->graphNode && (r->state & Rec::StateDisplayed)) {
      auto* gn = new KIVGraphNode(graph, r->name);
      gn->setColor(IsMarker(r) ? kMarkerColor : kNodeColor);
      if (r->state & Rec::StatePixmap) gn->setPixmap(r->pixmap.CastToCharPtr());
      gn->show();
      r->graphNode = gn;
      mByGraphNode[gn] = r;
      made = true;
    }
    if (made && it.father && it.father->graphNode) {
      auto* arc = new KIVGraphArc(it.father->graphNode, r->graphNode);
      arc->setColor(kArcColor);
      arc->show();
    }
    bool collapsed = false;
    if (mStyle & StyleExtension)
      for (int i = 0; i < r->childCount && !collapsed; ++i) collapsed = r->children[i] && IsMarker(r->children[i]);
    for (int i = r->childCount - 1; i >= 0; --i) {
      Rec* c = r->children[i];
      if (!c) continue;
      stack.push_back({r, c, collapsed && !IsMarker(c) ? 1 : it.hidden});
    }
    if (r->state & Rec::StateSelected) {
      if (AddToSelection(r, "ERROR: NavSimpleGraph - Enable to allocate list\n") &&
          !(r->state & Rec::StateNoHighlight))
        Highlight(r, 1);
    }
    if (r->graphNode) ++mDisplayed;
  }
}

void NavSimpleGraph::DropGraphNode(KIVNavArbreElement* r, int delayed) {
  if (!r->graphNode) return;
  KIVGraphNode* gn = r->graphNode;
  r->graphNode = nullptr;
  mByGraphNode.erase(gn);
  if (delayed) mViewer->getGraph()->DeleteLater(gn);
  else delete gn;
}

void NavSimpleGraph::SuppressNode(KIVNavArbreElement* node, int delayed, int recursive) {
  Walk(node, recursive ? -1 : 0, [&](Rec* r, int) {
    DropGraphNode(r, delayed);
    return true;
  }, [](Rec*) { return true; });
}

void NavSimpleGraph::SuppressArbre(KIVNavArbreElement* node, int delayed) {
  if (!node) return;
  if (Rec* father = RechercheFather(node, 1)) RemoveFeuille(father, node);
  std::unordered_set<const Rec*> gone;
  Walk(node, -1, [&](Rec* r, int) {
    DropGraphNode(r, delayed);
    gone.insert(r);
    return true;
  }, [](Rec*) { return true; });
  // The selection and the context forget what goes.
  int keep = 0;
  for (int i = 0; i < mSelectionCount; ++i)
    if (!gone.count(mSelection[i])) mSelection[keep++] = mSelection[i];
  mSelectionCount = keep;
  if (gone.count(mContext)) mContext = nullptr;
  if (gone.count(mRoot)) mRoot = nullptr;
  DeleteRecords(node);
}

void NavSimpleGraph::DeleteRecords(KIVNavArbreElement* node) {
  std::vector<Rec*> all;
  Walk(node, -1, [&](Rec* r, int) {
    all.push_back(r);
    return true;
  }, [](Rec*) { return true; });
  for (Rec* r : all) {
    delete[] r->children;
    delete r;
  }
}

void NavSimpleGraph::UpdateTree(KIVNavArbreElement* oldTree, KIVNavArbreElement* newTree) {
  if (!oldTree || !newTree) return;
  std::vector<std::pair<Rec*, Rec*>> work{{oldTree, newTree}};
  std::unordered_set<const Rec*> seen;
  while (!work.empty()) {
    auto [o, n] = work.back();
    work.pop_back();
    if (!seen.insert(o).second || !seen.insert(n).second) continue;
    if (!(o->name == n->name)) {
      o->name = n->name;
      if (o->graphNode) o->graphNode->setLabel(o->name);
    }
    if (o->state != n->state) o->state = n->state;
    if (o->userWord != n->userWord) o->userWord = n->userWord;
    // The old children by object, in order, so that equal objects pair up in order.
    std::unordered_map<const void*, std::vector<Rec*>> byObject;
    for (int i = o->childCount - 1; i >= 0; --i)
      if (o->children[i] && !IsMarker(o->children[i])) byObject[o->children[i]->object].push_back(o->children[i]);
    std::unordered_set<const Rec*> matched;
    for (int j = 0; j < n->childCount; ++j) {
      Rec* nc = n->children[j];
      if (!nc) continue;
      auto found = byObject.find(nc->object);
      if (found != byObject.end() && !found->second.empty()) {
        Rec* oc = found->second.back();
        found->second.pop_back();
        matched.insert(oc);
        work.emplace_back(oc, nc);
      } else {
        Rec* copy = CopyRecords(nc);
        AddFeuille(o, copy);
        matched.insert(copy);
        int pos = j;
        SetFeuillePosition(o, copy, pos);
      }
    }
    std::vector<Rec*> unmatched;
    for (int i = 0; i < o->childCount; ++i)
      if (o->children[i] && !IsMarker(o->children[i]) && !matched.count(o->children[i]))
        unmatched.push_back(o->children[i]);
    for (Rec* r : unmatched) SuppressArbre(r, 1);
  }
}

// ---------------------------------------------------------------------------------------
// Tree editing

void NavSimpleGraph::AddFeuille(KIVNavArbreElement* parent, KIVNavArbreElement* child) {
  if (!parent || !child) return;
  auto** grown = new (std::nothrow) Rec*[parent->childCount + 1];
  if (!grown) {
    std::fprintf(stderr, "ERROR: NavSimpleGraph - Enable to allocate list\n");
    return;
  }
  std::copy(parent->children, parent->children + parent->childCount, grown);
  grown[parent->childCount] = child;
  delete[] parent->children;
  parent->children = grown;
  ++parent->childCount;
}

void NavSimpleGraph::RemoveFeuille(KIVNavArbreElement* parent, KIVNavArbreElement* child) {
  if (!parent || !child) return;
  const int before = parent->childCount;
  Rec** end = std::remove(parent->children, parent->children + before, child);
  const int after = static_cast<int>(end - parent->children);
  if (after == before) return;
  // The array stays exactly as long as the count.
  Rec** kept = after > 0 ? new (std::nothrow) Rec*[after] : nullptr;
  if (after > 0 && !kept) {
    parent->childCount = after;  // the longer array still holds them in front
    return;
  }
  std::copy(parent->children, parent->children + after, kept);
  delete[] parent->children;
  parent->children = kept;
  parent->childCount = after;
}

int NavSimpleGraph::SetFeuillePosition(KIVNavArbreElement* parent, KIVNavArbreElement* child, int& pos) {
  if (!parent || !child) return pos = -1;
  const int n = parent->childCount;
  int at = -1;
  for (int i = 0; i < n && at < 0; ++i)
    if (parent->children[i] == child) at = i;
  if (at < 0) return pos = -1;
  if (pos < 0 || pos >= n || pos == at) return pos = at;
  if (pos < at) std::rotate(parent->children + pos, parent->children + at, parent->children + at + 1);
  else std::rotate(parent->children + at, parent->children + at + 1, parent->children + pos + 1);
  return pos;
}

// ---------------------------------------------------------------------------------------
// Search

KIVNavArbreElement* NavSimpleGraph::RechercheNoeud(KIVCommand* graphNode, KIVNavArbreElement* start, int visibleOnly,
                                                   int depth) {
  if (!graphNode) return nullptr;
  return Walk(start ? start : mRoot, depth, [graphNode](Rec* r, int) { return r->graphNode != graphNode; },
              [visibleOnly](Rec* r) { return !visibleOnly || (r->state & Rec::StateDisplayed); });
}

KIVNavArbreElement* NavSimpleGraph::RechercheNoeud(void* object, KIVNavArbreElement* start, int visibleOnly,
                                                   int depth) {
  return Walk(start ? start : mRoot, depth, [object](Rec* r, int) { return r->object != object; },
              [visibleOnly](Rec* r) { return !visibleOnly || (r->state & Rec::StateDisplayed); });
}

int NavSimpleGraph::RechercheNoeud(void* object, KIVNavArbreElement* start, int& count, int& capacity,
                                   KIVNavArbreElement*** list, int visibleOnly, int depth) {
  if (!list) return count;
  if (count < 0) count = 0;
  if (!*list) capacity = 0;
  Walk(start ? start : mRoot, depth, [&](Rec* r, int) {
    if (r->object != object) return true;
    if (count >= capacity) {
      const int grown = capacity > 0 ? 2 * capacity : 16;
      auto** bigger = new (std::nothrow) Rec*[grown];
      if (!bigger) {
        std::fprintf(stderr, "ERROR: NavSimpleGraph - Enable to allocate list\n");
        return false;
      }
      if (*list) std::copy(*list, *list + count, bigger);
      delete[] *list;
      *list = bigger;
      capacity = grown;
    }
    (*list)[count++] = r;
    return true;
  }, [visibleOnly](Rec* r) { return !visibleOnly || (r->state & Rec::StateDisplayed); });
  return count;
}

KIVNavArbreElement* NavSimpleGraph::RechercheFather(KIVNavArbreElement* node, int searchHidden) {
  if (!node) return nullptr;
  if (node->graphNode) {
    KIVGraphNode* parent = node->graphNode->getFirstParent();
    auto found = parent ? mByGraphNode.find(parent) : mByGraphNode.end();
    return found != mByGraphNode.end() ? found->second : nullptr;
  }
  if (searchHidden != 1) return nullptr;
  return Walk(mRoot, -1, [node](Rec* r, int) {
    for (int i = 0; i < r->childCount; ++i)
      if (r->children[i] == node) return false;
    return true;
  }, [](Rec*) { return true; });
}

// ---------------------------------------------------------------------------------------
// Selection

void NavSimpleGraph::ClearSelectionList() { mSelectionCount = 0; }

bool NavSimpleGraph::AddToSelection(KIVNavArbreElement* r, const char* failure) {
  if (mSelectionCount >= mSelectionCapacity) {
    const int grown = mSelectionCapacity > 0 ? 2 * mSelectionCapacity : kFirstSelectionCapacity;
    auto** bigger = new (std::nothrow) Rec*[grown];
    if (!bigger) {
      std::fprintf(stderr, "%s", failure);
      return false;
    }
    std::copy(mSelection, mSelection + mSelectionCount, bigger);
    delete[] mSelection;
    mSelection = bigger;
    mSelectionCapacity = grown;
  }
  mSelection[mSelectionCount++] = r;
  r->state |= Rec::StateSelected;
  return true;
}

void NavSimpleGraph::Highlight(KIVNavArbreElement* r, int on) {
  if (!r->graphNode) return;
  r->graphNode->setSelected(on);
  if (on) r->graphNode->setShadowIn();
  else r->graphNode->setShadowOut();
}

void NavSimpleGraph::Deselect(KIVNavArbreElement* r) {
  Highlight(r, 0);
  r->state &= ~Rec::StateSelected;
}

int NavSimpleGraph::IsNoeudSelected(KIVNavArbreElement* node) const {
  return node && (node->state & Rec::StateSelected) ? 1 : 0;
}

int NavSimpleGraph::SelectNoeudGraph(KIVNavArbreElement** nodes, int n, int toggle) {
  if (!nodes || n < 0) n = 0;
  int changed = 0;
  // Membership in `nodes` by hashing, instead of a scan of `nodes` per selected record.
  std::unordered_set<const Rec*> given;
  for (int i = 0; i < n; ++i)
    if (nodes[i]) given.insert(nodes[i]);
  std::unordered_set<const Rec*> takenOut;
  int keep = 0;
  for (int i = 0; i < mSelectionCount; ++i) {
    Rec* r = mSelection[i];
    const bool in = given.count(r) != 0;
    if (toggle ? in : !in) {
      Deselect(r);
      changed = 1;
      if (toggle) takenOut.insert(r);
    } else {
      mSelection[keep++] = r;
    }
  }
  mSelectionCount = keep;
  if (!takenOut.empty()) {
    int m = 0;
    for (int i = 0; i < n; ++i)
      if (!takenOut.count(nodes[i])) nodes[m++] = nodes[i];
    for (int i = m; i < n; ++i) nodes[i] = nullptr;
    n = m;
  }
  for (int i = 0; i < n; ++i) {
    Rec* r = nodes[i];
    if (!r || !(r->state & Rec::StateSelectable) || (r->state & Rec::StateSelected)) continue;
    if (!AddToSelection(r, "ERROR: NavSimpleGraph - Enable to allocate list\n")) continue;
    if (!(r->state & Rec::StateNoHighlight)) Highlight(r, 1);
    changed = 1;
  }
  return changed;
}

void NavSimpleGraph::SelectAllNoeud(KIVNavArbreElement* node, int select, int recursive, int inner) {
  if (!node) return;
  bool dropped = false;
  auto apply = [&](Rec* r) {
    if (!(r->state & Rec::StateSelectable)) return;
    if (select) {
      if (IsMarker(r) || (r->state & Rec::StateSelected)) return;
      if (AddToSelection(r, "ERROR: NavSimpleGraph - Enable to allocate list\n") &&
          !(r->state & Rec::StateNoHighlight))
        Highlight(r, 1);
    } else if (r->state & Rec::StateSelected) {
      Deselect(r);
      dropped = true;
    }
  };
  if (inner == 0) apply(node);
  Walk(node, recursive == 1 ? -1 : 1, [&](Rec* r, int) {
    if (r != node) apply(r);
    return true;
  }, [](Rec*) { return true; });
  if (dropped) {
    int keep = 0;
    for (int i = 0; i < mSelectionCount; ++i)
      if (mSelection[i]->state & Rec::StateSelected) mSelection[keep++] = mSelection[i];
    mSelectionCount = keep;
  }
}

int NavSimpleGraph::UnselectSubTree(KIVNavArbreElement* node) {
  if (!node) return 0;
  int changed = 0;
  Walk(node, -1, [&](Rec* r, int) {
    if ((r->state & Rec::StateSelectable) && (r->state & Rec::StateSelected)) {
      Deselect(r);
      changed = 1;
    }
    return true;
  }, [](Rec*) { return true; });
  if (changed) {
    int keep = 0;
    for (int i = 0; i < mSelectionCount; ++i)
      if (mSelection[i]->state & Rec::StateSelected) mSelection[keep++] = mSelection[i];
    mSelectionCount = keep;
  }
  return changed;
}

void NavSimpleGraph::ActionAllNoeudGraph(int action, int flag, KIVNavArbreElement* node) {
  Walk(node ? node : mRoot, -1, [&](Rec* r, int) {
    const int before = r->state;
    if (action == 1) r->state |= flag;
    else if (action == 0) r->state &= ~flag;
    else if (action == 2) r->state ^= flag;
    if ((before ^ r->state) & Rec::StateSelected) {
      const bool on = (r->state & Rec::StateSelected) != 0;
      Highlight(r, on && !(r->state & Rec::StateNoHighlight));
    }
    return true;
  }, [](Rec*) { return true; });
  // The list follows the selected bits, in its order, new ones appended in tree order.
  int keep = 0;
  std::unordered_set<const Rec*> listed;
  for (int i = 0; i < mSelectionCount; ++i)
    if (mSelection[i]->state & Rec::StateSelected) {
      listed.insert(mSelection[i]);
      mSelection[keep++] = mSelection[i];
    }
  mSelectionCount = keep;
  Walk(node ? node : mRoot, -1, [&](Rec* r, int) {
    if ((r->state & Rec::StateSelected) && !listed.count(r))
      AddToSelection(r, "ERROR: NavSimpleGraph - Enable to allocate list\n");
    return true;
  }, [](Rec*) { return true; });
}

void NavSimpleGraph::ActiveStyleOnObjet(int style, int on, KIVNavArbreElement* node) {
  if (!node || !node->graphNode) return;
  if (style == 1) {
    if (on) node->graphNode->setShadowIn();
    else node->graphNode->setShadowOut();
  } else if (style == 2) {
    node->graphNode->setSelected(on);
  }
}

// ---------------------------------------------------------------------------------------
// Extension

void NavSimpleGraph::RemoveMarker(KIVNavArbreElement* parent, int index) {
  Rec* marker = parent->children[index];
  RemoveFeuille(parent, marker);
  DropGraphNode(marker, 1);  // its parent arc goes with it
  if (mContext == marker) mContext = nullptr;
  if (marker->state & Rec::StateSelected) {
    int keep = 0;
    for (int i = 0; i < mSelectionCount; ++i)
      if (mSelection[i] != marker) mSelection[keep++] = mSelection[i];
    mSelectionCount = keep;
  }
  DeleteRecords(marker);
}

int NavSimpleGraph::UpdateExtendNode(KIVNavArbreElement* node, int level, int keepDisplayed) {
  if (!node) node = mRoot;
  if (!node) return 0;
  int changed = 0;
  std::vector<std::pair<Rec*, int>> work{{node, level}};
  std::unordered_set<const Rec*> seen;
  while (!work.empty()) {
    auto [r, lv] = work.back();
    work.pop_back();
    if (!r || r->childCount == 0 || !seen.insert(r).second) continue;
    if (lv != 0) {
      for (int i = r->childCount - 1; i >= 0; --i)
        if (r->children[i] && IsMarker(r->children[i])) {
          RemoveMarker(r, i);
          changed = 1;
        }
      for (int i = r->childCount - 1; i >= 0; --i) work.emplace_back(r->children[i], lv - 1);
      continue;
    }
    bool marker = false, displayed = false;
    for (int i = 0; i < r->childCount; ++i) {
      const Rec* c = r->children[i];
      if (!c) continue;
      if (IsMarker(c)) marker = true;
      else if (c->graphNode) displayed = true;
    }
    if (marker || (keepDisplayed == 1 && displayed)) {
      if (r->childCount == 1 && r->children[0] && IsMarker(r->children[0])) {
        RemoveMarker(r, 0);
        changed = 1;
      }
      continue;
    }
    for (int i = 0; i < r->childCount; ++i) SuppressNode(r->children[i], 1, 1);
    auto* m = new Rec;
    m->name = MarkerName;
    m->state = Rec::StateMarker | Rec::StateDisplayed;
    AddFeuille(r, m);
    changed = 1;
  }
  return changed;
}
