#include "apps/navview/NavviewScene.h"

#include <unordered_set>

#include "host/visu/scene/KIV3DPointSetGP.h"
#include "host/visu/view/KIVRender.h"
#include "viewer/KIVNavStatisticRender.h"

namespace {
// Every leaf is reached (no camera: nothing is culled) and its point clouds counted.
class PointCounter : public KIVRender {
 public:
  PointCounter() : KIVRender(KIVSupport(100, 100)) {}
  void Draw3DPointSet(KIV3DPointSetGP& gp) override { points += gp.GetPointCount(); }
  long long points = 0;
};
}  // namespace

NavviewScene::NavviewScene() : mRoot(new KIV3DBagRep) {
  mOwned.push_back(mRoot);
  mNames[mRoot] = "Scene";
}

NavviewScene::~NavviewScene() {
  // Imported trees hang under our root but belong to their importer: unlink them first,
  // then free our own reps children first (the reverse of creation).
  std::unordered_set<const KIVRep*> owned(mOwned.begin(), mOwned.end());
  std::vector<KIVRep*> foreign;
  for (KIVRep* child : mRoot->GetChildren())
    if (!owned.count(child)) foreign.push_back(child);
  for (KIVRep* child : foreign) mRoot->RemoveChild(child);
  for (auto it = mOwned.rbegin(); it != mOwned.rend(); ++it) delete *it;
  mKept.clear();
}

KIV3DBagRep* NavviewScene::AddBag(KIV3DBagRep* parent, const std::string& name, bool model) {
  auto* bag = new KIV3DBagRep;
  mOwned.push_back(bag);
  (parent ? parent : mRoot)->AddChild(bag);
  mNames[bag] = name;
  if (model) mModels.insert(bag);
  return bag;
}

KIV3DCustomRep* NavviewScene::AddLeaf(KIV3DBagRep* parent, const std::string& name) {
  auto* leaf = new KIV3DCustomRep;
  mOwned.push_back(leaf);
  (parent ? parent : mRoot)->AddChild(leaf);
  mNames[leaf] = name;
  return leaf;
}

void NavviewScene::SetName(const KIVRep* rep, const std::string& name) {
  if (rep) mNames[rep] = name;
}

const char* NavviewScene::GetName(const KIVRep* rep) const {
  auto it = mNames.find(rep);
  return it == mNames.end() ? nullptr : it->second.c_str();
}

std::vector<KIVRep*> NavviewScene::GetReps() const {
  std::vector<KIVRep*> order;
  std::unordered_set<const KIVRep*> seen;
  std::vector<KIVRep*> stack{mRoot};
  while (!stack.empty()) {
    KIVRep* rep = stack.back();
    stack.pop_back();
    if (!seen.insert(rep).second) continue;
    order.push_back(rep);
    const auto& children = rep->GetChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
  }
  return order;
}

std::vector<KIVRep*> NavviewScene::GetModels() const {
  std::vector<KIVRep*> models;
  for (KIVRep* rep : GetReps())
    if (IsModel(rep)) models.push_back(rep);
  return models;
}

long long NavviewScene::CountTriangles(KIVRep* rep) {
  auto* shape = dynamic_cast<KIV3DRep*>(rep);
  if (!shape) return 0;
  KIVNavStatisticRender render(KIVSupport(100, 100));
  shape->DrawShading(render, 1);
  return render.GetSceneSize();
}

long long NavviewScene::CountPoints() const {
  PointCounter render;
  mRoot->DrawShading(render, 1);
  return render.points;
}
