#include "host/dialog/KIVDlgCheckButton.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgCheckButton, KIVDlgControl)

KIVDlgCheckButton::KIVDlgCheckButton(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgCheckButton::~KIVDlgCheckButton() { Retire(); }

int KIVDlgCheckButton::SetState(int state, int notify) { return ChangeState(mState, state, notify, &mModify, 0); }

int KIVDlgCheckButton::UserSetState(int state) {
  if (!IsUsable()) return 0;
  return ChangeState(mState, state, 1, &mModify, 0);
}
