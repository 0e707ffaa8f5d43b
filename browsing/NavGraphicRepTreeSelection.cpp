// NavGraphicRepTree: what follows the graph selection (the selection bag, the attribute
// editor, the extended panel) and the two side windows that show it.
#include <unordered_set>
#include <vector>

#include "browsing/NavExtendedAttribut.h"
#include "browsing/NavGraphicAttribut.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "foundation/NavSimpleViewer3DSetting.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "navigation/NavToolsVisu.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {
using Rec = KIVNavArbreElement;
constexpr int kAnalysisWidth = 250, kAnalysisHeight = 250, kAnalysisKind = -1, kAnalysisOptions = 331;

// Takes a bag out of every parent it has (the analysis viewer's root, mostly).
void Unparent(KIV3DBagRep* bag) {
  if (!bag) return;
  const std::vector<KIVRep*> parents = bag->GetParents();
  for (KIVRep* parent : parents)
    if (auto* holder = dynamic_cast<KIV3DBagRep*>(parent)) holder->RemoveChild(bag);
}
}  // namespace

void NavGraphicRepTree::DropSelectionBag() {
  for (int entry : mPlacedEntries) mInfo[entry].placed = nullptr;
  mPlacedEntries.clear();
  if (!mSelectionBag) return;
  Unparent(mSelectionBag);
  // The positioned bags share the scene's reps: they let go of them before going.
  const std::vector<KIVRep*> placed = mSelectionBag->GetChildren();
  for (auto it = placed.rbegin(); it != placed.rend(); ++it)
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(*it)) bag->RemoveAllChildren();
  mSelectionBag->Destroy();
  mSelectionBag = nullptr;
}

void NavGraphicRepTree::DropClashBag() {
  if (!mClashBag) return;
  Unparent(mClashBag);
  mClashBag->Destroy();
  mClashBag = nullptr;
}

// The selection bag holds one positioned bag per selected 3D record, placed by the
// matrices along the record's path. A selection change touches only the records that
// came in or went out (the others get their placement refreshed), so that one more node
// among 10,000 selected costs no rebuild of 10,000 bags.
void NavGraphicRepTree::UpdateSelection(int withAttributes) {
  DropClashBag();
  mSelectedReps.clear();
  mSelectedNodes = 0;
  const int n = mGraph->getSelectionNumber();
  Rec** selection = mGraph->getSelection();
  bool any3D = false;
  if (n == 0) {
    DropSelectionBag();
  } else {
    if (!mSelectionBag) mSelectionBag = new KIV3DBagRep;
    const unsigned generation = ++mGeneration;
    std::unordered_set<const KIVRep*> distinct;
    std::vector<int> added;
    for (int i = 0; i < n; ++i) {
      KIVRep* rep = NodeRep(selection[i]);
      if (!rep) continue;  // a record whose rep left the scene shows nothing
      ++mSelectedNodes;
      if (distinct.insert(rep).second) mSelectedReps.push_back(rep);
      NodeInfo* info = Info(selection[i]);
      if (!info || info->generation == generation || !rep->IsAKindOf(KIV3DRep::ClassName())) continue;
      KIVRepPath* path = GetRepPath(selection[i], 1);
      if (!path) continue;
      const KIV4x4Matrix placement = NavToolsVisu::GetTransfoMatrice(path, 1, rep);
      delete path;
      info->generation = generation;
      any3D = true;
      if (info->placed && !info->placed->GetChildren().empty()) {
        if (!info->placed->GetMatrix() || !(*info->placed->GetMatrix() == placement)) info->placed->SetMatrix(placement);
        continue;
      }
      if (!info->placed) {
        info->placed = new KIV3DBagRep;
        info->placed->AddChild(rep);
        info->placed->SetMatrix(placement);
        added.push_back(static_cast<int>(info - mInfo.data()));
      }
    }
    // Those no longer selected (or emptied by a rep deleted meanwhile) leave.
    std::vector<int> kept;
    std::vector<KIV3DBagRep*> gone;
    for (int entry : mPlacedEntries) {
      NodeInfo& info = mInfo[entry];
      if (info.generation == generation && !info.placed->GetChildren().empty())
        kept.push_back(entry);
      else
        gone.push_back(info.placed), info.placed = nullptr;
    }
    if (gone.size() <= 32) {
      for (KIV3DBagRep* bag : gone) mSelectionBag->RemoveChild(bag);
    } else {
      // Many leave at once: one unlink of them all instead of a search per bag.
      mSelectionBag->RemoveAllChildren();
      for (int entry : kept) mSelectionBag->AddChild(mInfo[entry].placed);
    }
    for (KIV3DBagRep* bag : gone) {
      bag->RemoveAllChildren();
      bag->Destroy();
    }
    for (int entry : added) {
      mSelectionBag->AddChild(mInfo[entry].placed);
      kept.push_back(entry);
    }
    mPlacedEntries = std::move(kept);
  }
  mClashButton->SetSensitivity(n > 1 ? SensitivityOn : SensitivityOff);
  if ((mStyle & kStyleAnalysis) && mAnalysis) AttachBags();
  if (mExtended) FillExtendedPanel();
  if (withAttributes == 1) {
    KIV3DBoundingSphere sphere;
    if (any3D) sphere = mSelectionBag->GetBoundingElement();
    if (mAttribut)
      mAttribut->UpdateAttribut(static_cast<int>(mSelectedReps.size()), mSelectedReps.data(),
                                any3D ? &sphere : nullptr, NavGraphicAttribut::kModeSetter, 0);
  } else {
    UpdateColor(mRoot);
  }
}

void NavGraphicRepTree::SelectAllInstance(KIVNavArbreElement* node) {
  KIVRep* rep = NodeRep(node);
  if (!rep) return;
  const std::vector<Rec*> all = GetInstances(rep);
  if (all.size() < 2) return;
  std::vector<Rec*> wanted(mGraph->getSelection(), mGraph->getSelection() + mGraph->getSelectionNumber());
  wanted.insert(wanted.end(), all.begin(), all.end());
  mGraph->SelectNoeudGraph(wanted.data(), static_cast<int>(wanted.size()), 0);
  mGraph->GetGraphViewer()->redraw();
}

void NavGraphicRepTree::SelectAllInstance(KIVRep* rep) {
  const std::vector<Rec*> all = GetInstances(rep);
  if (all.empty()) return;
  std::vector<Rec*> wanted(mGraph->getSelection(), mGraph->getSelection() + mGraph->getSelectionNumber());
  wanted.insert(wanted.end(), all.begin(), all.end());
  mGraph->SelectNoeudGraph(wanted.data(), static_cast<int>(wanted.size()), 0);
  mGraph->GetGraphViewer()->redraw();
}

// ---------------------------------------------------------------------------------------
// The analysis viewer and the extended panel

void NavGraphicRepTree::AttachBags() {
  if (!mAnalysis) return;
  NavViewerExtand* own = mAnalysis->GetSpecificViewer();
  if (!own) return;
  for (KIV3DBagRep* bag : {mSelectionBag, mClashBag})
    if (bag && bag->GetParents().empty()) own->AddRep(bag, NavViewerExtand::kOfficialRoot);
  own->Reframe(-1);
}

void NavGraphicRepTree::DetachBags() {
  Unparent(mSelectionBag);
  Unparent(mClashBag);
}

void NavGraphicRepTree::OpenAnalysisViewer() {
  if (mAnalysis) return;
  mAnalysis = new NavSimpleViewer3D(this, this, nullptr, kAnalysisWidth, kAnalysisHeight, kAnalysisKind,
                                    kAnalysisOptions);
  if (mAnalysisSetting) mAnalysis->SetCurrentSetting(*mAnalysisSetting);
  mAnalysis->ActivateForeGroundOnViewer();
  mAnalysisCloseCB = AddAnalyseNotificationCB(mAnalysis, mAnalysis->GetWindCloseNotification(),
                                              &NavGraphicRepTree::ActiveOptionFromNotifyCB, nullptr);
  mAnalysis->AffichePanel(1);
  AttachBags();
}

void NavGraphicRepTree::CloseAnalysisViewer(int delayed) {
  if (!mAnalysis) return;
  NavSimpleViewer3D* analysis = mAnalysis;
  mAnalysis = nullptr;
  RemoveAnalyseNotificationCB(mAnalysisCloseCB);
  mAnalysisCloseCB = 0;
  if (!mAnalysisSetting) mAnalysisSetting = new NavSimpleViewer3DSetting;
  analysis->GetCurrentSetting(*mAnalysisSetting);
  DetachBags();
  if (delayed)
    analysis->RequestDelayedDestruction();
  else
    delete analysis;
}

void NavGraphicRepTree::OpenExtendedPanel() {
  if (mExtended) return;
  mExtended = new NavExtendedAttribut(this, this);
  mExtendedCloseCB = AddAnalyseNotificationCB(mExtended, mExtended->GetWindCloseNotification(),
                                              &NavGraphicRepTree::ActiveOptionFromNotifyCB, nullptr);
  mExtended->AffichePanel(1);
  FillExtendedPanel();
}

void NavGraphicRepTree::CloseExtendedPanel(int delayed) {
  if (!mExtended) return;
  NavExtendedAttribut* panel = mExtended;
  mExtended = nullptr;
  RemoveAnalyseNotificationCB(mExtendedCloseCB);
  mExtendedCloseCB = 0;
  if (delayed)
    panel->RequestDelayedDestruction();
  else
    delete panel;
}

void NavGraphicRepTree::FillExtendedPanel() {
  if (!mExtended) return;
  if (mSelectedReps.size() == 1)
    mExtended->UpdatePalette("Selected Rep", mSelectedReps.front(), mSelectedNodes);
  else
    mExtended->UpdatePalette(nullptr, nullptr, 0);
}
