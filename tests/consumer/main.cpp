// Builds a small scene with the installed library, picks it and reads a settings record
// back: the host frameworks and the library work from the installed headers and binaries.
#include <cstdio>

#include "navtools.h"

int main() {
  KIV3DViewer viewer(200, 150);
  auto* root = new KIV3DBagRep;
  const float v[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  const int t[] = {0, 1, 2};
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(new KIV3DFaceGP(v, 9, nullptr, t, 1));
  root->AddChild(leaf);
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  vp->AddRep(root);
  vp->SetPosition(KIVMathPointf(0, 0, 10), KIVMathDirectionf(0, 0, -1), KIVMathDirectionf(0, 1, 0));
  KIVPickPathList paths;
  const int hits = viewer.Pick(100, 75, paths);
  vp->RemoveRep(root);
  root->Destroy();
  if (hits != 1) {
    std::printf("consumer: expected one hit, got %d\n", hits);
    return 1;
  }
  std::printf("consumer: navtools works from its installed package\n");
  return 0;
}
