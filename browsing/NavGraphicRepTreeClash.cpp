// NavGraphicRepTree: minimal distance between two records, and clash or clearance among
// the selected ones through the host interference model.
#include <vector>

#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {
using Rec = KIVNavArbreElement;

void DestroyBags(KIV3DBagRep** bags, int count) {
  for (int i = 0; bags && i < count; ++i)
    if (bags[i]) bags[i]->Destroy();
  delete[] bags;
}
}  // namespace

float NavGraphicRepTree::DistanceMinimum(KIVNavArbreElement* a, KIVNavArbreElement* b) {
  KIVRepPath* pathA = GetRepPath(a, 1);
  KIVRepPath* pathB = GetRepPath(b, 1);
  double distance = 0.0;
  if (pathA && pathB) {
    KIVSiInInterfereModel model;
    const int query = model.AddSpec(&pathA, 1, &pathB, 1, -1, KIVSiInInterfereModel::kMinimalDistance, 0.0);
    int count = 0;
    KIV3DBagRep** bags = nullptr;
    if (query >= 0 && model.Compute()) model.GetResult(query, &distance, &count, &bags, 0);
    DestroyBags(bags, count);
  }
  delete pathA;
  delete pathB;
  return static_cast<float>(distance);
}

int NavGraphicRepTree::ComputeClash() {
  UpdateSelection(0);
  const int n = mGraph->getSelectionNumber();
  Rec** selection = mGraph->getSelection();
  // The selection against itself: two lists of separate paths.
  std::vector<KIVRepPath*> listA, listB;
  for (int i = 0; i < n; ++i) {
    KIVRep* rep = NodeRep(selection[i]);
    if (!rep || !rep->IsAKindOf(KIV3DRep::ClassName())) continue;
    KIVRepPath* a = GetRepPath(selection[i], 1);
    KIVRepPath* b = GetRepPath(selection[i], 1);
    if (a && b) {
      listA.push_back(a);
      listB.push_back(b);
    } else {
      delete a;
      delete b;
    }
  }
  int count = 0;
  if (listA.size() >= 2) {
    const int kind = mClashCombo->GetSelect() == 1 ? KIVSiInInterfereModel::kClearance : KIVSiInInterfereModel::kClash;
    const double clearance = mSetting.clearance > 0.0f ? mSetting.clearance : 0.0;
    KIVSiInInterfereModel model;
    const int m = static_cast<int>(listA.size());
    const int query = model.AddSpec(listA.data(), m, listB.data(), m, 2, kind, clearance);
    KIVRepPath** pathsA = nullptr;
    KIVRepPath** pathsB = nullptr;
    int* kinds = nullptr;
    KIV3DBagRep** bags = nullptr;
    if (query >= 0 && model.Compute()) model.GetResult(query, &count, &pathsA, &pathsB, &kinds, &bags, 0);
    if (count > 0) {
      if (!mClashBag) mClashBag = new KIV3DBagRep;
      for (int i = 0; i < count; ++i)
        if (bags && bags[i]) mClashBag->AddChild(bags[i]);
      if (mAnalysis) AttachBags();
      for (int i = 0; i < count; ++i) {
        const int k = kinds ? kinds[i] : -1;
        if (pathsA && pathsA[i]) SetClashColorToNode(GetNode(pathsA[i]), k);
        if (pathsB && pathsB[i]) SetClashColorToNode(GetNode(pathsB[i]), k);
      }
      mGraph->GetGraphViewer()->redraw();
    } else {
      DestroyBags(bags, 0);
      bags = nullptr;
    }
    delete[] bags;  // the bags themselves now live in the clash bag
    delete[] pathsA;
    delete[] pathsB;
    delete[] kinds;
  }
  for (KIVRepPath* path : listA) delete path;
  for (KIVRepPath* path : listB) delete path;
  return count;
}
