#pragma once
// The plant as a scene tree: a root bag holding, per model, a bag with the model's matrix
// over a custom rep with one face primitive. The caller owns the root (Destroy()).
#include <vector>
#include "bench/PlantScene.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
struct PlantTree {
  KIV3DBagRep* root = nullptr;
  std::vector<KIV3DBagRep*> bags;
  std::vector<KIV3DCustomRep*> leaves;
};
PlantTree BuildPlantTree(const PlantScene& plant);
/// The plant's own view: from its eye to its target, 45 degrees wide.
void AimAtPlant(KIV3DViewpoint& viewpoint, const PlantScene& plant);
