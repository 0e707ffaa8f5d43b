#include "apps/navview/NavviewViewerMenu.h"

#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/dialog/KIVDlgSeparatorItem.h"
#include "host/dialog/KIVDlgSubMenu.h"
#include "primitives/KIVSiLaGridRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
enum { kPush = 0, kCheck = 1, kRadio = 2 };
}

NavviewViewerMenu::NavviewViewerMenu(NavViewerExtand& viewer, Runner run) : mViewer(viewer), mRun(std::move(run)) {
  AddCallback(&viewer, KIVViewer::VIEWER_CONTEXT_MENU,
              KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) { Build(); }), nullptr);
}

NavviewViewerMenu::~NavviewViewerMenu() {
  Forget();
  RemoveSubscriberCallbacks(&mViewer);
}

void NavviewViewerMenu::Forget() {
  KIVDlgContextualMenu* menu = mViewer.GetContextualMenu();
  for (long id : mCallbacks) menu->RemoveAnalyseNotificationCB(id);
  mCallbacks.clear();
}

void NavviewViewerMenu::Item(KIVDlgContextualMenu* menu, KIVDialog* parent, const char* tag, const char* title, int kind,
                             int checked, std::string command) {
  KIVDialog* item = nullptr;
  KIVNotification* notification = nullptr;
  if (kind == kCheck) {
    auto* check = new KIVDlgCheckItem(parent, tag);
    check->SetState(checked ? KIVDialog::StateSet : KIVDialog::StateCleared, 0);
    item = check;
    notification = check->GetChkIModifyNotification();
  } else if (kind == kRadio) {
    auto* radio = new KIVDlgRadioItem(parent, tag);
    radio->SetState(checked ? KIVDialog::StateSet : KIVDialog::StateCleared, 0);
    item = radio;
    notification = radio->GetRadIModifyNotification();
  } else {
    auto* push = new KIVDlgPushItem(parent, tag);
    item = push;
    notification = push->GetMenuIActivateNotification();
  }
  item->SetTitle(KIVUnicodeString(title));
  // The menu is the items' ancestor, so their notifications pass through it. A tool may
  // have deleted the item since (and a new one may sit at its address): only the live
  // item's own choice counts. A check item says on or off by its new state.
  const std::weak_ptr<int> life = item->GetLifeToken();
  mCallbacks.push_back(menu->AddAnalyseNotificationCB(
      item, notification, nullptr,
      [this, life, item, kind, command](KIVCommand*, KIVNotification*, void*) {
        if (life.expired()) return;
        if (kind == kPush) return mRun(command);
        if (kind == kRadio) {  // the one cleared by the choice of another says nothing
          if (static_cast<KIVDlgRadioItem*>(item)->GetState() == KIVDialog::StateSet) mRun(command);
          return;
        }
        const bool on = static_cast<KIVDlgCheckItem*>(item)->GetState() == KIVDialog::StateSet;
        mRun(command + (on ? " on" : " off"));
      },
      nullptr));
}

void NavviewViewerMenu::Build() {
  KIVDlgContextualMenu* menu = mViewer.GetContextualMenu();
  Forget();
  // Whatever a tool left there last time (an annotation's rows) goes first.
  const std::vector<KIVDialog*> old = menu->GetDialogChildren();  // a copy: each delete leaves it
  for (KIVDialog* item : old) delete item;
  menu->SetTitle(KIVUnicodeString("View"));
  Item(menu, menu, "ViewReframe", "Reframe", kPush, 0, "reframe");
  Item(menu, menu, "ViewMove", "Move", kPush, 0, "move");
  auto* views = new KIVDlgSubMenu(menu, "ViewStandard");
  views->SetTitle(KIVUnicodeString("Standard views"));
  for (const char* side : {"front", "back", "left", "right", "top", "bottom", "iso"}) {
    std::string title(side);
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
    Item(menu, views, ("View" + title).c_str(), title.c_str(), kPush, 0, std::string("view ") + side);
  }
  new KIVDlgSeparatorItem(menu, "ViewSeparator1");
  const int style = mViewer.SetNavigationStyle(-1);
  Item(menu, menu, "ViewExamine", "Examine", kRadio, style == 7, "style examine");
  Item(menu, menu, "ViewWalk", "Walk", kRadio, style == 8, "style walk");
  Item(menu, menu, "ViewFly", "Fly", kRadio, style == 9, "style fly");
  new KIVDlgSeparatorItem(menu, "ViewSeparator2");
  const int ground = mViewer.SetGroundState(-1), axis = mViewer.SetAxisState(-1), gauge = mViewer.SetPerfoState(-1);
  Item(menu, menu, "ViewGround", "Ground", kCheck, ground == 1, "state ground");
  Item(menu, menu, "ViewAxis", "Axis", kCheck, axis == 1, "state axis");
  Item(menu, menu, "ViewGauge", "Performance gauge", kCheck, gauge == 1, "state perfo");
  // The measuring grid is on while its rep is among the annotations.
  bool grid = false;
  if (const KIVRep* notes = mViewer.GetRootRep(NavViewerExtand::kAnnotationRoot))
    for (const KIVRep* child : notes->GetChildren()) grid = grid || child->IsAKindOf(KIVSiLaGridRep::ClassName());
  Item(menu, menu, "ViewGrid", "Grid", kCheck, grid, "grid");
}
