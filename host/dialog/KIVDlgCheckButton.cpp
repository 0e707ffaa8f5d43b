#include "host/dialog/KIVDlgCheckButton.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgCheckButton, KIVDialog)

void KIVDlgCheckButton::SetState(int state, int notify) {
  if ((state != 0x40000 && state != 0x80000) || state == mState) return;
  mState = state;
  if (notify) SendNotification(GetFather(), &mModify);
}

int KIVDlgCheckButton::UserSetState(int state) {
  if (!AcceptsUserInput() || (state != 0x40000 && state != 0x80000) || state == mState) return 0;
  SetState(state, 1);
  return 1;
}
