// Copies into a bag for isolated display: a viewpoint's content, and the objects of pick
// paths placed and coloured as they are in the scene, of NavToolsVisu.
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "host/visu/view/KIVViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "viewer/NavInterfaceInfoRep.h"

namespace {
// Frees a child the way the caller asked: a bag released with Destroy (with what only it
// holds), anything else, or any child when destroy is off, deleted on its own.
void Release(KIVRep* child, int destroy) {
  if (destroy && child->IsAKindOf(KIV3DBagRep::ClassName()))
    static_cast<KIV3DBagRep*>(child)->Destroy();
  else
    delete child;
}

// Empties the bag from the front. Each step must take the child out of the list; if one
// ever did not, stopping beats looping for ever.
void Empty(KIV3DBagRep* bag, int mode) {
  while (!bag->GetChildren().empty()) {
    const size_t before = bag->GetChildren().size();
    KIVRep* first = bag->GetChildren().front();
    if (mode == -1)
      bag->RemoveChild(first);
    else
      Release(first, mode);
    if (bag->GetChildren().size() >= before) return;
  }
}

KIVRep* FirstNonBagFromLeaf(KIVRepPath* path) {
  path->InitToLeafRep();
  for (KIVRep* rep = path->NextFatherRep(); rep; rep = path->NextFatherRep())
    if (!rep->IsAKindOf(KIV3DBagRep::ClassName())) return rep;
  return nullptr;
}

// The clone's colour: the source's RGB bytes when it has an RGBA colour, else its index.
void Colour(KIV3DBagRep* clone, const KIVRep* source) {
  clone->SetColorInheritanceMode(1);
  const KIVGraphicAttributeSet& from = source->GetGraphicAttributeSet();
  KIVGraphicAttributeSet set = clone->GetGraphicAttributeSet();
  if (from.bytes[0] == KIVGraphicAttributeSet::ColorRGBA) {
    set.bytes[4] = from.bytes[4];
    set.bytes[5] = from.bytes[5];
    set.bytes[6] = from.bytes[6];
    set.bytes[7] = 0;
  } else {
    set.SetColorIndex(from.bytes[0]);
  }
  clone->SetGraphicAttributeSet(set);
}
}  // namespace

void NavToolsVisu::CloneViewpointRep(KIV3DBagRep* bag, int mode, KIVViewpoint* viewpoint) {
  if (!bag) return;
  if (mode == 1) Empty(bag, 1);
  if (mode == -1) Empty(bag, -1);
  if (!viewpoint) return;
  for (KIVRep* rep : viewpoint->GetReps()) bag->AddChild(rep);
}

KIVRep* NavToolsVisu::CloneBasicRep(KIV3DBagRep* bag, int clear, int destroy, KIVRepPath** paths, int count,
                                    int topMode, NavInterfaceInfoRep* info) {
  if (!bag) return nullptr;
  if (clear == 1) Empty(bag, destroy == 1 ? 1 : 0);
  KIVRep* last = nullptr;
  for (int i = 0; paths && i < count; ++i) {
    KIVRepPath* path = paths[i];
    if (!path || path->GetSize() == 0) continue;
    KIVRep* object = nullptr;
    KIV4x4Matrix matrix;
    if (topMode != 0) {
      object = info ? info->GetRepOfModel(path) : FirstNonBagFromLeaf(path);
      if (object) matrix = GetTransfoMatrice(path, 1, object);
    }
    if (!object) {
      object = path->GetLeafRep();
      matrix = GetTransfoMatrice(path, 0, nullptr);
    }
    auto* clone = new KIV3DBagRep;
    if (const KIVRep* source = GetColorInheritance(path)) Colour(clone, source);
    clone->SetMatrix(matrix);
    // Refused links (the object is the bag or above it) would make a cycle: drop the clone.
    if (!clone->AddChild(object) || !bag->AddChild(clone)) {
      delete clone;
      continue;
    }
    last = object;
  }
  return last;
}
