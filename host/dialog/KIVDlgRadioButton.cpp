#include "host/dialog/KIVDlgRadioButton.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgRadioButton, KIVDlgControl)

KIVDlgRadioButton::KIVDlgRadioButton(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgRadioButton::~KIVDlgRadioButton() { Retire(); }

int KIVDlgRadioButton::SetState(int state, int notify) { return ChangeState(mState, state, notify, &mModify, 1); }

int KIVDlgRadioButton::UserSetState(int state) {
  if (!IsUsable() || state != StateSet) return 0;
  return ChangeState(mState, state, 1, &mModify, 1);
}

void KIVDlgRadioButton::ClearAsRadio(int notify) { ChangeState(mState, StateCleared, notify, &mModify, 0); }
