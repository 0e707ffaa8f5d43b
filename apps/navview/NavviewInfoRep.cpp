#include "apps/navview/NavviewInfoRep.h"

#include "apps/navview/NavviewScene.h"

KIVRep* NavviewInfoRep::GetRepOfModel(KIVRepPath* path) {
  if (!path) return nullptr;
  for (int i = path->GetSize() - 1; i >= 0; --i)
    if (mScene.IsModel(path->GetRep(i))) return path->GetRep(i);
  return path->GetLeafRep();
}

const char* NavviewInfoRep::GetNameOfRep(KIVRep* rep) {
  if (!rep) return nullptr;
  const char* name = mScene.GetName(rep);
  mName = name ? name : "Unnamed";
  return mName.c_str();
}

const char* NavviewInfoRep::GetNameOfRep(KIVRepPath* path) { return GetNameOfRep(GetRepOfModel(path)); }

KIV3DBagRep* NavviewInfoRep::GetCurrentObjectMoveRep(KIVRepPath* path) {
  if (auto* bag = dynamic_cast<KIV3DBagRep*>(GetRepOfModel(path))) return bag;
  return NavInterfaceInfoRep::GetCurrentObjectMoveRep(path);
}
