#include "host/visu/pick/KIVPickScene.h"

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIVSceneChangeLog.h"

namespace {
bool Blocks(const KIVRep* rep) {
  const KIVGraphicAttributeSet& a = rep->GetGraphicAttributeSet();
  return a.GetFlag(KIVGraphicAttributeSet::Hidden) || a.GetFlag(KIVGraphicAttributeSet::NotPickable);
}
}  // namespace

namespace {
// Past this many pending changes a layout is cheaper than following them one by one.
constexpr std::size_t kMaxPending = 1 << 16;
}  // namespace

KIVPickScene::~KIVPickScene() { KIVSceneChangeLog::RemoveReader(this); }

KIVPickScene::KIVPickScene() {
  KIVSceneChangeLog::AddReader(this);
  mBVH.SetGeometryBuilder([this](int geometry, KIVTriangleBVH& bvh) {
    if (geometry < 0 || geometry >= static_cast<int>(mGeometryReps.size()) || !mGeometryReps[geometry]) return;
    std::vector<float> vertices;
    std::vector<int> indices;
    const int triangles = mGeometryReps[geometry]->GetPickTriangles(vertices, indices);
    bvh.Build(vertices.data(), static_cast<int>(vertices.size() / 3), indices.data(), triangles);
  });
}

void KIVPickScene::SetRoots(const std::vector<KIVRep*>& roots) {
  // Roots that can never be hit (a navigation marker shown during a drag) stay out, so
  // that showing them costs no layout.
  std::vector<KIVRep*> pickable;
  pickable.reserve(roots.size());
  for (KIVRep* root : roots)
    if (root && !root->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::NotPickable)) pickable.push_back(root);
  if (pickable == mRoots) return;
  mRoots = std::move(pickable);
  mLayoutNeeded = true;
}

bool KIVPickScene::GainsPickGeometry(const KIVRep* rep) const {
  const auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep);
  if (!leaf) return false;
  for (int i = 0; i < leaf->GetGPCount(0); ++i)
    if (const KIVGraphicPrimitive* gp = leaf->GetGP(i, 0); gp && gp->GetTriangleCount() > 0) return true;
  return !mThin.Covers(rep) && KIVThinPick::HoldsThin(rep);
}

void KIVPickScene::SceneChanged(const KIVRep* rep, int kind) {
  if (mLayoutNeeded) return;
  if (kind == KIVSceneChangeLog::Children) {
    if (mVisited.count(rep)) {
      mLayoutNeeded = true;
      mPending.clear();
    }
    return;
  }
  mThin.SceneChanged(rep, kind);
  if (!mUnder.count(rep)) {
    // A leaf of these trees that had no geometry may have some now; a marker that moves,
    // or a line already listed, does not change what is laid out.
    if (kind == KIVSceneChangeLog::Geometry && mVisited.count(rep) && GainsPickGeometry(rep)) {
      mLayoutNeeded = true;
      mPending.clear();
    }
    return;  // otherwise not on the way to any pickable leaf here
  }
  if (mPending.size() >= kMaxPending) {
    mLayoutNeeded = true;
    mPending.clear();
    return;
  }
  mPending.push_back({rep, kind});
}

void KIVPickScene::Update() {
  if (mLayoutNeeded) {
    Layout();
    return;
  }
  for (std::size_t i = 0; i < mPending.size(); ++i) {
    const auto it = mUnder.find(mPending[i].rep);
    if (it == mUnder.end()) continue;
    switch (mPending[i].kind) {
      case KIVSceneChangeLog::Matrix:
        for (int o : it->second) mBVH.SetMatrix(mOccurrences[o].instance, PathMatrix(mOccurrences[o].path));
        break;
      case KIVSceneChangeLog::Visibility:
        for (int o : it->second) mBVH.SetVisible(mOccurrences[o].instance, PathVisible(mOccurrences[o].path));
        break;
      default:  // a leaf's geometry (and so its box) changed: only its own instances follow
        // A leaf that gained its first marker or line joins the thin occurrences by a layout.
        if (!Reshape(mPending[i].rep, it->second) ||
            (!mThin.IsLeaf(mPending[i].rep) && KIVThinPick::HoldsThin(mPending[i].rep))) {
          Layout();
          return;
        }
    }
  }
  mPending.clear();
}

bool KIVPickScene::Reshape(const KIVRep* rep, const std::vector<int>& occurrences) {
  auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep);
  KIVMathPointf lo, hi;
  if (!leaf || !leaf->GetLocalBox(lo, hi)) return false;
  const int id = leaf->GetGeometryId();
  for (int o : occurrences)
    if (mOccurrences[o].path.back() != rep || mBVH.GetGeometry(mOccurrences[o].instance) != id) return false;
  if (id < static_cast<int>(mGeometryStamps.size()) && mGeometryStamps[id] != leaf->GetGeometryStamp()) {
    mBVH.InvalidateGeometry(id);
    mGeometryStamps[id] = leaf->GetGeometryStamp();
  }
  for (int o : occurrences) mBVH.SetLocalBox(mOccurrences[o].instance, lo, hi);
  return true;
}

void KIVPickScene::Layout() {
  mLayoutNeeded = false;
  mPending.clear();
  ++mLayouts;
  mBVH.ClearInstances();
  mOccurrences.clear();
  mInstanceToOccurrence.clear();
  mUnder.clear();
  mVisited.clear();
  mThin.Clear();
  std::vector<KIVRep*> path;
  for (KIVRep* root : mRoots)
    if (root) Walk(root, KIV4x4Matrix(), true, path);
  mBVH.Rebuild();
}

void KIVPickScene::Walk(KIVRep* rep, const KIV4x4Matrix& matrix, bool visible, std::vector<KIVRep*>& path) {
  path.push_back(rep);
  mVisited.insert(rep);
  visible = visible && !Blocks(rep);
  if (auto* bag = dynamic_cast<KIV3DBagRep*>(rep)) {
    const KIV4x4Matrix inner = bag->GetMatrix() ? *bag->GetMatrix() * matrix : matrix;
    for (KIVRep* child : bag->GetChildren()) Walk(child, inner, visible, path);
  } else if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep)) {
    mThin.Add(leaf, path);
    KIVMathPointf lo, hi;
    const int id = leaf->GetGeometryId();
    if (leaf->GetLocalBox(lo, hi) && id < KIVSceneBVH::kMaxGeometry) {
      if (id >= static_cast<int>(mGeometryReps.size())) {
        mGeometryReps.resize(id + 1, nullptr);
        mGeometryStamps.resize(id + 1, 0);
      }
      mGeometryReps[id] = leaf;
      if (mGeometryStamps[id] != leaf->GetGeometryStamp()) {
        mBVH.InvalidateGeometry(id);
        mGeometryStamps[id] = leaf->GetGeometryStamp();
      }
      const int instance = mBVH.AddInstance(id, lo, hi, matrix);
      if (instance >= 0) {
        mBVH.SetVisible(instance, visible ? 1 : 0);
        const int occurrence = static_cast<int>(mOccurrences.size());
        mOccurrences.push_back({path, instance});
        if (instance >= static_cast<int>(mInstanceToOccurrence.size())) mInstanceToOccurrence.resize(instance + 1, -1);
        mInstanceToOccurrence[instance] = occurrence;
        for (KIVRep* r : path) mUnder[r].push_back(occurrence);
      }
    }
  } else {
    for (KIVRep* child : rep->GetChildren()) Walk(child, matrix, visible, path);
  }
  path.pop_back();
}

KIV4x4Matrix KIVPickScene::PathMatrix(const std::vector<KIVRep*>& path) const {
  // The deepest bag's matrix applies first (row vectors).
  KIV4x4Matrix m;
  for (auto it = path.rbegin(); it != path.rend(); ++it)
    if (auto* bag = dynamic_cast<const KIV3DBagRep*>(*it); bag && bag->GetMatrix()) m = m * *bag->GetMatrix();
  return m;
}

bool KIVPickScene::PathVisible(const std::vector<KIVRep*>& path) const {
  for (const KIVRep* r : path)
    if (Blocks(r)) return false;
  return true;
}

int KIVPickScene::IntersectOccurrence(const KIVRay& ray, KIVSceneBVH::Hit& hit) {
  Update();
  if (!mBVH.Intersect(ray, hit)) return -1;
  if (hit.instance < 0 || hit.instance >= static_cast<int>(mInstanceToOccurrence.size())) return -1;
  return mInstanceToOccurrence[hit.instance];
}

int KIVPickScene::Intersect(const KIVRay& ray, Result& result) {
  KIVSceneBVH::Hit hit;
  const int occurrence = IntersectOccurrence(ray, hit);
  if (occurrence < 0) return 0;
  result.path = mOccurrences[occurrence].path;
  result.point = hit.point;
  result.t = hit.t;
  result.triangle = hit.triangle;
  return 1;
}

int KIVPickScene::IntersectThin(const KIVThinPick::Camera& camera, float x, float y, float tolerance,
                                const KIVRay& ray, Result& result) {
  Update();
  KIVThinPick::Hit hit;
  if (!mThin.Intersect(camera, x, y, tolerance, ray, hit)) return 0;
  result.path = mThin.GetOccurrencePath(hit.occurrence);
  result.point = hit.point;
  result.t = hit.t;
  result.triangle = -1;
  return 1;
}
