#include "host/dialog/KIVDlgRadioItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgRadioItem, KIVDlgMenuItem)

KIVDlgRadioItem::KIVDlgRadioItem(KIVDialog* parent, const char* tag, int style) : KIVDlgMenuItem(parent, tag, style) {}

KIVDlgRadioItem::~KIVDlgRadioItem() { Retire(); }

int KIVDlgRadioItem::SetState(int state, int notify) { return ChangeState(mState, state, notify, &mModify, 1); }

int KIVDlgRadioItem::UserSetState(int state) {
  if (!IsUsable() || state != StateSet) return 0;
  return ChangeState(mState, state, 1, &mModify, 1);
}

void KIVDlgRadioItem::ClearAsRadio(int notify) { ChangeState(mState, StateCleared, notify, &mModify, 0); }
