#pragma once
// What navview tells the tools about its scene: names from the scene (the file's node
// names for imported models), the model rep of a pick path (the deepest model bag on it)
// and no section.
#include <string>
#include "viewer/NavInterfaceInfoRep.h"
class NavviewScene;

class NavviewInfoRep : public NavInterfaceInfoRep {
 public:
  explicit NavviewInfoRep(const NavviewScene& scene) : mScene(scene) {}
  KIVRep* GetRepOfModel(KIVRepPath* path) override;
  const char* GetNameOfRep(KIVRep* rep) override;
  const char* GetNameOfRep(KIVRepPath* path) override;
  /// The model bag of the path, so that an object move carries the whole model.
  KIV3DBagRep* GetCurrentObjectMoveRep(KIVRepPath* path) override;
  int IsSectionningContext() override { return 0; }
  const KIV4x4Matrix* GetMatrix() override { return nullptr; }

 private:
  const NavviewScene& mScene;
  std::string mName;
};
