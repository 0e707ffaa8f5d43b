// Searches over rep trees (by colour source, presence, class, region, size, colour,
// exclusion, type code) and the walk up to every root, of NavToolsVisu.
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "host/visu/scene/KIVRepPathList.h"
#include "navigation/NavToolsVisu.h"

namespace {
// 251 is the colour byte of a rep that takes its colour from above.
constexpr int kNoOwnColour = 251;

int ColourByte(const KIVRep* rep) { return rep->GetGraphicAttributeSet().bytes[0]; }

KIV3DBagRep* AsBag(KIVRep* rep) {
  return rep && rep->IsAKindOf(KIV3DBagRep::ClassName()) ? static_cast<KIV3DBagRep*>(rep) : nullptr;
}

// The frame of a rep's children: its own matrix first, then the one that carries it.
KIV4x4Matrix ChildFrame(const KIV3DRep* rep, const KIV4x4Matrix& m) {
  auto* bag = dynamic_cast<const KIV3DBagRep*>(rep);
  return bag && bag->GetMatrix() ? *bag->GetMatrix() * m : m;
}

template <class Test>
void CollectInside(const Test& passes, const KIV4x4Matrix& m, KIV3DRep* rep, KIV3DBagRep* result) {
  if (passes(rep->GetBoundingElement() * m)) {
    result->AddChild(rep);
    return;
  }
  if (rep->GetChildren().empty()) return;
  const KIV4x4Matrix inner = ChildFrame(rep, m);
  // A copy: when the search runs through result itself, adding to it changes the list.
  const std::vector<KIVRep*> children = rep->GetChildren();
  for (KIVRep* child : children)
    if (auto* child3 = dynamic_cast<KIV3DRep*>(child)) CollectInside(passes, inner, child3, result);
}

// Returns 1 when `path` was split at a rep with several parents, and so deleted.
int Branches(KIVRep& rep, KIVRepPath& path, KIVRepPathList& list) {
  if (path.GetSize() == 1 && !list.IsPresent(&path)) list.Add(&path);
  KIVRep* at = &rep;
  // A chain of single parents extends the same path: a loop, so that long chains cannot
  // exhaust the stack.
  while (at->GetParents().size() == 1) {
    at = at->GetParents().front();
    path.AddRep(at);
  }
  if (at->GetParents().empty()) return 0;
  list.Remove(&path);
  const std::vector<KIVRep*> parents = at->GetParents();
  for (KIVRep* parent : parents) {
    auto* copy = new KIVRepPath(path);
    copy->AddRep(parent);
    if (!Branches(*parent, *copy, list) && !list.IsPresent(copy)) list.Add(copy);
  }
  delete &path;
  return 1;
}
}  // namespace

KIVRep* NavToolsVisu::GetColorInheritance(KIVRepPath* path) {
  if (!path || path->GetSize() == 0) return nullptr;
  path->InitToTopRep();
  KIVRep* last = nullptr;
  for (KIVRep* rep = path->NextChildRep(); rep; rep = path->NextChildRep()) {
    last = rep;
    if (ColourByte(rep) != kNoOwnColour && rep->GetColorInheritanceMode() != 0) return rep;
  }
  return last && ColourByte(last) != kNoOwnColour ? last : nullptr;
}

int NavToolsVisu::IsRepExist(KIV3DBagRep* bag, KIVRep* rep, int& position, int maxDepth, int depth) {
  position = -1;
  if (!bag || (maxDepth != -1 && maxDepth < depth)) return -1;
  for (KIVRep* child : bag->GetChildren()) {
    ++position;
    if (child == rep) return depth;
    if (KIV3DBagRep* inner = AsBag(child)) {
      int found = -1;
      const int at = IsRepExist(inner, rep, found, maxDepth, depth + 1);
      if (at != -1) {
        position = found;
        return at;
      }
    }
  }
  position = -1;
  return -1;
}

KIVRep* NavToolsVisu::GetSpecialRep(KIV3DRep* rep, const char* className) {
  if (!rep || !className) return nullptr;
  if (rep->GetChildren().empty()) return rep->IsAKindOf(className) ? rep : nullptr;
  for (KIVRep* child : rep->GetChildren()) {
    if (child->IsAKindOf(className)) return child;
    if (KIV3DBagRep* inner = AsBag(child))
      if (KIVRep* found = GetSpecialRep(inner, className)) return found;
  }
  return nullptr;
}

void NavToolsVisu::GetAllBranche(KIVRep& rep, KIVRepPath& path, KIVRepPathList& list) { Branches(rep, path, list); }

void NavToolsVisu::IsRepInside(KIV3DBoundingSphere& region, KIV4x4Matrix& m, KIV3DRep* rep, KIV3DBagRep* result) {
  if (!rep || !result) return;
  CollectInside([&region](const KIV3DBoundingSphere& s) { return region.IsInside(s) != 0; }, m, rep, result);
}

void NavToolsVisu::IsRepInside(float& size, KIV4x4Matrix& m, KIV3DRep* rep, KIV3DBagRep* result) {
  if (!rep || !result) return;
  const float limit = size;
  CollectInside([limit](const KIV3DBoundingSphere& s) { return s.GetRadius() < limit; }, m, rep, result);
}

void NavToolsVisu::IsRepColor(int index, int red, int green, int blue, int alpha, KIV3DRep* rep,
                              KIV3DBagRep* result) {
  if (!rep || !result) return;
  const unsigned char* b = rep->GetGraphicAttributeSet().bytes;
  const bool match = b[0] == 255 ? (b[4] == red && b[5] == green && b[6] == blue && (alpha == -1 || b[7] == alpha))
                                 : b[0] == index;
  if (match) {
    result->AddChild(rep);
    return;
  }
  const std::vector<KIVRep*> children = rep->GetChildren();
  for (KIVRep* child : children)
    if (auto* child3 = dynamic_cast<KIV3DRep*>(child)) IsRepColor(index, red, green, blue, alpha, child3, result);
}

void NavToolsVisu::GetRepByExclusion(KIVRep* rep, KIVRep* excluded, KIV3DBagRep* result) {
  if (!rep || !result || rep == excluded) return;
  for (const KIVRep* parent : rep->GetParents())
    if (parent == excluded) return;
  if (rep->GetChildren().empty()) {
    result->AddChild(rep);
    return;
  }
  // A copy: adding to result may change the children of rep when rep is above result.
  const std::vector<KIVRep*> children = rep->GetChildren();
  for (KIVRep* child : children) GetRepByExclusion(child, excluded, result);
}

int NavToolsVisu::IsTypeOf(int code, int pattern) {
  const unsigned int c = static_cast<unsigned int>(code), p = static_cast<unsigned int>(pattern);
  for (int i = 0; i < 4; ++i) {
    const unsigned int pb = (p >> (8 * i)) & 0xFFu;
    if (pb == 0) return 1;
    if (pb != ((c >> (8 * i)) & 0xFFu)) return 0;
  }
  return 1;
}
