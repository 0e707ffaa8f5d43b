#include "host/dialog/KIVDlgRadioButton.h"

#include <vector>

KIV_IMPLEMENT_METAOBJECT(KIVDlgRadioButton, KIVDialog)

void KIVDlgRadioButton::SetState(int state, int notify) {
  if ((state != 0x40000 && state != 0x80000) || state == mState) return;
  if (state == 0x40000 && GetDialogParent()) {
    // Copy: a notified callback may add or remove buttons of the frame.
    const std::vector<KIVDialog*> siblings = GetDialogParent()->GetDialogChildren();
    std::weak_ptr<int> life = GetLifeToken();
    for (KIVDialog* s : siblings) {
      auto* radio = dynamic_cast<KIVDlgRadioButton*>(s);
      if (radio && radio != this && radio->mState == 0x40000) radio->SetState(0x80000, notify);
      if (life.expired()) return;
    }
  }
  mState = state;
  if (notify) SendNotification(GetFather(), &mModify);
}

int KIVDlgRadioButton::UserSetState(int state) {
  if (!AcceptsUserInput() || state != 0x40000 || mState == 0x40000) return 0;
  SetState(state, 1);
  return 1;
}
