#include "host/visu/panels/KIVEditPanelPopup.h"

KIV_IMPLEMENT_METAOBJECT(KIVEditPanelPopup, KIVDlgDialog)

const char* const KIVEditPanelPopup::EDIT_PANEL_POPUP_DESTROYED = "EDIT_PANEL_POPUP_DESTROYED";

KIVEditPanelPopup::KIVEditPanelPopup(KIVDialog* parent, const char* tag) : KIVDlgDialog(parent, tag) {
  // The window's buttons notify the father only: the relay lets the popup act first.
  mRelay = std::make_unique<KIVCommand>(GetFather(), "PopupRelay");
  SetFather(mRelay.get());
  auto button = [this](KIVCommand*, KIVNotification* n, void*) { ButtonCB(n); };
  mRelay->AddAnalyseNotificationCB(this, GetWindCloseNotification(), nullptr, button, nullptr);
  mRelay->AddAnalyseNotificationCB(this, GetDiaOKNotification(), nullptr, button, nullptr);
  mRelay->AddAnalyseNotificationCB(this, GetDiaCANCELNotification(), nullptr, button, nullptr);
}

KIVEditPanelPopup::~KIVEditPanelPopup() {
  Retire();
  if (GetFather() == mRelay.get()) SetFather(mRelay->GetFather());
}

KIVDialog* KIVEditPanelPopup::GetPanel() const {
  return GetDialogChildren().empty() ? nullptr : GetDialogChildren().front();
}

void KIVEditPanelPopup::ButtonCB(KIVNotification* notification) {
  const std::weak_ptr<int> life = GetLifeToken();
  if (notification == GetDiaCANCELNotification() && mCancelAction) {
    const std::function<void()> action = mCancelAction;  // the action may replace itself
    action();
    if (life.expired()) return;
  }
  if (!mClosed) {
    mClosed = 1;
    GetCallbackManager()->DispatchCallbacks(EDIT_PANEL_POPUP_DESTROYED, nullptr, this);
    if (life.expired()) return;
  }
  SendNotification(mRelay->GetFather(), notification);
}
