// NavSimpleGraph: the layout settings, their dialog and the extra frames listeners add.
#include <algorithm>
#include <cstdio>
#include <new>

#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/graph/KIVGraphViewer.h"

namespace {

// Appends to an array of frames grown by doubling; returns the new count.
int AppendFrame(KIVDlgFrame**& frames, int& count, int& capacity, KIVDlgFrame* frame) {
  if (!frame) return count;
  if (count >= capacity) {
    const int grown = capacity > 0 ? 2 * capacity : 2;
    auto** bigger = new (std::nothrow) KIVDlgFrame*[grown];
    if (!bigger) {
      std::fprintf(stderr, "ERROR: NavSimpleGraph - Enable to allocate list\n");
      return count;
    }
    std::copy(frames, frames + count, bigger);
    delete[] frames;
    frames = bigger;
    capacity = grown;
  }
  frames[count++] = frame;
  return count;
}

KIVDlgSpinner* Spinner(KIVDialog* parent, const char* title, float max) {
  auto* s = new KIVDlgSpinner(parent, NavSimpleGraph::SettingDialogTag, 0);
  s->SetTitle(title);
  s->SetRange(0, max, max);
  s->SetFormat("%.0f");
  s->SetVisibleTextWidth(3);
  return s;
}

KIVDlgCheckButton* Check(KIVDialog* parent, const char* title) {
  auto* c = new KIVDlgCheckButton(parent, NavSimpleGraph::SettingDialogTag, 0);
  c->SetTitle(title);
  return c;
}

}  // namespace

int NavSimpleGraph::AddSettingFrame(KIVDlgFrame* frame) {
  return AppendFrame(mSettingFrames, mSettingFrameCount, mSettingFrameCapacity, frame);
}

int NavSimpleGraph::AddIconeFrame(KIVDlgFrame* frame) {
  return AppendFrame(mIconFrames, mIconFrameCount, mIconFrameCapacity, frame);
}

void NavSimpleGraph::SetSettingButtonState(int state) {
  if (mSettingButton) mSettingButton->SetState(state, 0);
}

void NavSimpleGraph::BuildDialog() {
  const char* tag = SettingDialogTag;
  mDialog = new KIVDlgDialog(this, tag, 0x42800);
  mDialog->SetCancelTitle("Close");
  mDialog->SetDefaultButton(0);
  AddAnalyseNotificationCB(mDialog, mDialog->GetDiaAPPLYNotification(), &NavSimpleGraph::ActionGraphCB, nullptr);
  AddAnalyseNotificationCB(mDialog, mDialog->GetDiaCANCELNotification(), &NavSimpleGraph::ActionGraphCB, nullptr);
  AddAnalyseNotificationCB(mDialog, mDialog->GetWindCloseNotification(), &NavSimpleGraph::ActionGraphCB, nullptr);

  auto* style = new KIVDlgFrame(mDialog, tag, 0);
  style->SetTitle("Tree style");
  style->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight);
  mTreeCombo = new KIVDlgCombo(style, tag, 0);
  mTreeCombo->SetLine("Horizontal tree");
  mTreeCombo->SetLine("Vertical tree");
  mTreeCombo->SetGridConstraints(0, 0);
  mAlignCombo = new KIVDlgCombo(style, tag, 0);
  for (const char* title : mAlignTitles) mAlignCombo->SetLine(title);
  mAlignCombo->SetGridConstraints(0, 1);

  auto* marge = new KIVDlgFrame(mDialog, tag, 0);
  marge->SetTitle("Tree marge");
  marge->SetGridConstraints(1, 0, 1, 1, AttachLeft | AttachRight);
  mDepthSpinner = Spinner(marge, "Depth Margin", 40);
  mDepthSpinner->SetGridConstraints(0, 0);
  mWidthSpinner = Spinner(marge, "Width Margin", 20);
  mWidthSpinner->SetGridConstraints(0, 1);

  mGravityCheck = Check(mDialog, "Reversed gravity");
  mGravityCheck->SetGridConstraints(2, 0, 1, 1, AttachLeft);
  mSquareCheck = Check(mDialog, "Square Arcs");
  mSquareCheck->SetGridConstraints(3, 0, 1, 1, AttachLeft);
  mPackedCheck = Check(mDialog, "Packed tree");
  mPackedCheck->SetGridConstraints(4, 0, 1, 1, AttachLeft);

  auto* extend = new KIVDlgFrame(mDialog, tag, 0);
  extend->SetTitle("Extend level");
  extend->SetGridConstraints(5, 0, 1, 1, AttachLeft | AttachRight);
  auto* label = new KIVDlgLabel(extend, tag, 0);
  label->SetTitle("Tree extension : ");
  label->SetGridConstraints(0, 0);
  mExtendCombo = new KIVDlgCombo(extend, tag, 0);
  for (const char* title : {"All levels", "1 level", "2 levels", "3 levels"}) mExtendCombo->SetLine(title);
  mExtendCombo->SetGridConstraints(0, 1);

  AddAnalyseNotificationCB(mTreeCombo, mTreeCombo->GetCmbSelectNotification(), &NavSimpleGraph::ActionGraphCB,
                           nullptr);
  AddAnalyseNotificationCB(mAlignCombo, mAlignCombo->GetCmbSelectNotification(), &NavSimpleGraph::ActionGraphCB,
                           nullptr);
}

void NavSimpleGraph::AfficheSetting(int show, int fromClose) {
  if (!show) {
    SetSettingButtonState(StateCleared);
    if (mDialog && !fromClose) mDialog->SetVisibility(VisibilityHidden);
    return;
  }
  if (!mDialog) BuildDialog();
  // Listeners may add their frames (AddSettingFrame) under GetSettingDialog() now.
  if (mStyle & StyleEditEvent) GetCallbackManager()->DispatchCallbacks(EDIT_GRAPH_SETTING(), nullptr, this);
  if (!mDialog) return;  // a listener took the dialog away
  mDialog->SetTitle(mSettingFrameCount <= 1 ? "Tree Settings" : "Settings");
  UpdatePaletteSetting();
  SetSettingButtonState(StateSet);
  mDialog->SetVisibility(VisibilityShown);
}

void NavSimpleGraph::FillAlignmentCombo(int vertical) {
  if (!mAlignCombo) return;
  if (vertical && mAlignCombo->GetLineCount() == 3) {
    if (mAlignCombo->GetSelect() == 2) mAlignCombo->SetSelect(0, 0);
    mAlignCombo->RemoveLine(2);
  } else if (!vertical && mAlignCombo->GetLineCount() == 2) {
    mAlignCombo->SetLine(mAlignTitles[2]);
  }
}

void NavSimpleGraph::UpdatePaletteSetting() {
  if (!mDialog || mApplying) return;
  const int s = mSetting.layoutStyle;
  const int vertical = s >= 0 && (s & LayoutVertical) ? 1 : 0;
  mTreeCombo->SetSelect(vertical, 0);
  FillAlignmentCombo(vertical);
  if (s >= 0) {
    const int line = (s & LayoutCentered) ? 1 : (s & LayoutAligned) ? 0 : (s & LayoutIndented) ? 2 : 1;
    mAlignCombo->SetSelect(line < mAlignCombo->GetLineCount() ? line : 0, 0);
    mGravityCheck->SetState(s & LayoutReversed ? StateSet : StateCleared, 0);
    mSquareCheck->SetState(s & LayoutSquareArcs ? StateSet : StateCleared, 0);
    mPackedCheck->SetState(s & LayoutPacked ? StateSet : StateCleared, 0);
  }
  mSquareCheck->SetSensitivity(mAlignCombo->GetSelect() == 1 ? SensitivityOn : SensitivityOff);
  if (mSetting.depthMargin >= 0) mDepthSpinner->SetCurrentValue(static_cast<float>(mSetting.depthMargin), 0);
  if (mSetting.widthMargin >= 0) mWidthSpinner->SetCurrentValue(static_cast<float>(mSetting.widthMargin), 0);
  mExtendCombo->SetSelect(mSetting.extensionLevel >= 0 ? std::min(mSetting.extensionLevel, 3) : 0, 0);
}

void NavSimpleGraph::DialogCB(KIVCommand* sender, KIVNotification* notification) {
  if (sender == mTreeCombo) {
    FillAlignmentCombo(mTreeCombo->GetSelect() == 1);
    mSquareCheck->SetSensitivity(mAlignCombo->GetSelect() == 1 ? SensitivityOn : SensitivityOff);
    return;
  }
  if (sender == mAlignCombo) {
    mSquareCheck->SetSensitivity(mAlignCombo->GetSelect() == 1 ? SensitivityOn : SensitivityOff);
    return;
  }
  if (sender != mDialog) return;
  if (notification == mDialog->GetDiaAPPLYNotification()) {
    NavSimpleGraphSetting s;
    int style = mTreeCombo->GetSelect() == 1 ? LayoutVertical : 0;
    const int align = mAlignCombo->GetSelect();
    style |= align == 0 ? LayoutAligned : align == 2 ? LayoutIndented : LayoutCentered;
    if (mGravityCheck->GetState() == StateSet) style |= LayoutReversed;
    if (mSquareCheck->GetState() == StateSet) style |= LayoutSquareArcs;
    if (mPackedCheck->GetState() == StateSet) style |= LayoutPacked;
    s.layoutStyle = style;
    s.depthMargin = static_cast<int>(mDepthSpinner->GetCurrentValue());
    s.widthMargin = static_cast<int>(mWidthSpinner->GetCurrentValue());
    const int line = mExtendCombo->GetSelect();
    s.extensionLevel = line <= 0 ? -2 : line;
    ++mApplying;
    SetCurrentSetting(s);
    --mApplying;
    Send(notification);
  } else if (notification == mDialog->GetDiaCANCELNotification()) {
    AfficheSetting(0, 0);
  } else if (notification == mDialog->GetWindCloseNotification()) {
    AfficheSetting(0, 1);
  }
}

void NavSimpleGraph::SetCurrentSetting(const NavSimpleGraphSetting& s) {
  bool relayout = false;
  KIVGraph* graph = mViewer->getGraph();
  if (s.layoutStyle != -1 && s.layoutStyle != mSetting.layoutStyle) {
    const int w = s.layoutStyle;
    const bool vertical = (w & LayoutVertical) != 0;
    if (w & LayoutCentered) graph->setLayout(vertical ? KIVGraph::VerticalCentered : KIVGraph::HorizontalCentered);
    else if (w & LayoutAligned) graph->setLayout(vertical ? KIVGraph::VerticalRight : KIVGraph::HorizontalBottom);
    else if ((w & LayoutIndented) && !vertical) graph->setLayout(KIVGraph::HorizontalIndented);
    graph->setGravity(w & LayoutReversed ? 1 : 0);
    graph->setSquareArcs(w & LayoutSquareArcs ? 1 : 0);
    graph->setPacked(w & LayoutPacked ? 1 : 0);
    mSetting.layoutStyle = w;
    relayout = true;
  }
  if (s.depthMargin != -1 && s.depthMargin != mSetting.depthMargin) {
    mSetting.depthMargin = std::clamp(s.depthMargin, 0, 40);
    graph->setDepthMargin(mSetting.depthMargin);
    relayout = true;
  }
  if (s.widthMargin != -1 && s.widthMargin != mSetting.widthMargin) {
    mSetting.widthMargin = std::clamp(s.widthMargin, 0, 40);
    graph->setWidthMargin(mSetting.widthMargin);
    relayout = true;
  }
  if (s.extensionLevel != -1 && s.extensionLevel != mSetting.extensionLevel) mSetting.extensionLevel = s.extensionLevel;
  if (mDialog) UpdatePaletteSetting();
  if (relayout) UpdateGraph(0, nullptr, 1, 1);
}
