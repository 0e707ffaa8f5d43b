#include "host/dialog/KIVDlgCheckItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgCheckItem, KIVDialog)

void KIVDlgCheckItem::SetState(int state, int notify) {
  if ((state != 0x40000 && state != 0x80000) || state == mState) return;
  mState = state;
  if (notify) SendNotification(GetFather(), &mModify);
}

int KIVDlgCheckItem::UserSetState(int state) {
  if (!AcceptsUserInput() || (state != 0x40000 && state != 0x80000) || state == mState) return 0;
  SetState(state, 1);
  return 1;
}
