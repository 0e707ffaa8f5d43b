#include "bench/PlantTree.h"

#include "host/visu/scene/KIV3DFaceGP.h"

PlantTree BuildPlantTree(const PlantScene& plant) {
  PlantTree tree;
  tree.root = new KIV3DBagRep;
  for (int i = 0; i < plant.GetModelCount(); ++i) {
    const PlantScene::Model& m = plant.GetModel(i);
    auto* bag = new KIV3DBagRep;
    bag->SetMatrix(m.matrix);
    auto* leaf = new KIV3DCustomRep;
    leaf->AddGP(new KIV3DFaceGP(m.vertices.data(), static_cast<int>(m.vertices.size()), nullptr,
                                plant.GetIndices().data(), plant.GetTrianglesPerModel()));
    bag->AddChild(leaf);
    tree.root->AddChild(bag);
    tree.bags.push_back(bag);
    tree.leaves.push_back(leaf);
  }
  return tree;
}

void AimAtPlant(KIV3DViewpoint& viewpoint, const PlantScene& plant) {
  viewpoint.SetPosition(plant.GetEye(), plant.GetTarget() - plant.GetEye(), plant.GetUp());
  viewpoint.SetAngle(45.0f);
}
