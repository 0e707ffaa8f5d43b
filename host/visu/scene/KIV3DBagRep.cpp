#include "host/visu/scene/KIV3DBagRep.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "host/visu/scene/KIVSceneChangeLog.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DBagRep, KIV3DRep)

KIV3DBagRep::~KIV3DBagRep() = default;

void KIV3DBagRep::SetMatrix(const KIV4x4Matrix* matrix) {
  if (matrix)
    mMatrix = *matrix;
  else
    mMatrix.reset();
  mMaxScale = matrix ? matrix->GetMaxScale() : 1.0f;
  Touch();
  KIVSceneChangeLog::Record(this, KIVSceneChangeLog::Matrix);
  BoundsChanged();
}

KIV4x4Matrix KIV3DBagRep::GetInvertedMatrix() const { return mMatrix ? mMatrix->Inverse() : KIV4x4Matrix(); }

KIV4x4Matrix KIV3DBagRep::GetPlacementAbove(const KIVRep* rep) {
  KIV4x4Matrix m;
  for (const KIVRep* r = rep && !rep->GetParents().empty() ? rep->GetParents().front() : nullptr; r;
       r = r->GetParents().empty() ? nullptr : r->GetParents().front())
    if (const auto* bag = dynamic_cast<const KIV3DBagRep*>(r); bag && bag->GetMatrix()) m = m * *bag->GetMatrix();
  return m;
}

namespace {
// Inlined: in a loop over many children, a call per child keeps the next child's fetch from
// starting while this one's is awaited.
[[gnu::always_inline]] inline KIV3DBoundingSphere ChildSphere(const KIVRep* child) {
  if (child->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) return {};
  if (const KIV3DRep* c3 = child->As3DRep()) return c3->GetBoundingElement();
  return {};
}

// A group's sphere as scene graphs commonly make it: centred on the box around the
// children's spheres, reaching the farthest of them. Tighter than folding the children
// in one by one, whose centre drifts with their order.
struct GroupBound {
  double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  float mm = 0.0f;
  bool any = false, infinite = false;
  void AddBox(const KIV3DBoundingSphere& s) {
    if (s.IsEmpty()) return;
    if (s.IsInfinite()) {
      infinite = true;
      return;
    }
    any = true;
    mm = std::max(mm, s.GetRadiusMM());
    const KIVMathPointf& c = s.GetCenter();
    const double xyz[3] = {c.x, c.y, c.z};
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], xyz[a] - s.GetRadius());
      hi[a] = std::max(hi[a], xyz[a] + s.GetRadius());
    }
  }
  KIVMathPointf Centre() const {
    return KIVMathPointf(static_cast<float>(0.5 * (lo[0] + hi[0])), static_cast<float>(0.5 * (lo[1] + hi[1])),
                         static_cast<float>(0.5 * (lo[2] + hi[2])));
  }
  // How far from `c` the sphere reaches.
  static double Reach(const KIVMathPointf& c, const KIV3DBoundingSphere& s) {
    const double dx = static_cast<double>(s.GetCenter().x) - c.x, dy = static_cast<double>(s.GetCenter().y) - c.y,
                 dz = static_cast<double>(s.GetCenter().z) - c.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) + s.GetRadius();
  }
  KIV3DBoundingSphere Make(const KIVMathPointf& c, double reach) const {
    if (infinite) {
      KIV3DBoundingSphere s;
      s.SetInfinite();
      return s;
    }
    if (!any) return {};
    return KIV3DBoundingSphere(c, KIV3DBoundingSphere::NextUp(static_cast<float>(reach)), mm);
  }
};
}  // namespace

void KIV3DBagRep::ComputeBoundingElement() const {
  const std::vector<KIVRep*>& children = GetChildren();
  KIV3DBoundingSphere sphere;
  std::vector<size_t> changed;  // leaves moved since the last bound, when only a few did
  if (children.size() == 1) {
    // Most bags place one model: its sphere read once.
    GroupBound group;
    const KIV3DBoundingSphere s = ChildSphere(children.front());
    group.AddBox(s);
    const KIVMathPointf c = group.Centre();
    sphere = group.Make(c, group.any && !group.infinite ? GroupBound::Reach(c, s) : 0.0);
  } else if (children.size() < kTreeMinimum) {
    // Twice over the children: the second pass finds them clean.
    GroupBound group;
    for (const KIVRep* child : children) group.AddBox(ChildSphere(child));
    const KIVMathPointf c = group.Centre();
    double reach = 0.0;
    if (group.any && !group.infinite)
      for (const KIVRep* child : children)
        if (const KIV3DBoundingSphere s = ChildSphere(child); !s.IsEmpty()) reach = std::max(reach, GroupBound::Reach(c, s));
    sphere = group.Make(c, reach);
  } else {
    if (mTreeVersion != GetChildrenVersion()) {
      RebuildUnionTree();
      sphere = TreeBound();
    } else if (mAllChanged) {
      sphere = RefreshLeaves();
    } else {
      if (mInnerStale) UniteInner();
      changed.reserve(mChangedChildren.size());
      for (const KIVRep* child : mChangedChildren) {
        auto it = mSlots.find(child);
        if (it == mSlots.end()) continue;
        for (int slot : it->second) {
          size_t node = mLeafBase + slot;
          changed.push_back(node);
          mUnions[node] = ChildSphere(child);
          SetLeafBox(node);
          for (node /= 2; node >= 1; node /= 2) Unite(node);
        }
      }
      sphere = TreeBound(&changed);
    }
  }
  mChangedChildren.clear();
  mAllChanged = false;
  if (mMatrix && !sphere.IsEmpty() && !sphere.IsInfinite())
    sphere = KIV3DBoundingSphere(mMatrix->TransformPoint(sphere.GetCenter()), sphere.GetRadius() * mMaxScale,
                                 sphere.GetRadiusMM());
  mBounds = sphere;
  mBoundsDirty = false;
}

void KIV3DBagRep::RebuildUnionTree() const {
  const std::vector<KIVRep*>& children = GetChildren();
  mLeafBase = 1;
  while (mLeafBase < children.size()) mLeafBase *= 2;
  mUnions.assign(2 * mLeafBase, KIV3DBoundingSphere());
  mSlots.clear();
  mChildSlots.resize(children.size());
  // Leaves in Morton order of the children's centres: neighbours in the tree are then
  // neighbours in space, and each partial union stays close to what it holds. In list
  // order a plant's far-apart siblings would make every inner sphere loose.
  std::vector<KIV3DBoundingSphere> spheres(children.size());
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (size_t i = 0; i < children.size(); ++i) {
    spheres[i] = ChildSphere(children[i]);
    if (spheres[i].IsEmpty() || spheres[i].IsInfinite()) continue;
    const KIVMathPointf& c = spheres[i].GetCenter();
    const float xyz[3] = {c.x, c.y, c.z};
    for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], xyz[a]), hi[a] = std::max(hi[a], xyz[a]);
  }
  std::vector<std::pair<uint32_t, uint32_t>> order(children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    uint32_t key = UINT32_MAX;  // empty and infinite spheres last
    if (!spheres[i].IsEmpty() && !spheres[i].IsInfinite()) {
      const KIVMathPointf& c = spheres[i].GetCenter();
      const float xyz[3] = {c.x, c.y, c.z};
      key = 0;
      for (int a = 0; a < 3; ++a) {
        const float extent = hi[a] - lo[a];
        const float t = extent > 0.0f ? (xyz[a] - lo[a]) / extent : 0.0f;
        const uint32_t q = static_cast<uint32_t>(std::clamp(t, 0.0f, 1.0f) * 1023.0f);
        for (int bit = 0; bit < 10; ++bit) key |= ((q >> bit) & 1u) << (3 * bit + a);
      }
    }
    order[i] = {key, static_cast<uint32_t>(i)};
  }
  std::sort(order.begin(), order.end());
  for (size_t slot = 0; slot < order.size(); ++slot) {
    const size_t i = order[slot].second;
    mUnions[mLeafBase + slot] = spheres[i];
    mSlots[children[i]].push_back(static_cast<int>(slot));
    mChildSlots[i] = static_cast<int>(slot);
  }
  mBoxes.assign(6 * 2 * mLeafBase, 0.0);
  for (size_t node = mLeafBase; node < 2 * mLeafBase; ++node) SetLeafBox(node);
  for (size_t node = mLeafBase - 1; node >= 1; --node) Unite(node);
  mInnerStale = false;
  mTreeVersion = GetChildrenVersion();
}

KIV3DBoundingSphere KIV3DBagRep::RefreshLeaves() const {
  // Every child changed: their spheres go to the tree's leaves, and the bound comes from
  // one pass over those, as a small bag's does. The unions above wait for the next change
  // of a few children, which needs them; a scene loaded or placed as a whole may never
  // see one. Children in list order, which is mostly the order they lie in memory; the
  // layout found at the last rebuild serves, since the result does not depend on it.
  const std::vector<KIVRep*>& children = GetChildren();
  // The box in a pass of its own, over the leaves in slot order: folded into the first
  // loop, it slows the fetching of the next children.
  for (size_t i = 0; i < children.size(); ++i) mUnions[mLeafBase + mChildSlots[i]] = ChildSphere(children[i]);
  GroupBound group;
  for (size_t node = mLeafBase; node < mLeafBase + children.size(); ++node) group.AddBox(mUnions[node]);
  mInnerStale = true;
  mFarReach = -1.0;
  const KIVMathPointf c = group.Centre();
  if (!group.any || group.infinite) return group.Make(c, 0.0);
  double best = -1.0;
  size_t farthest = 0;
  for (size_t node = mLeafBase; node < mLeafBase + children.size(); ++node)
    if (!mUnions[node].IsEmpty())
      if (const double reach = GroupBound::Reach(c, mUnions[node]); reach > best) best = reach, farthest = node;
  mFarCentre = c;
  mFarReach = best;
  mFarLeaf = farthest;
  return group.Make(c, best);
}

void KIV3DBagRep::UniteInner() const {
  // The leaves' boxes in slot order: written in list order they would land all over the
  // array.
  for (size_t node = mLeafBase; node < mLeafBase + GetChildren().size(); ++node) SetLeafBox(node);
  for (size_t node = mLeafBase - 1; node >= 1; --node) Unite(node);
  mInnerStale = false;
}

void KIV3DBagRep::SetLeafBox(size_t node) const {
  GroupBound g;
  g.AddBox(mUnions[node]);  // an empty or infinite leaf leaves an inverted box
  for (int a = 0; a < 3; ++a) mBoxes[6 * node + a] = g.lo[a], mBoxes[6 * node + 3 + a] = g.hi[a];
}

void KIV3DBagRep::Unite(size_t node) const {
  mUnions[node] = mUnions[2 * node];
  mUnions[node] += mUnions[2 * node + 1];
  for (int a = 0; a < 3; ++a) {
    mBoxes[6 * node + a] = std::min(mBoxes[12 * node + a], mBoxes[12 * node + 6 + a]);
    mBoxes[6 * node + 3 + a] = std::max(mBoxes[12 * node + 3 + a], mBoxes[12 * node + 9 + a]);
  }
}

KIV3DBoundingSphere KIV3DBagRep::TreeBound(const std::vector<size_t>* changed) const {
  const KIV3DBoundingSphere& all = mUnions[1];
  if (all.IsEmpty() || all.IsInfinite()) {
    mFarReach = -1.0;
    return all;
  }
  GroupBound group;
  group.any = true;
  group.mm = all.GetRadiusMM();
  for (int a = 0; a < 3; ++a) group.lo[a] = mBoxes[6 + a], group.hi[a] = mBoxes[9 + a];
  const KIVMathPointf c = group.Centre();
  // A few children moved and the box kept its centre: the farthest reach is the last one
  // or a moved child's, unless the child that gave the last one moved (a drag carries one
  // model among thousands: this keeps its step independent of their number).
  if (changed && mFarReach >= 0.0 && c == mFarCentre &&
      std::find(changed->begin(), changed->end(), mFarLeaf) == changed->end()) {
    for (size_t node : *changed)
      if (!mUnions[node].IsEmpty())
        if (const double reach = GroupBound::Reach(c, mUnions[node]); reach > mFarReach) mFarReach = reach, mFarLeaf = node;
    return group.Make(c, mFarReach);
  }
  // The farthest reach, found down the tree of unions: a union's own reach bounds every
  // child under it, so a subtree that cannot beat the best so far is left unvisited.
  double best = 0.0;
  size_t farthest = 0;
  std::vector<size_t> stack{1};
  while (!stack.empty()) {
    const size_t node = stack.back();
    stack.pop_back();
    const KIV3DBoundingSphere& u = mUnions[node];
    if (u.IsEmpty()) continue;
    const double reach = GroupBound::Reach(c, u);
    if (node >= mLeafBase) {
      if (reach > best || farthest == 0) best = std::max(best, reach), farthest = node;
    } else if (reach > best) {
      const double left = mUnions[2 * node].IsEmpty() ? -1.0 : GroupBound::Reach(c, mUnions[2 * node]);
      const double right = mUnions[2 * node + 1].IsEmpty() ? -1.0 : GroupBound::Reach(c, mUnions[2 * node + 1]);
      // The more promising side last, so it is visited first.
      if (left > right) {
        stack.push_back(2 * node + 1);
        stack.push_back(2 * node);
      } else {
        stack.push_back(2 * node);
        stack.push_back(2 * node + 1);
      }
    }
  }
  mFarCentre = c;
  mFarReach = farthest ? best : -1.0;
  mFarLeaf = farthest;
  return group.Make(c, best);
}

void KIV3DBagRep::ChildBoundsChanged(KIVRep* child) {
  // Past a quarter of the children, rebuilding beats walking up for each. A small bag
  // reads every child anyway.
  if (GetChildren().size() >= kTreeMinimum && !mAllChanged) {
    if (mChangedChildren.size() * 4 > GetChildren().size())
      mAllChanged = true;
    else
      mChangedChildren.push_back(child);
  }
  BoundsChanged();
}

void KIV3DBagRep::BoundsChanged() {
  // Already dirty: the ancestors were told when it became so.
  if (mBoundsDirty) return;
  mBoundsDirty = true;
  KIVRep::BoundsChanged();
}

void KIV3DBagRep::Destroy() {
  DestroyChildren();
  delete this;
}

void KIV3DBagRep::DestroyChildren() {
  std::vector<KIVRep*> children = GetChildren();
  for (KIVRep* child : children) {
    Unlink(this, child);
    if (!child->GetParents().empty()) continue;
    if (child->IsAKindOf(KIV3DBagRep::ClassName()))
      static_cast<KIV3DBagRep*>(child)->Destroy();
    else
      delete child;
  }
}
