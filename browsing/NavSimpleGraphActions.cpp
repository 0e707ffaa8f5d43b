// NavSimpleGraph: what a person's clicks and menu choices do.
#include <vector>

#include "browsing/NavSimpleGraph.h"
#include "foundation/NavMenuGeneric.h"
#include "foundation/TableauMenu.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"

namespace {

using Rec = KIVNavArbreElement;

TableauMenu Row(int option, int kind, const char* name, const char* title, bool present, bool insensitive = false) {
  return TableauMenu{option, kind, name, title, KIVUnicodeChar(), 0, nullptr, 0,
                     (present ? 1 : 0) | (insensitive ? 2 : 0)};
}
TableauMenu Separator(bool present) { return Row(-1, 5, "Separator", "", present); }

}  // namespace

void NavSimpleGraph::ActionGraphCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!notification) return;
  if (mMenu && sender == mMenu && notification == mMenu->GetActionMenuNotification()) {
    ActiveOption(mMenu->GetLastOptionChoose());
    return;
  }
  if (mSettingButton && sender == mSettingButton) {
    AfficheSetting(mSettingButton->GetState() == StateSet ? 1 : 0, 0);
    return;
  }
  if (mDialog && sender && (sender == mDialog || sender == mTreeCombo || sender == mAlignCombo ||
                            sender == mDepthSpinner || sender == mWidthSpinner || sender == mGravityCheck ||
                            sender == mSquareCheck || sender == mPackedCheck || sender == mExtendCombo)) {
    DialogCB(sender, notification);
    return;
  }
  if (sender != mViewer) return;
  if (notification->IsAKindOf(KIVNodeSelectNotification::ClassName()) ||
      notification->IsAKindOf(KIVNodeExtSelectNotification::ClassName()) ||
      notification->IsAKindOf(KIVNodeEditNotification::ClassName())) {
    NodeClicked(notification);
  } else if (notification->IsAKindOf(KIVNodeContextNotification::ClassName()) ||
             notification->IsAKindOf(KIVArcContextNotification::ClassName()) ||
             notification->IsAKindOf(KIVGraphContextNotification::ClassName())) {
    ContextClicked(notification);
  }
  // Arc selections are ignored.
}

void NavSimpleGraph::NodeClicked(KIVNotification* notification) {
  auto* n = static_cast<KIVGraphNotification*>(notification);
  auto found = mByGraphNode.find(n->GetNode());
  if (found == mByGraphNode.end()) return;
  Rec* r = found->second;
  const bool edit = notification->IsAKindOf(KIVNodeEditNotification::ClassName());
  if (r->state & Rec::StateMarker) {
    Rec* father = RechercheFather(r, 0);
    if (father) {
      mContext = father;
      if (UpdateExtendNode(father, mSetting.extensionLevel, 0)) UpdateGraph(1, &father, 0, 1);
    } else {
      // A marker without father: it goes, with its arc.
      SuppressArbre(r, 1);
      mViewer->layout();
      mViewer->redraw();
    }
    NotifyExtend();
    return;
  }
  if (!(r->state & Rec::StateSelectable)) return;
  if (edit) {
    mContext = r;
    Send(notification);
    return;
  }
  if ((r->state & Rec::StateIconClick) && (r->state & Rec::StatePixmap) && n->GetIconPart()) {
    mContext = r;
    Send(mIconNotification);
    return;
  }
  const int toggle = notification->IsAKindOf(KIVNodeExtSelectNotification::ClassName()) ? 1 : 0;
  Rec* one[1] = {r};
  if (SelectNoeudGraph(one, 1, toggle)) {
    mContext = r;
    mViewer->redraw();
    Send(notification);
  }
}

void NavSimpleGraph::ShowMenu(TableauMenu* rows, int count) {
  if (!mMenu) return;
  mMenu->SupprimeMenu(0);
  // The items of the previous click leave the host menu too.
  KIVDlgContextualMenu* menu = mViewer->GetContextualMenu();
  while (!menu->GetDialogChildren().empty()) delete menu->GetDialogChildren().back();
  std::vector<TableauMenu*> table;
  for (int i = 0; i < count; ++i) table.push_back(&rows[i]);
  if (count > 0) mMenu->BuildMenuRecurcif(menu, table.data(), count);
}

void NavSimpleGraph::ContextClicked(KIVNotification* notification) {
  auto* n = static_cast<KIVGraphNotification*>(notification);
  const bool shown = IsUsable() != 0;
  const int keepLast = (mStyle & StyleForwardGraph) ? 0 : 1;  // rows dropped from the end
  if (notification->IsAKindOf(KIVArcContextNotification::ClassName())) {
    if (shown) ShowMenu(nullptr, 0);
    if (mStyle & StyleForwardArc) Send(notification);
    return;
  }
  if (notification->IsAKindOf(KIVGraphContextNotification::ClassName())) {
    if (shown) {
      const bool button = mSettingButton != nullptr, ext = (mStyle & StyleExtension) != 0,
                 sel = (mStyle & StyleSelection) != 0, empty = mSelectionCount == 0;
      TableauMenu rows[] = {Row(-11, 2, "SettingItem", "Tree settings", button, empty),
                            Separator(button),
                            Row(-13, 3, "ExtendSelectItem", "Extend   selection", ext, empty),
                            Row(-15, 3, "CollapseSelectItem", "Collapse selection", ext, empty),
                            Separator(ext),
                            Row(-20, 3, "SelectyAllItem", "Select all", sel),
                            Row(-21, 3, "UnselectAllItem", "Unselect all", sel),
                            Separator(sel)};
      if (button && mSettingButton->GetState() == StateSet) rows[0].state |= 4;
      ShowMenu(rows, 8 - keepLast);
    }
    if (mStyle & StyleForwardGraph) Send(notification);
    return;
  }
  auto found = mByGraphNode.find(n->GetNode());
  if (found == mByGraphNode.end()) return;
  Rec* r = found->second;
  mContext = r;
  if (shown) {
    if (r->state & Rec::StateMarker) {
      TableauMenu rows[] = {Row(-19, 3, "ExtendAllItem", "Extend all levels", true),
                            Row(-16, 3, "Extend1Item", "Extend  1  level", true),
                            Row(-17, 3, "Extend2Item", "Extend  2  levels", true),
                            Row(-18, 3, "Extend3Item", "Extend  3  levels", true), Separator(true)};
      ShowMenu(rows, 5 - keepLast);
    } else {
      const bool ext = (mStyle & StyleExtension) != 0, sel = (mStyle & StyleSelection) != 0;
      const bool leaf = r->childCount == 0;
      bool marker = false;
      for (int i = 0; i < r->childCount; ++i)
        if (r->children[i] && (r->children[i]->state & Rec::StateMarker) && r->children[i]->graphNode) marker = true;
      TableauMenu rows[] = {Row(-12, 3, "ExtendItem", "Extend   sub tree", ext, leaf),
                            Row(-14, 3, "CollapseItem", "Collapse sub tree", ext, leaf || marker),
                            Separator(ext),
                            Row(-22, 3, "SelectySubTreeItem", "Select sub tree", sel),
                            Row(-23, 3, "UnselectSubTreeItem", "Unselect sub tree", sel),
                            Separator(sel)};
      ShowMenu(rows, 6 - keepLast);
    }
  }
  if (mStyle & StyleForwardNode) Send(notification);
}

void NavSimpleGraph::ActiveOption(int option) {
  switch (option) {
    case -11:
      if (mSettingButton)
        mSettingButton->SetState(mSettingButton->GetState() == StateSet ? StateCleared : StateSet, 1);
      break;
    case -12:
      if (mContext && UpdateExtendNode(mContext, mSetting.extensionLevel, 1)) {
        UpdateGraph(1, &mContext, 0, 1);
        NotifyExtend();
      }
      break;
    case -13: {
      std::vector<Rec*> selected(mSelection, mSelection + mSelectionCount);
      bool any = false;
      for (Rec* r : selected)
        if (UpdateExtendNode(r, mSetting.extensionLevel, 1)) {
          UpdateGraph(1, &r, 0, 0);
          any = true;
        }
      if (any) {
        mViewer->layout();
        mViewer->redraw();
        NotifyExtend();
      }
      break;
    }
    case -14:
      if (!mContext) break;
      UpdateExtendNode(mContext, 0, 0);
      UpdateGraph(1, &mContext, 0, 1);
      NotifyExtend();
      break;
    case -15: {
      std::vector<Rec*> selected(mSelection, mSelection + mSelectionCount);
      for (Rec* r : selected) UpdateExtendNode(r, 0, 0);
      UpdateGraph(static_cast<int>(selected.size()), selected.data(), 0, 1);
      NotifyExtend();
      break;
    }
    case -16:
    case -17:
    case -18:
    case -19: {
      if (!mContext) break;
      // The context is the marker's record until its father takes its place.
      Rec* marker = mContext;
      Rec* father = (marker->state & Rec::StateMarker) ? RechercheFather(marker, 0) : marker;
      if (!father) break;
      const int levels = option == -16 ? 1 : option == -17 ? 2 : option == -18 ? 3 : -2;
      UpdateExtendNode(father, levels, 0);
      UpdateGraph(1, &father, 0, 1);
      mContext = father;
      NotifyExtend();
      break;
    }
    case -20: {
      Rec** none = nullptr;
      SelectNoeudGraph(none, 0, 0);
      SelectAllNoeud(mRoot, 1, 1, 0);
      mViewer->redraw();
      NotifySelect();
      break;
    }
    case -21:
      if (mSelectionCount > 0) {
        SelectNoeudGraph(nullptr, 0, 0);
        mViewer->redraw();
        NotifySelect();
      }
      break;
    case -22:
      SelectNoeudGraph(nullptr, 0, 0);
      SelectAllNoeud(mContext, 1, 1, 0);
      mViewer->redraw();
      NotifySelect();
      mContext = nullptr;
      break;
    case -23:
      if (UnselectSubTree(mContext)) {
        mViewer->redraw();
        NotifySelect();
      }
      mContext = nullptr;
      break;
    default:
      break;
  }
}
