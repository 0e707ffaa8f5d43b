#include "viewer/NavInterfaceInfoRep.h"

NavInterfaceInfoRep::~NavInterfaceInfoRep() = default;

// Bodies of the pure operations, for a derived class that wants the neutral answer.
KIVRep* NavInterfaceInfoRep::GetRepOfModel(KIVRepPath*) { return nullptr; }
const char* NavInterfaceInfoRep::GetNameOfRep(KIVRep*) { return nullptr; }
const char* NavInterfaceInfoRep::GetNameOfRep(KIVRepPath*) { return nullptr; }
int NavInterfaceInfoRep::IsSectionningContext() { return 0; }
const KIV4x4Matrix* NavInterfaceInfoRep::GetMatrix() { return nullptr; }

KIV3DBagRep* NavInterfaceInfoRep::GetCurrentObjectMoveRep(KIVRepPath* path) {
  if (!path) return nullptr;
  path->InitToLeafRep();
  while (KIVRep* rep = path->NextFatherRep())
    if (rep->IsAKindOf(KIV3DBagRep::ClassName())) return static_cast<KIV3DBagRep*>(rep);
  return nullptr;
}

void* NavInterfaceInfoRep::GetCurrentObjectMoveObject(KIVRepPath*) { return nullptr; }

void NavInterfaceInfoRep::ApplyRepMatrixObject(KIV3DBagRep*, void*) {}

KIVMathPointf NavInterfaceInfoRep::GetCenterOfMoveRep(KIVRepPath* path) {
  KIVMathPointf point(0.0f, 0.0f, 0.0f);
  KIV3DBagRep* bag = GetCurrentObjectMoveRep(path);
  if (!bag) return point;
  point = bag->GetBoundingElement().GetCenter();
  // The walk stands on the bag: the bags above it carry the point out, innermost first.
  while (KIVRep* rep = path->NextFatherRep()) {
    if (!rep->IsAKindOf(KIV3DBagRep::ClassName())) continue;
    if (const KIV4x4Matrix* m = static_cast<KIV3DBagRep*>(rep)->GetMatrix()) point = m->TransformPoint(point);
  }
  return point;
}
