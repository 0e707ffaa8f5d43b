// NavGraphicRepTree: the context menus and what their items do, and the attribute
// editor's changes applied to the selection.
#include <vector>

#include "browsing/NavGraphicAttribut.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "foundation/NavMenuGeneric.h"
#include "foundation/TableauMenu.h"
#include "host/core/KIVString.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/scene/KIV2DRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "viewer/NavViewerExtand.h"

namespace {
using Rec = KIVNavArbreElement;
constexpr int kPresent = 1, kInsensitive = 2;

TableauMenu Row(int option, int kind, const char* name, const char* title, int state) {
  return TableauMenu{option, kind, name, title, KIVUnicodeChar(), 0, nullptr, 0, state};
}
}  // namespace

void NavGraphicRepTree::UpdateContextMenu(int kind) {
  mMenu->SupprimeMenu(0);
  KIVDlgMenu* menu = mGraph->GetGraphViewer()->GetContextualMenu();
  std::vector<TableauMenu> rows;
  if (kind == -1) {
    rows = {Row(kOptSelectAll, 3, "SelectAllRepItem", "Select All", kPresent | kInsensitive),
            Row(kOptUnselectAll, 3, "UnselectAllRepItem", "Unselect All", kPresent | kInsensitive)};
  } else if (mCurrent && mCurrent != mRoot) {
    // Transparency is offered only for a scene deeper than one level.
    const Rec* first = mRoot && mRoot->childCount > 0 ? mRoot->children[0] : nullptr;
    const bool deep = first && first->childCount > 0;
    rows = {Row(kOptIdentify, 3, "IdentifyRepItem", "Identify", kPresent),
            Row(kOptShow, 3, "ShowRepItem", "Show / No Show", kPresent),
            Row(kOptTransparent, 3, "TransparentRepItem", "Change transparency", kPresent | (deep ? 0 : kInsensitive)),
            Row(-1, 5, "Separator", "", kPresent),
            Row(kOptCopy, 3, "CopyRepItem", "Copy", kPresent),
            Row(kOptCut, 3, "CutRepItem", "Cut", 0),
            Row(kOptPaste, 3, "PasteRepItem", "Paste", kPresent | (mClipboard ? 0 : kInsensitive)),
            Row(-1, 5, "Separator", "", kPresent),
            Row(kOptDistFrom, 3, "DistFromItem", "Distance From", kPresent),
            Row(kOptDistTo, 3, "DistToItem", "Distance To", kPresent | (mDistFrom ? 0 : kInsensitive))};
  }
  if (rows.empty()) return;
  std::vector<TableauMenu*> table;
  for (TableauMenu& row : rows) table.push_back(&row);
  mMenu->BuildMenuRecurcif(menu, table.data(), static_cast<int>(table.size()));
}

void NavGraphicRepTree::ActiveMenuOption(int option) {
  Rec* node = mCurrent;
  switch (option) {
    case kOptIdentify:
      Identify(node);
      break;
    case kOptShow:
      ShowNoShow(node);
      break;
    case kOptTransparent: {
      KIVRep* rep = NodeRep(node);
      if (!rep) break;
      const int on = rep->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Transparent) ? 0 : 1;
      SetTransparency(rep, on, NavGraphicAttribut::kModeSetter);
      if (mGraph->IsNoeudSelected(node)) UpdateSelection(1);
      NavViewerExtand::UpdateAllViewer();
      break;
    }
    case kOptCopy:
    case kOptCut:
      // Cut takes nothing out of the scene: it remembers, as Copy does.
      mClipboard = NodeRep(node);
      break;
    case kOptPaste:
      Paste(node);
      break;
    case kOptDistFrom:
      if (!NodeRep(node)) break;
      mDistFrom = node;
      mDistanceLabel->SetSensitivity(SensitivityOff);
      break;
    case kOptDistTo: {
      if (!NodeRep(node)) break;
      mDistTo = node;
      if (!mDistFrom || mDistFrom == mDistTo || NodeRep(mDistFrom) == NodeRep(mDistTo)) {
        mDistanceLabel->SetSensitivity(SensitivityOff);
        break;
      }
      const float distance = DistanceMinimum(mDistFrom, mDistTo);
      KIVUnicodeString text(DistanceValueTitle);
      KIVUnicodeString number;
      number.BuildFromNum(distance, "%.2f");
      text += number;
      mDistanceLabel->SetTitle(text);
      mDistanceLabel->SetSensitivity(SensitivityOn);
      break;
    }
    case kOptSelectAll:
      SelectAll();
      break;
    case kOptUnselectAll:
      mGraph->SelectNoeudGraph(nullptr, 0, 0);
      mGraph->GetGraphViewer()->redraw();
      UpdateSelection(1);
      break;
    default:
      break;
  }
}

void NavGraphicRepTree::Identify(KIVNavArbreElement* node) {
  KIVRepPath* path = GetRepPath(node, 1);
  if (!path) return;
  delete mIdentifyPath;
  if (mIdentifyBag) {
    mIdentifyBag->RemoveAllChildren();
    mIdentifyBag->Destroy();
  }
  mIdentifyPath = path;
  mIdentifyBag = PathToBagRep(path);
  if (NavViewerExtand* viewer = mViewerLife.expired() ? nullptr : mViewer)
    SendNotification(viewer, mIdentifyNotification.get());
}

void NavGraphicRepTree::ShowNoShow(KIVNavArbreElement* node) {
  KIVRep* rep = NodeRep(node);
  if (!rep) return;
  if (rep->GetShowMode()) {
    rep->SetShowMode(0, 0);
    SetNodeColor(node, kShownColor);
  } else {
    rep->SetShowMode(1, 0);
    SetNodeColor(node, kHiddenColor);
  }
  mGraph->GetGraphViewer()->redraw();
  if (mGraph->IsNoeudSelected(node)) UpdateSelection(1);
  NavViewerExtand::UpdateAllViewer();
}

void NavGraphicRepTree::Paste(KIVNavArbreElement* node) {
  KIVRep* target = NodeRep(node);
  KIVRep* pasted = mClipboard;
  // The clipboard rep may have left the scene since it was copied.
  const std::vector<Rec*> copied = GetInstances(pasted);
  if (!target || !pasted || copied.empty() || !NodeRep(copied.front())) return;
  int done = 0;
  if (auto* bag3D = dynamic_cast<KIV3DBagRep*>(target); bag3D && pasted->IsAKindOf(KIV3DRep::ClassName()))
    done = bag3D->AddChild(pasted);
  else if (auto* bag2D = dynamic_cast<KIV2DBagRep*>(target); bag2D && pasted->IsAKindOf(KIV2DRep::ClassName()))
    done = bag2D->AddChild(pasted);
  if (!done) return;  // refused (a bag into itself or below itself) or not a bag
  UpdatePalette(1);
  mClipboard = pasted;
  NavViewerExtand::UpdateAllViewer();
}

void NavGraphicRepTree::SelectAll() {
  mGraph->SelectNoeudGraph(nullptr, 0, 0);
  const int type = mRootCombo ? mSetting.rootType : -1;
  if (mRoot && type == 1) {
    for (int i = 0; i < mRoot->childCount; ++i)
      if (Rec* child = mRoot->children[i]; child && (child->state & KIVNavArbreElement::StateSelectable))
        mGraph->SelectAllNoeud(child, 1, 1, 0);
  } else if (mRoot && type == 0) {
    mGraph->SelectAllNoeud(mRoot, 1, 1, 0);
  }
  mGraph->GetGraphViewer()->redraw();
  UpdateSelection(1);
}

void NavGraphicRepTree::SetTransparency(KIVRep* rep, int on, int flags) {
  if (!rep) return;
  NavGraphicAttribut::SetTransparency(rep, on, flags);
}

void NavGraphicRepTree::ModifyAttribute(int action, int value) {
  if (action & NavGraphicAttribut::kUndo) {
    int n = 0;
    KIVRep** reps = mAttribut ? mAttribut->GetCurrentRep(n) : nullptr;
    const std::vector<KIVRep*> edited(reps, reps + (reps ? n : 0));
    mGraph->SelectNoeudGraph(nullptr, 0, 0);
    for (KIVRep* rep : edited) SelectAllInstance(rep);
    UpdateSelection(1);
    return;
  }
  const int count = mGraph->getSelectionNumber();
  Rec** selection = mGraph->getSelection();
  if (action & NavGraphicAttribut::kShow) {
    for (int i = 0; i < count; ++i) SetNodeColor(selection[i], value == 1 ? kShownColor : kHiddenColor);
    mGraph->GetGraphViewer()->redraw();
  }
  if (!(action & NavGraphicAttribut::kModeOwner)) return;
  for (int i = 0; i < count; ++i) {
    KIVRep* rep = NodeRep(selection[i]);
    if (!rep) continue;
    if (action & NavGraphicAttribut::kTransparency) SetTransparency(rep, value, NavGraphicAttribut::kModeSetter);
    NavGraphicAttribut::ApplyAction(rep, action & ~NavGraphicAttribut::kModeOwner, value);
  }
}
