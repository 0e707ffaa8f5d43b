#include "primitives/KIVSiLaGrid.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/interact/KIVActivateNotification.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMoveNotification.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "primitives/KIVSiLaGridRep.h"

KIV_IMPLEMENT_METAOBJECT(KIVSiLaGrid, KIVCommand)

const char* KIVSiLaGrid::GRID_GRAPHIC_CHANGED() { return KIVSiLaGridGRID_GRAPHIC_CHANGEDEvt::ClassName(); }

namespace {
constexpr const char* kMenuTags[5] = {"Gridstyle", "Gridsteps", "Gridcoord", "Gridcoordmode", "Gridclean"};
}  // namespace

KIVSiLaGrid::KIVSiLaGrid(KIVDialog* parent, float size1, float size2, float step1, float step2)
    : KIVCommand(parent, "KIVSiLaGrid"), mParent(parent) {
  if (std::fabs(step1) < 0.0001f) step1 = 100.0f;
  if (std::fabs(step2) < 0.0001f) step2 = 100.0f;
  mRep = new KIVSiLaGridRep(step1, step2, size1, size2);
  mManipulator = new KIVManipulator(this, "ManipGrid", mRep);
  mContextCallback =
      AddAnalyseNotificationCB(mManipulator, KIVManipulator::GetKIVContext(), &KIVSiLaGrid::CallContextCB, nullptr);
}

KIVSiLaGrid::~KIVSiLaGrid() {
  RemoveAnalyseNotificationCB(mContextCallback);
  Drop(mMenuCallbacks);
  ActivateFurtiveCoord(0);
  ActivePanelGridSteps(0);
  delete mManipulator;
  mRep->Destroy();
}

void KIVSiLaGrid::Listen(std::vector<Held>& into, KIVCommand* holder, KIVCommand* sender,
                         KIVNotification* notification,
                         void (KIVSiLaGrid::*method)(KIVCommand*, KIVNotification*, void*)) {
  const std::weak_ptr<int> life = GetLifeToken();
  const KIVCallback id = holder->AddAnalyseNotificationCB(
      sender, notification, nullptr,
      [this, life, method](KIVCommand* s, KIVNotification* n, void* d) {
        if (!life.expired()) (this->*method)(s, n, d);
      },
      nullptr);
  into.push_back({holder->GetLifeToken(), holder, id});
}

void KIVSiLaGrid::Drop(std::vector<Held>& held) {
  for (const Held& h : held)
    if (!h.life.expired()) h.holder->RemoveAnalyseNotificationCB(h.id);
  held.clear();
}

void KIVSiLaGrid::Changed() { GetCallbackManager()->DispatchCallbacks(GRID_GRAPHIC_CHANGED(), nullptr, this); }

void KIVSiLaGrid::CallContextCB(KIVCommand*, KIVNotification* notification, void*) {
  auto* context = dynamic_cast<KIVContextNotification*>(notification);
  if (context && context->GetContextualMenu()) Fill(context->GetContextualMenu());
}

// The grid's five items, made again at each right click on the grid: the items of an
// earlier click go first (the host may have cleared the menu since; they are looked up
// by tag, never by a pointer kept).
void KIVSiLaGrid::Fill(KIVDlgContextualMenu* menu) {
  Drop(mMenuCallbacks);
  for (const char* tag : kMenuTags)
    if (KIVDialog* old = menu->LookupChild(tag, 0)) delete old;
  auto push = [&](const char* tag, const char* title) {
    auto* item = new KIVDlgPushItem(menu, tag);
    item->SetTitle(KIVUnicodeString(title));
    Listen(mMenuCallbacks, menu, item, item->GetMenuIActivateNotification(), &KIVSiLaGrid::ActionGridCB);
  };
  auto check = [&](const char* tag, const char* title, int on) {
    auto* item = new KIVDlgCheckItem(menu, tag);
    item->SetTitle(KIVUnicodeString(title));
    item->SetState(on ? KIVDialog::StateSet : KIVDialog::StateCleared, 0);
    Listen(mMenuCallbacks, menu, item, item->GetChkIModifyNotification(), &KIVSiLaGrid::ActionGridCB);
  };
  push(kMenuTags[0], mStyle == 1 ? "Lines Style" : "Crosses Style");
  check(kMenuTags[1], "Steps", mSteps != nullptr);
  check(kMenuTags[2], "Coordinates", mCoordinates);
  push(kMenuTags[3], mCoordMode == 1 ? "Absolute" : "Relative");
  push(kMenuTags[4], "Clean");
}

void KIVSiLaGrid::ActionGridCB(KIVCommand* sender, KIVNotification*, void*) {
  auto* item = dynamic_cast<KIVDialog*>(sender);
  if (!item) return;
  const std::string tag = item->GetTag().CastToCharPtr();
  if (tag == kMenuTags[0]) {
    mStyle = mStyle == 1 ? 0 : 1;
    mRep->SetStyle(mStyle);
    Changed();
  } else if (tag == kMenuTags[1]) {
    ActivePanelGridSteps(static_cast<KIVDlgCheckItem*>(item)->GetState() == KIVDialog::StateSet);
  } else if (tag == kMenuTags[2]) {
    ActivateFurtiveCoord(static_cast<KIVDlgCheckItem*>(item)->GetState() == KIVDialog::StateSet);
  } else if (tag == kMenuTags[3]) {
    mCoordMode = mCoordMode == 1 ? 0 : 1;
    mRep->SetCoordMode(mCoordMode);
    Changed();
  } else if (tag == kMenuTags[4]) {
    mRep->CleanCoordinates();
    Changed();
  }
}

void KIVSiLaGrid::ActivateFurtiveCoord(int on) {
  on = on ? 1 : 0;
  if (on == mCoordinates) return;
  mCoordinates = on;
  if (on) {
    mCoordCallbacks.push_back(
        AddAnalyseNotificationCB(mManipulator, KIVManipulator::GetKIVMove(), &KIVSiLaGrid::ActivateCoordsCB, nullptr));
    mCoordCallbacks.push_back(AddAnalyseNotificationCB(mManipulator, KIVManipulator::GetKIVActivate(),
                                                       &KIVSiLaGrid::ActivateCoordsCB, nullptr));
  } else {
    for (KIVCallback id : mCoordCallbacks) RemoveAnalyseNotificationCB(id);
    mCoordCallbacks.clear();
    mRep->EndFurtivesCoordinates();
  }
}

void KIVSiLaGrid::ActivateCoordsCB(KIVCommand*, KIVNotification* notification, void*) {
  KIVViewerEvent* event = nullptr;
  bool move = false;
  if (auto* m = dynamic_cast<KIVMoveNotification*>(notification)) event = m->GetViewerEvent(), move = true;
  if (auto* a = dynamic_cast<KIVActivateNotification*>(notification)) event = a->GetViewerEvent();
  if (!event || !event->GetPickPath()) return;  // a pick that missed the grid
  const KIVMathPointf p = event->GetPickPath()->GetGlobalIntersection();
  if (move)
    mRep->SetFurtivesCoordinates(p);
  else
    mRep->SetCoordinates(p);
  Changed();
}

void KIVSiLaGrid::SetSpinner(KIVDlgSpinner* spinner, float value) {
  spinner->SetCurrentValue(value, 0);
}

void KIVSiLaGrid::ActivePanelGridSteps(int on) {
  if (on && !mSteps) {
    float step1 = 0, step2 = 0, size1 = 0, size2 = 0;
    mRep->GetStepsGrid(&step1, &step2);
    mRep->GetSizeGrid(&size1, &size2);
    mSteps = new KIVDlgDialog(mParent, "gridsteps");
    mSteps->SetTitle(KIVUnicodeString("Grid Steps"));
    auto* frame = new KIVDlgFrame(mSteps, "gridframe");
    auto* labelY = new KIVDlgLabel(frame, "labelY");
    labelY->SetTitle(KIVUnicodeString("Step y:"));
    labelY->SetGridConstraints(0, 0);
    mStepY = new KIVDlgSpinner(frame, "stepY");
    mStepY->SetGridConstraints(0, 1);
    auto* labelZ = new KIVDlgLabel(frame, "labelZ");
    labelZ->SetTitle(KIVUnicodeString("Step z:"));
    labelZ->SetGridConstraints(1, 0);
    mStepZ = new KIVDlgSpinner(frame, "stepZ");
    mStepZ->SetGridConstraints(1, 1);
    const float low = size1 / 100.0f + 1.0f;
    mStepY->SetRange(low, size1 * 0.5f, size1 * 0.5f - low);
    mStepZ->SetRange(low, size2 * 0.5f, size2 * 0.5f - low);
    for (KIVDlgSpinner* s : {mStepY, mStepZ}) s->SetFormat("%4.1f");
    SetSpinner(mStepY, step1);
    SetSpinner(mStepZ, step2);
    auto* reset = new KIVDlgPushButton(frame, "Default");
    reset->SetTitle(KIVUnicodeString("Default"));
    reset->SetGridConstraints(2, 0, 1, 2);
    auto listen = [this](KIVCommand* sender, KIVNotification* n) {
      Listen(mPanelCallbacks, mSteps, sender, n, &KIVSiLaGrid::ActionGridPanelCB);
    };
    listen(mStepY, mStepY->GetSpinModifyNotification());
    listen(mStepZ, mStepZ->GetSpinModifyNotification());
    listen(reset, reset->GetPushBActivateNotification());
    // A window tells its father that it closes: without a dialog parent, the grid is it.
    if (!mParent) mSteps->SetFather(this);
    Listen(mPanelCallbacks, mSteps->GetFather(), mSteps, mSteps->GetWindCloseNotification(),
           &KIVSiLaGrid::ActionGridPanelCB);
    mSteps->SetVisibility(KIVDialog::VisibilityShown);
  } else if (!on && mSteps) {
    KIVDlgDialog* window = mSteps;
    mSteps = nullptr;
    mStepY = mStepZ = nullptr;
    Drop(mPanelCallbacks);
    delete window;
  }
}

void KIVSiLaGrid::ActionGridPanelCB(KIVCommand* sender, KIVNotification*, void*) {
  if (!mSteps || mClosing) return;
  if (sender == mSteps) {
    mClosing = 1;
    ActivePanelGridSteps(0);
    mClosing = 0;
    return;
  }
  auto* dialog = dynamic_cast<KIVDialog*>(sender);
  if (dialog && std::string(dialog->GetTag().CastToCharPtr()) == "Default") {
    SetSpinner(mStepY, 100.0f);
    SetSpinner(mStepZ, 100.0f);
    mRep->SetStepsGrid(100.0f, 100.0f);
    Changed();
    return;
  }
  auto* spinner = dynamic_cast<KIVDlgSpinner*>(sender);
  if (!spinner) return;
  // The arrows double and halve the step the grid has, so that a few clicks span the
  // orders of magnitude; a typed value is taken as it is.
  float step1 = 0.0f, step2 = 0.0f;
  mRep->GetStepsGrid(&step1, &step2);
  float value = spinner->GetCurrentValue();
  const float before = spinner == mStepY ? step1 : step2;
  if (spinner->GetSpinDirection() > 0) value = 2.0f * before;
  if (spinner->GetSpinDirection() < 0) value = before > 1.0f ? 0.5f * before : before;
  SetSpinner(spinner, value);
  const float y = mStepY->GetCurrentValue(), z = mStepZ->GetCurrentValue();
  if (y > 0.0001f && z > 0.0001f && mRep->SetStepsGrid(y, z)) Changed();
}
