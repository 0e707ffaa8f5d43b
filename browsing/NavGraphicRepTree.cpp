// NavGraphicRepTree: the window, showing and hiding it, its setting, and the one callback
// that every widget and notification reaches.
#include "browsing/NavGraphicRepTree.h"

#include <cstdlib>

#include "browsing/NavExtendedAttribut.h"
#include "browsing/NavGraphicAttribut.h"
#include "browsing/NavSimpleGraph.h"
#include "foundation/NavExtendTreeNotification.h"
#include "foundation/NavMenuGeneric.h"
#include "foundation/NavSimpleViewer3DSetting.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/graph/KIVGraphNotifications.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

int NavGraphicRepTree::_lUpdateOk = 1;

namespace {
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
constexpr int kGraphStyle = 911;
constexpr int kComboStyle = 0x200000;

template <class W>
W* Make(KIVDialog* parent, const char* title, int row, int column, int style = 0) {
  auto* widget = new W(parent, NavGraphicRepTree::WidgetTag, style);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  widget->SetGridConstraints(row, column, 1, 1, kFill);
  return widget;
}
}  // namespace

NavGraphicRepTree::NavGraphicRepTree(NavViewerExtand* viewer, int style)
    : KIVDlgDialog(viewer, PanelIdTag, KIVDlgWindow::StyleNoButtons),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()),
      mStyle(style),
      mRelay(std::make_unique<KIVCommand>(viewer, "NavGraphicRepTreeRelay")),
      mIdentifyNotification(std::make_unique<NavChangeTypeNotification>()) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  mBuildMode = style & kStyleFull         ? kStyleFull
               : style & kStyleFirstLevel ? kStyleFirstLevel
               : style & kStyleLeaves     ? kStyleLeaves
                                          : 0;
  BuildWindow();
  // The window's close box tells its father: the relay stands in as father so that the
  // browser hears it first and tells the viewer itself once its panels are closed.
  mRelay->AddAnalyseNotificationCB(
      this, GetWindCloseNotification(), nullptr,
      [this](KIVCommand* sender, KIVNotification* notification, void* data) {
        ActiveOptionFromNotifyCB(sender, notification, data);
      },
      nullptr);
  SetFather(mRelay.get());

  NavGraphicRepTreeSetting defaults;
  defaults.clearance = 0.0f;
  defaults.rootType = 1;  // the official scene, what a person browses first
  mGraph->GetCurrentSetting(defaults.graph);
  SetCurrentSetting(defaults);
}

NavGraphicRepTree::~NavGraphicRepTree() {
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  mCallbacks.clear();
  CloseExtendedPanel(0);
  CloseAnalysisViewer(0);
  if (mAttribut) mAttribut->AfficheColorChooser(0, 0, 0);
  DropClashBag();
  DropSelectionBag();
  if (mIdentifyBag) {
    mIdentifyBag->RemoveAllChildren();
    mIdentifyBag->Destroy();
  }
  delete mIdentifyPath;
  delete mAnalysisSetting;
  // Children (graph, menus, editor) go while this object is whole; the records are ours
  // and go after the graph that shows them.
  KIVNavArbreElement* records = mGraph ? mGraph->GetRoot() : nullptr;
  Retire();
  mGraph = nullptr;
  NavSimpleGraph::DeleteRecords(records);
  delete mMenu;
  SetFather(nullptr);
}

void NavGraphicRepTree::Listen(KIVCommand* sender, KIVNotification* notification) {
  mCallbacks.push_back(
      AddAnalyseNotificationCB(sender, notification, &NavGraphicRepTree::ActiveOptionFromNotifyCB, nullptr));
}

void NavGraphicRepTree::BuildWindow() {
  mGraph = new NavSimpleGraph(this, this, -1, kGraphStyle);
  mGraph->SetTitle(KIVUnicodeString(GraphTitle));
  mGraph->SetGridConstraints(0, 0, 2, 7, kFill | AttachBottom);
  // Everything the graph forwards: selections, context clicks, extensions.
  Listen(mGraph, nullptr);
  KIVGraphViewer* graphViewer = mGraph->GetGraphViewer();
  mMenu = new NavMenuGeneric(this, graphViewer, NavSimpleGraph::ContextMenuName, 0, nullptr, 0);
  mMenu->SetRacineMenu(graphViewer->GetContextualMenu());
  Listen(mMenu, mMenu->GetActionMenuNotification());

  mBottom = Make<KIVDlgFrame>(this, nullptr, 2, 0);
  mAttribut = new NavGraphicAttribut(this, mBottom, mStyle);
  mAttribut->SetGridConstraints(0, 0, 1, 1, kFill);
  Listen(mAttribut, mAttribut->GetModifyAttrNotification());

  mInterference = Make<KIVDlgFrame>(this, InterferenceTitle, 2, 1);
  mDistanceLabel = Make<KIVDlgLabel>(mInterference, DistanceTitle, 0, 0);
  mDistanceLabel->SetSensitivity(SensitivityOff);
  mClashButton = Make<KIVDlgPushButton>(mInterference, ClashButtonTitle, 1, 0);
  mClashButton->SetSensitivity(SensitivityOff);
  mClashCombo = Make<KIVDlgCombo>(mInterference, ClearanceTitle, 2, 0, kComboStyle);
  for (const char* line : ClashKindTitles) mClashCombo->SetLine(KIVUnicodeString(line));
  mClashCombo->SetSelect(0, 0);
  mClearanceSpinner = Make<KIVDlgSpinner>(mInterference, nullptr, 3, 0);
  mClearanceSpinner->SetRange(0.0f, 10000.0f, 10000.0f);
  mClearanceSpinner->SetFormat("%.2f");
  mClearanceSpinner->SetVisibleTextWidth(6);
  mClearanceSpinner->SetSensitivity(SensitivityOff);

  mExtendedButton = Make<KIVDlgCheckButton>(this, ExtendedInfoTitle, 2, 2);
  mAnalysisButton = Make<KIVDlgCheckButton>(this, AnalysisViewerTitle, 2, 3);
  mLockButton = Make<KIVDlgCheckButton>(this, LockDrawTitle, 2, 4);
  mRootCombo = Make<KIVDlgCombo>(this, RootTypeTitle, 2, 5, kComboStyle);
  for (const char* line : RootTypeTitles) mRootCombo->SetLine(KIVUnicodeString(line));
  mRootCombo->SetSelect(1, 0);
  mUpdateButton = Make<KIVDlgPushButton>(this, UpdateTreeTitle, 2, 6);

  Listen(mClashButton, mClashButton->GetPushBActivateNotification());
  Listen(mUpdateButton, mUpdateButton->GetPushBActivateNotification());
  Listen(mClashCombo, mClashCombo->GetCmbSelectNotification());
  Listen(mRootCombo, mRootCombo->GetCmbSelectNotification());
  Listen(mClearanceSpinner, mClearanceSpinner->GetSpinModifyNotification());
  for (KIVDlgCheckButton* button : {mExtendedButton, mAnalysisButton, mLockButton})
    Listen(button, button->GetChkBModifyNotification());
}

int NavGraphicRepTree::GetPaletteStatusHide() const { return GetVisibility() == VisibilityShown ? 0 : 1; }

void NavGraphicRepTree::AffichePanel(int show) {
  if (show == 1 && GetPaletteStatusHide()) {
    SetVisibility(VisibilityShown);
    mShown = 1;
    if (mAnalysisButton->GetState() == StateSet) OpenAnalysisViewer();
    if (mExtendedButton->GetState() == StateSet) OpenExtendedPanel();
    UpdatePalette(1);
  } else if (show == 0 && !GetPaletteStatusHide()) {
    mAnalysisButton->SetState(StateCleared, 0);
    mExtendedButton->SetState(StateCleared, 0);
    CloseAnalysisViewer(1);
    CloseExtendedPanel(1);
    if (mAttribut) mAttribut->AfficheColorChooser(0, 0, 0);
    mGraph->SetSettingButtonState(0);
    SetVisibility(VisibilityHidden);
    mShown = 0;
    if (NavViewerExtand* viewer = mViewerLife.expired() ? nullptr : mViewer)
      SendNotification(viewer, GetWindCloseNotification());
    if (mStyle & kStyleDestroyOnClose) RequestDelayedDestruction();
  }
}

void NavGraphicRepTree::GetCurrentSetting(NavGraphicRepTreeSetting& setting) {
  mGraph->GetCurrentSetting(mSetting.graph);
  if (mAnalysis) {
    if (!mAnalysisSetting) mAnalysisSetting = new NavSimpleViewer3DSetting;
    mAnalysis->GetCurrentSetting(*mAnalysisSetting);
  }
  if (mAnalysisSetting) {
    if (mSetting.analysisViewer)
      *mSetting.analysisViewer = *mAnalysisSetting;
    else
      mSetting.analysisViewer = new NavSimpleViewer3DSetting(*mAnalysisSetting);
  }
  setting = mSetting;
}

void NavGraphicRepTree::SetCurrentSetting(const NavGraphicRepTreeSetting& setting) {
  mSetting = setting;
  mGraph->SetCurrentSetting(mSetting.graph);
  if (mSetting.rootType >= 0 && mSetting.rootType < 5 && mSetting.rootType != mRootCombo->GetSelect()) {
    mRootCombo->SetSelect(mSetting.rootType, 0);
    UpdatePalette(1);
  }
  if (mSetting.clearance != -1.0f) mClearanceSpinner->SetCurrentValue(mSetting.clearance, 0);
  if (mSetting.analysisViewer) {
    if (mAnalysisSetting)
      *mAnalysisSetting = *mSetting.analysisViewer;
    else
      mAnalysisSetting = new NavSimpleViewer3DSetting(*mSetting.analysisViewer);
    if (mAnalysis) mAnalysis->SetCurrentSetting(*mAnalysisSetting);
  }
}

void NavGraphicRepTree::ActiveOptionFromNotifyCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!notification) return;
  const bool shown = !GetPaletteStatusHide();
  if (sender == mGraph) {
    if (notification->IsAKindOf(KIVNodeContextNotification::ClassName())) {
      if (!shown) return;
      mCurrent = mGraph->GetContextNode();
      if (mCurrent && !(mCurrent->state & KIVNavArbreElement::StateMarker)) UpdateContextMenu(0);
      return;
    }
    if (notification->IsAKindOf(KIVGraphContextNotification::ClassName())) {
      if (!shown) return;
      mCurrent = nullptr;
      UpdateContextMenu(-1);
      return;
    }
    if (notification->IsAKindOf(KIVNodeSelectNotification::ClassName()) ||
        notification->IsAKindOf(KIVNodeExtSelectNotification::ClassName())) {
      // A node picked again after a context click brings every node that shows its rep.
      const int n = mGraph->getSelectionNumber();
      KIVNavArbreElement** selection = mGraph->getSelection();
      for (int i = 0; i < n && mCurrent; ++i)
        if (selection[i] == mCurrent) {
          SelectAllInstance(mCurrent);
          break;
        }
      UpdateSelection(1);
      return;
    }
    if (notification->IsAKindOf(NavExtendTreeNotification::ClassName())) {
      UpdateSelection(1);
      UpdateColor(mRoot);
      return;
    }
    if (notification->IsAKindOf(KIVDlgDiaAPPLYNotification::ClassName())) mGraph->GetCurrentSetting(mSetting.graph);
    return;
  }
  if (sender == mMenu && notification == mMenu->GetActionMenuNotification()) {
    ActiveMenuOption(mMenu->GetLastOptionChoose());
    return;
  }
  if (sender == mClashCombo) {
    mClearanceSpinner->SetSensitivity(mClashCombo->GetSelect() == 1 ? SensitivityOn : SensitivityOff);
    return;
  }
  if (sender == mUpdateButton) {
    UpdatePalette(1);
    return;
  }
  if (sender == mRootCombo) {
    if (mRootCombo->GetSelect() != mSetting.rootType) {
      mSetting.rootType = mRootCombo->GetSelect();
      UpdatePalette(1);
    }
    return;
  }
  if (sender == mClearanceSpinner) {
    mSetting.clearance = mClearanceSpinner->GetCurrentValue();
    return;
  }
  if (sender == mClashButton) {
    ComputeClash();
    return;
  }
  if (mAttribut && sender == mAttribut) {
    int action = 0, value = 0;
    mAttribut->GetLastAction(action, value);
    ModifyAttribute(action, value);
    NavViewerExtand::UpdateAllViewer();
    return;
  }
  if (sender == mLockButton) {
    // A debugging aid only: without the variable the button does nothing.
    if (!std::getenv(DebugVariable)) return;
    NavViewerExtand::SetLockUpdateAllViewer(mLockButton->GetState() == StateSet ? 1 : 0);
    NavViewerExtand::UpdateAllViewer();
    return;
  }
  if (sender == mAnalysisButton) {
    if (mAnalysisButton->GetState() == StateSet) {
      if (!mAnalysis) OpenAnalysisViewer();
    } else {
      CloseAnalysisViewer(0);
    }
    return;
  }
  if (mAnalysis && sender == mAnalysis && notification == mAnalysis->GetWindCloseNotification()) {
    CloseAnalysisViewer(1);
    mAnalysisButton->SetState(StateCleared, 0);
    return;
  }
  if (sender == mExtendedButton) {
    if (mExtendedButton->GetState() == StateSet) {
      if (!mExtended) OpenExtendedPanel();
    } else {
      CloseExtendedPanel(0);
    }
    return;
  }
  if (mExtended && sender == mExtended && notification == mExtended->GetWindCloseNotification()) {
    CloseExtendedPanel(1);
    mExtendedButton->SetState(StateCleared, 0);
    return;
  }
  if (sender == this && notification == GetWindCloseNotification()) AffichePanel(0);
}
