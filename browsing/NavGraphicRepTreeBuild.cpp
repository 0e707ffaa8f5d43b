// NavGraphicRepTree: building the records of the rep tree, the indexes over them, node
// colours, and the way between records and rep paths.
#include <algorithm>
#include <unordered_set>
#include <vector>

#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/scene/KIV2DRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCylinderRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "measure/NavKIV3DRectangleRep.h"
#include "navigation/NavToolsVisu.h"
#include "primitives/KIV3DCircleRep.h"
#include "primitives/KIV3DTextRep.h"
#include "primitives/KIV3DTriangleRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
using Rec = KIVNavArbreElement;

// Appends kids to the node's child array in one allocation (records are built in bulk).
void Append(Rec* node, const std::vector<Rec*>& kids) {
  if (kids.empty()) return;
  auto** all = new Rec*[node->childCount + kids.size()];
  std::copy(node->children, node->children + node->childCount, all);
  std::copy(kids.begin(), kids.end(), all + node->childCount);
  delete[] node->children;
  node->children = all;
  node->childCount += static_cast<int>(kids.size());
}

// Depth first over parents: the chain of reps from `to` (excluded) up to `from`
// (included). Scene trees are shallow and a rep has few parents, so this costs the depth,
// where a search down from `from` would cost the whole subtree.
bool ChainUp(KIVRep* to, KIVRep* from, std::vector<KIVRep*>& chain, std::unordered_set<const KIVRep*>& seen) {
  for (KIVRep* parent : to->GetParents()) {
    if (!parent || !seen.insert(parent).second) continue;
    chain.push_back(parent);
    if (parent == from || ChainUp(parent, from, chain, seen)) return true;
    chain.pop_back();
  }
  return false;
}
}  // namespace

const char* NavGraphicRepTree::GetRepName(KIVRep* rep) {
  if (!rep) return "Graphic Rep";
  static const struct {
    const char* className;
    const char* name;
  } kNames[] = {{KIV3DTextRep::ClassName(), "Text       "},      {KIV3DTriangleRep::ClassName(), "Triangle   "},
                {KIV3DPointRep::ClassName(), "Point      "},     {KIV3DLineRep::ClassName(), "Line       "},
                {KIV3DCylinderRep::ClassName(), "Cylinder   "},  {NavKIV3DRectangleRep::ClassName(), "Rectangle  "},
                {KIV3DCircleRep::ClassName(), "Circle     "},    {KIV2DBagRep::ClassName(), "2D Bag Rep "},
                {KIV3DBagRep::ClassName(), "3D Bag Rep "},       {KIV2DRep::ClassName(), "2D Rep     "},
                {KIV3DRep::ClassName(), "3D Rep     "}};
  for (const auto& entry : kNames)
    if (rep->IsAKindOf(entry.className)) return entry.name;
  return "Graphic Rep";
}

const char* NavGraphicRepTree::TypeName(KIVRep* rep) {
  // The eleven kind tests once per class, not once per rep: a plant has few classes.
  const void* meta = rep->GetMetaObject();
  for (const auto& [known, name] : mNameCache)
    if (known == meta) return name;
  const char* name = GetRepName(rep);
  mNameCache.emplace_back(meta, name);
  return name;
}

// The reps under the roots shown, each counted once per parent (as the records are).
static std::size_t CountBelow(KIVRep* top) {
  std::size_t count = 0;
  std::vector<KIVRep*> stack{top};
  while (!stack.empty()) {
    KIVRep* rep = stack.back();
    stack.pop_back();
    if (!rep) continue;
    ++count;
    if (count > 10000000) break;  // a shared sub-tree met again and again: stop guessing
    stack.insert(stack.end(), rep->GetChildren().begin(), rep->GetChildren().end());
  }
  return count;
}

KIVNavArbreElement* NavGraphicRepTree::NewNode(KIVRep* rep, const char* name, KIVNavArbreElement* parent) {
  auto* node = new Rec;
  node->object = rep;
  node->name = KIVUnicodeString(name);
  node->state = KIVNavArbreElement::StateDisplayed | KIVNavArbreElement::StateSelectable;
  if (parent) Append(parent, {node});
  Register(node, parent);
  return node;
}

void NavGraphicRepTree::CreateRepScene(KIVRep* rep, KIVNavArbreElement* node) {
  if (!rep || !node) return;
  std::vector<Rec*> kids;
  // Fills `kids` for `into`: collapsed chains and leaves-mode descents stay in the same node.
  auto fill = [&](auto&& self, KIVRep* from) -> void {
    // Read in place: nothing changes the scene while the records are made.
    const std::vector<KIVRep*>& children = from->GetChildren();
    if (children.empty()) return;
    auto make = [&](KIVRep* child) {
      auto* made = new Rec;
      made->object = child;
      made->name = KIVUnicodeString(TypeName(child));
      made->state = KIVNavArbreElement::StateDisplayed | KIVNavArbreElement::StateSelectable;
      Register(made, node);
      kids.push_back(made);
      return made;
    };
    if (mBuildMode == kStyleFull) {
      for (KIVRep* child : children)
        if (child) CreateRepScene(child, make(child));
    } else if (mBuildMode == kStyleFirstLevel) {
      if (children.size() == 1) {
        if (children[0]) self(self, children[0]);
      } else {
        for (KIVRep* child : children)
          if (child) make(child);
      }
    } else if (mBuildMode == kStyleLeaves) {
      for (KIVRep* child : children) {
        if (!child) continue;
        if (child->GetChildren().empty())
          make(child);
        else
          self(self, child);
      }
    } else if (children.size() == 1) {
      if (children[0]) self(self, children[0]);  // a single child never gets a node of its own
    } else {
      for (KIVRep* child : children)
        if (child) CreateRepScene(child, make(child));
    }
  };
  fill(fill, rep);
  Append(node, kids);
}

void NavGraphicRepTree::Register(KIVNavArbreElement* node, KIVNavArbreElement* parent) {
  auto* rep = static_cast<KIVRep*>(node->object);
  const int index = static_cast<int>(mInfo.size());
  mInfo.push_back(NodeInfo{node, parent, rep, rep ? rep->GetLifeToken() : std::weak_ptr<int>(), -1, nullptr, 0});
  node->userWord = index + 1;
  if (!rep) return;
  auto [entry, added] = mInstances.try_emplace(rep, index, index);
  if (!added) {
    mInfo[entry->second.second].nextInstance = index;
    entry->second.second = index;
  }
}

void NavGraphicRepTree::ClearIndex() {
  mInfo.clear();
  mInstances.clear();
}

const NavGraphicRepTree::NodeInfo* NavGraphicRepTree::Info(const KIVNavArbreElement* node) const {
  if (!node) return nullptr;
  const int index = node->userWord - 1;
  // A record of another tree (or a marker) has no entry here, or an entry of another record.
  if (index < 0 || index >= static_cast<int>(mInfo.size()) || mInfo[index].record != node) return nullptr;
  return &mInfo[index];
}

std::vector<KIVNavArbreElement*> NavGraphicRepTree::GetInstances(const KIVRep* rep) const {
  std::vector<Rec*> out;
  auto found = rep ? mInstances.find(rep) : mInstances.end();
  if (found == mInstances.end()) return out;
  for (int i = found->second.first; i >= 0; i = mInfo[i].nextInstance) out.push_back(mInfo[i].record);
  return out;
}

KIVNavArbreElement* NavGraphicRepTree::GetParentNode(const KIVNavArbreElement* node) const {
  const NodeInfo* info = Info(node);
  return info ? info->parent : nullptr;
}

KIVRep* NavGraphicRepTree::NodeRep(const KIVNavArbreElement* node) const {
  const NodeInfo* info = Info(node);
  return info && info->rep && !info->life.expired() ? info->rep : nullptr;
}

void NavGraphicRepTree::UpdatePalette(int rebuild) {
  if (!_lUpdateOk || GetPaletteStatusHide()) return;
  if (rebuild != 1) {
    UpdateSelection(1);
    UpdateColor(mRoot);
    return;
  }
  NavViewerExtand* viewer = mViewerLife.expired() ? nullptr : mViewer;
  // Ends of a measurement survive a rebuild by their reps, unless the style clears them.
  KIVRep* fromRep = NodeRep(mDistFrom);
  KIVRep* toRep = NodeRep(mDistTo);
  mCurrent = mDistFrom = mDistTo = nullptr;
  // The positioned bags belong to the records' entries: they go before the entries do.
  DropClashBag();
  DropSelectionBag();
  ClearIndex();

  int type = mRootCombo->GetSelect();
  if (type < 0 || type > 4) type = 1;
  mSetting.rootType = type;
  auto root = [&](int kind) { return viewer ? viewer->GetRootRep(kind) : nullptr; };
  // Room for every record at once: the index grows without copying itself over and over.
  const int shownRoot[5] = {NavViewerExtand::kMasterRoot, NavViewerExtand::kOfficialRoot,
                            NavViewerExtand::kAnnotationRoot, NavViewerExtand::kTemporyRoot, NavViewerExtand::kTwoDRoot};
  const std::size_t expected = CountBelow(root(shownRoot[type])) + 4;
  mInfo.reserve(expected);
  mInstances.reserve(expected);
  Rec* top = nullptr;
  switch (type) {
    case 0: {
      top = NewNode(root(NavViewerExtand::kMasterRoot), "MASTER ROOT", nullptr);
      top->state = KIVNavArbreElement::StateDisplayed;
      const struct {
        int kind;
        const char* name;
      } parts[] = {{NavViewerExtand::kOfficialRoot, "OFFICIAL ROOT"},
                   {NavViewerExtand::kTemporyRoot, "TEMPORY ROOT"},
                   {NavViewerExtand::kAnnotationRoot, "ANNOTATION ROOT"}};
      for (const auto& part : parts) CreateRepScene(root(part.kind), NewNode(root(part.kind), part.name, top));
      break;
    }
    case 1:
      top = NewNode(root(NavViewerExtand::kOfficialRoot), "OFFICIAL ROOT", nullptr);
      break;
    case 2:
      top = NewNode(root(NavViewerExtand::kAnnotationRoot), "ANNOTATION 3D ROOT", nullptr);
      break;
    case 3:
      top = NewNode(root(NavViewerExtand::kTemporyRoot), "TEMPORY 3D ROOT", nullptr);
      break;
    default:
      top = NewNode(root(NavViewerExtand::kTwoDRoot), "OFFICIAL 2D ROOT", nullptr);
      break;
  }
  if (type != 0) CreateRepScene(static_cast<KIVRep*>(top->object), top);
  mRoot = top;
  mGraph->ReferenceSession(top, 0);
  UpdateColor(mRoot);
  mGraph->SelectNoeudGraph(nullptr, 0, 0);
  UpdateSelection(1);
  if (mStyle & kStyleResetDistance) {
    mClipboard = nullptr;
    ResetDistance();
  } else {
    auto first = [this](KIVRep* rep) -> Rec* {
      const std::vector<Rec*> all = GetInstances(rep);
      return all.empty() ? nullptr : all.front();
    };
    mDistFrom = first(fromRep);
    mDistTo = first(toRep);
  }
}

void NavGraphicRepTree::ResetDistance() {
  mDistFrom = mDistTo = nullptr;
  mDistanceLabel->SetTitle(KIVUnicodeString(DistanceTitle));
  mDistanceLabel->SetSensitivity(SensitivityOff);
}

void NavGraphicRepTree::SetNodeColor(KIVNavArbreElement* node, int color) {
  if (node && node->graphNode) node->graphNode->setColor(color);
}

int NavGraphicRepTree::NodeColor(const KIVNavArbreElement* node) const {
  return node && node->graphNode ? node->graphNode->getColor() : -1;
}

void NavGraphicRepTree::UpdateColor(KIVNavArbreElement* node) {
  if (!node) return;
  // The records form a tree (built here, markers added by the graph): each is met once.
  std::vector<Rec*> stack{node};
  while (!stack.empty()) {
    Rec* r = stack.back();
    stack.pop_back();
    if (!r) continue;
    if (KIVRep* rep = NodeRep(r))
      SetNodeColor(r, rep->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden) ? kHiddenColor
                                                                                             : kShownColor);
    for (int i = 0; i < r->childCount; ++i) stack.push_back(r->children[i]);
  }
  mGraph->GetGraphViewer()->redraw();
}

void NavGraphicRepTree::SetClashColorToNode(KIVNavArbreElement* node, int kind) {
  if (!node || !node->graphNode) return;
  if (kind == -1) {
    SetNodeColor(node, kClashColor);
    return;
  }
  const int c = NodeColor(node);
  if (c == kMixedColor) return;
  // A node already coloured by another kind of interference takes the mixed colour.
  if ((c == kClashColor && kind != 1) || (c == kDistanceColor && kind != 4) || (c == kClearanceColor && kind != 2)) {
    SetNodeColor(node, kMixedColor);
    return;
  }
  SetNodeColor(node, kind == 2 ? kClearanceColor : kind == 3 ? kContactColor : kind == 4 ? kDistanceColor : kClashColor);
}

int NavGraphicRepTree::GetRepPath(KIVRep* from, KIVRep* to, KIVRepPath* path) {
  if (!from || !to || !path || from == to) return 0;
  // Mostly `from` holds `to` itself.
  for (KIVRep* parent : to->GetParents())
    if (parent == from) return path->AddRep(from), 1;
  std::vector<KIVRep*> chain;
  std::unordered_set<const KIVRep*> seen{to};
  if (!ChainUp(to, from, chain, seen)) return 0;
  for (KIVRep* rep : chain) path->AddRep(rep);
  return 1;
}

KIVRepPath* NavGraphicRepTree::GetRepPath(KIVNavArbreElement* node, int mode) {
  KIVRep* rep = NodeRep(node);
  if (!rep) return nullptr;
  auto* up = new KIVRepPath;
  up->AddRep(rep);
  KIVRep* child = rep;
  for (Rec* parent = GetParentNode(node); parent; parent = GetParentNode(parent)) {
    KIVRep* above = NodeRep(parent);
    if (!above) break;
    if (above == child) continue;  // a root record over the very rep of its first child
    if (!GetRepPath(above, child, up)) break;
    child = above;
  }
  if (mode != 1) return up;
  auto* down = new KIVRepPath;
  const std::vector<KIVRep*>& reps = up->GetReps();
  for (auto it = reps.rbegin(); it != reps.rend(); ++it) down->AddRep(*it);
  delete up;
  return down;
}

int NavGraphicRepTree::IsRepExist(KIVRepPath* path, KIVRep* rep) {
  if (!path || !rep) return 0;
  const std::vector<KIVRep*>& reps = path->GetReps();
  return std::find(reps.begin(), reps.end(), rep) != reps.end() ? 1 : 0;
}

KIVNavArbreElement* NavGraphicRepTree::GetNode(KIVRepPath* path) {
  if (!path) return nullptr;
  path->InitToLeafRep();
  for (KIVRep* rep = path->NextFatherRep(); rep; rep = path->NextFatherRep()) {
    const std::vector<Rec*> candidates = GetInstances(rep);
    if (candidates.empty()) continue;
    if (candidates.size() == 1) return candidates.front();
    for (Rec* candidate : candidates) {
      bool onPath = true;
      for (Rec* up = GetParentNode(candidate); up && onPath; up = GetParentNode(up))
        if (up->object && !IsRepExist(path, static_cast<KIVRep*>(up->object))) onPath = false;
      if (onPath) return candidate;
    }
    return nullptr;
  }
  return nullptr;
}

KIV3DBagRep* NavGraphicRepTree::PathToBagRep(KIVRepPath* path) {
  KIVRep* leaf = path ? path->GetLeafRep() : nullptr;
  if (!leaf) return nullptr;
  auto* bag = new KIV3DBagRep;
  bag->SetMatrix(NavToolsVisu::GetTransfoMatrice(path, 1, leaf));
  bag->AddChild(leaf);
  return bag;
}
